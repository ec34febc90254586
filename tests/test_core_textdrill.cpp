// SPDX-License-Identifier: GPL-3.0-or-later
// The text drills' rules: the material compiled in, the marking of the written words, the
// runs and where an ordered run goes on, the figures of a run and its history line.
#include "core/drillsession.h"
#include "core/inputoptions.h"
#include "core/levels.h"
#include "core/textdrill.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace rinkaro;

namespace
{

RubyLine ruby(const QString &text)
{
    return parseRuby(text).segments;
}

std::vector<RubyLine> items(const QStringList &lines)
{
    std::vector<RubyLine> result;
    for (const QString &line : lines)
        result.push_back(ruby(line));
    return result;
}

// The letters of an item's reading in the romaji table's spelling.
std::string tableLetters(const RomajiTable &table, const RubyLine &line)
{
    std::string letters;
    for (const FreeSyllable &syllable : splitReading(readingText(line)).syllables)
        letters += tableSpelling(table, syllable);
    return letters;
}

// Types an item's table spelling into a session; the number of wrong keys.
int typeItem(DrillSession &session, const RomajiTable &table, const RubyLine &line)
{
    int wrong = 0;
    for (const char key : tableLetters(table, line))
        wrong += session.keyTyped(key, 2000).errorCounted;
    return wrong;
}

} // namespace

class TextDrillTest : public QObject
{
    Q_OBJECT

private slots:
    void builtInMaterial_data();
    void builtInMaterial();
    void materialFaults_data();
    void materialFaults();
    void writtenMarking_data();
    void writtenMarking();
    void runs_data();
    void runs();
    void kanaOfAKey();
    void romajiRow_data();
    void romajiRow();
    void summary_data();
    void summary();
    void sessionRunAndItsLine();
    void positionsKept();
};

void TextDrillTest::builtInMaterial_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("least");
    QTest::newRow("words") << wordsLevel << 400;
    QTest::newRow("sentences") << sentencesLevel << 150;
}

// The material as the program reads it: enough items, each typeable, each completed by the
// romaji of its reading in both the default and the alternative spellings, with no wrong
// key on the way. Faults caught: a reading the judge cannot finish, an item lost in reading.
void TextDrillTest::builtInMaterial()
{
    QFETCH(int, level);
    QFETCH(int, least);
    const std::vector<RubyLine> material = builtInTextMaterial(level);
    QVERIFY2(int(material.size()) >= least, qPrintable(QString::number(material.size())));
    const TextDrillKind *kind = textDrillKind(level);
    RomajiChoices alternative;
    alternative.fill(true);
    DrillSession session([](int) { return 0; });
    session.selectLevel(level);
    for (const RomajiTable &table : {RomajiTable(), RomajiTable(alternative)}) {
        session.setRomaji(table);
        for (const RubyLine &line : material) {
            const QString written = writtenText(line);
            QVERIFY2(textItemFault(line, kind->shortest, kind->longest).isEmpty(),
                     qPrintable(written));
            session.textDrill().setItems({line});
            session.textDrill().setRunLength(1, 0);
            session.start(1000);
            QCOMPARE(typeItem(session, table, line), 0);
            QVERIFY2(!session.running(), qPrintable(written));
        }
    }
}

void TextDrillTest::materialFaults_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("errorLine");
    QTest::addColumn<QString>("error");
    const QString head = QStringLiteral("# comment\n\n水《みず》\n");
    QTest::newRow("good") << head + "  食《た》べる  \r\n" << 2 << 0 << "";
    QTest::newRow("not closed") << head + "学校《がっこう\n" << 0 << 4 << "not closed";
    QTest::newRow("no reading") << head + "\n漢字\n" << 0 << 5 << "without a reading";
    QTest::newRow("too long") << head + QString(17, u'あ') << 0 << 4 << "17 characters";
    QTest::newRow("untypeable") << head + "水《みず》☆\n" << 0 << 4 << "from \"☆\"";
}

// Faults caught: a line number counted without the comments and blank lines, a faulty line
// passed over, the length bound off by one.
void TextDrillTest::materialFaults()
{
    QFETCH(QString, text);
    QFETCH(int, items);
    QFETCH(int, errorLine);
    QFETCH(QString, error);
    const TextMaterial material = readTextMaterial(text, 1, 16);
    QCOMPARE(int(material.items.size()), items);
    QCOMPARE(material.errorLine, errorLine);
    QVERIFY2(material.error.contains(error), qPrintable(material.error));
}

void TextDrillTest::writtenMarking_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QList<int>>("marked"); // for 0, 1, 2, ... reading characters typed
    // 私《わたし》の名前《なまえ》: わたし の なまえ
    QTest::newRow("words whole") << "私《わたし》の名前《なまえ》"
                                 << QList<int>{0, 0, 0, 1, 2, 2, 2, 4};
    QTest::newRow("okurigana") << "食《た》べる" << QList<int>{0, 1, 2, 3};
    QTest::newRow("katakana") << "パン！" << QList<int>{0, 1, 2, 3};
    QTest::newRow("bar") << "｜3時《さんじ》だ" << QList<int>{0, 0, 0, 2, 3};
}

// Faults caught: a word marked before its whole reading is typed, text read as written
// marked a word at a time, the marking running past the line.
void TextDrillTest::writtenMarking()
{
    QFETCH(QString, line);
    QFETCH(QList<int>, marked);
    const RubyLine parsed = ruby(line);
    for (int typed = 0; typed < marked.size(); ++typed)
        QCOMPARE(writtenDone(parsed, typed), marked[typed]);
    QCOMPARE(writtenDone(parsed, 99), marked.back());
}

void TextDrillTest::runs_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("runItems");
    QTest::addColumn<int>("runKana");
    QTest::addColumn<bool>("random");
    QTest::addColumn<int>("typed"); // items typed before the run is left
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("positionAfter");
    // Items of 2, 3, 4, 5 and 6 kana.
    QTest::newRow("ordered") << 1 << 3 << 0 << false << 3 << QList<int>{1, 2, 3} << 4;
    QTest::newRow("wraps") << 3 << 3 << 0 << false << 3 << QList<int>{3, 4, 0} << 1;
    QTest::newRow("stopped") << 0 << 4 << 0 << false << 2 << QList<int>{0, 1, 2, 3} << 2;
    // 5 + 6 kana reach 10: the run ends there.
    QTest::newRow("kana bound") << 3 << 5 << 10 << false << 2 << QList<int>{3, 4} << 0;
    QTest::newRow("random") << 2 << 3 << 0 << true << 3 << QList<int>{4, 0, 2} << 2;
}

// Faults caught: an ordered run not starting at the kept position or not wrapping, the
// position moved by a random run or by an item left half typed, the kana bound ignored.
void TextDrillTest::runs()
{
    QFETCH(int, position);
    QFETCH(int, runItems);
    QFETCH(int, runKana);
    QFETCH(bool, random);
    QFETCH(int, typed);
    QFETCH(QList<int>, order);
    QFETCH(int, positionAfter);
    const std::vector<RubyLine> material =
        items({"いえ", "さくら", "あたらしい", "ありがとう", "コーヒーです"});
    QList<int> draws{4, 0, 2};
    DrillSession session([&draws](int n) { return n == 5 ? draws.takeFirst() : -1; });
    TextDrill &drill = session.textDrill();
    drill.setItems(material, position);
    drill.setRunLength(runItems, runKana);
    const RomajiTable table;
    session.setRandomOrder(random);
    session.selectLevel(wordsLevel);
    session.start(1000);
    QCOMPARE(drill.runLength(), int(order.size()));
    for (int k = 0; k < typed; ++k) {
        const RubyLine &line = material[std::size_t(order[k])];
        QCOMPARE(session.mainText(), writtenText(line));
        QCOMPARE(typeItem(session, table, line), 0);
    }
    // Half of the next item typed does not move the position.
    if (session.running())
        session.keyTyped(tableLetters(table, material[std::size_t(order[typed])]).front(), 2000);
    QCOMPARE(session.running(), typed < order.size());
    session.stop();
    QCOMPARE(drill.position(), positionAfter);
}

// Faults caught: a doubled syllable counted as one kana, its small tsu timed other than
// by the letters that typed it (or the kana a key finished sharing its time out evenly), a
// miss charged to the wrong kana, the reading marked by syllables instead of characters,
// the romaji row losing the syllable being typed.
void TextDrillTest::kanaOfAKey()
{
    DrillSession session([](int) { return 0; });
    session.textDrill().setItems(items({"切手《きって》を買《か》う。"}));
    session.selectLevel(sentencesLevel);
    session.start(1000);
    const TextDrill &drill = session.textDrill();
    const RunTally &tally = session.tally();
    QCOMPARE(drill.reading(), QStringLiteral("きってをかう。"));
    session.keyTyped('k', 1100);
    QVERIFY(tally.kanaTyped.empty());
    session.keyTyped('i', 1300);
    QCOMPARE(tally.kanaTyped, (std::map<QString, int>{{QStringLiteral("き"), 1}}));
    QVERIFY(session.keyTyped('k', 1400).errorCounted);
    QCOMPARE(tally.misses.back().kana, QStringLiteral("っ"));
    QCOMPARE(session.keyTyped('t', 1600).outcome, KeyOutcome::Advanced);
    QVERIFY(session.keyTyped('k', 1700).errorCounted);
    QCOMPARE(tally.misses.back().kana, QStringLiteral("て"));
    session.keyTyped('t', 2000);
    QCOMPARE(tally.kanaTyped.size(), std::size_t(1));
    session.keyTyped('e', 2500);
    // き: 100 + 200 ms; っ: its first t, 300 ms; て: the second t and the e, 400 + 500 ms.
    QCOMPARE(tally.kanaTyped,
             (std::map<QString, int>{
                 {QStringLiteral("き"), 1}, {QStringLiteral("っ"), 1}, {QStringLiteral("て"), 1}}));
    QCOMPARE(tally.kanaMs, (std::map<QString, qint64>{{QStringLiteral("き"), 300},
                                                      {QStringLiteral("っ"), 300},
                                                      {QStringLiteral("て"), 900}}));
    QCOMPARE(drill.readingTyped(), 3);
    QCOMPARE(drill.writtenDone(), 2);
    QCOMPARE(session.readingText(), QStringLiteral("______WO KA U ."));
    QVERIFY(session.keyTyped('x', 2600).errorCounted);
    QCOMPARE(tally.misses.back().kana, QStringLiteral("を"));
    QCOMPARE(tally.misses.size(), std::size_t(3));
    QCOMPARE(offKeyboardCaption('!'), QStringLiteral("Shift + 1"));
    QCOMPARE(offKeyboardCaption('['), QStringLiteral("["));
    QCOMPARE(offKeyboardCaption('.'), QString());
}

void TextDrillTest::romajiRow_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<QString>("row");
    // 13 syllables of three letters and a space: 52 characters.
    QTest::newRow("start") << 0 << "KAA KII KUU KEE KOO SAA SII SUU SEE SOO";
    QTest::newRow("six typed shown") << 8 << "______KUU KEE KOO SAA SII SUU SEE SOO";
    QTest::newRow("near the end") << 44 << "______TII TUU";
}

// Faults caught: a row longer than 40 characters or cut inside a syllable, more or less than
// six typed characters kept before the syllable under way.
void TextDrillTest::romajiRow()
{
    QFETCH(int, typed);
    QFETCH(QString, row);
    QString reading = QStringLiteral("KAA KII KUU KEE KOO SAA SII SUU SEE SOO TAA TII TUU");
    reading.replace(0, typed, QString(typed, u'_'));
    QCOMPARE(textRomajiRow(reading, typed), row);
}

void TextDrillTest::summary_data()
{
    QTest::addColumn<int>("kana");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("rightKeys");
    QTest::addColumn<int>("errors");
    QTest::addColumn<double>("best");
    QTest::addColumn<QString>("text");
    QTest::newRow("first run") << 60 << 30.0 << 95 << 5 << 0.0
                               << "速さ 120 かな/分　正確さ 95.0%　これまでの最高 —";
    QTest::newRow("beaten")
        << 60 << 30.0 << 100 << 0 << 110.4
        << "速さ 120 かな/分　正確さ 100.0%　これまでの最高 110 かな/分　最高記録！";
    QTest::newRow("tied as shown") << 60 << 30.0 << 100 << 0 << 119.6
                                   << "速さ 120 かな/分　正確さ 100.0%　これまでの最高 120 かな/分";
    QTest::newRow("no time") << 0 << 0.0 << 0 << 0 << 50.0
                             << "速さ 0 かな/分　正確さ 0.0%　これまでの最高 50 かな/分";
}

// Faults caught: speed per second or per key, accuracy over right keys only, a best beaten
// by a speed that shows the same, a division by zero.
void TextDrillTest::summary()
{
    QFETCH(int, kana);
    QFETCH(double, seconds);
    QFETCH(int, rightKeys);
    QFETCH(int, errors);
    QFETCH(double, best);
    QFETCH(QString, text);
    RunTally tally;
    if (kana > 0) {
        tally.kanaTyped[QStringLiteral("あ")] = kana - 1;
        tally.kanaTyped[QStringLiteral("、")] = 1;
    }
    if (rightKeys > 0) {
        tally.rightKeys['a'] = rightKeys - 10;
        tally.rightKeys[','] = 10;
    }
    QCOMPARE(textRunSummary(textRunFigures(tally, seconds, errors), best), text);
}

// A whole run of the sentences drill through the session: its result, its tally with the
// punctuation and the doubled kana, and its history line read back by every reader's parser.
// Faults caught: a text run never finishing, kana counted twice or not at all, a line of
// level 13 rejected by the readers.
void TextDrillTest::sessionRunAndItsLine()
{
    DrillSession session([](int) { return 0; });
    session.textDrill().setItems(items({"切手《きって》！", "「はい」"}));
    session.textDrill().setRunLength(5, 150);
    session.selectLevel(sentencesLevel);
    QCOMPARE(session.mainText(), QStringLiteral("文章"));
    session.start(1000);
    QCOMPARE(session.mainText(), QStringLiteral("切手！"));
    QCOMPARE(session.readingText(), QStringLiteral("KI TTE !"));
    QCOMPARE(session.keyTyped('q', 1100).errorCounted, true);
    KeyOutcome last = KeyOutcome::Ignored;
    for (const char key : std::string("kitte![hai]"))
        last = session.keyTyped(key, 2000).outcome;
    QCOMPARE(last, KeyOutcome::Finished);
    QCOMPARE(session.result().level, sentencesLevel);
    QCOMPARE(session.result().errors, 1);
    QCOMPARE(session.result().seconds, 1.0f);
    const RunTally &tally = session.tally();
    QCOMPARE(tally.misses.size(), std::size_t(1));
    QCOMPARE(tally.misses[0].kana, QStringLiteral("き"));
    QCOMPARE(int(tally.kanaTyped.size()), 8);
    QCOMPARE(tally.kanaTyped.at(QStringLiteral("っ")), 1);
    QCOMPARE(tally.kanaTyped.at(QStringLiteral("「")), 1);
    QCOMPARE(tally.rightKeys.at('['), 1);

    RunLogEntry entry;
    entry.ended = QDateTime(QDate(2026, 12, 7), QTime(10, 0), QTimeZone(32400));
    entry.level = session.result().level;
    entry.seconds = 1;
    entry.errors = 1;
    entry.score = 2;
    entry.tally = tally;
    const QByteArray line = formatRunLogLine(entry);
    QVERIFY(line.startsWith("2026-12-07T10:00:00+09:00\t13\to\t1.0\t1\t2.0\t0\tき:k>q\t"));
    QCOMPARE(parseRunLogLine(line), std::optional(entry));
    KanaNames names;
    RunLogReader reader(names);
    const RunLogLine *read = reader.read(std::string_view(line.constData(), line.size()));
    QVERIFY(read);
    QCOMPARE(textRunFigures(*read).kana, 8);
    QCOMPARE(textRunFigures(*read).kanaPerMinute, 480.0);
}

// Faults caught: a position that overwrites the other drill's or the input options, a
// damaged value read as a position.
void TextDrillTest::positionsKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.ini"));
    QVERIFY(saveInputOptions(path, {true}));
    QVERIFY(saveDrillPosition(path, QStringLiteral("words"), 17));
    QVERIFY(saveDrillPosition(path, QStringLiteral("sentences"), 3));
    QCOMPARE(readDrillPosition(path, QStringLiteral("words")), 17);
    QCOMPARE(readDrillPosition(path, QStringLiteral("sentences")), 3);
    QCOMPARE(readInputOptions(path).freeRomaji, true);
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append) && file.write("[other]\nwords=x\n") > 0);
    file.close();
    QVERIFY(saveDrillPosition(path, QStringLiteral("words"), 18));
    QCOMPARE(readDrillPosition(path, QStringLiteral("words")), 18);
    QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains("[other]"));
    QFile damaged(dir.filePath(QStringLiteral("damaged.ini")));
    QVERIFY(damaged.open(QIODevice::WriteOnly) &&
            damaged.write("[drills]\nwords=-4\nsentences=x\n") > 0);
    damaged.close();
    QCOMPARE(readDrillPosition(damaged.fileName(), QStringLiteral("words")), 0);
    QCOMPARE(readDrillPosition(damaged.fileName(), QStringLiteral("sentences")), 0);
}

QTEST_GUILESS_MAIN(TextDrillTest)
#include "test_core_textdrill.moc"
