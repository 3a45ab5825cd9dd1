#include "SoundingSlot.h"

#include "LabelColour.h"
#include "MediaPlayer.h"
#include "WindowControls.h"

#include <QTimer>

void makeSoundingSlot(WindowControls& c, int slot)
{
    for (int j = 0; j < SlotCount; ++j)
        if (j != slot)
            c.slot(j).player->pause();
    for (int j = 0; j < SlotCount; ++j)
        LabelColour::set(
            c.slot(j).fileNameLabel, j == slot ? LabelColour::Red : LabelColour::ButtonText);
    for (int j = 0; j < SlotCount; ++j) {
        QTimer* progress = c.progressTimer(j);
        if (j != slot)
            progress->stop();
        else if (!progress->isActive())
            progress->start();
    }
}
