#pragma once

#include <QDeadlineTimer>
#include <QTest>

// Waits, handling events, until `condition` holds or `timeoutMs` has passed;
// whether it came true. QTRY_* report to Qt Test's log, which GoogleTest
// does not see, so the tests assert on this instead.
template <typename Condition>
[[nodiscard]] bool eventually(Condition condition, int timeoutMs = 10000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}
