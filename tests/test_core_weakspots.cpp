// SPDX-License-Identifier: GPL-3.0-or-later
// The weak-spot drills: which keys and kana a history ranks weakest and by how much, the
// material drawn for a run and its mix, the report of a run, the history read once and kept
// up to date (runs left out included), the session running the material drawn, and random
// runs of the nine levels favouring the weakest.
#include "core/drillsession.h"
#include "core/levels.h"
#include "core/weakspots.h"

#include "core/leftoutruns.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

using namespace rinkaro;

namespace
{

// A history line of `level` with its misses, right keys, kana and their times.
QByteArray line(int level, const char *misses, const char *keys, const char *kana = "",
                const char *keyMs = nullptr, const char *kanaMs = "")
{
    QByteArray text = "2026-12-07T10:00:00+09:00\t" + QByteArray::number(level) +
                      "\to\t20.0\t0\t20.0\t0\t" + misses + '\t' + keys + '\t' + kana;
    if (keyMs)
        text += QByteArray("\t") + keyMs + '\t' + kanaMs;
    return text;
}

WeakSpots spotsOf(const QList<QByteArray> &lines)
{
    WeakSpots spots;
    KanaNames &names = spots.kanaNames();
    RunLogReader reader(names);
    for (const QByteArray &text : lines)
        spots.add(*reader.read(text.toStdString()));
    return spots;
}

QString rankedNames(const WeakSpots &spots, WeakKind kind)
{
    QStringList names;
    for (const WeakSpot &spot : spots.ranked(kind))
        names << spot.name;
    return names.join(u' ');
}

std::function<int(int)> seeded(unsigned seed)
{
    auto engine = std::make_shared<std::minstd_rand>(seed);
    return [engine](int n) { return n > 0 ? int((*engine)() % unsigned(n)) : 0; };
}

std::vector<WeakSpot> spotsNamed(const QStringList &names)
{
    std::vector<WeakSpot> spots;
    double weight = 3;
    for (const QString &name : names)
        spots.push_back({name, weight -= 0.1, 0});
    return spots;
}

} // namespace

class CoreWeakSpotsTest : public QObject
{
    Q_OBJECT
private slots:
    void ranking_data();
    void ranking();
    void weights_data();
    void weights();
    void plan_data();
    void plan();
    void planMixesWeakAndOther();
    void report();
    void favouredDraw_data();
    void favouredDraw();
    void favouredRandomRuns();
    void sessionRunsTheMaterial();
};

void CoreWeakSpotsTest::ranking_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("ranked");
    const int keys = int(WeakKind::Keys), kana = int(WeakKind::Kana);
    QTest::newRow("missed often first")
        << QList<QByteArray>{line(1, "f>d f>d f>d j>k", "f:10 j:10 k:10")} << keys << "f j k";
    QTest::newRow("slower first with the same misses")
        << QList<QByteArray>{line(1, "f>d j>k", "f:10 j:10 k:10", "", "f:3000 j:9000 k:3000")}
        << keys << "j f k";
    // The same misses and presses, a run apart: the latest run's count more.
    QTest::newRow("recent runs count more")
        << QList<QByteArray>{line(1, "f>d f>d f>d", "f:10 j:13"),
                             line(1, "j>k j>k j>k", "f:13 j:10")}
        << keys << "j f";
    // The weak keys come from the key drills, the weak kana from the others.
    QTest::newRow("kana from the kana levels")
        << QList<QByteArray>{line(1, "a>s a>s", "a:5"),
                             line(5, "し:h>j し:i>u", "h:3 s:3", "あ:5 し:3")}
        << kana << "し あ";
    QTest::newRow("keys from the key levels")
        << QList<QByteArray>{line(1, "a>s", "a:5 s:5"), line(5, "し:h>j し:h>j", "h:3 s:3", "し:3")}
        << keys << "a s";
    // A small tsu is typed only before another kana: it is never drilled alone.
    QTest::newRow("no small tsu") << QList<QByteArray>{line(7, "っ:t>k っ:t>k", "k:1 t:1",
                                                            "こ:2 っ:1")}
                                  << kana << "こ";
    QTest::newRow("no history") << QList<QByteArray>{} << keys << "";
    // The drill keyboard has no "-": nothing could light for it.
    QTest::newRow("no minus key") << QList<QByteArray>{line(1, "->= ->= ->=", "-:2 f:5 j:5")}
                                  << keys << "f j";
}

// One history line repeated.
QList<QByteArray> times(int count, const QByteArray &text)
{
    QList<QByteArray> lines;
    for (int k = 0; k < count; ++k)
        lines << text;
    return lines;
}

// The weights and rates as numbers: each row would come out otherwise with a fault in how
// runs age, how rates are smoothed, how the median is taken, or how times are held.
void CoreWeakSpotsTest::weights_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("weight");
    QTest::addColumn<double>("missRate");
    const int keys = int(WeakKind::Keys), kana = int(WeakKind::Kana);
    // Three misses of F thirty runs ago: each later run ages them by 0.97 (0.997 would leave
    // 1.1817 and 0.0091).
    QTest::newRow("misses age") << QList<QByteArray>{line(1, "f>d f>d f>d", "f:7 j:10")} +
                                       times(30, line(1, "", "f:10 j:10"))
                                << keys << "f" << 1.122644 << 0.005768;
    // A slow F thirty runs ago: its times age as its misses do (not aged: 1.0811).
    QTest::newRow("times age") << QList<QByteArray>{line(1, "", "f:10 j:10", "",
                                                         "f:20000 j:3000")} +
                                      times(30, line(1, "", "f:10 j:10", "", "f:3000 j:3000"))
                               << keys << "f" << 1.050364 << 0.0;
    // One miss in two presses is drawn toward the overall 1 in 22: (1 + 10/22) / 12, not 50 %.
    QTest::newRow("rates smoothed")
        << QList<QByteArray>{line(1, "f>d", "f:1 j:20")} << keys << "f" << 2.157407 << 0.121212;
    // Smoothed times 287.5, 337.5, 387.5 and 487.5 ms: the median of four is 362.5.
    QTest::newRow("median of an even count")
        << QList<QByteArray>{line(1, "", "a:10 d:10 f:10 s:10", "", "a:2000 d:4000 f:6000 s:3000")}
        << keys << "f" << 487.5 / 362.5 << 0.0;
    // A 100 s pause before ふ: held to three times the run's 150 ms per key, ふ takes 1800 ms
    // for its two presses of two keys; smoothed 4500/14 ms against a median of 250.
    QTest::newRow("one long pause")
        << QList<QByteArray>{line(5, "", "a:2 f:2 h:2 u:2", "あ:2 は:2 ふ:2",
                                  "a:300 f:101000 h:300 u:300", "あ:300 は:600 ふ:101300")}
        << kana << "ふ" << (4500.0 / 14) / 250 << 0.0;
    // Three keys for きゃ, two for し: the same time per key is the same speed.
    QTest::newRow("kana per key") << QList<QByteArray>{line(5, "", "a:2 h:2 i:2 k:2 s:2 y:2",
                                                            "きゃ:2 し:2",
                                                            "a:600 h:600 i:600 k:600 s:600 y:600",
                                                            "きゃ:1800 し:1200")}
                                  << kana << "きゃ" << 1.0 << 0.0;
}

void CoreWeakSpotsTest::weights()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(double, weight);
    QFETCH(double, missRate);
    const WeakSpots spots = spotsOf(lines);
    const std::vector<WeakSpot> ranked = spots.ranked(WeakKind(kind));
    const auto spot = std::find_if(ranked.begin(), ranked.end(),
                                   [&name](const WeakSpot &s) { return s.name == name; });
    QVERIFY(spot != ranked.end());
    QVERIFY2(std::abs(spot->weight - weight) < 1e-5,
             qPrintable(QString::number(spot->weight, 'f', 6)));
    QVERIFY2(std::abs(spot->missRate - missRate) < 1e-5,
             qPrintable(QString::number(spot->missRate, 'f', 6)));
    QCOMPARE(spots.missRate(WeakKind(kind), name), spot->missRate);
}

void CoreWeakSpotsTest::ranking()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(int, kind);
    QFETCH(QString, ranked);
    QCOMPARE(rankedNames(spotsOf(lines), WeakKind(kind)), ranked);
}

void CoreWeakSpotsTest::plan_data()
{
    QTest::addColumn<QStringList>("ranked");
    QTest::addColumn<QStringList>("marked");
    QTest::addColumn<QStringList>("weakSet");
    QTest::addColumn<int>("leastWeak"); // items of the weak set in a run of 34 at least
    const QStringList ten{"f", "j", "k", "d", "s", "a", "l", ";", "g", "h"};
    QTest::newRow("the weakest five") << ten << QStringList{} << ten.mid(0, 5) << 23;
    QTest::newRow("marked ones, those that can be drilled")
        << ten << QStringList{"q", "っ", "g", "q", "F"} << QStringList{"q", "g"} << 23;
    // Neighbours differ before the shares hold.
    QTest::newRow("one marked") << ten << QStringList{"q"} << QStringList{"q"} << 11;
    QTest::newRow("fewer than five practised")
        << ten.mid(0, 2) << QStringList{} << ten.mid(0, 2) << 34;
    QTest::newRow("nothing to drill") << QStringList{} << QStringList{} << QStringList{} << 0;
}

void CoreWeakSpotsTest::plan()
{
    QFETCH(QStringList, ranked);
    QFETCH(QStringList, marked);
    QFETCH(QStringList, weakSet);
    QFETCH(int, leastWeak);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const WeakRunPlan plan =
            planWeakRun(WeakKind::Keys, spotsNamed(ranked), marked, 34, seeded(seed));
        QCOMPARE(plan.weakSet, weakSet);
        QCOMPARE(plan.items.size(), weakSet.isEmpty() ? 0 : 34);
        int weak = 0;
        for (qsizetype k = 0; k < plan.items.size(); ++k) {
            QVERIFY(ranked.contains(plan.items[k]) || weakSet.contains(plan.items[k]));
            if (k > 0)
                QVERIFY2(plan.items[k] != plan.items[k - 1], qPrintable(plan.items.join(u' ')));
            weak += weakSet.contains(plan.items[k]);
        }
        QVERIFY2(weak >= leastWeak, qPrintable(plan.items.join(u' ')));
    }
}

// Two thirds of a run come from the weak set, the rest from everything practised: with five
// weak keys of ten, about (23 + 11 / 2) / 34 of the items are weak. A run drawn whole from the
// weak set would be all weak.
void CoreWeakSpotsTest::planMixesWeakAndOther()
{
    const QStringList ten{"f", "j", "k", "d", "s", "a", "l", ";", "g", "h"};
    int weak = 0, all = 0;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        const WeakRunPlan plan = planWeakRun(WeakKind::Keys, spotsNamed(ten), {}, 34, seeded(seed));
        for (const QString &item : plan.items)
            weak += plan.weakSet.contains(item);
        all += int(plan.items.size());
    }
    const double share = double(weak) / all;
    QVERIFY2(share > 0.80 && share < 0.88, qPrintable(QString::number(share)));
}

void CoreWeakSpotsTest::report()
{
    const WeakSpots before = spotsOf({line(1, "f>d", "f:7 j:8"), line(5, "し:h>j", "h:4", "し:4")});
    RunTally keys;
    keys.misses = {{{}, 'f', 'd'}};
    keys.rightKeys = {{'f', 24}, {'j', 3}};
    // As the statistics window shows them: every level's presses alike, drawn toward the
    // overall 2 misses in 21 presses.
    QCOMPARE(weakSpotsReport(before, WeakKind::Keys, {"f", "j", "k"}, keys),
             QStringLiteral("F 11% → 4%  J 5% → 0%"));
    RunTally kana;
    kana.kanaTyped = {{QStringLiteral("し"), 5}, {QStringLiteral("あ"), 2}};
    QCOMPARE(weakSpotsReport(before, WeakKind::Kana, {"し", "あ"}, kana),
             QStringLiteral("し 20% → 0%  あ — → 0%"));
}

void CoreWeakSpotsTest::favouredDraw_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("weakest");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("favoured");
    // Level 1 drills 34 keys, f and j 9 times each.
    QTest::newRow("keys") << 1 << QStringList{"f", "j"} << 34 << 18;
    QTest::newRow("syllables") << 5 << QStringList{"し", "ふ", "が"} << 46 << 2;
    // Phrases holding a weak kana anywhere.
    QTest::newRow("phrases") << 7 << QStringList{"ん"} << 35 << -1;
    QTest::newRow("none weak") << 5 << QStringList{} << 0 << 0;
    QTest::newRow("weak drills draw their own") << weakKanaLevel << QStringList{"し"} << 0 << 0;
}

void CoreWeakSpotsTest::favouredDraw()
{
    QFETCH(int, level);
    QFETCH(QStringList, weakest);
    QFETCH(int, items);
    QFETCH(int, favoured);
    const std::vector<double> weights = ::favouredDraw(level, weakest);
    QCOMPARE(int(weights.size()), items);
    const auto more = std::count(weights.begin(), weights.end(), favouredWeight);
    QCOMPARE(int(more + std::count(weights.begin(), weights.end(), 1.0)), items);
    if (favoured >= 0)
        QCOMPARE(int(more), favoured);
    else
        QVERIFY(more > 0 && more < items);
}

// 200 seeded random runs of level 5 (45 items each, the first drawn uniformly): し and ふ,
// favoured, come about 1.5 / 47 of the draws each instead of 1 / 46.
void CoreWeakSpotsTest::favouredRandomRuns()
{
    const auto share = [](bool favour) {
        DrillSession s(seeded(7));
        s.selectLevel(5);
        s.setRandomOrder(true);
        s.setFavoured(favour ? ::favouredDraw(5, {"し", "ふ"}) : std::vector<double>{});
        int weak = 0, all = 0;
        for (int run = 0; run < 200; ++run) {
            s.start(0);
            for (int item = 0; item < 46 && s.running(); ++item) {
                const QString kana = s.mainText();
                weak += kana == QStringLiteral("し") || kana == QStringLiteral("ふ");
                ++all;
                const RomajiTable table;
                for (const QChar letter : table.romaji(kanaIndex(kana)).toLower())
                    s.keyTyped(char(letter.unicode()), 0);
            }
            s.stop();
        }
        return double(weak) / all;
    };
    const double plain = share(false), favoured = share(true);
    QVERIFY2(plain > 0.035 && plain < 0.052, qPrintable(QString::number(plain)));
    QVERIFY2(favoured > 0.055 && favoured < 0.072, qPrintable(QString::number(favoured)));
}

void CoreWeakSpotsTest::sessionRunsTheMaterial()
{
    DrillSession s([](int) { return 0; });
    s.selectLevel(3);
    s.setWeakItems({"f", "-", "j"});
    s.selectLevel(weakKeysLevel);
    QCOMPARE(s.mainText(), QStringLiteral("苦手なキー"));
    s.start(0);
    QCOMPARE(s.mainText(), QStringLiteral("F"));
    QCOMPARE(s.keyTyped('j', 10).outcome, KeyOutcome::Wrong);
    // "-" has no key on the drill keyboard: never an item of a key drill.
    QCOMPARE(s.keyTyped('f', 20).outcome, KeyOutcome::ItemDone);
    QCOMPARE(s.mainText(), QStringLiteral("J"));
    QCOMPARE(s.keyTyped('j', 40).outcome, KeyOutcome::Finished);
    QCOMPARE(s.result().level, weakKeysLevel);
    QCOMPARE(s.result().errors, 1);

    s.setWeakItems({"し", "っ", "か"}); // a small tsu alone is no item
    s.selectLevel(weakKanaLevel);
    s.start(0);
    QCOMPARE(s.mainText(), QStringLiteral("し"));
    for (const char key : QByteArray("shi"))
        s.keyTyped(key, 10);
    QCOMPARE(s.mainText(), QStringLiteral("か"));
    QCOMPARE(s.keyTyped('k', 20).outcome, KeyOutcome::Advanced);
    QCOMPARE(s.keyTyped('a', 30).outcome, KeyOutcome::Finished);
    QCOMPARE(s.result().level, weakKanaLevel);
    // The settings file keeps the last of the nine levels.
    QCOMPARE(s.levelToStore(), 3);

    // Material with nothing to drill: a run started would have no key to end it.
    for (const int level : {weakKeysLevel, weakKanaLevel}) {
        for (const QStringList &items : {QStringList(), QStringList{"っ"}, QStringList{"@"}}) {
            s.setWeakItems(items);
            s.selectLevel(level);
            s.start(0);
            QVERIFY(!s.running());
            QCOMPARE(s.keyTyped('o', 10).outcome, KeyOutcome::Ignored);
        }
    }
}

QTEST_GUILESS_MAIN(CoreWeakSpotsTest)
#include "test_core_weakspots.moc"
