#pragma once

#include <QAccessible>
#include <QObject>
#include <QPointer>

#include <vector>

// Turns Qt's accessibility on, as a screen reader on the accessibility bus
// would, and records every event the program raises while it lives. The
// offscreen platform has no bus, so the platform's accessibility is
// switched on directly.
class AccessibilityEvents {
public:
    struct Event {
        QPointer<QObject> object;
        QAccessible::Event type;
    };

    AccessibilityEvents();
    ~AccessibilityEvents();
    AccessibilityEvents(const AccessibilityEvents&) = delete;
    AccessibilityEvents& operator=(const AccessibilityEvents&) = delete;

    int count(const QObject* object, QAccessible::Event type) const;
    void clear() { events().clear(); }

private:
    static std::vector<Event>& events();
    static void record(QAccessibleEvent* event);
};
