#include "SlotFileChooser.h"

#include "BaseName.h"
#include "ErrorReporter.h"
#include "FileDialog.h"
#include "HandlerEdge.h"
#include "MediaPlayer.h"
#include "SlotTexts.h"
#include "WindowControls.h"
#include "WrappingLabel.h"

#include <QFileInfo>
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
        if (path.isEmpty()) {
            applyChoice(slot, path);
            return;
        }
        // The dialog is the record of the slot's file, and the slot keeps its
        // old one until the new one has answered.
        s.fileDialog->setFileName(previousPath);
        const int asked = c_.timetable.askOpen(slot);
        const int startsThen = c_.timetable.slot(slot).starts;
        s.player->open(path, [this, slot, path, asked, startsThen](const QString& refusal) {
            return answered(slot, path, asked, startsThen, refusal);
        });
    });
}

bool SlotFileChooser::answered(
    int slot, const QString& path, int asked, int startsThen, const QString& refusal)
{
    const Timetable::Verdict verdict = c_.timetable.judgeAnswer(slot, asked, startsThen);
    if (verdict == Timetable::Verdict::Stale)
        return false;
    if (!refusal.isEmpty()) {
        errors_.fromClick(slot, namingFile(path, PlatformError(refusal)).reason());
        return false;
    }
    if (verdict == Timetable::Verdict::StartedMeanwhile) {
        // The start stands: its sound is not cut for a file that came late.
        errors_.fromTick(slot,
            QStringLiteral("%1 was not taken: it answered after the slot had started; the slot "
                           "keeps %2 (choose it again)")
                .arg(QFileInfo(path).fileName(), c_.slot(slot).fileNameLabel->text()));
        return false;
    }
    c_.slot(slot).fileDialog->setFileName(path);
    applyChoice(slot, path);
    return true;
}

void SlotFileChooser::applyChoice(int slot, const QString& path)
{
    SlotControls& s = c_.slot(slot);
    ++c_.timetable.slot(slot).choices;
    // Slot 0 decides on the path, the others on the label: they differ only
    // for a file whose whole name is its extension, such as ".mp3".
    setWrappedText(s.fileNameLabel, baseName(path));
    const bool hasSound = slot == 0 ? !path.isEmpty() : !s.fileNameLabel->text().isEmpty();
    // A window locked while the file was opened stays locked.
    if (hasSound && !c_.timetable.locked)
        for (QPushButton* button : {s.runButton, s.setTimeButton, s.stopButton})
            button->setEnabled(true);
    s.runButton->setText(runCaption());
}
