// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/presstimes.h"

#include "core/romaji.h"

#include <algorithm>
#include <limits>

namespace rinkaro
{

double median(std::vector<double> values)
{
    if (values.empty())
        return std::numeric_limits<double>::quiet_NaN();
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1)
        return *middle;
    return (*middle + *std::max_element(values.begin(), middle)) / 2;
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
    // The keys' times are the run's every right press; a kana line without keys still has
    // its kana.
    std::vector<double> perKey;
    for (const RunLogLine::Count &count : line.keys)
        if (count.n > 0)
            perKey.push_back(double(count.ms) / count.n);
    if (perKey.empty()) {
        for (const RunLogLine::Count &count : line.kana) {
            const int keys = count.name >= 0 && std::size_t(count.name) < kanaKeys.size()
                                 ? kanaKeys[std::size_t(count.name)]
                                 : 1;
            if (count.n > 0)
                perKey.push_back(double(count.ms) / (double(count.n) * keys));
        }
    }
    const double typical = median(std::move(perKey));
    if (typical > 0)
        capMs_ = std::min(capMs_, 3 * typical);
}

qint64 LineTimes::keyMs(const RunLogLine::Count &count) const
{
    return std::min<qint64>(count.ms, qint64(capMs_ * count.n));
}

qint64 LineTimes::kanaMs(const RunLogLine::Count &count) const
{
    const int keys = count.name >= 0 && std::size_t(count.name) < kanaKeys_.size()
                         ? kanaKeys_[std::size_t(count.name)]
                         : 1;
    return std::min<qint64>(count.ms, qint64(capMs_ * count.n * keys));
}

} // namespace rinkaro
