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
#include "SystemClock.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>
#include <unistd.h>

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
        [&lastChoiceFolder](int) { return std::make_unique<QtFileDialog>(lastChoiceFolder); },
        audioOutput,
        fileCheck,
        clockSync,
    };

    MainWindow form(platform);
    form.onLoad();
    form.show();

    TerminationSignals terminationSignals;
    QObject::connect(
        &terminationSignals, &TerminationSignals::received, &form, &MainWindow::endProgram);
    const int code = QApplication::exec();
    // The window has ended the program: its timers stopped, nothing placed
    // ahead. A decoder, an opener or the sound device may still be blocked in
    // a read of a hung share or a call into a hung sound server, and joining
    // them would keep the process (and its files) alive until they answer,
    // so it ends here; the system closes the files and the sound server's
    // connection.
    std::fflush(stderr);
    ::_exit(code);
}
