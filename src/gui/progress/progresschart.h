#pragma once

#include "core/progressstats.h"

#include <QChartView>
#include <QList>
#include <QPointF>

#include <array>
#include <vector>

class QDateTimeAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;

// The scores of one level's runs over time: ordered and random runs as two lines, the
// level's standard score as a dashed line, the best run of each order marked, and a
// tooltip for the run under the pointer.
class ProgressChart : public QChartView
{
    Q_OBJECT
public:
    explicit ProgressChart(const QFont &font, QWidget *parent = nullptr);

    // Shows the runs of `level` (1..9); false, showing nothing, when it has none. `stats`
    // must outlive what is shown (the tooltips read it).
    bool showLevel(const ProgressStats &stats, int level);

    // The points of a series by its name ("順番", "ランダム", "標準スコア", "最高"): x in
    // milliseconds since the epoch, y the score.
    QList<QPointF> seriesPoints(const QString &name) const;

private:
    QString runText(int mode, std::size_t index) const;
    // The run nearest the pointer on a line of one order mode, or on a star (-1).
    void showToolTip(int mode, const QPointF &where);

    QChart *chart_ = nullptr;
    std::array<QLineSeries *, 2> runSeries{}; // ordered, random
    QLineSeries *standardSeries = nullptr;
    QScatterSeries *bestSeries = nullptr;
    QDateTimeAxis *dateAxis = nullptr;
    QValueAxis *scoreAxis = nullptr;

    std::array<const std::vector<ProgressPoint> *, 2> runs{};
};
