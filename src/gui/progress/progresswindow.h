// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/practicehistory.h"

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
class QTimer;
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
// level. It shows the program's one history, which is read on a thread of its own and then
// followed: the window is told when a read is done.
class ProgressWindow : public QWidget
{
    Q_OBJECT
public:
    ProgressWindow(PracticeHistory &history, QWidget *parent = nullptr);
    ~ProgressWindow() override;

    // Shows the history from its start with `level` (1..14) chosen, at once when it is held,
    // and what was added to it since. With the texts' level, `text` (a copy name) chooses
    // that text when the history has its runs.
    void reload(int level, const QString &text = {});
    // Asked with the weak drill's level and the marked keys or kana when the learner wants to
    // practise them.
    void setPractiseHandler(std::function<void(int, const QStringList &)> handler)
    {
        practise_ = std::move(handler);
    }
    // Reads what was added to the history since the last read, keeping what the learner has
    // chosen; the level (and with the texts' level, the text) is chosen too unless it is 0.
    void followHistory(int level = 0, const QString &text = {});

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
    void showReading();
    void showHistory(PracticeHistory::Change change);
    const ProgressStats &stats() const { return history_.stats(); }
    // Given the window's frame, or none when it is not known yet.
    void placeBesideMainWindow(QMargins frame);
    // Offers each text practised after the level of texts, the chosen one kept by its copy's
    // name; true when the chosen text is no longer in the history ("テキスト" chosen instead).
    bool listTexts();
    static constexpr int copyNameRole = Qt::UserRole + 1;
    // A level, or a text's scope (see ProgressStats::levelRuns).
    int chosenLevel() const;
    void showLevel();
    // The table, the keys and the kana: a long history's in a turn of the event loop after the
    // chart's.
    void showTableAndMisses();
    void tellShown();
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

    PracticeHistory &history_;
    QString problem_;        // what kept the history from being read, if anything
    int pendingLevel_ = 0;   // to choose when the history is next shown; 0: keep the chosen one
    QString pendingText_;    // with the texts' level: the text to choose, by its copy name
    bool shownOnce_ = false; // what is held was shown: a read that follows keeps the view
    qsizetype shownRuns_ = 0;
    bool shownPending_ = false; // historyShown waits for the chart and the table
    bool placed_ = false;       // placed once; later openings leave it where the user put it
    bool framePlaced_ = false;
    bool tableShown_ = true;     // under the chart in a narrow window, or folded away
    int draggedTableWidth_ = -1; // beside the chart, as the learner dragged it; -1: not dragged
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
    QTimer *restTimer_ = nullptr;           // shows the table and the keys of a long history
    QStringList markedKana_;                // the kana the learner marked in the list
    std::function<void(int, const QStringList &)> practise_;
};

} // namespace rinkaro
