// SPDX-License-Identifier: GPL-3.0-or-later
// Word readings from MeCab and its IPA dictionary, which CI installs.
#include "core/owntext.h"
#include "reading/mecabreader.h"

#include <QTest>

using namespace rinkaro;

class ReadingTest : public QObject
{
    Q_OBJECT

private slots:
    void sentences_data();
    void sentences();
};

void ReadingTest::sentences_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ruby");
    QTest::addColumn<QString>("reading");

    // Particles keep their letters (は, へ, を); verbs are read with their okurigana.
    QTest::newRow("particles") << "私は駅へ行く。"
                               << "私《わたし》は駅《えき》へ｜行く《いく》。"
                               << "わたしはえきへいく。";
    QTest::newRow("katakana in hiragana")
        << "新しい辞書を買いました。"
        << "｜新しい《あたらしい》辞書《じしょ》を｜買い《かい》ました。"
        << "あたらしいじしょをかいました。";
    // The text's own ruby wins over the dictionary.
    QTest::newRow("ruby kept") << "東風《こち》が吹く。"
                               << "東風《こち》が｜吹く《ふく》。"
                               << "こちがふく。";
    QTest::newRow("Latin and digits") << "ＰＣで3回"
                                      << "ＰＣで3回《かい》"
                                      << "PCで3かい";
}

void ReadingTest::sentences()
{
    QFETCH(QString, text);
    QFETCH(QString, ruby);
    QFETCH(QString, reading);
    MeCabReader reader;
    QVERIFY2(reader.available(), qPrintable(reader.error()));
    RubyLine line = textSentences(text).at(0);
    QVERIFY(fillReadings(line, reader));
    QCOMPARE(formatRuby(line), ruby);
    QCOMPARE(readingText(line), reading);
    QVERIFY(fullyRead(line));
}

QTEST_APPLESS_MAIN(ReadingTest)
#include "test_reading.moc"
