// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/progress/progresswindow.h"

#include "core/levels.h"
#include "core/runlog.h"
#include "core/windowplacement.h"
#include "gui/fonts.h"
#include "gui/progress/keyheatmap.h"
#include "gui/progress/progresschart.h"
#include "gui/progress/runtable.h"
#include "gui/translations.h"
#include "gui/widgets.h"

#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>
#include <tuple>

namespace rinkaro
{

namespace
{

// Every kana the learner met, so that any can be marked; a long list scrolls.
constexpr int kanaShown = 500;
// Up to this many runs the table and the keys are shown with the chart, in about ten milliseconds;
// a longer history's come in a turn of the event loop of their own.
constexpr qsizetype shownAtOnce = 20000;

// As the level menu names it: "レベル5 ローマ字１", or a drill's own name.
QString levelChoiceName(int level)
{
    const QString caption = rinkaro::levelName(level);
    const QString name = caption.isEmpty() ? QString::number(level) : caption;
    return isLevel(level) ? ProgressWindow::tr("レベル%1 %2").arg(level).arg(name) : name;
}

QLabel *makeNote(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

// A row of buttons of which one is pressed, each in the Tab chain and named by its caption
// and what it chooses.
QButtonGroup *makeChoice(const QString &what, QWidget *parent, QHBoxLayout *row,
                         std::initializer_list<std::pair<const char *, QString>> buttons)
{
    auto *group = new QButtonGroup(parent);
    int id = 0;
    for (const auto &[name, text] : buttons) {
        auto *button = new QToolButton(parent);
        button->setObjectName(QString::fromLatin1(name));
        button->setText(text);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAccessibleName(QStringLiteral("%1: %2").arg(what, text));
        button->setAutoRaise(false);
        group->addButton(button, id++);
        row->addWidget(button);
    }
    group->button(0)->setChecked(true);
    return group;
}

// A window of its own to screen readers, which take a bare widget for a filler.
QAccessibleInterface *progressWindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(ProgressWindow::staticMetaObject.className()) &&
        object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

// A choice named by its caption: the caption labels it for screen readers, which on Linux
// say a combo box's value as its name and its label beside it.
void nameChoice(QComboBox *choice, QLabel *caption, const QString &name)
{
    choice->setAccessibleName(name);
    if (caption)
        caption->setBuddy(choice);
}

QString durationText(double seconds)
{
    const qint64 minutes = qint64(seconds / 60);
    if (minutes < 60)
        return ProgressWindow::tr("%1分").arg(minutes);
    return ProgressWindow::tr("%1時間%2分").arg(minutes / 60).arg(minutes % 60);
}

} // namespace

ProgressWindow::ProgressWindow(PracticeHistory &history, QWidget *parent)
    : QWidget(parent, Qt::Window), history_(history)
{
    // Before the window is named: an interface, once asked for, is kept. A second install
    // is ignored.
    QAccessible::installFactory(progressWindowAccessible);
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(tr("成績グラフ"));
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    const QFont font = pixelFont(pGothicFamily, 12);
    setFont(font);

    levelChooser_ = new QComboBox(this);
    levelChooser_->setObjectName(QStringLiteral("levelChooser"));
    levelChooser_->setFocusPolicy(Qt::TabFocus); // a click leaves the focus where it was
    for (int level = 1; level <= lastDrillLevel; ++level)
        levelChooser_->addItem(levelChoiceName(level), level);
    levelChooser_->insertSeparator(levelCount);
    // After the nine levels' separator and the two weak drills.
    levelChooser_->insertSeparator(levelCount + 3);
    runCountLabel_ = new QLabel(this);
    runCountLabel_->setObjectName(QStringLiteral("runCount"));
    runCountLabel_->setWordWrap(true);
    runCountLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *top = new QHBoxLayout;
    auto *levelCaption = new QLabel(tr("レベル"), this);
    nameChoice(levelChooser_, levelCaption, levelCaption->text());
    top->addWidget(levelCaption);
    top->addWidget(levelChooser_);
    top->addWidget(runCountLabel_, 1);

    // The chart with its choices.
    auto *chartPanel = new QWidget(this);
    auto *chartChoices = new QHBoxLayout;
    measureButtons_ = makeChoice(tr("グラフの値"), this, chartChoices,
                                 {{"measureScore", tr("スコア")},
                                  {"measureSpeed", tr("速さ")},
                                  {"measureAccuracy", tr("正確さ")}});
    chartChoices->addSpacing(12);
    axisButtons_ = makeChoice(tr("グラフの横軸"), this, chartChoices,
                              {{"axisRuns", tr("回数順")}, {"axisDates", tr("日付順")}});
    chartChoices->addSpacing(12);
    zoomResetButton_ = new QToolButton(this);
    zoomResetButton_->setObjectName(QStringLiteral("zoomReset"));
    zoomResetButton_->setText(tr("全体を表示"));
    zoomResetButton_->setToolTip(tr("グラフはドラッグで範囲を選ぶか、ホイールで拡大できます"));
    zoomResetButton_->setFocusPolicy(Qt::StrongFocus);
    zoomResetButton_->setAccessibleName(tr("グラフの全体を表示"));
    zoomResetButton_->setEnabled(false);
    chartChoices->addWidget(zoomResetButton_);
    chartChoices->addStretch(1);
    chart_ = new ProgressChart(font, this);
    emptyLabel_ = makeNote(QStringLiteral("emptyLabel"), this);
    emptyLabel_->setFont(pixelFont(pGothicFamily, 16));
    chartArea_ = new QStackedWidget(this);
    auto *chartPage = new QWidget(this);
    auto *chartPageLayout = new QVBoxLayout(chartPage);
    chartPageLayout->setContentsMargins(0, 0, 0, 0);
    chartPageLayout->setSpacing(2);
    chartPageLayout->addWidget(chart_, 1);
    chartPageLayout->addWidget(chart_->legend());
    chartArea_->addWidget(chartPage);
    chartArea_->addWidget(emptyLabel_);
    chartArea_->setMinimumHeight(150);
    auto *chartLayout = new QVBoxLayout(chartPanel);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addLayout(chartChoices);
    chartLayout->addWidget(chartArea_, 1);

    // The table of runs with its scope.
    auto *tablePanel = new QWidget(this);
    tableScope_ = new QComboBox(this);
    tableScope_->setObjectName(QStringLiteral("tableScope"));
    tableScope_->setFocusPolicy(Qt::TabFocus);
    tableScope_->addItems({tr("このレベルの記録"), tr("すべてのレベルの記録")});
    // No caption: its two values say what they choose.
    nameChoice(tableScope_, nullptr, tr("表に出す記録"));
    runTable_ = new RunTable(this);
    runTable_->setAccessibleName(tr("記録の表"));
    runTable_->setAccessibleDescription(
        tr("矢印キーで記録を選び、スペースで集計に入れるかどうかを切り替えます"));
    runTable_->setMinimumSize(160, 60);
    auto *tableChoices = new QHBoxLayout;
    tableChoices->addWidget(tableScope_);
    tableChoices->addStretch(1);
    auto *tableLayout = new QVBoxLayout(tablePanel);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addLayout(tableChoices);
    tableLayout->addWidget(runTable_, 1);

    runSplitter_ = new QSplitter(Qt::Horizontal, this);
    runSplitter_->setObjectName(QStringLiteral("runSplitter"));
    runSplitter_->addWidget(chartPanel);
    runSplitter_->addWidget(tablePanel);
    // The table gives way to the chart in a short window; the learner can drag it back.
    runSplitter_->setCollapsible(0, false);
    runSplitter_->setCollapsible(1, true);
    runSplitter_->setStretchFactor(0, 5);
    runSplitter_->setStretchFactor(1, 4);
    // Only a drag moves it this way: the width the learner chose beside the chart stays
    // through later resizes.
    connect(runSplitter_, &QSplitter::splitterMoved, this, [this] {
        if (runSplitter_->orientation() == Qt::Horizontal)
            draggedTableWidth_ = runSplitter_->sizes().value(1);
    });

    // The keys and kana.
    auto *missPanel = new QWidget(this);
    missScope_ = new QComboBox(this);
    missScope_->setObjectName(QStringLiteral("missScope"));
    missScope_->setFocusPolicy(Qt::TabFocus);
    missScope_->setSizeAdjustPolicy(
        QComboBox::AdjustToContents); // its second item follows the level
    missScope_->addItem(tr("すべてのレベル"));
    missScope_->addItem(QString());
    auto *missChoices = new QHBoxLayout;
    auto *missCaption = new QLabel(tr("キーとかなの集計"), this);
    nameChoice(missScope_, missCaption, missCaption->text());
    missChoices->addWidget(missCaption);
    missChoices->addWidget(missScope_);
    missChoices->addSpacing(12);
    heatButtons_ = makeChoice(tr("キーとかなの集計"), this, missChoices,
                              {{"heatMisses", tr("ミス率")}, {"heatSpeed", tr("速さ")}});
    missChoices->addStretch(1);
    practiseButton_ = new QPushButton(tr("選んだ所を練習"), this);
    practiseButton_->setObjectName(QStringLiteral("practiseSelectionButton"));
    practiseButton_->setToolTip(tr("キーボードのキーか、かなの行をクリックして印を付けると、"
                                   "その印の所を集めた苦手ドリルをメイン画面で始めます"));
    practiseButton_->setFocusPolicy(Qt::StrongFocus);
    practiseButton_->setEnabled(false);
    missChoices->addWidget(practiseButton_);

    heatMap_ = new KeyHeatMap(this);
    keyBox_ = new QGroupBox(this);
    auto *keyLayout = new QVBoxLayout(keyBox_);
    keyLayout->addWidget(heatMap_, 1);

    kanaList_ = new QTreeWidget(this);
    kanaList_->setObjectName(QStringLiteral("kanaList"));
    // Larger than the rest, so that ぱ and ば, ぽ and ぼ stay apart.
    kanaList_->setFont(pixelFont(pGothicFamily, 14));
    kanaList_->setHeaderLabels(
        {tr("かな"), tr("ミス率"), tr("ミス/回数"), tr("時間"), tr("誤キー")});
    kanaList_->headerItem()->setToolTip(
        1, tr("押した回数が少ないかなは、全体のミス率に近づけて数えています"));
    kanaList_->headerItem()->setToolTip(
        3, tr("つづりの1キーあたりの平均の時間（きゃは3キー、しは2キー）"));
    kanaList_->headerItem()->setToolTip(4, tr("よく押す誤キー"));
    kanaList_->setRootIsDecorated(false);
    kanaList_->setSelectionMode(QAbstractItemView::NoSelection);
    kanaList_->setFocusPolicy(Qt::StrongFocus);
    kanaList_->setAccessibleName(tr("かなの集計"));
    kanaList_->setAccessibleDescription(tr("矢印キーでかなを選び、スペースで練習に選びます"));
    kanaList_->header()->setSectionsMovable(false);
    kanaList_->header()->setDefaultAlignment(Qt::AlignCenter);
    kanaList_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    kanaList_->header()->setStretchLastSection(false);
    kanaEmptyLabel_ = makeNote(QStringLiteral("kanaEmptyLabel"), this);
    kanaArea_ = new QStackedWidget(this);
    kanaArea_->addWidget(kanaList_);
    kanaArea_->addWidget(kanaEmptyLabel_);
    kanaBox_ = new QGroupBox(this);
    auto *kanaLayout = new QVBoxLayout(kanaBox_);
    kanaLayout->addWidget(kanaArea_);

    auto *missRow = new QHBoxLayout;
    missRow->addWidget(keyBox_, 3);
    missRow->addWidget(kanaBox_, 2);
    auto *missLayout = new QVBoxLayout(missPanel);
    missLayout->setContentsMargins(0, 0, 0, 0);
    missLayout->addLayout(missChoices);
    missLayout->addLayout(missRow, 1);

    mainSplitter_ = new QSplitter(Qt::Vertical, this);
    mainSplitter_->setObjectName(QStringLiteral("mainSplitter"));
    mainSplitter_->setChildrenCollapsible(false);
    mainSplitter_->addWidget(runSplitter_);
    mainSplitter_->addWidget(missPanel);
    mainSplitter_->setStretchFactor(0, 3);
    mainSplitter_->setStretchFactor(1, 2);
    mainSplitter_->setSizes({6000, 4000}); // shares

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(mainSplitter_, 1);

    restTimer_ = new QTimer(this);
    restTimer_->setSingleShot(true);
    restTimer_->setInterval(0);
    connect(restTimer_, &QTimer::timeout, this, [this] {
        showTable();
        showMisses();
        tellShown();
    });
    connect(levelChooser_, &QComboBox::currentIndexChanged, this, [this] {
        showLevel();
        showTableAndMisses();
    });
    connect(measureButtons_, &QButtonGroup::idClicked, this,
            [this](int id) { chart_->setMeasure(ChartMeasure(id)); });
    connect(axisButtons_, &QButtonGroup::idClicked, this,
            [this](int id) { chart_->setDateAxis(id == 1); });
    connect(zoomResetButton_, &QToolButton::clicked, chart_, &ProgressChart::resetZoom);
    connect(chart_, &ProgressChart::zoomChanged, zoomResetButton_, &QToolButton::setEnabled);
    connect(chart_, &ProgressChart::drawn, this, [this] {
        if (history_.ready()) // else the note says the history is being read
            chartArea_->setCurrentIndex(0);
        tellShown();
    });
    connect(tableScope_, &QComboBox::currentIndexChanged, this, [this] { showTable(); });
    connect(missScope_, &QComboBox::currentIndexChanged, this, [this] { showMisses(); });
    connect(heatButtons_, &QButtonGroup::idClicked, this, [this] { showMisses(); });
    // Marks are of one kind at a time, as a drill is: keys or kana.
    connect(heatMap_, &KeyHeatMap::marksChanged, this, [this] {
        if (!heatMap_->marked().empty())
            markedKana_.clear();
        showMarks();
    });
    connect(kanaList_, &QTreeWidget::itemClicked, this, &ProgressWindow::toggleKanaMark);
    auto *markKana = new QShortcut(QKeySequence(Qt::Key_Space), kanaList_);
    markKana->setContext(Qt::WidgetShortcut);
    connect(markKana, &QShortcut::activated, this,
            [this] { toggleKanaMark(kanaList_->currentItem()); });
    connect(runTable_->runs(), &RunTableModel::leftOutToggled, this, &ProgressWindow::setLeftOut);
    connect(practiseButton_, &QPushButton::clicked, this, &ProgressWindow::practiseMarked);

    // Cut to the room beside the main window when it is placed; the layout sets the least.
    resize(1000, 860);
    history_.subscribe(this, [this](PracticeHistory::Change change) { showHistory(change); });
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::reload(int level, const QString &text)
{
    pendingLevel_ = level;
    pendingText_ = text;
    shownOnce_ = false;
    if (history_.ready()) {
        showHistory(PracticeHistory::Change::Whole);
    } else {
        showReading();
    }
    // Another copy may have added runs since: they follow.
    history_.load();
}

void ProgressWindow::followHistory(int level, const QString &text)
{
    if (level != 0) {
        pendingLevel_ = level;
        pendingText_ = text;
        // Chosen now; the runs added meanwhile follow.
        if (history_.ready() && shownOnce_)
            showHistory(PracticeHistory::Change::Appended);
    }
    history_.load();
}

void ProgressWindow::showReading()
{
    runCountLabel_->setText(tr("記録を読み込んでいます…"));
    emptyLabel_->setText(tr("記録を読み込んでいます…"));
    chartArea_->setCurrentWidget(emptyLabel_);
}

void ProgressWindow::showHistory(PracticeHistory::Change change)
{
    if (!history_.ready())
        return; // read again from its start: shown when that is done
    const bool following = change == PracticeHistory::Change::Appended && shownOnce_;
    if (following && pendingLevel_ == 0 && stats().runs() == shownRuns_) {
        emit historyShown(); // nothing new: a long history is not drawn again for nothing
        return;
    }
    shownOnce_ = true;
    shownRuns_ = stats().runs();
    const int level = std::exchange(pendingLevel_, 0);
    const QString text = std::exchange(pendingText_, {});
    problem_.clear();
    switch (history_.status()) {
    case RunLogRead::Status::Read:
    case RunLogRead::Status::Cancelled:
    case RunLogRead::Status::Shrunk:
        if (history_.olderLeftOut())
            problem_ = tr("記録ファイル RK.log が %1 MB を超えているため、"
                          "古い記録を省いて新しい %1 MB を読み込みました。")
                           .arg(largestRunLog / (1024 * 1024));
        break;
    case RunLogRead::Status::NotAFile:
        problem_ = tr("記録ファイル RK.log が通常のファイルではないため、読み込めません。");
        break;
    case RunLogRead::Status::Unreadable:
        problem_ = tr("記録ファイル RK.log を開けません。");
        break;
    }
    showTotals();

    const bool textGone = listTexts();
    // A text's number holds only for the history it was read from: it is looked up by name.
    const int textNumber = level == ownTextLevel && !text.isEmpty() ? stats().textNumber(text) : -1;
    const int index = textNumber >= 0      ? levelChooser_->findData(firstTextScope + textNumber)
                      : isTextScope(level) ? -1 // listTexts kept it chosen
                                           : levelChooser_->findData(level);
    if (index >= 0 && index != levelChooser_->currentIndex()) {
        levelChooser_->setCurrentIndex(index); // shows it
    } else if (following && !textGone) {
        // What the learner looks at stays: the zoom, the measure, the table's order.
        chart_->showNewRuns(stats());
        if (!stats().levelRuns(chosenLevel()).empty() && !chart_->drawing())
            chartArea_->setCurrentIndex(0); // the chart and its legend
        showTableAndMisses();
    } else {
        showLevel();
        showTableAndMisses();
    }
    if (!problem_.isEmpty() && stats().runs() == 0) {
        emptyLabel_->setText(problem_);
        chartArea_->setCurrentWidget(emptyLabel_);
    }
    shownPending_ = true;
    tellShown();
}

void ProgressWindow::tellShown()
{
    // A long history is shown once its chart is drawn and its table filled.
    if (shownPending_ && !chart_->drawing() && !restTimer_->isActive()) {
        shownPending_ = false;
        emit historyShown();
    }
}

void ProgressWindow::showTotals()
{
    const PracticeTotals totals = stats().totals(QDate::currentDate());
    QString text = tr("記録 %1 回").arg(interfaceLocale().toString(totals.runs));
    if (totals.runs > 0)
        text += tr("・練習時間 %1・連続 %2 日（最長 %3 日）")
                    .arg(durationText(totals.seconds))
                    .arg(totals.streak)
                    .arg(totals.longestStreak);
    // With runs to show, the problem stands beside their totals; without, in their place.
    runCountLabel_->setText(
        problem_.isEmpty() || totals.runs == 0 ? text : problem_ + QLatin1Char(' ') + text);
}

void ProgressWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Opened again, the window starts at its first control, never inside the table.
    levelChooser_->setFocus(Qt::OtherFocusReason);
    if (std::exchange(placed_, true))
        return;
    placeBesideMainWindow({});
}

bool ProgressWindow::event(QEvent *event)
{
    // Placed with the main window's frame standing in for its own, the window is placed
    // again once, when the window manager has framed it, if its frame is another.
    const QWindow *handle = windowHandle();
    if (placed_ && !framePlaced_ && handle && !handle->frameMargins().isNull()) {
        framePlaced_ = true;
        if (handle->frameMargins() != assumedFrame_)
            placeBesideMainWindow(handle->frameMargins());
    }
    return QWidget::event(event);
}

// Beside the main window when the screen has room, so that the learner can drill while it is
// open; else where it leaves the item to type in view.
void ProgressWindow::placeBesideMainWindow(QMargins frame)
{
    QWidget *main = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *screen = main ? main->screen() : this->screen();
    if (!main || !main->isVisible() || !screen) {
        centreOnScreen(this);
        return;
    }
    // This window's frame is not known before it is shown: the main window's stands in.
    const QRect mainFrame = main->frameGeometry();
    if (frame.isNull())
        frame = assumedFrame_ = QMargins(main->geometry().left() - mainFrame.left(),
                                         main->geometry().top() - mainFrame.top(),
                                         mainFrame.right() - main->geometry().right(),
                                         mainFrame.bottom() - main->geometry().bottom());
    // The drill area: the main window's client area above its keyboard.
    QRect drillArea(main->mapToGlobal(QPoint(0, 0)), main->size());
    if (const QWidget *keyboard = main->findChild<QWidget *>(QStringLiteral("KBPanel")))
        drillArea.setBottom(keyboard->mapToGlobal(QPoint(0, 0)).y() - 1);
    const QSize extra(frame.left() + frame.right(), frame.top() + frame.bottom());
    // Below the drill area it gets the room above the main window too.
    const QRect raised =
        makeRoomBelow(screen->availableGeometry(), mainFrame, minimumSizeHint() + extra);
    if (raised != mainFrame) {
        main->move(raised.topLeft());
        drillArea.translate(raised.topLeft() - mainFrame.topLeft());
    }
    const QRect placed = placeBeside(screen->availableGeometry(), raised, drillArea, size() + extra,
                                     minimumSizeHint() + extra);
    // The client area is placed itself: how a window manager applies a position that
    // includes the frame depends on when it arrives.
    setGeometry(QRect(placed.topLeft() + QPoint(frame.left(), frame.top()), placed.size() - extra));
}

void ProgressWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutRuns();
}

void ProgressWindow::layOutRuns()
{
    const int across = runSplitter_->width() - runSplitter_->handleWidth();
    const int chartLeast = runSplitter_->widget(0)->minimumSizeHint().width();
    const RunPanes panes = runPanes(across, height(), runTable_->widthForAllColumns(), chartLeast);
    const Qt::Orientation orientation = panes.beside ? Qt::Horizontal : Qt::Vertical;
    // Beside the chart, the table keeps every column in view at every width the room allows;
    // the chart takes the rest. Stacked, the shares stay as the learner drags them.
    if (!panes.beside && runSplitter_->orientation() == orientation &&
        panes.tableShown == tableShown_)
        return;
    runSplitter_->setOrientation(orientation);
    tableShown_ = panes.tableShown;
    // A width the learner dragged to stays while the chart keeps its least room.
    const int share = draggedTableWidth_ >= 0 ? std::min(draggedTableWidth_, across - chartLeast)
                                              : panes.tableShare;
    runSplitter_->setSizes(!panes.tableShown ? QList<int>{1, 0}
                           : panes.beside    ? QList<int>{across - share, share}
                                             : QList<int>{6000, 3000});
}

bool ProgressWindow::listTexts()
{
    const QString chosen = levelChooser_->currentData(copyNameRole).toString();
    const QSignalBlocker quiet(levelChooser_);
    const int first = levelChooser_->findData(ownTextLevel) + 1;
    while (levelChooser_->count() > first)
        levelChooser_->removeItem(first);
    for (int text = 0; text < stats().textCount(); ++text) {
        // Indented under "テキスト", which holds them all.
        levelChooser_->addItem(QStringLiteral("\u3000") + stats().textTitle(text),
                               firstTextScope + text);
        levelChooser_->setItemData(first + text, stats().textCopyName(text), copyNameRole);
    }
    if (chosen.isEmpty())
        return false;
    const int text = stats().textNumber(chosen);
    levelChooser_->setCurrentIndex(text >= 0 ? first + text : first - 1);
    return text < 0;
}

int ProgressWindow::chosenLevel() const
{
    return levelChooser_->currentData().toInt();
}

void ProgressWindow::showLevel()
{
    const int level = chosenLevel();
    missScope_->setItemText(1, levelChoiceName(scopeLevel(level)));
    if (chart_->showLevel(stats(), level)) {
        // What stands in the chart's place stays until it is drawn.
        if (!chart_->drawing())
            chartArea_->setCurrentIndex(0); // the chart and its legend
        return;
    }
    emptyLabel_->setText(stats().runs() == 0
                             ? tr("まだ記録がありません。レベルを選んでスタートしてください。")
                             : tr("このレベルの記録はまだありません。"));
    chartArea_->setCurrentWidget(emptyLabel_);
}

void ProgressWindow::showTableAndMisses()
{
    const qsizetype rows = tableScope_->currentIndex() == 0
                               ? qsizetype(stats().levelRuns(chosenLevel()).size())
                               : stats().runs();
    if (rows > shownAtOnce) {
        restTimer_->start();
        return;
    }
    restTimer_->stop();
    showTable();
    showMisses();
}

void ProgressWindow::showTable()
{
    const bool oneLevel = tableScope_->currentIndex() == 0;
    runTable_->runs()->showRuns(stats(), oneLevel ? chosenLevel() : 0);
    runTable_->setColumnHidden(RunTableModel::Level, oneLevel);
    layOutRuns();
}

void ProgressWindow::showMisses()
{
    // A text's keys and kana are counted with its level's.
    const int scope = missScope_->currentIndex() == 0 ? 0 : scopeLevel(chosenLevel());
    const HeatMeasure measure =
        heatButtons_->checkedId() == 0 ? HeatMeasure::Misses : HeatMeasure::Time;
    heatMap_->showKeys(stats(), scope, measure);
    const bool misses = measure == HeatMeasure::Misses;
    keyBox_->setTitle(misses ? tr("キーごとのミス率") : tr("キーごとの速さ（1打の平均時間）"));
    kanaBox_->setTitle(misses ? tr("ミスの多いかな") : tr("時間のかかるかな"));

    kanaList_->clear();
    const auto kana = stats().rankedKana(
        scope, misses ? ProgressStats::Ranking::Misses : ProgressStats::Ranking::Time, kanaShown);
    const QColor faded = fewPressesInk();
    for (const auto &ranked : kana) {
        const PressFigures &figures = ranked.figures;
        const char instead = figures.mostOftenInstead();
        auto *row = new QTreeWidgetItem(
            kanaList_, {ranked.kana, percentText(ranked.rate),
                        QStringLiteral("%1/%2").arg(figures.misses).arg(figures.presses()),
                        std::isnan(ranked.ms) ? QStringLiteral("―") : secondsText(ranked.ms),
                        instead ? typedKeyName(instead) : QString()});
        row->setFlags(Qt::ItemIsEnabled); // a click marks the row: see showMarks
        for (int column = 0; column < 5; ++column) {
            row->setTextAlignment(column, column == 0 || column == 4
                                              ? Qt::AlignCenter
                                              : Qt::AlignRight | Qt::AlignVCenter);
            // A few presses say little.
            if (fewToGoBy(figures.presses()))
                row->setForeground(column, faded);
        }
    }
    showMarks();
    if (!kana.empty()) {
        kanaArea_->setCurrentWidget(kanaList_);
        return;
    }
    kanaEmptyLabel_->setText(scope != 0 && levelGroup(scope) == LevelGroup::Key
                                 ? tr("キーのレベルにはかなの集計がありません。")
                             : misses ? tr("かなのミスはまだありません。")
                                      : tr("かなの時間の記録はまだありません。"));
    kanaArea_->setCurrentWidget(kanaEmptyLabel_);
}

void ProgressWindow::showMarks()
{
    // Marked rows show a tick; the row itself takes the click, so the tick cannot be toggled
    // on its own.
    for (int k = 0; k < kanaList_->topLevelItemCount(); ++k) {
        QTreeWidgetItem *row = kanaList_->topLevelItem(k);
        row->setCheckState(0, markedKana_.contains(row->text(0)) ? Qt::Checked : Qt::Unchecked);
    }
    practiseButton_->setEnabled(!heatMap_->marked().empty() || !markedKana_.isEmpty());
}

void ProgressWindow::toggleKanaMark(QTreeWidgetItem *row)
{
    if (!row)
        return;
    const QString kana = row->text(0);
    if (!markedKana_.removeOne(kana))
        markedKana_ << kana;
    heatMap_->clearMarks();
    showMarks();
}

void ProgressWindow::setLeftOut(qint64 endedMs, int level, bool leftOut)
{
    const QString path = LeftOutRuns::pathBeside(history_.path());
    LeftOutRuns list = LeftOutRuns::load(path);
    list.set(endedMs, level, leftOut);
    list.save(path);
    // Every figure changes: the whole history is read again, for the drills too.
    pendingLevel_ = chosenLevel();
    showReading();
    history_.reload();
    emit leftOutChanged();
}

void ProgressWindow::practiseMarked()
{
    if (!practise_)
        return;
    if (!markedKana_.isEmpty()) {
        practise_(weakKanaLevel, markedKana_);
        return;
    }
    QStringList keys;
    for (const char key : heatMap_->marked())
        keys << QString(QLatin1Char(key));
    if (!keys.isEmpty())
        practise_(weakKeysLevel, keys);
}

} // namespace rinkaro
