#pragma once

#include "platform/ClockSync.h"

// Synchronised and exact until the test says otherwise.
class FakeClockSync final : public ClockSync {
public:
    ClockSyncState read() const override { return state_; }
    void set(const ClockSyncState& state) { state_ = state; }

private:
    ClockSyncState state_;
};
