// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic of a run on its own: elapsed time from the tick counter, single-precision
// seconds, and the letter expected and the masking of typed romaji. The score and the
// record rule are the score book's (test_core_scores).
#include "core/runrules.h"

#include <QTest>

using namespace rinkaro;

class CoreRunRulesTest : public QObject
{
    Q_OBJECT
private slots:
    void elapsedTenths_data();
    void elapsedTenths();
    void secondsAreSinglePrecision_data();
    void secondsAreSinglePrecision();
    void expectedLetter_data();
    void expectedLetter();
    void maskTyped_data();
    void maskTyped();
};

void CoreRunRulesTest::elapsedTenths_data()
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

void CoreRunRulesTest::elapsedTenths()
{
    QFETCH(quint32, start);
    QFETCH(quint32, now);
    QFETCH(int, tenths);
    QCOMPARE(::elapsedTenths(start, now), tenths);
}

void CoreRunRulesTest::secondsAreSinglePrecision_data()
{
    QTest::addColumn<int>("tenths");
    QTest::addColumn<double>("seconds");
    QTest::newRow("12.3") << 123 << 12.300000190734863;
    QTest::newRow("0.9 rounds once") << 9 << double(0.9f);
    QTest::newRow("31.4") << 314 << double(31.4f);
    QTest::newRow("0") << 0 << 0.0;
    QTest::newRow("an hour") << 36000 << 3600.0;
}

void CoreRunRulesTest::secondsAreSinglePrecision()
{
    QFETCH(int, tenths);
    QFETCH(double, seconds);
    QCOMPARE(double(secondsFromTenths(tenths)), seconds);
}

void CoreRunRulesTest::expectedLetter_data()
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

void CoreRunRulesTest::expectedLetter()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, letter);
    QCOMPARE(::expectedLetter(text, position), letter);
}

void CoreRunRulesTest::maskTyped_data()
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

void CoreRunRulesTest::maskTyped()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, masked);
    QCOMPARE(::maskTyped(text, count), masked);
}

QTEST_APPLESS_MAIN(CoreRunRulesTest)
#include "test_core_runrules.moc"
