#include "Form1.h"

#include "HandlerEdge.h"
#include "ProgressDisplay.h"

#include <QPushButton>
#include <QTimer>

void Form1::connectPlayback()
{
    using Tick = void (Form1::*)();
    static constexpr Tick progressTicks[SlotCount] = {&Form1::Timer5_Timer, &Form1::Timer6_Timer,
        &Form1::Timer7_Timer, &Form1::Timer8_Timer, &Form1::Timer9_Timer, &Form1::Timer10_Timer,
        &Form1::Timer11_Timer, &Form1::Timer12_Timer, &Form1::Timer13_Timer, &Form1::Timer14_Timer};
    for (int i = 0; i < SlotCount; ++i) {
        const SlotControls& s = c_.slot[std::size_t(i)];
        connect(s.Command3, &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
        connect(s.Command5, &QPushButton::clicked, this, [this, i] { Command5_Click(i); });
        connect(c_.progressTimer(i), &QTimer::timeout, this, progressTicks[i]);
    }
}

void Form1::Command3_Click(int index)
{
    runClickSteps(errors_, index, [&] { runStop_.run(index); });
}

void Form1::Command5_Click(int index)
{
    runClickSteps(errors_, index, [&] { runStop_.stop(index); });
}

void Form1::progressTick(int slot)
{
    runTickSteps(errors_, slot, [&] { showProgress(c_.slot[std::size_t(slot)]); });
}
