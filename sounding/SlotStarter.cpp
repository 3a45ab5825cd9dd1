#include "sounding/SlotStarter.h"

#include "model/Timetable.h"
#include "platform/MediaPlayer.h"
#include "platform/MixerHold.h"
#include "platform/PlatformError.h"

SlotStarter::SlotStarter(Timetable& timetable, const SlotPlayers& players, MixerHold& mixer)
    : t_(timetable), players_(players), mixer_(mixer)
{
}

std::vector<QString> SlotStarter::startOnSchedule(
    const std::vector<int>& due, const QDateTime& second, QDate date)
{
    std::vector<QString> refusals;
    {
        const HeldMixer held(mixer_);
        for (const int slot : due) {
            try {
                players_[std::size_t(slot)]->playOnSchedule(second);
            } catch (const PlatformError& error) {
                refusals.push_back(error.reason());
                continue;
            }
            refusals.emplace_back();
            pauseAllBut(players_, slot);
        }
    }
    for (std::size_t i = 0; i < due.size(); ++i)
        if (refusals[i].isEmpty())
            t_.startedOnSchedule(due[i], date);
    return refusals;
}

void SlotStarter::runClicked(int slot, QTime clickedAt)
{
    const RunClick click = t_.slot(slot).nextClick;
    {
        const HeldMixer held(mixer_);
        MediaPlayer& player = *players_[std::size_t(slot)];
        if (click == RunClick::Start) {
            try {
                player.play();
            } catch (const PlatformError& error) {
                throw namingFile(t_.slot(slot).path, error);
            }
        } else {
            player.pause();
        }
        pauseAllBut(players_, slot);
    }
    t_.runClicked(slot, click, clickedAt);
}
