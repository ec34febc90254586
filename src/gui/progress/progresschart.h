// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/chartplan.h"
#include "core/progressstats.h"

#include <QChartView>
#include <QList>
#include <QPointF>

#include <array>
#include <vector>

class QCategoryAxis;
class QLabel;
class QLineSeries;
class QValueAxis;

namespace rinkaro
{

// One level's runs in order, as planChart lays them out: ordered and random runs as two kinds
// of point, each with its average drawn over them, the level's standard score, the best run
// of each order marked beside its point, and points beyond the scale drawn at its edge. Runs
// the learner left out are not drawn. Along the run number (or the date), zoomed with the
// mouse: a rubber band or the wheel, and the right button or resetZoom() to go back.
class ProgressChart : public QChartView
{
    Q_OBJECT
public:
    explicit ProgressChart(const QFont &font, QWidget *parent = nullptr);
    ~ProgressChart() override;

    // Shows the runs of `level` (or of a text's scope), all of them; false, showing nothing, when
    // it has none. `stats` must outlive what is shown (the tooltips read it).
    bool showLevel(const ProgressStats &stats, int level);
    // The same level again after runs were added: a zoomed chart stays where it was.
    void showNewRuns(const ProgressStats &stats);
    void setMeasure(ChartMeasure measure);
    // Along the dates of the runs, or their numbers.
    void setDateAxis(bool dates);
    void resetZoom();
    bool zoomed() const { return zoomed_; }
    // The names of what is drawn, for the window to put under the chart.
    QLabel *legend() const { return legend_; }

signals:
    void zoomChanged(bool zoomed);

protected:
    bool viewportEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void computeValues();
    void computeFullRange();
    void setView(double low, double high);
    void redraw();
    void setAxes();
    void fillSeries();
    void nameSeries();
    // The names of what is drawn, in rows as wide as the chart.
    void writeLegend();
    void describe();
    void attachXAxis();
    double xOf(int position) const;
    QString runText(int position, bool outside) const;
    const ChartMarker *markerAt(const QPoint &viewportPosition) const;
    // Where a value is drawn in the view.
    QPoint viewportPosition(const ChartPoint &value) const;
    void onAxisRangeChanged(double low, double high);

    QChart *chart_ = nullptr;
    QLabel *legend_ = nullptr; // laid out by the window, under the chart
    // Points are lines with no pen whose points are drawn as pictures: a scatter series makes
    // an item of every point, which takes tens of milliseconds for a long history.
    std::array<QLineSeries *, 2> runSeries_{};     // ordered, random
    std::array<QLineSeries *, 2> averageSeries_{}; // their moving averages
    QLineSeries *standardSeries_ = nullptr;
    QLineSeries *bestSeries_ = nullptr;
    QLineSeries *outsideSeries_ = nullptr;
    QValueAxis *runAxis_ = nullptr;
    QCategoryAxis *dateAxis_ = nullptr; // labels on round times
    QValueAxis *valueAxis_ = nullptr;

    const ProgressStats *stats_ = nullptr;
    int level_ = 0;
    ChartMeasure measure_ = ChartMeasure::Score;
    bool dates_ = false;
    std::vector<int> runs_;             // the level's runs not left out: indices into the history
    ChartSeries series_;                // their measure
    ChartPlan plan_;                    // what is drawn
    double fullLow_ = 0, fullHigh_ = 1; // the whole history along the x axis
    double viewLow_ = 0, viewHigh_ = 1; // what is shown
    bool zoomed_ = false;
    bool updating_ = false; // the axes are being set here, not by the mouse
};

} // namespace rinkaro
