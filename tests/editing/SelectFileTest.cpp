#include "FormHarness.h"
#include "window/LabelColour.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The buttons start locked; another part of the program unlocks them.
void clickSelect(FormHarness& h, int slot)
{
    if (h.timetable().locked())
        h.unlock();
    FormHarness::click(h.slot(slot).chooseFileButton);
}

struct SlotShown {
    QString path;
    QString label;
    QString runCaption;
    bool run, time, stop;
    QString playerFile;
    bool playing;

    bool operator==(const SlotShown&) const = default;
};

SlotShown stateOf(FormHarness& h, int i)
{
    const SlotControls& s = h.slot(i);
    return {h.timetable().slot(i).path, s.fileNameLabel->text(), s.runButton->text(),
        s.runButton->isEnabled(), s.setTimeButton->isEnabled(), s.stopButton->isEnabled(),
        h.player(i).file(), h.player(i).isPlaying()};
}

void PrintTo(const SlotShown& s, std::ostream* os)
{
    *os << "{" << s.path.toStdString() << " | " << s.label.toStdString() << " | "
        << s.runCaption.toStdString() << " | " << s.run << s.time << s.stop << " | "
        << s.playerFile.toStdString() << " | " << s.playing << "}";
}

} // namespace

TEST(SelectFile, AChosenFileIsOpenedLabelledAndItsButtonsEnabled)
{
    FormHarness h;
    const QString path = QStringLiteral("/home/op/铃声/课间 铃.mp3");
    h.dialog(3).chooseNext(path);
    clickSelect(h, 3);

    EXPECT_EQ(h.dialog(3).filter(), QStringLiteral("mp3file(*.mp3)|*.mp3"));
    EXPECT_EQ(h.dialog(3).shownCount(), 1);
    EXPECT_EQ(h.journal, QStringList{QStringLiteral("open 3 ") + path});
    EXPECT_EQ(h.player(3).file(), path);
    EXPECT_FALSE(h.player(3).isPlaying());
    EXPECT_EQ(stateOf(h, 3),
        (SlotShown{path, QStringLiteral("课间 铃"), QStringLiteral("&RunNow"), true, true, true,
            path, false}));
    EXPECT_TRUE(h.messageBox.shown().empty());
    // No other slot is touched.
    EXPECT_EQ(stateOf(h, 4),
        (SlotShown{{}, {}, QStringLiteral("&RunNow"), false, false, false, {}, false}));
}

TEST(SelectFile, ANewChoiceReplacesTheFileAndResetsThePlayingSlot)
{
    FormHarness h;
    h.dialog(2).chooseNext(QStringLiteral("/sound/first.mp3"));
    clickSelect(h, 2);
    h.enterStartTime(2, QTime(19, 12, 0));
    FormHarness::click(h.slot(2).runButton);

    h.dialog(2).chooseNext(QStringLiteral("/sound/second.mp3"));
    clickSelect(h, 2);
    EXPECT_EQ(h.player(2).file(), QStringLiteral("/sound/second.mp3"));
    EXPECT_FALSE(h.player(2).isPlaying());
    EXPECT_EQ(h.slot(2).fileNameLabel->text(), QStringLiteral("second"));
    EXPECT_EQ(h.slot(2).runButton->text(), QStringLiteral("&RunNow"));
    // Colour, progress and start time are not this button's business.
    EXPECT_EQ(LabelColour::of(h.slot(2).fileNameLabel), LabelColour::Red);
    EXPECT_TRUE(h.c().progressTimer(2)->isActive());
    EXPECT_EQ(h.timetable().slot(2).startTime, QTime(19, 12, 0));
}

TEST(SelectFile, CancelOnAnEmptySlotOpensNothingAndEnablesNothing)
{
    FormHarness h;
    h.dialog(6).chooseNext(std::nullopt);
    clickSelect(h, 6);

    EXPECT_EQ(h.dialog(6).shownCount(), 1);
    EXPECT_TRUE(h.journal.isEmpty());
    EXPECT_EQ(stateOf(h, 6),
        (SlotShown{{}, {}, QStringLiteral("&RunNow"), false, false, false, {}, false}));
}

TEST(SelectFile, CancelOnASlotWithAFileOpensItAgainAndResetsTheRunButton)
{
    FormHarness h;
    const QString path = QStringLiteral("/sound/bell.mp3");
    h.dialog(1).chooseNext(path);
    clickSelect(h, 1);
    FormHarness::click(h.slot(1).runButton);
    h.journal.clear();

    h.dialog(1).chooseNext(std::nullopt);
    clickSelect(h, 1);
    EXPECT_EQ(h.journal, QStringList{QStringLiteral("open 1 ") + path});
    EXPECT_EQ(stateOf(h, 1),
        (SlotShown{path, QStringLiteral("bell"), QStringLiteral("&RunNow"), true, true, true, path,
            false}));
}

TEST(SelectFile, ARefusedFileIsReportedOnceAndLeavesTheSlotAsItWas)
{
    FormHarness h;
    const QString good = QStringLiteral("/sound/good.mp3");
    h.dialog(5).chooseNext(good);
    clickSelect(h, 5);
    FormHarness::click(h.slot(5).runButton);
    const SlotShown before = stateOf(h, 5);

    const QString broken = QStringLiteral("/sound/坏 文件.mp3");
    h.player(5).failOpenWith(broken + QStringLiteral(": not an MP3 file"));
    h.dialog(5).chooseNext(broken);
    h.messageBox.answerNext(MessageAnswer::Ok);
    clickSelect(h, 5);

    EXPECT_EQ(stateOf(h, 5), before);
    EXPECT_TRUE(h.player(5).isPlaying());
    ASSERT_EQ(h.messageBox.shown().size(), 1u);
    const ScriptedMessageBox::Shown& box = h.messageBox.shown().front();
    EXPECT_TRUE(box.text.contains(broken)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("not an MP3 file"))) << box.text.toStdString();
    EXPECT_EQ(h.programExit.calls(), 0);
}

TEST(SelectFile, ARefusalThatDoesNotNameTheFileIsToldWithItsPath)
{
    FormHarness h;
    const QString missing = QStringLiteral("/sound/gone.mp3");
    h.player(7).failOpenWith(QStringLiteral("no such file"));
    h.dialog(7).chooseNext(missing);
    h.messageBox.answerNext(MessageAnswer::Ok);
    clickSelect(h, 7);

    EXPECT_EQ(stateOf(h, 7),
        (SlotShown{{}, {}, QStringLiteral("&RunNow"), false, false, false, {}, false}));
    ASSERT_EQ(h.messageBox.shown().size(), 1u);
    EXPECT_EQ(
        h.messageBox.shown().front().text, QStringLiteral("Slot 8: /sound/gone.mp3: no such file"));
}

TEST(SelectFile, AFileNamedOnlyByItsExtensionEnablesSlotZeroButNotTheOthers)
{
    FormHarness h;
    const QString path = QStringLiteral("/sound/.mp3");
    h.dialog(0).chooseNext(path);
    h.dialog(5).chooseNext(path);
    clickSelect(h, 0);
    clickSelect(h, 5);

    EXPECT_EQ(stateOf(h, 0),
        (SlotShown{path, {}, QStringLiteral("&RunNow"), true, true, true, path, false}));
    EXPECT_EQ(stateOf(h, 5),
        (SlotShown{path, {}, QStringLiteral("&RunNow"), false, false, false, path, false}));
}

TEST(SelectFile, CancelWhenTheSlotsFileIsNowRefusedKeepsTheSlotPlaying)
{
    FormHarness h;
    const QString path = QStringLiteral("/sound/bell.mp3");
    h.dialog(9).chooseNext(path);
    clickSelect(h, 9);
    FormHarness::click(h.slot(9).runButton);
    const SlotShown before = stateOf(h, 9);

    h.player(9).failOpenWith(path + QStringLiteral(": the file is gone"));
    h.dialog(9).chooseNext(std::nullopt);
    h.messageBox.answerNext(MessageAnswer::Ok);
    clickSelect(h, 9);
    EXPECT_EQ(stateOf(h, 9), before);
    EXPECT_EQ(h.messageBox.shown().size(), 1u);
}

TEST(SelectFile, ALongNameWrapsAndTheLabelGrowsDownwardToShowIt)
{
    FormHarness h;
    QLabel* label = h.slot(2).fileNameLabel;
    const int width = label->width();

    h.dialog(2).chooseNext(QStringLiteral("/sounds/bell.mp3"));
    clickSelect(h, 2);
    const int oneLine = label->height();
    EXPECT_GE(oneLine, label->fontMetrics().height());

    h.dialog(2).chooseNext(
        QStringLiteral("/sounds/the long announcement for the end of the afternoon shift.mp3"));
    clickSelect(h, 2);
    EXPECT_EQ(label->width(), width);
    EXPECT_GE(label->height(), 3 * label->fontMetrics().height());
    EXPECT_GE(label->height(), label->heightForWidth(width));

    h.dialog(2).chooseNext(QStringLiteral("/sounds/bell.mp3"));
    clickSelect(h, 2);
    EXPECT_EQ(label->height(), oneLine);
}
