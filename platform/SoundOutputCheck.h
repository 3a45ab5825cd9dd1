#pragma once

#include <QString>

// Whether the sound output can be opened now, asked ahead of the starts so
// that a missing device is known before a bell is due.
class SoundOutputCheck {
public:
    virtual ~SoundOutputCheck() = default;
    // GUI thread: true while the program's own output is open and working,
    // which answers the question without touching the device.
    virtual bool outputWorking() const = 0;
    // Blocking, off the GUI thread: opens a device briefly and closes it.
    // Empty when it opened, else the reason.
    virtual QString tryOpen() = 0;
};
