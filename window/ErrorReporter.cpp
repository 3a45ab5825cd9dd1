#include "ErrorReporter.h"

#include "Clock.h"
#include "MessageBox.h"

#include <QPushButton>

#include <cstdio>

QString describeSlot(int slot)
{
    return QStringLiteral("Slot %1").arg(slot + 1);
}

ErrorReporter::ErrorReporter(MessageBox& messageBox, const Clock& clock)
    : messageBox_(messageBox), clock_(clock)
{
}

void ErrorReporter::attachStatusLine(QPushButton* statusLine)
{
    statusLine_ = statusLine;
}

void ErrorReporter::fromClick(int slot, const QString& reason)
{
    const QString text = describeSlot(slot) + QStringLiteral(": ") + reason;
    log(text);
    messageBox_.show(text, QStringLiteral("Error"), MessageIcon::Critical, MessageButtons::Ok);
}

void ErrorReporter::fromTick(int slot, const QString& reason)
{
    const QString text = describeSlot(slot) + QStringLiteral(": ") + reason;
    log(text);
    if (!statusLine_)
        return;
    statusLine_->setText(clock_.now().toString(QStringLiteral("HH:mm:ss ")) + text);
    statusLine_->setToolTip(QStringLiteral("Click to acknowledge"));
    statusLine_->show();
}

void ErrorReporter::log(const QString& line) const
{
    const QString stamped = clock_.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) +
        line + QLatin1Char('\n');
    std::fputs(stamped.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}
