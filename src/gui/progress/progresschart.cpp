// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/progress/progresschart.h"

#include "core/levels.h"
#include "core/scorebook.h"
#include "gui/translations.h"

#include <QChart>
#include <QDateTimeAxis>
#include <QHelpEvent>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace
{

// The series' names, which the legend shows.
const char *const modeNames[2] = {QT_TRANSLATE_NOOP("ProgressChart", "順番"),
                                  QT_TRANSLATE_NOOP("ProgressChart", "ランダム")};
const char *const averageNames[2] = {QT_TRANSLATE_NOOP("ProgressChart", "順番の平均"),
                                     QT_TRANSLATE_NOOP("ProgressChart", "ランダムの平均")};
const char *const standardName = QT_TRANSLATE_NOOP("ProgressChart", "標準スコア");
const char *const bestName = QT_TRANSLATE_NOOP("ProgressChart", "最高");
const char *const outsideName = QT_TRANSLATE_NOOP("ProgressChart", "範囲外");
const QColor modeColours[2] = {QColor(0x1f, 0x77, 0xb4), QColor(0xe6, 0x6a, 0x00)};

// The average of the last ten runs of an order mode.
constexpr int averagedRuns = 10;
// A long history is drawn from the lowest and highest run of each of this many slices of
// what is shown: one or two pixels each, the same picture as every run in a fraction of the
// time. Shown closer, every run is drawn.
constexpr int slices = 400;
// The best run's star sits this far beside its point, on the side no run can be.
constexpr double starOffsetPixels = 15;
constexpr double hourMs = 3600e3;
constexpr double dayMs = 24 * hourMs;

enum class PointShape { Circle, Triangle, Diamond, Star };

// A marker drawn once as a picture, which the chart draws at every point.
QImage markerImage(PointShape shape, int size, const QColor &fill, const QColor &border)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(border, 1));
    painter.setBrush(fill);
    const QRectF box(0.5, 0.5, size - 1, size - 1);
    const QPointF centre = box.center();
    QPolygonF polygon;
    switch (shape) {
    case PointShape::Circle:
        painter.drawEllipse(box);
        return image;
    case PointShape::Triangle:
        polygon << QPointF(centre.x(), box.top()) << box.bottomRight() << box.bottomLeft();
        break;
    case PointShape::Diamond:
        polygon << QPointF(centre.x(), box.top()) << QPointF(box.right(), centre.y())
                << QPointF(centre.x(), box.bottom()) << QPointF(box.left(), centre.y());
        break;
    case PointShape::Star:
        for (int k = 0; k < 10; ++k) {
            const double radius = (k % 2 ? 0.4 : 1.0) * box.width() / 2;
            const double angle = M_PI * (k / 5.0 - 0.5);
            polygon << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        }
        break;
    }
    painter.drawPolygon(polygon);
    return image;
}

QLineSeries *makePoints(const QString &name, PointShape shape, int size, const QColor &fill,
                        const QColor &border)
{
    auto *series = new QLineSeries;
    series->setName(name);
    series->setPen(Qt::NoPen);
    series->setColor(fill);
    series->setPointsVisible(true);
    series->setMarkerSize(size);
    series->setLightMarker(markerImage(shape, size, fill, border));
    return series;
}

bool higherIsBetter(ChartMeasure measure)
{
    return measure != ChartMeasure::Score;
}

QString unitOf(int level)
{
    return levelGroup(level) == LevelGroup::Key ? ProgressChart::tr("キー/分")
                                                : ProgressChart::tr("かな/分");
}

} // namespace

ProgressChart::ProgressChart(const QFont &font, QWidget *parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("progressChart"));
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::HorizontalRubberBand);
    // The chart is read with the mouse; the keys stay with the drill.
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(tr("グラフ"));

    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->legend()->setFont(font);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    QFont titleFont = font;
    titleFont.setPixelSize(font.pixelSize() + 1);
    chart_->setTitleFont(titleFont);

    runAxis_ = new QValueAxis;
    runAxis_->setLabelFormat(QStringLiteral("%.0f"));
    runAxis_->setTickType(QValueAxis::TicksDynamic);
    dateAxis_ = new QDateTimeAxis;
    dateAxis_->setTickCount(5);
    valueAxis_ = new QValueAxis;
    valueAxis_->setTickType(QValueAxis::TicksDynamic);
    for (QAbstractAxis *axis :
         {static_cast<QAbstractAxis *>(runAxis_), static_cast<QAbstractAxis *>(dateAxis_),
          static_cast<QAbstractAxis *>(valueAxis_)}) {
        axis->setLabelsFont(font);
        // The measure and its unit are the chart's title, so no axis title can cover a label,
        // and the labels need not be cut to leave it room.
        axis->setTitleVisible(false);
        axis->setTruncateLabels(false);
    }
    chart_->addAxis(runAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);

    const PointShape shapes[2] = {PointShape::Circle, PointShape::Triangle};
    for (std::size_t mode = 0; mode < 2; ++mode) {
        runSeries_[mode] =
            makePoints(tr(modeNames[mode]), shapes[mode], 9, modeColours[mode].lighter(130),
                       modeColours[mode].darker(120));
        auto *average = new QLineSeries;
        average->setName(tr(averageNames[mode]));
        average->setPen(QPen(modeColours[mode].darker(160), 3));
        averageSeries_[mode] = average;
    }
    standardSeries_ = new QLineSeries;
    standardSeries_->setName(tr(standardName));
    standardSeries_->setPen(QPen(QColor(0x40, 0x90, 0x40), 1.5, Qt::DashLine));
    bestSeries_ = makePoints(tr(bestName), PointShape::Star, 17, QColor(0xff, 0xc8, 0x00),
                             QColor(0x80, 0x50, 0x00));
    outsideSeries_ = makePoints(tr(outsideName), PointShape::Diamond, 9, QColor(0x90, 0x90, 0x90),
                                QColor(0x40, 0x40, 0x40));

    // Added in drawing order: the averages over the points, the stars over everything.
    for (QAbstractSeries *series : {static_cast<QAbstractSeries *>(standardSeries_),
                                    static_cast<QAbstractSeries *>(runSeries_[0]),
                                    static_cast<QAbstractSeries *>(runSeries_[1]),
                                    static_cast<QAbstractSeries *>(outsideSeries_),
                                    static_cast<QAbstractSeries *>(averageSeries_[0]),
                                    static_cast<QAbstractSeries *>(averageSeries_[1]),
                                    static_cast<QAbstractSeries *>(bestSeries_)}) {
        chart_->addSeries(series);
        series->attachAxis(runAxis_);
        series->attachAxis(valueAxis_);
    }
    setChart(chart_);
    // The legend shows each kind of point as it is drawn.
    const std::pair<QLineSeries *, QLegend::MarkerShape> legendShapes[] = {
        {runSeries_[0], QLegend::MarkerShapeCircle},
        {runSeries_[1], QLegend::MarkerShapeTriangle},
        {bestSeries_, QLegend::MarkerShapeStar},
        {outsideSeries_, QLegend::MarkerShapeRotatedRectangle}};
    for (const auto &[series, shape] : legendShapes) {
        for (QLegendMarker *marker : chart_->legend()->markers(series)) {
            marker->setShape(shape);
            marker->setBrush(series->color());
            marker->setPen(QPen(series->color().darker(150)));
        }
    }

    connect(runAxis_, &QValueAxis::rangeChanged, this,
            [this](qreal low, qreal high) { onAxisRangeChanged(low, high); });
    connect(dateAxis_, &QDateTimeAxis::rangeChanged, this,
            [this](const QDateTime &low, const QDateTime &high) {
                onAxisRangeChanged(double(low.toMSecsSinceEpoch()),
                                   double(high.toMSecsSinceEpoch()));
            });
    // The stars' distance from their points is in pixels.
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        if (!updating_ && stats_)
            redraw();
    });
}

ProgressChart::~ProgressChart()
{
    // The chart owns the x axis it shows; the other is this view's.
    delete (dates_ ? static_cast<QAbstractAxis *>(runAxis_) : dateAxis_);
}

bool ProgressChart::showLevel(const ProgressStats &stats, int level)
{
    stats_ = &stats;
    level_ = level;
    runs_ = stats.levelRuns(level);
    computeValues();
    computeFullRange();
    setView(fullLow_, fullHigh_);
    return !runs_.empty();
}

void ProgressChart::showNewRuns(const ProgressStats &stats)
{
    const bool wasZoomed = zoomed_;
    const double low = viewLow_, high = viewHigh_;
    stats_ = &stats;
    runs_ = stats.levelRuns(level_);
    computeValues();
    computeFullRange();
    if (wasZoomed)
        setView(low, high);
    else
        setView(fullLow_, fullHigh_);
}

void ProgressChart::setMeasure(ChartMeasure measure)
{
    measure_ = measure;
    if (!stats_)
        return;
    computeValues();
    redraw();
}

void ProgressChart::setDateAxis(bool dates)
{
    if (dates == dates_)
        return;
    dates_ = dates;
    attachXAxis();
    if (!stats_)
        return;
    computeFullRange();
    setView(fullLow_, fullHigh_);
}

void ProgressChart::resetZoom()
{
    setView(fullLow_, fullHigh_);
}

void ProgressChart::attachXAxis()
{
    QAbstractAxis *shown = dates_ ? static_cast<QAbstractAxis *>(dateAxis_) : runAxis_;
    QAbstractAxis *hidden = dates_ ? static_cast<QAbstractAxis *>(runAxis_) : dateAxis_;
    updating_ = true;
    if (chart_->axes(Qt::Horizontal).contains(hidden))
        chart_->removeAxis(hidden);
    chart_->addAxis(shown, Qt::AlignBottom);
    for (QAbstractSeries *series : chart_->series())
        series->attachAxis(shown);
    updating_ = false;
}

double ProgressChart::xOf(int position) const
{
    if (!dates_)
        return position + 1;
    return double(stats_->allRuns()[std::size_t(runs_[std::size_t(position)])].endedMs);
}

void ProgressChart::computeValues()
{
    values_.assign(runs_.size(), 0);
    const std::vector<RunFigures> &all = stats_->allRuns();
    for (std::size_t k = 0; k < runs_.size(); ++k) {
        const RunFigures &run = all[std::size_t(runs_[k])];
        values_[k] = measure_ == ChartMeasure::Score   ? run.score
                     : measure_ == ChartMeasure::Speed ? run.speed()
                                                       : run.accuracy() * 100;
    }
    // Each order mode's own average, and its best run.
    averages_.assign(runs_.size(), std::numeric_limits<double>::quiet_NaN());
    best_ = {-1, -1};
    for (int mode = 0; mode < 2; ++mode) {
        std::vector<std::size_t> positions;
        std::vector<double> values;
        for (std::size_t k = 0; k < runs_.size(); ++k) {
            if (all[std::size_t(runs_[k])].randomOrder == (mode == 1)) {
                positions.push_back(k);
                values.push_back(values_[k]);
            }
        }
        const std::vector<double> averages = movingAverage(values, averagedRuns);
        int &best = best_[std::size_t(mode)];
        for (std::size_t j = 0; j < positions.size(); ++j) {
            averages_[positions[j]] = averages[j];
            const double value = values[j];
            if (std::isfinite(value) &&
                (best < 0 || (higherIsBetter(measure_) ? value > values_[std::size_t(best)]
                                                       : value < values_[std::size_t(best)])))
                best = int(positions[j]);
        }
    }
}

void ProgressChart::computeFullRange()
{
    if (runs_.empty()) {
        fullLow_ = 0;
        fullHigh_ = 1;
        return;
    }
    if (!dates_) {
        const AxisScale scale = axisScale({1.0, double(runs_.size())}, {1, 0, 0, 0}, {});
        fullLow_ = scale.low;
        fullHigh_ = scale.high;
        return;
    }
    // A clock set years wrong for one run must not squeeze the rest into a sliver.
    std::vector<double> times(runs_.size());
    for (std::size_t k = 0; k < runs_.size(); ++k)
        times[k] = xOf(int(k));
    const AxisScale scale = axisScale(std::move(times), {1, 0, 10 * 60e3});
    fullLow_ = scale.low;
    fullHigh_ = scale.high;
}

void ProgressChart::setView(double low, double high)
{
    const double narrowest = dates_ ? 10 * 60e3 : 4;
    if (high - low < narrowest) {
        const double middle = (low + high) / 2;
        low = middle - narrowest / 2;
        high = middle + narrowest / 2;
    }
    viewLow_ = std::max(low, fullLow_);
    viewHigh_ = std::min(high, fullHigh_);
    if (viewHigh_ <= viewLow_) {
        viewLow_ = fullLow_;
        viewHigh_ = fullHigh_;
    }
    const bool wasZoomed = zoomed_;
    zoomed_ = viewLow_ > fullLow_ || viewHigh_ < fullHigh_;
    redraw();
    if (zoomed_ != wasZoomed)
        emit zoomChanged(zoomed_);
}

void ProgressChart::onAxisRangeChanged(double low, double high)
{
    // The rubber band and the right button zoom through the axes.
    if (updating_ || !stats_)
        return;
    setView(low, high);
}

void ProgressChart::redraw()
{
    if (!stats_)
        return;
    updating_ = true;
    markers_.clear();
    const std::vector<RunFigures> &all = stats_->allRuns();

    // The runs in view, and the scale their values take.
    std::vector<int> shown;
    std::vector<double> shownValues;
    std::vector<int> beyond; // dated outside the scale of dates, at an edge in view
    for (std::size_t k = 0; k < runs_.size(); ++k) {
        const double x = xOf(int(k));
        if (x >= viewLow_ && x <= viewHigh_) {
            shown.push_back(int(k));
            shownValues.push_back(values_[k]);
        } else if ((x < fullLow_ && viewLow_ == fullLow_) ||
                   (x > fullHigh_ && viewHigh_ == fullHigh_)) {
            beyond.push_back(int(k));
        }
    }
    std::vector<double> include;
    ScaleRule rule{1, 0.1, 0, 0};
    // The weak-spot drills have no standard score.
    if (measure_ == ChartMeasure::Score && ScoreBook::standardScore(level_) > 0) {
        include.push_back(ScoreBook::standardScore(level_));
    } else if (measure_ == ChartMeasure::Accuracy) {
        rule = {0.5, 0.05, 0.5, 0, 100};
    }
    yScale_ = axisScale(std::move(shownValues), rule, include);
    const double plotHeight = std::max<double>(chart_->plotArea().height(), 100);
    const double perPixel = (yScale_.high - yScale_.low) / plotHeight;
    // Runs beyond the scale are drawn just inside its edge, whole.
    const auto atEdge = [&](double value) {
        return std::clamp(value, yScale_.low + 6 * perPixel, yScale_.high - 6 * perPixel);
    };

    // Every run when they fit; else the lowest and highest of each slice.
    const bool thinned = shown.size() > std::size_t(2 * slices);
    const auto sliceOf = [&](int k) {
        return std::min(slices - 1, int((xOf(k) - viewLow_) / (viewHigh_ - viewLow_) * slices));
    };
    std::array<QList<QPointF>, 2> points, averages;
    QList<QPointF> outside;
    const auto add = [&](int k) {
        const double value = values_[std::size_t(k)];
        if (!std::isfinite(value))
            return;
        const bool mode = all[std::size_t(runs_[std::size_t(k)])].randomOrder;
        if (value < yScale_.low || value > yScale_.high) {
            const QPointF at(xOf(k), atEdge(value));
            outside.append(at);
            markers_.push_back({at, k, true});
            return;
        }
        const QPointF at(xOf(k), value);
        points[mode].append(at);
        markers_.push_back({at, k, false});
    };
    std::array<std::array<int, 2>, 2> extremes{}; // per mode: lowest, highest in the slice
    // Per mode: the averages of the slice summed, their count, and the middle of their runs.
    struct AverageSum {
        double sum = 0, x = 0;
        int count = 0;
    };
    std::array<AverageSum, 2> averageSums{};
    int slice = -1;
    const auto flush = [&] {
        for (int mode = 0; mode < 2; ++mode) {
            const auto [low, high] = extremes[std::size_t(mode)];
            if (low >= 0)
                add(low);
            if (high >= 0 && high != low)
                add(high);
            AverageSum &a = averageSums[std::size_t(mode)];
            if (a.count > 0)
                averages[mode].append(QPointF(a.x / a.count, a.sum / a.count));
            a = {};
        }
    };
    for (const int k : shown) {
        const double average = averages_[std::size_t(k)];
        const bool mode = all[std::size_t(runs_[std::size_t(k)])].randomOrder;
        if (!thinned) {
            add(k);
            if (std::isfinite(average))
                averages[mode].append(QPointF(xOf(k), average));
            continue;
        }
        if (sliceOf(k) != slice) {
            flush();
            slice = sliceOf(k);
            extremes = {{{-1, -1}, {-1, -1}}};
        }
        auto &[low, high] = extremes[mode];
        const double value = values_[std::size_t(k)];
        if (std::isfinite(value)) {
            if (low < 0 || value < values_[std::size_t(low)])
                low = k;
            if (high < 0 || value > values_[std::size_t(high)])
                high = k;
        }
        // The average changes slowly: one point a slice, their mean, draws it.
        if (std::isfinite(average)) {
            AverageSum &a = averageSums[mode];
            a.sum += average;
            a.x += xOf(k);
            ++a.count;
        }
    }
    if (thinned)
        flush();
    for (const int k : beyond) {
        const double value = values_[std::size_t(k)];
        if (!std::isfinite(value))
            continue;
        const QPointF at(xOf(k) < viewLow_ ? viewLow_ : viewHigh_, atEdge(value));
        outside.append(at);
        markers_.push_back({at, k, true});
    }
    // The best run of each order mode, starred beside its point where nothing is drawn:
    // below the lowest score, above the highest speed or accuracy.
    const double offset = starOffsetPixels * (yScale_.high - yScale_.low) / plotHeight *
                          (higherIsBetter(measure_) ? 1 : -1);
    QList<QPointF> stars;
    for (const int best : best_) {
        if (best < 0)
            continue;
        const double x = xOf(best);
        if (x < viewLow_ || x > viewHigh_)
            continue;
        const double y = std::clamp(values_[std::size_t(best)], yScale_.low, yScale_.high);
        // Past a bound no value can pass (100 %, 0 seconds), the star goes to the other side.
        const bool flipped = y + offset > rule.ceiling || y + offset < rule.floor;
        stars.append(QPointF(x, flipped ? y - offset : y + offset));
    }
    // The stars may stand beyond the scale: room is left for them, half a star's size.
    double low = yScale_.low, high = yScale_.high;
    for (const QPointF &star : stars) {
        low = std::min(low, star.y() - 9 * perPixel);
        high = std::max(high, star.y() + 9 * perPixel);
    }

    // Every series works out its picture again whenever an axis changes: the axes are set
    // while the series are empty, and each series is filled once.
    for (QAbstractSeries *series : chart_->series())
        static_cast<QXYSeries *>(series)->clear();
    valueAxis_->setRange(low, high);
    valueAxis_->setTickAnchor(yScale_.low);
    valueAxis_->setTickInterval(yScale_.step);
    valueAxis_->setLabelFormat(yScale_.step < 1 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
    if (dates_) {
        const double span = viewHigh_ - viewLow_;
        dateAxis_->setFormat(span < dayMs         ? QStringLiteral("HH:mm")
                             : span < 3 * dayMs   ? QStringLiteral("M/d HH:mm")
                             : span < 400 * dayMs ? QStringLiteral("M/d")
                                                  : QStringLiteral("yyyy/M"));
        dateAxis_->setRange(QDateTime::fromMSecsSinceEpoch(qint64(viewLow_)),
                            QDateTime::fromMSecsSinceEpoch(qint64(viewHigh_)));
    } else {
        const AxisScale runs = axisScale({viewLow_, viewHigh_}, {1, 0, 0, 0});
        runAxis_->setRange(viewLow_, viewHigh_);
        runAxis_->setTickAnchor(runs.low);
        runAxis_->setTickInterval(runs.step);
    }

    // Smaller points, seen through, when there are many: the averages show over them.
    const bool many = shown.size() > 300;
    const int markerSize = many ? 6 : 9;
    const PointShape shapes[2] = {PointShape::Circle, PointShape::Triangle};
    for (std::size_t mode = 0; mode < 2; ++mode) {
        QLineSeries *series = runSeries_[mode];
        if (series->markerSize() != markerSize) {
            QColor fill = modeColours[mode].lighter(130);
            QColor border = modeColours[mode].darker(120);
            if (many) {
                fill.setAlpha(110);
                border.setAlpha(140);
            }
            series->setMarkerSize(markerSize);
            series->setLightMarker(markerImage(shapes[mode], markerSize, fill, border));
        }
        series->replace(points[mode]);
        averageSeries_[mode]->replace(averages[mode]);
    }
    outsideSeries_->replace(outside);
    bestSeries_->replace(stars);
    if (measure_ == ChartMeasure::Score && ScoreBook::standardScore(level_) > 0)
        standardSeries_->replace(
            QList<QPointF>{{viewLow_, double(ScoreBook::standardScore(level_))},
                           {viewHigh_, double(ScoreBook::standardScore(level_))}});

    chart_->setTitle(measure_ == ChartMeasure::Score ? tr("スコア（秒＋ミス・少ないほど良い）")
                     : measure_ == ChartMeasure::Speed
                         ? tr("速さ（%1・多いほど良い）").arg(unitOf(level_))
                         : tr("正確さ（正しく押したキーの割合 %・多いほど良い）"));
    // The legend names only what is drawn, and the standard score even where the scale left
    // it out.
    for (QAbstractSeries *series : chart_->series()) {
        const bool drawn = !static_cast<QXYSeries *>(series)->points().isEmpty();
        for (QLegendMarker *marker : chart_->legend()->markers(series))
            marker->setVisible(drawn);
    }
    const int standard = ScoreBook::standardScore(level_);
    standardSeries_->setName(standard >= low && standard <= high
                                 ? QStringLiteral("%1 %2").arg(tr(standardName)).arg(standard)
                                 : tr("%1 %2（範囲外）").arg(tr(standardName)).arg(standard));
    describe(shown);
    updating_ = false;
}

// The chart in words, for a screen reader: what it measures, the runs in view, the best and
// the latest, and which way the last runs go. The table of runs holds every figure.
void ProgressChart::describe(const std::vector<int> &shown)
{
    std::vector<double> values;
    values.reserve(shown.size());
    for (const int k : shown)
        values.push_back(values_[std::size_t(k)]);
    const RunsSummary summary = summariseRuns(values, higherIsBetter(measure_));
    QString text = tr("%1。").arg(chart_->title());
    if (summary.count == 0) {
        setAccessibleDescription(text + tr("表示している記録はありません。"));
        return;
    }
    const QLocale locale = interfaceLocale();
    const auto number = [&locale](double value) { return locale.toString(value, 'f', 1); };
    text += tr("%1 回を表示、最高 %2、最新 %3。")
                .arg(summary.count)
                .arg(number(summary.best), number(summary.latest));
    switch (summary.trend) {
    case RunsSummary::Trend::Unknown:
        break;
    case RunsSummary::Trend::Better:
        text += tr("最近の %1 回はその前の %1 回より良くなっています。").arg(summary.compared);
        break;
    case RunsSummary::Trend::Steady:
        text += tr("最近の %1 回はその前の %1 回とほぼ同じです。").arg(summary.compared);
        break;
    case RunsSummary::Trend::Worse:
        text += tr("最近の %1 回はその前の %1 回より悪くなっています。").arg(summary.compared);
        break;
    }
    setAccessibleDescription(text);
}

QList<QPointF> ProgressChart::seriesPoints(const QString &name) const
{
    // The standard score's name carries its value.
    for (QAbstractSeries *series : chart_->series())
        if (series->name() == name ||
            (series == standardSeries_ && series->name().startsWith(name + QLatin1Char(' '))))
            return static_cast<QXYSeries *>(series)->points();
    return {};
}

QString ProgressChart::runText(int position, bool outside) const
{
    const RunFigures &run = stats_->allRuns()[std::size_t(runs_[std::size_t(position)])];
    const QLocale locale = interfaceLocale();
    const auto number = [&locale](double value, int decimals) {
        return std::isfinite(value) ? locale.toString(value, 'f', decimals) : QStringLiteral("―");
    };
    const QString mode = tr(modeNames[run.randomOrder]);
    QStringList lines;
    if (outside)
        lines << tr("（グラフの範囲外）");
    //: The date and time of a run, in QDateTime's format.
    lines << locale.toString(run.ended(), tr("yyyy年M月d日（ddd） H:mm"));
    lines << tr("%1 回目・%2").arg(position + 1).arg(mode);
    lines << tr("スコア %1（%2 秒＋ミス %3）")
                 .arg(number(run.score, 1), number(run.seconds, 1))
                 .arg(run.errors);
    lines << tr("速さ %1 %2・正確さ %3 %")
                 .arg(number(run.speed(), 1), unitOf(run.level), number(run.accuracy() * 100, 1));
    if (run.newRecord)
        lines << tr("新記録");
    if (best_[run.randomOrder] == position)
        lines << tr("★ %1の最高").arg(mode);
    return lines.join(QLatin1Char('\n'));
}

const ProgressChart::Marker *ProgressChart::markerAt(const QPoint &viewportPosition) const
{
    const QPointF pointer = chart_->mapFromScene(mapToScene(viewportPosition));
    const Marker *nearest = nullptr;
    double distance = 10; // pixels
    for (const Marker &marker : markers_) {
        const double d = QLineF(chart_->mapToPosition(marker.at, runSeries_[0]), pointer).length();
        if (d <= distance) {
            distance = d;
            nearest = &marker;
        }
    }
    return nearest;
}

QPoint ProgressChart::viewportPosition(const QPointF &value) const
{
    return mapFromScene(chart_->mapToScene(chart_->mapToPosition(value, runSeries_[0])));
}

bool ProgressChart::viewportEvent(QEvent *event)
{
    // The view's own tooltip handling hides any tooltip that no chart item has: the run
    // under the pointer is named here, and stays while the pointer is on it.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (const Marker *marker = markerAt(help->pos())) {
            const QPoint at = viewportPosition(marker->at);
            QToolTip::showText(help->globalPos(), runText(marker->run, marker->outside), viewport(),
                               QRect(at - QPoint(10, 10), QSize(21, 21)));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QChartView::viewportEvent(event);
}

void ProgressChart::wheelEvent(QWheelEvent *event)
{
    if (!stats_ || runs_.empty() || event->angleDelta().y() == 0) {
        QChartView::wheelEvent(event);
        return;
    }
    // Zoomed about the point under the pointer.
    const QPointF pointer = chart_->mapFromScene(mapToScene(event->position().toPoint()));
    const double x =
        std::clamp(chart_->mapToValue(pointer, runSeries_[0]).x(), viewLow_, viewHigh_);
    const double factor = std::pow(0.8, event->angleDelta().y() / 120.0);
    setView(x - (x - viewLow_) * factor, x + (viewHigh_ - x) * factor);
    event->accept();
}
