#pragma once

#include "platform/ProgramExit.h"

class RecordingProgramExit final : public ProgramExit {
public:
    void exitNow() override { ++calls_; }
    int calls() const { return calls_; }

private:
    int calls_ = 0;
};
