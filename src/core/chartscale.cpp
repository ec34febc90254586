#include "core/chartscale.h"

#include <algorithm>
#include <cmath>

namespace
{

// Linear between the sorted values' ranks.
double quantile(const std::vector<double> &sorted, double q)
{
    const double rank = q * double(sorted.size() - 1);
    const std::size_t below = std::size_t(rank);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (rank - double(below));
}

// The smallest of 1, 2, 5 times a power of ten that is at least `raw`.
double niceStep(double raw)
{
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0})
        if (factor * power >= raw * (1 - 1e-9))
            return factor * power;
    return 10 * power;
}

} // namespace

int AxisScale::ticks() const
{
    return int(std::lround((high - low) / step)) + 1;
}

AxisScale axisScale(std::vector<double> values, const ScaleRule &rule,
                    const std::vector<double> &include)
{
    values.erase(
        std::remove_if(values.begin(), values.end(), [](double v) { return !std::isfinite(v); }),
        values.end());
    std::sort(values.begin(), values.end());
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    if (!values.empty()) {
        const double first = quantile(values, 0.25);
        const double third = quantile(values, 0.75);
        const double spread =
            std::max({third - first, rule.relativeSpread * std::abs(quantile(values, 0.5)),
                      rule.minimumSpread, rule.minimumStep});
        const auto inlier = [&](double v) {
            return v >= first - 3 * spread && v <= third + 3 * spread;
        };
        low = *std::find_if(values.begin(), values.end(), inlier);
        high = *std::find_if(values.rbegin(), values.rend(), inlier);
    }
    for (const double v : include) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (low > high) // nothing to show
        low = high = 0;
    if (high - low <= 0) {
        const double room =
            std::max({std::abs(low) * 0.1, rule.minimumStep * 2, rule.minimumSpread, 1e-9});
        low -= room;
        high += room;
    } else {
        const double room = (high - low) * 0.04;
        low -= room;
        high += room;
    }
    low = std::max(low, rule.floor);
    high = std::min(high, rule.ceiling);

    AxisScale scale;
    scale.step = std::max(niceStep((high - low) / 6), rule.minimumStep);
    scale.low = std::floor(low / scale.step + 1e-9) * scale.step;
    scale.high = std::ceil(high / scale.step - 1e-9) * scale.step;
    if (scale.high <= scale.low)
        scale.high = scale.low + scale.step;
    // Rounded out past a bound, the scale keeps to it; the bounds are whole ticks in use.
    scale.low = std::max(scale.low, rule.floor);
    scale.high = std::min(scale.high, rule.ceiling);
    return scale;
}

std::vector<double> movingAverage(const std::vector<double> &values, int window)
{
    std::vector<double> averages(values.size(), std::numeric_limits<double>::quiet_NaN());
    double sum = 0;
    int count = 0;
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (std::isfinite(values[k])) {
            sum += values[k];
            ++count;
        }
        if (k >= std::size_t(window) && std::isfinite(values[k - std::size_t(window)])) {
            sum -= values[k - std::size_t(window)];
            --count;
        }
        if (count > 0)
            averages[k] = sum / count;
    }
    return averages;
}
