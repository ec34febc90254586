// SPDX-License-Identifier: GPL-3.0-or-later
// Free romaji input: readings split into syllables, the spellings taken for each kana, ん
// and っ by what follows them, the reading line following the spelling typed, and what a
// miss records.
#include "core/drillsession.h"
#include "core/romajimatch.h"

#include <QTest>

using namespace rinkaro;

namespace
{

FreeRomaji itemOf(const QString &codes, const RomajiChoices &choices = {})
{
    const RomajiTable table(choices);
    const DecodedPhrase phrase = decodeCodes(table, codes);
    std::vector<FreeSyllable> syllables;
    for (int k = 1; k <= phrase.syllableCount; ++k)
        syllables.push_back({phrase.codes[k], phrase.doubled[k], {}});
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
constexpr RomajiChoices tsiChosen{false, true};

// One word per syllable: its kana, "#code" for a table syllable, "*" when doubled.
QString describe(const ReadingSplit &split)
{
    QStringList words;
    for (const FreeSyllable &s : split.syllables)
        words << s.kana + (s.code ? QStringLiteral("#%1").arg(s.code) : QString()) +
                     (s.doubled ? QStringLiteral("*") : QString());
    return words.join(u' ');
}

} // namespace

class CoreRomajiMatchTest : public QObject
{
    Q_OBJECT
private slots:
    void splitReadings_data();
    void splitReadings();
    void spellings_data();
    void spellings();
    void typing_data();
    void typing();
    void missNamesTheKeyOfTheSpellingShown();
};

void CoreRomajiMatchTest::splitReadings_data()
{
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("syllables");
    QTest::addColumn<QString>("firstSpellings");
    QTest::addColumn<QList<int>>("ends");
    QTest::addColumn<int>("badIndex");
    const auto row = [](const char *reading, const char *syllables, const char *first,
                        QList<int> ends, int bad = -1) {
        QTest::newRow(reading) << QString::fromUtf8(reading) << QString::fromUtf8(syllables)
                               << QString::fromLatin1(first) << ends << bad;
    };
    // Faults caught: a pair cut in two, katakana or a sign refused, a small tsu doubling a
    // vowel, n or a sign, ends counted in kana rather than characters, a bad character
    // stopping the split or not reported.
    row("しゃしんをとった。", "しゃ#75 し#12 ん#46 を#45 と#20 った#16* 。#86",
        "sha si nn wo to tta .", {2, 3, 4, 5, 6, 8, 9});
    row("ふぁいる", "ふぁ い#2 る#41", "fa i ru", {2, 3, 4});
    row("ティーカップ", "てぃ ー#87 か#6 っぷ#69*", "thi - ka ppu", {2, 3, 4, 6});
    row("ゔぁいおりん", "ゔぁ い#2 お#5 り#40 ん#46", "va i o ri nn", {2, 3, 4, 5, 6});
    row("でゅえっと", "でゅ え#4 っと#20*", "dhu e tto", {2, 3, 5});
    row("うぃんどう", "うぃ ん#46 ど#61 う#3", "wi nn do u", {2, 3, 4, 5});
    row("つぁくぉ", "つぁ くぉ", "tsa qo", {2, 4});
    row("「にゃーん！」？", "「 にゃ ー#87 ん#46 ！ 」 ？", "[ nya - nn ! ] ?",
        {1, 3, 4, 5, 6, 7, 8});
    row("あっ、っなっあ", "あ#1 っ#84 、#85 っ#84 な#21 っ#84 あ#1", "a xtu , xtu na xtu a",
        {1, 2, 3, 4, 5, 6, 7});
    row("っぁゃっっか", "っ#84 ぁ ゃ っ#84 っか#6*", "xtu xa xya xtu kka", {1, 2, 3, 4, 6});
    row("ゎゐゑゕゖ", "ゎ ゐ ゑ ゕ ゖ", "xwa wyi wye xka xke", {1, 2, 3, 4, 5});
    row("Ｗｉ-Fi 2.0", "W i - F i 2 . 0", "w i - f i 2 . 0", {1, 2, 3, 4, 5, 7, 8, 9}, 5);
    row("a,b.c[d]e!f?9", "a , b . c [ d ] e ! f ? 9", "a , b . c [ d ] e ! f ? 9",
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
    row("漢字", "", "", {}, 0);
    row("あ☆い", "あ#1 い#2", "a i", {1, 3}, 1);
    row("🍣です", "で#60 す#13", "de su", {3, 4}, 0);
}

// Each reading splits as written, and its first spellings type it to its end in both
// modes.
void CoreRomajiMatchTest::splitReadings()
{
    QFETCH(QString, reading);
    QFETCH(QString, firstSpellings);
    const ReadingSplit split = splitReading(reading);
    QTEST(describe(split), "syllables");
    QTEST(QList<int>(split.ends.begin(), split.ends.end()), "ends");
    QTEST(split.badIndex, "badIndex");
    const RomajiTable table;
    QStringList first;
    for (const FreeSyllable &s : split.syllables)
        first << QString::fromStdString(spellingsOf(table, s).front().letters);
    QCOMPARE(first.join(u' '), firstSpellings);
    if (split.syllables.empty())
        return;
    for (const auto mode : {FreeRomaji::Spellings::Free, FreeRomaji::Spellings::Table}) {
        FreeRomaji item;
        item.setItem(table, split.syllables, 0, mode);
        const QString steps = type(item, firstSpellings.remove(u' '));
        QVERIFY2(!steps.contains(u'w') && steps.endsWith(u'D'), qPrintable(steps));
    }
}

void CoreRomajiMatchTest::spellings_data()
{
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QStringList>("accepted");
    QTest::addColumn<QString>("wrongFirst");
    const auto row = [](const char *name, const char *codes, QStringList accepted,
                        const char *wrong) {
        QTest::newRow(name) << QString::fromLatin1(codes) << accepted << QString::fromLatin1(wrong);
    };
    row("う", "03", {"u", "wu", "whu"}, "y");
    row("か く こ", "060810", {"kacuko", "cakuco", "kaquko"}, "x");
    row("せ", "14", {"se", "ce"}, "z");
    row("し", "12", {"shi", "si", "ci"}, "tjz");
    row("ち", "17", {"chi", "ti"}, "sz");
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
    row("ちゃ", "81", {"cha", "tya", "cya", "chixya", "tilya"}, "s");
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
    row("ts is not ち", "1701", "ts", "0w", "_I A");
    row("ts with TSI chosen", "1701", "ts", "00", "__I A", tsiChosen);
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
    row("っ as cc", "8410", "cco", "00D", "___");
    row("っ as xtu before ca", "8406", "xtuca", "0000D", "_____");
    row("っ never a doubled vowel", "8401", "aa", "ww", "XTUA");
    // ん: an input method reads a single n with the next key alone.
    row("ん n before 。", "144686", "sen.", "010D", "______");
    row("ん n before ー", "4687", "n-", "0D", "___");
    row("ん n then xn", "4646", "nxn", "01D", "____");
    row("ん n then xtu", "468406", "nxtuk", "01000", "______A");
    row("ん n then xtu before や", "468436", "nxtuya", "01000D", "_______");
    row("tsixya with TSI chosen", "81", "tsixya", "00000D", "______", tsiChosen);
    row("tsixya otherwise", "81", "ts", "0w", "_YA");
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
