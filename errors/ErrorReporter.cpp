#include "errors/ErrorReporter.h"

#include "platform/Clock.h"
#include "platform/MessageBox.h"

#include <QAccessible>
#include <QWidget>

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
    problems_.attach(statusLine);
}

void ErrorReporter::attachAnnouncer(QWidget* announcer)
{
    announcer_ = announcer;
}

void ErrorReporter::announce(const QString& text)
{
    if (!announcer_)
        return;
    announcer_->setAccessibleDescription(text);
    QAccessibleEvent event(announcer_, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
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
    problems_.addError(clock_.now().toString(QStringLiteral("HH:mm:ss ")) + text);
}

void ErrorReporter::warn(const QString& key, const QString& text)
{
    if (problems_.setWarning(key, clock_.now().toString(QStringLiteral("HH:mm:ss ")) + text))
        log(text);
}

void ErrorReporter::clearWarning(const QString& key, const QString& mendedText)
{
    if (problems_.clearWarning(key))
        log(mendedText);
}

void ErrorReporter::clearWarningShown(const QString& key, const QString& mendedText)
{
    if (!problems_.clearWarning(key))
        return;
    log(mendedText);
    problems_.addError(clock_.now().toString(QStringLiteral("HH:mm:ss ")) + mendedText);
}

void ErrorReporter::log(const QString& line) const
{
    const QString stamped = clock_.now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) +
        line + QLatin1Char('\n');
    std::fputs(stamped.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}
