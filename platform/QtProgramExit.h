#pragma once

#include "ProgramExit.h"

class QtProgramExit final : public ProgramExit {
public:
    void exitNow() override;
};
