#include "ReadinessChecks.h"

#include "Clock.h"
#include "ErrorReporter.h"
#include "FileDialog.h"
#include "NextStart.h"
#include "SoundOutputCheck.h"
#include "TimeOfDayText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPushButton>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString OutputKey = QStringLiteral("output");

QString slotKey(int slot)
{
    return QStringLiteral("slot %1").arg(slot);
}

} // namespace

ReadinessChecks::ReadinessChecks(const WindowControls& c, const Clock& clock, ErrorReporter& errors,
    SoundOutputCheck& output, const SoundFileCheck& files)
    : c_(c), clock_(clock), errors_(errors), output_(output), files_(files)
{
    // One check at a time: they are seldom, and none may compete with the
    // decoders for the two cores.
    worker_.setMaxThreadCount(1);
    for (int slot = 0; slot < SlotCount; ++slot) {
        // Choosing again, even the same path, makes the file as it is now the
        // chosen one. The choice is made before this runs: the window's own
        // handler was connected first.
        connect(c_.slot(slot).chooseFileButton, &QPushButton::clicked, this, [this, slot] {
            clearFileWarning(slot);
            watches_[std::size_t(slot)].path.clear();
        });
    }
}

ReadinessChecks::~ReadinessChecks()
{
    worker_.waitForDone();
}

void ReadinessChecks::tick()
{
    const WallSecond now = wallSecondOf(clock_.now());
    watchOutput(now);
    for (int slot = 0; slot < SlotCount; ++slot)
        watchFile(slot, now);
}

void ReadinessChecks::finishPending()
{
    worker_.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

template <typename Work, typename Done> void ReadinessChecks::runOffGuiThread(Work work, Done done)
{
    worker_.start([this, work = std::move(work), done = std::move(done)]() mutable {
        // Below the GUI thread and the decoders: on a busy machine a check
        // may come late, but never a tick or a sound. Linux keeps a nice
        // value per thread.
        setpriority(PRIO_PROCESS, id_t(gettid()), 10);
        auto result = work();
        QMetaObject::invokeMethod(
            this, [done = std::move(done), result = std::move(result)] { done(result); },
            Qt::QueuedConnection);
    });
}

void ReadinessChecks::watchFile(int slot, WallSecond now)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    const QString path = c_.slot(slot).fileDialog->fileName();
    if (path != watch.path) {
        clearFileWarning(slot);
        const int generation = watch.generation + 1;
        watch = FileWatch{};
        watch.path = path;
        watch.generation = generation;
        // The file as it is just after the choice is the one to compare
        // with later.
        if (!path.isEmpty())
            startFileCheck(slot, std::nullopt);
    }
    const std::optional<WallSecond> due = nextDue(c_, slot, now);
    if (!due || *due - now > FileLeadSeconds) {
        // Past its second the clock has tried the file and said what it met.
        clearFileWarning(slot);
        return;
    }
    // Every second of the last minute: a file taken away after one look is
    // still found before its second. A look costs a stat and one frame.
    if (!watch.busy)
        startFileCheck(slot, due);
}

void ReadinessChecks::startFileCheck(int slot, std::optional<WallSecond> due)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    watch.busy = true;
    runOffGuiThread([&files = files_, path = watch.path,
                        chosen = watch.chosen] { return files.check(path, chosen); },
        [this, slot, generation = watch.generation, due](
            const FileCheckResult& result) { fileChecked(slot, generation, due, result); });
}

void ReadinessChecks::fileChecked(
    int slot, int generation, std::optional<WallSecond> due, const FileCheckResult& result)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    if (generation != watch.generation)
        return;
    watch.busy = false;
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
    const qint64 secondsLeft = *due - wallSecondOf(clock_.now());
    if (secondsLeft < 0)
        return;
    watch.warned = true;
    errors_.warn(slotKey(slot),
        QStringLiteral("%1: %2 %3 (due %4, in %5)")
            .arg(describeSlot(slot), QFileInfo(watch.path).fileName(), result.problem,
                timeOfDayText(timeOfDayOf(*due)), untilText(secondsLeft)));
}

void ReadinessChecks::clearFileWarning(int slot)
{
    FileWatch& watch = watches_[std::size_t(slot)];
    if (!watch.warned)
        return;
    watch.warned = false;
    errors_.clearWarning(slotKey(slot),
        QStringLiteral("%1: %2 is fit to play again")
            .arg(describeSlot(slot), QFileInfo(watch.path).fileName()));
}

void ReadinessChecks::watchOutput(WallSecond now)
{
    const bool working = output_.outputWorking();
    const bool changed = working != outputWasWorking_;
    outputWasWorking_ = working;
    // A clock set back counts as due too, so the minute does not wait for
    // the old reading to come round again.
    const bool due = !lastOutputCheck_ || now - *lastOutputCheck_ >= OutputEverySeconds ||
        now < *lastOutputCheck_ || changed;
    if (!due || outputBusy_)
        return;
    lastOutputCheck_ = now;
    if (working) {
        outputChecked(QString());
        return;
    }
    outputBusy_ = true;
    runOffGuiThread([&output = output_] { return output.tryOpen(); },
        [this](const QString& problem) {
            outputBusy_ = false;
            outputChecked(problem);
        });
}

void ReadinessChecks::outputChecked(const QString& problem)
{
    if (problem.isEmpty()) {
        errors_.clearWarning(OutputKey, QStringLiteral("Sound output: works again"));
        return;
    }
    QString text = QStringLiteral("Sound output: cannot be opened (%1)").arg(problem);
    if (const std::optional<NextStart> next = nextStart(c_, wallSecondOf(clock_.now())))
        text += QStringLiteral("; the start at %1 (slot %2) would be silent")
                    .arg(timeOfDayText(timeOfDayOf(next->second)))
                    .arg(next->starting.back() + 1);
    errors_.warn(OutputKey, text);
}
