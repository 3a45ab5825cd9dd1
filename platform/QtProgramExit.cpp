#include "platform/QtProgramExit.h"

#include <QCoreApplication>

void QtProgramExit::exitNow()
{
    // Leaving the event loop (nested ones included) lets main() destroy the
    // window and its players, which closes the audio device cleanly.
    QCoreApplication::exit(0);
}
