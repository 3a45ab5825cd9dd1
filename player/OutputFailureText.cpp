#include "player/OutputFailureText.h"

#include <QStringList>

using Step = OpenFailure::Step;

namespace {

// A sound server's client library: its own loop, the server it reaches, the
// stream the server makes.
QString serverFailureText(
    const QString& server, const QString& loop, const QString& answerer, const OpenFailure& failure)
{
    switch (failure.step) {
    case Step::StartLoop:
        return QStringLiteral("cannot start %1").arg(loop);
    case Step::Connect:
        return QStringLiteral("no %1 answers (%2)").arg(answerer, failure.reason);
    default:
        return QStringLiteral("%1 refused the stream (%2)").arg(server, failure.reason);
    }
}

} // namespace

QString openFailureText(const QString& backend, const OpenFailure& failure)
{
    const QString& reason = failure.reason;
    if (backend == u"PipeWire") {
        // The server's words where it had any; none when the wait ran out.
        if (failure.step == Step::LinkStream)
            return reason.isEmpty() ? QStringLiteral("PipeWire did not link the stream")
                                    : QStringLiteral("PipeWire: %1").arg(reason);
        return serverFailureText(
            backend, QStringLiteral("PipeWire's loop"), QStringLiteral("PipeWire daemon"), failure);
    }
    if (backend == u"PulseAudio")
        return serverFailureText(backend, QStringLiteral("PulseAudio's main loop"),
            QStringLiteral("PulseAudio server"), failure);
    if (backend == u"ALSA") {
        switch (failure.step) {
        case Step::SetFormat:
            return QStringLiteral("the default ALSA device refuses the format (%1)").arg(reason);
        case Step::SetSettings:
            return QStringLiteral("the default ALSA device refuses its settings (%1)").arg(reason);
        default:
            return QStringLiteral("the default ALSA device does not open (%1)").arg(reason);
        }
    }
    // SDL's reason (and a test backend's) is already a sentence of its own.
    return reason.isEmpty() ? QStringLiteral("the sound device refused to open") : reason;
}

QString noOutputText(const std::vector<Refusal>& refusals)
{
    if (refusals.empty())
        return QStringLiteral("no sound output to try");
    if (refusals.size() == 1)
        return openFailureText(refusals.front().backend, refusals.front().failure);
    QStringList each;
    for (const Refusal& refusal : refusals)
        each << refusal.backend + QStringLiteral(": ") +
                openFailureText(refusal.backend, refusal.failure);
    return each.join(QStringLiteral("; "));
}

QString lostOutputText(SoundBackend::Health health, const QString& backend)
{
    switch (health) {
    case SoundBackend::Health::Playing:
        break;
    case SoundBackend::Health::DeviceLost:
        return QStringLiteral("the sound device was lost");
    case SoundBackend::Health::ServerGone:
        return QStringLiteral("the sound server is gone (%1)").arg(backend);
    }
    return QString();
}
