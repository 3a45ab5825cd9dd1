#pragma once

#include "MediaPlayer.h"
#include "PlatformError.h"

#include <QTest>

#include <optional>

// Opens a file in a player and waits, running the event loop, until it has
// answered: a refusal is thrown as the PlatformError it names. For tests and
// benchmarks, which want a file in place before they go on; the program
// itself never waits for an open.
inline void openNow(MediaPlayer& player, const QString& path)
{
    std::optional<QString> refusal;
    player.open(path, [&](const QString& reason) {
        refusal = reason;
        return reason.isEmpty();
    });
    if (!QTest::qWaitFor([&] { return refusal.has_value(); }, 60000))
        throw PlatformError(path + QStringLiteral(": no answer from the player"));
    if (!refusal->isEmpty())
        throw PlatformError(*refusal);
}
