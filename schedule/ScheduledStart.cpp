#include "ScheduledStart.h"

#include "Form1Controls.h"
#include "MediaPlayer.h"
#include "SlotTexts.h"
#include "SoundingSlot.h"

#include <QPushButton>

void startSlotOnSchedule(Form1Controls& c, int slot)
{
    c.slot[std::size_t(slot)].MediaPlayer1->play();
    makeSoundingSlot(c, slot);
    // "&RunNow" although it plays: a click on it then plays on and offers the
    // pause, as for a slot started by hand.
    c.slot[std::size_t(slot)].Command3->setText(runCaption());
}
