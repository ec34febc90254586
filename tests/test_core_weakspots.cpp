// SPDX-License-Identifier: GPL-3.0-or-later
// The weak-spot drills: which keys and kana a history ranks weakest, the material drawn for a
// run, the report of a run, the history read once and kept up to date, and the session
// running the material drawn.
#include "core/drillsession.h"
#include "core/levels.h"
#include "core/weakspots.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

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
    void plan_data();
    void plan();
    void report();
    void historyCountsEveryRunOnce();
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
        << QList<QByteArray>{line(1, "f>d f>d f>d", "f:10 j:13"), line(1, "j>k j>k j>k", "f:13 j:10")}
        << keys << "j f";
    // The weak keys come from the key drills, the weak kana from the others.
    QTest::newRow("kana from the kana levels")
        << QList<QByteArray>{line(1, "a>s a>s", "a:5"), line(5, "し:h>j し:i>u", "h:3 s:3", "あ:5 し:3")}
        << kana << "し あ";
    QTest::newRow("keys from the key levels")
        << QList<QByteArray>{line(1, "a>s", "a:5 s:5"), line(5, "し:h>j し:h>j", "h:3 s:3", "し:3")}
        << keys << "a s";
    // A small tsu is typed only before another kana: it is never drilled alone.
    QTest::newRow("no small tsu")
        << QList<QByteArray>{line(7, "っ:t>k っ:t>k", "k:1 t:1", "こ:2 っ:1")} << kana << "こ";
    QTest::newRow("no history") << QList<QByteArray>{} << keys << "";
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
    QTest::newRow("fewer than five practised") << ten.mid(0, 2) << QStringList{}
                                               << ten.mid(0, 2) << 34;
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

void CoreWeakSpotsTest::report()
{
    const WeakSpots before = spotsOf({line(1, "f>d", "f:7 j:8"), line(5, "し:h>j", "h:4", "し:4")});
    RunTally keys;
    keys.misses = {{{}, 'f', 'd'}};
    keys.rightKeys = {{'f', 24}, {'j', 3}};
    QCOMPARE(weakSpotsReport(before, WeakKind::Keys, {"f", "j", "k"}, keys),
             QStringLiteral("F 13% → 4%  J 0% → 0%"));
    RunTally kana;
    kana.kanaTyped = {{QStringLiteral("し"), 5}, {QStringLiteral("あ"), 2}};
    QCOMPARE(weakSpotsReport(before, WeakKind::Kana, {"し", "あ"}, kana),
             QStringLiteral("し 20% → 0%  あ — → 0%"));
}

// A run finished before the read started is in the file; one finished while it runs or after
// it is added to what was read. Each counts once.
void CoreWeakSpotsTest::historyCountsEveryRunOnce()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("RK.log")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(line(1, "f>d", "f:5") + '\n' + line(5, "", "h:1", "は:1") + '\n');
    file.close();
    WeakSpotHistory history(file.fileName());
    RunTally tally;
    tally.rightKeys = {{'f', 3}};
    history.addRun(1, tally); // already in the file
    history.startReading();
    history.addRun(weakKeysLevel, tally);
    QCOMPARE(history.spots().runs(WeakKind::Keys), 2);
    history.addRun(2, tally);
    QCOMPARE(history.spots().runs(WeakKind::Keys), 3);
    QCOMPARE(history.spots().runs(WeakKind::Kana), 1);
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
    QCOMPARE(s.keyTyped('f', 20).outcome, KeyOutcome::ItemDone);
    QCOMPARE(s.keyTyped('-', 30).outcome, KeyOutcome::ItemDone);
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
