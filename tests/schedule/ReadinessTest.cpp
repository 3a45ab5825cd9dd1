#include "ScheduleSteps.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

void tickAndCheck(FormHarness& h, QTime at)
{
    tickAt(h, at);
    h.finishChecks();
}

} // namespace

TEST(Readiness, AFileBrokenAMinuteAheadIsReportedBeforeItsSecondAndClearedWhenMended)
{
    FormHarness h;
    const QString bell = QStringLiteral("/sounds/bell.mp3");
    const QString horn = QStringLiteral("/sounds/horn.mp3");
    giveSlot(h, 3, QStringLiteral("bell"), QTime(10, 0));
    giveSlot(h, 5, QStringLiteral("horn"), QTime(10, 0));
    h.dialog(3).setFileName(bell);
    h.dialog(5).setFileName(horn);
    QPushButton* status = h.c().statusLine;
    tickAndCheck(h, QTime(9, 58, 0, 5));
    h.fileCheck.breakFile(bell, QStringLiteral("is no longer readable"));
    h.fileCheck.breakFile(horn, QStringLiteral("no longer decodes from its start"));
    tickAndCheck(h, QTime(9, 58, 59, 5));
    EXPECT_FALSE(status->isVisible()) << "checked more than a minute ahead";

    tickAndCheck(h, QTime(9, 59, 2, 5));
    const QString bellWarning =
        QStringLiteral("Slot 4: bell.mp3 is no longer readable (due 10:00:00, in 58 s)");
    EXPECT_TRUE(status->toolTip().contains(bellWarning)) << status->toolTip().toStdString();
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral("Slot 6: horn.mp3 no longer decodes")));
    // A warning: the slot is as it was and no box opened.
    EXPECT_FALSE(h.player(3).isPlaying());
    EXPECT_EQ(h.slot(3).runButton->text(), QStringLiteral("&RunNow"));
    EXPECT_TRUE(h.messageBox.shown().empty());

    h.fileCheck.mendFile(bell);
    tickAndCheck(h, QTime(9, 59, 3, 5));
    EXPECT_FALSE(status->toolTip().contains(QStringLiteral("bell.mp3")));
    EXPECT_TRUE(status->isVisible()) << "the horn is still broken";

    // Found fit once, and taken away after.
    h.fileCheck.breakFile(bell, QStringLiteral("is no longer there"));
    tickAndCheck(h, QTime(9, 59, 58, 5));
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral("bell.mp3 is no longer there")));

    // The clock still tries the files it was warned about.
    tickAndCheck(h, QTime(10, 0, 0, 5));
    EXPECT_EQ(h.journal.filter(QStringLiteral("play")), QStringList({"play 3", "play 5"}));
    EXPECT_FALSE(status->isVisible()) << "past its second the warning goes";
}

TEST(Readiness, NoSoundOutputIsReportedAtStartUpAndClearedOnRecovery)
{
    FormHarness h;
    giveSlot(h, 6, QStringLiteral("gong"), QTime(10, 0));
    h.outputCheck.failWith(QStringLiteral("no sound server"));
    QPushButton* status = h.c().statusLine;
    tickAndCheck(h, QTime(8, 0, 0, 5));
    EXPECT_TRUE(status->text().endsWith(QStringLiteral(
        "Sound output: cannot be opened (no sound server); the start at 10:00:00 (slot 7) "
        "would be silent")))
        << status->text().toStdString();

    h.outputCheck.failWith(QString());
    tickAndCheck(h, QTime(8, 0, 1, 5));
    EXPECT_TRUE(status->text().endsWith(QStringLiteral("Sound output: works again")))
        << "the output's own state is read every second: " << status->text().toStdString();
    EXPECT_FALSE(status->text().contains(QStringLiteral("problems")));

    h.outputCheck.failWith(QStringLiteral("device unplugged"));
    tickAndCheck(h, QTime(8, 0, 2, 5));
    EXPECT_TRUE(status->text().contains(QStringLiteral("device unplugged")));
}
