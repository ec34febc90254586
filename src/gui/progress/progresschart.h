// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/chartscale.h"
#include "core/progressstats.h"

#include <QChartView>
#include <QList>
#include <QPointF>

#include <array>
#include <vector>

class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

// What the chart draws of each run.
enum class ChartMeasure { Score, Speed, Accuracy };

// One level's runs in order: ordered and random runs as two kinds of point, each with the
// average of its last ten runs drawn over them, the level's standard score, the best run of
// each order marked beside its point, and points beyond the scale drawn at its edge. Along
// the run number (or the date), zoomed with the mouse: a rubber band or the wheel, and the
// right button or resetZoom() to go back.
class ProgressChart : public QChartView
{
    Q_OBJECT
public:
    explicit ProgressChart(const QFont &font, QWidget *parent = nullptr);
    ~ProgressChart() override;

    // Shows the runs of `level` (1..9), all of them; false, showing nothing, when it has
    // none. `stats` must outlive what is shown (the tooltips read it).
    bool showLevel(const ProgressStats &stats, int level);
    // The same level again after runs were added: a zoomed chart stays where it was.
    void showNewRuns(const ProgressStats &stats);
    void setMeasure(ChartMeasure measure);
    // Along the dates of the runs, or their numbers.
    void setDateAxis(bool dates);
    void resetZoom();
    bool zoomed() const { return zoomed_; }

    // The points of a series by its name ("順番", "ランダム", "順番の平均", "ランダムの平均",
    // "標準スコア" followed by its value, "最高", "範囲外"): x the run number (or milliseconds
    // since the epoch), y the measure.
    QList<QPointF> seriesPoints(const QString &name) const;
    // The value axis's range and tick distance.
    AxisScale valueScale() const { return yScale_; }
    // Where a value is drawn in the view.
    QPoint viewportPosition(const QPointF &value) const;

signals:
    void zoomChanged(bool zoomed);

protected:
    bool viewportEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    struct Marker {
        QPointF at; // where it is drawn
        int run;    // position among the level's runs
        bool outside;
    };
    void computeValues();
    void computeFullRange();
    void setView(double low, double high);
    void redraw();
    void describe(const std::vector<int> &shown);
    void attachXAxis();
    double xOf(int position) const;
    QString runText(int position, bool outside) const;
    const Marker *markerAt(const QPoint &viewportPosition) const;
    void onAxisRangeChanged(double low, double high);

    QChart *chart_ = nullptr;
    // Points are lines with no pen whose points are drawn as pictures: a scatter series makes
    // an item of every point, which takes tens of milliseconds for a long history.
    std::array<QLineSeries *, 2> runSeries_{};     // ordered, random
    std::array<QLineSeries *, 2> averageSeries_{}; // their moving averages
    QLineSeries *standardSeries_ = nullptr;
    QLineSeries *bestSeries_ = nullptr;
    QLineSeries *outsideSeries_ = nullptr;
    QValueAxis *runAxis_ = nullptr;
    QDateTimeAxis *dateAxis_ = nullptr;
    QValueAxis *valueAxis_ = nullptr;

    const ProgressStats *stats_ = nullptr;
    int level_ = 0;
    ChartMeasure measure_ = ChartMeasure::Score;
    bool dates_ = false;
    std::vector<int> runs_;        // the level's runs: indices into the history
    std::vector<double> values_;   // the measure of each
    std::vector<double> averages_; // the moving average of each within its order mode
    std::array<int, 2> best_{-1, -1};
    double fullLow_ = 0, fullHigh_ = 1; // the whole history along the x axis
    double viewLow_ = 0, viewHigh_ = 1; // what is shown
    bool zoomed_ = false;
    bool updating_ = false; // the axes are being set here, not by the mouse
    AxisScale yScale_;
    std::vector<Marker> markers_;
};
