// The statistics gathered from a history: miss rates per key and what was typed instead,
// the kana missed most, each level's progress and best, one level or all.
#include "core/progressstats.h"

#include <QTest>

namespace
{

ProgressStats gathered()
{
    // clang-format off
    const char *const lines[] = {
        "1\to\t20.5\t0\t20.5\t1\tf>d f>d f>g j>k\tf:6 j:9\t",
        "2\to\t12.0\t0\t12.0\t1\tf>g\tf:4\t",
        "3\to\t18.0\t0\t18.0\t1\t\tf:1\t",
        "3\to\t19.0\t0\t19.0\t0\t\tf:1\t",
        "3\tr\t25.0\t0\t25.0\t1\t\tf:1\t",
        "5\to\t30.0\t0\t30.0\t1\tし:h>j し:i>u つ:t>r ふ:h>f あ:a>s\th:2\tあ:1 か:5 し:2 つ:1 ふ:3",
        "7\to\t40.0\t0\t40.0\t1\tっ:t>k っ:t>t っ:k>j\t\tっ:1",
    };
    // clang-format on
    ProgressStats stats;
    for (const char *line : lines)
        stats.add(parseRunLogLine("2026-12-07T10:15:03+09:00\t" + QByteArray(line)).value());
    return stats;
}

} // namespace

class CoreProgressTest : public QObject
{
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
    void mostMissedKana_data();
    void mostMissedKana();
    void progressAndBest();
};

void CoreProgressTest::keys_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<char>("key");
    QTest::addColumn<int>("misses");
    QTest::addColumn<int>("right");
    QTest::addColumn<char>("instead");
    QTest::newRow("level 1, f") << 1 << 'f' << 3 << 6 << 'd';
    QTest::newRow("level 2, f") << 2 << 'f' << 1 << 4 << 'g';
    QTest::newRow("all, f: d and g tie") << 0 << 'f' << 4 << 13 << 'd';
    QTest::newRow("all, h from the kana") << 0 << 'h' << 2 << 2 << 'f';
    QTest::newRow("level 3, f never missed") << 3 << 'f' << 0 << 3 << '\0';
    QTest::newRow("level 4, nothing") << 4 << 'f' << 0 << 0 << '\0';
}

void CoreProgressTest::keys()
{
    QFETCH(int, level);
    QFETCH(char, key);
    QFETCH(int, misses);
    QFETCH(int, right);
    QFETCH(char, instead);
    const auto keys = gathered().keys(level);
    const MissCount count = keys.count(key) ? keys.at(key) : MissCount();
    QCOMPARE(count.misses, misses);
    QCOMPARE(count.right, right);
    QCOMPARE(count.rate(), misses + right ? double(misses) / (misses + right) : 0.0);
    QCOMPARE(count.mostOftenInstead(), instead);
}

void CoreProgressTest::mostMissedKana_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("kana");
    // Rates: っ 3/4, し 2/4, あ and つ 1/2, ふ 1/4; か never missed.
    QTest::newRow("all levels") << 0 << 10 << "っしあつふ";
    QTest::newRow("one level") << 5 << 10 << "しあつふ";
    QTest::newRow("at most two") << 5 << 2 << "しあ";
    QTest::newRow("none missed") << 1 << 10 << "";
}

void CoreProgressTest::mostMissedKana()
{
    QFETCH(int, level);
    QFETCH(int, count);
    QFETCH(QString, kana);
    QString order;
    for (const auto &[text, counts] : gathered().mostMissedKana(level, count))
        order += text;
    QCOMPARE(order, kana);
}

void CoreProgressTest::progressAndBest()
{
    const ProgressStats stats = gathered();
    QCOMPARE(stats.runs(), 7);
    QList<std::pair<double, bool>> ordered;
    for (const ProgressPoint &point : stats.progress(3, false))
        ordered.append({point.score, point.newRecord});
    QCOMPARE(ordered, (QList<std::pair<double, bool>>{{18.0, true}, {19.0, false}}));
    QCOMPARE(stats.progress(3, true).size(), size_t(1));
    QCOMPARE(stats.best(3, false), 18.0);
    QCOMPARE(stats.best(3, true), 25.0);
    QCOMPARE(stats.best(4, false), 0.0);
}

QTEST_APPLESS_MAIN(CoreProgressTest)
#include "test_core_progress.moc"
