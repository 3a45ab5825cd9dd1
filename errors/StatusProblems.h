#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class QPushButton;

// What the status line at the bottom of the window holds: the errors met
// during timer ticks, which stay until the operator acknowledges them, and
// the warnings of the checks made ahead of a start, one per key (a slot, the
// sound output), which stay while their cause does and go when it is mended.
// The line shows the count and the latest text; its tooltip lists them all.
// A click shows the list and acknowledges the errors; the warnings that still
// hold stay. A new problem is announced to a screen reader as an alert.
// GUI thread only.
class StatusProblems {
public:
    void attach(QPushButton* line);

    void addError(const QString& text);
    // Puts or replaces the warning under `key`; true when there was none.
    bool setWarning(const QString& key, const QString& text);
    // Removes the warning under `key`; true when there was one.
    bool clearWarning(const QString& key);
    void acknowledge();

private:
    struct Entry {
        QString key; // empty for an error
        QString text;
    };
    void show();
    void alert();
    QStringList textsNewestFirst() const;

    QPushButton* line_ = nullptr;
    std::vector<Entry> entries_; // oldest first
};
