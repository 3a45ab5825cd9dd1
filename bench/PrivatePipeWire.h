#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// A PipeWire of the bench's own, standing for a desktop's: its own
// runtime folder and D-Bus session bus in a temporary folder, pipewire,
// wireplumber and pipewire-pulse, and one null sink at 44.1 kHz (the only
// sink, so the default) made by pipewire's own configuration, so that it is
// there again after a restart. WirePlumber's monitors of sound cards,
// Bluetooth and cameras are off: the bench touches no device. Every daemon
// is ended by its process id, and with the bench if it is killed.
class PrivatePipeWire {
public:
    static constexpr const char* Sink = "bench";

    explicit PrivatePipeWire(const QString& folder);
    ~PrivatePipeWire();
    PrivatePipeWire(const PrivatePipeWire&) = delete;
    PrivatePipeWire& operator=(const PrivatePipeWire&) = delete;

    // Whether the daemons and the session manager are installed.
    static bool isInstalled();

    // What a client of this server alone needs, PulseAudio's clients
    // (through pipewire-pulse) included.
    QProcessEnvironment clientEnvironment() const { return clients_; }

    // Sets the graph's quantum (0: back to the default).
    void forceQuantum(int frames);

    // Ends the daemons as a crash would (pipewire first, the others go
    // with it), starts them again and returns the wall-clock time at which
    // all answer again.
    std::int64_t restart();

    // The state of the playback stream of process `pid` ("running",
    // "idle", ...) and the API it came through ("pipewire-pulse" for
    // PulseAudio's clients), leaving out the bench's own streams.
    struct Stream {
        QString state;
        QString api;
        QString name; // media.name
    };
    std::optional<Stream> playbackOf(qint64 pid) const { return playbackOf(pid, clients_); }
    // The same asked by a client whose environment `env` names the server.
    static std::optional<Stream> playbackOf(qint64 pid, const QProcessEnvironment& env);

private:
    void startDaemons();
    void endDaemons();
    bool answers() const;
    QString run(const QString& program, const QStringList& arguments) const
    {
        return run(program, arguments, clients_);
    }
    static QString run(
        const QString& program, const QStringList& arguments, const QProcessEnvironment& env);
    std::unique_ptr<QProcess> start(
        const QString& program, const QStringList& arguments, bool readsOutput);

    QString folder_;
    QString runtime_;
    QProcessEnvironment clients_;
    std::unique_ptr<QProcess> bus_;
    std::unique_ptr<QProcess> pipewire_;
    std::unique_ptr<QProcess> session_;
    std::unique_ptr<QProcess> pulse_;
};
