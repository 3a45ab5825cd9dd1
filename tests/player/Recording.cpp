#include "Recording.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {
constexpr double Rate = 44100;
}

Recording Recording::read(const QString& path, qint64 fromByte, qint64 toByte)
{
    QFile file(path);
    Recording r;
    if (!file.open(QIODevice::ReadOnly))
        return r;
    QByteArray bytes = file.readAll();
    if (toByte >= 0 && toByte < bytes.size())
        bytes.truncate(toByte);
    bytes = bytes.mid(std::min<qint64>(fromByte, bytes.size()));
    const auto frames = std::size_t(bytes.size()) / (2 * sizeof(float));
    std::vector<float> all(frames * 2);
    std::memcpy(all.data(), bytes.constData(), all.size() * sizeof(float));
    r.left.resize(frames);
    for (std::size_t i = 0; i < frames; ++i)
        r.left[i] = all[2 * i];
    return r;
}

Recording Recording::sounding() const
{
    // A decoded sine never holds eight exact zeros in a row.
    constexpr std::size_t MinGap = 8;
    Recording r;
    std::size_t i = 0;
    while (i < left.size()) {
        std::size_t j = i;
        while (j < left.size() && left[j] == 0.0f)
            ++j;
        if (j - i < MinGap)
            r.left.insert(r.left.end(), left.begin() + long(i), left.begin() + long(j));
        i = j;
        while (i < left.size() && left[i] != 0.0f)
            r.left.push_back(left[i++]);
    }
    return r;
}

bool Recording::silent() const
{
    return std::all_of(left.begin(), left.end(), [](float s) { return s == 0.0f; });
}

double Recording::rms() const
{
    double sum = 0;
    for (float s : left)
        sum += double(s) * s;
    return left.empty() ? 0 : std::sqrt(sum / double(left.size()));
}

double Recording::amplitudeAt(double hz) const
{
    const double w = 2 * std::numbers::pi * hz / Rate;
    const double coefficient = 2 * std::cos(w);
    double s1 = 0;
    double s2 = 0;
    for (float x : left) {
        const double s = x + coefficient * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return left.empty() ? 0 : 2 * std::sqrt(std::max(power, 0.0)) / double(left.size());
}

double Recording::dominantHz() const
{
    // Rising zero crossings, interpolated between samples.
    double first = -1;
    double last = -1;
    int cycles = -1;
    for (std::size_t i = 1; i < left.size(); ++i) {
        if (left[i - 1] < 0 && left[i] >= 0) {
            const double at = double(i - 1) + left[i - 1] / (left[i - 1] - left[i]);
            if (first < 0)
                first = at;
            last = at;
            ++cycles;
        }
    }
    return cycles > 0 ? cycles * Rate / (last - first) : 0;
}

double Recording::largestStep() const
{
    double largest = 0;
    for (std::size_t i = 1; i < left.size(); ++i)
        if (left[i - 1] != 0.0f && left[i] != 0.0f)
            largest = std::max(largest, double(std::abs(left[i] - left[i - 1])));
    return largest;
}
