// SPDX-License-Identifier: GPL-3.0-or-later
// "RK.log": every field written and read back, whatever the locale and the offset; lines
// written before times were kept; the escapes of the misses; damaged lines passed over while
// the rest is read; appending.
#include "core/runlogfile.h"

#include <QBuffer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <tuple>

using namespace rinkaro;

namespace
{

QDateTime at(int offsetMinutes)
{
    return QDateTime(QDate(2026, 12, 7), QTime(10, 15, 3), Qt::OffsetFromUTC, offsetMinutes * 60);
}

// clang-format off
RunLogEntry keyRun()
{
    return {{1, false, 12.3f, 2, 14.3f, true}, at(9 * 60),
            {{{{}, 'f', 'd'}, {{}, 'j', ' '}}, {{'f', 10}, {'j', 9}}, {}, {}, {}}};
}
// clang-format on

const QByteArray keyLine =
    "2026-12-07T10:15:03+09:00\t1\to\t12.3\t2\t14.3\t1\tf>d j>0x20\tf:10 j:9\t";
// The same run with its times.
const QByteArray timedKeyLine = keyLine + "\tf:4210 j:3905\t";

RunLogEntry timedKeyRun()
{
    RunLogEntry entry = keyRun();
    entry.tally.keyMs = {{'f', 4210}, {'j', 3905}};
    return entry;
}

// The timed key run's line with one field replaced.
QByteArray withField(int field, const QByteArray &text)
{
    QList<QByteArray> fields = timedKeyLine.split('\t');
    fields[field - 1] = text;
    return fields.join('\t');
}

} // namespace

Q_DECLARE_METATYPE(RunLogEntry)

class CoreRunLogTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void missEscapes_data();
    void missEscapes();
    void learnersTextNamed();
    void damagedLineIsPassedOver_data();
    void damagedLineIsPassedOver();
    void appendsLines();
    void rejectedLinesLeaveNoKanaNamed_data();
    void rejectedLinesLeaveNoKanaNamed();
    void namesRolledBackAreNumberedAgain();
    void countsOfEveryLength_data();
    void countsOfEveryLength();
    void kanaInTheWritersOrder_data();
    void kanaInTheWritersOrder();
};

void CoreRunLogTest::initTestCase()
{
    // Neither the default locale's comma nor the zone of the machine may show in the file.
    QLocale::setDefault(QLocale::German);
    qputenv("TZ", "Asia/Tokyo");
}

void CoreRunLogTest::roundTrip_data()
{
    QTest::addColumn<RunLogEntry>("entry");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("offset");
    // clang-format off
    // Written before times were kept: ten fields, no times read.
    QTest::newRow("key level, no times") << keyRun() << keyLine + '\n' << 9 * 3600;
    QTest::newRow("key level") << timedKeyRun() << timedKeyLine + '\n' << 9 * 3600;
    QTest::newRow("syllables, UTC")
        << RunLogEntry{{5, true, 61.0, 1, 62.0, false}, at(0),
                       {{{"し", 'h', 'j'}}, {{'h', 3}, {'s', 4}}, {{"し", 3}},
                        {{'h', 900}, {'s', 0}}, {{"し", 2400}}}}
        << QByteArray("2026-12-07T10:15:03+00:00\t5\tr\t61.0\t1\t62.0\t0\tし:h>j\th:3 s:4\tし:3"
                      "\th:900 s:0\tし:2400\n")
        << 0;
    QTest::newRow("weak kana")
        << RunLogEntry{{11, false, 8.0, 0, 8.0, false}, at(0), {{}, {{'h', 1}, {'s', 1}}, {{"し", 1}}, {}, {}}}
        << QByteArray("2026-12-07T10:15:03+00:00\t11\to\t8.0\t0\t8.0\t0\t\th:1 s:1\tし:1\n")
        << 0;
    QTest::newRow("phrases, negative offset")
        << RunLogEntry{{9, false, 0.1, 0, 0.1, false}, at(-210),
                       {{{"っ", 't', 'k'}, {"、", ',', '.'}}, {{',', 1}, {'t', 2}},
                        {{"っ", 1}, {"て", 1}, {"、", 1}},
                        {{',', 30}, {'t', 999999999}}, {{"っ", 10}, {"て", 20}, {"、", 30}}}}
        << QByteArray("2026-12-07T10:15:03-03:30\t9\to\t0.1\t0\t0.1\t0\tっ:t>k 、:,>.\t,:1 t:2\t"
                      "、:1 っ:1 て:1\t,:30 t:999999999\t、:30 っ:10 て:20\n")
        << -210 * 60;
    // clang-format on
    RunLogEntry local = keyRun();
    local.ended = QDateTime(QDate(2026, 7, 1), QTime(23, 59, 59, 999), Qt::LocalTime);
    QTest::newRow("local time, whole seconds")
        << local << QByteArray(keyLine).replace(0, 25, "2026-07-01T23:59:59+09:00") + '\n'
        << 9 * 3600;
}

void CoreRunLogTest::roundTrip()
{
    QFETCH(RunLogEntry, entry);
    QFETCH(QByteArray, line);
    QFETCH(int, offset);
    QCOMPARE(formatRunLogLine(entry), line);
    const std::optional<RunLogEntry> read = parseRunLogLine(line);
    QVERIFY(read);
    QCOMPARE(read->ended.offsetFromUtc(), offset);
    // The file keeps whole seconds and one decimal: single-precision seconds come back as
    // that decimal.
    entry.ended = entry.ended.addMSecs(-entry.ended.time().msec());
    entry.seconds = std::round(entry.seconds * 10) / 10;
    entry.score = std::round(entry.score * 10) / 10;
    QVERIFY(*read == entry);
    QCOMPARE(formatRunLogLine(*read), line);
}

void CoreRunLogTest::missEscapes_data()
{
    QTest::addColumn<QString>("kana");
    QTest::addColumn<char>("expected");
    QTest::addColumn<char>("typed");
    QTest::addColumn<QByteArray>("text");
    // clang-format off
    const std::tuple<const char *, char, char, const char *> rows[] = {
        {"", 'a', 's', "a>s"},        {"", 'a', ' ', "a>0x20"},    {"", 'a', '\r', "a>0x0d"},
        {"", 'a', '\0', "a>0x00"},    {"", 'a', '\x7f', "a>0x7f"}, {"", 'a', '\xe9', "a>0xe9"},
        {"", 'a', '~', "a>~"},        {"", 'a', '>', "a>>"},       {"", ';', ':', ";>:"},
        {"し", 's', ':', "し:s>:"},   {"っ", 't', ' ', "っ:t>0x20"}, {"、", ',', '.', "、:,>."},
        {"a>b", 'c', 'd', "a>b:c>d"}, {"a b", 'c', 'd', "c>d"}, // a kana that cannot be written
    };
    // clang-format on
    for (const auto &[kana, expected, typed, text] : rows)
        QTest::addRow("%s", text) << QString::fromUtf8(kana) << expected << typed
                                  << QByteArray(text);
}

void CoreRunLogTest::missEscapes()
{
    QFETCH(QString, kana);
    QFETCH(char, expected);
    QFETCH(char, typed);
    QFETCH(QByteArray, text);
    RunLogEntry entry = keyRun();
    entry.tally.misses = {{kana, expected, typed}};
    const QByteArray line = formatRunLogLine(entry);
    QCOMPARE(line.split('\t').at(7), text);
    const std::optional<RunLogEntry> read = parseRunLogLine(line);
    QVERIFY(read);
    const Miss miss{kana.contains(u' ') ? QString() : kana, expected, typed};
    QCOMPARE(read->tally.misses.size(), size_t(1));
    QVERIFY(read->tally.misses[0] == miss);
}

// A run of a learner's text names it in a 13th field, which the reader passes over.
void CoreRunLogTest::learnersTextNamed()
{
    const RunLogEntry run{
        {14, false, 8.0, 0, 8.0, false},
        at(0),
        {{}, {{'h', 1}, {'s', 1}}, {{"し", 1}}, {{'h', 300}, {'s', 200}}, {{"し", 500}}}};
    const QByteArray line = formatRunLogLine(run, QStringLiteral("朝の\t文.txt"));
    QCOMPARE(line, QByteArray("2026-12-07T10:15:03+00:00\t14\to\t8.0\t0\t8.0\t0\t\th:1 s:1\tし:1"
                              "\th:300 s:200\tし:500\t朝の 文.txt\n"));
    const std::optional<RunLogEntry> read = parseRunLogLine(line);
    QVERIFY(read);
    QVERIFY(*read == run);
    // Other levels never carry a name.
    RunLogEntry other = run;
    other.level = 13;
    QVERIFY(!formatRunLogLine(other, QStringLiteral("a.txt")).contains("a.txt"));
}

void CoreRunLogTest::damagedLineIsPassedOver_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("nine fields") << keyLine.left(keyLine.lastIndexOf('\t'));
    QTest::newRow("eleven fields") << keyLine + '\t';
    QTest::newRow("thirteen fields") << timedKeyLine + '\t';
    // Only a run of a learner's text names one.
    QTest::newRow("thirteen fields, text named") << timedKeyLine + "\ta.txt";
    QTest::newRow("learner's text, empty name")
        << QByteArray("2026-12-07T10:15:03+00:00\t14\to\t8.0\t0\t8.0\t0\t\th:1\tし:1\th:3\tし:5\t");
    QTest::newRow("two tabs") << withField(2, "\t1");
    QTest::newRow("overlong") << QByteArray(3 << 20, 'x');
    // clang-format off
    const std::pair<int, const char *> fields[] = {
        {1, "2026-12-07T10:15:03"}, {1, "2026-12-07T10:15:03Z"}, {1, "2026-12-07 10:15:03+09:00"},
        {1, "2026-02-29T10:15:03+09:00"}, {1, "2026-12-07T24:00:00+09:00"},
        {1, "2026-12-07T10:15:03-00:00"}, {1, "2026-12-07T10:15:03+9:00"},
        {1, "0000-12-07T10:15:03+09:00"}, {2, "0"}, {2, "15"}, {2, "01"}, {3, "R"}, {3, ""},
        {4, "12,3"}, {4, "12.34"}, {4, "12"}, {4, "-1.0"}, {4, "012.3"}, {4, "1234567890.0"},
        {5, "-1"}, {5, "02"}, {5, ""}, {6, "14.3 "}, {7, "2"},
        {8, "f>"}, {8, "f>dd"}, {8, "f>0x41"}, {8, "f>0xZZ"}, {8, "f>0X20"}, {8, "f>d  j>k"},
        {8, ":f>d"}, {8, "f<d"}, {8, "\xff:f>d"},
        {9, "f:0"}, {9, "f:"}, {9, "f:01"}, {9, "f:1 f:2"}, {9, "j:1 f:2"}, {9, "f:1 "},
        {10, "し:"}, {10, "し:0"}, {10, ":1"}, {10, "\xe3\x81:1"}, {10, "し:1 し:1"}, {10, "し:x"},
        // The times name the keys and kana of fields 9 and 10, in their order.
        {11, ""}, {11, "f:4210"}, {11, "j:3905 f:4210"}, {11, "f:4210 j:3905 k:1"},
        {11, "f:4210 j:03905"}, {11, "f:4210 j:"}, {11, "f:4210 j:1234567890"},
        {11, "f:4210  j:3905"}, {11, "f:4210 j:12222222222222222222"}, {12, "し:10"},
    };
    // clang-format on
    for (const auto &[field, text] : fields)
        QTest::addRow("field %d: \"%s\"", field, text) << withField(field, text);
}

// The reader rejects the line alone and reads the next; a line end of CR LF, or none at the
// end, is still a line end.
void CoreRunLogTest::damagedLineIsPassedOver()
{
    QFETCH(QByteArray, line);
    QVERIFY(!parseRunLogLine(line));
    QByteArray history = timedKeyLine + "\r\n" + line + '\n' + withField(2, "2");
    QBuffer device(&history);
    QVERIFY(device.open(QIODevice::ReadOnly));
    QList<int> levels;
    QCOMPARE(readRunLog(device, [&](const RunLogEntry &e) { levels << e.level; }), 2);
    QCOMPARE(levels, QList<int>({1, 2}));
}

void CoreRunLogTest::appendsLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("RK.log");
    QVERIFY(appendRunLog(path, keyRun()));
    QVERIFY(appendRunLog(path, keyRun()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QCOMPARE(file.readAll(), keyLine + '\n' + keyLine + '\n');
    // A line cut short by a crash is ended before the next one.
    file.write("2026-12");
    file.close();
    QVERIFY(appendRunLog(path, keyRun()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().endsWith("\n2026-12\n" + keyLine + '\n'));
    // Nothing to write to: a folder, a missing folder, a file taken for a folder.
    for (const QString &bad : {dir.path(), dir.filePath("none/RK.log"), path + "/RK.log"})
        QVERIFY2(!appendRunLog(bad, keyRun()), qPrintable(bad));
}

namespace
{

// "一:1 丁:1 ...": `count` names from the CJK block on, in the order the writer sorts them.
QByteArray manyNames(int first, int count, const char *suffix)
{
    QByteArray field;
    for (int k = 0; k < count; ++k) {
        if (k > 0)
            field += ' ';
        field += QString(QChar(0x4e00 + first + k)).toUtf8() + suffix;
    }
    return field;
}

RunLogEntry kanaRun()
{
    RunLogEntry entry;
    entry.ended = at(9 * 60);
    entry.level = 5;
    entry.tally.misses = {{QStringLiteral("い"), 'i', 'u'}};
    entry.tally.rightKeys = {{'a', 2}, {'i', 1}};
    entry.tally.kanaTyped = {{QStringLiteral("あ"), 2}, {QStringLiteral("い"), 1}};
    entry.tally.keyMs = {{'a', 300}, {'i', 200}};
    entry.tally.kanaMs = {{QStringLiteral("あ"), 300}, {QStringLiteral("い"), 200}};
    return entry;
}

} // namespace

void CoreRunLogTest::rejectedLinesLeaveNoKanaNamed_data()
{
    QTest::addColumn<QByteArray>("damaged");
    QTest::addColumn<int>("copies");
    QList<QByteArray> fields = formatRunLogLine(kanaRun()).trimmed().split('\t');
    QList<QByteArray> line = fields;
    line[9] = manyNames(0, 10000, ":1");
    line[11] = manyNames(0, 10000, ":5");
    QTest::newRow("10,000 names in one line") << line.join('\t') << 1;
    line = fields;
    line[9] = manyNames(0, 100, ":1");
    line[11] = "x";
    QTest::newRow("100 names, then bad times, 60 times") << line.join('\t') << 60;
    line = fields;
    line[7] = manyNames(0, 100, ":a>b");
    line[8] = "a:0";
    QTest::newRow("100 names missed, then a bad count, 60 times") << line.join('\t') << 60;
}

// One damaged line naming 10,000 "kana" at the top of a history left most of the kana runs
// after it unread: the names it added were kept, and the table of names was full.
void CoreRunLogTest::rejectedLinesLeaveNoKanaNamed()
{
    QFETCH(QByteArray, damaged);
    QFETCH(int, copies);
    QByteArray history;
    for (int k = 0; k < copies; ++k)
        history += damaged + '\n';
    constexpr int runs = 50;
    for (int k = 0; k < runs; ++k)
        history += formatRunLogLine(kanaRun());
    QBuffer device(&history);
    QVERIFY(device.open(QIODevice::ReadOnly));
    KanaNames names;
    RunLogReader reader(names);
    int typed = 0, missed = 0;
    QCOMPARE(readRunLogLines(reader, device,
                             [&](const RunLogLine &line) {
                                 for (const RunLogLine::Count &kana : line.kana)
                                     typed += kana.n;
                                 missed += int(line.misses.size());
                             }),
             runs);
    QCOMPARE(typed, 3 * runs);
    QCOMPARE(missed, runs);
    QCOMPARE(names.size(), 2);
}

void CoreRunLogTest::namesRolledBackAreNumberedAgain()
{
    KanaNames names;
    const QString long8 = QStringLiteral("ああああ"); // too long to pack: kept apart
    QCOMPARE(names.find(QStringLiteral("あ")), 0);
    QCOMPARE(names.find(long8), 1);
    for (int k = 0; k < 700; ++k) // past the packed slots too
        QCOMPARE(names.find(QString(QChar(0x4e00 + k))), 2 + k);
    QCOMPARE(names.find(long8 + long8), 702);
    names.rollBack(2);
    QCOMPARE(names.size(), 2);
    QCOMPARE(names.find(QStringLiteral("あ")), 0);
    QCOMPARE(names.find(long8), 1);
    QCOMPARE(names.find(long8 + long8), 2);
    QCOMPARE(names.find(QString(QChar(0x4e00 + 5))), 3);
    QCOMPARE(names.name(3), QString(QChar(0x4e00 + 5)));
}

void CoreRunLogTest::countsOfEveryLength_data()
{
    QTest::addColumn<QByteArray>("times"); // of the keys a to i, pressed once each
    QTest::addColumn<QList<qint64>>("ms"); // as read, in order; none: the line is rejected
    QTest::newRow("lengthening") << QByteArray("a:1 b:12 c:123 d:1234 e:12345 f:123456 g:1234567 "
                                               "h:12345678 i:123456789")
                                 << QList<qint64>{1,      12,      123,      1234,     12345,
                                                  123456, 1234567, 12345678, 123456789};
    QTest::newRow("shortening") << QByteArray("a:987654321 b:87654321 c:7654321 d:654321 e:54321 "
                                              "f:4321 g:321 h:21 i:1")
                                << QList<qint64>{987654321, 87654321, 7654321, 654321, 54321,
                                                 4321,      321,      21,      1};
    QTest::newRow("zeros") << QByteArray("a:0 b:10 c:100 d:1000000 e:90000000 f:0 g:7 h:99999999 "
                                         "i:0")
                           << QList<qint64>{0, 10, 100, 1000000, 90000000, 0, 7, 99999999, 0};
    QTest::newRow("ten digits midway")
        << QByteArray("a:1 b:1234567890 c:1 d:1 e:1 f:1 g:1 h:1 i:1") << QList<qint64>{};
    QTest::newRow("eight digits and a letter midway")
        << QByteArray("a:1 b:12345678x c:1 d:1 e:1 f:1 g:1 h:1 i:1") << QList<qint64>{};
    QTest::newRow("a leading zero midway")
        << QByteArray("a:1 b:0123 c:1 d:1 e:1 f:1 g:1 h:1 i:1") << QList<qint64>{};
    QTest::newRow("no digits midway")
        << QByteArray("a:1 b: c:1 d:1 e:1 f:1 g:1 h:1 i:1") << QList<qint64>{};
}

// Counts are read eight bytes at a time where that many follow in the field, a byte at a
// time near its end: a count misread either way, or one of ten digits let through, is a
// wrong time or a damaged line taken for the learner's.
void CoreRunLogTest::countsOfEveryLength()
{
    QFETCH(QByteArray, times);
    QFETCH(QList<qint64>, ms);
    const QByteArray line = "2026-12-07T10:15:03+09:00\t1\to\t12.3\t0\t12.3\t0\t\t"
                            "a:1 b:1 c:1 d:1 e:1 f:1 g:1 h:1 i:1\t\t" +
                            times + "\t";
    const std::optional<RunLogEntry> read = parseRunLogLine(line);
    QCOMPARE(bool(read), !ms.isEmpty());
    if (!read)
        return;
    QList<qint64> found;
    for (const auto &[key, keyMs] : read->tally.keyMs)
        found << keyMs;
    QCOMPARE(found, ms);
}

void CoreRunLogTest::kanaInTheWritersOrder_data()
{
    QTest::addColumn<QByteArray>("kana");
    QTest::addColumn<bool>("read");
    // み (e3 81 bf) comes before む (e3 82 80) by its second byte, whatever its third.
    QTest::newRow("mi mu") << QByteArray("み む") << true;
    QTest::newRow("mu mi") << QByteArray("む み") << false;
    QTest::newRow("shi shu") << QByteArray("し しゅ") << true;
    QTest::newRow("shu shi") << QByteArray("しゅ し") << false;
    QTest::newRow("comma, small tsu, te") << QByteArray("、 っ て") << true;
    QTest::newRow("comma, te, small tsu") << QByteArray("、 て っ") << false;
    // Past U+FFFF the writer's order is UTF-16's: 𠮷 (f0 a0 ae b7) before ｱ (ef bd b1).
    QTest::newRow("astral first") << QByteArray("𠮷 ｱ") << true;
    QTest::newRow("astral last") << QByteArray("ｱ 𠮷") << false;
}

// The kana of a line come in the order of the writer's map of texts: compared by their bytes
// packed into one number, a byte order mixed up takes damaged lines and refuses good ones.
void CoreRunLogTest::kanaInTheWritersOrder()
{
    QFETCH(QByteArray, kana);
    QFETCH(bool, read);
    QByteArray counts, times;
    for (const QByteArray &name : kana.split(' ')) {
        counts += (counts.isEmpty() ? "" : " ") + name + ":1";
        times += (times.isEmpty() ? "" : " ") + name + ":300";
    }
    const QByteArray line =
        "2026-12-07T10:15:03+09:00\t5\to\t12.3\t0\t12.3\t0\t\tk:1\t" + counts + "\tk:300\t" + times;
    QCOMPARE(bool(parseRunLogLine(line)), read);
}

QTEST_APPLESS_MAIN(CoreRunLogTest)
#include "test_core_runlog.moc"
