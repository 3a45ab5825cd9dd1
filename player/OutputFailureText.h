#pragma once

#include "player/SoundBackend.h"

#include <QString>

#include <vector>

// The operator's words for what went wrong with the sound output, from what
// the backends report as data: the one place they are written, for the
// status line (SoundOutputCheck::problem) and the log alike.

// A backend's refusal to open, in the words of its server or library.
QString openFailureText(const QString& backend, const OpenFailure& failure);

struct Refusal {
    QString backend; // its name()
    OpenFailure failure;
};
// Why none of the backends tried opened: each one's refusal, named by its
// backend where there was more than one.
QString noOutputText(const std::vector<Refusal>& refusals);

// What became of an output that was playing; nothing while it plays.
QString lostOutputText(SoundBackend::Health health, const QString& backend);
