// Drill runs in the syllable and phrase levels played through real key events: the romaji
// expected letter by letter, the masking of what was typed, the key hint, romaji choices
// changed in the middle of a run, and a level changed during a run.
#include "core/romaji.h"
#include "test_drillwindow.h"

namespace
{

// Types one syllable level item, checking the hint before each letter.
void typeSyllable(const DrillWindow &w, const QString &romaji)
{
    for (int i = 0; i < romaji.size(); ++i) {
        QCOMPARE(w.litKey(), romaji.mid(i, 1));
        w.type(romaji.mid(i, 1).toLower());
    }
}

// The phrase number whose hiragana is `kana`, 0 when none is.
int phraseNumber(const QString &kana)
{
    for (int n = 1; n <= 76; ++n)
        if (decodePhrase(RomajiTable(), n).kana == kana)
            return n;
    return 0;
}

int levelOfPhrase(int number)
{
    return number <= 35 ? 7 : number <= 52 ? 8 : 9;
}

} // namespace

class DrillKanaTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void startShowsTheFirstItem_data();
    void startShowsTheFirstItem();
    void levelFiveRunsAndRecords();
    void levelSixRunMasksChaLetterByLetter();
    void romajiChoiceCountsFromTheNextKey();
    void shortenedRomajiRestartsTheSyllable();
    void phraseRunInOrder_data();
    void phraseRunInOrder();
    void workedExampleMasksTheSpaces();
    void smallTsuIsOneSyllableWithItsFirstLetterDoubled();
    void phraseDecodedBeforeAChoiceKeepsItsPieces();
    void randomSyllablesStayInTheRange();
    void levelChangedToOneAlreadyPassedEndsTheRun();
    void keysOutsideTheNewRangeAreNeitherRightNorWrong();
    void hintFollowsTheCheckBoxAtEveryKey_data();
    void hintFollowsTheCheckBoxAtEveryKey();
};

void DrillKanaTest::cleanup() {}

void DrillKanaTest::startShowsTheFirstItem_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("kana");
    QTest::addColumn<QString>("romaji");
    QTest::addColumn<QString>("lit");
    QTest::newRow("level 5") << 5 << "あ"
                             << "A"
                             << "A";
    QTest::newRow("level 6") << 6 << "が"
                             << "GA"
                             << "G";
    QTest::newRow("level 7") << 7 << decodePhrase(RomajiTable(), 1).kana
                             << decodePhrase(RomajiTable(), 1).romajiLine
                             << decodePhrase(RomajiTable(), 1).romajiLine.left(1);
    QTest::newRow("level 9") << 9 << decodePhrase(RomajiTable(), 53).kana
                             << decodePhrase(RomajiTable(), 53).romajiLine
                             << decodePhrase(RomajiTable(), 53).romajiLine.left(1);
}

void DrillKanaTest::startShowsTheFirstItem()
{
    QFETCH(int, level);
    QFETCH(QString, kana);
    QFETCH(QString, romaji);
    QFETCH(QString, lit);
    DrillWindow w;
    w.chooseLevel(level);
    w.clickButton1();
    QCOMPARE(w->TextPanel->text(), kana);
    QCOMPARE(w->yomiPanel->text(), romaji);
    QCOMPARE(w.litKey(), lit);
    QVERIFY(w->yomiPanel->isVisible());

    // Stop shows the first item again, with its hint, and judges nothing.
    w.type(lit.toLower());
    w.clickButton1();
    QCOMPARE(w->TextPanel->text(), kana);
    QCOMPARE(w->yomiPanel->text(), romaji);
    QCOMPARE(w.litKey(), lit);
    w.type('q');
    QCOMPARE(w.platform.beeps, 0);
}

void DrillKanaTest::levelFiveRunsAndRecords()
{
    struct Run {
        int tenths;
        int errors;
        const char *bestShown;
        double recordAfter;
    };
    const double first = 2 + double(31.4f);
    const Run runs[] = {
        {314, 2, "0.0", first}, {300, 4, "33.4", first}, {330, 0, "33.4", double(33.0f)}};
    DrillWindow w;
    w.chooseLevel(5);
    quint32 clock = 5000000;
    for (const Run &run : runs) {
        w.platform.ticks = clock;
        w.clickButton1();
        for (int index = 1; index <= 46; ++index) {
            QCOMPARE(w->TextPanel->text(), kanaAt(index));
            const QString romaji = w->romaji.romaji(index);
            if (index == 6) { // か: a wrong key in the middle leaves the same letter expected
                w.type('k');
                QCOMPARE(w->yomiPanel->text(), QStringLiteral("_A"));
                for (int e = 0; e < run.errors; ++e)
                    w.type(e % 2 ? 'K' : 's');
                QCOMPARE(w->letterPos, 2);
                QCOMPARE(w->yomiPanel->text(), QStringLiteral("_A"));
                QCOMPARE(w.litKey(), QStringLiteral("A"));
                w.type('a');
                continue;
            }
            if (index == 46)
                w.platform.ticks = clock + quint32(run.tenths) * 100u;
            typeSyllable(w, romaji);
        }
        QVERIFY(!w.running());
        QCOMPARE(w.dialogLabel(5), QStringLiteral("40"));
        QCOMPARE(w.dialogLabel(1), QString::number(run.tenths / 10.0, 'f', 1));
        QCOMPARE(w.dialogLabel(3), QString::number(run.errors));
        QCOMPARE(w.dialogLabel(7), QLatin1String(run.bestShown));
        QCOMPARE(w->highScores[5], run.recordAfter);
        QCOMPARE(w->TextPanel->text(), QStringLiteral("Level5"));
        QCOMPARE(w->yomiPanel->text(), QString());
        QCOMPARE(w->itemIndex, 0);
        clock += 1000000;
    }
    QCOMPARE(w.platform.beeps, 6);
    QCOMPARE(w->randomScores[5], 0.0);
}

void DrillKanaTest::levelSixRunMasksChaLetterByLetter()
{
    DrillWindow w;
    w.chooseLevel(6);
    w.platform.ticks = 100;
    w.clickButton1();
    for (int index = 47; index <= 83; ++index) {
        if (index == 81) {
            QCOMPARE(w->TextPanel->text(), QStringLiteral("ちゃ"));
            QCOMPARE(w->yomiPanel->text(), QStringLiteral("CHA"));
            w.type('c');
            QCOMPARE(w->yomiPanel->text(), QStringLiteral("_HA"));
            QCOMPARE(w.litKey(), QStringLiteral("H"));
            w.type('t'); // a wrong key
            QCOMPARE(w->yomiPanel->text(), QStringLiteral("_HA"));
            w.type('h');
            QCOMPARE(w->yomiPanel->text(), QStringLiteral("__A"));
            QCOMPARE(w.litKey(), QStringLiteral("A"));
            w.type('a');
            QCOMPARE(w->TextPanel->text(), QStringLiteral("ちゅ"));
            QCOMPARE(w->yomiPanel->text(), QStringLiteral("CHU"));
            continue;
        }
        if (index == 83)
            w.platform.ticks = 100 + 45600;
        typeSyllable(w, w->romaji.romaji(index));
    }
    QCOMPARE(w.dialogLabel(5), QStringLiteral("40"));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("45.6"));
    QCOMPARE(w.dialogLabel(3), QStringLiteral("1"));
    QCOMPARE(w->highScores[6], 1 + double(45.6f));
    QCOMPARE(w.platform.beeps, 1);
}

void DrillKanaTest::romajiChoiceCountsFromTheNextKey()
{
    DrillWindow w;
    w.chooseLevel(5);
    w.clickButton1();
    for (int index = 1; index < 12; ++index)
        typeSyllable(w, w->romaji.romaji(index));
    QCOMPARE(w->TextPanel->text(), QStringLiteral("し"));
    QCOMPARE(w->yomiPanel->text(), QStringLiteral("SI"));
    w.type('s');
    w->romaji = RomajiTable({true});
    w.type('i'); // right a moment ago, wrong now
    QCOMPARE(w->errorCount, 1);
    QCOMPARE(w->yomiPanel->text(), QStringLiteral("_HI"));
    QCOMPARE(w.litKey(), QStringLiteral("H"));
    w.type('h');
    QCOMPARE(w->yomiPanel->text(), QStringLiteral("__I"));
    w.type('i');
    QCOMPARE(w->TextPanel->text(), QStringLiteral("す"));
    QCOMPARE(w->errorCount, 1);
}

void DrillKanaTest::shortenedRomajiRestartsTheSyllable()
{
    DrillWindow w;
    w->romaji = RomajiTable({true});
    w.chooseLevel(5);
    w.clickButton1();
    for (int index = 1; index < 12; ++index)
        typeSyllable(w, w->romaji.romaji(index));
    w.type("sh");
    QCOMPARE(w->yomiPanel->text(), QStringLiteral("__I"));
    w->romaji = RomajiTable(); // now shorter than what was typed
    w.type('i');
    QCOMPARE(w->errorCount, 1);
    QCOMPARE(w->letterPos, 1);
    QCOMPARE(w->yomiPanel->text(), QStringLiteral("SI"));
    QCOMPARE(w.litKey(), QStringLiteral("S"));
    w.type("si");
    QCOMPARE(w->TextPanel->text(), QStringLiteral("す"));
    QCOMPARE(w->errorCount, 1);
}

void DrillKanaTest::phraseRunInOrder_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("standard");
    QTest::newRow("level 7") << 7 << 1 << 35 << "140";
    QTest::newRow("level 9") << 9 << 53 << 76 << "160";
}

void DrillKanaTest::phraseRunInOrder()
{
    QFETCH(int, level);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(QString, standard);
    DrillWindow w;
    w.chooseLevel(level);
    w.platform.ticks = 3000000;
    w.clickButton1();
    int errors = 0;
    for (int number = first; number <= last; ++number) {
        const DecodedPhrase phrase = decodePhrase(RomajiTable(), number);
        QCOMPARE(w->TextPanel->text(), phrase.kana);
        QCOMPARE(w->yomiPanel->text(), phrase.romajiLine);
        QCOMPARE(w->itemIndex, number);
        if (number == last)
            w.platform.ticks = 3000000 + 987650;
        int typed = 0;
        for (int s = 1; s <= phrase.syllableCount; ++s) {
            const QString piece = phrase.pieces[s];
            for (int i = 0; i < piece.size(); ++i) {
                // "-" has no key on the picture and lights none.
                const QString letter = piece.mid(i, 1).toUpper();
                QCOMPARE(w.litKey(), w->keyPanel(letter) ? letter : QString());
                if (number % 5 == 0 && s == 1 && i == 0) {
                    w.type(piece.at(0).toUpper().toLatin1()); // shifted: wrong
                    ++errors;
                }
                w.type(piece.mid(i, 1).toLower());
                ++typed;
                const bool phraseDone = s == phrase.syllableCount && i == piece.size() - 1;
                if (!phraseDone) {
                    // Typed letters and the spaces passed so far are masked, the rest shown.
                    const int masked = typed + (i == piece.size() - 1 ? s : s - 1);
                    QCOMPARE(w->yomiPanel->text(),
                             QString(masked, '_') + phrase.romajiLine.mid(masked));
                }
            }
        }
    }
    QVERIFY(!w.running());
    QCOMPARE(w->TextPanel->text(), QStringLiteral("Level%1").arg(level));
    QCOMPARE(w->yomiPanel->text(), QString());
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(5), standard);
    QCOMPARE(w.dialogLabel(1), QStringLiteral("987.6"));
    QCOMPARE(w.dialogLabel(3), QString::number(errors));
    QCOMPARE(w.platform.beeps, errors);
    QVERIFY(errors > 0);
    QCOMPARE(w->highScores[level], errors + double(987.6f));
    QCOMPARE(w.litKeyCount(), 0);
}

void DrillKanaTest::workedExampleMasksTheSpaces()
{
    DrillWindow w;
    w.chooseLevel(7);
    w.clickButton1();
    // A phrase of the three syllables KA, SA, NE, as decoding leaves it.
    w->syllableRomaji[1] = QStringLiteral("KA");
    w->syllableRomaji[2] = QStringLiteral("SA");
    w->syllableRomaji[3] = QStringLiteral("NE");
    w->syllableCount = 3;
    w->romajiLine = QStringLiteral("KA SA NE");
    w->syllableNo = 1;
    w->letterPos = 1;
    w->typedLetters = 0;
    const QList<std::pair<char, QString>> steps{{'k', "_A SA NE"},
                                                {'a', "___SA NE"},
                                                {'s', "____A NE"},
                                                {'a', "______NE"},
                                                {'n', "_______E"}};
    for (const auto &[key, shown] : steps) {
        w.type(key);
        QCOMPARE(w->yomiPanel->text(), shown);
    }
    QCOMPARE(w.litKey(), QStringLiteral("E"));
    QCOMPARE(w->errorCount, 0);
    w.type('e');
    QCOMPARE(w->itemIndex, 2);
    QCOMPARE(w->yomiPanel->text(), decodePhrase(RomajiTable(), 2).romajiLine);
}

void DrillKanaTest::smallTsuIsOneSyllableWithItsFirstLetterDoubled()
{
    const int number = phraseNumber(QStringLiteral("がっこう"));
    QVERIFY(number > 0);
    const int level = levelOfPhrase(number);
    DrillWindow w;
    w.chooseLevel(level);
    w->CheckBox2->setChecked(true);
    const int rangeFirst = w->rangeFirst;
    w.clickButton1();
    w.platform.scriptedRandom = {number - rangeFirst};
    const DecodedPhrase opening = decodePhrase(RomajiTable(), rangeFirst);
    for (int s = 1; s <= opening.syllableCount; ++s)
        w.type(opening.pieces[s].toLower());
    QCOMPARE(w->TextPanel->text(), QStringLiteral("がっこう"));
    QCOMPARE(w->yomiPanel->text(), QStringLiteral("GA KKO U"));
    QCOMPARE(w->syllableCount, 3);
    const QList<std::pair<char, QString>> steps{{'g', "_A KKO U"},
                                                {'a', "___KKO U"},
                                                {'k', "____KO U"},
                                                {'k', "_____O U"},
                                                {'o', "_______U"}};
    for (const auto &[key, shown] : steps) {
        w.type(key);
        QCOMPARE(w->yomiPanel->text(), shown);
    }
    QCOMPARE(w->errorCount, 0);
    QCOMPARE(w->syllableNo, 3);
}

void DrillKanaTest::phraseDecodedBeforeAChoiceKeepsItsPieces()
{
    const int number = phraseNumber(QStringLiteral("よろしくおねがいします"));
    QVERIFY(number > 0);
    DrillWindow w;
    w.chooseLevel(levelOfPhrase(number));
    w->CheckBox2->setChecked(true);
    const int rangeFirst = w->rangeFirst;
    w.clickButton1();
    w.platform.scriptedRandom = {number - rangeFirst, number - rangeFirst};
    const DecodedPhrase opening = decodePhrase(RomajiTable(), rangeFirst);
    for (int s = 1; s <= opening.syllableCount; ++s)
        w.type(opening.pieces[s].toLower());
    w->romaji = RomajiTable({true});
    w.type("yorosiku");
    QCOMPARE(w->errorCount, 0);
    w.type("onegaisimasu");
    QCOMPARE(w->errorCount, 0);
    // The same phrase again, decoded with the new entry.
    QCOMPARE(w->yomiPanel->text(), QStringLiteral("YO RO SHI KU O NE GA I SHI MA SU"));
}

void DrillKanaTest::randomSyllablesStayInTheRange()
{
    DrillWindow w;
    w.chooseLevel(6);
    w->CheckBox2->setChecked(true);
    w.platform.scriptedRandom = {36, 0};
    w.clickButton1();
    QCOMPARE(w->TextPanel->text(), QStringLiteral("が"));
    w.type("ga");
    QCOMPARE(w->TextPanel->text(), QStringLiteral("ちょ")); // the last of the range
    w.type("cho");
    QCOMPARE(w->TextPanel->text(), QStringLiteral("が"));
    int items = 2;
    for (; w.running() && items < 200; ++items) {
        QVERIFY(w->itemIndex >= 47 && w->itemIndex <= 83);
        w.type(w->romaji.romaji(w->itemIndex).toLower());
    }
    QCOMPARE(items, 37);
    for (int n : w.platform.randomRanges)
        QCOMPARE(n, 37);
    QCOMPARE(w->highScores[6], 0.0);
    QCOMPARE(w.platform.modals.size(), size_t(1));
}

void DrillKanaTest::levelChangedToOneAlreadyPassedEndsTheRun()
{
    DrillWindow w;
    w.platform.ticks = 700000;
    w.clickButton1();
    w.type("fjfjasdfgfjfj;lkjhf"); // 19 keys: the 20th item is shown
    QCOMPARE(w->itemCounter, 20);
    w.chooseLevel(8); // 17 phrases
    QVERIFY(w.running());
    w.platform.ticks = 700000 + 15000;
    w.type('x'); // any key
    QVERIFY(!w.running());
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w.dialogLabel(5), QStringLiteral("150"));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("15.0"));
    QCOMPARE(w->highScores[8], 15.0);
    QCOMPARE(w->highScores[1], 0.0);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("Level8"));
}

void DrillKanaTest::keysOutsideTheNewRangeAreNeitherRightNorWrong()
{
    DrillWindow w;
    w.chooseLevel(5);
    w.clickButton1();
    w.type("aiu");
    QCOMPARE(w->itemIndex, 4);
    w.chooseLevel(6); // え is not one of level 6's syllables
    w.type("eag");
    QCOMPARE(w->errorCount, 0);
    QCOMPARE(w.platform.beeps, 0);
    QVERIFY(w.running());
    QCOMPARE(w->itemCounter, 4);
    QVERIFY(w.platform.modals.empty());
}

void DrillKanaTest::hintFollowsTheCheckBoxAtEveryKey_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("keys"); // right keys from the start, through whole items
    QTest::addColumn<QString>("next"); // the right key after them
    QTest::addColumn<QString>("litAfterWrong");
    QTest::addColumn<QString>("litAfterNext");
    // あいうえお, then the K of か; a wrong key refreshes the syllable with its hint.
    QTest::newRow("syllables") << 5 << "aiueok" << "a" << "A" << "K";
    // さくら, ねこ, then い and the N of ぬ; a wrong key leaves the phrase's display as it
    // was, and the phrase's last key shows the next phrase (ありがとう).
    QTest::newRow("phrases") << 7 << "sakuranekoin" << "u" << "" << "A";
}

// The hint is read at every key: off, no key lights through letters, syllables and whole
// items; ticked in the middle of a run, it is back with the next display.
void DrillKanaTest::hintFollowsTheCheckBoxAtEveryKey()
{
    QFETCH(int, level);
    QFETCH(QString, keys);
    QFETCH(QString, next);
    QFETCH(QString, litAfterWrong);
    QFETCH(QString, litAfterNext);
    DrillWindow w;
    w.chooseLevel(level);
    w->CheckBox1->setChecked(false);
    w.clickButton1();
    QCOMPARE(w.litKeyCount(), 0);
    for (const QChar key : keys) {
        w.type(key.toLatin1());
        QCOMPARE(w.litKeyCount(), 0);
    }
    QCOMPARE(w.platform.beeps, 0);
    w->CheckBox1->setChecked(true);
    w.type('q');
    QCOMPARE(w.platform.beeps, 1);
    QCOMPARE(w.litKey(), litAfterWrong);
    w.type(next);
    QCOMPARE(w.litKey(), litAfterNext);
}

QTEST_MAIN(DrillKanaTest)
#include "test_drillkana.moc"
