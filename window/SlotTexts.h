#pragma once

#include <QString>

// Texts of the slot table that the program reads back or writes back, kept
// in one place so that the code writing a caption and the code testing it can
// never disagree. The run button's caption is the slot's play state: exactly
// runCaption() means a click starts the slot.
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
