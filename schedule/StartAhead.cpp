#include "schedule/StartAhead.h"

#include "model/Timetable.h"
#include "platform/MediaPlayer.h"
#include "platform/PlatformError.h"
#include "schedule/SecondPlan.h"

QDateTime startOf(WallSecond second)
{
    return QDateTime::fromSecsSinceEpoch(second, Qt::UTC);
}

void StartAhead::armFor(WallSecond second, const QTimeZone& zone)
{
    const std::vector<int> dueNow = slotsDueAt(t_, second, zone);
    const std::optional<int> due = dueNow.empty() ? std::nullopt : std::optional(dueNow.back());
    if (armedSlot_ != due)
        disarm();
    if (!due)
        return;
    try {
        players_[std::size_t(*due)]->armStartAt(startOf(second));
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
        players_[std::size_t(*armedSlot_)]->disarmStart();
    armedSlot_.reset();
}
