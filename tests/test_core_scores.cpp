// SPDX-License-Identifier: GPL-3.0-or-later
// Scores as shown, the standard scores, the record rule and the two tables of records.
#include "core/runrules.h"
#include "core/scorebook.h"
#include "core/settingsfile.h"

#include <QTest>

using namespace rinkaro;

class CoreScoresTest : public QObject
{
    Q_OBJECT
private slots:
    void formatTenths_data();
    void formatTenths();
    void eachLevelHasItsStandardAndOnlyLevelsRecord_data();
    void eachLevelHasItsStandardAndOnlyLevelsRecord();
    void recordOnlyReplacedByAStrictlyLowerScore();
    void theOrderModeChoosesTheTable_data();
    void theOrderModeChoosesTheTable();
    void tablesRoundTripThroughTheSettings();
};

void CoreScoresTest::formatTenths_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shown");
    QTest::newRow("float run") << 12.300000190734863 << QLocale::c() << "12.3";
    QTest::newRow("run with errors")
        << runScore(2, secondsFromTenths(314)) << QLocale::c() << "33.4";
    QTest::newRow("rounds up") << 99.96 << QLocale::c() << "100.0";
    QTest::newRow("rounds down") << 7.04 << QLocale::c() << "7.0";
    QTest::newRow("whole") << 41.0 << QLocale::c() << "41.0";
    QTest::newRow("no record") << 0.0 << QLocale::c() << "0.0";
    QTest::newRow("no grouping") << 12345.25 << QLocale::c() << "12345.3";
    QTest::newRow("comma, no grouping") << 12345.25 << QLocale(QLocale::German) << "12345,3";
}

void CoreScoresTest::formatTenths()
{
    QFETCH(double, value);
    QFETCH(QLocale, locale);
    QFETCH(QString, shown);
    QCOMPARE(::formatTenths(value, locale), shown);
}

void CoreScoresTest::eachLevelHasItsStandardAndOnlyLevelsRecord_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("standard");
    const int standards[] = {0, 0, 15, 20, 20, 15, 40, 40, 140, 150, 160, 0};
    for (int level = -1; level <= 10; ++level)
        QTest::addRow("%d", level) << level << standards[level + 1];
}

void CoreScoresTest::eachLevelHasItsStandardAndOnlyLevelsRecord()
{
    QFETCH(int, level);
    QFETCH(int, standard);
    const bool isLevel = level >= 1 && level <= 9;
    ScoreBook book;
    const RecordedRun run = book.record(RunResult{level, secondsFromTenths(123), 2});
    QCOMPARE(ScoreBook::standardScore(level), standard);
    QCOMPARE(run.standard, standard);
    QCOMPARE(run.score, 2 + 12.300000190734863);
    QCOMPARE(run.bestBefore, 0.0);
    QCOMPARE(run.newRecord, isLevel);
    QCOMPARE(book.best(level, false), isLevel ? run.score : 0.0);
    QCOMPARE(book.best(level, true), 0.0);
}

void CoreScoresTest::recordOnlyReplacedByAStrictlyLowerScore()
{
    const double first = 2 + double(31.4f);
    const struct {
        int tenths;
        int errors;
        double bestBefore;
        bool newRecord;
        double recordAfter;
    } runs[] = {
        {314, 2, 0, true, first},             // no record yet
        {300, 4, first, false, first},        // 34.0: worse
        {314, 2, first, false, first},        // equal: kept
        {330, 0, first, true, double(33.0f)}, // 33.0: better
    };
    ScoreBook book;
    for (const auto &run : runs) {
        const RecordedRun recorded =
            book.record(RunResult{4, secondsFromTenths(run.tenths), run.errors});
        QCOMPARE(recorded.bestBefore, run.bestBefore);
        QCOMPARE(recorded.newRecord, run.newRecord);
        QCOMPARE(book.best(4, false), run.recordAfter);
    }
    QCOMPARE(book.best(4, true), 0.0);
}

void CoreScoresTest::theOrderModeChoosesTheTable_data()
{
    QTest::addColumn<bool>("randomOrder");
    QTest::addColumn<double>("bestBefore");
    QTest::addColumn<double>("ordered");
    QTest::addColumn<double>("random");
    QTest::newRow("random") << true << 40.0 << 50.0 << 15.0;
    QTest::newRow("ordered") << false << 50.0 << 15.0 << 40.0;
}

void CoreScoresTest::theOrderModeChoosesTheTable()
{
    QFETCH(bool, randomOrder);
    QFETCH(double, bestBefore);
    QFETCH(double, ordered);
    QFETCH(double, random);
    ScoreBook book;
    book.setBest(4, false, 50.0);
    book.setBest(4, true, 40.0);
    const RecordedRun run = book.record(RunResult{4, 15.0f, 0, randomOrder});
    QCOMPARE(run.bestBefore, bestBefore);
    QVERIFY(run.newRecord);
    QCOMPARE(book.best(4, false), ordered);
    QCOMPARE(book.best(4, true), random);
}

void CoreScoresTest::tablesRoundTripThroughTheSettings()
{
    SettingsRecord settings;
    settings.level = 7;
    for (int n = 0; n < 9; ++n) {
        settings.orderedRecords[n] = 10.5 + n;
        settings.randomRecords[n] = 100.25 + n;
    }
    ScoreBook book;
    book.load(settings);
    QCOMPARE(book.best(1, false), 10.5);
    QCOMPARE(book.best(9, true), 108.25);

    SettingsRecord stored;
    book.store(stored);
    QCOMPARE(stored.orderedRecords, settings.orderedRecords);
    QCOMPARE(stored.randomRecords, settings.randomRecords);
    QCOMPARE(stored.level, 1); // only the tables are written
}

QTEST_APPLESS_MAIN(CoreScoresTest)
#include "test_core_scores.moc"
