#include "QtFileDialog.h"

#include <QApplication>
#include <QFileDialog>

namespace {

// "mp3file(*.mp3)|*.mp3" -> "mp3file(*.mp3) (*.mp3)", the form Qt reads.
QString toQtFilter(const QString& filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1) + QLatin1Char(')');
}

} // namespace

void QtFileDialog::showOpen()
{
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(toQtFilter(filter_));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    fileName_ = dialog.selectedFiles().constFirst();
}
