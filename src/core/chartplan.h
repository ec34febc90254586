// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/chartscale.h"
#include "core/progressstats.h"

#include <QString>

#include <array>
#include <utility>
#include <vector>

namespace rinkaro
{

// What the chart of one level's runs shows, worked out as plain data: the chart widget only
// draws it.

enum class ChartMeasure { Score, Speed, Accuracy };
constexpr bool higherIsBetter(ChartMeasure measure)
{
    return measure != ChartMeasure::Score;
}
// The averages are over each order mode's last this many runs that are not outliers.
inline constexpr int averagedRuns = 10;
// Outliers are told apart only among at least this many runs.
inline constexpr int fewestForOutliers = 8;
// A long history is drawn from the lowest and highest run of each of this many slices of the
// view: a point a pixel apart shows nothing more.
inline constexpr int chartSlices = 400;
// The stars stand this far from their runs' points.
inline constexpr double starOffsetPixels = 15;

// One run as the chart takes it: where along the x axis (its number or its end in
// milliseconds since the epoch) and its measure (NaN: none).
struct ChartRun {
    double x = 0;
    double value = 0;
    bool random = false;
};

// A level's runs for one measure, before any view.
struct ChartSeries {
    std::vector<ChartRun> runs;
    std::vector<char> outlier;       // far from the rest of its level's runs
    std::vector<double> averages;    // its order mode's average, outliers left out; NaN: none
    std::array<int, 2> best{-1, -1}; // per order mode (ordered, random): the best run
};
ChartSeries chartSeries(std::vector<ChartRun> runs, ChartMeasure measure);

struct ChartPoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const ChartPoint &, const ChartPoint &) = default;
};
struct ChartMarker {
    ChartPoint at; // where it is drawn
    int run = 0;   // among the series' runs
    bool outside = false;
};

// What is in view and how it is drawn.
struct ChartView {
    double low = 0, high = 1;         // x in view
    double fullLow = 0, fullHigh = 1; // x of the whole history
    double plotHeight = 100;          // pixels
    double standard = 0;              // the level's standard score; 0: none
};

struct ChartPlan {
    AxisScale scale;          // the value axis's ticks
    double low = 0, high = 1; // its range: the scale and room for the stars
    std::array<std::vector<ChartPoint>, 2> points, averages; // per order mode
    std::vector<ChartPoint> outside;                         // runs beyond the scale, at its edge
    std::vector<ChartPoint> stars;                           // the best runs
    std::vector<ChartMarker> markers;                        // every point drawn, for the tooltips
    std::vector<int> shown;                                  // the runs in view
    bool many = false; // so many points that they are drawn small
};
// The runs in view: every one when they fit, else the lowest and highest of each order mode in
// each slice; the averages likewise, one point a slice. The value scale is set by the runs in
// view that are no outliers of the level (and the standard score); runs beyond it, or dated
// beyond the scale of dates at an edge in view, are drawn at its edge.
ChartPlan planChart(const ChartSeries &series, ChartMeasure measure, const ChartView &view);

// A level's runs as the chart takes them: along their numbers (1, 2, ...) or their dates.
std::vector<ChartRun> chartRuns(const std::vector<RunFigures> &runs, ChartMeasure measure,
                                bool dates);
// The x axis's range for all of `runs`: their numbers, or their dates without a clock set years
// wrong for one run squeezing the rest into a sliver.
std::pair<double, double> chartRange(const std::vector<ChartRun> &runs, bool dates);
// The view asked for, no narrower than a few runs (or ten minutes) and within the whole range;
// the whole range when nothing of it is left.
std::pair<double, double> chartViewRange(double low, double high, double fullLow, double fullHigh,
                                         bool dates);

// What the chart says in words, for each measure (by ChartMeasure), over the runs `shown`.
std::array<RunsSummary, 3> chartSummaries(const std::vector<RunFigures> &runs,
                                          const std::vector<int> &shown);

// Everything the chart draws of a level for one measure: worked out away from the window, which
// only hands it to the chart's series.
struct ChartDrawing {
    ChartSeries series;
    double fullLow = 0, fullHigh = 1; // the whole level along the x axis
    double low = 0, high = 1;         // in view
    ChartPlan plan;
    std::array<RunsSummary, 3> summaries;
};
// The drawing of `runs` (a level's, none left out) with `view` asked for (its low and high;
// the whole level when they are NaN); the view's own full range is worked out here.
ChartDrawing drawChart(const std::vector<RunFigures> &runs, ChartMeasure measure, bool dates,
                       ChartView view);

// A tick of the date axis.
struct ChartTick {
    double at = 0; // milliseconds since the epoch
    QString label;
    friend bool operator==(const ChartTick &, const ChartTick &) = default;
};
// Ticks from `lowMs` to `highMs` on round times, in a time zone `offsetSeconds` ahead of UTC:
// whole minutes, hours, days, Mondays, months or years, at most `most` of them.
std::vector<ChartTick> dateTicks(double lowMs, double highMs, int offsetSeconds, int most = 6);

} // namespace rinkaro
