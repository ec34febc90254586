// SPDX-License-Identifier: GPL-3.0-or-later
// The syllable tables, the phrase list as written and the decoding of coded phrases.
#include "core/romaji.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace rinkaro;

namespace
{

// The tables as a learner reads them off the syllabary, kept apart from the program's own
// copy so that a slip in either shows.
QStringList expectedKana()
{
    QStringList kana{QString()};
    for (QChar ch : QStringLiteral("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ"
                                   "まみむめもやゆよらりるれろわをん"
                                   "がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ"))
        kana << QString(ch);
    kana << QStringLiteral("きゃ きゅ きょ しゃ しゅ しょ じゃ じゅ じょ ちゃ ちゅ ちょ")
                .split(u' ');
    kana << QStringLiteral("っ") << QStringLiteral("、") << QStringLiteral("。")
         << QStringLiteral("ー") << QString() << QString() << QString();
    return kana;
}

QStringList expectedRomaji()
{
    QStringList romaji{QString()};
    romaji << QStringLiteral("A I U E O KA KI KU KE KO SA SI SU SE SO TA TI TU TE TO "
                             "NA NI NU NE NO HA HI HU HE HO MA MI MU ME MO YA YU YO "
                             "RA RI RU RE RO WA WO NN GA GI GU GE GO ZA ZI ZU ZE ZO "
                             "DA DI DU DE DO BA BI BU BE BO PA PI PU PE PO "
                             "KYA KYU KYO SHA SHU SHO JA JU JO CHA CHU CHO")
                  .split(u' ');
    romaji << QStringLiteral(" ") << QStringLiteral(",") << QStringLiteral(".")
           << QStringLiteral("-") << QString() << QString() << QString();
    return romaji;
}

QList<int> codesOf(const char *codes)
{
    QList<int> list;
    const QString text = QString::fromLatin1(codes);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        list << text.mid(i, 2).toInt();
    return list;
}

struct Group {
    int first, last, minCodes, maxCodes;
};
const Group phraseGroups[] = {{1, 35, 2, 9}, {36, 52, 8, 12}, {53, 76, 6, 10}};

} // namespace

class CoreRomajiTest : public QObject
{
    Q_OBJECT
private slots:
    void tablesHoldTheSyllabaryInOrder_data();
    void tablesHoldTheSyllabaryInOrder();
    void lookupsOutsideTheTablesFindNothing();
    void choicesRewriteOnlyTheirFourteenEntries();

    void storedPhraseFollowsTheRules_data();
    void storedPhraseFollowsTheRules();
    void phraseListHasEmptyLastSlots();
    void phrasesUseEveryKindOfCode();
    void phrasesAreAllDifferent();

    void codesDecodeToSyllables_data();
    void codesDecodeToSyllables();
    void decodingUsesTheTableGiven();
};

void CoreRomajiTest::tablesHoldTheSyllabaryInOrder_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("kana");
    QTest::addColumn<QString>("romaji");
    const QStringList kana = expectedKana();
    const QStringList romaji = expectedRomaji();
    QCOMPARE(kana.size(), syllableSlots + 1);
    QCOMPARE(romaji.size(), syllableSlots + 1);
    for (int i = 1; i <= syllableSlots; ++i)
        QTest::addRow("%d %s", i, qPrintable(romaji[i])) << i << kana[i] << romaji[i];
}

void CoreRomajiTest::tablesHoldTheSyllabaryInOrder()
{
    QFETCH(int, index);
    QFETCH(QString, kana);
    QFETCH(QString, romaji);
    QCOMPARE(kanaAt(index), kana);
    QCOMPARE(RomajiTable().romaji(index), romaji);
}

void CoreRomajiTest::lookupsOutsideTheTablesFindNothing()
{
    for (int index : {-1, 0, 91, 1000}) {
        QVERIFY(kanaAt(index).isEmpty());
        QVERIFY(RomajiTable().romaji(index).isEmpty());
    }
}

void CoreRomajiTest::choicesRewriteOnlyTheirFourteenEntries()
{
    const RomajiTable defaults;
    RomajiChoices all;
    all.fill(true);
    const RomajiTable alternatives(all);
    QSet<int> changed;
    for (int i = 0; i <= syllableSlots; ++i)
        if (alternatives.romaji(i) != defaults.romaji(i))
            changed << i;
    QCOMPARE(changed, (QSet<int>{12, 17, 18, 28, 53, 75, 76, 77, 78, 79, 80, 81, 82, 83}));
    QCOMPARE(alternatives.romaji(81), QStringLiteral("TYA"));
    QCOMPARE(alternatives.choices(), all);

    // Each group on its own changes only its own entries.
    for (int group = 0; group < romajiGroups; ++group) {
        RomajiChoices one{};
        one[group] = true;
        const RomajiTable table(one);
        for (int i = 0; i <= syllableSlots; ++i) {
            const RomajiChoice &choice = romajiChoices[group];
            const bool own =
                std::find(choice.entries.begin(), choice.entries.begin() + choice.count, i) !=
                choice.entries.begin() + choice.count;
            QCOMPARE(table.romaji(i) != defaults.romaji(i), own);
        }
    }
}

void CoreRomajiTest::storedPhraseFollowsTheRules_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("minCodes");
    QTest::addColumn<int>("maxCodes");
    for (const Group &group : phraseGroups)
        for (int n = group.first; n <= group.last; ++n)
            QTest::addRow("%d %s", n, phraseSources[n - 1].kana)
                << n << group.minCodes << group.maxCodes;
}

void CoreRomajiTest::storedPhraseFollowsTheRules()
{
    QFETCH(int, number);
    QFETCH(int, minCodes);
    QFETCH(int, maxCodes);
    const PhraseSource &source = phraseSources[number - 1];
    const QString codes = QString::fromLatin1(source.codes);
    QCOMPARE(phraseAt(number), codes);
    QVERIFY(QRegularExpression(QStringLiteral("^([0-9][0-9])+$")).match(codes).hasMatch());

    const QList<int> list = codesOf(source.codes);
    QVERIFY2(list.size() >= minCodes && list.size() <= maxCodes, qPrintable(codes));
    int smallTsuCount = 0;
    for (qsizetype i = 0; i < list.size(); ++i) {
        QVERIFY2(list[i] >= 1 && list[i] <= 87, qPrintable(codes));
        if (list[i] == smallTsu) {
            ++smallTsuCount;
            QVERIFY2(i + 1 < list.size(), "small tsu at the end");
            QVERIFY2(list[i + 1] <= 83, "small tsu before small tsu or punctuation");
        }
    }

    const DecodedPhrase decoded = decodeCodes(RomajiTable(), codes);
    QCOMPARE(decoded.kana, QString::fromUtf8(source.kana));
    QCOMPARE(decodePhrase(RomajiTable(), number).romajiLine, decoded.romajiLine);
    QCOMPARE(decoded.syllableCount, list.size() - smallTsuCount);
    QVERIFY(decoded.syllableCount <= maxSyllables);
    const QStringList pieces = decoded.romajiLine.split(u' ');
    QCOMPARE(pieces.size(), decoded.syllableCount);
    for (int k = 1; k <= decoded.syllableCount; ++k) {
        QCOMPARE(pieces[k - 1], decoded.pieces[k]);
        QVERIFY(!decoded.pieces[k].isEmpty());
    }
}

void CoreRomajiTest::phraseListHasEmptyLastSlots()
{
    QCOMPARE(phraseGroups[2].last, storedPhrases);
    QVERIFY(phraseAt(77).isEmpty());
    QVERIFY(phraseAt(78).isEmpty());
    QVERIFY(phraseAt(0).isEmpty());
    QVERIFY(phraseAt(79).isEmpty());
    for (int n = 1; n <= storedPhrases; ++n)
        QVERIFY(!phraseAt(n).isEmpty());
    // A number that names no phrase decodes to nothing, however far off it is.
    for (int n : {77, 78, 79, 0, -1, 100001}) {
        const DecodedPhrase decoded = decodePhrase(RomajiTable(), n);
        QVERIFY(decoded.kana.isEmpty());
        QVERIFY(decoded.romajiLine.isEmpty());
        QCOMPARE(decoded.syllableCount, 0);
    }
}

void CoreRomajiTest::phrasesUseEveryKindOfCode()
{
    struct Kind {
        const char *name;
        int first, last;
    };
    const Kind kinds[] = {
        {"basic", 1, 46},     {"voiced", 47, 66},    {"half-voiced", 67, 71}, {"きゃ row", 72, 74},
        {"しゃ row", 75, 77}, {"じゃ row", 78, 80},  {"ちゃ row", 81, 83},    {"small tsu", 84, 84},
        {"comma", 85, 85},    {"full stop", 86, 86}, {"long vowel", 87, 87},
    };
    QSet<int> used;
    for (const PhraseSource &source : phraseSources)
        for (int code : codesOf(source.codes))
            used << code;
    for (const Kind &kind : kinds) {
        bool found = false;
        for (int code = kind.first; code <= kind.last; ++code)
            found = found || used.contains(code);
        QVERIFY2(found, kind.name);
    }
}

void CoreRomajiTest::phrasesAreAllDifferent()
{
    QSet<QString> seen;
    for (const PhraseSource &source : phraseSources) {
        const QString kana = QString::fromUtf8(source.kana);
        QVERIFY2(!seen.contains(kana), source.kana);
        seen << kana;
    }
}

void CoreRomajiTest::codesDecodeToSyllables_data()
{
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QStringList>("changes"); // "index=ROMAJI" applied before decoding
    QTest::addColumn<QString>("kana");
    QTest::addColumn<QString>("romajiLine");

    const QStringList none;
    QTest::newRow("small tsu joins ka") << "8406" << none << "っか"
                                        << "KKA";
    QTest::newRow("small tsu before si") << "8412" << none << "っし"
                                         << "SSI";
    QTest::newRow("small tsu before shi") << "8412" << QStringList{"12=SHI"} << "っし"
                                          << "SSHI";
    QTest::newRow("small tsu before tsi") << "8417" << QStringList{"17=TSI"} << "っち"
                                          << "TTSI";
    QTest::newRow("small tsu before cha") << "8481" << none << "っちゃ"
                                          << "CCHA";
    QTest::newRow("small tsu before tya") << "8481" << QStringList{"81=TYA"} << "っちゃ"
                                          << "TTYA";
    QTest::newRow("small tsu mid phrase")
        << "83842031841908571102" << none << "ちょっとまってください"
        << "CHO TTO MA TTE KU DA SA I";
    QTest::newRow("punctuation stands alone") << "2602851503601386" << none << "はい、そうです。"
                                              << "HA I , SO U DE SU .";
    QTest::newRow("long vowel stands alone") << "39873446" << none << "らーめん"
                                             << "RA - ME NN";
    QTest::newRow("empty phrase") << "" << none << ""
                                  << "";
    QTest::newRow("one code") << "45" << none << "を"
                              << "WO";

    // Malformed input: what cannot be a syllable is passed over.
    QTest::newRow("trailing odd digit") << "06011" << none << "かあ"
                                        << "KA A";
    QTest::newRow("single digit") << "6" << none << ""
                                  << "";
    QTest::newRow("trailing small tsu") << "0684" << none << "か"
                                        << "KA";
    QTest::newRow("small tsu before small tsu") << "848406" << none << "っか"
                                                << "KKA";
    QTest::newRow("small tsu before comma") << "8485" << none << "、"
                                            << ",";
    QTest::newRow("small tsu before a bad code") << "849106" << none << "か"
                                                 << "KA";
    QTest::newRow("codes out of range") << "00069188" << none << "か"
                                        << "KA";
    QTest::newRow("non-digits") << "ka0x06 1" << none << "か"
                                << "KA";
    QTest::newRow("full-width digits") << "０６06" << none << "か"
                                       << "KA";
    QTest::newRow("fifteen syllables at most")
        << QString("01").repeated(16) << none << QString("あ").repeated(15)
        << QStringList(15, "A").join(u' ');
    QTest::newRow("fifteen merged syllables at most")
        << QString("8406").repeated(15) + "01" << none << QString("っか").repeated(15)
        << QStringList(15, "KKA").join(u' ');
}

void CoreRomajiTest::codesDecodeToSyllables()
{
    QFETCH(QString, codes);
    QFETCH(QStringList, changes);
    QFETCH(QString, kana);
    QFETCH(QString, romajiLine);
    RomajiChoices choices{};
    for (const QString &change : changes) {
        const int index = change.section(u'=', 0, 0).toInt();
        for (int group = 0; group < romajiGroups; ++group)
            for (int k = 0; k < romajiChoices[group].count; ++k)
                choices[group] = choices[group] || romajiChoices[group].entries[k] == index;
    }
    const RomajiTable table(choices);
    for (const QString &change : changes)
        QCOMPARE(table.romaji(change.section(u'=', 0, 0).toInt()), change.section(u'=', 1));

    const DecodedPhrase decoded = decodeCodes(table, codes);
    QCOMPARE(decoded.kana, kana);
    QCOMPARE(decoded.romajiLine, romajiLine);
    const QStringList pieces = romajiLine.isEmpty() ? QStringList() : romajiLine.split(u' ');
    QCOMPARE(decoded.syllableCount, pieces.size());
    for (int k = 1; k <= decoded.syllableCount; ++k)
        QCOMPARE(decoded.pieces[k], pieces[k - 1]);
    for (int k = decoded.syllableCount + 1; k <= maxSyllables; ++k)
        QVERIFY(decoded.pieces[k].isEmpty());
}

void CoreRomajiTest::decodingUsesTheTableGiven()
{
    const DecodedPhrase before = decodeCodes(RomajiTable(), QStringLiteral("1218"));
    const DecodedPhrase after =
        decodeCodes(RomajiTable({true, false, true}), QStringLiteral("1218"));
    QCOMPARE(before.romajiLine, QStringLiteral("SI TU"));
    QCOMPARE(after.romajiLine, QStringLiteral("SHI TSU"));
    QCOMPARE(after.kana, before.kana);
}

QTEST_APPLESS_MAIN(CoreRomajiTest)
#include "test_core_romaji.moc"
