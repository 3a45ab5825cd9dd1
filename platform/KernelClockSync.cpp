#include "platform/KernelClockSync.h"

#include <sys/timex.h>

ClockSyncState KernelClockSync::read() const
{
    timex state{};
    state.modes = 0; // read only
    const int clockState = ntp_adjtime(&state);
    // A kernel that will not answer cannot vouch for the clock either. The
    // time daemons clear STA_UNSYNC once they have disciplined the clock;
    // TIME_ERROR also covers a clock the kernel itself found at fault.
    const bool synchronised =
        clockState != -1 && clockState != TIME_ERROR && (state.status & STA_UNSYNC) == 0;
    return {synchronised, qint64(state.esterror)};
}
