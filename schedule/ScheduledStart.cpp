#include "ScheduledStart.h"

#include "Form1Controls.h"
#include "LabelColour.h"
#include "MediaPlayer.h"

#include <QPushButton>
#include <QTimer>

void startSlotOnSchedule(Form1Controls& c, int slot)
{
    c.slot[std::size_t(slot)].MediaPlayer1->play();
    for (int j = 0; j < SlotCount; ++j)
        if (j != slot)
            c.slot[std::size_t(j)].MediaPlayer1->pause();
    for (int j = 0; j < SlotCount; ++j)
        LabelColour::set(c.slot[std::size_t(j)].LabFilename,
            j == slot ? LabelColour::Red : LabelColour::ButtonText);
    for (int j = 0; j < SlotCount; ++j) {
        QTimer* progress = c.progressTimer(j);
        // Enabling a running timer leaves its rhythm alone.
        if (j != slot)
            progress->stop();
        else if (!progress->isActive())
            progress->start();
    }
    // "&RunNow" although it plays: a click on it then plays on and offers the
    // pause, as for a slot started by hand.
    c.slot[std::size_t(slot)].Command3->setText(QStringLiteral("&RunNow"));
}
