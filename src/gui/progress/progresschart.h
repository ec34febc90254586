// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/backgroundjobs.h"
#include "core/chartplan.h"
#include "core/progressstats.h"

#include <QChartView>
#include <QList>
#include <QPointF>

#include <array>
#include <memory>
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
    // it has none. A long level is worked out on a thread of its own: drawn() tells when it is
    // drawn, and what was drawn before stays until then.
    bool showLevel(const ProgressStats &stats, int level);
    // The same level again after runs were added: a zoomed chart stays where it was.
    void showNewRuns(const ProgressStats &stats);
    void setMeasure(ChartMeasure measure);
    // Along the dates of the runs, or their numbers.
    void setDateAxis(bool dates);
    void resetZoom();
    bool zoomed() const { return zoomed_; }
    // What was asked for last is being worked out.
    bool drawing() const { return drawing_; }
    // The names of what is drawn, for the window to put under the chart.
    QLabel *legend() const { return legend_; }

signals:
    void zoomChanged(bool zoomed);
    // What was worked out on a thread of its own is drawn.
    void drawn();

protected:
    bool viewportEvent(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Works the level out again for the view from `low` to `high` (NaN: all of it), at once
    // for a short level, else on a thread of its own.
    void draw(double low, double high);
    void take(ChartDrawing drawing, std::shared_ptr<const std::vector<RunFigures>> runs);
    void setView(double low, double high);
    void redraw();
    // Hands the plan to the series, the axes, the legend and the words.
    void showPlan();
    void setAxes();
    void fillSeries();
    void nameSeries();
    // The names of what is drawn, in rows as wide as the chart.
    void writeLegend();
    void describe();
    void attachXAxis();
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

    bool shown_ = false; // a level was shown
    int level_ = 0;
    ChartMeasure measure_ = ChartMeasure::Score;
    bool dates_ = false;
    // The level's runs not left out, copied: a thread works them out while the history may be
    // read again.
    std::shared_ptr<const std::vector<RunFigures>> runs_ =
        std::make_shared<std::vector<RunFigures>>();
    // Those the series and the plan were worked out from, which the tooltips name.
    std::shared_ptr<const std::vector<RunFigures>> drawnRuns_ = runs_;
    ChartSeries series_;                     // their measure
    ChartPlan plan_;                         // what is drawn
    std::array<RunsSummary, 3> summaries_{}; // of the runs in view, by measure
    double fullLow_ = 0, fullHigh_ = 1;      // the whole history along the x axis
    double viewLow_ = 0, viewHigh_ = 1;      // what is shown
    bool zoomed_ = false;
    bool updating_ = false;    // the axes are being set here, not by the mouse
    bool drawing_ = false;     // a thread works the level out
    double plannedHeight_ = 0; // the plot's height the plan was made for
    BackgroundJobs jobs_;      // last: its jobs end before what they work for goes
};

} // namespace rinkaro
