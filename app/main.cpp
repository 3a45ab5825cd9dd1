#include "AudioOutput.h"
#include "KernelClockSync.h"
#include "LastChoiceFolder.h"
#include "LengthScanner.h"
#include "MainWindow.h"
#include "Mp3FileCheck.h"
#include "Mp3Player.h"
#include "QtFileDialog.h"
#include "QtInputBox.h"
#include "QtMessageBox.h"
#include "QtProgramExit.h"
#include "SdlOutputCheck.h"
#include "SystemClock.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnwick"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    SystemClock clock;
    QtMessageBox messageBox;
    QtInputBox inputBox;
    QtProgramExit programExit;
    LastChoiceFolder lastChoiceFolder;
    // Shared by the ten players, so declared before the window: they outlive
    // it, and the sound device closes after the players are gone.
    AudioOutput audioOutput;
    LengthScanner lengths;
    SdlOutputCheck outputCheck(audioOutput);
    Mp3FileCheck fileCheck;
    KernelClockSync clockSync;
    PlatformServices platform{
        clock,
        messageBox,
        inputBox,
        programExit,
        [&](int) { return std::make_unique<Mp3Player>(audioOutput, lengths); },
        [&lastChoiceFolder](int) { return std::make_unique<QtFileDialog>(lastChoiceFolder); },
        outputCheck,
        fileCheck,
        clockSync,
    };

    MainWindow form(platform);
    form.onLoad();
    form.show();

    TerminationSignals terminationSignals;
    return app.exec();
}
