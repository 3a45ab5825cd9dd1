#include "schedule/ReadinessChecks.h"

#include "errors/ErrorReporter.h"
#include "model/Timetable.h"
#include "platform/Clock.h"
#include "platform/SoundOutputCheck.h"
#include "schedule/NextStart.h"
#include "window/TimeOfDayText.h"

#include <QFileInfo>

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString OutputKey = QStringLiteral("output");

QString slotKey(int slot)
{
    return QStringLiteral("slot %1").arg(slot);
}

} // namespace

ReadinessChecks::ReadinessChecks(const Timetable& timetable, const Clock& clock,
    ErrorReporter& errors, SoundOutputCheck& output, const SoundFileCheck& files)
    : t_(timetable), clock_(clock), errors_(errors), output_(output), files_(files)
{
    for (WorkerThread& worker : workers_)
        // Below the GUI thread and the decoders: on a busy machine a check
        // may come late, but never a tick or a sound. Linux keeps a nice
        // value per thread.
        worker.post([] { setpriority(PRIO_PROCESS, id_t(gettid()), 10); });
}

ReadinessChecks::~ReadinessChecks() = default;

void ReadinessChecks::tick()
{
    const QDateTime now = clock_.now();
    watchOutput();
    for (int slot = 0; slot < SlotCount; ++slot)
        watchFile(slot, wallSecondOf(now), zoneOf(now));
}

bool ReadinessChecks::checking() const
{
    return std::any_of(watches_.begin(), watches_.end(),
        [](const FileWatch& watch) { return watch.busySinceMs.has_value(); });
}

void ReadinessChecks::watchFile(int slot, WallSecond now, const QTimeZone& zone)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    const QString path = t_.slot(slot).path;
    // Choosing again, even the same path, makes the file as it is now the
    // chosen one; a refused choice changes neither.
    const int choice = t_.slot(slot).choices;
    if (path != watch.path || choice != watch.choice) {
        clearFileWarning(slot);
        const int generation = watch.generation + 1;
        watch = FileWatch{};
        watch.path = path;
        watch.choice = choice;
        watch.generation = generation;
        // The file as it is just after the choice is the one to compare
        // with later.
        if (!path.isEmpty())
            startFileCheck(slot, std::nullopt);
    }
    const std::optional<WallSecond> due = nextDue(t_, slot, now, zone);
    if (!due || *due - now > FileLeadSeconds) {
        // Past its second the clock has tried the file and said what it met;
        // the warning goes without a claim that the file was mended.
        clearFileWarning(slot, QStringLiteral("its start has passed"));
        return;
    }
    // Every second of the last minute: a file taken away after one look is
    // still found before its second. A look costs a stat and one frame.
    if (!watch.busySinceMs) {
        startFileCheck(slot, due);
        return;
    }
    if (clock_.monotonicMs() - *watch.busySinceMs >= FileCheckPatienceMs)
        warnFile(slot, *due, QStringLiteral("does not answer (a hung drive or network share?)"));
}

void ReadinessChecks::startFileCheck(int slot, std::optional<WallSecond> due)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    watch.busySinceMs = clock_.monotonicMs();
    workers_[std::size_t(slot)].post(
        [this, slot, path = watch.path, chosen = watch.chosen, generation = watch.generation, due] {
            const FileCheckResult result = files_.check(path, chosen);
            results_.post([this, slot, generation, due, result] {
                fileChecked(slot, generation, due, result);
            });
        });
}

void ReadinessChecks::fileChecked(
    int slot, int generation, std::optional<WallSecond> due, const FileCheckResult& result)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    if (generation != watch.generation)
        return;
    watch.busySinceMs.reset();
    if (!watch.chosen)
        watch.chosen = result.stamp;
    // Without a start at hand, only the stamp was wanted: the player judged
    // the file when it was chosen.
    if (!due)
        return;
    if (result.problem.isEmpty()) {
        clearFileWarning(slot);
        return;
    }
    warnFile(slot, *due, result.problem);
}

void ReadinessChecks::warnFile(int slot, WallSecond due, const QString& problem)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    const QDateTime now = clock_.now();
    const qint64 secondsLeft = due - wallSecondOf(now);
    if (secondsLeft < 0)
        return;
    watch.warned = true;
    errors_.warn(slotKey(slot),
        QStringLiteral("%1: %2 %3 (due %4, in %5)")
            .arg(describeSlot(slot), QFileInfo(watch.path).fileName(), problem,
                timeOfDayText(localTimeOf(due, zoneOf(now)).time()), untilText(secondsLeft)));
}

void ReadinessChecks::clearFileWarning(int slot, const QString& why)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    if (!watch.warned)
        return;
    watch.warned = false;
    errors_.clearWarning(slotKey(slot),
        QStringLiteral("%1: %2 %3").arg(describeSlot(slot), QFileInfo(watch.path).fileName(), why));
}

void ReadinessChecks::watchOutput()
{
    const QString problem = output_.problem();
    if (problem.isEmpty()) {
        errors_.clearWarningShown(OutputKey, QStringLiteral("Sound output: works again"));
        return;
    }
    QString text = QStringLiteral("Sound output: cannot be opened (%1)").arg(problem);
    const QDateTime now = clock_.now();
    const QTimeZone zone = zoneOf(now);
    if (const std::optional<NextStart> next = nextStart(t_, wallSecondOf(now), zone))
        text += QStringLiteral("; the start at %1 (slot %2) would be silent")
                    .arg(timeOfDayText(localTimeOf(next->second, zone).time()))
                    .arg(next->starting.back() + 1);
    errors_.warn(OutputKey, text);
}
