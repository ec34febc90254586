// SPDX-License-Identifier: GPL-3.0-or-later
// Free romaji input: the spellings taken for each kana, ん and っ by what follows them, the
// reading line following the spelling typed, and what a miss records.
#include "core/drillsession.h"
#include "core/romajimatch.h"

#include <QTest>

namespace
{

FreeRomaji itemOf(const QString &codes, const RomajiChoices &choices = {})
{
    const RomajiTable table(choices);
    const DecodedPhrase phrase = decodeCodes(table, codes);
    std::vector<FreeSyllable> syllables;
    for (int k = 1; k <= phrase.syllableCount; ++k)
        syllables.push_back({phrase.codes[k], phrase.doubled[k]});
    FreeRomaji item;
    item.setItem(table, syllables);
    return item;
}

// One character per key: w wrong, the number of syllables it closed, D the item done.
QString type(FreeRomaji &item, const QString &keys)
{
    QString steps;
    for (const QChar key : keys) {
        const FreeRomaji::Step step = item.type(key.toLatin1());
        steps += !step.right ? u'w' : step.itemDone ? u'D' : QChar(u'0' + step.syllablesDone);
    }
    return steps;
}

constexpr RomajiChoices shiChosen{true};

} // namespace

class CoreRomajiMatchTest : public QObject
{
    Q_OBJECT
private slots:
    void spellings_data();
    void spellings();
    void typing_data();
    void typing();
    void missNamesTheKeyOfTheSpellingShown();
};

void CoreRomajiMatchTest::spellings_data()
{
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QStringList>("accepted");
    QTest::addColumn<QString>("wrongFirst");
    const auto row = [](const char *name, const char *codes, QStringList accepted,
                        const char *wrong) {
        QTest::newRow(name) << QString::fromLatin1(codes) << accepted << QString::fromLatin1(wrong);
    };
    row("し", "12", {"shi", "si", "ci"}, "tjz");
    row("ち", "17", {"chi", "ti", "tsi"}, "sz");
    row("つ", "18", {"tsu", "tu"}, "scz");
    row("ふ", "28", {"fu", "hu"}, "pv");
    row("じ", "53", {"ji", "zi"}, "dsc");
    row("ぢ", "58", {"di"}, "jzc");
    row("づ", "59", {"du"}, "zt");
    row("を", "45", {"wo"}, "o");
    row("ん alone", "46", {"nn", "n'", "xn"}, "m");
    row("きゃ", "72", {"kya", "kixya", "kilya"}, "c");
    row("しゃ", "75", {"sha", "sya", "sixya", "silya", "shixya", "cilya"}, "tj");
    row("じょ", "80", {"jo", "jyo", "zyo", "jixyo", "zilyo"}, "d");
    row("ちゃ", "81", {"cha", "tya", "cya", "chixya", "tilya", "tsixya"}, "s");
    row("、 。 ー", "858687", {",.-"}, "a");
}

// Each spelling types the kana to its end; a letter that starts none is wrong.
void CoreRomajiMatchTest::spellings()
{
    QFETCH(QString, codes);
    QFETCH(QStringList, accepted);
    QFETCH(QString, wrongFirst);
    for (const QString &keys : accepted) {
        FreeRomaji item = itemOf(codes);
        const QString steps = type(item, keys);
        QVERIFY2(!steps.contains(u'w') && steps.endsWith(u'D'), qPrintable(keys + ": " + steps));
    }
    for (const QChar key : wrongFirst) {
        FreeRomaji item = itemOf(codes);
        QCOMPARE(type(item, key), "w");
    }
}

void CoreRomajiMatchTest::typing_data()
{
    QTest::addColumn<QString>("codes");
    QTest::addColumn<RomajiChoices>("choices");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("reading");
    const auto row = [](const char *name, const char *codes, const char *keys, const char *steps,
                        const char *reading, RomajiChoices choices = {}) {
        QTest::newRow(name) << QString::fromLatin1(codes) << choices << QString::fromLatin1(keys)
                            << QString::fromLatin1(steps) << QString::fromLatin1(reading);
    };
    // Faults caught: the line keeping the table's spelling after the keys left it, or
    // leaving the table's spelling while the keys still fit it.
    row("sh turns SI into SHI", "1201", "sh", "00", "__I A");
    row("si turns a chosen SHI into SI", "1201", "si", "01", "___A", shiChosen);
    row("c turns TI into CHI", "1701", "c", "0", "_HI A");
    row("ts turns TI into TSI", "1701", "ts", "00", "__I A");
    row("sy turns SHA into SYA", "7501", "sy", "00", "__A A");
    row("a wrong letter mid-syllable", "1201", "sai", "0w1", "___A");
    // ん: a single n only where nothing else could follow it.
    row("ん n before a consonant", "4606", "nk", "01", "___A");
    row("ん nn before a consonant", "4606", "nnka", "010D", "_____");
    row("ん n before a vowel", "4601", "nana", "0w1D", "____");
    row("ん n before y", "4636", "nyanya", "0ww10D", "_____");
    row("ん nn before n", "4621", "nnana", "01w0D", "_____");
    row("ん at the end", "0146", "anxn", "10wD", "____");
    row("ん n before っ", "468406", "nkka", "010D", "_____");
    // っ: the follower's first consonant doubled, or a small tsu of its own.
    row("っ doubled", "8406", "kka", "00D", "___");
    row("っ single k", "8406", "kak", "0w0", "__A");
    row("っ as xt", "840601", "xt", "00", "__UKA A");
    row("っ as ltsu", "8406", "ltsuka", "00000D", "______");
    row("っ before ち", "841701", "cchi", "0001", "_____A");
}

void CoreRomajiMatchTest::typing()
{
    QFETCH(QString, codes);
    QFETCH(RomajiChoices, choices);
    QFETCH(QString, keys);
    FreeRomaji item = itemOf(codes, choices);
    QTEST(type(item, keys), "steps");
    QTEST(item.reading(), "reading");
}

// Faults caught: a miss naming the table's letter rather than the one shown; the hint not
// following the spelling typed; the option off still taking other spellings.
void CoreRomajiMatchTest::missNamesTheKeyOfTheSpellingShown()
{
    DrillSession session([](int) { return 11; }); // after あ, draws し
    session.selectLevel(5);
    session.setRandomOrder(true);
    session.setFreeRomaji(true);
    session.start(0);
    session.keyTyped('a', 0);
    QCOMPARE(session.mainText(), "し");
    session.keyTyped('s', 0);
    session.keyTyped('h', 0);
    QCOMPARE(session.readingText(), "__I");
    QCOMPARE(session.hintKey(), "i");
    QCOMPARE(session.keyTyped('o', 0).outcome, KeyOutcome::Wrong);
    QCOMPARE(session.tally().misses.size(), 1u);
    QCOMPARE(session.tally().misses[0].expected, 'i');
    session.setFreeRomaji(false);
    QCOMPARE(session.readingText(), "SI");
    QCOMPARE(session.keyTyped('s', 0).outcome, KeyOutcome::Advanced);
    QCOMPARE(session.keyTyped('h', 0).outcome, KeyOutcome::Wrong);
}

QTEST_APPLESS_MAIN(CoreRomajiMatchTest)
#include "test_core_romajimatch.moc"
