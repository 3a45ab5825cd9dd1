#pragma once

// Ends the program. Production leaves the event loop so that main() tears
// the window down and the audio device is closed cleanly; tests record the call.
class ProgramExit {
public:
    virtual ~ProgramExit() = default;
    virtual void exitNow() = 0;
};
