#pragma once

#include "core/progressstats.h"

#include <QList>
#include <QPointF>
#include <QWidget>

#include <memory>

class KeyHeatMap;
class ProgressChart;
class QComboBox;
class QLabel;
class QStackedWidget;
class QThread;
class QTreeWidget;

// The statistics window: the scores of one level over time, and which keys and kana were
// missed, over all levels or that level. It reads the whole history when asked to, one
// entry at a time, and keeps only the figures it shows.
class ProgressWindow : public QWidget
{
    Q_OBJECT
public:
    ProgressWindow(const QString &logPath, QWidget *parent = nullptr);
    ~ProgressWindow() override;

    // Reads the history again, on a thread of its own so that neither window waits for a
    // long history, and chooses `level` (1..9). A read still under way is given up.
    void reload(int level);

    // The points of a chart series by its name; the module's users cannot link Qt Charts.
    Q_INVOKABLE QList<QPointF> seriesPoints(const QString &name) const;

signals:
    // The history asked for last has been read and is shown.
    void historyShown();

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct HistoryRead;
    void showReading();
    void showHistory(HistoryRead &read);
    void stopReading();
    int chosenLevel() const;
    void showLevel();
    void showMisses();

    QString logPath_;
    ProgressStats stats_;
    QThread *reader_ = nullptr;
    std::shared_ptr<HistoryRead> read_; // the read under way, shared with its thread
    bool placed_ = false; // centred once; later openings leave it where the user put it

    QComboBox *levelChooser = nullptr;   // levelChooser
    QLabel *runCountLabel = nullptr;     // runCount
    QStackedWidget *chartArea = nullptr; // the chart, or the label saying there is none
    ProgressChart *chart = nullptr;      // progressChart
    QLabel *emptyLabel = nullptr;        // emptyLabel
    QComboBox *missScope = nullptr;      // missScope: all levels, or the chosen one
    KeyHeatMap *heatMap = nullptr;       // keyHeatMap
    QStackedWidget *kanaArea = nullptr;
    QTreeWidget *kanaList = nullptr;  // kanaList
    QLabel *kanaEmptyLabel = nullptr; // kanaEmptyLabel
};
