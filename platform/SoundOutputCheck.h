#pragma once

#include <QString>

// Whether the program's sound output is there, asked ahead of the starts so
// that a missing or hung device is known before a bell is due.
class SoundOutputCheck {
public:
    virtual ~SoundOutputCheck() = default;
    // GUI thread, without waiting on the device: empty while the output is
    // open (or being opened and not yet late), else why it is not.
    virtual QString problem() const = 0;
    // What plays ("PipeWire", "PulseAudio", ...), for the messages that blame
    // the output; empty while none does.
    virtual QString name() const { return QString(); }
};
