// The statistics window, loaded from its plugin in the build tree and shown offscreen over
// a history written with the program's own log writer: the chart's series, the heat map's
// colours and tooltips, the kana list, the empty states, and the menu item that opens it.
#include "core/runlog.h"
#include "gui/progresswindowloader.h"
#include "testwindow.h"

#include <QComboBox>
#include <QFontInfo>
#include <QMenu>
#include <QSignalSpy>
#include <QTimeZone>
#include <QTreeWidget>

#include <algorithm>
#include <optional>

namespace
{

const QDateTime firstDay(QDate(2024, 5, 1), QTime(20, 0), QTimeZone(9 * 3600));

struct Run {
    int level;
    bool random;
    double score;
    RunTally tally = {};
};

RunLogEntry entryOf(const Run &run, int day)
{
    RunLogEntry entry;
    entry.ended = firstDay.addDays(day);
    entry.level = run.level;
    entry.randomOrder = run.random;
    entry.seconds = run.score;
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

// A chart series of a window by its name (the test cannot link Qt Charts).
QList<QPointF> seriesPoints(QWidget *window, const QString &series)
{
    QList<QPointF> result;
    QMetaObject::invokeMethod(window, "seriesPoints", Q_RETURN_ARG(QList<QPointF>, result),
                              Q_ARG(QString, series));
    return result;
}

// Level 1: F missed 12 times in 286 (4.2 %, mostly as D), J never, A a third of the time.
// Level 5: し missed 6 times in 24 (as J four times), つ 2 in 42. Levels 2-4, 6, 8 and 9
// have no runs.
std::vector<Run> sampleHistory()
{
    RunTally keys;
    addMisses(keys, 10, {QString(), 'f', 'd'});
    addMisses(keys, 2, {QString(), 'f', 'g'});
    addMisses(keys, 50, {QString(), 'a', 's'});
    keys.rightKeys = {{'f', 274}, {'j', 300}, {'a', 100}};
    RunTally kana;
    addMisses(kana, 4, {QStringLiteral("し"), 'h', 'j'});
    addMisses(kana, 2, {QStringLiteral("し"), 'i', 'u'});
    addMisses(kana, 2, {QStringLiteral("つ"), 't', 'r'});
    kana.rightKeys = {{'s', 24}, {'h', 24}, {'i', 24}, {'t', 40}, {'u', 40}};
    kana.kanaTyped = {{QStringLiteral("し"), 18}, {QStringLiteral("つ"), 40}};
    return {{1, false, 30.0, keys}, {5, false, 52.0, kana}, {5, true, 60.0},  {5, false, 47.5},
            {1, false, 25.0},       {5, false, 45.0},       {5, true, 55.5},  {5, false, 39.5},
            {7, true, 180.0},       {5, false, 41.0},       {5, true, 58.0},  {5, false, 38.0},
            {1, false, 22.5},       {5, true, 49.0},        {7, true, 170.5}, {5, false, 44.0}};
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
    void chooseLevel(int level) const
    {
        auto *chooser = find<QComboBox>(QStringLiteral("levelChooser"));
        chooser->setCurrentIndex(chooser->findData(level));
    }
    // Misses over all levels (0) or the chosen one.
    void chooseScope(int level) const
    {
        if (level != 0)
            chooseLevel(level);
        find<QComboBox>(QStringLiteral("missScope"))->setCurrentIndex(level == 0 ? 0 : 1);
    }
    QLabel *heatKey(int panel) const
    {
        return find(QStringLiteral("keyHeatMap"))
            ->findChild<QLabel *>(QStringLiteral("Panel%1").arg(panel));
    }
    // What the chart area shows: the chart, or the text that stands in for it.
    QString chartArea() const
    {
        auto *label = find<QLabel>(QStringLiteral("emptyLabel"));
        return label->isVisible() ? label->text() : QStringLiteral("chart");
    }
};

QList<double> scoresOf(const QList<QPointF> &points)
{
    QList<double> scores;
    for (const QPointF &p : points)
        scores << p.y();
    return scores;
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
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void chartShowsEachOrderModeAgainstTheStandard_data();
    void chartShowsEachOrderModeAgainstTheStandard();
    void longHistoryKeepsItsEnvelope();
    void heatMapRunsFromTheLegendsLowToItsHigh();
    void keyToolTipsGiveRateMissesAndWrongKey_data();
    void keyToolTipsGiveRateMissesAndWrongKey();
    void kanaListPutsTheMostMissedFirst();
    void emptyHistoriesShowTheFirstRunNote_data();
    void emptyHistoriesShowTheFirstRunNote();
    void missingOrDamagedModuleIsReported();

    void menuItemOpensAndRefreshesTheWindow();
    void drillKeysStayWithTheMainWindow();
};

void ProgressWindowTest::chartShowsEachOrderModeAgainstTheStandard_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QList<double>>("ordered");
    QTest::addColumn<QList<double>>("random");
    QTest::addColumn<QString>("shown");
    QTest::newRow("keys") << 1 << QList<double>{30.0, 25.0, 22.5} << QList<double>{} << "chart";
    QTest::newRow("syllables") << 5 << QList<double>{52.0, 47.5, 45.0, 39.5, 41.0, 38.0, 44.0}
                               << QList<double>{60.0, 55.5, 58.0, 49.0} << "chart";
    QTest::newRow("phrases, random only")
        << 7 << QList<double>{} << QList<double>{180.0, 170.5} << "chart";
    QTest::newRow("no runs") << 9 << QList<double>{} << QList<double>{}
                             << "このレベルの記録はまだありません。";
}

void ProgressWindowTest::chartShowsEachOrderModeAgainstTheStandard()
{
    QFETCH(int, level);
    QFETCH(QList<double>, ordered);
    QFETCH(QList<double>, random);
    QFETCH(QString, shown);
    const ProgressFixture f(sampleHistory(), 5);
    f.chooseLevel(level);
    QCOMPARE(f.chartArea(), shown);
    QCOMPARE(scoresOf(f.points(QStringLiteral("順番"))), ordered);
    QCOMPARE(scoresOf(f.points(QStringLiteral("ランダム"))), random);
    if (ordered.isEmpty() && random.isEmpty())
        return;

    // The standard line spans every run at the level's standard score.
    const QList<QPointF> runs =
        f.points(QStringLiteral("順番")) + f.points(QStringLiteral("ランダム"));
    const QList<QPointF> standard = f.points(QStringLiteral("標準スコア"));
    QCOMPARE(standard.size(), 2);
    QCOMPARE(standard[0].y(), double(ScoreBook::standardScore(level)));
    QCOMPARE(standard[1].y(), double(ScoreBook::standardScore(level)));
    for (const QPointF &run : runs)
        QVERIFY(standard[0].x() < run.x() && run.x() < standard[1].x());

    // One star on the lowest score of each order mode, at that run.
    QList<double> bests;
    for (const QList<double> &scores : {ordered, random})
        if (!scores.isEmpty())
            bests << *std::min_element(scores.begin(), scores.end());
    const QList<QPointF> stars = f.points(QStringLiteral("最高"));
    QCOMPARE(scoresOf(stars), bests);
    for (const QPointF &star : stars)
        QVERIFY(runs.contains(star));
}

void ProgressWindowTest::longHistoryKeepsItsEnvelope()
{
    // Thousands of runs are drawn thinned; the best and the worst run must survive it.
    std::vector<Run> runs;
    for (int k = 0; k < 5000; ++k)
        runs.push_back({3, false, 20.0 + (k * 7919) % 400 / 10.0});
    runs[1234].score = 12.5;
    runs[4321].score = 95.0;
    const ProgressFixture f(runs, 3);
    const QList<double> scores = scoresOf(f.points(QStringLiteral("順番")));
    QVERIFY(scores.size() < 2000);
    QVERIFY(scores.contains(12.5));
    QVERIFY(scores.contains(95.0));
    QCOMPARE(scoresOf(f.points(QStringLiteral("最高"))), QList<double>{12.5});
}

void ProgressWindowTest::heatMapRunsFromTheLegendsLowToItsHigh()
{
    const ProgressFixture f(sampleHistory());
    f.chooseScope(0);
    const QImage legend = f.find(QStringLiteral("missLegend"))->grab().toImage();
    const QColor low = legend.pixelColor(3, legend.height() / 2);
    const QColor high = legend.pixelColor(legend.width() - 4, legend.height() / 2);
    const QColor never = f.heatKey(10)->palette().color(QPalette::Window); // J
    const QColor most = f.heatKey(1)->palette().color(QPalette::Window);   // A, a third missed
    QVERIFY2(near(never, low), qPrintable(never.name() + " vs " + low.name()));
    QVERIFY2(near(most, high), qPrintable(most.name() + " vs " + high.name()));
    QVERIFY(never.lightness() > most.lightness() + 100);
    // Readable captions on both ends, and the scale's top named.
    QVERIFY(f.heatKey(1)->palette().color(QPalette::WindowText).lightness() > 200);
    QVERIFY(f.heatKey(10)->palette().color(QPalette::WindowText).lightness() < 50);
    QCOMPARE(f.find<QLabel>(QStringLiteral("missLegendMaximum"))->text(), QStringLiteral("33.3 %"));
}

void ProgressWindowTest::keyToolTipsGiveRateMissesAndWrongKey_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<int>("panel");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("F") << 0 << 6 << "F: 4.2 %、ミス 12 回、よく押す誤キー D";
    QTest::newRow("never missed") << 0 << 10 << "J: 0.0 %、ミス 0 回";
    QTest::newRow("never typed") << 0 << 17 << "Q: 記録なし";
    QTest::newRow("H in level 5") << 5 << 8 << "H: 14.3 %、ミス 4 回、よく押す誤キー J";
    QTest::newRow("F not in level 5") << 5 << 6 << "F: 記録なし";
}

void ProgressWindowTest::keyToolTipsGiveRateMissesAndWrongKey()
{
    QFETCH(int, scope);
    QFETCH(int, panel);
    QFETCH(QString, toolTip);
    const ProgressFixture f(sampleHistory(), 1);
    f.chooseScope(scope);
    QCOMPARE(f.heatKey(panel)->toolTip(), toolTip);
}

void ProgressWindowTest::kanaListPutsTheMostMissedFirst()
{
    const ProgressFixture f(sampleHistory(), 1);
    auto *list = f.find<QTreeWidget>(QStringLiteral("kanaList"));
    auto *note = f.find<QLabel>(QStringLiteral("kanaEmptyLabel"));
    const QTreeWidgetItem *header = list->headerItem();
    QCOMPARE((QStringList{header->text(0), header->text(1), header->text(2), header->text(3)}),
             (QStringList{"かな", "ミス率", "ミス", "よく押す誤キー"}));

    f.chooseScope(0);
    QCOMPARE(list->topLevelItemCount(), 2);
    const QTreeWidgetItem *first = list->topLevelItem(0);
    QCOMPARE((QStringList{first->text(0), first->text(1), first->text(2), first->text(3)}),
             (QStringList{"し", "25.0 %", "6", "J"}));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("つ"));
    QVERIFY(list->isVisible());

    f.chooseScope(1); // a key level has no kana
    QVERIFY(!list->isVisible());
    QVERIFY(note->isVisible());
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
    QCOMPARE(f.heatKey(6)->toolTip(), QStringLiteral("F: 記録なし"));
}

void ProgressWindowTest::missingOrDamagedModuleIsReported()
{
    QTemporaryDir folder;
    QString error;
    QVERIFY(!loadProgressWindowFactory({folder.path()}, &error));
    QVERIFY2(error.contains(QStringLiteral("librinkaro_progress.so")), qPrintable(error));

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

void ProgressWindowTest::menuItemOpensAndRefreshesTheWindow()
{
    TestWindow w;
    w.chooseLevel(5);
    const QString log = w.dir.filePath(QStringLiteral("RK.log"));
    std::vector<Run> runs = sampleHistory();
    QVERIFY(writeLog(log, runs));
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
    QCOMPARE(window->findChild<QComboBox *>(QStringLiteral("levelChooser"))->currentText(),
             QStringLiteral("Level 5 ローマ字１"));
    QVERIFY(w.platform.messages.empty() || w.platform.messages.back().caption != "成績グラフ");

    // Opened again, the same window reads the runs made meanwhile.
    runs.push_back({5, true, 47.0});
    QVERIFY(writeLog(log, runs));
    shown.clear();
    item->trigger();
    waitForHistory(shown);
    QCOMPARE(w.window()->findChildren<QWidget *>(QStringLiteral("progressWindow")).size(), 1);
    QCOMPARE(seriesPoints(window, QStringLiteral("ランダム")).size(), 5);
}

void ProgressWindowTest::drillKeysStayWithTheMainWindow()
{
    TestWindow w;
    w.clickStart();
    QVERIFY(w.running());
    w.action(QStringLiteral("progressItem"))->trigger();
    QWidget *window = w.find(QStringLiteral("progressWindow"));
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == window ? focus : window, 'q');
    QCOMPARE(w.platform.beeps, 0);

    w.show(); // the main window active again: the same wrong key is judged
    w.type('q');
    QCOMPARE(w.platform.beeps, 1);
}

QTEST_MAIN(ProgressWindowTest)
#include "test_progresswindow.moc"
