#pragma once

// What the timed drivers share: the clock they stamp their samples on, and the rows of their
// latency tables (median, 99th percentile, maximum).

#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace grainlink {

// Nanoseconds since the epoch, the clock tests/dde/test_broker.h's subscriber stamps its
// messages with.
inline qint64 NowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

// The unit a table is printed in.
struct LatencyUnit {
    const char* name;
    double ns;     // nanoseconds in one
    int decimals;  // shown after the point
};
inline constexpr LatencyUnit kMicroseconds{"us", 1e3, 1};
inline constexpr LatencyUnit kMilliseconds{"ms", 1e6, 2};

inline constexpr int kLatencyLabelWidth = 52;

// The column titles over the rows.
inline void PrintLatencyHeader(LatencyUnit unit)
{
    const std::string in = std::string(" ") + unit.name;
    std::printf("%-*s %10s %10s %10s\n", kLatencyLabelWidth, "", ("median" + in).c_str(),
                ("p99" + in).c_str(), ("max" + in).c_str());
}

// One row: the median, 99th percentile (nearest rank) and maximum of samples in nanoseconds, in
// the table's unit, and the number of samples. Returns the median in that unit.
inline double PrintLatencyRow(const char* what, std::vector<qint64> ns, LatencyUnit unit)
{
    std::sort(ns.begin(), ns.end());
    const auto at = [&](double q) {
        return static_cast<double>(ns[static_cast<std::size_t>(std::ceil(q * ns.size())) - 1]) /
               unit.ns;
    };
    const double median = at(0.5);
    std::printf("%-*s %10.*f %10.*f %10.*f  (%zu)\n", kLatencyLabelWidth, what, unit.decimals,
                median, unit.decimals, at(0.99), unit.decimals,
                static_cast<double>(ns.back()) / unit.ns, ns.size());
    return median;
}

}  // namespace grainlink
