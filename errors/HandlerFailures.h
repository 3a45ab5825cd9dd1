#pragma once

#include "errors/ErrorReporter.h"
#include "platform/PlatformError.h"

#include <QString>

#include <exception>
#include <utility>

// Where a handler's failure is caught: at its edge it runs its steps and,
// when a platform call fails, skips the rest of them and reports the failure
// once through `report` (fromClick, or fromTick for timer ticks, which must
// never wait for the operator). Nothing a handler meets ends the program. Returns whether every
// step was carried out.
template <typename Steps>
bool runSteps(void (ErrorReporter::*report)(int, const QString&), ErrorReporter& errors, int slot,
    Steps&& steps)
{
    try {
        steps();
        return true;
    } catch (const PlatformError& error) {
        (errors.*report)(slot, error.reason());
    } catch (const std::exception& error) {
        (errors.*report)(slot, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

template <typename Steps> bool runClickSteps(ErrorReporter& errors, int slot, Steps&& steps)
{
    return runSteps(&ErrorReporter::fromClick, errors, slot, std::forward<Steps>(steps));
}

template <typename Steps> bool runTickSteps(ErrorReporter& errors, int slot, Steps&& steps)
{
    return runSteps(&ErrorReporter::fromTick, errors, slot, std::forward<Steps>(steps));
}
