#pragma once

#include "player/AudioOutput.h"
#include "player/OutputFormat.h"
#include "player/SoundBackend.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// A sound server the test plays the part of, behind the output's backend
// seam: it hands over buffers with the render times the test chooses, loses
// its server and gets it back when told.
struct FakeServer {
    QString name = QStringLiteral("Fake");
    std::atomic<bool> up{true};
    // While not up: whether it answers, refusing only the stream.
    std::atomic<bool> answers{false};
    std::atomic<SoundBackend::Health> health{SoundBackend::Health::Playing};
    std::atomic<int> opens{0};
    std::mutex mutex;
    SoundBackend::Render render; // while open
    std::function<void()> wake;

    // One buffer as the server asks for it: `frames` frames whose first is
    // rendered at `firstFrameNs`.
    std::vector<float> pull(std::size_t frames, std::int64_t firstFrameNs)
    {
        std::vector<float> out(frames * OutputFormat::Channels);
        const std::scoped_lock lock(mutex);
        render(out.data(), frames, firstFrameNs);
        return out;
    }
    void goAway()
    {
        up = false;
        health = SoundBackend::Health::ServerGone;
        const std::scoped_lock lock(mutex);
        wake();
    }
};

class FakeBackend final : public SoundBackend {
public:
    explicit FakeBackend(FakeServer& server) : server_(server) { }
    QString name() const override { return server_.name; }
    bool reportsRenderTime() const override { return true; }
    std::int64_t jitterNs() const override { return 1'000'000; }
    std::optional<OpenFailure> open(Render render, std::function<void()> wake) override
    {
        if (!server_.up)
            return OpenFailure{OpenFailure::Step::Connect, QStringLiteral("Connection refused")};
        const std::scoped_lock lock(server_.mutex);
        server_.render = std::move(render);
        server_.wake = std::move(wake);
        server_.health = Health::Playing;
        ++server_.opens;
        return std::nullopt;
    }
    bool serverAnswered() const override { return server_.answers; }
    Health health() override { return server_.health; }
    void close() override { }

private:
    FakeServer& server_;
};

inline AudioOutput::BackendChoice through(FakeServer& server, FakeServer* fallback = nullptr)
{
    return [&server, fallback] {
        std::vector<std::unique_ptr<SoundBackend>> order;
        order.push_back(std::make_unique<FakeBackend>(server));
        if (fallback != nullptr)
            order.push_back(std::make_unique<FakeBackend>(*fallback));
        return order;
    };
}
