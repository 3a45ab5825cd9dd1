#include "player/Mp3Decoder.h"

#include "player/Mixer.h"
#include "player/OutputFormat.h"
#include "player/SoundTime.h"
#include "player/Voice.h"

#include <QFile>

#include <SDL2/SDL_audio.h>
#include <SDL2/SDL_thread.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/stat.h>

namespace {

// One decoding step: about 0.1 s of sound, well under a millisecond of work.
constexpr std::size_t StepFrames = 4096;
// While playing, the ring is topped up this often; it holds a second.
constexpr auto TopUpInterval = std::chrono::milliseconds(200);

} // namespace

Mp3Decoder::Mp3Decoder(Voice& voice, Mixer& mixer)
    : voice_(voice), mixer_(mixer), decoded_(StepFrames * 2), converted_(StepFrames * 2),
      thread_([this](std::stop_token stop) { run(stop); })
{
}

Mp3Decoder::~Mp3Decoder()
{
    thread_.request_stop();
    thread_.join();
    freeStream();
}

void Mp3Decoder::load(Mp3File file, const QByteArray& name)
{
    post(Command{std::move(file), name});
}

void Mp3Decoder::rewind()
{
    post(Command{});
}

// The voice falls silent and back to 0 at once, and the mixer leaves it
// alone until the decoder has taken every command posted: setting the flag
// and posting under both locks means the decoder never clears it with a
// command still waiting.
void Mp3Decoder::post(Command command)
{
    const auto mixer = mixer_.holdMixer();
    voice_.running.store(false);
    voice_.resetPending.store(true);
    voice_.playedFrames.store(0);
    voice_.finished.store(false);
    voice_.ranDry.store(false);
    voice_.awaitingFirstSample.store(false);
    // From its new start: a play() after this is a new start, heard anew.
    voice_.sounding.store(false);
    {
        const std::scoped_lock lock(mailMutex_);
        mail_.push_back(std::move(command));
    }
    mailWake_.notify_all();
}

void Mp3Decoder::start()
{
    voice_.running.store(true);
    wake();
}

void Mp3Decoder::wake()
{
    {
        const std::scoped_lock lock(mailMutex_);
        woken_ = true;
    }
    mailWake_.notify_all();
}

void Mp3Decoder::run(std::stop_token stop)
{
    std::unique_lock lock(mailMutex_);
    while (!stop.stop_requested()) {
        if (!mail_.empty()) {
            Command command = std::move(mail_.front());
            mail_.pop_front();
            lock.unlock();
            apply(command);
            lock.lock();
            if (mail_.empty())
                voice_.resetPending.store(false, std::memory_order_release);
            continue;
        }
        woken_ = false;
        lock.unlock();
        const bool more = step();
        lock.lock();
        if (more)
            continue;
        const auto called = [this] { return !mail_.empty() || woken_; };
        // An armed voice is started by the mixer, which wakes no one: keep
        // topping up as for a playing one.
        const bool heard = voice_.running.load() || voice_.armed.load();
        if (heard && (state_ == State::Decoding || state_ == State::Draining))
            mailWake_.wait_for(lock, stop, TopUpInterval, called);
        else
            mailWake_.wait(lock, stop, called);
    }
    lock.unlock();
    // SDL keeps its error text per thread and frees it only for threads it
    // made itself.
    SDL_TLSCleanup();
}

// Runs without the mailbox's lock: closing the file before and seeking may
// wait on the disk.
void Mp3Decoder::apply(Command& command)
{
    if (command.file) {
        handle_ = std::move(command.file->handle);
        fd_ = std::move(command.file->fd);
        stamp_ = command.file->stamp;
        allowResyncOverDamage(handle_.get());
        rate_ = command.file->rate;
        channels_ = command.file->channels;
        name_ = command.name;
        damageReported_ = false;
        restartVoice();
        if (!newStream())
            report(QStringLiteral("cannot convert %1 Hz sound: %2")
                       .arg(rate_)
                       .arg(QString::fromUtf8(SDL_GetError())));
        return;
    }
    restartVoice();
    if (!handle_)
        return;
    if (mpg123_seek(handle_.get(), 0, SEEK_SET) < 0) {
        report(QStringLiteral("cannot go back to the start (%1)")
                   .arg(QString::fromUtf8(mpg123_strerror(handle_.get()))));
        state_ = State::Ended;
        voice_.inputEnded.store(true, std::memory_order_release);
        return;
    }
    if (!newStream())
        report(QStringLiteral("cannot convert %1 Hz sound: %2")
                   .arg(rate_)
                   .arg(QString::fromUtf8(SDL_GetError())));
}

// The mixer leaves the voice alone while resetPending is set, so the ring
// can be emptied from this side.
void Mp3Decoder::restartVoice()
{
    voice_.ring.clear();
    voice_.inputEnded.store(false);
    state_ = handle_ ? State::Decoding : State::NoFile;
    flushed_ = false;
    formatChanging_ = false;
    errorsInARow_ = 0;
}

bool Mp3Decoder::newStream()
{
    freeStream();
    stream_ = SDL_NewAudioStream(AUDIO_F32SYS, Uint8(channels_), int(rate_), AUDIO_F32SYS,
        OutputFormat::Channels, OutputFormat::SampleRate);
    if (stream_ == nullptr) {
        // Nothing can be played from it: the voice ends at once.
        state_ = State::Draining;
        flushed_ = true;
        return false;
    }
    return true;
}

void Mp3Decoder::freeStream()
{
    if (stream_ != nullptr)
        SDL_FreeAudioStream(stream_);
    stream_ = nullptr;
}

// One short piece of work; false when there is nothing to do until the
// mixer has played some of the ring or a command comes.
bool Mp3Decoder::step()
{
    if (state_ == State::NoFile || state_ == State::Ended)
        return false;
    pump();
    if (voice_.ring.freeFrames() < StepFrames)
        return false;
    // pump() leaves the converter empty whenever the ring has room.
    if (state_ == State::Draining) {
        if (!flushed_) {
            SDL_AudioStreamFlush(stream_);
            flushed_ = true;
            return true;
        }
        state_ = State::Ended;
        voice_.inputEnded.store(true, std::memory_order_release);
        return false;
    }
    if (formatChanging_) {
        if (!newStream())
            report(QStringLiteral("cannot convert %1 Hz sound: %2")
                       .arg(rate_)
                       .arg(QString::fromUtf8(SDL_GetError())));
        formatChanging_ = false;
        return true;
    }
    if (fileChanged()) {
        reportChange();
        state_ = State::Draining;
        return true;
    }
    readMore();
    return true;
}

// Moves converted sound into the ring, as much as fits.
void Mp3Decoder::pump()
{
    while (stream_ != nullptr) {
        const std::size_t room = std::min(voice_.ring.freeFrames(), StepFrames);
        if (room == 0 || SDL_AudioStreamAvailable(stream_) <= 0)
            return;
        const int got =
            SDL_AudioStreamGet(stream_, converted_.data(), int(room * SoundTime::FrameBytes));
        if (got <= 0)
            return;
        voice_.ring.write(converted_.data(), std::size_t(got) / SoundTime::FrameBytes);
    }
}

void Mp3Decoder::readMore()
{
    mpg123_handle* h = handle_.get();
    std::size_t bytes = 0;
    const int result = mpg123_read(h, decoded_.data(), decoded_.size() * sizeof(float), &bytes);
    if (bytes > 0 && SDL_AudioStreamPut(stream_, decoded_.data(), int(bytes)) != 0) {
        report(QStringLiteral("cannot convert the sound at %1 s: %2; its sound ends there")
                   .arg(decodedSeconds(), 0, 'f', 1)
                   .arg(QString::fromUtf8(SDL_GetError())));
        state_ = State::Draining;
        return;
    }
    if (result == MPG123_OK) {
        errorsInARow_ = 0;
    } else if (result == MPG123_DONE) {
        // Cut short while this very read ran: the end is the change's.
        if (fileChanged())
            reportChange();
        state_ = State::Draining;
    } else if (result == MPG123_NEW_FORMAT) {
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        mpg123_getformat(h, &rate, &channels, &encoding);
        if (rate != rate_ || channels != channels_) {
            rate_ = rate;
            channels_ = channels;
            SDL_AudioStreamFlush(stream_);
            formatChanging_ = true;
        }
    } else {
        onDamage();
    }
}

// The decoder skips junk by itself up to its resync limit; an error means it
// found none in reach. A few more tries get past a longer stretch; after that
// the file is taken to end here, and the sound breaking off is reported.
void Mp3Decoder::onDamage()
{
    mpg123_handle* h = handle_.get();
    const QString reason = QString::fromUtf8(mpg123_strerror(h));
    if (++errorsInARow_ >= ReadErrorsBeforeGivingUp) {
        if (fileChanged())
            reportChange();
        else
            report(QStringLiteral("damaged or unreadable MP3 data at %1 s (%2); its sound ends "
                                  "there")
                       .arg(decodedSeconds(), 0, 'f', 1)
                       .arg(reason));
        state_ = State::Draining;
    } else if (!damageReported_) {
        std::fprintf(stderr, "tarnwick: %s: damaged MP3 data at %.1f s (%s); skipping it\n",
            name_.constData(), decodedSeconds(), reason.toLocal8Bit().constData());
    }
    damageReported_ = true;
}

// A file overwritten or truncated in place: its descriptor now reads other
// bytes than the ones chosen. A file renamed over or deleted keeps the chosen
// bytes behind the descriptor and plays in full.
bool Mp3Decoder::fileChanged() const
{
    struct stat status { };
    return ::fstat(fd_.get(), &status) == 0 && stampOf(status) != stamp_;
}

void Mp3Decoder::reportChange()
{
    report(
        QStringLiteral("the file was changed on disk since it was chosen; its sound ends at %1 s "
                       "(choose it again to play what it holds now)")
            .arg(decodedSeconds(), 0, 'f', 1));
}

double Mp3Decoder::decodedSeconds() const
{
    return rate_ > 0 ? double(mpg123_tell(handle_.get())) / double(rate_) : 0;
}

void Mp3Decoder::report(const QString& problem)
{
    const std::scoped_lock lock(problemsMutex_);
    problems_ << QFile::decodeName(name_) + QStringLiteral(": ") + problem;
}

QStringList Mp3Decoder::takeProblems()
{
    const std::scoped_lock lock(problemsMutex_);
    return std::exchange(problems_, {});
}
