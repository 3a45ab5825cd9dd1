#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The sound player of one slot. Every call is made on the GUI thread and
// returns at once, without waiting on a file or a sound server; the sound
// goes on while the event loop runs.
//
// What callers rely on:
// - open(path, answer) opens the file and answers later, on the GUI thread
//   (a player that can tell at once may answer before open() returns):
//   `answer` gets an empty refusal when the file opened, else the reason,
//   naming the file. It returns whether the player takes the opened file,
//   which leaves it idle at the file's start, not playing; until then, and
//   when the file is refused or not taken, the player keeps what it had and
//   plays on. An open that does not answer in time is refused as such.
// - play() starts, or resumes where pause() held it; on a playing player it
//   plays on. A failure (no sound output, no file) is a PlatformError.
// - playOnSchedule(second) is the clock's play() for its start at `second`:
//   where the start placed ahead for that second has sounded, the start is
//   made, and a file that has played to its end meanwhile is not begun
//   again; otherwise it is play().
// - pause() holds the position; on an idle, paused or empty player it
//   changes nothing.
// - currentPosition() and duration() are seconds and can be read at any time;
//   both are 0 before a file is opened. At the end of the file the player
//   stops by itself with the position at the end; the next play() starts
//   from the beginning.
// - armStartAt(second) places a start ahead, so that it is heard on the
//   sample at `second` rather than after the tick that follows it: at the
//   output frame heard at `second` this player plays and every other player
//   falls silent. It replaces any start placed before, of any player. The
//   tick's play() and pause() then find the players already in that state.
//   A player that cannot place it leaves the start to play().
// - disarmStart() withdraws this player's placed start if it has not sounded.
// - firstSampleOf(second): when the first sample of the start made for
//   `second` was heard, however late, once it is known: how long after
//   `second`, and whether the start placed ahead sounded it. Nothing while
//   it is not yet heard, or when this player's latest start was made for an
//   earlier second; a player that sounded on through `second` from such a
//   start was heard at it.
// - takeProblems() hands over, once each, what went wrong with the sound
//   since the last call (it broke off, the file changed or could not be
//   read while playing), one line each naming the file, where and why.
// - durationIsEstimate() tells that duration() is a guess (from the file's
//   size) until the player has measured the file.
// The first sample of a start, as heard.
struct FirstSample {
    double msAfter = 0; // after the second it was made for; negative: before
    bool placedAhead = false; // sounded by the start placed ahead, not by play()
};

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    using OpenAnswer = std::function<bool(const QString& refusal)>;
    virtual void open(const QString& path, OpenAnswer answer) = 0;
    virtual void play() = 0;
    virtual void playOnSchedule(const QDateTime& /*second*/) { play(); }
    virtual void pause() = 0;
    virtual double currentPosition() const = 0;
    virtual double duration() const = 0;
    virtual void armStartAt(const QDateTime& /*second*/) { }
    virtual void disarmStart() { }
    virtual std::optional<FirstSample> firstSampleOf(const QDateTime& /*second*/) const
    {
        return std::nullopt;
    }
    virtual QStringList takeProblems() = 0;
    virtual bool durationIsEstimate() const = 0;
};
