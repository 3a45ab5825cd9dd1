#include "player/StartSwitch.h"

#include "player/OutputFormat.h"
#include "player/SoundTime.h"
#include "player/Voice.h"

void StartSwitch::arm(Voice& voice, std::int64_t atNs)
{
    if (voice_ != nullptr)
        voice_->armed.store(false, std::memory_order_release);
    voice_ = &voice;
    atNs_ = atNs;
    voice.armed.store(true, std::memory_order_release);
}

void StartSwitch::disarm(const Voice& voice)
{
    if (voice_ == &voice)
        clear();
}

void StartSwitch::clear()
{
    if (voice_ != nullptr)
        voice_->armed.store(false, std::memory_order_release);
    voice_ = nullptr;
}

std::optional<StartSwitch::Cut> StartSwitch::take(
    std::int64_t firstFrameNs, std::size_t frames, std::size_t lateFrames)
{
    if (voice_ == nullptr)
        return std::nullopt;
    const std::int64_t aheadNs = atNs_ - firstFrameNs;
    if (aheadNs < 0) {
        const std::int64_t lateBy = (-aheadNs) * OutputFormat::SampleRate / SoundTime::NsPerSecond;
        if (lateBy > std::int64_t(lateFrames)) {
            clear();
            return std::nullopt;
        }
        const Cut cut{voice_, 0, atNs_};
        clear();
        return cut;
    }
    // The first frame heard at or after the second: never early.
    const std::int64_t frame =
        (aheadNs * OutputFormat::SampleRate + SoundTime::NsPerSecond - 1) / SoundTime::NsPerSecond;
    if (frame >= std::int64_t(frames))
        return std::nullopt;
    const Cut cut{voice_, std::size_t(frame), atNs_};
    clear();
    return cut;
}
