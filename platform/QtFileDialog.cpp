#include "platform/QtFileDialog.h"

#include "platform/LastChoiceFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace {

// "mp3file(*.mp3)|*.mp3" gives "mp3file(*.mp3) (*.mp3)", the form Qt reads.
QString toQtNameFilter(const QString& filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    const QStringList patterns = filter.mid(bar + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return filter.left(bar) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
        QLatin1Char(')');
}

} // namespace

void prepareOpenDialog(QFileDialog& dialog, const QString& filter, const QString& folder)
{
    // Qt's own dialog, unlike some desktops' native ones, matches the
    // patterns whatever the case of the names, and behaves the same on every
    // desktop. The operator sees the filter by its description alone.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(toQtNameFilter(filter));
    dialog.setDirectory(folder);
}

QString startFolder(const QString& lastChoice, const QString& music, const QString& home,
    const std::function<bool(const QString&)>& folderExists)
{
    if (!lastChoice.isEmpty() && folderExists(lastChoice))
        return lastChoice;
    if (!music.isEmpty() && folderExists(music))
        return music;
    return home;
}

QtFileDialog::QtFileDialog(LastChoiceFolder& lastChoice) : lastChoice_(lastChoice)
{
}

std::optional<QString> QtFileDialog::askOpen(const QString& filter)
{
    const QString folder = startFolder(lastChoice_.path(),
        QStandardPaths::writableLocation(QStandardPaths::MusicLocation), QDir::homePath(),
        [](const QString& path) { return QFileInfo(path).isDir(); });
    QFileDialog dialog(QApplication::activeWindow());
    prepareOpenDialog(dialog, filter, folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    lastChoice_.remember(chosen);
    return chosen;
}
