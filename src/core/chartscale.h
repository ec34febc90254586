// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <limits>
#include <vector>

namespace rinkaro
{

// The range of a chart's value axis and the distance between its ticks.
struct AxisScale {
    double low = 0;
    double high = 1;
    double step = 1;
    int ticks() const;
    friend bool operator==(const AxisScale &, const AxisScale &) = default;
};

struct ScaleRule {
    double minimumStep = 0; // ticks at least this far apart (1: whole numbers)
    // Values within three spreads beyond the middle half set the scale, the spread being the
    // middle half's width, and at least this part of the median and this much.
    double relativeSpread = 0.1;
    double minimumSpread = 0;
    double floor = -std::numeric_limits<double>::infinity();  // the scale never goes below
    double ceiling = std::numeric_limits<double>::infinity(); // nor above
    // With fewer values than this none is far out: a few runs do not tell what is usual.
    int fewestForOutliers = 0;
};

// Which of `values` are far outliers by the rule axisScale keeps out (NaN ones are not).
std::vector<char> farOutliers(const std::vector<double> &values, const ScaleRule &rule);

// The scale of an axis showing `values` (NaN ones are passed over), whatever was shown
// before: from the lowest to the highest value that is not a far outlier, and to each of
// `include` that is not far from them either (or to all of `include` without values), with a
// little room on each side, rounded out to ticks 1, 2 or 5 times a power of ten apart, 4 to 9
// of them. One value, or all the same, get a range around them. Outliers stay out of it, so
// that one run ten times slower, one dated years away, or a standard far from the learner's
// runs, does not flatten the others.
AxisScale axisScale(std::vector<double> values, const ScaleRule &rule,
                    const std::vector<double> &include = {});

// The mean of each value and the window - 1 before it (fewer at the start), NaN values left
// out; NaN where the window holds none.
std::vector<double> movingAverage(const std::vector<double> &values, int window);

// What a chart of runs says in words, for those who cannot see it: how many runs it shows,
// the best and the latest value, and which way the recent runs go.
struct RunsSummary {
    enum class Trend {
        Unknown, // fewer than four runs
        Better,
        Steady, // within 3 % of the runs before
        Worse,
    };
    int count = 0; // runs with a value
    double best = 0;
    double latest = 0;
    int compared = 0; // the trend sets this many last runs against as many before them
    Trend trend = Trend::Unknown;
    friend bool operator==(const RunsSummary &, const RunsSummary &) = default;
};

// `values` in the runs' order, NaN ones passed over; the trend compares the mean of the last
// ten runs (half the runs when there are fewer than twenty) with that of as many before them.
RunsSummary summariseRuns(const std::vector<double> &values, bool higherIsBetter);

} // namespace rinkaro
