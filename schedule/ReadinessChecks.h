#pragma once

#include "model/SlotState.h"
#include "platform/SoundFileCheck.h"
#include "schedule/WallSecond.h"

#include "platform/GuiInbox.h"
#include "platform/WorkerThread.h"

#include <array>
#include <optional>

class Clock;
class ErrorReporter;
class SoundOutputCheck;
class Timetable;

// Looks ahead of the clock, so that a start that would be silent is known
// before its second: the sound output every second (the output's own state,
// read without touching the device), and each slot's file every second of
// the minute before its start. The file checks run on a worker thread per
// slot, one at a time, each with a time limit: a check that does
// not answer within it is reported as not answering, and the other slots'
// checks go on. What they find goes on the status line and standard error
// as a warning that clears when mended. They never change a slot and never
// open a box; a start that could not be checked is still made, since the
// clock alone decides. GUI thread, except the checks themselves.
class ReadinessChecks {
public:
    static constexpr qint64 FileLeadSeconds = 60;
    static constexpr qint64 FileCheckPatienceMs = 5000;

    ReadinessChecks(const Timetable& timetable, const Clock& clock, ErrorReporter& errors,
        SoundOutputCheck& output, const SoundFileCheck& files);
    ~ReadinessChecks();

    // Once a second, after the clock's tick.
    void tick();
    // Whether a file check is under way or its result not yet taken in; it
    // comes back through the event loop.
    bool checking() const;

private:
    struct FileWatch {
        QString path;
        int choice = 0; // the slot's choices when this file was taken up
        int generation = 0; // a result for an earlier choice is dropped
        std::optional<FileStamp> chosen;
        bool warned = false;
        std::optional<qint64> busySinceMs; // a check under way, on the monotonic clock
    };

    void watchFile(int slot, WallSecond now, const QTimeZone& zone);
    void startFileCheck(int slot, std::optional<WallSecond> due);
    void fileChecked(
        int slot, int generation, std::optional<WallSecond> due, const FileCheckResult& result);
    void warnFile(int slot, WallSecond due, const QString& problem);
    // `why` ends the line logged, e.g. "is fit to play again".
    void clearFileWarning(int slot, const QString& why = QStringLiteral("is fit to play again"));
    void watchOutput();

    const Timetable& t_;
    const Clock& clock_;
    ErrorReporter& errors_;
    SoundOutputCheck& output_;
    const SoundFileCheck& files_;
    std::array<FileWatch, SlotCount> watches_{};
    GuiInbox results_;
    // Last, so their threads are stopped first, before anything a job names.
    std::array<WorkerThread, SlotCount> workers_;
};
