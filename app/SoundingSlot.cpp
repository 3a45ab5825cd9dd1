#include "SoundingSlot.h"

#include "Form1Controls.h"
#include "LabelColour.h"
#include "MediaPlayer.h"

#include <QTimer>

void makeSoundingSlot(Form1Controls& c, int slot)
{
    for (int j = 0; j < SlotCount; ++j)
        if (j != slot)
            c.slot[std::size_t(j)].MediaPlayer1->pause();
    for (int j = 0; j < SlotCount; ++j)
        LabelColour::set(c.slot[std::size_t(j)].LabFilename,
            j == slot ? LabelColour::Red : LabelColour::ButtonText);
    for (int j = 0; j < SlotCount; ++j) {
        QTimer* progress = c.progressTimer(j);
        if (j != slot)
            progress->stop();
        else if (!progress->isActive())
            progress->start();
    }
}
