#include "ProgressDisplay.h"

#include "MediaPlayer.h"
#include "ProgressText.h"
#include "WindowControls.h"

#include <QLabel>

void showProgress(SlotControls& slot)
{
    slot.elapsedLabel->setText(progressText(slot.player->currentPosition()));
    const QString total = progressText(slot.player->duration());
    // A length guessed from the file's size, until the file is measured.
    const bool estimate = total != progressPlaceholder() && slot.player->durationIsEstimate();
    slot.totalLabel->setText(estimate ? QLatin1Char('~') + total : total);
}
