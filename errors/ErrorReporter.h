#pragma once

#include "errors/StatusProblems.h"

#include <QString>

class Clock;
class MessageBox;
class QPushButton;
class QWidget;

// Shows the operator what went wrong, once, without ending the program.
// A click handler may ask the operator with a modal box; a timer tick must
// not block the clock, so its errors go to the window's status line (which
// stays until the operator clicks it) and to standard error. The checks made
// ahead of a start warn on the same line, under a key, until their cause is
// mended; a warning never opens a box. GUI thread only.
class ErrorReporter {
public:
    ErrorReporter(MessageBox& messageBox, const Clock& clock);

    void attachStatusLine(QPushButton* statusLine);
    // Where what the clock did is announced to a screen reader.
    void attachAnnouncer(QWidget* announcer);

    void fromClick(int slot, const QString& reason);
    void fromTick(int slot, const QString& reason);
    // A warning goes to standard error when it appears and when it clears,
    // not each time its text is brought up to date.
    void warn(const QString& key, const QString& text);
    void clearWarning(const QString& key, const QString& mendedText);
    // As clearWarning, and the mended text stays on the status line until
    // acknowledged, so that the line does not fall back to an older message
    // as if the trouble still stood.
    void clearWarningShown(const QString& key, const QString& mendedText);
    // Tells a screen reader, wherever the keyboard focus is, what happened
    // that is no problem (a start by the clock); problems are alerted by the
    // status line itself.
    void announce(const QString& text);
    // One timestamped line on standard error.
    void log(const QString& line) const;

private:
    MessageBox& messageBox_;
    const Clock& clock_;
    StatusProblems problems_;
    QWidget* announcer_ = nullptr;
};

// How a slot is named to the operator: rows count from 1.
QString describeSlot(int slot);
