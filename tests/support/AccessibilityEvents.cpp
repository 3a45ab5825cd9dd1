#include "AccessibilityEvents.h"

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <algorithm>

namespace {

QPlatformAccessibility* platformAccessibility()
{
    return QGuiApplicationPrivate::platformIntegration()->accessibility();
}

} // namespace

AccessibilityEvents::AccessibilityEvents()
{
    events().clear();
    QAccessible::installUpdateHandler(&AccessibilityEvents::record);
    if (QPlatformAccessibility* platform = platformAccessibility())
        platform->setActive(true);
}

AccessibilityEvents::~AccessibilityEvents()
{
    if (QPlatformAccessibility* platform = platformAccessibility())
        platform->setActive(false);
    QAccessible::installUpdateHandler(nullptr);
    events().clear();
}

std::vector<AccessibilityEvents::Event>& AccessibilityEvents::events()
{
    static std::vector<Event> all;
    return all;
}

void AccessibilityEvents::record(QAccessibleEvent* event)
{
    events().push_back({event->object(), event->type()});
}

int AccessibilityEvents::count(const QObject* object, QAccessible::Event type) const
{
    return int(std::count_if(events().begin(), events().end(),
        [&](const Event& e) { return e.object == object && e.type == type; }));
}
