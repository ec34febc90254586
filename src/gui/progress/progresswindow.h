// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/progressstats.h"

#include <QList>
#include <QMargins>
#include <QPointF>
#include <QWidget>

#include <functional>
#include <memory>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QThread;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace rinkaro
{

class KeyHeatMap;
class ProgressChart;
class RunTable;

// The statistics window: one level's runs in order (score, speed or accuracy), a table of
// runs, the totals, and which keys and kana were missed or slow, over all levels or that
// level. It reads the history on a thread of its own, and then only what was added to it,
// keeping only the figures it shows.
class ProgressWindow : public QWidget
{
    Q_OBJECT
public:
    ProgressWindow(const QString &logPath, QWidget *parent = nullptr);
    ~ProgressWindow() override;

    // Reads the whole history again and chooses `level` (1..11). A read under way is given up.
    void reload(int level);
    // Asked with the weak drill's level and the marked keys or kana when the learner wants to
    // practise them.
    void setPractiseHandler(std::function<void(int, const QStringList &)> handler)
    {
        practise_ = std::move(handler);
    }
    // Reads what was added to the history since the last read, keeping what the learner has
    // chosen; the level is chosen too unless it is 0.
    void followHistory(int level = 0);

signals:
    // The history asked for last has been read and is shown.
    void historyShown();
    // The learner left a run out of the figures or took one back: whatever was worked out
    // from the history is to be worked out again.
    void leftOutChanged();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct HistoryRead;
    void startReading(std::shared_ptr<HistoryRead> read);
    void showReading();
    void showHistory(HistoryRead &read);
    void stopReading();
    // Given the window's frame, or none when it is not known yet.
    void placeBesideMainWindow(QMargins frame);
    // Offers each text practised after the level of texts, the chosen one kept by its copy's
    // name; true when the chosen text is no longer in the history ("テキスト" chosen instead).
    bool listTexts();
    static constexpr int copyNameRole = Qt::UserRole + 1;
    // A level, or a text's scope (see ProgressStats::levelRuns).
    int chosenLevel() const;
    void showLevel();
    void showTable();
    // The chart and the table of runs beside each other, stacked or the table folded away, as
    // the window's size allows.
    void layOutRuns();
    void showMisses();
    void showTotals();
    void showMarks();
    void practiseMarked();
    void toggleKanaMark(QTreeWidgetItem *row);
    // Leaves a run out of every figure, or takes it back, and reads the history again.
    void setLeftOut(qint64 endedMs, int level, bool leftOut);

    QString logPath_;
    LeftOutRuns leftOut_;
    ProgressStats stats_;
    qint64 readEnd_ = 0;        // where the history read so far ends
    QString problem_;           // what kept the history from being read, if anything
    bool olderLeftOut_ = false; // the history is past its bound: its oldest runs are not read
    QThread *reader_ = nullptr;
    std::shared_ptr<HistoryRead> read_; // the read under way, shared with its thread
    bool followAgain_ = false;          // runs were added while a read was under way
    bool placed_ = false; // placed once; later openings leave it where the user put it
    bool framePlaced_ = false;
    bool tableShown_ = true; // under the chart in a narrow window, or folded away
    QMargins assumedFrame_;

    QComboBox *levelChooser_ = nullptr; // levelChooser
    QLabel *runCountLabel_ = nullptr;   // runCount: the totals
    QSplitter *mainSplitter_ = nullptr; // the runs above, the keys below
    QSplitter *runSplitter_ = nullptr;  // the chart beside (or above) the table
    QButtonGroup *measureButtons_ = nullptr;
    QButtonGroup *axisButtons_ = nullptr;
    QToolButton *zoomResetButton_ = nullptr; // zoomReset
    QStackedWidget *chartArea_ = nullptr;    // the chart, or the label saying there is none
    ProgressChart *chart_ = nullptr;         // progressChart
    QLabel *emptyLabel_ = nullptr;           // emptyLabel
    QComboBox *tableScope_ = nullptr;        // tableScope: the chosen level, or all
    RunTable *runTable_ = nullptr;           // runTable
    QComboBox *missScope_ = nullptr;         // missScope: all levels, or the chosen one
    QButtonGroup *heatButtons_ = nullptr;    // heatMisses, heatSpeed
    QGroupBox *keyBox_ = nullptr;
    KeyHeatMap *heatMap_ = nullptr; // keyHeatMap
    QGroupBox *kanaBox_ = nullptr;
    QStackedWidget *kanaArea_ = nullptr;
    QTreeWidget *kanaList_ = nullptr;       // kanaList
    QLabel *kanaEmptyLabel_ = nullptr;      // kanaEmptyLabel
    QPushButton *practiseButton_ = nullptr; // practiseSelectionButton
    QStringList markedKana_;                // the kana the learner marked in the list
    std::function<void(int, const QStringList &)> practise_;
};

} // namespace rinkaro
