#include "Mp3Decoder.h"

#include "AudioOutput.h"
#include "OutputFormat.h"
#include "Voice.h"

#include <QFile>

#include <SDL2/SDL_audio.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr std::size_t FrameBytes = sizeof(float) * OutputFormat::Channels;
// One decoding step: about 0.1 s of sound, well under a millisecond of work.
constexpr std::size_t StepFrames = 4096;
// While playing, the ring is topped up this often; it holds a second.
constexpr auto TopUpInterval = std::chrono::milliseconds(200);

} // namespace

// The GUI takes the mutex between two decoding steps; the decoder steps
// aside while the GUI is waiting, so a click never queues behind a refill.
class Mp3Decoder::GuiLock {
public:
    explicit GuiLock(Mp3Decoder& d) : d_(d)
    {
        ++d_.guiWaiting_;
        d_.mutex_.lock();
        --d_.guiWaiting_;
    }
    ~GuiLock()
    {
        ++d_.generation_;
        d_.mutex_.unlock();
        d_.wake_.notify_all();
    }
    GuiLock(const GuiLock&) = delete;
    GuiLock& operator=(const GuiLock&) = delete;

private:
    Mp3Decoder& d_;
};

Mp3Decoder::Mp3Decoder(Voice& voice, AudioOutput& output)
    : voice_(voice), output_(output), decoded_(StepFrames * 2), converted_(StepFrames * 2),
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
    voice_.running.store(false);
    const GuiLock lock(*this);
    resetVoice();
    handle_ = std::move(file.handle);
    fd_ = std::move(file.fd);
    stamp_ = file.stamp;
    allowResyncOverDamage(handle_.get());
    rate_ = file.rate;
    channels_ = file.channels;
    name_ = name;
    damageReported_ = false;
    if (!newStream())
        report(QStringLiteral("cannot convert %1 Hz sound: %2")
                   .arg(rate_)
                   .arg(QString::fromUtf8(SDL_GetError())));
}

bool Mp3Decoder::rewind()
{
    voice_.running.store(false);
    const GuiLock lock(*this);
    resetVoice();
    if (!handle_ || mpg123_seek(handle_.get(), 0, SEEK_SET) < 0)
        return false;
    return newStream();
}

void Mp3Decoder::start()
{
    const GuiLock lock(*this);
    voice_.running.store(true);
}

void Mp3Decoder::wake()
{
    const GuiLock lock(*this);
}

void Mp3Decoder::resetVoice()
{
    const AudioOutput::MixerLock mixer = output_.holdMixer();
    voice_.running.store(false);
    voice_.ring.clear();
    voice_.playedFrames.store(0);
    voice_.finished.store(false);
    voice_.ranDry.store(false);
    voice_.inputEnded.store(false);
    sourceDone_ = false;
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
        sourceDone_ = flushed_ = true;
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

void Mp3Decoder::run(std::stop_token stop)
{
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        if (handle_ && !voice_.inputEnded.load() && step()) {
            if (guiWaiting_.load() > 0) {
                lock.unlock();
                while (guiWaiting_.load() > 0)
                    std::this_thread::yield();
                lock.lock();
            }
            continue;
        }
        const unsigned seen = generation_;
        const auto woken = [&] { return generation_ != seen; };
        // An armed voice is started by the mixer, which wakes no one: keep
        // topping up as for a playing one.
        if ((voice_.running.load() || voice_.armed.load()) && !voice_.inputEnded.load())
            wake_.wait_for(lock, stop, TopUpInterval, woken);
        else
            wake_.wait(lock, stop, woken);
    }
}

// One short piece of work; false when there is nothing to do until the
// mixer has played some of the ring.
bool Mp3Decoder::step()
{
    pump();
    if (voice_.ring.freeFrames() < StepFrames)
        return false;
    // pump() leaves the converter empty whenever the ring has room.
    if (formatChanging_) {
        if (!newStream())
            report(QStringLiteral("cannot convert %1 Hz sound: %2")
                       .arg(rate_)
                       .arg(QString::fromUtf8(SDL_GetError())));
        formatChanging_ = false;
        return true;
    }
    if (sourceDone_) {
        if (!flushed_) {
            SDL_AudioStreamFlush(stream_);
            flushed_ = true;
            return true;
        }
        voice_.inputEnded.store(true, std::memory_order_release);
        return false;
    }
    if (fileChanged()) {
        reportChange();
        sourceDone_ = true;
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
        const int got = SDL_AudioStreamGet(stream_, converted_.data(), int(room * FrameBytes));
        if (got <= 0)
            return;
        voice_.ring.write(converted_.data(), std::size_t(got) / FrameBytes);
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
        sourceDone_ = true;
        return;
    }
    if (result == MPG123_OK) {
        errorsInARow_ = 0;
    } else if (result == MPG123_DONE) {
        // Cut short while this very read ran: the end is the change's.
        if (fileChanged())
            reportChange();
        sourceDone_ = true;
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
        sourceDone_ = true;
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
