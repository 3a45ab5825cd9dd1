#include "PrivatePipeWire.h"

#include "BenchFail.h"
#include "player/SoundTime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <functional>
#include <sys/prctl.h>

namespace {

// The graph as Debian sets it up (48 kHz, a quantum of 1024), so the
// program's 44.1 kHz stream is resampled as on a desktop; room for a forced
// quantum of 4096 and more.
constexpr const char* PipeWireConf = R"(context.properties = {
    default.clock.max-quantum = 8192
}
context.objects = [
    { factory = adapter
      args = {
          factory.name = support.null-audio-sink
          node.name = bench
          node.description = "server_bench null sink"
          media.class = Audio/Sink
          audio.rate = 44100
          audio.position = [ FL FR ]
          monitor.channel-volumes = true
          priority.driver = 2000
          priority.session = 2000
      }
    }
]
)";

void writeFile(const QString& path, const char* text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0)
        benchFail("cannot write " + path.toStdString());
}

bool waitFor(const std::function<bool()>& ready, int ms)
{
    for (int waited = 0; waited < ms; waited += 20) {
        if (ready())
            return true;
        QThread::msleep(20);
    }
    return ready();
}

} // namespace

bool PrivatePipeWire::isInstalled()
{
    for (const char* program :
        {"pipewire", "wireplumber", "pipewire-pulse", "dbus-daemon", "pw-metadata", "pw-dump"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            return false;
    return true;
}

PrivatePipeWire::PrivatePipeWire(const QString& folder)
    : folder_(folder), runtime_(folder + QStringLiteral("/run"))
{
    QDir().mkpath(runtime_);
    QFile::setPermissions(
        runtime_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString config = folder + QStringLiteral("/config");
    writeFile(config + QStringLiteral("/pipewire/pipewire.conf.d/server_bench.conf"), PipeWireConf);
    writeFile(config + QStringLiteral("/wireplumber/main.lua.d/51-server_bench.lua"),
        "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\n"
        "libcamera_monitor.enabled = false\n");
    writeFile(config + QStringLiteral("/wireplumber/bluetooth.lua.d/51-server_bench.lua"),
        "bluez_monitor.enabled = false\n");

    // Nothing of the session that started the bench: its own home, runtime,
    // configuration and state folders, so nothing is left outside.
    clients_ = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"PIPEWIRE_REMOTE", "PULSE_SERVER", "PULSE_RUNTIME_PATH",
             "PULSE_STATE_PATH", "DISPLAY", "WAYLAND_DISPLAY"})
        clients_.remove(QString::fromLatin1(name));
    clients_.insert(QStringLiteral("HOME"), folder);
    clients_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
    clients_.insert(QStringLiteral("PIPEWIRE_RUNTIME_DIR"), runtime_);
    clients_.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    clients_.insert(QStringLiteral("XDG_STATE_HOME"), folder + QStringLiteral("/state"));
    clients_.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/data"));
    clients_.insert(QStringLiteral("PULSE_SERVER"),
        QStringLiteral("unix:") + runtime_ + QStringLiteral("/pulse/native"));
    clients_.insert(QStringLiteral("PULSE_COOKIE"), folder + QStringLiteral("/pulse-cookie"));

    bus_ = start(QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
            QStringLiteral("--print-pid=1"), QStringLiteral("--print-address=1"),
            QStringLiteral("--address=unix:path=") + runtime_ + QStringLiteral("/bus")},
        true);
    // It prints its address, then its process id, once it listens.
    QByteArray printed;
    if (!waitFor(
            [&] {
                bus_->waitForReadyRead(20);
                printed += bus_->readAllStandardOutput();
                return printed.count('\n') >= 2;
            },
            5000))
        benchFail(
            "dbus-daemon --session does not start (tools/install-deps.sh --test installs dbus)");
    const QList<QByteArray> lines = printed.split('\n');
    if (lines[1].trimmed().toLongLong() != bus_->processId())
        benchFail("dbus-daemon reports another process id than its own");
    clients_.insert(
        QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(lines[0].trimmed()));
    startDaemons();
}

PrivatePipeWire::~PrivatePipeWire()
{
    endDaemons();
    bus_->terminate();
    if (!bus_->waitForFinished(3000))
        bus_->kill();
    bus_->waitForFinished(3000);
}

// A daemon of the server's, its output in `<program>.log` (but for what it
// prints on standard output, where `readsOutput`), gone with the bench.
std::unique_ptr<QProcess> PrivatePipeWire::start(
    const QString& program, const QStringList& arguments, bool readsOutput)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(clients_);
    const QString log = folder_ + QLatin1Char('/') + program + QStringLiteral(".log");
    process->setStandardErrorFile(log, QIODevice::Append);
    if (!readsOutput)
        process->setStandardOutputFile(log, QIODevice::Append);
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process->start(program, arguments);
    if (!process->waitForStarted(5000))
        benchFail(program.toStdString() + " does not start");
    return process;
}

void PrivatePipeWire::startDaemons()
{
    pipewire_ = start(QStringLiteral("pipewire"), {}, false);
    if (!waitFor([&] { return QFile::exists(runtime_ + QStringLiteral("/pipewire-0")); }, 10000))
        benchFail("pipewire opened no socket (see its log in the bench's folder)");
    session_ = start(QStringLiteral("wireplumber"), {}, false);
    pulse_ = start(QStringLiteral("pipewire-pulse"), {}, false);
    if (!waitFor([&] { return answers(); }, 15000))
        benchFail("the private PipeWire does not make its sink the default");
}

void PrivatePipeWire::endDaemons()
{
    for (auto* daemon : {&pulse_, &session_, &pipewire_}) {
        if (!*daemon)
            continue;
        (*daemon)->terminate();
        if (!(*daemon)->waitForFinished(3000))
            (*daemon)->kill();
        (*daemon)->waitForFinished(3000);
        daemon->reset();
    }
}

// The session manager has made the sink the default and pipewire-pulse
// listens.
bool PrivatePipeWire::answers() const
{
    return QFile::exists(runtime_ + QStringLiteral("/pulse/native")) &&
        run(QStringLiteral("pw-metadata"),
            {QStringLiteral("-n"), QStringLiteral("default"), QStringLiteral("0")})
            .contains(QStringLiteral("default.audio.sink' value:'{\"name\":\"bench\"}'"));
}

QString PrivatePipeWire::run(
    const QString& program, const QStringList& arguments, const QProcessEnvironment& env)
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    tool.start(program, arguments);
    if (!tool.waitForFinished(5000)) {
        tool.kill();
        tool.waitForFinished();
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

void PrivatePipeWire::forceQuantum(int frames)
{
    run(QStringLiteral("pw-metadata"),
        {QStringLiteral("-n"), QStringLiteral("settings"), QStringLiteral("0"),
            QStringLiteral("clock.force-quantum"), QString::number(frames)});
}

std::int64_t PrivatePipeWire::restart()
{
    pipewire_->kill();
    pipewire_->waitForFinished(3000);
    // Its clients lose it; what has not ended within a second is ended.
    for (auto* daemon : {&session_, &pulse_})
        if (!(*daemon)->waitForFinished(1000)) {
            (*daemon)->terminate();
            (*daemon)->waitForFinished(3000);
        }
    QFile::remove(runtime_ + QStringLiteral("/pulse/native"));
    startDaemons();
    return SoundTime::wallClockNs();
}

std::optional<PrivatePipeWire::Stream> PrivatePipeWire::playbackOf(
    qint64 pid, const QProcessEnvironment& env)
{
    const QJsonArray objects =
        QJsonDocument::fromJson(run(QStringLiteral("pw-dump"), {}, env).toUtf8()).array();
    QSet<int> clients;
    for (const QJsonValue& object : objects) {
        const QJsonObject props =
            object[QStringLiteral("info")][QStringLiteral("props")].toObject();
        if (object[QStringLiteral("type")].toString() ==
                QStringLiteral("PipeWire:Interface:Client") &&
            props[QStringLiteral("application.process.id")].toVariant().toLongLong() == pid)
            clients.insert(object[QStringLiteral("id")].toInt());
    }
    for (const QJsonValue& object : objects) {
        const QJsonObject info = object[QStringLiteral("info")].toObject();
        const QJsonObject props = info[QStringLiteral("props")].toObject();
        if (props[QStringLiteral("media.class")].toString() ==
                QStringLiteral("Stream/Output/Audio") &&
            clients.contains(props[QStringLiteral("client.id")].toInt()) &&
            props[QStringLiteral("node.name")].toString() != QStringLiteral("server_bench clicks"))
            return Stream{info[QStringLiteral("state")].toString(),
                props[QStringLiteral("client.api")].toString(),
                props[QStringLiteral("media.name")].toString()};
    }
    return std::nullopt;
}
