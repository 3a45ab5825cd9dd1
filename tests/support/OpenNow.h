#pragma once

#include "platform/MediaPlayer.h"
#include "platform/PlatformError.h"

#include <QEventLoop>
#include <QTimer>

#include <optional>

// Opens a file in a player and runs the event loop until it has answered: a
// refusal is thrown as the PlatformError it names. For tests and benchmarks,
// which want a file in place before they go on; the program itself never
// waits for an open.
inline void openNow(MediaPlayer& player, const QString& path)
{
    std::optional<QString> refusal;
    QEventLoop loop;
    player.open(path, [&](const QString& reason) {
        refusal = reason;
        loop.quit();
        return reason.isEmpty();
    });
    if (!refusal) {
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!refusal)
        throw PlatformError(path + QStringLiteral(": no answer from the player"));
    if (!refusal->isEmpty())
        throw PlatformError(*refusal);
}
