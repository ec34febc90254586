// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/runlogreader.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace rinkaro
{

// A pause (a question, the phone) is not slowness: no press counts longer than this, so that
// one interruption cannot make a key or a kana look slow for weeks.
inline constexpr qint64 longestPressMs = 2000;
// The time of one press as the figures take it.
constexpr qint64 cappedPressMs(qint64 ms)
{
    return ms < longestPressMs ? ms : longestPressMs;
}

// The middle of `values` (of an even count, the mean of the two middle ones); NaN for none.
double median(std::vector<double> values);

// The keys of a kana's usual spelling ("きゃ" 3, "し" 2, "ー" 1): its time is compared per
// key, so that a three-letter sound is not slow for its length alone. 1 for text that is no
// kana of the drills.
int kanaKeys(const QString &kana);

// The times of one history line as the figures take them. A line keeps each key's and kana's
// times summed over the run, so each sum is held to its presses times the most one press may
// take: three times the line's median time per key, and never over longestPressMs. A slow key
// stays slow; one long pause is cut down to what a slow press could be.
class LineTimes
{
public:
    // `kanaKeys` gives the keys of each kana number of the line (1 where it is short).
    LineTimes(const RunLogLine &line, const std::vector<int> &kanaKeys);
    qint64 keyMs(const RunLogLine::Count &count) const
    {
        return holds_ ? std::min<qint64>(count.ms, qint64(capMs_ * count.n)) : count.ms;
    }
    qint64 kanaMs(const RunLogLine::Count &count) const
    {
        return holds_ ? std::min<qint64>(count.ms, qint64(capMs_ * count.n * keysOf(count)))
                      : count.ms;
    }

private:
    int keysOf(const RunLogLine::Count &kana) const
    {
        return kana.name >= 0 && std::size_t(kana.name) < kanaKeys_.size()
                   ? kanaKeys_[std::size_t(kana.name)]
                   : 1;
    }
    const std::vector<int> &kanaKeys_;
    double capMs_ = double(longestPressMs);
    bool holds_ = true; // false: the cap holds no count of the line
};

// The keys of every kana named so far in `names`, kept in `keys` by number.
void numberKanaKeys(const KanaNames &names, std::vector<int> &keys);

} // namespace rinkaro
