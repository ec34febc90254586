// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/presstimes.h"

#include "core/romaji.h"

#include <algorithm>
#include <limits>

namespace rinkaro
{

namespace
{

// The middle of the values from `first` to `last`, which it reorders.
double medianInPlace(double *first, double *last)
{
    if (first == last)
        return std::numeric_limits<double>::quiet_NaN();
    double *const middle = first + (last - first) / 2;
    std::nth_element(first, middle, last);
    if ((last - first) % 2 == 1)
        return *middle;
    return (*middle + *std::max_element(first, middle)) / 2;
}

} // namespace

double median(std::vector<double> values)
{
    return medianInPlace(values.data(), values.data() + values.size());
}

int kanaKeys(const QString &kana)
{
    static const RomajiTable table;
    const int index = kanaIndex(kana);
    // The small tsu doubles the next letter: one key.
    if (index <= 0 || index == smallTsu)
        return 1;
    return std::max<int>(1, int(table.romaji(index).size()));
}

void numberKanaKeys(const KanaNames &names, std::vector<int> &keys)
{
    for (int number = int(keys.size()); number < names.size(); ++number)
        keys.push_back(kanaKeys(names.name(number)));
}

LineTimes::LineTimes(const RunLogLine &line, const std::vector<int> &kanaKeys) : kanaKeys_(kanaKeys)
{
    if (!line.timed)
        return;
    // Every line of a long history comes here: one buffer per thread holds the values.
    thread_local std::vector<double> perKey;
    perKey.clear();
    // The keys' times are the run's every right press; a kana line without keys still has
    // its kana.
    bool counted = true; // every count has presses
    double slowest = 0;  // per key, of every count
    for (const RunLogLine::Count &count : line.keys) {
        if (count.n > 0) {
            perKey.push_back(double(count.ms) / count.n);
            slowest = std::max(slowest, perKey.back());
        }
        counted &= count.n > 0;
    }
    const bool fromKeys = !perKey.empty();
    for (const RunLogLine::Count &count : line.kana) {
        if (count.n > 0) {
            const double ms = double(count.ms) / (double(count.n) * keysOf(count));
            if (!fromKeys)
                perKey.push_back(ms);
            slowest = std::max(slowest, ms);
        }
        counted &= count.n > 0;
    }
    if (perKey.empty())
        return;
    // Finding the median is most of the work here, and it matters only where a count reaches
    // three times it. The median is above `least` when fewer than half the values are at or
    // below it; then (with room to spare for rounding) no count is held, whatever it is.
    if (counted && slowest < 0.99 * double(longestPressMs)) {
        const double least = slowest / (3 * 0.99);
        std::size_t atOrBelow = 0;
        for (const double ms : perKey)
            atOrBelow += ms <= least;
        if (atOrBelow <= (perKey.size() - 1) / 2) {
            holds_ = false;
            return;
        }
    }
    const double typical = medianInPlace(perKey.data(), perKey.data() + perKey.size());
    if (typical > 0)
        capMs_ = std::min(capMs_, 3 * typical);
}

} // namespace rinkaro
