#pragma once

#include "player/Mp3File.h"

#include <QByteArray>
#include <QStringList>

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

class Mixer;
struct Voice;

// Decodes one player's file ahead into its voice, converted to the mixer's
// format, on a thread of its own. It keeps about a second decoded: while the
// voice plays it tops the ring up a few times a second; while the voice is
// idle or paused, with the ring full, the thread sleeps until woken.
//
// The thread's work is a small state machine:
// - NoFile: nothing to read; waits for a file.
// - Decoding: reads the file into the converter and the ring while the ring
//   has room; a change of rate or channels makes a new converter first.
// - Draining: the file ended (or changed on disk, or broke); the converter
//   is flushed and its rest written to the ring, then the voice's input ends.
// - Ended: waits for a file or a rewind.
// Whatever state it is in, it takes the GUI's commands (load, rewind)
// between two steps.
//
// Threads: load(), rewind(), start(), wake() and takeProblems() are called on
// the GUI thread and return at once: they post a command to a mailbox whose
// lock is held only to post or to take commands, never while the file is
// read, so a read that hangs on a dead share holds up this slot's sound and
// nothing else. The decoder thread alone touches the file, its handle and
// its converter. Ownership: the decoder owns the file's handle and its
// converter; the voice belongs to the player and outlives the decoder.
class Mp3Decoder {
public:
    Mp3Decoder(Voice& voice, Mixer& mixer);
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Takes the file: the voice is stopped and back at position 0 at once,
    // and decoding starts from the file's beginning. The file before is
    // closed on the decoder's thread.
    void load(Mp3File file, const QByteArray& name);
    // The same file from its beginning again; the voice is stopped and back
    // at position 0 at once. A file that cannot go back is reported.
    void rewind();
    // The voice plays from where it is.
    void start();
    // The voice's `armed` changed: the thread looks at it again.
    void wake();
    // What went wrong while decoding since the last call, one line each,
    // naming the file, where in it and why: the file changed on disk since it
    // was chosen (reported, and its sound ends there: what is on disk now is
    // not the sound that was chosen), damage too long to skip, a read error.
    QStringList takeProblems();

private:
    enum class State { NoFile, Decoding, Draining, Ended };
    struct Command {
        std::optional<Mp3File> file; // a load; none is a rewind
        QByteArray name;
    };

    void post(Command command);
    void run(std::stop_token stop);
    void apply(Command& command);
    bool step();
    void pump();
    void readMore();
    void onDamage();
    void restartVoice();
    bool newStream();
    void freeStream();
    bool fileChanged() const;
    void reportChange();
    double decodedSeconds() const;
    void report(const QString& problem);

    Voice& voice_;
    Mixer& mixer_;

    // The mailbox: guarded by mailMutex_.
    std::mutex mailMutex_;
    std::condition_variable_any mailWake_;
    std::deque<Command> mail_;
    bool woken_ = false;

    // The decoder thread's own. The handle reads the descriptor, so it is
    // declared after it and goes first.
    State state_ = State::NoFile;
    FileDescriptor fd_;
    FileStamp stamp_;
    Mpg123Handle handle_;
    QByteArray name_;
    long rate_ = 0;
    int channels_ = 0;
    SDL_AudioStream* stream_ = nullptr;
    bool flushed_ = false;
    bool formatChanging_ = false;
    int errorsInARow_ = 0;
    bool damageReported_ = false;
    std::vector<float> decoded_;
    std::vector<float> converted_;

    std::mutex problemsMutex_;
    QStringList problems_;

    std::jthread thread_;
};
