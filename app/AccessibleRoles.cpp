#include "app/AccessibleRoles.h"

#include <QAccessibleWidget>
#include <QPushButton>

#include <mutex>

namespace {

// A button is named by its caption without the mnemonic marks, as Qt names
// every other button.
QString withoutMnemonics(const QString& caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

// The status line: an alert, which a screen reader speaks when the line
// raises QAccessible::Alert, and still a button pressed to acknowledge.
class StatusLineAccessible final : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(QPushButton* line)
        : QAccessibleWidget(line, QAccessible::AlertMessage)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return withoutMnemonics(line()->text());
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& action) override
    {
        if (action == pressAction())
            line()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QPushButton* line() const { return static_cast<QPushButton*>(widget()); }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("MainWindow") && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("QPushButton") &&
        widget->objectName() == QLatin1String("StatusLine"))
        return new StatusLineAccessible(static_cast<QPushButton*>(widget));
    return nullptr;
}

} // namespace

void installAccessibleRoles()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(&accessibleFor); });
}
