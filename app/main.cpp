#include "app/MainWindow.h"
#include "app/RunUntilEnd.h"
#include "platform/KernelClockSync.h"
#include "platform/LastChoiceFolder.h"
#include "platform/QtFileDialog.h"
#include "platform/QtInputBox.h"
#include "platform/QtMessageBox.h"
#include "platform/QtProgramExit.h"
#include "platform/SystemClock.h"
#include "player/AudioOutput.h"
#include "player/LengthScanner.h"
#include "player/Mp3FileCheck.h"
#include "player/Mp3Player.h"

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
    // Shared by the ten players, so declared before the window, which they
    // outlive.
    AudioOutput audioOutput;
    LengthScanner lengths;
    Mp3FileCheck fileCheck;
    KernelClockSync clockSync;
    PlatformServices platform{
        clock,
        messageBox,
        inputBox,
        programExit,
        [&](int) { return std::make_unique<Mp3Player>(audioOutput, lengths); },
        audioOutput.mixer(),
        [&lastChoiceFolder](int) { return std::make_unique<QtFileDialog>(lastChoiceFolder); },
        audioOutput,
        fileCheck,
        clockSync,
    };

    MainWindow form(platform);
    form.onLoad();
    form.show();

    runUntilEnd(form);
}
