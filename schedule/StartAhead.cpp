#include "StartAhead.h"

#include "MediaPlayer.h"
#include "PlatformError.h"
#include "SecondPlan.h"
#include "WindowControls.h"

#include <QLabel>

QDateTime startOf(WallSecond second)
{
    return QDateTime::fromSecsSinceEpoch(second, Qt::UTC);
}

void StartAhead::armFor(WallSecond second, const QTimeZone& zone)
{
    std::optional<int> due;
    for (int slot = 0; slot < SlotCount; ++slot)
        if (isDueAt(c_.startTime(slot), c_.slot(slot).fileNameLabel->text(), second, zone))
            due = slot;
    if (armedSlot_ != due)
        disarm();
    if (!due)
        return;
    try {
        c_.slot(*due).player->armStartAt(startOf(second));
        armedSlot_ = due;
        armedSecond_ = second;
    } catch (const PlatformError&) {
        // Left to the tick, which starts the slot as before and reports why
        // it cannot.
    }
}

std::optional<std::pair<int, WallSecond>> StartAhead::placed() const
{
    if (!armedSlot_)
        return std::nullopt;
    return std::pair(*armedSlot_, armedSecond_);
}

void StartAhead::disarm()
{
    if (armedSlot_)
        c_.slot(*armedSlot_).player->disarmStart();
    armedSlot_.reset();
}
