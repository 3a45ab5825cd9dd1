#include "Mp3Player.h"

#include "AudioOutput.h"
#include "Mp3Decoder.h"
#include "Mp3File.h"
#include "OutputFormat.h"
#include "PlatformError.h"
#include "Voice.h"

#include <QDir>
#include <QFile>

namespace {
// About a second decoded ahead.
constexpr std::size_t BufferFrames = OutputFormat::SampleRate;
} // namespace

Mp3Player::Mp3Player(AudioOutput& output, LengthScanner& lengths, QObject* parent)
    : QObject(parent), output_(output), lengths_(lengths),
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

void Mp3Player::open(const QString& path)
{
    // Everything that can refuse the file happens before the player changes.
    Mp3File file = openMp3File(path);
    const FileIdentity identity = FileIdentity::of(path);
    // A start placed for the file before is not a start of this one.
    output_.disarmStart(*voice_);
    estimatedSeconds_ = file.estimatedSeconds;
    decoder_->load(std::move(file), QFile::encodeName(QDir::toNativeSeparators(path)));
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
        throw PlatformError(
            QStringLiteral("%1: cannot go back to the start").arg(QDir::toNativeSeparators(path_)));
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
    return exactSeconds_.value_or(estimatedSeconds_);
}
