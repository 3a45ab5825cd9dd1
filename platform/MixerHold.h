#pragma once

// Holds the players' shared mixer off while the players of one start are
// told what to do, so that the next sound mixed is what they were told last:
// a slot paused and played again within one hold sounds on, with no gap and
// no new start. Held on the GUI thread for a handful of player calls, which
// never wait on a file or a device; the mixer waits that long at most.
class MixerHold {
public:
    virtual ~MixerHold() = default;
    virtual void hold() = 0;
    virtual void release() = 0;
};

// One hold for a scope.
class HeldMixer {
public:
    explicit HeldMixer(MixerHold& mixer) : mixer_(mixer) { mixer_.hold(); }
    ~HeldMixer() { mixer_.release(); }
    HeldMixer(const HeldMixer&) = delete;
    HeldMixer& operator=(const HeldMixer&) = delete;

private:
    MixerHold& mixer_;
};
