#include "FormHarness.h"
#include "window/LabelColour.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

// The view writes the slots' widgets from the timetable and from nothing else.
TEST(TimetableView, ShowsEachSlotAsTheTimetableHasIt)
{
    FormHarness h;
    Timetable& t = h.timetable();
    t.unlock();
    t.takeFile(0, QStringLiteral("/s/.mp3"));
    t.takeFile(4, QStringLiteral("/s/gong.mp3"));
    t.takeFile(7, QStringLiteral("/s/horn.mp3"));
    t.setStartTime(7, QTime(19, 12));
    t.runClicked(4, RunClick::Start, QTime(9, 5, 7));
    t.stopped(0);

    EXPECT_EQ(h.slot(4).fileNameLabel->text(), QStringLiteral("gong"));
    EXPECT_EQ(h.slot(7).startTimeLabel->text(), QStringLiteral("19:12:00"));
    EXPECT_EQ(h.slot(4).startTimeLabel->text(), QStringLiteral("9:05:07"));
    EXPECT_EQ(h.slot(3).startTimeLabel->text(), QStringLiteral("- - : - - : - -"));
    for (int i = 0; i < SlotCount; ++i) {
        SCOPED_TRACE(i);
        const SlotControls& s = h.slot(i);
        EXPECT_EQ(
            s.runButton->text(), i == 4 ? QStringLiteral("&Pause") : QStringLiteral("&RunNow"));
        EXPECT_EQ(LabelColour::of(s.fileNameLabel),
            i == 4       ? LabelColour::Red
                : i == 0 ? LabelColour::Black
                         : LabelColour::ButtonText);
        EXPECT_EQ(h.c().progressTimer(i)->isActive(), i == 4);
        const bool usable = i == 0 || i == 4 || i == 7;
        EXPECT_TRUE(s.chooseFileButton->isEnabled());
        for (const QPushButton* b : {s.setTimeButton, s.runButton, s.stopButton})
            EXPECT_EQ(b->isEnabled(), usable) << b->objectName().toStdString();
    }
    EXPECT_FALSE(h.c().unlockButton->isEnabled());

    t.end();
    EXPECT_FALSE(h.c().progressTimer(4)->isActive()) << "no progress after the end";
}
