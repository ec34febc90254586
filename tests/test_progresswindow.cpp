// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics window, loaded from its plugin in the build tree and shown offscreen over
// a history written with the program's own log writer: the chart following the level, the
// measure, the axis and the zoom, with its tooltips; a run left out from the table; the heat
// map in both modes, its contrast, and the kana list; the table of runs and the totals; the
// layout at its extremes; the empty states; every control by keyboard; and the main window's
// side: the menu item, new runs followed, the keyboard left alone. What the chart draws is
// worked out and tested in the core.
#include "core/keytable.h"
#include "core/levels.h"
#include "core/practicehistory.h"
#include "gui/progresswindowloader.h"
#include "testwindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStyle>
#include <QTableView>
#include <QTextDocument>
#include <QTimeZone>
#include <QToolTip>
#include <QTreeWidget>

#include <algorithm>
#include <numeric>
#include <optional>

using namespace rinkaro;

namespace
{

const QDateTime firstDay(QDate(2024, 5, 1), QTime(20, 0), QTimeZone(9 * 3600));

struct Run {
    int level;
    bool random;
    double score;
    RunTally tally = {};
    QDateTime ended = {}; // firstDay plus one day per run when invalid
};

RunLogEntry entryOf(const Run &run, int day)
{
    RunLogEntry entry;
    entry.ended = run.ended.isValid() ? run.ended : firstDay.addDays(day);
    entry.level = run.level;
    entry.randomOrder = run.random;
    entry.seconds = run.score;
    entry.errors = int(run.tally.misses.size());
    entry.score = run.score;
    entry.tally = run.tally;
    return entry;
}

bool writeLog(const QString &path, const std::vector<Run> &runs)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (std::size_t k = 0; k < runs.size(); ++k)
        file.write(formatRunLogLine(entryOf(runs[k], int(k))));
    return true;
}

void addMisses(RunTally &tally, int times, const Miss &miss)
{
    tally.misses.insert(tally.misses.end(), std::size_t(times), miss);
}

// Level 1: F missed 12 times in 286 (mostly as D), J never, A a third of the time, all
// timed. Level 5, written before times were kept: し missed 6 times in 24 (as J four
// times), つ 2 in 42. Level 7: the long vowel's "-" missed three times in five (twice as BS),
// Q typed twice. Levels 2-4, 6, 8 and 9 have no runs.
std::vector<Run> sampleHistory()
{
    RunTally keys;
    addMisses(keys, 10, {QString(), 'f', 'd'});
    addMisses(keys, 2, {QString(), 'f', 'g'});
    addMisses(keys, 50, {QString(), 'a', 's'});
    keys.rightKeys = {{'f', 274}, {'j', 300}, {'a', 100}};
    keys.keyMs = {{'f', 82200}, {'j', 75000}, {'a', 40000}};
    RunTally kana;
    addMisses(kana, 4, {QStringLiteral("し"), 'h', 'j'});
    addMisses(kana, 2, {QStringLiteral("し"), 'i', 'u'});
    addMisses(kana, 2, {QStringLiteral("つ"), 't', 'r'});
    kana.rightKeys = {{'s', 24}, {'h', 24}, {'i', 24}, {'t', 40}, {'u', 40}};
    kana.kanaTyped = {{QStringLiteral("し"), 18}, {QStringLiteral("つ"), 40}};
    RunTally vowel;
    addMisses(vowel, 2, {QStringLiteral("ー"), '-', '\b'});
    addMisses(vowel, 1, {QStringLiteral("ー"), '-', '='});
    vowel.rightKeys = {{'-', 2}, {'q', 2}};
    vowel.kanaTyped = {{QStringLiteral("ー"), 2}};
    return {{1, false, 30.0, keys},  {5, false, 52.0, kana}, {5, true, 60.0},  {5, false, 47.5},
            {1, false, 25.0},        {5, false, 45.0},       {5, true, 55.5},  {5, false, 39.5},
            {7, true, 180.0, vowel}, {5, false, 41.0},       {5, true, 58.0},  {5, false, 38.0},
            {1, false, 22.5},        {5, true, 49.0},        {7, true, 170.5}, {5, false, 44.0}};
}

// The history is read on a thread of its own; this waits until the window has shown it.
void waitForHistory(QSignalSpy &shown)
{
    QVERIFY(!shown.isEmpty() || shown.wait(20000));
}

// The window made by the plugin, as the main window gets it, shown and drawn.
struct ProgressFixture {
    QTemporaryDir dir;
    std::unique_ptr<PracticeHistory> history; // read anew at each opening
    std::unique_ptr<QWidget> window;

    explicit ProgressFixture(const std::vector<Run> &runs, int level = 5)
    {
        registerFontSubstitutions();
        writeLog(log(), runs);
        open(level);
    }
    // A history file of these bytes, or none.
    explicit ProgressFixture(const std::optional<QByteArray> &contents)
    {
        registerFontSubstitutions();
        QFile file(log());
        if (contents && file.open(QIODevice::WriteOnly))
            file.write(*contents);
        open(5);
    }
    QString log() const { return dir.filePath(QStringLiteral("RK.log")); }
    // Opened as the main window opens it, with its drill chosen (and the text it has open).
    void open(int level, const QString &text = {})
    {
        QString error;
        ProgressWindowFactory *factory = loadProgressWindowFactory(progressPluginFolders(), &error);
        if (!factory)
            qFatal("no plugin: %s", qPrintable(error));
        window.reset();
        history = std::make_unique<PracticeHistory>(log());
        window.reset(factory->createProgressWindow(*history, level, text, nullptr));
        QSignalSpy shown(window.get(), SIGNAL(historyShown()));
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        waitForHistory(shown);
    }

    template <typename T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    // The chart's words: its measure, the runs in view, the best and the latest.
    QString chartSummary() const
    {
        return find(QStringLiteral("progressChart"))->accessibleDescription();
    }
    void click(const QString &button) const
    {
        QTest::mouseClick(find<QAbstractButton>(button), Qt::LeftButton);
    }
    void chooseLevel(int level) const
    {
        auto *chooser = find<QComboBox>(QStringLiteral("levelChooser"));
        chooser->setCurrentIndex(chooser->findData(level));
    }
    // Keys and kana over all levels (0) or the chosen one.
    void chooseScope(int level) const
    {
        if (level != 0)
            chooseLevel(level);
        find<QComboBox>(QStringLiteral("missScope"))->setCurrentIndex(level == 0 ? 0 : 1);
    }
    QLabel *heatKey(const QString &name) const
    {
        return find(QStringLiteral("keyHeatMap"))->findChild<QLabel *>(name);
    }
    QLabel *heatKey(int panel) const { return heatKey(QStringLiteral("Panel%1").arg(panel)); }
    // What the chart area shows: the chart, or the text that stands in for it.
    QString chartArea() const
    {
        auto *label = find<QLabel>(QStringLiteral("emptyLabel"));
        return label->isVisible() ? label->text() : QStringLiteral("chart");
    }
    QAbstractItemModel *table() const
    {
        return find<QTableView>(QStringLiteral("runTable"))->model();
    }
};

// The contrast of two colours as the accessibility guidelines measure it.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 6 && std::abs(a.green() - b.green()) <= 6 &&
           std::abs(a.blue() - b.blue()) <= 6;
}

} // namespace

class ProgressWindowTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void chartFollowsTheChoices_data();
    void chartFollowsTheChoices();
    void zoomAndToolTips();
    void runLeftOutFromTheTable();
    void heatMapInBothModes();
    void keyToolTips_data();
    void keyToolTips();
    void kanaListRanksByEither();
    void tableOfRunsAndTotals();
    void longLevelShownWhenDrawn();
    void eachTextChosenApart();
    void layoutFromSmallestToLargest();
    void tableAndLegendFit_data();
    void tableAndLegendFit();
    void draggedTableWidthStays();
    void emptyHistoriesShowTheFirstRunNote_data();
    void emptyHistoriesShowTheFirstRunNote();
    void historyPastItsBoundShowsItsNewestRuns();
    void missingOrDamagedModuleIsReported();

    void menuItemOpensTheWindowWhichFollowsNewRuns();
    void drillKeysStayWithTheMainWindow();
    void markedKeysAndKanaArePractised();
    void readableWithoutTheMouse();
};

void ProgressWindowTest::chartFollowsTheChoices_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("summary");
    QTest::newRow("keys")
        << 1 << "スコア（秒＋ミス・少ないほど良い）。3 回を表示、最高 22.5、最新 22.5。";
    QTest::newRow("syllables")
        << 5 << "スコア（秒＋ミス・少ないほど良い）。11 回を表示、最高 38.0、最新 44.0。";
    QTest::newRow("no runs") << 9 << "このレベルの記録はまだありません。";
}

// The chart shows the chosen level's runs, and keeps the measure and the axis when the level
// changes.
void ProgressWindowTest::chartFollowsTheChoices()
{
    QFETCH(int, level);
    QFETCH(QString, summary);
    const ProgressFixture f(sampleHistory(), 5);
    f.chooseLevel(level);
    if (f.chartArea() != QStringLiteral("chart")) {
        QCOMPARE(f.chartArea(), summary);
        return;
    }
    QVERIFY2(f.chartSummary().startsWith(summary), qPrintable(f.chartSummary()));
    f.click(QStringLiteral("measureAccuracy"));
    QVERIFY(f.chartSummary().startsWith(QStringLiteral("正確さ（")));
    f.click(QStringLiteral("axisDates"));
    f.chooseLevel(level == 1 ? 5 : 1);
    f.chooseLevel(level);
    QVERIFY(f.find<QAbstractButton>(QStringLiteral("measureAccuracy"))->isChecked());
    QVERIFY(f.find<QAbstractButton>(QStringLiteral("axisDates"))->isChecked());
    // Every measure is told, not only the one drawn.
    QVERIFY2(f.chartSummary().contains(QStringLiteral("スコアは最高 ")),
             qPrintable(f.chartSummary()));
}

// The wheel zooms about the pointer and the button shows everything again; a run's tooltip
// names it and stays while the pointer rests on it.
void ProgressWindowTest::zoomAndToolTips()
{
    const ProgressFixture f(sampleHistory(), 5);
    auto *chart = f.find<QAbstractScrollArea>(QStringLiteral("progressChart"));
    auto *reset = f.find<QAbstractButton>(QStringLiteral("zoomReset"));
    QVERIFY(!reset->isEnabled());
    const QPoint middle = chart->viewport()->rect().center();
    for (int step = 0; step < 4; ++step) {
        QWheelEvent wheel(middle, chart->viewport()->mapToGlobal(middle), {}, {0, 120},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(chart->viewport(), &wheel);
    }
    QVERIFY(reset->isEnabled());
    QVERIFY2(!f.chartSummary().contains(QStringLiteral("11 回を表示")),
             qPrintable(f.chartSummary()));

    QTest::mouseClick(reset, Qt::LeftButton);
    QVERIFY(!reset->isEnabled());
    QVERIFY(f.chartSummary().contains(QStringLiteral("11 回を表示")));
    // Some point of the chart names its run.
    QPoint found;
    for (int y = 0; y < chart->viewport()->height() && found.isNull(); y += 3) {
        for (int x = 0; x < chart->viewport()->width() && found.isNull(); x += 3) {
            QHelpEvent help(QEvent::ToolTip, {x, y}, chart->viewport()->mapToGlobal(QPoint(x, y)));
            QApplication::sendEvent(chart->viewport(), &help);
            if (QToolTip::isVisible() && QToolTip::text().contains(QStringLiteral("回目・")))
                found = QPoint(x, y);
        }
    }
    QVERIFY(!found.isNull());
    QVERIFY2(QToolTip::text().contains(QStringLiteral("スコア ")), qPrintable(QToolTip::text()));
    QHelpEvent away(QEvent::ToolTip, QPoint(2, 2), chart->viewport()->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(chart->viewport(), &away);
    QTRY_VERIFY(!QToolTip::isVisible());
}

// Unticked in the table, a run counts in no figure; the list of left-out runs is kept beside
// the history, which is not touched. Ticked again, it counts again.
void ProgressWindowTest::runLeftOutFromTheTable()
{
    const ProgressFixture f(sampleHistory(), 5);
    QFile log(f.log());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray before = log.readAll();
    log.close();
    QAbstractItemModel *table = f.table();
    // The newest level-5 run, 44.0.
    const QModelIndex counted = table->index(0, table->columnCount() - 1);
    QCOMPARE(table->data(counted, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QSignalSpy shown(f.window.get(), SIGNAL(historyShown()));
    QVERIFY(table->setData(counted, Qt::Unchecked, Qt::CheckStateRole));
    waitForHistory(shown);
    QVERIFY2(f.chartSummary().contains(QStringLiteral("10 回を表示、最高 38.0、最新 49.0")),
             qPrintable(f.chartSummary()));
    QVERIFY(f.find<QLabel>(QStringLiteral("runCount"))
                ->text()
                .startsWith(QStringLiteral("記録 15 回")));
    QCOMPARE(table->rowCount(), 11); // still listed, to be taken back
    const QModelIndex leftOut = table->index(0, table->columnCount() - 1);
    QCOMPARE(table->data(leftOut, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    QVERIFY(QFile::exists(QFileInfo(f.log()).dir().filePath(QStringLiteral("RK.omit"))));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), before);
    log.close();

    shown.clear();
    QVERIFY(table->setData(leftOut, Qt::Checked, Qt::CheckStateRole));
    waitForHistory(shown);
    QVERIFY(f.chartSummary().contains(QStringLiteral("11 回を表示")));
}

void ProgressWindowTest::heatMapInBothModes()
{
    const ProgressFixture f(sampleHistory());
    f.chooseScope(0);
    const QImage legend = f.find(QStringLiteral("heatLegend"))->grab().toImage();
    const QColor low = legend.pixelColor(3, legend.height() / 2);
    const QColor high = legend.pixelColor(legend.width() - 4, legend.height() / 2);
    const QColor never = f.heatKey(10)->palette().color(QPalette::Window); // J
    const QColor most = f.heatKey(1)->palette().color(QPalette::Window);   // A, a third missed
    QVERIFY2(near(most, high), qPrintable(most.name() + " vs " + high.name()));
    QVERIFY(never.lightness() > most.lightness() + 100);
    QVERIFY2(near(never, low), qPrintable(never.name() + " vs " + low.name()));
    // Readable captions on both ends; a key pressed twice only hinted at, its caption grey.
    QVERIFY(f.heatKey(1)->palette().color(QPalette::WindowText).lightness() > 200);
    QVERIFY(f.heatKey(10)->palette().color(QPalette::WindowText).lightness() < 50);
    QCOMPARE(f.heatKey(17)->palette().color(QPalette::WindowText), QColor(0x50, 0x50, 0x50));
    // Every caption stands out from its key: at least 4.5 to 1.
    for (QLabel *key : f.find(QStringLiteral("heatKeyboard"))->findChildren<QLabel *>()) {
        const double ratio = contrast(key->palette().color(QPalette::WindowText),
                                      key->palette().color(QPalette::Window));
        QVERIFY2(ratio >= 4.5, qPrintable(key->objectName() + QString::number(ratio)));
    }
    QCOMPARE(f.find<QLabel>(QStringLiteral("heatLegendHigh"))->text(), QStringLiteral("31.8 %"));
    QVERIFY(f.heatKey(QStringLiteral("PanelMinus"))->isVisible());

    // Time per press: only the timed level-1 keys are coloured, the slowest darkest.
    f.click(QStringLiteral("heatSpeed"));
    const QColor face = f.heatKey(8)->palette().color(QPalette::Button);
    QCOMPARE(f.heatKey(8)->palette().color(QPalette::Window), face); // H: never timed
    QVERIFY(f.heatKey(1)->palette().color(QPalette::Window).lightness() <
            f.heatKey(10)->palette().color(QPalette::Window).lightness()); // A 400 ms, J 250
    QCOMPARE(f.find<QLabel>(QStringLiteral("heatLegendHigh"))->text(), QStringLiteral("0.39 秒"));
}

void ProgressWindowTest::keyToolTips_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("toolTip");
    // Rates drawn toward the overall 73 misses in 903 presses (8.1 %), ten presses' worth.
    QTest::newRow("F")
        << 0 << "Panel6"
        << "F: ミス率 4.3 %（286 回中 12 回ミス）、よく押す誤キー D\n1打の時間 0.30 秒";
    QTest::newRow("typed twice") << 0 << "Panel17"
                                 << "Q: ミス率 6.7 %（2 回中 0 回ミス）\n1打の時間: "
                                    "記録なし\n押した回数が少ないため、色は薄く表示しています";
    QTest::newRow("the long vowel, mostly BS")
        << 0 << "PanelMinus"
        << "ー（-）: ミス率 25.4 %（5 回中 3 回ミス）、よく押す誤キー BS\n1打の時間: 記録なし";
    QTest::newRow("H in level 5, no times")
        << 5 << "Panel8"
        << "H: ミス率 11.8 %（28 回中 4 回ミス）、よく押す誤キー J\n1打の時間: 記録なし";
    QTest::newRow("F not in level 5") << 5 << "Panel6"
                                      << "F: 記録なし";
}

void ProgressWindowTest::keyToolTips()
{
    QFETCH(int, scope);
    QFETCH(QString, key);
    QFETCH(QString, toolTip);
    const ProgressFixture f(sampleHistory(), 1);
    f.chooseScope(scope);
    // "-" has no key in a drill: it cannot be chosen.
    QCOMPARE(f.heatKey(key)->toolTip(),
             key == QStringLiteral("PanelMinus")
                 ? toolTip
                 : toolTip + QStringLiteral("\nクリックかスペースで練習に選べます"));
}

void ProgressWindowTest::kanaListRanksByEither()
{
    const ProgressFixture f(sampleHistory(), 1);
    auto *list = f.find<QTreeWidget>(QStringLiteral("kanaList"));
    auto *note = f.find<QLabel>(QStringLiteral("kanaEmptyLabel"));
    const auto row = [list](int k) {
        const QTreeWidgetItem *item = k < 0 ? list->headerItem() : list->topLevelItem(k);
        QStringList texts;
        for (int column = 0; column < list->columnCount(); ++column)
            texts << item->text(column);
        return texts;
    };
    QCOMPARE(row(-1), (QStringList{"かな", "ミス率", "ミス/回数", "時間", "誤キー"}));
    f.chooseScope(0);
    // As the core ranks them; a kana of few presses in a grey still easily read.
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(row(0), (QStringList{"ー", "30.3 %", "3/5", "―", "BS"}));
    QVERIFY(contrast(list->topLevelItem(0)->foreground(0).color(), Qt::white) >= 4.5);
    QVERIFY(list->topLevelItem(1)->foreground(0).style() == Qt::NoBrush);
    QVERIFY(list->isVisible());

    f.click(QStringLiteral("heatSpeed")); // no kana was timed
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QStringLiteral("かなの時間の記録はまだありません。"));
    f.click(QStringLiteral("heatMisses"));
    f.chooseScope(1); // a key level has no kana
    QVERIFY(!list->isVisible());
    QCOMPARE(note->text(), QStringLiteral("キーのレベルにはかなの集計がありません。"));
}

void ProgressWindowTest::tableOfRunsAndTotals()
{
    const ProgressFixture f(sampleHistory(), 5);
    QAbstractItemModel *table = f.table();
    const auto cell = [table](int row, int column) {
        return table->data(table->index(row, column)).toString();
    };
    QCOMPARE(table->rowCount(), 11);
    QStringList header;
    for (int column = 0; column < table->columnCount(); ++column)
        header << table->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(header, (QStringList{"日時", "レベル", "順序", "時間", "ミス", "スコア", "速さ",
                                  "正確さ", "記録", "集計"}));
    // The newest first; levels as the menu names them.
    QCOMPARE(cell(0, 0), QStringLiteral("05/16 20:00"));
    QCOMPARE(cell(0, 1), QStringLiteral("ローマ字１"));
    QCOMPARE(cell(10, 5), QStringLiteral("52.0"));
    QCOMPARE(cell(10, 6), QStringLiteral("66.9 かな"));
    QCOMPARE(cell(10, 7), QStringLiteral("95.0 %"));

    // Sorted by a click on a column's title.
    auto *view = f.find<QTableView>(QStringLiteral("runTable"));
    QHeaderView *titles = view->horizontalHeader();
    QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                      QPoint(titles->sectionViewportPosition(5) + 5, titles->height() / 2));
    const bool ascending = titles->sortIndicatorOrder() == Qt::AscendingOrder;
    QCOMPARE(cell(0, 5), ascending ? QStringLiteral("38.0") : QStringLiteral("60.0"));

    f.find<QComboBox>(QStringLiteral("tableScope"))->setCurrentIndex(1);
    QCOMPARE(table->rowCount(), 16);
    // 16 runs on 16 days in a row, long ago: no streak today.
    QCOMPARE(f.find<QLabel>(QStringLiteral("runCount"))->text(),
             QStringLiteral("記録 16 回・練習時間 15分・連続 0 日（最長 16 日）"));
}

// Each text practised gets its own entry under "テキスト", showing its runs alone in the chart
// and the table; new runs leave the chosen text chosen while a new text joins the list.
// A long level is worked out away from the window: the window says it is shown only once the
// chart is drawn and the table filled, and a drawing asked for before the learner chose a short
// level never replaces that level's chart.
void ProgressWindowTest::longLevelShownWhenDrawn()
{
    std::vector<Run> runs = {{1, false, 30.0}, {1, false, 25.0}, {1, false, 22.5}};
    for (int k = 0; k < 20100; ++k)
        runs.push_back({5, k % 2 == 1, 40.0 + (k * 7) % 20});
    const ProgressFixture f(runs, 5);
    QCOMPARE(f.chartArea(), QStringLiteral("chart"));
    QCOMPARE(f.table()->rowCount(), 20100);
    QVERIFY2(f.chartSummary().contains(QStringLiteral("20100 回を表示、最高 40.0、最新 53.0。")),
             qPrintable(f.chartSummary()));

    QSignalSpy drawn(f.find(QStringLiteral("progressChart")), SIGNAL(drawn()));
    f.click(QStringLiteral("measureAccuracy"));
    QVERIFY(drawn.wait(20000));
    QVERIFY2(f.chartSummary().startsWith(QStringLiteral("正確さ")), qPrintable(f.chartSummary()));

    f.click(QStringLiteral("measureScore"));
    f.chooseLevel(1); // at once, while level 5 is still being worked out
    QTest::qWait(300);
    QVERIFY2(f.chartSummary().contains(QStringLiteral("3 回を表示、最高 22.5、最新 22.5。")),
             qPrintable(f.chartSummary()));
    QCOMPARE(f.table()->rowCount(), 3);
}

void ProgressWindowTest::eachTextChosenApart()
{
    const std::vector<Run> runs = sampleHistory();
    const std::pair<const char *, double> texts[] = {
        {"b.txt", 30}, {"夜の話.txt", 40}, {"", 20}, {"b.txt", 25}};
    ProgressFixture f(runs, 5);
    const auto append = [&f](const char *name, double score, int day) {
        // Only a run with times names its text.
        RunTally timed;
        timed.rightKeys = {{'s', 2}};
        timed.keyMs = {{'s', 500}};
        timed.kanaTyped = {{QStringLiteral("し"), 2}};
        QVERIFY(appendRunLog(f.log(), entryOf({ownTextLevel, false, score, timed}, day),
                             QString::fromUtf8(name)));
    };
    for (int k = 0; k < int(std::size(texts)); ++k)
        append(texts[k].first, texts[k].second, int(runs.size()) + k);
    f.open(5); // read again with the texts' runs
    const auto entriesAfterTexts = [&f] {
        auto *chooser = f.find<QComboBox>(QStringLiteral("levelChooser"));
        QStringList entries;
        for (int k = chooser->findData(ownTextLevel) + 1; k < chooser->count(); ++k)
            entries << chooser->itemText(k);
        return entries;
    };
    QCOMPARE(entriesAfterTexts(), (QStringList{"\u3000b", "\u3000夜の話"}));
    // Opened from a text drill: that text, by its name; a text without runs yet: them all.
    const std::pair<const char *, const char *> openings[] = {
        {"夜の話.txt", "\u3000夜の話"}, {"c.txt", "テキスト"}, {"", "テキスト"}};
    for (const auto &[open, chosen] : openings) {
        f.open(ownTextLevel, QString::fromUtf8(open));
        QCOMPARE(f.find<QComboBox>(QStringLiteral("levelChooser"))->currentText(),
                 QString::fromUtf8(chosen));
    }
    f.open(5);
    auto *chooser = f.find<QComboBox>(QStringLiteral("levelChooser"));
    QAbstractItemModel *table = f.table();

    chooser->setCurrentIndex(chooser->findText(QStringLiteral("\u3000b")));
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->data(table->index(0, 5)).toString(), QStringLiteral("25.0"));
    QVERIFY2(f.chartSummary().startsWith(QStringLiteral(
                 "スコア（秒＋ミス・少ないほど良い）。2 回を表示、最高 25.0、最新 25.0。")),
             qPrintable(f.chartSummary()));
    QCOMPARE(f.find<QComboBox>(QStringLiteral("missScope"))->itemText(1),
             QStringLiteral("テキスト"));
    f.chooseLevel(ownTextLevel); // every text, the one without a name too
    QCOMPARE(table->rowCount(), 4);

    chooser->setCurrentIndex(chooser->findText(QStringLiteral("\u3000夜の話")));
    append("c.txt", 35, 40);
    append("夜の話.txt", 45, 41);
    QSignalSpy shown(f.window.get(), SIGNAL(historyShown()));
    f.history->load(); // another copy's runs
    waitForHistory(shown);
    QCOMPARE(entriesAfterTexts(), (QStringList{"\u3000b", "\u3000夜の話", "\u3000c"}));
    QCOMPARE(chooser->currentText(), QStringLiteral("\u3000夜の話"));
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->data(table->index(0, 5)).toString(), QStringLiteral("45.0"));
}

// From the smallest size to a whole screen: nothing is cut off and the chart keeps room;
// the keyboard grows with the window.
void ProgressWindowTest::layoutFromSmallestToLargest()
{
    const ProgressFixture f(sampleHistory(), 5);
    QWidget *window = f.window.get();
    QWidget *keyboard = f.find(QStringLiteral("heatKeyboard"));
    window->resize(100, 100); // the layout keeps its least
    QTest::qWait(50);
    for (const char *name : {"progressChart", "kanaList", "heatKeyboard", "runCount"}) {
        QWidget *control = f.find(QString::fromLatin1(name));
        const QRect inWindow(control->mapTo(window, QPoint(0, 0)), control->size());
        QVERIFY2(window->rect().contains(inWindow), name);
    }
    QVERIFY(f.find(QStringLiteral("progressChart"))->height() >= 140);
    const int smallWidth = keyboard->width();
    window->resize(1800, 1100);
    QTest::qWait(50);
    QVERIFY(keyboard->width() > smallWidth * 2);
    QVERIFY(f.find(QStringLiteral("runTable"))->isVisible());
}

void ProgressWindowTest::tableAndLegendFit_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("legendRows");
    // Faults: speed, accuracy, record and the tick behind a horizontal scroll bar at the
    // default size; a title or a cell cut by its column; the legend's names run over each
    // other when the out-of-range diamond joins them; the table folded away at twice the size
    // on a 1280 x 1024 screen (the window's room there).
    QTest::newRow("default") << QSize(1000, 860) << 2;
    QTest::newRow("twice the size") << QSize(808, 482) << 2;
}

void ProgressWindowTest::tableAndLegendFit()
{
    QFETCH(QSize, size);
    QFETCH(int, legendRows);
    std::vector<Run> runs;
    for (int k = 0; k < 12; ++k)
        runs.push_back({5, k % 3 == 2, k == 8 ? 150.0 : 44.0 - k});
    const ProgressFixture f(runs, 5);
    f.window->resize(size);
    QTest::qWait(50);
    QCOMPARE(f.window->size(), size);

    auto *table = f.find<QTableView>(QStringLiteral("runTable"));
    QVERIFY(table->isVisible());
    QVERIFY(table->height() > 100);
    const QAbstractItemModel *model = table->model();
    QCOMPARE(model->rowCount(), 12);
    // The year is in the date's tooltip.
    QCOMPARE(model->data(model->index(0, 0)).toString(), QStringLiteral("05/12 20:00"));
    QCOMPARE(model->data(model->index(0, 0), Qt::ToolTipRole).toString(),
             QStringLiteral("2024/05/12 20:00"));
    const bool all = size.width() >= 1000;
    if (all)
        QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
    const QFontMetrics cells = table->fontMetrics();
    const QFontMetrics titles = table->horizontalHeader()->fontMetrics();
    const int margin = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    const int arrow = table->style()->pixelMetric(QStyle::PM_HeaderMarkSize);
    int shown = 0;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (table->isColumnHidden(column))
            continue;
        ++shown;
        const int width = table->columnWidth(column);
        const QString title = model->headerData(column, Qt::Horizontal).toString();
        QVERIFY2(titles.horizontalAdvance(title) + arrow + margin <= width, qPrintable(title));
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString text = model->data(model->index(row, column)).toString();
            QVERIFY2(cells.horizontalAdvance(text) + margin <= width, qPrintable(text));
        }
        if (all)
            QVERIFY2(table->columnViewportPosition(column) + width <= table->viewport()->width(),
                     qPrintable(title));
    }
    QCOMPARE(shown, 9); // all but the level's

    // Every name drawn, with the diamond's, in whole rows as wide as the chart at most.
    auto *legend = f.find<QLabel>(QStringLiteral("chartLegend"));
    QVERIFY(legend->isVisible());
    QTextDocument document;
    document.setHtml(legend->text());
    const QStringList rows = document.toPlainText().split(QLatin1Char('\n'));
    QCOMPARE(rows.size(), legendRows);
    const QString names = rows.join(QLatin1Char(' '));
    for (const char *name : {"順番", "ランダム", "範囲外", "順番の平均", "ランダムの平均", "最高"})
        QVERIFY2(names.contains(QString::fromUtf8(name)), name);
    const QFontMetrics legendFont(legend->font());
    for (const QString &row : rows)
        QVERIFY2(legendFont.horizontalAdvance(row) <= legend->width(), qPrintable(row));
}

// Fault: every resize put the table back to the width of all its columns, undoing the
// learner's drag.
void ProgressWindowTest::draggedTableWidthStays()
{
    const ProgressFixture f(sampleHistory(), 5);
    f.window->resize(1200, 860);
    QTest::qWait(50);
    auto *splitter = f.find<QSplitter>(QStringLiteral("runSplitter"));
    QCOMPARE(splitter->orientation(), Qt::Horizontal);
    const int laidOut = splitter->sizes().value(1);
    QSplitterHandle *handle = splitter->handle(1);
    const QPoint middle = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, {}, middle);
    QTest::mouseMove(handle, middle + QPoint(90, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, middle + QPoint(90, 0));
    const int dragged = splitter->sizes().value(1);
    QCOMPARE(dragged, laidOut - 90);
    for (const int width : {1400, 1000, 1200}) {
        f.window->resize(width, 860);
        QTest::qWait(50);
        QCOMPARE(splitter->sizes().value(1), dragged);
    }
}

void ProgressWindowTest::emptyHistoriesShowTheFirstRunNote_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("no RK.log") << false << QByteArray();
    QTest::newRow("empty") << true << QByteArray();
    QTest::newRow("damaged") << true
                             << QByteArray("\x00\xff\xfe garbage\n", 14) +
                                    "2024-05-01T20:00:00+09:00\t5\to\t4";
}

void ProgressWindowTest::emptyHistoriesShowTheFirstRunNote()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, contents);
    const ProgressFixture f(exists ? std::optional(contents) : std::nullopt);
    QCOMPARE(f.chartArea(),
             QStringLiteral("まだ記録がありません。レベルを選んでスタートしてください。"));
    QVERIFY(!f.find(QStringLiteral("progressChart"))->isVisible());
    QCOMPARE(f.find<QLabel>(QStringLiteral("runCount"))->text(), QStringLiteral("記録 0 回"));
    QVERIFY(f.heatKey(6)->toolTip().startsWith(QStringLiteral("F: 記録なし\n")));
    QCOMPARE(f.table()->rowCount(), 0);
}

// A history past 1 GB showed nothing at all: its newest runs are shown, and the older ones
// are said to be left out. The stretch between is a hole in a sparse file.
void ProgressWindowTest::historyPastItsBoundShowsItsNewestRuns()
{
    ProgressFixture f(std::nullopt);
    const QByteArray old = "2024-05-01T20:00:00+09:00\t5\to\t40.0\t0\t40.0\t0\t\t\t\n";
    const QByteArray recent = "\n2024-05-02T20:00:00+09:00\t5\to\t30.0\t0\t30.0\t0\t\t\t\n";
    QFile file(f.log());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    QVERIFY(file.resize(old.size() + largestRunLog));
    QVERIFY(file.seek(file.size()) && file.write(recent) == recent.size());
    file.close();
    f.open(5);
    const QString count = f.find<QLabel>(QStringLiteral("runCount"))->text();
    QVERIFY2(count.contains(QStringLiteral("古い記録を省いて")), qPrintable(count));
    QVERIFY2(count.contains(QStringLiteral("記録 1 回")), qPrintable(count));
    QCOMPARE(f.table()->rowCount(), 1);
}

void ProgressWindowTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
    // The program looks where the build installs the module, then beside itself; never in
    // the build tree, which only this suite names.
    const QStringList folders = progressPluginFolders();
    QCOMPARE(folders.size(), 2);
    QVERIFY2(folders.first().endsWith(QStringLiteral("/rinkaro")), qPrintable(folders.first()));
    QVERIFY(!folders.contains(QStringLiteral(RINKARO_PLUGIN_BUILD_DIR)));
    QCOMPARE(folders.last(), QCoreApplication::applicationDirPath());
    setProgressPluginFolders({QStringLiteral(RINKARO_PLUGIN_BUILD_DIR)});
}

void ProgressWindowTest::missingOrDamagedModuleIsReported()
{
    QTemporaryDir folder, other;
    QString error;
    // The box names every place tried.
    QVERIFY(!loadProgressWindowFactory({folder.path(), other.path()}, &error));
    QCOMPARE(error, QStringLiteral("%1/librinkaro_progress.so が見つかりません\n"
                                   "%2/librinkaro_progress.so が見つかりません")
                        .arg(folder.path(), other.path()));

    QFile fake(folder.filePath(QStringLiteral("librinkaro_progress.so")));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write("not a library");
    fake.close();
    error.clear();
    QVERIFY(!loadProgressWindowFactory({folder.path()}, &error));
    QVERIFY2(
        error.startsWith(fake.fileName() + QStringLiteral(" を読み込めませんでした。\n詳細: ")),
        qPrintable(error));
}

// The menu item opens the window on the main window's level; a run that ends while it is
// open appears in it at once, and neither that nor opening it again undoes what the learner
// chose in it.
void ProgressWindowTest::menuItemOpensTheWindowWhichFollowsNewRuns()
{
    TestWindow w;
    w.chooseLevel(5);
    const QString log = w.dir.filePath(QStringLiteral("RK.log"));
    QVERIFY(writeLog(log, sampleHistory()));
    QAction *item = w.action(QStringLiteral("progressItem"));
    QCOMPARE(item->text(), QStringLiteral("成績グラフ"));
    const QList<QAction *> options = w.find<QMenu>(QStringLiteral("Option1"))->actions();
    QCOMPARE(options.last(), item);
    QCOMPARE(options[options.size() - 2], w.action(QStringLiteral("favourWeakItem")));
    QCOMPARE(options[options.size() - 3], w.action(QStringLiteral("freeRomajiItem")));

    item->trigger();
    QWidget *window = w.find(QStringLiteral("progressWindow"));
    QVERIFY(window && window->isVisible() && window->isWindow());
    QSignalSpy shown(window, SIGNAL(historyShown()));
    waitForHistory(shown);
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QCOMPARE(window->windowTitle(), QStringLiteral("成績グラフ"));
    QCOMPARE(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"));
    auto *chooser = window->findChild<QComboBox *>(QStringLiteral("levelChooser"));
    QCOMPARE(chooser->currentText(), QStringLiteral("レベル5 ローマ字１"));

    // The learner looks at level 1's speed; a level-1 run is typed in the main window.
    chooser->setCurrentIndex(0);
    QTest::mouseClick(window->findChild<QAbstractButton *>(QStringLiteral("measureSpeed")),
                      Qt::LeftButton);
    w.chooseLevel(1);
    shown.clear();
    w.show(); // the learner goes back to the drill
    w.clickStart();
    w.type(levelInfo(1)->keyString);
    QVERIFY(!w.running());
    waitForHistory(shown);
    QTRY_COMPARE(window->findChild<QTableView *>(QStringLiteral("runTable"))->model()->rowCount(),
                 4);
    QVERIFY(
        window->findChild<QLabel *>(QStringLiteral("runCount"))->text().startsWith("記録 17 回"));
    QCOMPARE(chooser->currentIndex(), 0);
    QVERIFY(window->findChild<QAbstractButton *>(QStringLiteral("measureSpeed"))->isChecked());

    // Chosen again, the open window keeps its level.
    w.chooseLevel(5);
    shown.clear();
    item->trigger();
    waitForHistory(shown);
    QCOMPARE(chooser->currentIndex(), 0);
    QCOMPARE(w.window()->findChildren<QWidget *>(QStringLiteral("progressWindow")).size(), 1);
}

// Opened during a run, the window leaves the keyboard to the drill. (The offscreen platform
// activates every window it shows: the end-to-end test sees the real desktop's answer.)
void ProgressWindowTest::drillKeysStayWithTheMainWindow()
{
    TestWindow w;
    w.clickStart();
    QVERIFY(w.running());
    QAction *item = w.action(QStringLiteral("progressItem"));
    item->trigger();
    QWidget *window = w.find(QStringLiteral("progressWindow"));
    QVERIFY(window->isVisible());
    QVERIFY(window->testAttribute(Qt::WA_ShowWithoutActivating));
    w.show();
    w.type('q');
    QCOMPARE(w.platform.beeps, 1);

    w.clickStart(); // stopped
    item->trigger();
    QVERIFY(!window->testAttribute(Qt::WA_ShowWithoutActivating));
}

// Keys on the heat map and kana in the list are marked by a click and unmarked by another, one
// kind at a time; the button starts a weak drill of the marked ones in the main window.
void ProgressWindowTest::markedKeysAndKanaArePractised()
{
    TestWindow w;
    QVERIFY(writeLog(w.dir.filePath(QStringLiteral("RK.log")), sampleHistory()));
    w.action(QStringLiteral("progressItem"))->trigger();
    QWidget *window = w.find(QStringLiteral("progressWindow"));
    QSignalSpy shown(window, SIGNAL(historyShown()));
    waitForHistory(shown);
    auto *button = window->findChild<QAbstractButton *>(QStringLiteral("practiseSelectionButton"));
    QCOMPARE(button->text(), QStringLiteral("選んだ所を練習"));
    QVERIFY(!button->isEnabled());
    auto *heatMap = window->findChild<QWidget *>(QStringLiteral("keyHeatMap"));
    auto *keyQ = heatMap->findChild<QLabel *>(QStringLiteral("Panel%1").arg(keyTable[0].panel));
    QCOMPARE(keyQ->text(), QStringLiteral("Q"));
    auto *kanaList = window->findChild<QTreeWidget *>(QStringLiteral("kanaList"));
    QTreeWidgetItem *firstKana = kanaList->topLevelItem(0);
    const auto clickKana = [&] {
        QTest::mouseClick(kanaList->viewport(), Qt::LeftButton, {},
                          kanaList->visualItemRect(firstKana).center());
    };

    const auto keyMarked = [&] {
        return keyQ->toolTip().contains(QStringLiteral("練習に選んでいます"));
    };
    QTest::mouseClick(keyQ, Qt::LeftButton);
    QVERIFY(keyMarked());
    QVERIFY(button->isEnabled());
    clickKana(); // the key's mark goes
    QCOMPARE(firstKana->checkState(0), Qt::Checked);
    QVERIFY(!keyMarked());
    clickKana();
    QCOMPARE(firstKana->checkState(0), Qt::Unchecked);
    QVERIFY(!button->isEnabled());

    QTest::mouseClick(keyQ, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(w.running());
    QVERIFY(w.action(QStringLiteral("weakKeysItem"))->isChecked());
    w.show(); // activated by the window manager on a desktop
    int items = 0, marked = 0;
    while (w.running() && items < 100) {
        ++items;
        marked += w.textPanel()->text() == QStringLiteral("Q");
        w.type(w.textPanel()->text().toLower());
    }
    QCOMPARE(items, 34);
    QVERIFY2(marked >= 11, qPrintable(QString::number(marked)));
}

void ProgressWindowTest::readableWithoutTheMouse()
{
    ProgressFixture f(sampleHistory());
    QCOMPARE(QAccessible::queryAccessibleInterface(f.window.get())->role(), QAccessible::Window);
    for (const auto &[chooser, caption] :
         {std::pair{"levelChooser", "レベル"}, std::pair{"missScope", "キーとかなの集計"}}) {
        const auto labels = QAccessible::queryAccessibleInterface(f.find(QLatin1String(chooser)))
                                ->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.front().first->text(QAccessible::Name), QString::fromUtf8(caption));
    }
    // Level 5's eleven runs: the last five against the five before.
    QVERIFY(f.chartSummary().startsWith(
        QStringLiteral("スコア（秒＋ミス・少ないほど良い）。11 回を表示、最高 38.0、最新 44.0。"
                       "最近の 5 回はその前の 5 回より良くなっています。")));
    QApplication::setActiveWindow(f.window.get());
    // Opened, the window starts at the level, not in the table; Tab reaches every control,
    // each with a name, and leaves the table.
    QCOMPARE(QApplication::focusWidget(), f.find(QStringLiteral("levelChooser")));
    QStringList chain;
    for (int step = 0; step < 30; ++step) {
        QWidget *focus = QApplication::focusWidget();
        const QString name = QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(focus->objectName()));
        if (!chain.contains(focus->objectName()))
            chain << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    // A row of toggles is one stop, as radio buttons are; the heat map is another.
    for (const char *name : {"measureScore", "axisRuns", "progressChart", "runTable", "tableScope",
                             "missScope", "heatMisses", "kanaList"})
        QVERIFY2(chain.contains(QLatin1String(name)), qPrintable(chain.join(u' ')));
    QVERIFY(chain.indexOf(QStringLiteral("runTable")) < chain.indexOf(QStringLiteral("missScope")));
    QVERIFY(chain.contains(QStringLiteral("Panel%1").arg(keyTable[0].panel)));
    // The arrows choose within a row of toggles.
    auto *score = f.find<QAbstractButton>(QStringLiteral("measureScore"));
    score->setFocus();
    QTest::keyClick(score, Qt::Key_Right);
    QCOMPARE(QApplication::focusWidget(), f.find(QStringLiteral("measureSpeed")));
    QVERIFY(f.chartSummary().startsWith(QStringLiteral("速さ")));

    // The heat map's keys by the arrows, each saying its figures, marked with Space.
    QWidget *key = f.heatKey(keyTable[0].panel);
    key->setFocus();
    QTest::keyClick(key, Qt::Key_Right);
    QWidget *next = QApplication::focusWidget();
    QCOMPARE(next, f.heatKey(keyTable[1].panel));
    QVERIFY2(next->accessibleName().startsWith(QStringLiteral("W: ")),
             qPrintable(next->accessibleName()));
    QTest::keyClick(next, Qt::Key_Space);
    QVERIFY(next->accessibleName().endsWith(QStringLiteral("練習に選択")));
    QVERIFY(f.find(QStringLiteral("practiseSelectionButton"))->isEnabled());
    QTest::keyClick(next, Qt::Key_Space);
    // The kana list likewise.
    auto *kana = f.find<QTreeWidget>(QStringLiteral("kanaList"));
    kana->setFocus();
    kana->setCurrentItem(kana->topLevelItem(0));
    QTest::keyClick(kana, Qt::Key_Down);
    QTest::keyClick(kana, Qt::Key_Space);
    QCOMPARE(kana->topLevelItem(1)->checkState(0), Qt::Checked);
    QTest::keyClick(f.window.get(), Qt::Key_Escape);
    QVERIFY(!f.window->isVisible());
}

QTEST_MAIN(ProgressWindowTest)
#include "test_progresswindow.moc"
