#pragma once

#include "platform/ProgramExit.h"

class QtProgramExit final : public ProgramExit {
public:
    void exitNow() override;
};
