#include "player/AlsaBackend.h"

#include "player/OutputFormat.h"
#include "player/OutputTiming.h"
#include "player/SoundTime.h"

#include <alsa/asoundlib.h>

#include <vector>

namespace {

constexpr snd_pcm_uframes_t PeriodFrames = OutputFormat::DeviceBufferFrames;
// A device that takes this long to want a period is looked at again, so
// that close() never waits longer on a hung one.
constexpr int WaitMs = 100;

QString alsaReason(int error)
{
    return QString::fromLocal8Bit(snd_strerror(error));
}

// alsa-lib writes its own complaints to standard error, once a try while a
// server behind "default" is away; the output says once what it met.
void quiet(const char*, int, const char*, int, const char*, ...)
{
}

std::int64_t nsOf(const snd_htimestamp_t& t)
{
    return std::int64_t(t.tv_sec) * SoundTime::NsPerSecond + t.tv_nsec;
}

} // namespace

std::int64_t AlsaBackend::jitterNs() const
{
    return SoundTime::framesToNs(PeriodFrames, OutputFormat::SampleRate);
}

AlsaBackend::~AlsaBackend()
{
    close();
}

std::optional<OpenFailure> AlsaBackend::open(Render render, std::function<void()> wake)
{
    render_ = std::move(render);
    wake_ = std::move(wake);
    lost_ = false;
    snd_lib_error_set_handler(&quiet);
    if (const int error = snd_pcm_open(&pcm_, "default", SND_PCM_STREAM_PLAYBACK, 0); error < 0) {
        pcm_ = nullptr;
        return OpenFailure{OpenFailure::Step::Connect, alsaReason(error)};
    }
    if (std::optional<OpenFailure> failure = configure()) {
        close();
        return failure;
    }
    thread_ = std::jthread([this](std::stop_token stop) { play(stop); });
    return std::nullopt;
}

std::optional<OpenFailure> AlsaBackend::configure()
{
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    snd_pcm_hw_params_any(pcm_, hw);
    rate_ = OutputFormat::SampleRate;
    snd_pcm_uframes_t period = PeriodFrames;
    snd_pcm_uframes_t buffer = 2 * PeriodFrames;
    int error = snd_pcm_hw_params_set_access(pcm_, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
    if (error >= 0)
        error = snd_pcm_hw_params_set_format(pcm_, hw, SND_PCM_FORMAT_FLOAT);
    if (error >= 0)
        error = snd_pcm_hw_params_set_channels(pcm_, hw, OutputFormat::Channels);
    // alsa-lib converts to the hardware's rate, so the mixer's never changes.
    if (error >= 0)
        error = snd_pcm_hw_params_set_rate_resample(pcm_, hw, 1);
    if (error >= 0)
        error = snd_pcm_hw_params_set_rate(pcm_, hw, rate_, 0);
    if (error >= 0)
        error = snd_pcm_hw_params_set_period_size_near(pcm_, hw, &period, nullptr);
    if (error >= 0)
        error = snd_pcm_hw_params_set_buffer_size_near(pcm_, hw, &buffer);
    if (error >= 0)
        error = snd_pcm_hw_params(pcm_, hw);
    if (error < 0)
        return OpenFailure{OpenFailure::Step::SetFormat, alsaReason(error)};

    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    snd_pcm_sw_params_current(pcm_, sw);
    // Timestamps on the clock the render times are mapped from.
    snd_pcm_sw_params_set_tstamp_mode(pcm_, sw, SND_PCM_TSTAMP_ENABLE);
    snd_pcm_sw_params_set_tstamp_type(pcm_, sw, SND_PCM_TSTAMP_TYPE_MONOTONIC);
    snd_pcm_sw_params_set_avail_min(pcm_, sw, PeriodFrames);
    snd_pcm_sw_params_set_start_threshold(pcm_, sw, PeriodFrames);
    if (error = snd_pcm_sw_params(pcm_, sw); error < 0)
        return OpenFailure{OpenFailure::Step::SetSettings, alsaReason(error)};
    return std::nullopt;
}

void AlsaBackend::play(std::stop_token stop)
{
    std::vector<float> period(PeriodFrames * OutputFormat::Channels);
    snd_pcm_status_t* status = nullptr;
    snd_pcm_status_alloca(&status);
    while (!stop.stop_requested()) {
        const int ready = snd_pcm_wait(pcm_, WaitMs);
        if (ready == 0)
            continue;
        // Without a status, the period is taken to be rendered now.
        const std::int64_t nowNs = SoundTime::monotonicNs();
        std::int64_t renderNs = nowNs;
        if (ready > 0 && snd_pcm_status(pcm_, status) == 0) {
            snd_htimestamp_t at{};
            snd_pcm_status_get_htstamp(status, &at);
            renderNs =
                alsaFirstFrameNs({snd_pcm_status_get_state(status) == SND_PCM_STATE_RUNNING,
                                     nsOf(at), std::int64_t(snd_pcm_status_get_delay(status))},
                    nowNs, int(rate_));
        }
        render_(period.data(), PeriodFrames, SoundTime::wallClockOfMonotonicNs(renderNs));
        if (!writePeriod(period.data())) {
            lost_ = true;
            wake_();
            return;
        }
    }
}

bool AlsaBackend::writePeriod(float* period)
{
    snd_pcm_uframes_t left = PeriodFrames;
    while (left > 0) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm_, period, left);
        if (written >= 0) {
            left -= snd_pcm_uframes_t(written);
            period += std::size_t(written) * OutputFormat::Channels;
            continue;
        }
        // An underrun (the thread held up) or a suspend is recovered in
        // place; anything else (ENODEV: unplugged, EBADFD, EIO: a server
        // behind the device gone) means the device must be opened again.
        if (written == -EAGAIN)
            continue;
        if ((written != -EPIPE && written != -ESTRPIPE && written != -EINTR) ||
            snd_pcm_recover(pcm_, int(written), 1) < 0)
            return false;
    }
    return true;
}

SoundBackend::Health AlsaBackend::health()
{
    return lost_ ? Health::DeviceLost : Health::Playing;
}

void AlsaBackend::close()
{
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    if (pcm_ != nullptr) {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }
    pcm_ = nullptr;
}
