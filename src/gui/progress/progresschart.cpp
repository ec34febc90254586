#include "gui/progress/progresschart.h"

#include "core/scorebook.h"

#include <QChart>
#include <QCursor>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

const QString modeNames[2] = {QStringLiteral("順番"), QStringLiteral("ランダム")};
const QString standardName = QStringLiteral("標準スコア");
const QString bestName = QStringLiteral("最高");

// Markers on every run only while they can be told apart; beyond that the line says it.
constexpr std::size_t markedRunLimit = 60;
// A long history is drawn from the lowest and the highest score of each of this many spans
// of time: about two per pixel of the plot, which draws the same band as every run would,
// in a fraction of the time (thousands of runs a level cost tens of milliseconds a paint).
constexpr qint64 timeBuckets = 600;

QList<QPointF> pointsOf(const std::vector<ProgressPoint> &runs, qint64 first, qint64 last)
{
    QList<QPointF> points;
    const auto pointOf = [](const ProgressPoint &run) {
        return QPointF(double(run.ended.toMSecsSinceEpoch()), run.score);
    };
    if (runs.size() <= std::size_t(2 * timeBuckets)) {
        points.reserve(qsizetype(runs.size()));
        for (const ProgressPoint &run : runs)
            points.append(pointOf(run));
        return points;
    }
    const qint64 span = last - first + 1;
    const auto bucketOf = [&](const ProgressPoint &run) {
        return (run.ended.toMSecsSinceEpoch() - first) * timeBuckets / span;
    };
    points.reserve(2 * timeBuckets);
    for (std::size_t start = 0; start < runs.size();) {
        const qint64 bucket = bucketOf(runs[start]);
        std::size_t low = start, high = start, end = start + 1;
        for (; end < runs.size() && bucketOf(runs[end]) == bucket; ++end) {
            if (runs[end].score < runs[low].score)
                low = end;
            if (runs[end].score > runs[high].score)
                high = end;
        }
        points.append(pointOf(runs[std::min(low, high)]));
        if (low != high)
            points.append(pointOf(runs[std::max(low, high)]));
        start = end;
    }
    return points;
}

} // namespace

ProgressChart::ProgressChart(const QFont &font, QWidget *parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("progressChart"));
    setRenderHint(QPainter::Antialiasing);

    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->legend()->setFont(font);
    chart_->setMargins(QMargins(4, 4, 4, 4));

    dateAxis = new QDateTimeAxis;
    dateAxis->setTitleText(QStringLiteral("日付"));
    scoreAxis = new QValueAxis;
    scoreAxis->setTitleText(QStringLiteral("スコア（秒・少ないほど良い）"));
    scoreAxis->setLabelFormat(QStringLiteral("%.0f"));
    for (QAbstractAxis *axis :
         {static_cast<QAbstractAxis *>(dateAxis), static_cast<QAbstractAxis *>(scoreAxis)}) {
        axis->setLabelsFont(font);
        axis->setTitleFont(font);
        // Qt would cut "150" to "1..." when the axis title leaves it little room.
        axis->setTruncateLabels(false);
    }
    chart_->addAxis(dateAxis, Qt::AlignBottom);
    chart_->addAxis(scoreAxis, Qt::AlignLeft);

    const QColor modeColours[2] = {QColor(0x1f, 0x77, 0xb4), QColor(0xe6, 0x6a, 0x00)};
    for (int mode = 0; mode < 2; ++mode) {
        auto *series = new QLineSeries;
        series->setName(modeNames[mode]);
        series->setPen(QPen(modeColours[mode], 1.5));
        runSeries[std::size_t(mode)] = series;
        connect(series, &QXYSeries::hovered, this, [this, mode](const QPointF &where, bool inside) {
            if (inside)
                showToolTip(mode, where);
            else
                QToolTip::hideText();
        });
    }
    standardSeries = new QLineSeries;
    standardSeries->setName(standardName);
    standardSeries->setPen(QPen(QColor(0x40, 0x90, 0x40), 1.5, Qt::DashLine));
    bestSeries = new QScatterSeries;
    bestSeries->setName(bestName);
    bestSeries->setMarkerShape(QScatterSeries::MarkerShapeStar);
    bestSeries->setMarkerSize(18);
    bestSeries->setColor(QColor(0xff, 0xc8, 0x00));
    bestSeries->setBorderColor(QColor(0x80, 0x50, 0x00));
    connect(bestSeries, &QXYSeries::hovered, this, [this](const QPointF &where, bool inside) {
        if (inside)
            showToolTip(-1, where);
        else
            QToolTip::hideText();
    });

    // Added in drawing order: the standard line and the stars stay visible over the runs.
    for (QAbstractSeries *series : {static_cast<QAbstractSeries *>(runSeries[0]),
                                    static_cast<QAbstractSeries *>(runSeries[1]),
                                    static_cast<QAbstractSeries *>(standardSeries),
                                    static_cast<QAbstractSeries *>(bestSeries)}) {
        chart_->addSeries(series);
        series->attachAxis(dateAxis);
        series->attachAxis(scoreAxis);
    }
    setChart(chart_);
}

bool ProgressChart::showLevel(const ProgressStats &stats, int level)
{
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    double highest = ScoreBook::standardScore(level);
    bestSeries->clear();
    for (int mode = 0; mode < 2; ++mode) {
        const std::vector<ProgressPoint> &shown = stats.progress(level, mode == 1);
        runs[std::size_t(mode)] = &shown;
        for (const ProgressPoint &run : shown) {
            const qint64 when = run.ended.toMSecsSinceEpoch();
            first = std::min(first, when);
            last = std::max(last, when);
            highest = std::max(highest, run.score);
        }
    }
    for (int mode = 0; mode < 2; ++mode) {
        const std::vector<ProgressPoint> &shown = *runs[std::size_t(mode)];
        QLineSeries *series = runSeries[std::size_t(mode)];
        series->replace(pointsOf(shown, first, last));
        series->setPointsVisible(!shown.empty() && shown.size() <= markedRunLimit);
        const double best = stats.best(level, mode == 1);
        const auto bestRun =
            std::find_if(shown.begin(), shown.end(),
                         [best](const ProgressPoint &run) { return run.score == best; });
        if (bestRun != shown.end())
            bestSeries->append(double(bestRun->ended.toMSecsSinceEpoch()), bestRun->score);
    }
    if (first > last) {
        standardSeries->clear();
        return false;
    }

    // A single day's runs (or a single run) still get a readable span of time.
    constexpr qint64 hour = 3600 * 1000;
    const qint64 span = last - first;
    const qint64 margin = std::max<qint64>(span / 40, hour);
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(first - margin);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(last + margin);
    dateAxis->setFormat(span < 2 * 24 * hour ? QStringLiteral("MM/dd HH:mm")
                                             : QStringLiteral("yyyy/MM/dd"));
    dateAxis->setTickCount(6);
    dateAxis->setRange(from, to);
    const int standard = ScoreBook::standardScore(level);
    standardSeries->replace(QList<QPointF>{{double(from.toMSecsSinceEpoch()), double(standard)},
                                           {double(to.toMSecsSinceEpoch()), double(standard)}});
    // Whole tens on the score axis, from zero so that a lower line reads as a better one.
    scoreAxis->setRange(0, std::ceil(highest * 1.1 / 10) * 10);
    scoreAxis->applyNiceNumbers();
    return true;
}

QList<QPointF> ProgressChart::seriesPoints(const QString &name) const
{
    for (QAbstractSeries *series : chart_->series())
        if (series->name() == name)
            return static_cast<QXYSeries *>(series)->points();
    return {};
}

QString ProgressChart::runText(int mode, std::size_t index) const
{
    const ProgressPoint &run = (*runs[std::size_t(mode)])[index];
    QString text =
        QStringLiteral("%1（%2）\nスコア %3 秒\n%4")
            .arg(run.ended.toString(QStringLiteral("yyyy/MM/dd HH:mm")), modeNames[mode],
                 QString::number(run.score, 'f', 1),
                 run.newRecord ? QStringLiteral("新記録") : QStringLiteral("記録更新なし"));
    const QPointF point(double(run.ended.toMSecsSinceEpoch()), run.score);
    if (bestSeries->points().contains(point))
        text += QStringLiteral("\n★ 最高スコア");
    return text;
}

void ProgressChart::showToolTip(int mode, const QPointF &where)
{
    // The pointer is somewhere on a line or a star: name the run nearest to it on the screen.
    const QPointF pointer = chart_->mapToPosition(where);
    int foundMode = -1;
    std::size_t foundIndex = 0;
    double nearest = std::numeric_limits<double>::max();
    for (int m = 0; m < 2; ++m) {
        if (mode >= 0 && m != mode)
            continue;
        const std::vector<ProgressPoint> &shown = *runs[std::size_t(m)];
        for (std::size_t k = 0; k < shown.size(); ++k) {
            const QPointF at = chart_->mapToPosition(
                QPointF(double(shown[k].ended.toMSecsSinceEpoch()), shown[k].score));
            const double distance = QLineF(at, pointer).length();
            if (distance < nearest) {
                nearest = distance;
                foundMode = m;
                foundIndex = k;
            }
        }
    }
    if (foundMode >= 0)
        QToolTip::showText(QCursor::pos(), runText(foundMode, foundIndex), this);
}
