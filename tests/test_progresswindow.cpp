// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics window, loaded from its plugin in the build tree and shown offscreen over
// a history written with the program's own log writer: the chart's series along run numbers
// and dates in each measure, outliers, zoom and tooltips; the heat map in both modes and the
// kana list; the table of runs and the totals; the layout at its extremes; the empty states;
// and the main window's side: the menu item, new runs followed, the keyboard left alone.
#include "core/levels.h"
#include "core/runlog.h"
#include "gui/progresswindowloader.h"
#include "testwindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QFontInfo>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QTimeZone>
#include <QToolTip>
#include <QTreeWidget>

#include <algorithm>
#include <numeric>
#include <optional>

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

// What the window tells about its chart (the test cannot link Qt Charts).
QList<QPointF> seriesPoints(QWidget *window, const QString &series)
{
    QList<QPointF> points;
    QMetaObject::invokeMethod(window, "seriesPoints", Q_RETURN_ARG(QList<QPointF>, points),
                              Q_ARG(QString, series));
    return points;
}
QList<double> valueScale(QWidget *window)
{
    QList<double> scale;
    QMetaObject::invokeMethod(window, "valueScale", Q_RETURN_ARG(QList<double>, scale));
    return scale;
}
QPoint chartPosition(QWidget *window, const QPointF &value)
{
    QPoint position;
    QMetaObject::invokeMethod(window, "chartPosition", Q_RETURN_ARG(QPoint, position),
                              Q_ARG(QPointF, value));
    return position;
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
    void open(int level)
    {
        QString error;
        ProgressWindowFactory *factory = loadProgressWindowFactory(progressPluginFolders(), &error);
        if (!factory)
            qFatal("no plugin: %s", qPrintable(error));
        window.reset(factory->createProgressWindow(log(), level, nullptr));
        QSignalSpy shown(window.get(), SIGNAL(historyShown()));
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        waitForHistory(shown);
    }

    template <typename T = QWidget> T *find(const QString &name) const
    {
        return window->findChild<T *>(name);
    }
    QList<QPointF> points(const QString &series) const
    {
        return seriesPoints(window.get(), series);
    }
    QList<double> scale() const { return valueScale(window.get()); }
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

QList<double> valuesOf(const QList<QPointF> &points, bool x = false)
{
    QList<double> values;
    for (const QPointF &p : points)
        values << (x ? p.x() : p.y());
    return values;
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

    void chartShowsRunsInOrder_data();
    void chartShowsRunsInOrder();
    void measuresAndDates();
    void outliersStayOutOfTheScale();
    void longHistoryKeepsItsEnvelope();
    void zoomAndToolTips();
    void heatMapInBothModes();
    void keyToolTips_data();
    void keyToolTips();
    void kanaListRanksByEither();
    void tableOfRunsAndTotals();
    void layoutFromSmallestToLargest();
    void emptyHistoriesShowTheFirstRunNote_data();
    void emptyHistoriesShowTheFirstRunNote();
    void historyPastItsBoundShowsItsNewestRuns();
    void missingOrDamagedModuleIsReported();

    void menuItemOpensTheWindowWhichFollowsNewRuns();
    void drillKeysStayWithTheMainWindow();
    void markedKeysAndKanaArePractised();
    void readableWithoutTheMouse();
};

void ProgressWindowTest::chartShowsRunsInOrder_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QList<double>>("orderedX");
    QTest::addColumn<QList<double>>("ordered");
    QTest::addColumn<QList<double>>("random");
    QTest::addColumn<QString>("shown");
    QTest::newRow("keys") << 1 << QList<double>{1, 2, 3} << QList<double>{30.0, 25.0, 22.5}
                          << QList<double>{} << "chart";
    QTest::newRow("syllables") << 5 << QList<double>{1, 3, 4, 6, 7, 9, 11}
                               << QList<double>{52.0, 47.5, 45.0, 39.5, 41.0, 38.0, 44.0}
                               << QList<double>{60.0, 55.5, 58.0, 49.0} << "chart";
    QTest::newRow("phrases, random only")
        << 7 << QList<double>{} << QList<double>{} << QList<double>{180.0, 170.5} << "chart";
    QTest::newRow("no runs") << 9 << QList<double>{} << QList<double>{} << QList<double>{}
                             << "このレベルの記録はまだありません。";
}

// Runs by their number within the level, each order mode with its average; the standard
// score across; each mode's best starred beside its point, not over it.
void ProgressWindowTest::chartShowsRunsInOrder()
{
    QFETCH(int, level);
    QFETCH(QList<double>, orderedX);
    QFETCH(QList<double>, ordered);
    QFETCH(QList<double>, random);
    QFETCH(QString, shown);
    const ProgressFixture f(sampleHistory(), 5);
    f.chooseLevel(level);
    QCOMPARE(f.chartArea(), shown);
    QCOMPARE(valuesOf(f.points(QStringLiteral("順番")), true), orderedX);
    QCOMPARE(valuesOf(f.points(QStringLiteral("順番"))), ordered);
    QCOMPARE(valuesOf(f.points(QStringLiteral("ランダム"))), random);
    if (ordered.isEmpty() && random.isEmpty())
        return;

    const QList<QPointF> averages =
        f.points(QStringLiteral("順番の平均")) + f.points(QStringLiteral("ランダムの平均"));
    QCOMPARE(averages.size(), ordered.size() + random.size());
    if (!ordered.isEmpty())
        QCOMPARE(f.points(QStringLiteral("順番の平均")).last().y(),
                 std::accumulate(ordered.begin(), ordered.end(), 0.0) / ordered.size());

    const QList<QPointF> standard = f.points(QStringLiteral("標準スコア"));
    QCOMPARE(standard.size(), 2);
    QCOMPARE(standard[0].y(), double(ScoreBook::standardScore(level)));
    const QList<QPointF> runs =
        f.points(QStringLiteral("順番")) + f.points(QStringLiteral("ランダム"));
    for (const QPointF &run : runs)
        QVERIFY(standard[0].x() <= run.x() && run.x() <= standard[1].x());

    const QList<QPointF> stars = f.points(QStringLiteral("最高"));
    QCOMPARE(stars.size(), int(!ordered.isEmpty()) + int(!random.isEmpty()));
    for (const QPointF &star : stars) {
        const auto best = std::find_if(runs.begin(), runs.end(),
                                       [&](const QPointF &run) { return run.x() == star.x(); });
        QVERIFY(best != runs.end());
        QVERIFY(star.y() < best->y()); // below the lowest score, where no run is
    }
    // The scale's top is a whole tick above every run, whatever was shown before.
    const QList<double> scale = f.scale();
    for (const QPointF &run : runs)
        QVERIFY(run.y() >= scale[0] && run.y() <= scale[1]);
}

void ProgressWindowTest::measuresAndDates()
{
    // Four level-5 runs of 46 kana (138 right presses) with two misses each.
    RunTally kana;
    addMisses(kana, 2, {QStringLiteral("し"), 'h', 'j'});
    kana.rightKeys = {{'h', 46}, {'i', 46}, {'s', 46}};
    kana.kanaTyped = {{QStringLiteral("し"), 46}};
    const ProgressFixture f(std::vector<Run>{
        {5, false, 46, kana}, {5, false, 40, kana}, {5, false, 50, kana}, {5, false, 45, kana}});
    f.click(QStringLiteral("measureSpeed"));
    QCOMPARE(valuesOf(f.points(QStringLiteral("順番"))),
             (QList<double>{60.0, 46 * 60 / 40.0, 46 * 60 / 50.0, 46 * 60 / 45.0}));
    QVERIFY(f.points(QStringLiteral("標準スコア")).isEmpty());
    f.click(QStringLiteral("measureAccuracy"));
    QCOMPARE(f.points(QStringLiteral("順番")).first().y(), 138 * 100 / 140.0);
    QVERIFY(f.scale()[1] <= 100);

    f.click(QStringLiteral("axisDates"));
    QCOMPARE(f.points(QStringLiteral("順番")).first().x(), double(firstDay.toMSecsSinceEpoch()));
    // Choosing the level again keeps the measure and the axis.
    f.chooseLevel(1);
    f.chooseLevel(5);
    QVERIFY(f.find<QAbstractButton>(QStringLiteral("measureAccuracy"))->isChecked());
    QCOMPARE(f.points(QStringLiteral("順番")).first().x(), double(firstDay.toMSecsSinceEpoch()));
}

// One run ten times slower, and one dated years back by a clock reset, are drawn at the
// scale's edge; the other runs keep the scale.
void ProgressWindowTest::outliersStayOutOfTheScale()
{
    std::vector<Run> runs;
    for (int k = 0; k < 20; ++k)
        runs.push_back({3, false, 20.0 + k % 5});
    runs[7].score = 230.0;
    runs[12].ended = QDateTime(QDate(2000, 1, 1), QTime(0, 0), QTimeZone(9 * 3600));
    const ProgressFixture f(runs, 3);
    QVERIFY(f.scale()[1] < 40);
    QCOMPARE(f.points(QStringLiteral("範囲外")).size(), 1);
    QVERIFY(!valuesOf(f.points(QStringLiteral("順番"))).contains(230.0));

    f.click(QStringLiteral("axisDates"));
    const QList<QPointF> outside = f.points(QStringLiteral("範囲外"));
    QCOMPARE(outside.size(), 2);
    const double days = (firstDay.addDays(19).toMSecsSinceEpoch() -
                         std::min(valuesOf(outside, true)[0], valuesOf(outside, true)[1])) /
                        86400e3;
    QVERIFY2(days < 30, qPrintable(QString::number(days)));
}

void ProgressWindowTest::longHistoryKeepsItsEnvelope()
{
    // Thousands of runs are drawn thinned; the best and the worst run must survive it.
    std::vector<Run> runs;
    for (int k = 0; k < 5000; ++k)
        runs.push_back({3, false, 20.0 + (k * 7919) % 400 / 10.0, {}, firstDay.addSecs(600 * k)});
    runs[1234].score = 12.5;
    runs[4321].score = 95.0;
    const ProgressFixture f(runs, 3);
    const QList<double> scores = valuesOf(f.points(QStringLiteral("順番")));
    QVERIFY(scores.size() < 2000);
    QVERIFY(scores.contains(12.5));
    QVERIFY(scores.contains(95.0));
    QCOMPARE(valuesOf(f.points(QStringLiteral("最高")), true), QList<double>{1235});
}

// The wheel zooms about the pointer and the button shows everything again; a run's tooltip
// names it and stays while the pointer rests on it.
void ProgressWindowTest::zoomAndToolTips()
{
    const ProgressFixture f(sampleHistory(), 5);
    auto *chart = f.find<QAbstractScrollArea>(QStringLiteral("progressChart"));
    auto *reset = f.find<QAbstractButton>(QStringLiteral("zoomReset"));
    QVERIFY(!reset->isEnabled());
    const QPoint best = chartPosition(f.window.get(), QPointF(9, 38));
    for (int step = 0; step < 4; ++step) {
        QWheelEvent wheel(best, chart->viewport()->mapToGlobal(best), {}, {0, 120}, Qt::NoButton,
                          {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(chart->viewport(), &wheel);
    }
    QVERIFY(reset->isEnabled());
    const QList<double> shown = valuesOf(f.points(QStringLiteral("順番")), true);
    QVERIFY(shown.size() < 7 && shown.contains(9));

    const QPoint at = chartPosition(f.window.get(), QPointF(9, 38));
    for (int rest = 0; rest < 2; ++rest) {
        QHelpEvent help(QEvent::ToolTip, at, chart->viewport()->mapToGlobal(at));
        QApplication::sendEvent(chart->viewport(), &help);
        QTest::qWait(50);
        QVERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(
                     QStringLiteral("9 回目・順番\nスコア 38.0（38.0 秒＋ミス 0）")),
                 qPrintable(QToolTip::text()));
        QVERIFY(QToolTip::text().contains(QStringLiteral("★ 順番の最高")));
    }
    QHelpEvent away(QEvent::ToolTip, QPoint(2, 2), chart->viewport()->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(chart->viewport(), &away);
    QTRY_VERIFY(!QToolTip::isVisible());

    QTest::mouseClick(reset, Qt::LeftButton);
    QVERIFY(!reset->isEnabled());
    QCOMPARE(f.points(QStringLiteral("順番")).size(), 7);
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
    QCOMPARE(f.heatKey(17)->palette().color(QPalette::WindowText), QColor(0x70, 0x70, 0x70));
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
    QCOMPARE(f.heatKey(key)->toolTip(), toolTip + QStringLiteral("\nクリックで練習に選べます"));
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
    // Smoothed toward 11 misses in 71 presses: ー 3 in 5 ranks above し 6 in 24.
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(row(0), (QStringList{"ー", "30.3 %", "3/5", "―", "BS"}));
    QCOMPARE(row(1), (QStringList{"し", "22.2 %", "6/24", "―", "J"}));
    QCOMPARE(row(2)[0], QStringLiteral("つ"));
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
    QCOMPARE(header, (QStringList{"日時", "Lv", "順序", "時間", "ミス", "スコア", "速さ", "正確さ",
                                  "記録"}));
    // The newest first.
    QCOMPARE(cell(0, 0), QStringLiteral("24/05/16 20:00"));
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
    QCOMPARE(options[options.size() - 2], w.action(QStringLiteral("freeRomajiItem")));

    item->trigger();
    QWidget *window = w.find(QStringLiteral("progressWindow"));
    QVERIFY(window && window->isVisible() && window->isWindow());
    QSignalSpy shown(window, SIGNAL(historyShown()));
    waitForHistory(shown);
    QCOMPARE(window->windowModality(), Qt::NonModal);
    QCOMPARE(window->windowTitle(), QStringLiteral("成績グラフ"));
    QCOMPARE(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"));
    auto *chooser = window->findChild<QComboBox *>(QStringLiteral("levelChooser"));
    QCOMPARE(chooser->currentText(), QStringLiteral("Level 5 ローマ字１"));

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
    QCOMPARE(window->findChild<QTableView *>(QStringLiteral("runTable"))->model()->rowCount(), 4);
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

    const auto keyMarked = [&] { return keyQ->toolTip().contains(QStringLiteral("練習に選んでいます")); };
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
    QCOMPARE(
        f.find(QStringLiteral("progressChart"))->accessibleDescription(),
        QStringLiteral("スコア（秒＋ミス・少ないほど良い）。11 回を表示、最高 38.0、最新 44.0。"
                       "最近の 5 回はその前の 5 回より良くなっています。"));
    QApplication::setActiveWindow(f.window.get());
    QTest::keyClick(f.window.get(), Qt::Key_Escape);
    QVERIFY(!f.window->isVisible());
}

QTEST_MAIN(ProgressWindowTest)
#include "test_progresswindow.moc"
