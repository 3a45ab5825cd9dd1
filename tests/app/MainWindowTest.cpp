#include "FormHarness.h"
#include "window/LabelColour.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

std::vector<QPushButton*> enabledButtons(MainWindow& form)
{
    std::vector<QPushButton*> enabled;
    for (QPushButton* b : form.findChildren<QPushButton*>())
        if (b->isEnabled() && b->objectName() != QStringLiteral("StatusLine"))
            enabled.push_back(b);
    return enabled;
}

} // namespace

TEST(MainWindowAsCreated, ShowsTenRowsWithPlaceholdersAndCaptions)
{
    FormHarness h(FormHarness::Start::AsCreated);
    EXPECT_EQ(h.form().windowTitle(), QStringLiteral("Tarnwick------Powered By Quellin"));
    for (int i = 0; i < SlotCount; ++i) {
        SCOPED_TRACE(i);
        const SlotControls& s = h.slot(i);
        EXPECT_EQ(s.startTimeLabel->text(), QStringLiteral("- - : - - : - -"));
        EXPECT_EQ(s.elapsedLabel->text(), QStringLiteral("- - : - -"));
        EXPECT_EQ(s.slashLabel->text(), QStringLiteral("/"));
        EXPECT_EQ(s.totalLabel->text(), QStringLiteral("- - : - -"));
        EXPECT_TRUE(s.fileNameLabel->text().isEmpty());
        EXPECT_EQ(s.chooseFileButton->text(), QStringLiteral("&Select"));
        EXPECT_EQ(s.setTimeButton->text(), QStringLiteral("&KelTime"));
        EXPECT_EQ(s.runButton->text(), QStringLiteral("&RunNow"));
        EXPECT_EQ(s.stopButton->text(), QStringLiteral("&Stop"));
    }
    EXPECT_EQ(h.c().clockCaption->text(), QStringLiteral("SystermTime\uFF1A"));
    EXPECT_TRUE(h.c().clockLabel->text().isEmpty());
    EXPECT_EQ(h.c().lockButton->text(), QStringLiteral("&Lock"));
    EXPECT_EQ(h.c().unlockButton->text(), QStringLiteral("&UnLock"));
    EXPECT_EQ(h.c().quitButton->text(), QStringLiteral("&Quit"));
    EXPECT_EQ(h.c().fileNameFrame->title(), QStringLiteral("FileName"));
    EXPECT_EQ(h.c().startTimeFrame->title(), QStringLiteral("StartTime"));
    EXPECT_EQ(h.c().progressFrame->title(), QStringLiteral("TimeTable"));
    EXPECT_EQ(h.c().commandFrame->title(), QStringLiteral("Commands"));
}

// External tools find the controls by these object names; the code names
// they map to are listed in docs/architecture.md.
TEST(MainWindowAsCreated, EveryControlKeepsItsObjectName)
{
    FormHarness h(FormHarness::Start::AsCreated);
    MainWindow& form = h.form();
    const WindowControls& c = h.c();
    const auto expectName = [&](const QObject* control, const QString& name) {
        ASSERT_NE(control, nullptr) << name.toStdString();
        EXPECT_EQ(control->objectName(), name);
        EXPECT_EQ(form.findChild<QObject*>(name), control) << name.toStdString();
    };
    EXPECT_EQ(form.objectName(), QStringLiteral("Form1"));
    const std::pair<const QObject*, const char*> single[] = {{c.clockCaption, "Label1"},
        {c.clockLabel, "LabNowtime"}, {c.lockWarning, "Label2"}, {c.lockButton, "Command6"},
        {c.unlockButton, "Command7"}, {c.quitButton, "Command8"}, {c.fileNameFrame, "Frame1"},
        {c.startTimeFrame, "Frame2"}, {c.commandFrame, "Frame3"}, {c.progressFrame, "Frame4"},
        {c.statusLine, "StatusLine"}, {c.nextStartLabel, "NextStart"}, {c.schedulerTimer, "Timer1"},
        {c.clockTimer, "Timer2"}, {c.warningShowTimer, "Timer3"}, {c.warningHideTimer, "Timer4"}};
    for (const auto& [control, name] : single)
        expectName(control, QLatin1String(name));
    for (int i = 0; i < SlotCount; ++i) {
        const SlotControls& s = c.slot(i);
        const std::pair<const QObject*, const char*> row[] = {{s.fileNameLabel, "LabFilename"},
            {s.separatorLine, "Line1"}, {s.startTimeLabel, "LabStarttime"},
            {s.elapsedLabel, "lblPast"}, {s.slashLabel, "Label4"}, {s.totalLabel, "lblTotal"},
            {s.chooseFileButton, "Command1"}, {s.setTimeButton, "Command2"},
            {s.runButton, "Command3"}, {s.stopButton, "Command5"}};
        for (const auto& [control, name] : row)
            expectName(control, QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
        expectName(c.progressTimer(i), QStringLiteral("Timer%1").arg(i + 5));
    }
}

TEST(MainWindowAsCreated, ProgressTimersStartStopped)
{
    FormHarness h(FormHarness::Start::AsCreated);
    for (int i = 0; i < SlotCount; ++i) {
        EXPECT_EQ(h.c().progressTimer(i)->interval(), 1000);
        EXPECT_FALSE(h.c().progressTimer(i)->isActive());
    }
}

TEST(MainWindowAsCreated, TimersHaveTheirFirstIntervals)
{
    FormHarness h(FormHarness::Start::AsCreated);
    EXPECT_FALSE(h.c().schedulerTimer->isActive()) << "started when the window is loaded";
    EXPECT_TRUE(h.c().clockTimer->isActive());
    EXPECT_EQ(h.c().clockTimer->interval(), 100);
    EXPECT_FALSE(h.c().warningShowTimer->isActive());
    EXPECT_EQ(h.c().warningShowTimer->interval(), 500);
    EXPECT_TRUE(h.c().warningHideTimer->isActive());
    EXPECT_EQ(h.c().warningHideTimer->interval(), 1000);
}

TEST(MainWindowAsCreated, WarningIsHiddenAndRedAndSlotLabelsAreLightCyan)
{
    FormHarness h(FormHarness::Start::AsCreated);
    EXPECT_FALSE(h.c().lockWarning->isVisible());
    EXPECT_EQ(h.c().lockWarning->text(), QStringLiteral("Waring! Systerm Is Locked "));
    EXPECT_EQ(h.c().lockWarning->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    for (int i = 0; i < SlotCount; ++i) {
        EXPECT_EQ(LabelColour::of(h.slot(i).fileNameLabel), LabelColour::SlotText);
        EXPECT_EQ(
            h.slot(i).startTimeLabel->palette().color(QPalette::WindowText), QColor(128, 255, 255));
    }
    EXPECT_EQ(h.form().palette().color(QPalette::Window), QColor(77, 91, 132));
}

TEST(MainWindowAsCreated, KeepsTheProportionsOfItsLayoutAtNinetySixDpi)
{
    FormHarness h(FormHarness::Start::AsCreated);
    // 9720 x 7515 twips at 15 twips a pixel.
    EXPECT_EQ(h.form().size(), QSize(648, 501));
    EXPECT_EQ(h.c().commandFrame->geometry(), QRect(360, 80, 233, 337));
    EXPECT_EQ(h.slot(9).stopButton->geometry(), QRect(176, 304, 49, 17));
}

TEST(MainWindowAsCreated, ColourValuesMapToRedButtonTextAndBlack)
{
    EXPECT_EQ(LabelColour::toQColor(LabelColour::Red), QColor(255, 0, 0));
    EXPECT_EQ(LabelColour::toQColor(LabelColour::Black), QColor(0, 0, 0));
    EXPECT_EQ(LabelColour::toQColor(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(LabelColour::toQColor(LabelColour::ButtonText),
        QApplication::palette().color(QPalette::ButtonText));
}

TEST(MainWindowLoaded, OnlyUnlockCanBePressed)
{
    FormHarness h;
    const std::vector<QPushButton*> enabled = enabledButtons(h.form());
    ASSERT_EQ(enabled.size(), 1u);
    EXPECT_EQ(enabled.front(), h.c().unlockButton);
}

TEST(MainWindowLoaded, SchedulerRunsEverySecondAndWarningTimersRun)
{
    FormHarness h;
    EXPECT_TRUE(h.c().schedulerTimer->isActive());
    EXPECT_EQ(h.c().schedulerTimer->interval(), 1000);
    EXPECT_TRUE(h.c().warningShowTimer->isActive());
    EXPECT_TRUE(h.c().warningHideTimer->isActive());
    for (int i = 0; i < SlotCount; ++i) {
        EXPECT_FALSE(h.timetable().slot(i).startTime.has_value());
        EXPECT_FALSE(h.c().progressTimer(i)->isActive());
    }
}
