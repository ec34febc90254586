// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/progress/progresschart.h"

#include "core/levels.h"
#include "core/scorebook.h"
#include "gui/translations.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

namespace rinkaro
{

namespace
{

// The series' names, which the legend shows.
const char *const modeNames[2] = {QT_TRANSLATE_NOOP("rinkaro::ProgressChart", "順番"),
                                  QT_TRANSLATE_NOOP("rinkaro::ProgressChart", "ランダム")};
const char *const averageNames[2] = {QT_TRANSLATE_NOOP("rinkaro::ProgressChart", "順番の平均"),
                                     QT_TRANSLATE_NOOP("rinkaro::ProgressChart", "ランダムの平均")};
const char *const standardName = QT_TRANSLATE_NOOP("rinkaro::ProgressChart", "標準スコア");
const char *const bestName = QT_TRANSLATE_NOOP("rinkaro::ProgressChart", "最高");
const char *const outsideName = QT_TRANSLATE_NOOP("rinkaro::ProgressChart", "範囲外");
const QColor modeColours[2] = {QColor(0x1f, 0x77, 0xb4), QColor(0xe6, 0x6a, 0x00)};

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

QString unitOf(int level)
{
    return levelGroup(level) == LevelGroup::Key ? ProgressChart::tr("キー/分")
                                                : ProgressChart::tr("かな/分");
}

// Up to this many runs a level is worked out at once, in about ten milliseconds.
constexpr std::size_t drawnAtOnce = 20000;

// The runs of a level that the learner did not leave out.
std::shared_ptr<const std::vector<RunFigures>> keptRuns(const ProgressStats &stats, int level)
{
    auto runs = std::make_shared<std::vector<RunFigures>>();
    const std::vector<int> &indices = stats.levelRuns(level);
    runs->reserve(indices.size());
    for (const int run : indices)
        if (!stats.allRuns()[std::size_t(run)].leftOut)
            runs->push_back(stats.allRuns()[std::size_t(run)]);
    return runs;
}

} // namespace

ProgressChart::ProgressChart(const QFont &font, QWidget *parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("progressChart"));
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::HorizontalRubberBand);
    // Reached with Tab, it says its summary; the keys of the drill stay with the main window.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(tr("グラフ"));

    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    QFont titleFont = font;
    titleFont.setPixelSize(font.pixelSize() + 1);
    chart_->setTitleFont(titleFont);

    runAxis_ = new QValueAxis;
    runAxis_->setLabelFormat(QStringLiteral("%.0f"));
    runAxis_->setTickType(QValueAxis::TicksDynamic);
    dateAxis_ = new QCategoryAxis;
    dateAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
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
    // The chart's own legend keeps one row however many names it has, and they run over each
    // other: the legend is a label under the chart, in as many rows as it needs.
    chart_->legend()->hide();
    legend_ = new QLabel;
    legend_->setObjectName(QStringLiteral("chartLegend"));
    legend_->setFont(font);
    legend_->setTextFormat(Qt::RichText);
    legend_->setAlignment(Qt::AlignCenter);
    legend_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    connect(runAxis_, &QValueAxis::rangeChanged, this,
            [this](qreal low, qreal high) { onAxisRangeChanged(low, high); });
    connect(dateAxis_, &QCategoryAxis::rangeChanged, this,
            [this](qreal low, qreal high) { onAxisRangeChanged(low, high); });
    // The stars' distance from their points is in pixels.
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        if (!updating_ && shown_ &&
            plannedHeight_ != std::max<double>(chart_->plotArea().height(), 100))
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
    level_ = level;
    runs_ = keptRuns(stats, level);
    shown_ = true;
    draw(qQNaN(), qQNaN());
    return !runs_->empty();
}

void ProgressChart::showNewRuns(const ProgressStats &stats)
{
    runs_ = keptRuns(stats, level_);
    shown_ = true;
    // A zoomed chart stays where it was.
    draw(zoomed_ ? viewLow_ : qQNaN(), zoomed_ ? viewHigh_ : qQNaN());
}

void ProgressChart::setMeasure(ChartMeasure measure)
{
    measure_ = measure;
    if (shown_)
        draw(viewLow_, viewHigh_);
}

void ProgressChart::setDateAxis(bool dates)
{
    if (dates == dates_)
        return;
    dates_ = dates;
    attachXAxis();
    if (shown_)
        draw(qQNaN(), qQNaN());
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

void ProgressChart::draw(double low, double high)
{
    // What was asked for before is not drawn: this follows it.
    jobs_.cancelAll();
    plannedHeight_ = std::max<double>(chart_->plotArea().height(), 100);
    ChartView view;
    view.low = low;
    view.high = high;
    view.plotHeight = plannedHeight_;
    view.standard = double(ScoreBook::standardScore(scopeLevel(level_)));
    if (runs_->size() <= drawnAtOnce) {
        drawing_ = false;
        take(drawChart(*runs_, measure_, dates_, view), runs_);
        return;
    }
    drawing_ = true;
    jobs_.start(
        [runs = runs_, measure = measure_, dates = dates_, view](
            const BackgroundJobs::Cancelled &) { return drawChart(*runs, measure, dates, view); },
        [this, runs = runs_](ChartDrawing drawing) {
            drawing_ = false;
            take(std::move(drawing), runs);
            emit drawn();
        });
}

void ProgressChart::take(ChartDrawing drawing, std::shared_ptr<const std::vector<RunFigures>> runs)
{
    drawnRuns_ = std::move(runs);
    series_ = std::move(drawing.series);
    fullLow_ = drawing.fullLow;
    fullHigh_ = drawing.fullHigh;
    viewLow_ = drawing.low;
    viewHigh_ = drawing.high;
    plan_ = std::move(drawing.plan);
    summaries_ = drawing.summaries;
    const bool wasZoomed = std::exchange(zoomed_, viewLow_ > fullLow_ || viewHigh_ < fullHigh_);
    showPlan();
    if (zoomed_ != wasZoomed)
        emit zoomChanged(zoomed_);
}

void ProgressChart::setView(double low, double high)
{
    std::tie(viewLow_, viewHigh_) = chartViewRange(low, high, fullLow_, fullHigh_, dates_);
    if (runs_->size() > drawnAtOnce) {
        // Kept meanwhile, so that the wheel zooms on from it.
        draw(viewLow_, viewHigh_);
        return;
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
    if (updating_ || !shown_)
        return;
    setView(low, high);
}

void ProgressChart::redraw()
{
    if (!shown_)
        return;
    if (runs_->size() > drawnAtOnce) {
        draw(zoomed_ ? viewLow_ : qQNaN(), zoomed_ ? viewHigh_ : qQNaN());
        return;
    }
    const std::vector<int> before = std::move(plan_.shown);
    plannedHeight_ = std::max<double>(chart_->plotArea().height(), 100);
    const ChartView view{viewLow_,       viewHigh_,
                         fullLow_,       fullHigh_,
                         plannedHeight_, double(ScoreBook::standardScore(scopeLevel(level_)))};
    plan_ = planChart(series_, measure_, view);
    // Only the height changed, most of the time: the runs in view say the same.
    if (plan_.shown != before)
        summaries_ = chartSummaries(*drawnRuns_, plan_.shown);
    showPlan();
}

void ProgressChart::showPlan()
{
    updating_ = true;
    // Every series works out its picture again whenever an axis changes: the axes are set
    // while the series are empty, and each series is filled once.
    for (QAbstractSeries *series : chart_->series())
        static_cast<QXYSeries *>(series)->clear();
    setAxes();
    fillSeries();
    nameSeries();
    describe();
    updating_ = false;
}

void ProgressChart::setAxes()
{
    valueAxis_->setRange(plan_.low, plan_.high);
    valueAxis_->setTickAnchor(plan_.scale.low);
    valueAxis_->setTickInterval(plan_.scale.step);
    valueAxis_->setLabelFormat(plan_.scale.step < 1 ? QStringLiteral("%.1f")
                                                    : QStringLiteral("%.0f"));
    if (dates_) {
        for (const QString &label : dateAxis_->categoriesLabels())
            dateAxis_->remove(label);
        const int offset = QDateTime::currentDateTime().offsetFromUtc();
        for (const ChartTick &tick : dateTicks(viewLow_, viewHigh_, offset))
            dateAxis_->append(tick.label, tick.at);
        dateAxis_->setRange(viewLow_, viewHigh_);
        return;
    }
    const AxisScale runs = axisScale({viewLow_, viewHigh_}, {1, 0, 0, 0});
    runAxis_->setRange(viewLow_, viewHigh_);
    runAxis_->setTickAnchor(runs.low);
    runAxis_->setTickInterval(runs.step);
}

void ProgressChart::fillSeries()
{
    const auto list = [](const std::vector<ChartPoint> &points) {
        QList<QPointF> list;
        list.reserve(qsizetype(points.size()));
        for (const ChartPoint &p : points)
            list.append(QPointF(p.x, p.y));
        return list;
    };
    // Smaller points, seen through, when there are many: the averages show over them.
    const int markerSize = plan_.many ? 6 : 9;
    const PointShape shapes[2] = {PointShape::Circle, PointShape::Triangle};
    for (std::size_t mode = 0; mode < 2; ++mode) {
        QLineSeries *series = runSeries_[mode];
        if (series->markerSize() != markerSize) {
            QColor fill = modeColours[mode].lighter(130);
            QColor border = modeColours[mode].darker(120);
            if (plan_.many) {
                fill.setAlpha(110);
                border.setAlpha(140);
            }
            series->setMarkerSize(markerSize);
            series->setLightMarker(markerImage(shapes[mode], markerSize, fill, border));
        }
        series->replace(list(plan_.points[mode]));
        averageSeries_[mode]->replace(list(plan_.averages[mode]));
    }
    outsideSeries_->replace(list(plan_.outside));
    bestSeries_->replace(list(plan_.stars));
    const int standard = ScoreBook::standardScore(scopeLevel(level_));
    if (measure_ == ChartMeasure::Score && standard > 0)
        standardSeries_->replace(
            QList<QPointF>{{viewLow_, double(standard)}, {viewHigh_, double(standard)}});
}

void ProgressChart::nameSeries()
{
    chart_->setTitle(measure_ == ChartMeasure::Score ? tr("スコア（秒＋ミス・少ないほど良い）")
                     : measure_ == ChartMeasure::Speed
                         ? tr("速さ（%1・多いほど良い）").arg(unitOf(scopeLevel(level_)))
                         : tr("正確さ（正しく押したキーの割合 %・多いほど良い）"));
    const int standard = ScoreBook::standardScore(scopeLevel(level_));
    standardSeries_->setName(standard >= plan_.low && standard <= plan_.high
                                 ? QStringLiteral("%1 %2").arg(tr(standardName)).arg(standard)
                                 : tr("%1 %2（範囲外）").arg(tr(standardName)).arg(standard));
    // The legend names only what is drawn, and the standard score even where the scale left
    // it out.
    writeLegend();
}

void ProgressChart::writeLegend()
{
    const std::pair<const QLineSeries *, std::pair<QString, QColor>> kinds[] = {
        {standardSeries_, {QStringLiteral("┅"), standardSeries_->pen().color()}},
        {runSeries_[0], {QStringLiteral("●"), modeColours[0]}},
        {runSeries_[1], {QStringLiteral("▲"), modeColours[1]}},
        {outsideSeries_, {QStringLiteral("◆"), QColor(0x60, 0x60, 0x60)}},
        {averageSeries_[0], {QStringLiteral("━"), averageSeries_[0]->pen().color()}},
        {averageSeries_[1], {QStringLiteral("━"), averageSeries_[1]->pen().color()}},
        {bestSeries_, {QStringLiteral("★"), QColor(0xd0, 0x90, 0x00)}}};
    // Whole names in rows as wide as the chart, never a name cut between two rows.
    const QFontMetrics metrics(legend_->font());
    const QString gap = QStringLiteral("\u3000");
    const int room = std::max(1, width() - 8);
    QStringList rows;
    QString row;
    int rowWidth = 0;
    for (const auto &[series, symbol] : kinds) {
        if (series->points().isEmpty())
            continue;
        const QString plain = symbol.first + QLatin1Char(' ') + series->name();
        const int itemWidth = metrics.horizontalAdvance(plain);
        const int gapWidth = rowWidth > 0 ? metrics.horizontalAdvance(gap) : 0;
        if (rowWidth > 0 && rowWidth + gapWidth + itemWidth > room) {
            rows << row;
            row.clear();
            rowWidth = 0;
        } else if (rowWidth > 0) {
            row += gap;
            rowWidth += gapWidth;
        }
        row += QStringLiteral("<span style=\"color:%1\">%2</span>&nbsp;%3")
                   .arg(symbol.second.name(), symbol.first, series->name().toHtmlEscaped());
        rowWidth += itemWidth;
    }
    if (rowWidth > 0)
        rows << row;
    legend_->setText(rows.join(QStringLiteral("<br>")));
}

void ProgressChart::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    writeLegend();
}

// The chart in words, for a screen reader: what it measures, the runs in view, the best and
// the latest, and which way the last runs go; then the other measures in brief. The table
// of runs holds every figure.
void ProgressChart::describe()
{
    const QLocale locale = interfaceLocale();
    const auto number = [&locale](double value) { return locale.toString(value, 'f', 1); };
    const RunsSummary &summary = summaries_[std::size_t(measure_)];
    QString text = tr("%1。").arg(chart_->title());
    if (summary.count == 0) {
        setAccessibleDescription(text + tr("表示している記録はありません。"));
        return;
    }
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
    const std::pair<ChartMeasure, QString> others[] = {{ChartMeasure::Score, tr("スコア")},
                                                       {ChartMeasure::Speed, tr("速さ")},
                                                       {ChartMeasure::Accuracy, tr("正確さ")}};
    for (const auto &[measure, name] : others) {
        if (measure == measure_)
            continue;
        const RunsSummary &other = summaries_[std::size_t(measure)];
        if (other.count > 0)
            text +=
                tr("%1は最高 %2、最新 %3。").arg(name, number(other.best), number(other.latest));
    }
    setAccessibleDescription(text);
}

QString ProgressChart::runText(int position, bool outside) const
{
    const RunFigures &run = (*drawnRuns_)[std::size_t(position)];
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
                 .arg(number(run.score(), 1), number(run.seconds(), 1))
                 .arg(run.errors);
    lines << tr("速さ %1 %2・正確さ %3 %")
                 .arg(number(run.speed(), 1), unitOf(run.level), number(run.accuracy() * 100, 1));
    if (run.newRecord)
        lines << tr("新記録");
    if (series_.best[run.randomOrder] == position)
        lines << tr("★ %1の最高").arg(mode);
    return lines.join(QLatin1Char('\n'));
}

const ChartMarker *ProgressChart::markerAt(const QPoint &viewportPosition) const
{
    const QPointF pointer = chart_->mapFromScene(mapToScene(viewportPosition));
    const ChartMarker *nearest = nullptr;
    double distance = 10; // pixels
    for (const ChartMarker &marker : plan_.markers) {
        const double d =
            QLineF(chart_->mapToPosition(QPointF(marker.at.x, marker.at.y), runSeries_[0]), pointer)
                .length();
        if (d <= distance) {
            distance = d;
            nearest = &marker;
        }
    }
    return nearest;
}

QPoint ProgressChart::viewportPosition(const ChartPoint &value) const
{
    return mapFromScene(
        chart_->mapToScene(chart_->mapToPosition(QPointF(value.x, value.y), runSeries_[0])));
}

bool ProgressChart::viewportEvent(QEvent *event)
{
    // The view's own tooltip handling hides any tooltip that no chart item has: the run
    // under the pointer is named here, and stays while the pointer is on it.
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        if (const ChartMarker *marker = markerAt(help->pos())) {
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
    if (!shown_ || runs_->empty() || event->angleDelta().y() == 0) {
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

} // namespace rinkaro
