#include "ProgressDisplay.h"

#include "MediaPlayer.h"
#include "ProgressText.h"
#include "WindowControls.h"

#include <QLabel>

void showProgress(SlotControls& slot)
{
    slot.elapsedLabel->setText(progressText(slot.player->currentPosition()));
    slot.totalLabel->setText(progressText(slot.player->duration()));
}
