#include "FormHarness.h"
#include "LabelColour.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

std::vector<QPushButton*> enabledButtons(Form1& form)
{
    std::vector<QPushButton*> enabled;
    for (QPushButton* b : form.findChildren<QPushButton*>())
        if (b->isEnabled() && b->objectName() != QStringLiteral("StatusLine"))
            enabled.push_back(b);
    return enabled;
}

} // namespace

TEST(Form1AsCreated, ShowsTenRowsWithPlaceholdersAndCaptions)
{
    FormHarness h(FormHarness::Start::AsCreated);
    EXPECT_EQ(h.form().windowTitle(), QStringLiteral("Tarnwick------Powered By Quellin"));
    for (int i = 0; i < SlotCount; ++i) {
        SCOPED_TRACE(i);
        const SlotControls& s = h.slot(i);
        EXPECT_EQ(s.LabStarttime->text(), QStringLiteral("- - : - - : - -"));
        EXPECT_EQ(s.lblPast->text(), QStringLiteral("- - : - -"));
        EXPECT_EQ(s.Label4->text(), QStringLiteral("/"));
        EXPECT_EQ(s.lblTotal->text(), QStringLiteral("- - : - -"));
        EXPECT_TRUE(s.LabFilename->text().isEmpty());
        EXPECT_EQ(s.Command1->text(), QStringLiteral("&Select"));
        EXPECT_EQ(s.Command2->text(), QStringLiteral("&KelTime"));
        EXPECT_EQ(s.Command3->text(), QStringLiteral("&RunNow"));
        EXPECT_EQ(s.Command5->text(), QStringLiteral("&Stop"));
        EXPECT_TRUE(s.CommonDialog1->fileName().isEmpty());
    }
    EXPECT_EQ(h.c().Label1->text(), QStringLiteral("SystermTime\uFF1A"));
    EXPECT_TRUE(h.c().LabNowtime->text().isEmpty());
    EXPECT_EQ(h.c().Command6->text(), QStringLiteral("&Lock"));
    EXPECT_EQ(h.c().Command7->text(), QStringLiteral("&UnLock"));
    EXPECT_EQ(h.c().Command8->text(), QStringLiteral("&Quit"));
    EXPECT_EQ(h.c().Frame1->title(), QStringLiteral("FileName"));
    EXPECT_EQ(h.c().Frame2->title(), QStringLiteral("StartTime"));
    EXPECT_EQ(h.c().Frame4->title(), QStringLiteral("TimeTable"));
    EXPECT_EQ(h.c().Frame3->title(), QStringLiteral("Commands"));
}

TEST(Form1AsCreated, ControlsAreFoundByTheirIndexedNames)
{
    FormHarness h(FormHarness::Start::AsCreated);
    Form1& form = h.form();
    EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("Command3(2)")), h.slot(2).Command3);
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("LabFilename(0)")), h.slot(0).LabFilename);
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lblPast(9)")), h.slot(9).lblPast);
    EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("Command6")), h.c().Command6);
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("LabNowtime")), h.c().LabNowtime);
    for (int number = 1; number <= 14; ++number)
        EXPECT_EQ(
            form.findChild<QTimer*>(QStringLiteral("Timer%1").arg(number)), h.c().timer(number));
}

TEST(Form1AsCreated, EachSlotOwnsTheProgressTimerNumberedFivePlusItsIndex)
{
    FormHarness h(FormHarness::Start::AsCreated);
    for (int i = 0; i < SlotCount; ++i) {
        QTimer* timer = h.c().progressTimer(i);
        EXPECT_EQ(timer->objectName(), QStringLiteral("Timer%1").arg(i + 5));
        EXPECT_EQ(timer->interval(), 1000);
        EXPECT_FALSE(timer->isActive());
    }
}

TEST(Form1AsCreated, TimersHaveTheirFirstIntervals)
{
    FormHarness h(FormHarness::Start::AsCreated);
    EXPECT_EQ(h.c().timer(1)->interval(), 500);
    EXPECT_TRUE(h.c().timer(2)->isActive());
    EXPECT_EQ(h.c().timer(2)->interval(), 100);
    EXPECT_FALSE(h.c().timer(3)->isActive());
    EXPECT_EQ(h.c().timer(3)->interval(), 500);
    EXPECT_TRUE(h.c().timer(4)->isActive());
    EXPECT_EQ(h.c().timer(4)->interval(), 1000);
}

TEST(Form1AsCreated, WarningIsHiddenAndRedAndSlotLabelsAreLightCyan)
{
    FormHarness h(FormHarness::Start::AsCreated);
    EXPECT_FALSE(h.c().Label2->isVisible());
    EXPECT_EQ(h.c().Label2->text(), QStringLiteral("Waring! Systerm Is Locked "));
    EXPECT_EQ(h.c().Label2->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    for (int i = 0; i < SlotCount; ++i) {
        EXPECT_EQ(LabelColour::of(h.slot(i).LabFilename), LabelColour::SlotText);
        EXPECT_EQ(
            h.slot(i).LabStarttime->palette().color(QPalette::WindowText), QColor(128, 255, 255));
    }
    EXPECT_EQ(h.form().palette().color(QPalette::Window), QColor(77, 91, 132));
}

TEST(Form1AsCreated, KeepsTheProportionsOfItsLayoutAtNinetySixDpi)
{
    FormHarness h(FormHarness::Start::AsCreated);
    // 9720 x 7515 twips at 15 twips a pixel.
    EXPECT_EQ(h.form().size(), QSize(648, 501));
    EXPECT_EQ(h.c().Frame3->geometry(), QRect(360, 80, 233, 337));
    EXPECT_EQ(h.slot(9).Command5->geometry(), QRect(176, 304, 49, 17));
}

TEST(Form1AsCreated, ColourValuesMapToRedButtonTextAndBlack)
{
    EXPECT_EQ(LabelColour::toQColor(LabelColour::Red), QColor(255, 0, 0));
    EXPECT_EQ(LabelColour::toQColor(LabelColour::Black), QColor(0, 0, 0));
    EXPECT_EQ(LabelColour::toQColor(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(LabelColour::toQColor(LabelColour::ButtonText),
        QApplication::palette().color(QPalette::ButtonText));
}

TEST(Form1Loaded, OnlyUnlockCanBePressed)
{
    FormHarness h;
    const std::vector<QPushButton*> enabled = enabledButtons(h.form());
    ASSERT_EQ(enabled.size(), 1u);
    EXPECT_EQ(enabled.front(), h.c().Command7);
}

TEST(Form1Loaded, SchedulerRunsEverySecondAndWarningTimersRun)
{
    FormHarness h;
    EXPECT_TRUE(h.c().timer(1)->isActive());
    EXPECT_EQ(h.c().timer(1)->interval(), 1000);
    EXPECT_TRUE(h.c().timer(3)->isActive());
    EXPECT_TRUE(h.c().timer(4)->isActive());
    for (int i = 0; i < SlotCount; ++i) {
        EXPECT_FALSE(h.c().StartTime[std::size_t(i)].has_value());
        EXPECT_FALSE(h.c().progressTimer(i)->isActive());
    }
}
