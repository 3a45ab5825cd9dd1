#include "SlotFileChooser.h"

#include "FileDialog.h"
#include "Form1Controls.h"
#include "HandlerEdge.h"
#include "MediaPlayer.h"
#include "Module1.h"
#include "SlotTexts.h"
#include "WrappingLabel.h"

#include <QLabel>
#include <QPushButton>

SlotFileChooser::SlotFileChooser(Form1Controls& controls, ErrorReporter& errors)
    : c_(controls), errors_(errors)
{
}

void SlotFileChooser::choose(int slot)
{
    SlotControls& s = c_.slot.at(std::size_t(slot));
    const QString previousPath = s.CommonDialog1->fileName();
    runClickSteps(errors_, slot, [&] {
        s.CommonDialog1->setFilter(QStringLiteral("mp3file(*.mp3)|*.mp3"));
        s.CommonDialog1->showOpen();
        const QString path = s.CommonDialog1->fileName();
        if (!path.isEmpty()) {
            try {
                s.MediaPlayer1->open(path);
            } catch (const PlatformError& error) {
                // The player keeps its old file; so must the dialog, which is
                // the only record of the slot's path.
                s.CommonDialog1->setFileName(previousPath);
                throw namingFile(path, error);
            } catch (...) {
                s.CommonDialog1->setFileName(previousPath);
                throw;
            }
        }
        showChoice(slot, path);
    });
}

void SlotFileChooser::showChoice(int slot, const QString& path)
{
    SlotControls& s = c_.slot.at(std::size_t(slot));
    // Slot 0 decides on the path, the others on the label: they differ only
    // for a file whose whole name is its extension, such as ".mp3".
    if (slot == 0) {
        if (!path.isEmpty()) {
            s.Command3->setEnabled(true);
            s.Command2->setEnabled(true);
            s.Command5->setEnabled(true);
        }
        setWrappedText(s.LabFilename, Module1::GetBaseName(path));
    } else {
        setWrappedText(s.LabFilename, Module1::GetBaseName(path));
        if (!s.LabFilename->text().isEmpty()) {
            s.Command3->setEnabled(true);
            s.Command2->setEnabled(true);
            s.Command5->setEnabled(true);
        }
    }
    s.Command3->setText(runCaption());
}
