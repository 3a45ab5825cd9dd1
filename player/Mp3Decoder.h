#pragma once

#include "Mp3File.h"

#include <QByteArray>
#include <QStringList>

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

class AudioOutput;
struct Voice;

// Decodes one player's file ahead into its voice, converted to the mixer's
// format, on a thread of its own. It keeps about a second decoded: while the
// voice plays it tops the ring up a few times a second; while the voice is
// idle or paused, with the ring full, the thread sleeps until woken.
//
// Threads: load(), rewind(), start(), takeProblems() and the destructor are
// called on the GUI thread. They take the decoder's mutex, which the decoder thread holds
// only for one short decoding step at a time; the mixer never takes it.
// Ownership: the decoder owns the file's handle and its converter; the voice
// belongs to the player and outlives the decoder.
class Mp3Decoder {
public:
    Mp3Decoder(Voice& voice, AudioOutput& output);
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Takes the file: the voice is stopped, emptied and back at position 0,
    // and decoding starts from the file's beginning.
    void load(Mp3File file, const QByteArray& name);
    // The same file from its beginning again; false when that failed.
    bool rewind();
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
    class GuiLock;
    void run(std::stop_token stop);
    bool step();
    void pump();
    void readMore();
    void onDamage();
    void resetVoice();
    bool newStream();
    void freeStream();
    bool fileChanged() const;
    void reportChange();
    double decodedSeconds() const;
    void report(const QString& problem);

    Voice& voice_;
    AudioOutput& output_;

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::atomic<int> guiWaiting_{0};
    unsigned generation_ = 0;

    // Guarded by mutex_. The handle reads the descriptor, so it is declared
    // after it and goes first.
    FileDescriptor fd_;
    FileStamp stamp_;
    Mpg123Handle handle_;
    QByteArray name_;
    long rate_ = 0;
    int channels_ = 0;
    SDL_AudioStream* stream_ = nullptr;
    bool sourceDone_ = false;
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
