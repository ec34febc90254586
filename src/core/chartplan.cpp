// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chartplan.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

namespace rinkaro
{

namespace
{

constexpr double minuteMs = 60e3;
constexpr double hourMs = 60 * minuteMs;
constexpr double dayMs = 24 * hourMs;

ScaleRule ruleOf(ChartMeasure measure)
{
    if (measure == ChartMeasure::Accuracy)
        return {0.5, 0.05, 0.5, 0, 100, fewestForOutliers};
    return {1,
            0.1,
            0,
            -std::numeric_limits<double>::infinity(),
            std::numeric_limits<double>::infinity(),
            fewestForOutliers};
}

bool better(ChartMeasure measure, double value, double than)
{
    return higherIsBetter(measure) ? value > than : value < than;
}

// Gathers the points of a long view a slice at a time.
class Thinner
{
public:
    Thinner(const ChartSeries &series, const ChartView &view, ChartPlan &plan,
            std::function<void(int)> add)
        : series_(series), view_(view), plan_(plan), add_(std::move(add))
    {
    }
    void take(int k)
    {
        const ChartRun &run = series_.runs[std::size_t(k)];
        const int slice = std::min(
            chartSlices - 1, int((run.x - view_.low) / (view_.high - view_.low) * chartSlices));
        if (slice != slice_) {
            flush();
            slice_ = slice;
        }
        Slice &mode = modes_[run.random];
        if (std::isfinite(run.value)) {
            if (mode.low < 0 || run.value < value(mode.low))
                mode.low = k;
            if (mode.high < 0 || run.value > value(mode.high))
                mode.high = k;
        }
        const double average = series_.averages[std::size_t(k)];
        // The average changes slowly: one point a slice, their mean, draws it.
        if (std::isfinite(average)) {
            mode.sum += average;
            mode.x += run.x;
            ++mode.count;
        }
    }
    void flush()
    {
        for (std::size_t mode = 0; mode < 2; ++mode) {
            Slice &s = modes_[mode];
            if (s.low >= 0)
                add_(s.low);
            if (s.high >= 0 && s.high != s.low)
                add_(s.high);
            if (s.count > 0)
                plan_.averages[mode].push_back({s.x / s.count, s.sum / s.count});
            s = {};
        }
    }

private:
    struct Slice {
        int low = -1, high = -1;
        double sum = 0, x = 0;
        int count = 0;
    };
    double value(int k) const { return series_.runs[std::size_t(k)].value; }
    const ChartSeries &series_;
    const ChartView &view_;
    ChartPlan &plan_;
    std::function<void(int)> add_;
    std::array<Slice, 2> modes_{};
    int slice_ = -1;
};

// The stars of the best runs, beside their points where nothing is drawn: below the lowest
// score, above the highest speed or accuracy; past a bound no value can pass, on the other
// side.
void placeStars(const ChartSeries &series, ChartMeasure measure, const ChartView &view,
                ChartPlan &plan)
{
    const ScaleRule rule = ruleOf(measure);
    const double perPixel = (plan.scale.high - plan.scale.low) / view.plotHeight;
    const double offset = starOffsetPixels * perPixel * (higherIsBetter(measure) ? 1 : -1);
    plan.low = plan.scale.low;
    plan.high = plan.scale.high;
    for (const int best : series.best) {
        if (best < 0)
            continue;
        const ChartRun &run = series.runs[std::size_t(best)];
        if (run.x < view.low || run.x > view.high)
            continue;
        const double y = std::clamp(run.value, plan.scale.low, plan.scale.high);
        const bool flipped = y + offset > rule.ceiling || y + offset < rule.floor;
        const ChartPoint star{run.x, flipped ? y - offset : y + offset};
        plan.stars.push_back(star);
        // Room is left for a star beyond the scale: half a star's size.
        plan.low = std::min(plan.low, star.y - 9 * perPixel);
        plan.high = std::max(plan.high, star.y + 9 * perPixel);
    }
}

} // namespace

ChartSeries chartSeries(std::vector<ChartRun> runs, ChartMeasure measure)
{
    ChartSeries series;
    series.runs = std::move(runs);
    std::vector<double> values(series.runs.size());
    for (std::size_t k = 0; k < values.size(); ++k)
        values[k] = series.runs[k].value;
    series.outlier = farOutliers(values, ruleOf(measure));
    series.averages.assign(values.size(), std::numeric_limits<double>::quiet_NaN());
    for (int mode = 0; mode < 2; ++mode) {
        std::vector<std::size_t> positions;
        std::vector<double> kept;
        int &best = series.best[std::size_t(mode)];
        for (std::size_t k = 0; k < values.size(); ++k) {
            if (series.runs[k].random != (mode == 1) || !std::isfinite(values[k]))
                continue;
            if (best < 0 || better(measure, values[k], values[std::size_t(best)]))
                best = int(k);
            if (!series.outlier[k]) {
                positions.push_back(k);
                kept.push_back(values[k]);
            }
        }
        const std::vector<double> averages = movingAverage(kept, averagedRuns);
        for (std::size_t j = 0; j < positions.size(); ++j)
            series.averages[positions[j]] = averages[j];
    }
    return series;
}

namespace
{

// The runs in view, with the values that set the scale; and the runs dated beyond the scale
// of dates at an edge in view.
std::vector<int> selectShown(const ChartSeries &series, const ChartView &view, ChartPlan &plan,
                             std::vector<double> &shownValues)
{
    std::vector<int> beyond;
    for (std::size_t k = 0; k < series.runs.size(); ++k) {
        const double x = series.runs[k].x;
        if (x >= view.low && x <= view.high) {
            plan.shown.push_back(int(k));
            // An outlier of the whole level stays one in any view.
            if (!series.outlier[k])
                shownValues.push_back(series.runs[k].value);
        } else if ((x < view.fullLow && view.low == view.fullLow) ||
                   (x > view.fullHigh && view.high == view.fullHigh)) {
            beyond.push_back(int(k));
        }
    }
    return beyond;
}

} // namespace

ChartPlan planChart(const ChartSeries &series, ChartMeasure measure, const ChartView &view)
{
    ChartPlan plan;
    std::vector<double> shownValues;
    const std::vector<int> beyond = selectShown(series, view, plan, shownValues);
    std::vector<double> include;
    if (measure == ChartMeasure::Score && view.standard > 0)
        include.push_back(view.standard);
    plan.scale = axisScale(std::move(shownValues), ruleOf(measure), include);
    const double perPixel = (plan.scale.high - plan.scale.low) / view.plotHeight;
    // Beyond the scale, whole, just inside its edge.
    const auto atEdge = [&](double value) {
        return std::clamp(value, plan.scale.low + 6 * perPixel, plan.scale.high - 6 * perPixel);
    };
    const auto add = [&](int k) {
        const ChartRun &run = series.runs[std::size_t(k)];
        if (!std::isfinite(run.value))
            return;
        if (run.value < plan.scale.low || run.value > plan.scale.high) {
            const ChartPoint at{run.x, atEdge(run.value)};
            plan.outside.push_back(at);
            plan.markers.push_back({at, k, true});
            return;
        }
        const ChartPoint at{run.x, run.value};
        plan.points[run.random].push_back(at);
        plan.markers.push_back({at, k, false});
    };
    if (plan.shown.size() > std::size_t(2 * chartSlices)) {
        Thinner thinner(series, view, plan, add);
        for (const int k : plan.shown)
            thinner.take(k);
        thinner.flush();
    } else {
        for (const int k : plan.shown) {
            add(k);
            const double average = series.averages[std::size_t(k)];
            if (std::isfinite(average))
                plan.averages[series.runs[std::size_t(k)].random].push_back(
                    {series.runs[std::size_t(k)].x, average});
        }
    }
    for (const int k : beyond) {
        const ChartRun &run = series.runs[std::size_t(k)];
        if (!std::isfinite(run.value))
            continue;
        const ChartPoint at{run.x < view.low ? view.low : view.high, atEdge(run.value)};
        plan.outside.push_back(at);
        plan.markers.push_back({at, k, true});
    }
    placeStars(series, measure, view, plan);
    plan.many = plan.shown.size() > 300;
    return plan;
}

std::vector<ChartRun> chartRuns(const std::vector<RunFigures> &runs, ChartMeasure measure,
                                bool dates)
{
    std::vector<ChartRun> chart(runs.size());
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const RunFigures &run = runs[k];
        chart[k] = {dates ? double(run.endedMs) : double(k + 1),
                    measure == ChartMeasure::Score   ? run.score()
                    : measure == ChartMeasure::Speed ? run.speed()
                                                     : run.accuracy() * 100,
                    run.randomOrder};
    }
    return chart;
}

std::pair<double, double> chartRange(const std::vector<ChartRun> &runs, bool dates)
{
    if (runs.empty())
        return {0, 1};
    if (!dates) {
        const AxisScale scale = axisScale({1.0, double(runs.size())}, {1, 0, 0, 0}, {});
        return {scale.low, scale.high};
    }
    std::vector<double> times(runs.size());
    for (std::size_t k = 0; k < runs.size(); ++k)
        times[k] = runs[k].x;
    const AxisScale scale = axisScale(std::move(times), {1, 0, 10 * minuteMs});
    return {scale.low, scale.high};
}

std::pair<double, double> chartViewRange(double low, double high, double fullLow, double fullHigh,
                                         bool dates)
{
    const double narrowest = dates ? 10 * minuteMs : 4;
    if (high - low < narrowest) {
        const double middle = (low + high) / 2;
        low = middle - narrowest / 2;
        high = middle + narrowest / 2;
    }
    low = std::max(low, fullLow);
    high = std::min(high, fullHigh);
    if (high <= low)
        return {fullLow, fullHigh};
    return {low, high};
}

std::array<RunsSummary, 3> chartSummaries(const std::vector<RunFigures> &runs,
                                          const std::vector<int> &shown)
{
    std::array<RunsSummary, 3> summaries;
    std::vector<double> values(shown.size());
    for (const ChartMeasure measure :
         {ChartMeasure::Score, ChartMeasure::Speed, ChartMeasure::Accuracy}) {
        for (std::size_t k = 0; k < shown.size(); ++k) {
            const RunFigures &run = runs[std::size_t(shown[k])];
            values[k] = measure == ChartMeasure::Score   ? run.score()
                        : measure == ChartMeasure::Speed ? run.speed()
                                                         : run.accuracy() * 100;
        }
        summaries[std::size_t(measure)] = summariseRuns(values, higherIsBetter(measure));
    }
    return summaries;
}

ChartDrawing drawChart(const std::vector<RunFigures> &runs, ChartMeasure measure, bool dates,
                       ChartView view)
{
    ChartDrawing drawing;
    drawing.series = chartSeries(chartRuns(runs, measure, dates), measure);
    std::tie(drawing.fullLow, drawing.fullHigh) = chartRange(drawing.series.runs, dates);
    if (std::isnan(view.low) || std::isnan(view.high)) {
        view.low = drawing.fullLow;
        view.high = drawing.fullHigh;
    }
    std::tie(drawing.low, drawing.high) =
        chartViewRange(view.low, view.high, drawing.fullLow, drawing.fullHigh, dates);
    view.low = drawing.low;
    view.high = drawing.high;
    view.fullLow = drawing.fullLow;
    view.fullHigh = drawing.fullHigh;
    drawing.plan = planChart(drawing.series, measure, view);
    drawing.summaries = chartSummaries(runs, drawing.plan.shown);
    return drawing;
}

namespace
{

struct TickStep {
    double ms;  // for minutes, hours and days
    int months; // for months and years; 0 otherwise
    bool week;  // Mondays
    const char *format;
};

constexpr TickStep tickSteps[] = {
    {minuteMs, 0, false, "H:mm"},
    {2 * minuteMs, 0, false, "H:mm"},
    {5 * minuteMs, 0, false, "H:mm"},
    {10 * minuteMs, 0, false, "H:mm"},
    {15 * minuteMs, 0, false, "H:mm"},
    {30 * minuteMs, 0, false, "H:mm"},
    {hourMs, 0, false, "H:mm"},
    {2 * hourMs, 0, false, "H:mm"},
    {3 * hourMs, 0, false, "H:mm"},
    {6 * hourMs, 0, false, "M/d H:mm"},
    {12 * hourMs, 0, false, "M/d H:mm"},
    {dayMs, 0, false, "M/d"},
    {2 * dayMs, 0, false, "M/d"},
    {7 * dayMs, 0, true, "M/d"},
    {0, 1, false, "yyyy/M"},
    {0, 2, false, "yyyy/M"},
    {0, 3, false, "yyyy/M"},
    {0, 6, false, "yyyy/M"},
    {0, 12, false, "yyyy"},
    {0, 24, false, "yyyy"},
    {0, 60, false, "yyyy"},
    {0, 120, false, "yyyy"},
};

double approximateMs(const TickStep &step)
{
    return step.months > 0 ? step.months * 30.44 * dayMs : step.ms;
}

} // namespace

std::vector<ChartTick> dateTicks(double lowMs, double highMs, int offsetSeconds, int most)
{
    std::vector<ChartTick> ticks;
    if (!(highMs > lowMs) || most < 1)
        return ticks;
    const TickStep *step = &tickSteps[std::size(tickSteps) - 1];
    for (const TickStep &candidate : tickSteps) {
        if ((highMs - lowMs) / approximateMs(candidate) <= most) {
            step = &candidate;
            break;
        }
    }
    const double offsetMs = offsetSeconds * 1000.0;
    const auto label = [&](double at) {
        return QDateTime::fromMSecsSinceEpoch(qint64(at), Qt::OffsetFromUTC, offsetSeconds)
            .toString(QString::fromLatin1(step->format));
    };
    if (step->months == 0) {
        // Local time counted from 1970-01-01 00:00, a Thursday: Mondays are 4 days on.
        const double shift = step->week ? 4 * dayMs : 0;
        const double localLow = lowMs + offsetMs - shift;
        double at = std::ceil(localLow / step->ms) * step->ms + shift - offsetMs;
        for (; at <= highMs && int(ticks.size()) < most + 1; at += step->ms)
            ticks.push_back({at, label(at)});
        return ticks;
    }
    const QDateTime low =
        QDateTime::fromMSecsSinceEpoch(qint64(lowMs), Qt::OffsetFromUTC, offsetSeconds);
    const int lowMonth = low.date().year() * 12 + low.date().month() - 1;
    int month = (lowMonth + step->months - 1) / step->months * step->months;
    for (; int(ticks.size()) < most + 1; month += step->months) {
        const QDateTime first(QDate(month / 12, month % 12 + 1, 1), QTime(0, 0), Qt::OffsetFromUTC,
                              offsetSeconds);
        const double at = double(first.toMSecsSinceEpoch());
        if (at > highMs)
            break;
        if (at >= lowMs)
            ticks.push_back({at, label(at)});
    }
    return ticks;
}

} // namespace rinkaro
