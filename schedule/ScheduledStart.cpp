#include "ScheduledStart.h"

#include "MediaPlayer.h"
#include "SlotTexts.h"
#include "SoundingSlot.h"
#include "WindowControls.h"

#include <QPushButton>

void startSlotOnSchedule(WindowControls& c, int slot)
{
    c.slot(slot).player->play();
    ++c.timetable.slot(slot).starts;
    makeSoundingSlot(c, slot);
    // "&RunNow" although it plays: a click on it then plays on and offers the
    // pause, as for a slot started by hand.
    c.slot(slot).runButton->setText(runCaption());
}
