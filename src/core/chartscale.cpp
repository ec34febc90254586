// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chartscale.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

namespace rinkaro
{

namespace
{

// Linear between the values' ranks. Partly sorts the values: a long history's scale is found
// without sorting all of it.
double quantile(std::vector<double> &values, double q)
{
    const double rank = q * double(values.size() - 1);
    const auto below = values.begin() + std::ptrdiff_t(rank);
    std::nth_element(values.begin(), below, values.end());
    if (below + 1 == values.end())
        return *below;
    const double next = *std::min_element(below + 1, values.end());
    return *below + (next - *below) * (rank - std::floor(rank));
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

// Whether a value is near the rest: within three spreads beyond their middle half.
std::function<bool(double)> nearTest(std::vector<double> values, const ScaleRule &rule)
{
    if (values.empty() || int(values.size()) < rule.fewestForOutliers)
        return [](double) { return true; };
    const double first = quantile(values, 0.25);
    const double third = quantile(values, 0.75);
    const double spread =
        std::max({third - first, rule.relativeSpread * std::abs(quantile(values, 0.5)),
                  rule.minimumSpread, rule.minimumStep});
    return [=](double v) { return v >= first - 3 * spread && v <= third + 3 * spread; };
}

std::vector<double> finiteOnly(std::vector<double> values)
{
    values.erase(
        std::remove_if(values.begin(), values.end(), [](double v) { return !std::isfinite(v); }),
        values.end());
    return values;
}

} // namespace

std::vector<char> farOutliers(const std::vector<double> &values, const ScaleRule &rule)
{
    const std::function<bool(double)> near = nearTest(finiteOnly(values), rule);
    std::vector<char> far(values.size(), false);
    for (std::size_t k = 0; k < values.size(); ++k)
        far[k] = std::isfinite(values[k]) && !near(values[k]);
    return far;
}

int AxisScale::ticks() const
{
    return int(std::lround((high - low) / step)) + 1;
}

AxisScale axisScale(std::vector<double> values, const ScaleRule &rule,
                    const std::vector<double> &include)
{
    values = finiteOnly(std::move(values));
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    const std::function<bool(double)> inlier = nearTest(values, rule);
    for (const double v : values) {
        if (inlier(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    for (const double v : include) {
        if (std::isfinite(v) && inlier(v)) {
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

RunsSummary summariseRuns(const std::vector<double> &values, bool higherIsBetter)
{
    std::vector<double> runs;
    for (const double value : values)
        if (std::isfinite(value))
            runs.push_back(value);
    RunsSummary summary;
    summary.count = int(runs.size());
    if (runs.empty())
        return summary;
    summary.best = higherIsBetter ? *std::max_element(runs.begin(), runs.end())
                                  : *std::min_element(runs.begin(), runs.end());
    summary.latest = runs.back();
    if (runs.size() < 4)
        return summary;
    const std::size_t n = std::min<std::size_t>(10, runs.size() / 2);
    const auto mean = [&runs, n](std::size_t from) {
        return std::accumulate(runs.begin() + std::ptrdiff_t(from),
                               runs.begin() + std::ptrdiff_t(from + n), 0.0) /
               double(n);
    };
    const double recent = mean(runs.size() - n);
    const double before = mean(runs.size() - 2 * n);
    summary.compared = int(n);
    const double change = recent - before;
    if (std::abs(change) <= 0.03 * std::abs(before))
        summary.trend = RunsSummary::Trend::Steady;
    else
        summary.trend =
            (change > 0) == higherIsBetter ? RunsSummary::Trend::Better : RunsSummary::Trend::Worse;
    return summary;
}

} // namespace rinkaro
