#include "SoundProblems.h"

#include "ErrorReporter.h"
#include "MediaPlayer.h"
#include "WindowControls.h"

void reportSoundProblems(WindowControls& c, ErrorReporter& errors)
{
    for (int slot = 0; slot < SlotCount; ++slot)
        for (const QString& problem : c.slot(slot).player->takeProblems())
            errors.fromTick(slot, problem);
}
