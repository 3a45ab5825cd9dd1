#include "errors/StatusProblems.h"

#include <QAccessible>
#include <QPushButton>
#include <QToolTip>

#include <algorithm>

void StatusProblems::attach(QPushButton* line)
{
    line_ = line;
    QObject::connect(line_, &QPushButton::clicked, line_, [this] {
        // The list first, as it was when clicked, so the operator sees the
        // errors being acknowledged.
        QToolTip::showText(line_->mapToGlobal(QPoint(0, 0)), line_->toolTip(), line_);
        acknowledge();
    });
    show();
}

void StatusProblems::addError(const QString& text)
{
    entries_.push_back({QString(), text});
    show();
    alert();
}

bool StatusProblems::setWarning(const QString& key, const QString& text)
{
    const bool existed = clearWarning(key);
    entries_.push_back({key, text});
    show();
    // A warning brought up to date (its countdown) is not news.
    if (!existed)
        alert();
    return !existed;
}

bool StatusProblems::clearWarning(const QString& key)
{
    const auto found = std::find_if(
        entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == key; });
    if (found == entries_.end())
        return false;
    entries_.erase(found);
    show();
    return true;
}

void StatusProblems::acknowledge()
{
    std::erase_if(entries_, [](const Entry& e) { return e.key.isEmpty(); });
    show();
}

QStringList StatusProblems::textsNewestFirst() const
{
    QStringList all;
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e)
        all << e->text;
    return all;
}

void StatusProblems::show()
{
    if (!line_)
        return;
    if (entries_.empty()) {
        line_->hide();
        line_->setToolTip(QString());
        return;
    }
    QString text = entries_.back().text;
    if (entries_.size() > 1)
        text += QStringLiteral("   [%1 problems, click to list]").arg(entries_.size());
    line_->setText(text);
    line_->setToolTip(
        textsNewestFirst().join(QLatin1Char('\n')) + QStringLiteral("\n\nClick to acknowledge"));
    line_->show();
}

void StatusProblems::alert()
{
    // Spoken by a screen reader wherever the keyboard focus is; the focus
    // stays where it was.
    if (!line_)
        return;
    QAccessibleEvent event(line_, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}
