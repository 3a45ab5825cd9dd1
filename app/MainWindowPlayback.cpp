#include "app/MainWindow.h"

#include "errors/HandlerFailures.h"
#include "playback/ProgressDisplay.h"
#include "schedule/Scheduler.h"

#include <QPushButton>
#include <QTimer>

void MainWindow::connectPlayback()
{
    for (int i = 0; i < SlotCount; ++i) {
        const SlotControls& s = c_.slot(i);
        connect(s.runButton, &QPushButton::clicked, this, [this, i] { onRunClicked(i); });
        connect(s.stopButton, &QPushButton::clicked, this, [this, i] { onStopClicked(i); });
        connect(c_.progressTimer(i), &QTimer::timeout, this, [this, i] { onProgressTick(i); });
    }
}

void MainWindow::onRunClicked(int slot)
{
    runClickSteps(errors_, slot, [&] { runStop_.run(slot); });
    scheduler_->armNextSecond();
}

void MainWindow::onStopClicked(int slot)
{
    runClickSteps(errors_, slot, [&] { runStop_.stop(slot); });
    scheduler_->armNextSecond();
}

void MainWindow::onProgressTick(int slot)
{
    runTickSteps(errors_, slot, [&] { showProgress(c_.slot(slot), *players_[std::size_t(slot)]); });
}
