#include "player/OutputFailureText.h"

#include <QStringList>

using Step = OpenFailure::Step;

QString openFailureText(const QString& backend, const OpenFailure& failure)
{
    const QString& reason = failure.reason;
    if (backend == u"PipeWire") {
        switch (failure.step) {
        case Step::StartLoop:
            return QStringLiteral("cannot start PipeWire's loop");
        case Step::Connect:
            return QStringLiteral("no PipeWire daemon answers (%1)").arg(reason);
        case Step::LinkStream:
            // The server's words where it had any; none when the wait ran out.
            return reason.isEmpty() ? QStringLiteral("PipeWire did not link the stream")
                                    : QStringLiteral("PipeWire: %1").arg(reason);
        default:
            return QStringLiteral("PipeWire refused the stream (%1)").arg(reason);
        }
    }
    if (backend == u"PulseAudio") {
        switch (failure.step) {
        case Step::StartLoop:
            return QStringLiteral("cannot start PulseAudio's main loop");
        case Step::Connect:
            return QStringLiteral("no PulseAudio server answers (%1)").arg(reason);
        default:
            return QStringLiteral("PulseAudio refused the stream (%1)").arg(reason);
        }
    }
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
