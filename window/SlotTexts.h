#pragma once

#include <QString>

// Texts of the slot table, kept in one place so that the view writing a
// caption and the code testing it can never disagree. runCaption() is shown
// while a click on the run button starts the slot, pauseCaption() while it
// holds it.
inline QString runCaption()
{
    return QStringLiteral("&RunNow");
}

inline QString pauseCaption()
{
    return QStringLiteral("&Pause");
}

// A start-time label with no start time to show.
inline QString startTimePlaceholder()
{
    return QStringLiteral("- - : - - : - -");
}

// A progress label with no reading to show.
inline QString progressPlaceholder()
{
    return QStringLiteral("- - : - -");
}
