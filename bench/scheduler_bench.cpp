// How late after the start of its second each tick of the scheduling clock
// comes, against the real clock, next to a plain 1000 ms QTimer in the same
// event loop; once idle and once with one core kept busy by a spinning thread.
// Prints `name value unit` lines. Usage: scheduler_bench [ticks per run, >= 30]

#include "Figures.h"
#include "platform/SystemClock.h"
#include "schedule/SecondPlan.h"
#include "schedule/SecondTimer.h"
#include "schedule/WallSecond.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Reading {
    WallSecond second;
    double msIntoSecond;
};

Reading readClock()
{
    const qint64 us = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch())
                          .count();
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(us / 1000);
    return {wallSecondOf(local), double(us % 1'000'000) / 1000.0};
}

struct Tally {
    std::vector<double> lateMs;
    std::multiset<WallSecond> tested;
    qint64 skipped = 0;
};

// The scheduler's own timer and decisions, as the window runs them.
struct SchedulerRun {
    QTimer timer;
    SystemClock clock;
    SecondTimer secondTimer{&timer};
    std::optional<WallSecond> lastTested;
    Tally tally;
    int early = 0;
    int caughtUp = 0;

    void tick()
    {
        const Reading now = readClock();
        secondTimer.armForNextSecond(clock.now());
        const SecondPlan plan = planSeconds(lastTested, now.second);
        if (plan.passage == ClockPassage::SameSecond) {
            ++early;
            return;
        }
        lastTested = now.second;
        if (!plan.missed.empty())
            tally.skipped += plan.missed.last - plan.missed.first + 1;
        for (WallSecond s = plan.toTest.first; s <= plan.toTest.last; ++s) {
            const double late = double(now.second - s) * 1000.0 + now.msIntoSecond;
            caughtUp += late >= 1000.0 ? 1 : 0;
            tally.lateMs.push_back(late);
            tally.tested.insert(s);
        }
    }
};

// A plain periodic timer that tests whichever second it lands in.
struct PlainRun {
    QTimer timer;
    std::optional<WallSecond> last;
    Tally tally;

    void tick()
    {
        const Reading now = readClock();
        if (last && now.second > *last + 1)
            tally.skipped += now.second - *last - 1;
        last = now.second;
        tally.lateMs.push_back(now.msIntoSecond);
        tally.tested.insert(now.second);
    }
};

qint64 doubled(const std::multiset<WallSecond>& tested)
{
    return qint64(tested.size()) -
        qint64(std::set<WallSecond>(tested.begin(), tested.end()).size());
}

void printLateness(const std::string& prefix, const std::string& suffix, const Tally& tally)
{
    print(prefix + "_late_min_ms" + suffix, nearestRank(tally.lateMs, 0.0), "ms");
    print(prefix + "_late_median_ms" + suffix, nearestRank(tally.lateMs, 0.5), "ms");
    print(prefix + "_late_p99_ms" + suffix, nearestRank(tally.lateMs, 0.99), "ms");
    print(prefix + "_late_max_ms" + suffix, nearestRank(tally.lateMs, 1.0), "ms");
}

void runOnce(QCoreApplication& app, int ticks, const std::string& suffix)
{
    SchedulerRun scheduler;
    PlainRun plain;
    QObject::connect(&scheduler.timer, &QTimer::timeout, &app, [&] {
        scheduler.tick();
        if (int(scheduler.tally.lateMs.size()) >= ticks && int(plain.tally.lateMs.size()) >= ticks)
            app.quit();
    });
    QObject::connect(&plain.timer, &QTimer::timeout, &app, [&] { plain.tick(); });
    scheduler.secondTimer.armForNextSecond(scheduler.clock.now());
    plain.timer.start(1000);
    app.exec();

    printLateness("tick", suffix, scheduler.tally);
    printLateness("qtimer", suffix, plain.tally);
    print("qtimer_over_tick_late_median_ratio" + suffix,
        nearestRank(plain.tally.lateMs, 0.5) / nearestRank(scheduler.tally.lateMs, 0.5), "x");
    print("qtimer_over_tick_late_p99_ratio" + suffix,
        nearestRank(plain.tally.lateMs, 0.99) / nearestRank(scheduler.tally.lateMs, 0.99), "x");
    print("ticks_skipped" + suffix, double(scheduler.tally.skipped), "count");
    print("ticks_doubled" + suffix, double(doubled(scheduler.tally.tested)), "count");
    print("ticks_caught_up" + suffix, scheduler.caughtUp, "count");
    print("ticks_early" + suffix, scheduler.early, "count");
    print("qtimer_ticks_skipped" + suffix, double(plain.tally.skipped), "count");
    print("qtimer_ticks_doubled" + suffix, double(doubled(plain.tally.tested)), "count");
    print("ticks_measured" + suffix, double(scheduler.tally.lateMs.size()), "count");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int ticks = std::max(30, argc > 1 ? std::atoi(argv[1]) : 40);

    runOnce(app, ticks, "");

    std::atomic<bool> spin{true};
    std::thread busy([&spin] {
        volatile unsigned long long n = 0;
        while (spin.load(std::memory_order_relaxed))
            n = n + 1;
    });
    runOnce(app, ticks, "_busy");
    spin = false;
    busy.join();
    return 0;
}
