#include "RunStopButtons.h"

#include "Clock.h"
#include "FileDialog.h"
#include "Form1Controls.h"
#include "LabelColour.h"
#include "MediaPlayer.h"
#include "PlatformError.h"
#include "SlotTexts.h"
#include "SoundingSlot.h"
#include "TimeOfDayText.h"

#include <QLabel>
#include <QPushButton>

namespace {

} // namespace

RunStopButtons::RunStopButtons(Form1Controls& controls, const Clock& clock)
    : c_(controls), clock_(clock)
{
}

void RunStopButtons::run(int slot)
{
    if (c_.slot[std::size_t(slot)].Command3->text() == runCaption())
        start(slot);
    else
        hold(slot);
    makeLastTouched(slot);
}

void RunStopButtons::start(int slot)
{
    SlotControls& s = c_.slot[std::size_t(slot)];
    // Play comes before any caption changes: no event runs between the steps,
    // so a successful start looks the same, and a refused one leaves no
    // "&Pause" on a silent slot.
    try {
        s.MediaPlayer1->play();
    } catch (const PlatformError& error) {
        throw namingFile(s.CommonDialog1->fileName(), error);
    }
    s.Command3->setText(pauseCaption());
    for (int other = 0; other < SlotCount; ++other)
        if (other != slot)
            c_.slot[std::size_t(other)].Command3->setText(runCaption());
}

void RunStopButtons::hold(int slot)
{
    SlotControls& s = c_.slot[std::size_t(slot)];
    s.MediaPlayer1->pause();
    s.Command3->setText(runCaption());
}

void RunStopButtons::makeLastTouched(int slot)
{
    c_.slot[std::size_t(slot)].LabStarttime->setText(timeOfDayText(clock_.now().time()));
    makeSoundingSlot(c_, slot);
}

void RunStopButtons::stop(int slot)
{
    SlotControls& s = c_.slot[std::size_t(slot)];
    if (!s.CommonDialog1->fileName().isEmpty()) {
        reopen(slot);
        if (slot == 0)
            LabelColour::set(s.LabFilename, LabelColour::Black);
    }
    s.Command3->setText(runCaption());
}

void RunStopButtons::reopen(int slot)
{
    SlotControls& s = c_.slot[std::size_t(slot)];
    const QString path = s.CommonDialog1->fileName();
    try {
        s.MediaPlayer1->open(path);
    } catch (const PlatformError& error) {
        // The file can no longer be opened (moved, deleted, its drive gone)
        // and the player keeps what it had: the operator asked for silence,
        // so hold the slot and let the caption say it no longer plays.
        s.MediaPlayer1->pause();
        s.Command3->setText(runCaption());
        throw namingFile(path, error);
    }
}
