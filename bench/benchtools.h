// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmarks share: a steady clock in microseconds and the median of a sample.
#include <algorithm>
#include <chrono>
#include <vector>

namespace rinkaro
{

using BenchClock = std::chrono::steady_clock;

inline double microseconds(BenchClock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace rinkaro
