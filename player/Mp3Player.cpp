#include "player/Mp3Player.h"

#include "platform/PlatformError.h"
#include "player/AudioOutput.h"
#include "player/Mp3Decoder.h"
#include "player/OutputFormat.h"
#include "player/SoundTime.h"
#include "player/Voice.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <cmath>

namespace {
// About a second decoded ahead.
constexpr std::size_t BufferFrames = OutputFormat::SampleRate;
// A header's length that differs from the scan by no more than the frames a
// gapless decoder trims is the header's exact count; a larger difference is
// a header that does not describe the stream.
constexpr double HeaderAgreesWithin = 0.25;
// A voice that runs dry this soon after the output stood still ran dry
// because of it.
constexpr std::int64_t OutputStallBlamedNs = 5'000'000'000;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

// One open() waiting for its answer; whichever comes first, the file's
// answer or the patience running out, answers it.
struct Mp3Player::PendingOpen {
    QString path;
    OpenAnswer answer;
    bool answered = false;
};

Mp3Player::Mp3Player(
    AudioOutput& output, LengthScanner& lengths, FileAccess access, QObject* parent)
    : QObject(parent), output_(output), mixer_(output.mixer()), lengths_(lengths),
      access_(std::move(access)), voice_(std::make_unique<Voice>(BufferFrames)),
      decoder_(std::make_unique<Mp3Decoder>(*voice_, mixer_))
{
    mixer_.attach(*voice_);
}

Mp3Player::~Mp3Player()
{
    mixer_.detach(*voice_);
}

void Mp3Player::open(const QString& path, OpenAnswer answer)
{
    auto pending = std::make_shared<PendingOpen>(PendingOpen{path, std::move(answer)});
    QTimer::singleShot(access_.patience, this, [this, pending] {
        answerOpen(pending, nullptr,
            QStringLiteral("%1: the file did not answer within %2 s (a hung drive or network "
                           "share?)")
                .arg(native(pending->path))
                .arg(double(access_.patience.count()) / 1000));
    });
    opener_.post([this, open = access_.open, pending] {
        std::shared_ptr<Mp3File> file;
        QString refusal;
        try {
            file = std::make_shared<Mp3File>(open(pending->path));
        } catch (const PlatformError& error) {
            refusal = error.reason();
        } catch (const std::exception& error) {
            refusal = QString::fromLocal8Bit(error.what());
        }
        answers_.post([this, pending, file = std::move(file), refusal] {
            answerOpen(pending, file, refusal);
        });
    });
}

void Mp3Player::answerOpen(const std::shared_ptr<PendingOpen>& pending,
    std::shared_ptr<Mp3File> file, const QString& refusal)
{
    if (pending->answered) {
        dispose(std::move(file));
        return;
    }
    pending->answered = true;
    if (!file) {
        pending->answer(refusal);
        return;
    }
    if (!pending->answer(QString())) {
        dispose(std::move(file));
        return;
    }
    take(pending->path, std::move(*file));
}

void Mp3Player::dispose(std::shared_ptr<Mp3File> file)
{
    opener_.post([file = std::move(file)] {});
}

void Mp3Player::take(const QString& path, Mp3File file)
{
    const FileIdentity identity = FileIdentity::of(path, file.stamp);
    // A start placed on this slot stays: the slot is due as before, and its
    // switch now starts the file taken, as the tick would.
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
    // Refused while the output is known to be missing, not while it is being
    // opened or stands still: then the sound starts as soon as it runs.
    if (const QString problem = output_.unavailable(); !problem.isEmpty())
        throw PlatformError(QStringLiteral("no sound output: %1").arg(problem));
    const auto mixer = mixer_.holdMixer();
    if (voice_->finished.load())
        decoder_->rewind();
    ranDryReported_ = false;
    // Paused since the last buffer was mixed, it never fell silent: it
    // sounds on with the start it had.
    if (!voice_->running.load() && !voice_->sounding.load()) {
        voice_->startMadeNs.store(mixer_.wallClockNs());
        voice_->placedAhead.store(false);
        voice_->awaitingFirstSample.store(true);
    }
    decoder_->start();
}

void Mp3Player::playOnSchedule(const QDateTime& second)
{
    {
        const auto mixer = mixer_.holdMixer();
        const bool madeAhead = voice_->placedAhead.load() && !voice_->awaitingFirstSample.load() &&
            voice_->startMadeNs.load() == second.toMSecsSinceEpoch() * SoundTime::NsPerMs;
        // A short bell rung whole on its second, before a late tick came.
        if (madeAhead && voice_->finished.load())
            return;
    }
    play();
}

void Mp3Player::armStartAt(const QDateTime& second)
{
    // Nothing to place: the tick's play() reports it.
    if (path_.isEmpty())
        return;
    // At the end of the file the start is from its beginning, as play() does.
    if (voice_->finished.load())
        decoder_->rewind();
    mixer_.armStart(*voice_, second.toMSecsSinceEpoch() * SoundTime::NsPerMs);
    decoder_->wake();
}

void Mp3Player::disarmStart()
{
    mixer_.disarmStart(*voice_);
}

std::optional<FirstSample> Mp3Player::firstSampleOf(const QDateTime& second) const
{
    const std::int64_t secondNs = second.toMSecsSinceEpoch() * SoundTime::NsPerMs;
    // Read whole: the mixer writes a start's record while it holds itself.
    const auto mixer = mixer_.holdMixer();
    const std::int64_t firstNs = voice_->firstSampleNs.load();
    if (voice_->awaitingFirstSample.load() || firstNs == 0)
        return std::nullopt;
    // A start placed ahead is made at its second; one made by hand this
    // shortly before it is the start the second found.
    if (voice_->startMadeNs.load() >= secondNs - SoundTime::NsPerSecond)
        return FirstSample{
            double(firstNs - secondNs) / double(SoundTime::NsPerMs), voice_->placedAhead.load()};
    // An earlier start that sounded on through the second: heard at it.
    if (firstNs <= secondNs && voice_->heardUntilNs.load() > secondNs)
        return FirstSample{0, false};
    return std::nullopt;
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

std::size_t Mp3Player::framesDecodedAhead() const
{
    return voice_->ring.availableFrames();
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
        // After the output stood still, it asks for the sound it missed
        // faster than a file is read ahead: the gap is the output's.
        const std::optional<AudioOutput::Stall> stall = output_.lastStall();
        if (stall && SoundTime::monotonicNs() - stall->endedNs < OutputStallBlamedNs)
            problems << QStringLiteral("%1: the sound broke off at %2 s: the sound output stood "
                                       "still for %3 ms")
                            .arg(native(path_))
                            .arg(currentPosition(), 0, 'f', 1)
                            .arg(stall->lengthNs / SoundTime::NsPerMs);
        else
            problems << QStringLiteral("%1: the sound broke off at %2 s, the file could not be "
                                       "read fast enough")
                            .arg(native(path_))
                            .arg(currentPosition(), 0, 'f', 1);
    }
    return problems;
}
