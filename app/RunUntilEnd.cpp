#include "app/RunUntilEnd.h"

#include "app/MainWindow.h"
#include "app/TerminationSignals.h"

#include <QApplication>

#include <cstdio>
#include <unistd.h>

void runUntilEnd(MainWindow& form)
{
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
