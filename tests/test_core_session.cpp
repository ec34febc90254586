// SPDX-License-Identifier: GPL-3.0-or-later
// Drill runs on the session alone: items in ordered and random order, the judging of every
// key, what the drill area shows, romaji choices and levels changed during a run.
#include "core/drillsession.h"
#include "core/keytable.h"
#include "core/levels.h"

#include <QTest>

#include <array>
#include <cstring>
#include <deque>
#include <vector>

using namespace rinkaro;

namespace
{

// A session whose random source plays the values scripted, then 0, noting every range.
struct Drill {
    std::deque<int> values;
    std::vector<int> ranges;
    DrillSession s{[this](int n) {
        ranges.push_back(n);
        const int v = values.empty() ? 0 : values.front();
        if (!values.empty())
            values.pop_front();
        return v;
    }};
    // One letter per key: Ignored, Wrong, Advanced, item Done, Finished, or E for a wrong
    // key that finished the run; X for an error counted (or not) against the outcome.
    QString type(const QString &keys, quint32 nowMs = 0)
    {
        QString outcomes;
        for (const QChar key : keys) {
            const KeyResult result = s.keyTyped(key.toLatin1(), nowMs);
            const bool wrong = result.outcome == KeyOutcome::Wrong;
            if (result.errorCounted && result.outcome == KeyOutcome::Finished)
                outcomes += u'E';
            else if (result.errorCounted != wrong)
                outcomes += u'X';
            else
                outcomes += QLatin1Char("IWADF"[int(result.outcome)]);
        }
        return outcomes;
    }
};

int itemCount(int level)
{
    const LevelInfo *info = levelInfo(level);
    return info->keyString ? int(std::strlen(info->keyString))
                           : info->rangeLast - info->rangeFirst + 1;
}

struct Item {
    QString main, reading;
    QStringList pieces; // the keys, syllable by syllable
};
// The n-th item of an ordered run.
Item itemOf(int level, int n)
{
    const LevelInfo *info = levelInfo(level);
    if (info->keyString) {
        const QString key = QString::fromLatin1(info->keyString).mid(n - 1, 1);
        return {key.toUpper(), QString(), {key}};
    }
    const int index = info->rangeFirst + n - 1;
    if (levelGroup(level) == LevelGroup::Syllable)
        return {kanaAt(index), RomajiTable().romaji(index), {RomajiTable().romaji(index)}};
    const DecodedPhrase p = decodePhrase(RomajiTable(), index);
    return {p.kana, p.romajiLine, QStringList(&p.pieces[1], &p.pieces[1] + p.syllableCount)};
}

// The right keys for the whole item shown.
QString keysShown(const DrillSession &s)
{
    if (levelGroup(s.level()) == LevelGroup::Key)
        return s.mainText().toLower();
    if (levelGroup(s.level()) == LevelGroup::Syllable)
        return s.romaji().romaji(s.entryIndex()).toLower();
    return decodePhrase(s.romaji(), s.entryIndex()).romajiLine.remove(u' ').toLower();
}

int phraseNumber(const QString &kana)
{
    for (int n = 1; n <= storedPhrases; ++n)
        if (decodePhrase(RomajiTable(), n).kana == kana)
            return n;
    return 0;
}

QString levelTitle(int level)
{
    return QStringLiteral("Level%1").arg(level);
}

struct FirstItem {
    int level, shownLevel;
    QString main, reading, hint;
};
struct RunTime {
    quint32 start, restart, end; // restart 0: none
    double seconds;
};
struct RandomRun {
    int level;
    std::deque<int> values;
    QStringList shown; // the first item, then one per value
};
struct RomajiChange {
    int index, group; // the syllable, the choice changed
    bool before;
    QString typed, key, outcome, reading, rest;
};
struct LevelChange {
    int level;
    QString typed;
    int newLevel;
    QString keys, outcomes, main;
};
struct HintRow {
    int level;
    QString keys, next, afterWrong, afterNext;
};
struct TallyRow {
    int level;
    RomajiChoices choices;
    int draw, switchTo; // the item drawn after the first; a level selected then (0: none)
    QString keys;
    int wrong;
    RunTally tally; // of the keys typed after the first item
    bool freeRomaji = false;
};

int phraseLevel(int number)
{
    for (int level = 7; level <= 9; ++level)
        if (number >= levelInfo(level)->rangeFirst && number <= levelInfo(level)->rangeLast)
            return level;
    return 0;
}

template <typename Map> Map countsSince(const Map &before, const Map &now)
{
    Map added;
    for (const auto &[key, n] : now) {
        const auto old = before.find(key);
        if (const auto more = n - (old == before.end() ? 0 : old->second))
            added[key] = more;
    }
    return added;
}

} // namespace

Q_DECLARE_METATYPE(FirstItem)
Q_DECLARE_METATYPE(RunTime)
Q_DECLARE_METATYPE(RandomRun)
Q_DECLARE_METATYPE(RomajiChange)
Q_DECLARE_METATYPE(LevelChange)
Q_DECLARE_METATYPE(HintRow)
Q_DECLARE_METATYPE(TallyRow)

class CoreSessionTest : public QObject
{
    Q_OBJECT
private slots:
    void firstItemAndStop_data();
    void firstItemAndStop();
    void orderedRun_data();
    void orderedRun();
    void runTime_data();
    void runTime();
    void phraseReadingMasksLettersAndSpaces();
    void randomOrder_data();
    void randomOrder();
    void romajiChangedMidSyllable_data();
    void romajiChangedMidSyllable();
    void phraseDecodedBeforeAChoiceKeepsItsPieces();
    void levelChangedDuringARun_data();
    void levelChangedDuringARun();
    void hintReadAtEveryDisplay_data();
    void hintReadAtEveryDisplay();
    void tally_data();
    void tally();
};

void CoreSessionTest::firstItemAndStop_data()
{
    QTest::addColumn<FirstItem>("row");
    for (int level = 1; level <= 9; ++level) {
        const Item first = itemOf(level, 1);
        QTest::addRow("level %d", level) << FirstItem{level, level, first.main, first.reading,
                                                      first.pieces[0].left(1).toLower()};
    }
    QTest::newRow("level 0: A to Z") << FirstItem{0, 1, "A", "", "a"};
    QTest::newRow("level 15: A to Z") << FirstItem{15, 1, "A", "", "a"};
}

// Stop shows the first item again, keeps the error count and judges nothing; a second
// Start begins afresh.
void CoreSessionTest::firstItemAndStop()
{
    QFETCH(FirstItem, row);
    Drill d;
    d.s.selectLevel(row.level);
    QCOMPARE(d.s.level(), row.shownLevel);
    QCOMPARE(d.s.mainText(), levelTitle(row.shownLevel));
    for (int round = 0; round < 2; ++round) {
        d.s.start(1000);
        QVERIFY(d.s.running());
        QCOMPARE(d.s.errorCount(), 0);
        QCOMPARE(d.type(" " + row.hint).left(1), "W");
        d.s.stop();
        QVERIFY(!d.s.running());
        QCOMPARE(d.s.mainText(), row.main);
        QCOMPARE(d.s.readingText(), row.reading);
        QCOMPARE(d.s.hintKey(), row.hint);
        QCOMPARE(d.s.itemNumber(), 1);
        QCOMPARE(d.type(row.hint + "q"), "II");
        QCOMPARE(d.s.errorCount(), 1);
    }
}

void CoreSessionTest::orderedRun_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("wrongEvery"); // a wrong key before every n-th item
    const int every[] = {5, 7, 9, 3, 6, 4, 5, 3, 4};
    for (int level = 1; level <= 9; ++level)
        QTest::addRow("level %d%s", level, level % 2 ? "" : ", no hint")
            << level << every[level - 1];
}

void CoreSessionTest::orderedRun()
{
    QFETCH(int, level);
    QFETCH(int, wrongEvery);
    const bool hint = level % 2;
    Drill d;
    d.s.selectLevel(level);
    d.s.setHintShown(hint);
    d.s.start(1000);
    const int items = itemCount(level);
    const QString wrongs = QStringLiteral(" 1\u00e9"); // a space, a digit, no key at all
    int errors = 0;
    for (int n = 1; n <= items; ++n) {
        const Item item = itemOf(level, n);
        QCOMPARE(d.s.mainText(), item.main);
        QCOMPARE(d.s.readingText(), item.reading);
        int typed = 0;
        for (int p = 0; p < item.pieces.size(); ++p) {
            const QString &piece = item.pieces[p];
            for (int i = 0; i < piece.size(); ++i) {
                const QString letter = piece.mid(i, 1).toLower();
                QCOMPARE(d.s.hintKey(), hint ? letter : QString());
                if (letter == QLatin1String("-")) // the long vowel has no key to light
                    QVERIFY(!keyForCharacter(d.s.hintKey()));
                if (typed == 0 && n % wrongEvery == 0) {
                    const QString shifted = letter.toUpper();
                    QCOMPARE(d.type(shifted != letter ? shifted : wrongs.mid(n % 3, 1)), "W");
                    QCOMPARE(d.s.errorCount(), ++errors);
                    QCOMPARE(d.s.mainText(), item.main);
                    QCOMPARE(d.s.readingText(), item.reading);
                    QCOMPARE(d.s.hintKey(), hint ? letter : QString());
                }
                const bool itemEnd = p == item.pieces.size() - 1 && i == piece.size() - 1;
                QCOMPARE(d.type(letter, 13300), !itemEnd ? "A" : n < items ? "D" : "F");
                ++typed;
                // Typed letters and the spaces passed between the syllables are masked.
                const int masked = typed + p + (i == piece.size() - 1 ? 1 : 0);
                if (!itemEnd)
                    QCOMPARE(d.s.readingText(), QString(masked, u'_') + item.reading.mid(masked));
            }
        }
    }
    QVERIFY(errors > 0);
    QVERIFY(!d.s.running());
    QCOMPARE(d.s.mainText(), levelTitle(level));
    QCOMPARE(d.s.readingText(), QString());
    QCOMPARE(d.s.hintKey(), QString());
    QCOMPARE(d.s.errorCount(), 0);
    if (levelGroup(level) == LevelGroup::Syllable)
        QCOMPARE(d.s.entryIndex(), 0);
    QCOMPARE(d.s.result().level, level);
    QCOMPARE(d.s.result().errors, errors);
    QCOMPARE(double(d.s.result().seconds), 12.300000190734863);
    QCOMPARE(d.type("f"), "I");
}

void CoreSessionTest::runTime_data()
{
    QTest::addColumn<RunTime>("row");
    QTest::newRow("12.3 s") << RunTime{500000, 0, 512300, 12.300000190734863};
    QTest::newRow("whole tenths of the counter") << RunTime{2000000, 0, 2009950, double(9.9f)};
    QTest::newRow("across the wrap") << RunTime{0xFFFFFFFFu - 4999, 0, 7301, double(12.3f)};
    QTest::newRow("Start again") << RunTime{100000, 300000, 331400, double(31.4f)};
}

void CoreSessionTest::runTime()
{
    QFETCH(RunTime, row);
    Drill d;
    d.s.selectLevel(4);
    d.s.start(row.start);
    QCOMPARE(d.type("zz"), "WW");
    if (row.restart)
        d.s.start(row.restart);
    QCOMPARE(d.type(QString::fromLatin1(alphabetKeys), row.end).right(1), "F");
    QCOMPARE(double(d.s.result().seconds), row.seconds);
    QCOMPARE(d.s.result().errors, row.restart ? 0 : 2);
}

// さくら, then がっこう drawn at random: the small tsu is one syllable with its first
// letter doubled.
void CoreSessionTest::phraseReadingMasksLettersAndSpaces()
{
    Drill d;
    d.values = {phraseNumber(QStringLiteral("がっこう")) - 1};
    d.s.selectLevel(7);
    d.s.setRandomOrder(true);
    d.s.start(0);
    // clang-format off
    const std::array<std::array<const char *, 4>, 11> steps{{
        {"s", "A", "_A KU RA", "a"}, {"a", "A", "___KU RA", "k"},
        {"k", "A", "____U RA", "u"}, {"u", "A", "______RA", "r"},
        {"r", "A", "_______A", "a"}, {"a", "D", "GA KKO U", "g"},
        {"g", "A", "_A KKO U", "a"}, {"a", "A", "___KKO U", "k"},
        {"k", "A", "____KO U", "k"}, {"k", "A", "_____O U", "o"},
        {"o", "A", "_______U", "u"},
    }};
    // clang-format on
    for (const auto &[key, outcome, reading, hint] : steps) {
        QCOMPARE(d.type(key), outcome);
        QCOMPARE(d.s.readingText(), reading);
        QCOMPARE(d.s.hintKey(), hint);
    }
    QCOMPARE(d.s.mainText(), QStringLiteral("がっこう"));
    QCOMPARE(d.s.errorCount(), 0);
}

void CoreSessionTest::randomOrder_data()
{
    QTest::addColumn<RandomRun>("row");
    QTest::newRow("keys") << RandomRun{1, {33, 0, 19}, {"F", "H", "F", itemOf(1, 20).main}};
    QTest::newRow("syllables") << RandomRun{6, {36, 0}, {"が", "ちょ", "が"}};
    QTest::newRow("phrases") << RandomRun{
        8, {16, 0}, {itemOf(8, 1).main, itemOf(8, 17).main, itemOf(8, 1).main}};
}

// The first item is kept, the others drawn; the order is read at every choice (here one
// item ordered in between), and the run has as many items as an ordered one.
void CoreSessionTest::randomOrder()
{
    QFETCH(RandomRun, row);
    Drill d;
    d.values = row.values;
    d.s.selectLevel(row.level);
    d.s.setRandomOrder(true);
    d.s.start(0);
    QVERIFY(d.ranges.empty());
    const int ordered = int(row.shown.size()); // the item shown after the ordered choice
    int items = 0;
    for (; d.s.running() && items < 200; ++items) {
        if (items <= ordered)
            QCOMPARE(d.s.mainText(),
                     items < ordered ? row.shown[items] : itemOf(row.level, items + 1).main);
        d.s.setRandomOrder(items != ordered - 1);
        d.type(keysShown(d.s));
    }
    const int count = itemCount(row.level);
    QCOMPARE(items, count);
    QCOMPARE(d.s.result().errors, 0);
    QCOMPARE(d.ranges, std::vector<int>(count - 1, count));
}

void CoreSessionTest::romajiChangedMidSyllable_data()
{
    QTest::addColumn<RomajiChange>("row");
    QTest::newRow("SI to SHI: i now wrong")
        << RomajiChange{12, 0, false, "s", "i", "W", "_HI", "hi"};
    QTest::newRow("SHI to SI: restarts") << RomajiChange{12, 0, true, "sh", "i", "W", "SI", "si"};
    QTest::newRow("FU to HU: f kept") << RomajiChange{28, 3, true, "f", "u", "D", "HE", ""};
}

void CoreSessionTest::romajiChangedMidSyllable()
{
    QFETCH(RomajiChange, row);
    RomajiChoices choices{};
    choices[row.group] = row.before;
    Drill d;
    d.s.setRomaji(RomajiTable(choices));
    d.s.selectLevel(5);
    d.s.start(0);
    while (d.s.entryIndex() < row.index)
        d.type(keysShown(d.s));
    QCOMPARE(d.type(row.typed), QString(row.typed.size(), u'A'));
    choices[row.group] = !row.before;
    d.s.setRomaji(RomajiTable(choices));
    QCOMPARE(d.type(row.key), row.outcome);
    QCOMPARE(d.s.readingText(), row.reading);
    QCOMPARE(d.s.hintKey(), row.reading.remove(u'_').left(1).toLower());
    d.type(row.rest);
    QCOMPARE(d.s.mainText(), kanaAt(row.index + 1));
    QCOMPARE(d.s.errorCount(), row.outcome == "W" ? 1 : 0);
}

void CoreSessionTest::phraseDecodedBeforeAChoiceKeepsItsPieces()
{
    const int number = phraseNumber(QStringLiteral("よろしくおねがいします"));
    Drill d;
    d.s.selectLevel(8);
    d.values = {number - d.s.rangeFirst(), number - d.s.rangeFirst()};
    d.s.setRandomOrder(true);
    d.s.start(0);
    d.type(keysShown(d.s));
    QCOMPARE(d.s.entryIndex(), number);
    d.s.setRomaji(RomajiTable({true}));
    QCOMPARE(d.type("yorosikuonegaisimasu").count(u'W'), 0);
    // The same phrase again, decoded with the new choice.
    QCOMPARE(d.s.readingText(), QStringLiteral("YO RO SHI KU O NE GA I SHI MA SU"));
}

void CoreSessionTest::levelChangedDuringARun_data()
{
    QTest::addColumn<LevelChange>("row");
    // Item 20 shown, level 8 has 17: any key ends the run, neither right nor wrong.
    QTest::newRow("to one already passed")
        << LevelChange{1, "fjfjasdfgfjfj;lkjhf", 8, "x", "F", "Level8"};
    QTest::newRow("item outside the range") << LevelChange{5, "aiu", 6, "eag", "III", "え"};
    // A key level compares with what is shown, "Level2".
    QTest::newRow("key level to key level") << LevelChange{4, "a", 2, "jl", "WW", "Level2"};
}

void CoreSessionTest::levelChangedDuringARun()
{
    QFETCH(LevelChange, row);
    Drill d;
    d.s.selectLevel(row.level);
    d.s.start(700000);
    d.type(row.typed);
    const int counter = d.s.itemNumber();
    const QString lit = d.s.hintKey();
    d.s.selectLevel(row.newLevel);
    QVERIFY(d.s.running());
    QCOMPARE(d.s.hintKey(), lit); // the run keeps its lit key
    QCOMPARE(d.s.mainText(), levelTitle(row.newLevel));
    QCOMPARE(d.type(row.keys, 715000), row.outcomes);
    QCOMPARE(d.s.mainText(), row.main);
    QCOMPARE(d.s.running(), !row.outcomes.endsWith(u'F'));
    if (d.s.running()) {
        QCOMPARE(d.s.itemNumber(), counter);
        QCOMPARE(d.s.errorCount(), int(row.outcomes.count(u'W')));
        d.s.stop();
        QCOMPARE(d.s.mainText(), itemOf(row.newLevel, 1).main);
    } else {
        QCOMPARE(d.s.result().level, row.newLevel);
        QCOMPARE(d.s.result().errors, 0);
        QCOMPARE(double(d.s.result().seconds), 15.0);
    }
}

void CoreSessionTest::hintReadAtEveryDisplay_data()
{
    QTest::addColumn<HintRow>("row");
    // Right keys from the start, then a wrong key with the hint ticked: only a syllable
    // refreshes its display then.
    QTest::newRow("keys") << HintRow{1, "fjfj", "a", "", "s"};
    QTest::newRow("syllables") << HintRow{5, "aiueok", "a", "a", "k"};
    QTest::newRow("phrases") << HintRow{7, "sakuranekoin", "u", "", "a"};
}

void CoreSessionTest::hintReadAtEveryDisplay()
{
    QFETCH(HintRow, row);
    Drill d;
    d.s.selectLevel(row.level);
    d.s.setHintShown(false);
    d.s.start(0);
    QCOMPARE(d.s.hintKey(), QString());
    for (const QChar key : row.keys) {
        d.type(key);
        QCOMPARE(d.s.hintKey(), QString());
    }
    QCOMPARE(d.s.errorCount(), 0);
    d.s.setHintShown(true);
    QCOMPARE(d.type("q"), "W");
    QCOMPARE(d.s.hintKey(), row.afterWrong);
    d.type(row.next);
    QCOMPARE(d.s.hintKey(), row.afterNext);
}

void CoreSessionTest::tally_data()
{
    QTest::addColumn<TallyRow>("row");
    // Drawn after the first item of its level.
    const auto phrase = [](const char *kana, const char *keys, int wrong, const RunTally &tally) {
        const int number = phraseNumber(QString::fromUtf8(kana));
        const int level = phraseLevel(number);
        return TallyRow{level, {}, number - levelInfo(level)->rangeFirst, 0, keys, wrong, tally};
    };
    // clang-format off
    // One key every 100 ms: a right key takes the time since the right key before it.
    QTest::newRow("keys") << TallyRow{1, {}, 1, 0, "kjFf", 2,
        {{{"", 'j', 'k'}, {"", 'f', 'F'}}, {{'f', 1}, {'j', 1}}, {}, {{'f', 200}, {'j', 200}}, {}}};
    QTest::newRow("shi as SHI") << TallyRow{5, {true}, 11, 0, "sihi", 1,
        {{{"し", 'h', 'i'}}, {{'h', 1}, {'i', 1}, {'s', 1}}, {{"し", 1}},
         {{'h', 200}, {'i', 100}, {'s', 100}}, {{"し", 400}}}};
    // The doubled letter types the small tsu, the letters after it its follower.
    const RunTally smallTsu{{{"っ", 't', 'k'}, {"と", 't', 'x'}, {"。", '.', ','}},
         {{'.', 1}, {'a', 1}, {'c', 1}, {'e', 1}, {'h', 1}, {'m', 1}, {'o', 2}, {'t', 4}},
         {{"ちょ", 1}, {"っ", 2}, {"と", 1}, {"ま", 1}, {"て", 1}, {"。", 1}},
         {{'.', 200}, {'a', 100}, {'c', 100}, {'e', 100}, {'h', 100}, {'m', 100}, {'o', 200},
          {'t', 600}},
         {{"ちょ", 300}, {"っ", 300}, {"と", 300}, {"ま", 200}, {"て", 200}, {"。", 200}}};
    QTest::newRow("small tsu") << phrase("ちょっとまって。", "choktxtomatte,.", 3, smallTsu);
    // Fault caught: free romaji giving a small tsu the time of its follower too.
    TallyRow freeRow = phrase("ちょっとまって。", "choktxtomatte,.", 3, smallTsu);
    freeRow.freeRomaji = true;
    QTest::newRow("small tsu, free romaji") << freeRow;
    // A ん typed as a single n takes the time up to its n; the key after it, the next kana's.
    freeRow = phrase("すみません。", "sumimasen.", 0,
        {{}, {{'.', 1}, {'a', 1}, {'e', 1}, {'i', 1}, {'m', 2}, {'n', 1}, {'s', 2}, {'u', 1}},
         {{"す", 1}, {"み", 1}, {"ま", 1}, {"せ", 1}, {"ん", 1}, {"。", 1}},
         {{'.', 100}, {'a', 100}, {'e', 100}, {'i', 100}, {'m', 200}, {'n', 100}, {'s', 200},
          {'u', 100}},
         {{"す", 200}, {"み", 200}, {"ま", 200}, {"せ", 200}, {"ん", 100}, {"。", 100}}});
    freeRow.freeRomaji = true;
    QTest::newRow("single n, free romaji") << freeRow;
    freeRow = phrase("せんせい", "sensei", 0,
        {{}, {{'e', 2}, {'i', 1}, {'n', 1}, {'s', 2}}, {{"せ", 2}, {"ん", 1}, {"い", 1}},
         {{'e', 200}, {'i', 100}, {'n', 100}, {'s', 200}}, {{"せ", 400}, {"ん", 100}, {"い", 100}}});
    freeRow.freeRomaji = true;
    QTest::newRow("single n before a consonant") << freeRow;
    QTest::newRow("comma") << phrase("また、あした。", "mata.,asita.", 1,
        {{{"、", ',', '.'}},
         {{',', 1}, {'.', 1}, {'a', 4}, {'i', 1}, {'m', 1}, {'s', 1}, {'t', 2}},
         {{"、", 1}, {"。", 1}, {"あ", 1}, {"し", 1}, {"た", 2}, {"ま", 1}},
         {{',', 200}, {'.', 100}, {'a', 400}, {'i', 100}, {'m', 100}, {'s', 100}, {'t', 200}},
         {{"、", 200}, {"。", 100}, {"あ", 100}, {"し", 200}, {"た", 400}, {"ま", 200}}});
    // After a change of key level "Level2" is shown: the wrong keys name no expected key.
    QTest::newRow("no key expected") << TallyRow{4, {}, 0, 2, "jl", 2, {}};
    // clang-format on
}

// What a run's keys leave for the history; start() begins a new tally.
void CoreSessionTest::tally()
{
    QFETCH(TallyRow, row);
    Drill d;
    d.values = {row.draw};
    d.s.setRomaji(RomajiTable(row.choices));
    d.s.selectLevel(row.level);
    d.s.setRandomOrder(true);
    d.s.setFreeRomaji(row.freeRomaji);
    d.s.start(0);
    d.type(keysShown(d.s));
    if (row.switchTo)
        d.s.selectLevel(row.switchTo);
    const RunTally before = d.s.tally();
    QVERIFY(before.misses.empty());
    int wrong = 0;
    for (qsizetype k = 0; k < row.keys.size(); ++k)
        wrong += d.type(row.keys.mid(k, 1), quint32(100 * (k + 1))) == u"W";
    QCOMPARE(wrong, row.wrong);
    const RunTally &now = d.s.tally();
    QVERIFY(std::equal(now.misses.begin() + before.misses.size(), now.misses.end(),
                       row.tally.misses.begin(), row.tally.misses.end()));
    QVERIFY(countsSince(before.rightKeys, now.rightKeys) == row.tally.rightKeys);
    QVERIFY(countsSince(before.kanaTyped, now.kanaTyped) == row.tally.kanaTyped);
    QVERIFY(countsSince(before.keyMs, now.keyMs) == row.tally.keyMs);
    QVERIFY(countsSince(before.kanaMs, now.kanaMs) == row.tally.kanaMs);
    QCOMPARE(now.kanaTyped.empty(), row.level <= 4);
    // Fault caught: kana counted but not timed (or timed twice): every kana counted has a
    // time, and the keys' time is the kana's time.
    if (row.level > 4) {
        QCOMPARE(now.kanaMs.size(), now.kanaTyped.size());
        const auto total = [](const auto &times) {
            qint64 sum = 0;
            for (const auto &[name, ms] : times)
                sum += ms;
            return sum;
        };
        QCOMPARE(total(now.kanaMs), total(now.keyMs));
    }
    d.s.start(0);
    QVERIFY(d.s.tally() == RunTally());
}

QTEST_APPLESS_MAIN(CoreSessionTest)
#include "test_core_session.moc"
