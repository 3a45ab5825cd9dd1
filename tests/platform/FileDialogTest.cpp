#include "platform/LastChoiceFolder.h"
#include "platform/QtFileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Mp3Filter = QStringLiteral("mp3file(*.mp3)|*.mp3");

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

// The names the dialog lists in its current folder, once it has read them,
// in order and joined for a readable failure.
std::string listedNames(QFileDialog& dialog, int expectedCount)
{
    auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
    if (!view)
        return {};
    const auto rows = [view] { return view->model()->rowCount(view->rootIndex()); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return rows() >= expectedCount; }, 5000));
    // Let a late entry that should not be there show up too.
    QTest::qWait(50);
    QStringList names;
    for (int row = 0; row < rows(); ++row)
        names << view->model()->index(row, 0, view->rootIndex()).data().toString();
    names.sort();
    return names.join(QStringLiteral(", ")).toStdString();
}

// Answers the next modal file dialog from inside its event loop.
void answerNextDialog(std::function<void(QFileDialog&)> answer)
{
    QTimer::singleShot(0, [answer = std::move(answer)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no file dialog is shown";
            return;
        }
        answer(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

} // namespace

TEST(Mp3Dialog, ListsMp3FilesInAnyCaseAndFoldersOnly)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString folder = root.filePath(QStringLiteral("铃声 课间"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/sub")));
    for (const char* name : {"课间 铃.mp3", "song.MP3", "Bell.Mp3", "notes.txt", "song.mp3.bak"})
        touch(folder + QLatin1Char('/') + QString::fromUtf8(name));

    QFileDialog dialog;
    prepareOpenDialog(dialog, Mp3Filter, folder);
    dialog.show();
    EXPECT_EQ(dialog.directory().absolutePath(), folder);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(listedNames(dialog, 4), "Bell.Mp3, song.MP3, sub, 课间 铃.mp3");
}

TEST(Mp3Dialog, OpensWhereTheLastChoiceWasMadeElseMusicElseHome)
{
    const QString music = QStringLiteral("/home/op/Music");
    const QString home = QStringLiteral("/home/op");
    const QString last = QStringLiteral("/srv/铃声");
    const struct {
        QString last;
        QSet<QString> existing;
        QString start;
    } cases[] = {
        {QString(), {music, home}, music},
        {QString(), {home}, home},
        {last, {last, music, home}, last},
        {last, {music, home}, music},
        {last, {home}, home},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start.toStdString());
        EXPECT_EQ(startFolder(c.last, music, home,
                      [&](const QString& path) { return c.existing.contains(path); }),
            c.start);
    }
}

TEST(Mp3Dialog, AChoiceInOneSlotsDialogIsWhereTheNextDialogOpens)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString folder = root.filePath(QStringLiteral("铃声/课间 铃"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString chosen = folder + QStringLiteral("/上课 铃.mp3");
    touch(chosen);

    LastChoiceFolder last;
    QtFileDialog first(last);
    QtFileDialog second(last);

    answerNextDialog([&](QFileDialog& dialog) {
        dialog.setDirectory(folder);
        dialog.selectFile(chosen);
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_EQ(first.askOpen(Mp3Filter), chosen);
    EXPECT_EQ(last.path(), folder);

    QString openedIn;
    answerNextDialog([&](QFileDialog& dialog) {
        openedIn = dialog.directory().absolutePath();
        dialog.reject();
    });
    EXPECT_EQ(second.askOpen(Mp3Filter), std::nullopt) << "a cancel answers nothing";
    EXPECT_EQ(openedIn, folder);
}
