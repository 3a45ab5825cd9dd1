#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// How the benches print and sum up what they measured.

// One figure as a `name value unit` line, flushed at once so that a run cut
// short keeps every figure it printed.
inline void print(const std::string& name, double value, const char* unit)
{
    std::printf("%s %.3f %s\n", name.c_str(), value, unit);
    std::fflush(stdout);
}

// The sorted values' element at index p·n (the largest at p = 1); NaN where
// there are none, so that a figure nothing was measured for says so.
inline double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, std::size_t(p * double(values.size())))];
}

// The nearest-rank percentile (the ⌈p·n⌉-th smallest), as the clock's
// lateness has been summed from the start; one index below percentile()
// where p·n is whole, so the benches that report it keep to it.
inline double nearestRank(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::ceil(p * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

inline std::vector<double> absolute(std::vector<double> values)
{
    for (double& v : values)
        v = std::abs(v);
    return values;
}

inline double maxAbs(const std::vector<double>& values)
{
    return percentile(absolute(values), 1);
}
