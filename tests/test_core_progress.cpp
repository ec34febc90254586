// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics gathered from a history: miss rates and times per key and what was typed
// instead, the kana ranked by either, smoothing toward the overall rate, each run's speed and
// accuracy, the totals and streaks, a history read on in two parts; the chart's scale; and
// where the window goes beside the main window.
#include "core/chartscale.h"
#include "core/progressstats.h"
#include "core/windowplacement.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

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
    void historyReadOnAddsUp();
    void longHistoryReadInParts();
    void scale_data();
    void scale();
    void movingAverage_data();
    void movingAverage();
    void placement_data();
    void placement();
    void centredOnTheScreen();
    void runsInWords();
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

// A long history is read in parts side by side, split at line ends: the same figures.
void CoreProgressTest::longHistoryReadInParts()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    int lines = 0;
    for (; file.size() < 9 << 20; ++lines)
        for (const char *line : history)
            file.write(QByteArray(line) + '\n');
    file.close();
    const auto [parts, read] = ProgressStats::read(path);
    QCOMPARE(read.status, RunLogRead::Status::Read);
    QCOMPARE(read.end, file.size());
    QCOMPARE(parts.runs(), qsizetype(lines) * 7);
    const ProgressStats once = gathered();
    QCOMPARE(parts.key(0, 'f').timedMs, once.key(0, 'f').timedMs * lines);
    QCOMPARE(parts.rankedKana(0, ProgressStats::Ranking::Misses).front().figures.misses, 3 * lines);
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

QTEST_APPLESS_MAIN(CoreProgressTest)
#include "test_core_progress.moc"
