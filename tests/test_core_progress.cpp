// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics gathered from a history: miss rates and times per key and what was typed
// instead, the kana ranked by either, smoothing toward the overall rate, press times held
// down, each run's speed and accuracy, the totals and streaks (a run dated ahead left out),
// runs the learner left out, a history read on in two parts; the chart's scale, series,
// outliers, points, stars and date ticks; and where the window goes beside the main window.
#include "core/chartplan.h"
#include "core/chartscale.h"
#include "core/leftoutruns.h"
#include "core/presstimes.h"
#include "core/progressstats.h"
#include "core/windowplacement.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace rinkaro;

namespace
{

// Level 1 and 3 lines carry times from field 11 on; the level 2 and 5 lines were written
// before times were kept.
const char *const history[] = {
    "2026-12-05T10:00:00+09:00\t1\to\t20.5\t4\t24.5\t1\tf>d f>d f>g j>k\tf:6 j:9\t\tf:3000 "
    "j:4500\t",
    "2026-12-06T10:00:00+09:00\t2\to\t12.0\t1\t13.0\t1\tf>g\tf:4\t",
    "2026-12-07T10:00:00+09:00\t3\to\t18.0\t0\t18.0\t1\t\tf:1\t\tf:900\t",
    "2026-12-07T11:00:00+09:00\t3\to\t19.0\t0\t19.0\t0\t\tf:1\t\tf:300\t",
    "2026-12-07T12:00:00+09:00\t3\tr\t25.0\t0\t25.0\t1\t\tf:1\t",
    "2026-12-09T10:00:00+09:00\t5\to\t30.0\t5\t35.0\t1\tし:h>j し:i>u つ:t>r ふ:h>f あ:a>s\th:2"
    "\tあ:1 か:5 し:2 つ:1 ふ:3",
    "2026-12-09T23:30:00+09:00\t7\to\t40.0\t3\t43.0\t1\tっ:t>k っ:t>t っ:k>j\tk:1 t:1\tっ:1\tk:400 "
    "t:200\tっ:200",
};

ProgressStats gathered(int from = 0, int to = int(std::size(history)))
{
    ProgressStats stats;
    for (int k = from; k < to; ++k)
        stats.add(parseRunLogLine(history[k]).value());
    return stats;
}

PressFigures presses(int misses, int right, qint64 timedMs = 0, int timed = 0)
{
    PressFigures figures;
    figures.misses = misses;
    figures.right = right;
    figures.timedMs = timedMs;
    figures.timed = timed;
    return figures;
}

} // namespace

class CoreProgressTest : public QObject
{
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
    void smoothing_data();
    void smoothing();
    void rankedKana_data();
    void rankedKana();
    void runsAndTotals();
    void futureRunsAndLeftOutRuns();
    void pressTimes_data();
    void pressTimes();
    void leftOutList_data();
    void leftOutList();
    void leftOutListFile();
    void historyReadOnAddsUp();
    void textRuns_data();
    void textRuns();
    void scale_data();
    void scale();
    void movingAverage_data();
    void movingAverage();
    void placement_data();
    void placement();
    void centredOnTheScreen();
    void runsInWords();
    void chartSeries_data();
    void chartSeries();
    void chartPoints();
    void chartEdges();
    void chartLongHistory();
    void chartViewRange_data();
    void chartViewRange();
    void chartDrawing_data();
    void chartDrawing();
    void dateTicks_data();
    void dateTicks();
};

void CoreProgressTest::keys_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<char>("key");
    QTest::addColumn<int>("misses");
    QTest::addColumn<int>("right");
    QTest::addColumn<char>("instead");
    QTest::addColumn<int>("timed");
    QTest::addColumn<double>("meanMs"); // NaN: unknown
    const double unknown = std::nan("");
    QTest::newRow("level 1, f") << 1 << 'f' << 3 << 6 << 'd' << 6 << 500.0;
    QTest::newRow("level 2, f: no times") << 2 << 'f' << 1 << 4 << 'g' << 0 << unknown;
    // The untimed presses of levels 2 and 3 count for the rate, not for the time.
    QTest::newRow("all, f: d and g tie") << 0 << 'f' << 4 << 13 << 'd' << 8 << 525.0;
    QTest::newRow("all, h from the kana") << 0 << 'h' << 2 << 2 << 'f' << 0 << unknown;
    QTest::newRow("level 3, f never missed") << 3 << 'f' << 0 << 3 << '\0' << 2 << 600.0;
    QTest::newRow("level 7, k") << 7 << 'k' << 1 << 1 << 'j' << 1 << 400.0;
    QTest::newRow("level 4, nothing") << 4 << 'f' << 0 << 0 << '\0' << 0 << unknown;
    QTest::newRow("not a drilled key") << 0 << 'A' << 0 << 0 << '\0' << 0 << unknown;
}

void CoreProgressTest::keys()
{
    QFETCH(int, level);
    QFETCH(char, key);
    QFETCH(int, misses);
    QFETCH(int, right);
    QFETCH(char, instead);
    QFETCH(int, timed);
    QFETCH(double, meanMs);
    const ProgressStats stats = gathered();
    const PressFigures &figures = stats.key(level, key);
    QCOMPARE(figures.misses, misses);
    QCOMPARE(figures.right, right);
    QCOMPARE(figures.mostOftenInstead(), instead);
    QCOMPARE(figures.timed, timed);
    QCOMPARE(std::isnan(figures.meanMs()), std::isnan(meanMs));
    if (!std::isnan(meanMs))
        QCOMPARE(figures.meanMs(), meanMs);
}

void CoreProgressTest::smoothing_data()
{
    QTest::addColumn<PressFigures>("figures");
    QTest::addColumn<double>("overall");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("ms");
    // k = 10 presses at the overall rate (5 %) and time (300 ms) besides the key's own.
    QTest::newRow("no presses: the overall") << presses(0, 0) << 0.05 << 0.05 << 300.0;
    QTest::newRow("1 in 7") << presses(1, 6, 6000, 6) << 0.05 << 1.5 / 17 << 9000.0 / 16;
    QTest::newRow("9 in 76") << presses(9, 67, 20100, 67) << 0.05 << 9.5 / 86 << 23100.0 / 77;
    QTest::newRow("many presses keep their own")
        << presses(100, 9900, 1980000, 9900) << 0.05 << 100.5 / 10010 << 1983000.0 / 9910;
}

Q_DECLARE_METATYPE(PressFigures)

// Few presses cannot dominate: one miss in seven ranks below nine in seventy-six.
void CoreProgressTest::smoothing()
{
    QFETCH(PressFigures, figures);
    QFETCH(double, overall);
    QFETCH(double, rate);
    QFETCH(double, ms);
    QCOMPARE(smoothedRate(figures, overall), rate);
    QCOMPARE(smoothedMs(figures, 300), ms);
    QVERIFY(smoothedRate(presses(1, 6), 0.05) < smoothedRate(presses(9, 67), 0.05));
    QVERIFY(std::isnan(smoothedMs(presses(1, 1), std::nan(""))));
}

void CoreProgressTest::rankedKana_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("byTime");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("kana");
    // Level 5 overall: 5 misses in 17 presses. Smoothed: し (2 + 50/17) / 14, あ and つ
    // (1 + 50/17) / 12, ふ (1 + 50/17) / 14, か (50/17) / 15 (never missed: not listed).
    QTest::newRow("level 5 by misses") << 5 << false << 10 << "しあつふ";
    QTest::newRow("at most two") << 5 << false << 2 << "しあ";
    QTest::newRow("all levels") << 0 << false << 10 << "っしあつふ";
    QTest::newRow("none missed") << 1 << false << 10 << "";
    QTest::newRow("by time: timed kana only") << 0 << true << 10 << "っ";
}

void CoreProgressTest::rankedKana()
{
    QFETCH(int, level);
    QFETCH(bool, byTime);
    QFETCH(int, count);
    QFETCH(QString, kana);
    const auto by = byTime ? ProgressStats::Ranking::Time : ProgressStats::Ranking::Misses;
    QString order;
    for (const auto &ranked : gathered().rankedKana(level, by, count))
        order += ranked.kana;
    QCOMPARE(order, kana);
}

void CoreProgressTest::runsAndTotals()
{
    const ProgressStats stats = gathered();
    QCOMPARE(stats.runs(), 7);
    QCOMPARE(stats.levelRuns(3), (std::vector<int>{2, 3, 4}));
    // Speed counts keys in the key levels and kana in the others; accuracy all presses.
    const RunFigures &keys = stats.allRuns()[0];
    QCOMPARE(keys.speed(), 15 * 60 / 20.5);
    QCOMPARE(keys.accuracy(), 15 / 19.0);
    QCOMPARE(keys.ended().toString(Qt::ISODate), QStringLiteral("2026-12-05T10:00:00+09:00"));
    const RunFigures &kana = stats.allRuns()[5];
    QCOMPARE(kana.speed(), 12 * 60 / 30.0); // written without times, its speed is known
    QCOMPARE(kana.accuracy(), 2 / 7.0);

    // Practised on the 5th, 6th, 7th and 9th (the 7th three times).
    const std::pair<QDate, int> streaks[] = {
        {QDate(2026, 12, 9), 1}, {QDate(2026, 12, 10), 1}, {QDate(2026, 12, 11), 0}};
    for (const auto &[today, streak] : streaks) {
        const PracticeTotals totals = stats.totals(today);
        QCOMPARE(totals.streak, streak);
        QCOMPARE(totals.longestStreak, 3);
        QCOMPARE(totals.runs, 7);
        QCOMPARE(totals.seconds, 164.5);
    }
}

qint64 endedMs(const char *line)
{
    return parseRunLogLine(line).value().ended.toMSecsSinceEpoch();
}

// A clock set years ahead for one run does not end the streak; a run left out counts in no
// figure but stays listed.
void CoreProgressTest::futureRunsAndLeftOutRuns()
{
    ProgressStats stats;
    LeftOutRuns leftOut;
    leftOut.set(endedMs(history[0]), 1, true);
    stats.setLeftOut(leftOut);
    for (const char *line : history)
        stats.add(parseRunLogLine(line).value());
    stats.add(
        parseRunLogLine("2031-10-28T10:00:00+09:00\t3\to\t18.0\t0\t18.0\t0\t\tf:1\t").value());
    const PracticeTotals totals = stats.totals(QDate(2026, 12, 10));
    QCOMPARE(totals.streak, 1);
    // The 5th is left out: the 6th and 7th remain in a row.
    QCOMPARE(totals.longestStreak, 2);
    QCOMPARE(totals.runs, 7);
    QCOMPARE(totals.seconds, 164.5 - 20.5 + 18.0);
    QCOMPARE(stats.levelRuns(1), std::vector<int>{0});
    QVERIFY(stats.allRuns()[0].leftOut);
    QCOMPARE(stats.key(1, 'f').presses(), 0);
    // Levels 2 and 3, and the run dated ahead.
    QCOMPARE(stats.key(0, 'f').presses(), 9);
}

void CoreProgressTest::pressTimes_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<qint64>>("keyMs"); // as counted, in the line's order
    QTest::addColumn<QList<qint64>>("kanaMs");
    // Three times the median of 300 ms per key: f's 100 s pause counts 2 x 900 ms.
    QTest::newRow("one long pause")
        << QByteArray("2026-12-07T10:00:00+09:00\t5\to\t20.0\t0\t20.0\t0\t\ta:2 f:2 h:2 "
                      "u:2\tあ:2 は:2 ふ:2\ta:600 f:100400 h:600 u:600\tあ:600 は:1200 ふ:101000")
        << QList<qint64>{600, 1800, 600, 600} << QList<qint64>{600, 1200, 3600};
    // A slow learner: no press over 2 s, however slow the rest.
    QTest::newRow("never over two seconds")
        << QByteArray("2026-12-07T10:00:00+09:00\t1\to\t20.0\t0\t20.0\t0\t\tf:1 j:1 k:1\t\tf:1500 "
                      "j:1500 k:9000\t")
        << QList<qint64>{1500, 1500, 2000} << QList<qint64>{};
    // The median of 1, 1, 100 and 200 is 50.5: d's 200 counts 151 however few keys lie
    // below a third of it.
    QTest::newRow("even count, the slowest held")
        << QByteArray("2026-12-07T10:00:00+09:00\t1\to\t20.0\t0\t20.0\t0\t\ta:1 b:1 c:1 "
                      "d:1\t\ta:1 b:1 c:100 d:200\t")
        << QList<qint64>{1, 1, 100, 151} << QList<qint64>{};
    // Quick keys, and a kana of two keys slower than three times their median of 100 ms.
    QTest::newRow("a kana held by the keys' median")
        << QByteArray("2026-12-07T10:00:00+09:00\t5\to\t20.0\t0\t20.0\t0\t\ta:1 b:1 "
                      "k:1\tか:1 し:1\ta:100 b:100 k:100\tか:200 し:900")
        << QList<qint64>{100, 100, 100} << QList<qint64>{200, 600};
    QTest::newRow("nothing near the cap")
        << QByteArray("2026-12-07T10:00:00+09:00\t1\to\t20.0\t0\t20.0\t0\t\ta:1 b:1 c:1 "
                      "d:2\t\ta:100 b:110 c:120 d:580\t")
        << QList<qint64>{100, 110, 120, 580} << QList<qint64>{};
    QTest::newRow("untimed") << QByteArray(
                                    "2026-12-07T10:00:00+09:00\t1\to\t20.0\t0\t20.0\t0\t\tf:1\t")
                             << QList<qint64>{0} << QList<qint64>{};
}

void CoreProgressTest::pressTimes()
{
    QFETCH(QByteArray, line);
    QFETCH(QList<qint64>, keyMs);
    QFETCH(QList<qint64>, kanaMs);
    KanaNames names;
    RunLogReader reader(names);
    const RunLogLine *read = reader.read(line.toStdString());
    QVERIFY(read);
    std::vector<int> keys;
    numberKanaKeys(names, keys);
    const LineTimes times(*read, keys);
    QList<qint64> foundKeys, foundKana;
    for (const RunLogLine::Count &count : read->keys)
        foundKeys << times.keyMs(count);
    for (const RunLogLine::Count &count : read->kana)
        foundKana << times.kanaMs(count);
    QCOMPARE(foundKeys, keyMs);
    QCOMPARE(foundKana, kanaMs);
    // The statistics count kana per key: ふ's 3600 ms over 2 presses of 2 keys.
    ProgressStats stats;
    stats.kanaNames() = names;
    stats.add(*read);
    for (const auto &ranked : stats.rankedKana(0, ProgressStats::Ranking::Time, 10))
        if (ranked.kana == QStringLiteral("ふ"))
            QCOMPARE(ranked.figures.meanMs(), 900.0);
    QCOMPARE(kanaKeys(QStringLiteral("きゃ")), 3);
    QCOMPARE(kanaKeys(QStringLiteral("っ")), 1);
    QCOMPARE(kanaKeys(QStringLiteral("ー")), 1);
    QCOMPARE(median({4, 1, 3, 2}), 2.5);
}

void CoreProgressTest::leftOutList_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("runs");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("two") << QByteArray("1700000000000\t5\n1600000000000\t10\n") << 2
                         << QByteArray("1600000000000\t10\n1700000000000\t5\n");
    QTest::newRow("damaged lines passed over")
        << QByteArray("x\t5\n17\t\n\t5\n17\t0\n17\t5x\n-3\t2\r\n") << 1 << QByteArray("-3\t2\n");
    QTest::newRow("twice the same") << QByteArray("17\t5\n17\t5") << 1 << QByteArray("17\t5\n");
    QTest::newRow("empty") << QByteArray() << 0 << QByteArray();
}

void CoreProgressTest::leftOutList()
{
    QFETCH(QByteArray, text);
    QFETCH(int, runs);
    QFETCH(QByteArray, written);
    const LeftOutRuns list = LeftOutRuns::parse(text);
    QCOMPARE(int(list.size()), runs);
    QCOMPARE(list.text(), written);
}

// Saved and read back beside the history; never over anything but a plain file.
void CoreProgressTest::leftOutListFile()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("RK.log"));
    const QString path = LeftOutRuns::pathBeside(log);
    QCOMPARE(path, dir.filePath(QStringLiteral("RK.omit")));
    LeftOutRuns list;
    list.set(1700000000000, 5, true);
    list.set(1700000001000, 1, true);
    list.set(1700000001000, 1, false);
    QVERIFY(list.save(path));
    const LeftOutRuns read = LeftOutRuns::load(path);
    QVERIFY(read.contains(1700000000000, 5));
    QVERIFY(!read.contains(1700000001000, 1));
    QVERIFY(read == list);
    const QString folder = dir.filePath(QStringLiteral("sub"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/RK.omit")));
    QVERIFY(!list.save(folder + QStringLiteral("/RK.omit")));
    QVERIFY(LeftOutRuns::load(folder + QStringLiteral("/RK.omit")).empty());
}

// A history read on from where an earlier read ended adds up to reading it all at once.
void CoreProgressTest::historyReadOnAddsUp()
{
    ProgressStats parts = gathered(0, 4);
    parts.append(gathered(4));
    const ProgressStats whole = gathered();
    QCOMPARE(parts.levelRuns(7), whole.levelRuns(7));
    QCOMPARE(parts.totals(QDate(2026, 12, 9)).longestStreak, 3);
    for (const char key : {'f', 'h', 't'})
        QCOMPARE(parts.key(0, key).timedMs, whole.key(0, key).timedMs);
    const auto kana = parts.rankedKana(0, ProgressStats::Ranking::Misses);
    QCOMPARE(kana.size(), whole.rankedKana(0, ProgressStats::Ranking::Misses).size());
    QCOMPARE(kana.front().figures.misses, 3);
}

// Each learner's text keeps its own runs among those of its level, named once, in the order
// its runs came; a history read in two parts numbers the second part's texts anew, and
// putting them together must find each by its name, not by that number.
void CoreProgressTest::textRuns_data()
{
    QTest::addColumn<int>("split"); // the second part's first line; 0: read whole
    QTest::newRow("whole") << 0;
    QTest::newRow("second part starts before any name") << 1;
    QTest::newRow("second part names a known text first") << 4;
    QTest::newRow("second part holds one run") << 7;
}

void CoreProgressTest::textRuns()
{
    QFETCH(int, split);
    const char *const texts[] = {
        "2026-12-07T10:00:00+00:00\t14\to\t8.0\t0\t8.0\t0\t\th:1\tし:1\th:300\tし:500\tb.txt",
        "2026-12-07T10:01:00+00:00\t3\to\t18.0\t0\t18.0\t1\t\tf:1\t",
        "2026-12-07T10:02:00+00:00\t14\tr\t9.0\t1\t10.0\t0\t\th:1\tし:1\th:300\tし:500\t夜の話.txt",
        // Without a name (no times to name it after): the level's, no text's.
        "2026-12-07T10:03:00+00:00\t14\to\t7.0\t0\t7.0\t0\t\th:1\tし:1",
        "2026-12-07T10:04:00+00:00\t14\to\t6.0\t0\t6.0\t1\t\th:1\tし:1\th:300\tし:500\tb.txt",
        "2026-12-07T10:05:00+00:00\t13\to\t5.0\t0\t5.0\t0\t\th:1\tし:1",
        "2026-12-07T10:06:00+00:00\t14\to\t6.5\t0\t6.5\t0\t\th:1\tし:1\th:300\tし:500\tv1.2.txt",
        "2026-12-07T10:07:00+00:00\t14\to\t5.5\t0\t5.5\t1\t\th:1\tし:1\th:300\tし:500\tb.txt",
    };
    const auto read = [&](int from, int to) {
        ProgressStats stats;
        RunLogReader reader(stats.kanaNames());
        for (int k = from; k < to; ++k) {
            const RunLogLine *line = reader.read(texts[k]);
            if (!line)
                qFatal("line %d not read", k);
            stats.add(*line);
        }
        return stats;
    };
    const int end = int(std::size(texts));
    ProgressStats stats = read(0, split > 0 ? split : end);
    if (split > 0)
        stats.append(read(split, end));

    QCOMPARE(stats.runs(), 8);
    QCOMPARE(stats.levelRuns(ownTextLevel), (std::vector<int>{0, 2, 3, 4, 6, 7}));
    QCOMPARE(stats.levelRuns(3), std::vector<int>{1});
    QCOMPARE(stats.textCount(), 3);
    const struct {
        const char *copy;
        const char *title;
        std::vector<int> runs;
    } expected[] = {
        {"b.txt", "b", {0, 4, 7}}, {"夜の話.txt", "夜の話", {2}}, {"v1.2.txt", "v1.2", {6}}};
    for (int text = 0; text < 3; ++text) {
        const auto &[copy, title, runs] = expected[text];
        QCOMPARE(stats.textCopyName(text), QString::fromUtf8(copy));
        QCOMPARE(stats.textTitle(text), QString::fromUtf8(title));
        QCOMPARE(stats.textNumber(QString::fromUtf8(copy)), text);
        QCOMPARE(stats.levelRuns(firstTextScope + text), runs);
    }
    QCOMPARE(stats.allRuns()[std::size_t(stats.levelRuns(firstTextScope)[1])].seconds(), 6.0);
    QCOMPARE(stats.textNumber(QStringLiteral("c.txt")), -1);
    QVERIFY(stats.levelRuns(firstTextScope + 3).empty());
    QCOMPARE(stats.textCopyName(3), QString());
    QCOMPARE(scopeLevel(firstTextScope + 2), ownTextLevel);
    QCOMPARE(scopeLevel(5), 5);
}

void CoreProgressTest::scale_data()
{
    QTest::addColumn<std::vector<double>>("values");
    QTest::addColumn<std::vector<double>>("include");
    QTest::addColumn<AxisScale>("scale");
    QTest::newRow("spread") << std::vector<double>{21, 24.5, 30, 38} << std::vector<double>{}
                            << AxisScale{20, 40, 5};
    QTest::newRow("one run") << std::vector<double>{42} << std::vector<double>{}
                             << AxisScale{36, 48, 2};
    QTest::newRow("identical") << std::vector<double>(30, 18.0) << std::vector<double>{}
                               << AxisScale{16, 20, 1};
    std::vector<double> slowOnce{20, 22, 21, 23, 20.5, 22.5, 21.5, 24, 19.5, 23.5, 220};
    QTest::newRow("one run ten times slower")
        << slowOnce << std::vector<double>{} << AxisScale{19, 25, 1};
    QTest::newRow("a standard near the runs")
        << slowOnce << std::vector<double>{28} << AxisScale{18, 30, 2};
    QTest::newRow("a standard far from them")
        << slowOnce << std::vector<double>{40} << AxisScale{19, 25, 1};
    QTest::newRow("nothing") << std::vector<double>{std::nan("")} << std::vector<double>{}
                             << AxisScale{0, 2, 1};
}

Q_DECLARE_METATYPE(AxisScale)

// The scale depends on the values alone, leaves far outliers out and never collapses.
void CoreProgressTest::scale()
{
    QFETCH(std::vector<double>, values);
    QFETCH(std::vector<double>, include);
    QFETCH(AxisScale, scale);
    const AxisScale found = axisScale(values, {1, 0.1, 0, 0}, include);
    QVERIFY2(
        found == scale,
        qPrintable(QStringLiteral("%1..%2 by %3").arg(found.low).arg(found.high).arg(found.step)));
    QVERIFY(found.ticks() >= 3 && found.ticks() <= 9);
    // A date a clock reset put years back does not stretch a week of runs.
    const double day = 86400e3;
    std::vector<double> week;
    for (int k = 0; k < 20; ++k)
        week.push_back(1.7e12 + k * day / 3);
    week.push_back(0.95e12);
    const AxisScale dates = axisScale(week, {1, 0, day});
    QVERIFY(dates.low > 1.69e12 && dates.high < 1.71e12);
    // Percentages stay within 0..100.
    const AxisScale percent = axisScale({100, 100, 99.5}, {0.1, 0.1, 0, 0, 100});
    QCOMPARE(percent.high, 100.0);
}

void CoreProgressTest::movingAverage_data()
{
    QTest::addColumn<std::vector<double>>("values");
    QTest::addColumn<std::vector<double>>("averages");
    const double none = std::nan("");
    QTest::newRow("fewer than the window at the start")
        << std::vector<double>{10, 20, 30, 40} << std::vector<double>{10, 15, 20, 30};
    QTest::newRow("unknown values left out")
        << std::vector<double>{none, 10, none, 30} << std::vector<double>{none, 10, 10, 20};
}

void CoreProgressTest::movingAverage()
{
    QFETCH(std::vector<double>, values);
    QFETCH(std::vector<double>, averages);
    const std::vector<double> found = ::movingAverage(values, 3);
    QCOMPARE(found.size(), averages.size());
    for (std::size_t k = 0; k < found.size(); ++k)
        QVERIFY2(found[k] == averages[k] || (std::isnan(found[k]) && std::isnan(averages[k])),
                 qPrintable(QString::number(k)));
}

void CoreProgressTest::placement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("placed");
    // The main window's frame, its drill area the 140 pixels below its top; the window wants
    // 1000 x 700 and needs 520 x 380.
    QTest::newRow("room on the right")
        << QRect(0, 0, 2560, 1440) << QRect(880, 500, 802, 398) << QRect(1682, 500, 878, 700);
    QTest::newRow("room on the left only")
        << QRect(0, 0, 1920, 1080) << QRect(1100, 300, 802, 398) << QRect(100, 300, 1000, 700);
    QTest::newRow("below the drill area")
        << QRect(0, 0, 1600, 1000) << QRect(399, 303, 802, 398) << QRect(299, 443, 1000, 557);
    // Nowhere without covering it: as little of it as can be.
    QTest::newRow("small screen") << QRect(0, 0, 1024, 600) << QRect(111, 100, 802, 398)
                                  << QRect(11, 220, 1000, 380);
}

void CoreProgressTest::placement()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, main);
    QFETCH(QRect, placed);
    const QRect drillArea(main.topLeft(), QSize(main.width(), 140));
    QCOMPARE(placeBeside(screen, main, drillArea, {1000, 700}, {520, 380}), placed);
}

void CoreProgressTest::centredOnTheScreen()
{
    // A window twice its size on a 1280 x 1024 screen keeps its corner on the screen.
    QCOMPARE(centredOn(QRect(0, 0, 1280, 1024), QSize(802, 400)), QPoint(239, 312));
    QCOMPARE(centredOn(QRect(1280, 24, 640, 482), QSize(802, 400)), QPoint(1280, 65));
    QCOMPARE(centredOn(QRect(0, 0, 1280, 1024), QSize(1604, 1100)), QPoint(0, 0));
}

void CoreProgressTest::runsInWords()
{
    using Trend = RunsSummary::Trend;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QCOMPARE(summariseRuns({nan}, false), RunsSummary{});
    QCOMPARE(summariseRuns({30, 25, 28}, false), (RunsSummary{3, 25, 28, 0, Trend::Unknown}));
    // Scores: lower is better; the last two runs against the two before.
    QCOMPARE(summariseRuns({40, 38, nan, 30, 29}, false),
             (RunsSummary{4, 29, 29, 2, Trend::Better}));
    QCOMPARE(summariseRuns({40, 38, 30, 29}, true), (RunsSummary{4, 40, 29, 2, Trend::Worse}));
    QCOMPARE(summariseRuns({100, 100, 102, 101}, true),
             (RunsSummary{4, 102, 101, 2, Trend::Steady}));
    // Ten against ten, the first runs left out.
    std::vector<double> many(25, 50.0);
    std::fill(many.end() - 10, many.end(), 40.0);
    many.front() = 10;
    QCOMPARE(summariseRuns(many, false), (RunsSummary{25, 10, 40, 10, Trend::Better}));
}

std::vector<ChartRun> scores(const std::vector<double> &values)
{
    std::vector<ChartRun> runs;
    for (std::size_t k = 0; k < values.size(); ++k)
        runs.push_back({double(k + 1), values[k], false});
    return runs;
}

void CoreProgressTest::chartSeries_data()
{
    QTest::addColumn<std::vector<double>>("values");
    QTest::addColumn<std::vector<int>>("outliers");
    QTest::addColumn<double>("lastAverage");
    // A first run with six errors among five: too few runs to call it an outlier.
    QTest::newRow("five runs, the first slow")
        << std::vector<double>{29.1, 16.9, 16.4, 16.6, 16.5} << std::vector<int>{} << 19.1;
    std::vector<double> seven{20, 21, 22, 23, 24, 20, 230};
    QTest::newRow("seven runs, one ten times slower") << seven << std::vector<int>{} << 360.0 / 7;
    std::vector<double> twenty;
    for (int k = 0; k < 20; ++k)
        twenty.push_back(20.0 + k % 5);
    twenty[14] = 230;
    // The last ten runs but the outlier: 20 to 24 twice.
    QTest::newRow("twenty runs, one ten times slower") << twenty << std::vector<int>{14} << 22.0;
}

// The averages leave out the runs drawn as outliers, and outliers are told only among enough
// runs.
void CoreProgressTest::chartSeries()
{
    QFETCH(std::vector<double>, values);
    QFETCH(std::vector<int>, outliers);
    QFETCH(double, lastAverage);
    const ChartSeries series = ::chartSeries(scores(values), ChartMeasure::Score);
    std::vector<int> found;
    for (std::size_t k = 0; k < series.outlier.size(); ++k)
        if (series.outlier[k])
            found.push_back(int(k));
    QCOMPARE(found, outliers);
    QVERIFY2(std::abs(series.averages.back() - lastAverage) < 1e-9,
             qPrintable(QString::number(series.averages.back())));
    for (const int k : outliers)
        QVERIFY(std::isnan(series.averages[std::size_t(k)]));
}

// Each order mode's points and average, the best of each starred on the side no run can be,
// and the scale around them all and the standard score.
void CoreProgressTest::chartPoints()
{
    const std::vector<ChartRun> runs{{1, 52, false}, {2, 60, true},   {3, 47.5, false},
                                     {4, 45, false}, {5, 55.5, true}, {6, 39.5, false}};
    ChartSeries series = ::chartSeries(runs, ChartMeasure::Score);
    QCOMPARE(series.best, (std::array<int, 2>{5, 4}));
    const ChartPlan plan = planChart(series, ChartMeasure::Score, {1, 6, 1, 6, 200, 65});
    QCOMPARE(plan.points[0], (std::vector<ChartPoint>{{1, 52}, {3, 47.5}, {4, 45}, {6, 39.5}}));
    QCOMPARE(plan.points[1], (std::vector<ChartPoint>{{2, 60}, {5, 55.5}}));
    QCOMPARE(plan.averages[0].back(), (ChartPoint{6, (52 + 47.5 + 45 + 39.5) / 4}));
    QCOMPARE(plan.averages[1].back(), (ChartPoint{5, (60 + 55.5) / 2}));
    QCOMPARE(plan.scale, (AxisScale{35, 70, 5}));
    // 15 pixels below the lowest score: 35 per 200 pixels.
    QCOMPARE(plan.stars.size(), std::size_t(2));
    QCOMPARE(plan.stars[0], (ChartPoint{6, 39.5 - 15 * 35 / 200.0}));
    QVERIFY(plan.low < plan.stars[0].y - 8 * 35 / 200.0);
    QCOMPARE(plan.markers.size(), std::size_t(6));
    QVERIFY(plan.outside.empty());
    // Accuracy: the best at 100 % has its star below, where the bound leaves room.
    series = ::chartSeries({{1, 100, false}, {2, 90, false}}, ChartMeasure::Accuracy);
    const ChartPlan accuracy = planChart(series, ChartMeasure::Accuracy, {1, 2, 1, 2, 200, 0});
    QCOMPARE(accuracy.scale.high, 100.0);
    QVERIFY(accuracy.stars[0].y < 100);
}

// A run ten times slower is drawn at the scale's edge; so is one dated years back, beyond the
// scale of dates.
void CoreProgressTest::chartEdges()
{
    std::vector<double> values;
    for (int k = 0; k < 20; ++k)
        values.push_back(20.0 + k % 5);
    values[7] = 230;
    std::vector<ChartRun> runs = scores(values);
    runs[12].x = -1000; // far before the others
    const ChartSeries series = ::chartSeries(runs, ChartMeasure::Score);
    const ChartPlan plan = planChart(series, ChartMeasure::Score, {1, 20, 1, 20, 100, 0});
    QVERIFY(plan.scale.high < 40);
    QCOMPARE(plan.outside.size(), std::size_t(2));
    QCOMPARE(plan.outside[0].x, 8.0);
    QVERIFY(plan.outside[0].y < plan.scale.high && plan.outside[0].y > 24);
    QCOMPARE(plan.outside[1].x, 1.0); // at the edge in view
    QCOMPARE(plan.shown.size(), std::size_t(19));
    // Zoomed in, the slow run is still told by the whole level's runs; what is beyond the
    // scale of dates is not drawn at an edge.
    QCOMPARE(planChart(series, ChartMeasure::Score, {5, 10, 1, 20, 100, 0}).outside.size(),
             std::size_t(1));
}

// Thousands of runs are drawn thinned; the best and the worst survive it.
void CoreProgressTest::chartLongHistory()
{
    std::vector<double> values;
    for (int k = 0; k < 5000; ++k)
        values.push_back(20.0 + (k * 7919) % 400 / 10.0);
    values[1234] = 12.5;
    values[4321] = 95.0;
    const ChartSeries series = ::chartSeries(scores(values), ChartMeasure::Score);
    const ChartPlan plan = planChart(series, ChartMeasure::Score, {1, 5000, 1, 5000, 300, 0});
    QVERIFY(plan.points[0].size() < 2000);
    QVERIFY(plan.many);
    const auto has = [&plan](double y) {
        return std::any_of(plan.points[0].begin(), plan.points[0].end(),
                           [y](const ChartPoint &p) { return p.y == y; }) ||
               std::any_of(plan.outside.begin(), plan.outside.end(),
                           [](const ChartPoint &p) { return p.x == 4322; });
    };
    QVERIFY(has(12.5));
    QVERIFY(has(95.0));
    QCOMPARE(plan.stars.front().x, 1235.0);
    QVERIFY(plan.averages[0].size() <= std::size_t(chartSlices));
}

// A view narrower than a few runs (or ten minutes) is widened about its middle, then cut to
// the whole range; a view wholly outside it gives the whole.
void CoreProgressTest::chartViewRange_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<bool>("dates");
    QTest::addColumn<double>("shownLow");
    QTest::addColumn<double>("shownHigh");
    QTest::newRow("within") << 10.0 << 50.0 << false << 10.0 << 50.0;
    QTest::newRow("one run widened") << 20.0 << 21.0 << false << 18.5 << 22.5;
    QTest::newRow("widened at the edge") << 0.0 << 1.0 << false << 0.0 << 2.5;
    QTest::newRow("past both ends") << -20.0 << 150.0 << false << 0.0 << 100.0;
    QTest::newRow("wholly outside") << 200.0 << 300.0 << false << 0.0 << 100.0;
    QTest::newRow("a minute of dates") << 40e3 << 100e3 << true << 0.0 << 370e3;
    QTest::newRow("milliseconds of dates") << 20.0 << 90.0 << true << 0.0 << 300055.0;
}

void CoreProgressTest::chartViewRange()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(bool, dates);
    QFETCH(double, shownLow);
    QFETCH(double, shownHigh);
    // Dates span a thousand seconds here, numbers a hundred runs.
    const auto [l, h] = rinkaro::chartViewRange(low, high, 0, dates ? 1e6 : 100, dates);
    QCOMPARE(l, shownLow);
    QCOMPARE(h, shownHigh);
}

// What the chart of a level is drawn from, worked out in one piece away from the window: run k
// (from 1) took 10 + k seconds with k % 3 errors, typing 60 kana with 60 right presses. The
// view asked for is kept (a zoomed chart stays zoomed when runs are added) and the words sum up
// the runs in it, each measure in its own place.
void CoreProgressTest::chartDrawing_data()
{
    QTest::addColumn<int>("measure");
    QTest::addColumn<double>("low"); // NaN: the whole level
    QTest::addColumn<double>("high");
    QTest::addColumn<int>("shown");
    QTest::addColumn<double>("best");
    QTest::addColumn<double>("latest");
    QTest::addColumn<double>("fifth"); // run 5's value
    const double all = qQNaN();
    const int score = int(ChartMeasure::Score), speed = int(ChartMeasure::Speed),
              accuracy = int(ChartMeasure::Accuracy);
    QTest::newRow("scores, all") << score << all << all << 30 << 12.0 << 40.0 << 17.0;
    QTest::newRow("scores, zoomed") << score << 5.0 << 12.0 << 8 << 16.0 << 22.0 << 17.0;
    QTest::newRow("speeds, all") << speed << all << all << 30 << 3600 / 11.0 << 90.0 << 240.0;
    QTest::newRow("speeds, zoomed") << speed << 5.0 << 12.0 << 8 << 240.0 << 3600 / 22.0 << 240.0;
    QTest::newRow("accuracy, zoomed")
        << accuracy << 5.0 << 13.0 << 9 << 100.0 << 6000 / 61.0 << 6000 / 62.0;
}

void CoreProgressTest::chartDrawing()
{
    QFETCH(int, measure);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(int, shown);
    QFETCH(double, best);
    QFETCH(double, latest);
    QFETCH(double, fifth);
    std::vector<RunFigures> runs(30);
    for (int k = 1; k <= 30; ++k) {
        RunFigures &run = runs[std::size_t(k - 1)];
        run.endedMs = 1'800'000'000'000 + k * 3'600'000LL;
        run.secondsTenths = (10 + k) * 10;
        run.errors = k % 3;
        run.scoreTenths = run.secondsTenths + run.errors * 10;
        run.typed = 60;
        run.rightKeys = 60;
        run.level = 5;
        run.randomOrder = k % 2 == 0;
    }
    ChartView view;
    view.low = low;
    view.high = high;
    view.plotHeight = 300;
    const ChartDrawing drawing = drawChart(runs, ChartMeasure(measure), false, view);
    QCOMPARE(drawing.series.runs.size(), std::size_t(30));
    QCOMPARE(drawing.series.runs[4].x, 5.0);
    QCOMPARE(drawing.series.runs[4].value, fifth);
    QVERIFY(!drawing.series.runs[4].random && drawing.series.runs[5].random);
    QVERIFY(drawing.fullLow <= 1 && drawing.fullHigh >= 30);
    QCOMPARE(drawing.low, std::isnan(low) ? drawing.fullLow : low);
    QCOMPARE(drawing.high, std::isnan(high) ? drawing.fullHigh : high);
    QCOMPARE(int(drawing.plan.shown.size()), shown);
    for (const RunsSummary &summary : drawing.summaries)
        QCOMPARE(summary.count, shown);
    const RunsSummary &own = drawing.summaries[std::size_t(measure)];
    QCOMPARE(own.best, best);
    QCOMPARE(own.latest, latest);
    // Along the dates, each run stands at its end.
    const ChartDrawing dated = drawChart(runs, ChartMeasure(measure), true, view);
    QCOMPARE(dated.series.runs[4].x, double(runs[4].endedMs));
    QVERIFY(dated.fullLow <= double(runs.front().endedMs) &&
            dated.fullHigh >= double(runs.back().endedMs));
}

void CoreProgressTest::dateTicks_data()
{
    QTest::addColumn<QDateTime>("low");
    QTest::addColumn<QDateTime>("high");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QDateTime>("first");
    const QTimeZone tokyo(9 * 3600);
    const QDate day(2026, 10, 14);
    QTest::newRow("minutes") << QDateTime(day, QTime(18, 51, 20), tokyo)
                             << QDateTime(day, QTime(18, 58, 40), tokyo)
                             << QStringList{"18:52", "18:54", "18:56", "18:58"}
                             << QDateTime(day, QTime(18, 52), tokyo);
    QTest::newRow("hours") << QDateTime(day, QTime(9, 10), tokyo)
                           << QDateTime(day, QTime(20, 0), tokyo)
                           << QStringList{"10:00", "12:00", "14:00", "16:00", "18:00", "20:00"}
                           << QDateTime(day, QTime(10, 0), tokyo);
    QTest::newRow("days") << QDateTime(day, QTime(9, 10), tokyo)
                          << QDateTime(day.addDays(5), QTime(20, 0), tokyo)
                          << QStringList{"10/15", "10/16", "10/17", "10/18", "10/19"}
                          << QDateTime(day.addDays(1), QTime(0, 0), tokyo);
    // Mondays: 2026-10-19 is one.
    QTest::newRow("weeks") << QDateTime(day, QTime(9, 10), tokyo)
                           << QDateTime(day.addDays(30), QTime(20, 0), tokyo)
                           << QStringList{"10/19", "10/26", "11/2", "11/9"}
                           << QDateTime(QDate(2026, 10, 19), QTime(0, 0), tokyo);
    QTest::newRow("months") << QDateTime(day, QTime(9, 10), tokyo)
                            << QDateTime(QDate(2027, 3, 2), QTime(20, 0), tokyo)
                            << QStringList{"2026/11", "2026/12", "2027/1", "2027/2", "2027/3"}
                            << QDateTime(QDate(2026, 11, 1), QTime(0, 0), tokyo);
}

// Ticks on round minutes, hours, days, Mondays and months of the learner's clock.
void CoreProgressTest::dateTicks()
{
    QFETCH(QDateTime, low);
    QFETCH(QDateTime, high);
    QFETCH(QStringList, labels);
    QFETCH(QDateTime, first);
    const std::vector<ChartTick> ticks =
        ::dateTicks(double(low.toMSecsSinceEpoch()), double(high.toMSecsSinceEpoch()), 9 * 3600);
    QStringList found;
    for (const ChartTick &tick : ticks)
        found << tick.label;
    QCOMPARE(found, labels);
    QCOMPARE(ticks.front().at, double(first.toMSecsSinceEpoch()));
}

QTEST_APPLESS_MAIN(CoreProgressTest)
#include "test_core_progress.moc"
