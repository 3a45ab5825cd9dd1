#include "Form1.h"
#include "LastChoiceFolder.h"
#include "QtFileDialog.h"
#include "QtInputBox.h"
#include "QtMessageBox.h"
#include "QtProgramExit.h"
#include "SystemClock.h"
#include "TerminationSignals.h"
#include "UnavailablePlayer.h"

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
    PlatformServices platform{
        clock,
        messageBox,
        inputBox,
        programExit,
        [](int) { return std::make_unique<UnavailablePlayer>(); },
        [&lastChoiceFolder](int) { return std::make_unique<QtFileDialog>(lastChoiceFolder); },
    };

    Form1 form(platform);
    form.Form_Load();
    form.show();

    TerminationSignals terminationSignals;
    return app.exec();
}
