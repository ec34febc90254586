// The arithmetic of a run on its own: elapsed time from the tick counter, single-precision
// seconds, the score, the record rule and the masking of typed romaji.
#include "core/runmath.h"
#include "core/scorebook.h"

#include <QTest>

class DrillCalcTest : public QObject
{
    Q_OBJECT
private slots:
    void elapsedTenths_data();
    void elapsedTenths();
    void secondsAreSinglePrecision_data();
    void secondsAreSinglePrecision();
    void scoreAddsOnePerError();
    void onlyAStrictlyLowerScoreBeatsTheRecord_data();
    void onlyAStrictlyLowerScoreBeatsTheRecord();
    void expectedLetter_data();
    void expectedLetter();
    void maskTyped_data();
    void maskTyped();
    void standardScoresPerLevel();
};

void DrillCalcTest::elapsedTenths_data()
{
    QTest::addColumn<quint32>("start");
    QTest::addColumn<quint32>("now");
    QTest::addColumn<int>("tenths");
    QTest::newRow("same tick") << 1000000u << 1000000u << 0;
    QTest::newRow("12.3 s") << 1000000u << 1012300u << 123;
    // Whole tenths of the counter, as start / 100 and now / 100 read them.
    QTest::newRow("crosses a tenth in 1 ms") << 1099u << 1100u << 1;
    QTest::newRow("99 ms within one tenth") << 1100u << 1199u << 0;
    QTest::newRow("wrap, 31.4 s") << 0xFFFFFFFFu - 15000u << 0xFFFFFFFFu - 15000u + 31400u << 314;
    QTest::newRow("wrap in the same tenth") << 0xFFFFFFFFu << 0u << 0;
    QTest::newRow("wrap into the next tenth") << 0xFFFFFFFFu << 4u << 1;
    QTest::newRow("wrap, 10 s from 200 ms before") << 0xFFFFFFFFu - 199u << 9800u << 100;
    QTest::newRow("counter near the top, no wrap") << 0xFFFFF000u << 0xFFFFFFFFu << 40;
}

void DrillCalcTest::elapsedTenths()
{
    QFETCH(quint32, start);
    QFETCH(quint32, now);
    QFETCH(int, tenths);
    QCOMPARE(::elapsedTenths(start, now), tenths);
}

void DrillCalcTest::secondsAreSinglePrecision_data()
{
    QTest::addColumn<int>("tenths");
    QTest::addColumn<double>("seconds");
    QTest::newRow("12.3") << 123 << 12.300000190734863;
    QTest::newRow("0.9 rounds once") << 9 << double(0.9f);
    QTest::newRow("31.4") << 314 << double(31.4f);
    QTest::newRow("0") << 0 << 0.0;
    QTest::newRow("an hour") << 36000 << 3600.0;
}

void DrillCalcTest::secondsAreSinglePrecision()
{
    QFETCH(int, tenths);
    QFETCH(double, seconds);
    QCOMPARE(double(secondsFromTenths(tenths)), seconds);
}

void DrillCalcTest::scoreAddsOnePerError()
{
    QCOMPARE(runScore(0, secondsFromTenths(123)), 12.300000190734863);
    QCOMPARE(runScore(2, secondsFromTenths(314)), 2.0 + double(31.4f));
    QCOMPARE(formatTenths(runScore(2, secondsFromTenths(314))), QStringLiteral("33.4"));
}

void DrillCalcTest::onlyAStrictlyLowerScoreBeatsTheRecord_data()
{
    QTest::addColumn<double>("score");
    QTest::addColumn<double>("record");
    QTest::addColumn<bool>("beats");
    QTest::newRow("no record yet") << 99.0 << 0.0 << true;
    QTest::newRow("lower") << 33.0 << 33.4 << true;
    QTest::newRow("equal") << 33.4 << 33.4 << false;
    QTest::newRow("higher") << 34.0 << 33.4 << false;
}

void DrillCalcTest::onlyAStrictlyLowerScoreBeatsTheRecord()
{
    QFETCH(double, score);
    QFETCH(double, record);
    QFETCH(bool, beats);
    QCOMPARE(beatsRecord(score, record), beats);
}

void DrillCalcTest::expectedLetter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("letter");
    QTest::newRow("first") << "CHA" << 1 << "c";
    QTest::newRow("last") << "CHA" << 3 << "a";
    QTest::newRow("punctuation kept") << "," << 1 << ",";
    QTest::newRow("past the end") << "SI" << 3 << "";
    QTest::newRow("zero") << "SI" << 0 << "";
    QTest::newRow("empty") << "" << 1 << "";
}

void DrillCalcTest::expectedLetter()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, letter);
    QCOMPARE(::expectedLetter(text, position), letter);
}

void DrillCalcTest::maskTyped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("masked");
    QTest::newRow("none") << "KA SA NE" << 0 << "KA SA NE";
    QTest::newRow("k") << "KA SA NE" << 1 << "_A SA NE";
    QTest::newRow("space passed") << "KA SA NE" << 3 << "___SA NE";
    QTest::newRow("all") << "CHA" << 3 << "___";
    QTest::newRow("more than the text") << "SI" << 5 << "__";
    QTest::newRow("negative") << "SI" << -1 << "SI";
}

void DrillCalcTest::maskTyped()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, masked);
    QCOMPARE(::maskTyped(text, count), masked);
}

void DrillCalcTest::standardScoresPerLevel()
{
    const std::array<int, 10> expected{0, 15, 20, 20, 15, 40, 40, 140, 150, 160};
    QCOMPARE(standardScores, expected);
}

QTEST_GUILESS_MAIN(DrillCalcTest)
#include "test_drillcalc.moc"
