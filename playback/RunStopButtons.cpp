#include "RunStopButtons.h"

#include "Clock.h"
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

namespace {

} // namespace

RunStopButtons::RunStopButtons(WindowControls& controls, const Clock& clock)
    : c_(controls), clock_(clock)
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
        reopen(slot);
        if (slot == 0)
            LabelColour::set(s.fileNameLabel, LabelColour::Black);
    }
    s.runButton->setText(runCaption());
}

void RunStopButtons::reopen(int slot)
{
    SlotControls& s = c_.slot(slot);
    const QString path = s.fileDialog->fileName();
    try {
        s.player->open(path);
    } catch (const PlatformError& error) {
        // The file can no longer be opened (moved, deleted, its drive gone)
        // and the player keeps what it had: the operator asked for silence,
        // so hold the slot and let the caption say it no longer plays.
        s.player->pause();
        s.runButton->setText(runCaption());
        throw namingFile(path, error);
    }
}
