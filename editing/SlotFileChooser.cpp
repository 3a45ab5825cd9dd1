#include "SlotFileChooser.h"

#include "BaseName.h"
#include "FileDialog.h"
#include "HandlerEdge.h"
#include "MediaPlayer.h"
#include "SlotTexts.h"
#include "WindowControls.h"
#include "WrappingLabel.h"

#include <QLabel>
#include <QPushButton>

SlotFileChooser::SlotFileChooser(WindowControls& controls, ErrorReporter& errors)
    : c_(controls), errors_(errors)
{
}

void SlotFileChooser::choose(int slot)
{
    SlotControls& s = c_.slot(slot);
    const QString previousPath = s.fileDialog->fileName();
    runClickSteps(errors_, slot, [&] {
        s.fileDialog->setFilter(QStringLiteral("mp3file(*.mp3)|*.mp3"));
        s.fileDialog->showOpen();
        const QString path = s.fileDialog->fileName();
        if (!path.isEmpty()) {
            try {
                s.player->open(path);
            } catch (const PlatformError& error) {
                // The player keeps its old file; so must the dialog, which is
                // the only record of the slot's path.
                s.fileDialog->setFileName(previousPath);
                throw namingFile(path, error);
            } catch (...) {
                s.fileDialog->setFileName(previousPath);
                throw;
            }
        }
        showChoice(slot, path);
    });
}

void SlotFileChooser::showChoice(int slot, const QString& path)
{
    SlotControls& s = c_.slot(slot);
    // Slot 0 decides on the path, the others on the label: they differ only
    // for a file whose whole name is its extension, such as ".mp3".
    setWrappedText(s.fileNameLabel, baseName(path));
    const bool hasSound = slot == 0 ? !path.isEmpty() : !s.fileNameLabel->text().isEmpty();
    if (hasSound)
        for (QPushButton* button : {s.runButton, s.setTimeButton, s.stopButton})
            button->setEnabled(true);
    s.runButton->setText(runCaption());
}
