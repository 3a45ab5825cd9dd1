#pragma once

#include "ErrorReporter.h"
#include "PlatformError.h"

#include <QString>

#include <exception>

// A handler's edge: runs its steps and, when a platform call fails, skips the
// rest of them and reports the failure once. Nothing a handler meets ends the
// program. Returns whether every step was carried out.
template <typename Steps> bool runClickSteps(ErrorReporter& errors, int slot, Steps&& steps)
{
    try {
        steps();
        return true;
    } catch (const PlatformError& error) {
        errors.fromClick(slot, error.reason());
    } catch (const std::exception& error) {
        errors.fromClick(slot, QString::fromLocal8Bit(error.what()));
    }
    return false;
}

// The same for timer ticks, which must never wait for the operator.
template <typename Steps> bool runTickSteps(ErrorReporter& errors, int slot, Steps&& steps)
{
    try {
        steps();
        return true;
    } catch (const PlatformError& error) {
        errors.fromTick(slot, error.reason());
    } catch (const std::exception& error) {
        errors.fromTick(slot, QString::fromLocal8Bit(error.what()));
    }
    return false;
}
