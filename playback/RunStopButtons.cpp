#include "RunStopButtons.h"

#include "Clock.h"
#include "ErrorReporter.h"
#include "FileDialog.h"
#include "LabelColour.h"
#include "MediaPlayer.h"
#include "PlatformError.h"
#include "SlotTexts.h"
#include "SoundingSlot.h"
#include "TimeOfDayText.h"
#include "WindowControls.h"

#include <QLabel>
#include <QPushButton>

RunStopButtons::RunStopButtons(WindowControls& controls, const Clock& clock, ErrorReporter& errors)
    : c_(controls), clock_(clock), errors_(errors)
{
}

void RunStopButtons::run(int slot)
{
    if (c_.slot(slot).runButton->text() == runCaption())
        start(slot);
    else
        hold(slot);
    makeLastTouched(slot);
}

void RunStopButtons::start(int slot)
{
    SlotControls& s = c_.slot(slot);
    // Play comes before any caption changes: no event runs between the steps,
    // so a successful start looks the same, and a refused one leaves no
    // "&Pause" on a silent slot.
    try {
        s.player->play();
    } catch (const PlatformError& error) {
        throw namingFile(s.fileDialog->fileName(), error);
    }
    ++c_.timetable.slot(slot).starts;
    s.runButton->setText(pauseCaption());
    for (int other = 0; other < SlotCount; ++other)
        if (other != slot)
            c_.slot(other).runButton->setText(runCaption());
}

void RunStopButtons::hold(int slot)
{
    SlotControls& s = c_.slot(slot);
    s.player->pause();
    s.runButton->setText(runCaption());
}

void RunStopButtons::makeLastTouched(int slot)
{
    c_.slot(slot).startTimeLabel->setText(timeOfDayText(clock_.now().time()));
    makeSoundingSlot(c_, slot);
}

void RunStopButtons::stop(int slot)
{
    SlotControls& s = c_.slot(slot);
    if (!s.fileDialog->fileName().isEmpty()) {
        // Silent at once, however long the file takes to open again.
        s.player->pause();
        reopen(slot);
        if (slot == 0)
            LabelColour::set(s.fileNameLabel, LabelColour::Black);
    }
    s.runButton->setText(runCaption());
}

void RunStopButtons::reopen(int slot)
{
    const QString path = c_.slot(slot).fileDialog->fileName();
    const int asked = c_.timetable.askOpen(slot);
    const int startsThen = c_.timetable.slot(slot).starts;
    c_.slot(slot).player->open(path, [this, slot, path, asked, startsThen](const QString& refusal) {
        switch (c_.timetable.judgeAnswer(slot, asked, startsThen)) {
        case Timetable::Verdict::Stale:
            return false;
        case Timetable::Verdict::StartedMeanwhile:
            // A start after the click stands; so does its sound.
            return false;
        case Timetable::Verdict::Apply:
            break;
        }
        if (refusal.isEmpty())
            return true;
        // The file can no longer be opened (moved, deleted, its drive gone)
        // and the player keeps what it had, held where the click left it.
        errors_.fromClick(slot, namingFile(path, PlatformError(refusal)).reason());
        return false;
    });
}
