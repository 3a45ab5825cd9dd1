#include "playback/SoundProblems.h"

#include "errors/ErrorReporter.h"
#include "platform/MediaPlayer.h"

void reportSoundProblems(const SlotPlayers& players, ErrorReporter& errors)
{
    for (int slot = 0; slot < SlotCount; ++slot)
        for (const QString& problem : players[std::size_t(slot)]->takeProblems())
            errors.fromTick(slot, problem);
}
