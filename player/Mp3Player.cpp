#include "Mp3Player.h"

#include "AudioOutput.h"
#include "Mp3Decoder.h"
#include "OutputFormat.h"
#include "PlatformError.h"
#include "Voice.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace {
// About a second decoded ahead.
constexpr std::size_t BufferFrames = OutputFormat::SampleRate;
// Most files answer within this; only a slower one lets the event loop run
// while it is waited for.
constexpr auto QuickAnswer = std::chrono::milliseconds(5);
// A header's length that differs from the scan by no more than the frames a
// gapless decoder trims is the header's exact count; a larger difference is
// a header that does not describe the stream.
constexpr double HeaderAgreesWithin = 0.25;

// Shared by the waiting GUI thread and the opening thread, which may outlive
// the wait.
struct PendingOpen {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    std::optional<Mp3File> file;
    std::exception_ptr error;

    bool waitFor(std::chrono::milliseconds time)
    {
        std::unique_lock lock(mutex);
        return answered.wait_for(lock, time, [this] { return done; });
    }
};

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

Mp3Player::Mp3Player(
    AudioOutput& output, LengthScanner& lengths, FileAccess access, QObject* parent)
    : QObject(parent), output_(output), lengths_(lengths), access_(std::move(access)),
      voice_(std::make_unique<Voice>(BufferFrames)),
      decoder_(std::make_unique<Mp3Decoder>(*voice_, output_))
{
    output_.attach(*voice_);
}

Mp3Player::~Mp3Player()
{
    output_.detach(*voice_);
    decoder_.reset();
}

Mp3File Mp3Player::openWithinPatience(const QString& path)
{
    auto pending = std::make_shared<PendingOpen>();
    std::thread([pending, open = access_.open, path] {
        std::optional<Mp3File> file;
        std::exception_ptr error;
        try {
            file.emplace(open(path));
        } catch (...) {
            error = std::current_exception();
        }
        const std::scoped_lock lock(pending->mutex);
        pending->file = std::move(file);
        pending->error = error;
        pending->done = true;
        pending->answered.notify_all();
    }).detach();

    const QDeadlineTimer deadline(access_.patience);
    if (!pending->waitFor(QuickAnswer)) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (pending->waitFor(std::chrono::milliseconds(0)) || deadline.hasExpired())
                loop.quit();
        });
        poll.start(QuickAnswer);
        // Returns early too when the program is ending.
        loop.exec();
    }
    const std::scoped_lock lock(pending->mutex);
    if (pending->error)
        std::rethrow_exception(pending->error);
    if (pending->file)
        return std::move(*pending->file);
    if (deadline.hasExpired())
        throw PlatformError(QStringLiteral("%1: the file did not answer within %2 s (a hung drive "
                                           "or network share?)")
                                .arg(native(path))
                                .arg(double(access_.patience.count()) / 1000));
    throw PlatformError(QStringLiteral("%1: not opened, the program is ending").arg(native(path)));
}

void Mp3Player::open(const QString& path)
{
    if (opening_)
        throw PlatformError(
            QStringLiteral("%1: not opened, another file is still being opened for this slot")
                .arg(native(path)));
    opening_ = true;
    Mp3File file = [&] {
        try {
            return openWithinPatience(path);
        } catch (...) {
            opening_ = false;
            throw;
        }
    }();
    opening_ = false;
    // Everything that can refuse the file happened before the player changes.
    const FileIdentity identity = FileIdentity::of(path, file.stamp);
    // A start placed for the file before is not a start of this one.
    output_.disarmStart(*voice_);
    estimatedSeconds_ = file.estimatedSeconds;
    lengthFromHeader_ = file.lengthFromHeader;
    decoder_->load(std::move(file), QFile::encodeName(native(path)));
    path_ = path;
    identity_ = identity;
    exactSeconds_ = lengths_.exactSeconds(identity_);
    if (!exactSeconds_)
        lengths_.request(identity_);
}

void Mp3Player::play()
{
    if (path_.isEmpty())
        throw PlatformError(QStringLiteral("no sound file is open"));
    output_.ensureOpen();
    if (voice_->finished.load() && !decoder_->rewind())
        throw PlatformError(QStringLiteral("%1: cannot go back to the start").arg(native(path_)));
    ranDryReported_ = false;
    if (!voice_->running.load())
        voice_->awaitingFirstSample.store(true);
    decoder_->start();
}

void Mp3Player::armStartAt(const QDateTime& second)
{
    // Nothing to place: the tick's play() reports it.
    if (path_.isEmpty())
        return;
    output_.ensureOpen();
    // At the end of the file the start is from its beginning, as play() does.
    if (voice_->finished.load() && !decoder_->rewind())
        return;
    output_.armStart(*voice_, second.toMSecsSinceEpoch() * 1'000'000);
    decoder_->wake();
}

void Mp3Player::disarmStart()
{
    output_.disarmStart(*voice_);
}

std::optional<double> Mp3Player::firstSampleMsAfter(const QDateTime& second) const
{
    if (voice_->awaitingFirstSample.load() || voice_->firstSampleNs.load() == 0)
        return std::nullopt;
    const double ms =
        double(voice_->firstSampleNs.load() - second.toMSecsSinceEpoch() * 1'000'000) / 1e6;
    // Further off, the sound is from a start of another second.
    if (ms <= -1000 || ms >= 1000)
        return std::nullopt;
    return ms;
}

void Mp3Player::pause()
{
    voice_->running.store(false);
}

bool Mp3Player::isPlaying() const
{
    return voice_->running.load();
}

std::int64_t Mp3Player::firstSampleNs() const
{
    return voice_->firstSampleNs.load();
}

std::int64_t Mp3Player::heardUntilNs() const
{
    return voice_->heardUntilNs.load();
}

double Mp3Player::currentPosition() const
{
    return double(voice_->playedFrames.load()) / OutputFormat::SampleRate;
}

double Mp3Player::duration() const
{
    if (path_.isEmpty())
        return 0;
    if (!exactSeconds_)
        exactSeconds_ = lengths_.exactSeconds(identity_);
    if (!exactSeconds_)
        return estimatedSeconds_;
    // The header's count is exact to the sample (the decoder trims the
    // encoder's padding by it) when the frames found agree with it.
    if (lengthFromHeader_ && std::abs(*exactSeconds_ - estimatedSeconds_) <= HeaderAgreesWithin)
        return estimatedSeconds_;
    return *exactSeconds_;
}

bool Mp3Player::durationIsEstimate() const
{
    if (path_.isEmpty() || lengthFromHeader_)
        return false;
    if (!exactSeconds_)
        exactSeconds_ = lengths_.exactSeconds(identity_);
    return !exactSeconds_;
}

QStringList Mp3Player::takeProblems()
{
    QStringList problems = decoder_->takeProblems();
    if (voice_->ranDry.exchange(false) && !ranDryReported_) {
        ranDryReported_ = true;
        problems << QStringLiteral("%1: the sound broke off at %2 s, the file could not be read "
                                   "fast enough")
                        .arg(native(path_))
                        .arg(currentPosition(), 0, 'f', 1);
    }
    return problems;
}
