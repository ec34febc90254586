// SPDX-License-Identifier: GPL-3.0-or-later
// Text in ruby notation: words written with kanji and their readings.
#include "core/rubytext.h"

#include <QTest>

using namespace rinkaro;

class RubyTextTest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void formatGivesTheSameSegments();
    void hiragana();
};

// Segments written as "written=reading" (annotated) or "written:reading" (read as written),
// joined by " / ".
static QString describe(const RubyLine &line)
{
    QStringList parts;
    for (const RubySegment &segment : line)
        parts << segment.written + (segment.annotated ? u'=' : u':') + segment.reading;
    return parts.join(QStringLiteral(" / "));
}

void RubyTextTest::parse_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("segments");
    QTest::addColumn<int>("errorIndex");

    QTest::newRow("kanji runs") << "私《わたし》の名前《なまえ》"
                                << "私=わたし / の:の / 名前=なまえ" << -1;
    QTest::newRow("okurigana and katakana") << "食《た》べるパン。"
                                            << "食=た / べるパン。:べるぱん。" << -1;
    // Without ｜ only the kanji just before the bracket carry the ruby.
    QTest::newRow("kana before the base") << "お茶《ちゃ》"
                                          << "お:お / 茶=ちゃ" << -1;
    QTest::newRow("bar starts the base") << "｜3時《さんじ》だ"
                                         << "3時=さんじ / だ:だ" << -1;
    QTest::newRow("bar splits a kanji run") << "東京｜特許《とっきょ》"
                                            << "東京: / 特許=とっきょ" << -1;
    QTest::newRow("katakana reading") << "東風《コチ》"
                                      << "東風=こち" << -1;
    QTest::newRow("kanji without ruby") << "今日は晴れ"
                                        << "今日: / は:は / 晴: / れ:れ" << -1;
    QTest::newRow("repeat mark") << "人々《ひとびと》"
                                 << "人々=ひとびと" << -1;
    // Faults keep their text, so that a damaged line still reads.
    QTest::newRow("no base") << "あ《い》"
                             << "あ《い》:あ《い》" << 1;
    QTest::newRow("not closed") << "山《やま"
                                << "山: / 《やま:《やま" << 1;
    QTest::newRow("nested") << "山《や《ま》》"
                            << "山: / 《や《ま》》:《や《ま》》" << 1;
    QTest::newRow("empty reading") << "山《》"
                                   << "山: / 《》:《》" << 1;
    QTest::newRow("kanji in the reading") << "山《山》"
                                          << "山: / 《:《 / 山: / 》:》" << 1;
    QTest::newRow("stray close") << "山》"
                                 << "山: / 》:》" << 1;
    QTest::newRow("bar with no ruby") << "｜山"
                                      << "山:" << 0;
    QTest::newRow("second ruby after a fault") << "《あ》川《かわ》"
                                               << "《あ》:《あ》 / 川=かわ" << 0;
}

void RubyTextTest::parse()
{
    QFETCH(QString, line);
    QFETCH(QString, segments);
    QFETCH(int, errorIndex);
    const RubyParse parse = parseRuby(line);
    QCOMPARE(describe(parse.segments), segments);
    QCOMPARE(parse.errorIndex, errorIndex);
    QCOMPARE(parse.error.isEmpty(), errorIndex < 0);
}

void RubyTextTest::formatGivesTheSameSegments()
{
    // A corrected reading is saved in notation and read back: every kind of segment must
    // survive, the notation's own marks in a text included.
    const RubyLine line{{QStringLiteral("東京"), QString(), false},
                        {QStringLiteral("特許"), QStringLiteral("とっきょ"), true},
                        {QStringLiteral("の"), QStringLiteral("の"), false},
                        {QStringLiteral("3時"), QStringLiteral("さんじ"), true},
                        {QStringLiteral("お"), QStringLiteral("お"), false},
                        {QStringLiteral("茶"), QStringLiteral("ちゃ"), true}};
    QCOMPARE(formatRuby(line),
             QStringLiteral("東京｜特許《とっきょ》の｜3時《さんじ》お茶《ちゃ》"));
    QCOMPARE(describe(parseRuby(formatRuby(line)).segments), describe(line));
    const RubyLine marks{{QStringLiteral("《注》｜"), QStringLiteral("《注》｜"), false}};
    const RubyParse again = parseRuby(formatRuby(marks));
    QCOMPARE(again.errorIndex, -1);
    QCOMPARE(writtenText(again.segments), QStringLiteral("≪注≫│"));
    QVERIFY(!fullyRead(again.segments));
    QVERIFY(fullyRead(parseRuby(u"注《ちゅう》").segments));
}

void RubyTextTest::hiragana()
{
    QCOMPARE(toHiragana(u"ヴァイオリン・コーヒー ABC 漢ヶ"),
             QStringLiteral("ゔぁいおりん・こーひー ABC 漢ゖ"));
    QCOMPARE(readingText(parseRuby(u"明日《あした》はパーティー！").segments),
             QStringLiteral("あしたはぱーてぃー！"));
}

QTEST_APPLESS_MAIN(RubyTextTest)
#include "test_core_rubytext.moc"
