#pragma once

#include "sounding/SlotPlayers.h"

class ErrorReporter;

// Tells the operator, once each, what went wrong with a slot's sound after it
// started (it broke off, its file changed or could not be read): a start the
// log called "started" that then fell silent is never left standing. Runs on
// the scheduler's tick, so every slot is looked at once a second, and reports
// as a tick does: status line and standard error. GUI thread only.
void reportSoundProblems(const SlotPlayers& players, ErrorReporter& errors);
