#include "playback/ProgressDisplay.h"

#include "platform/MediaPlayer.h"
#include "playback/ProgressText.h"
#include "window/WindowControls.h"

#include <QLabel>

void showProgress(SlotControls& slot, const MediaPlayer& player)
{
    slot.elapsedLabel->setText(progressText(player.currentPosition()));
    const QString total = progressText(player.duration());
    // A length guessed from the file's size, until the file is measured.
    const bool estimate = total != progressPlaceholder() && player.durationIsEstimate();
    slot.totalLabel->setText(estimate ? QLatin1Char('~') + total : total);
}
