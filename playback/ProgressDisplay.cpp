#include "ProgressDisplay.h"

#include "Form1Controls.h"
#include "MediaPlayer.h"
#include "ProgressText.h"

#include <QLabel>

void showProgress(SlotControls& slot)
{
    slot.lblPast->setText(progressText(slot.MediaPlayer1->currentPosition()));
    slot.lblTotal->setText(progressText(slot.MediaPlayer1->duration()));
}
