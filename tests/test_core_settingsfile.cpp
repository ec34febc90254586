// SPDX-License-Identifier: GPL-3.0-or-later
// "RK.set" as text: numbers in the general format, integers and reals read back, flag
// lines, short and damaged files, scores that are no record, line ends. "RK.ini" as text:
// values set line for line, and files that are not clean INI left exactly as they are.
#include "core/inputoptions.h"
#include "core/settingsfile.h"
#include "settingstexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace rinkaro;

class CoreSettingsFileTest : public QObject
{
    Q_OBJECT
private slots:
    void generalFormat_data();
    void generalFormat();
    void generalFormatUsesOnlyTheDecimalSeparator_data();
    void generalFormatUsesOnlyTheDecimalSeparator();
    void integers_data();
    void integers();
    void reals_data();
    void reals();
    void recordSurvivesTheTextAtFifteenDigits_data();
    void recordSurvivesTheTextAtFifteenDigits();
    void flagLines_data();
    void flagLines();
    void shortFileKeepsTheDefaultsOfMissingLines_data();
    void shortFileKeepsTheDefaultsOfMissingLines();
    void badLineTakesItsDefaultAndReadingGoesOn_data();
    void badLineTakesItsDefaultAndReadingGoesOn();
    void scoresThatAreNoRecord_data();
    void scoresThatAreNoRecord();
    void blankLineShiftsNothing_data();
    void blankLineShiftsNothing();
    void lineEndsAndExtrasDoNotMatter();
    void damagedLayoutKeepsEveryReadableValue_data();
    void damagedLayoutKeepsEveryReadableValue();
    void iniValueChangesItsOwnLineOnly_data();
    void iniValueChangesItsOwnLineOnly();
    void iniValuesALineCannotHoldAreRefused();
    void iniFileThatIsNotCleanIsLeftAsItIs_data();
    void iniFileThatIsNotCleanIsLeftAsItIs();
};

void CoreSettingsFileTest::generalFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("integer") << 15.0 << "15";
    QTest::newRow("half") << 37.5 << "37.5";
    QTest::newRow("float score") << 12.300000190734863 << "12.3000001907349";
    QTest::newRow("one tenth") << 0.1 << "0.1";
    QTest::newRow("sum error hidden") << 0.1 + 0.2 << "0.3";
    QTest::newRow("third") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("two thirds rounds up") << 2.0 / 3 << "0.666666666666667";
    QTest::newRow("negative") << -2.5 << "-2.5";
    QTest::newRow("smallest fixed") << 1e-5 << "0.00001";
    QTest::newRow("small fixed") << 1.5e-5 << "0.000015";
    QTest::newRow("below fixed") << 9.9e-6 << "9.9E-6";
    QTest::newRow("tiny") << 1e-300 << "1E-300";
    QTest::newRow("largest fixed") << 999999999999999.0 << "999999999999999";
    QTest::newRow("fifteen digits") << 1e14 << "100000000000000";
    QTest::newRow("sixteen digits") << 1e15 << "1E15";
    QTest::newRow("carry into exponent") << 999999999999999.9 << "1E15";
    QTest::newRow("large") << 1.2345678901234567e17 << "1.23456789012346E17";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "NAN";
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "INF";
}

void CoreSettingsFileTest::generalFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatGeneral(value, QLocale::c()), text);
}

void CoreSettingsFileTest::generalFormatUsesOnlyTheDecimalSeparator_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    const QLocale german(QLocale::German, QLocale::Germany);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("comma") << german << 37.5 << "37,5";
    QTest::newRow("comma, no grouping") << german << 1234567.25 << "1234567,25";
    QTest::newRow("comma in exponent form") << german << 1.5e20 << "1,5E20";
    QTest::newRow("point, no grouping") << english << 1234567.25 << "1234567.25";
    // Digits and separator a reader could not take back become the plain ASCII form.
    QTest::newRow("arabic") << QLocale(QLocale::Arabic, QLocale::Egypt) << 37.5 << "37.5";
}

void CoreSettingsFileTest::generalFormatUsesOnlyTheDecimalSeparator()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatGeneral(value, locale), text);
}

void CoreSettingsFileTest::integers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("one") << QByteArray("1") << true << 1;
    QTest::newRow("leading zero") << QByteArray("01") << true << 1;
    QTest::newRow("minus") << QByteArray("-1") << true << -1;
    QTest::newRow("plus") << QByteArray("+7") << true << 7;
    QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("overflow") << QByteArray("2147483648") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
    QTest::newRow("sign only") << QByteArray("-") << false << 0;
    QTest::newRow("two signs") << QByteArray("+-1") << false << 0;
    QTest::newRow("real") << QByteArray("1.0") << false << 0;
    QTest::newRow("trailing letter") << QByteArray("1a") << false << 0;
    QTest::newRow("hexadecimal") << QByteArray("0x10") << false << 0;
    QTest::newRow("inner blank") << QByteArray("1 2") << false << 0;
}

void CoreSettingsFileTest::integers()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<int> parsed = parseInteger(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void CoreSettingsFileTest::reals_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("point") << QByteArray("12.5") << true << 12.5;
    QTest::newRow("comma") << QByteArray("12,5") << true << 12.5;
    QTest::newRow("integer") << QByteArray("-3") << true << -3.0;
    QTest::newRow("plus") << QByteArray("+3") << true << 3.0;
    QTest::newRow("no fraction digits") << QByteArray("5.") << true << 5.0;
    QTest::newRow("no whole digits") << QByteArray(",5") << true << 0.5;
    QTest::newRow("exponent") << QByteArray("1,5E20") << true << 1.5e20;
    QTest::newRow("negative exponent") << QByteArray("9.9e-6") << true << 9.9e-6;
    QTest::newRow("signed exponent") << QByteArray("2E+3") << true << 2000.0;
    QTest::newRow("fifteen digits") << QByteArray("12.3000001907349") << true << 12.3000001907349;
    QTest::newRow("two separators") << QByteArray("1,5.0") << false << 0.0;
    QTest::newRow("grouping") << QByteArray("1 000") << false << 0.0;
    QTest::newRow("separator only") << QByteArray(".") << false << 0.0;
    QTest::newRow("exponent only") << QByteArray("e5") << false << 0.0;
    QTest::newRow("exponent without digits") << QByteArray("1e") << false << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << false << 0.0;
    QTest::newRow("infinity") << QByteArray("INF") << false << 0.0;
    QTest::newRow("hexadecimal") << QByteArray("0x1p3") << false << 0.0;
    QTest::newRow("overflow") << QByteArray("1e999") << false << 0.0;
    QTest::newRow("empty") << QByteArray() << false << 0.0;
}

void CoreSettingsFileTest::reals()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = parseReal(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void CoreSettingsFileTest::recordSurvivesTheTextAtFifteenDigits_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("point") << QLocale::c();
    QTest::newRow("comma") << QLocale(QLocale::German, QLocale::Germany);
}

void CoreSettingsFileTest::recordSurvivesTheTextAtFifteenDigits()
{
    QFETCH(QLocale, locale);
    SettingsRecord record = fullRecord();
    record.level = -12;
    const double awkward[] = {12.300000190734863,  1.0 / 3, 0.1 + 0.2, 1e-5,   9.87654321e-7,
                              123456.789012345678, 1e15,    3.5e200,   2.0 / 3};
    for (int k = 0; k < 9; ++k) {
        record.orderedRecords[k] = awkward[k];
        record.randomRecords[k] = awkward[8 - k] * 3;
    }
    const QByteArray text = formatSettings(record, locale);
    QCOMPARE(fileLines(text).size(), 29);
    const SettingsRecord parsed = parseSettings(text);
    SettingsRecord expected = record;
    for (int k = 0; k < 9; ++k) {
        expected.orderedRecords[k] = QString::number(record.orderedRecords[k], 'g', 15).toDouble();
        expected.randomRecords[k] = QString::number(record.randomRecords[k], 'g', 15).toDouble();
    }
    QCOMPARE(parsed, expected);
}

void CoreSettingsFileTest::flagLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<bool>("valid");
    QTest::newRow("1") << QByteArray("1") << true << true;
    QTest::newRow("blanks around") << QByteArray(" 1 ") << true << true;
    QTest::newRow("tab and return") << QByteArray("\t1\r") << true << true;
    QTest::newRow("01") << QByteArray("01") << true << true;
    QTest::newRow("0") << QByteArray("0") << false << true;
    QTest::newRow("2") << QByteArray("2") << false << true;
    QTest::newRow("-1") << QByteArray("-1") << false << true;
    QTest::newRow("real") << QByteArray("1.0") << false << false;
    QTest::newRow("word") << QByteArray("yes") << false << false;
    QTest::newRow("sign only") << QByteArray("+") << false << false;
}

// The same line as the colouring flag, as one romaji group, and as the hint flag (whose
// default is on, so an unusable line leaves it ticked).
void CoreSettingsFileTest::flagLines()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, ticked);
    QFETCH(bool, valid);

    const SettingsRecord colour = parseSettings("3\n" + line + "\n");
    QCOMPARE(colour.keyColour, ticked);

    const SettingsRecord hint = parseSettings("3\n0\n" + line + "\n");
    QCOMPARE(hint.keyHint, valid ? ticked : true);

    const SettingsRecord romaji = parseSettings("3\n0\n1\n0\n0\n0\n0\n0\n0\n0\n" + line + "\n");
    QCOMPARE(romaji.romaji[7], ticked);
    QCOMPARE(romaji.level, 3);
}

void CoreSettingsFileTest::shortFileKeepsTheDefaultsOfMissingLines_data()
{
    QTest::addColumn<int>("kept");
    for (int n = 0; n <= 28; ++n)
        QTest::addRow("%d lines", n) << n;
}

void CoreSettingsFileTest::shortFileKeepsTheDefaultsOfMissingLines()
{
    QFETCH(int, kept);
    const QList<QByteArray> lines = fileLines(formatSettings(fullRecord(), QLocale::c()));
    QByteArray text;
    for (int i = 0; i < kept; ++i)
        text += lines[i] + '\n';
    const SettingsRecord parsed = parseSettings(text);

    // Each line either came from the file or keeps the default, never the last line read.
    const SettingsRecord full = fullRecord();
    const SettingsRecord defaults;
    const auto pick = [kept](int line, auto fromFile, auto fallback) {
        return line <= kept ? fromFile : fallback;
    };
    QCOMPARE(parsed.level, pick(1, full.level, defaults.level));
    QCOMPARE(parsed.keyColour, pick(2, full.keyColour, defaults.keyColour));
    QCOMPARE(parsed.keyHint, pick(3, full.keyHint, defaults.keyHint));
    for (int g = 0; g < 8; ++g)
        QCOMPARE(parsed.romaji[g], pick(4 + g, full.romaji[g], false));
    for (int k = 0; k < 9; ++k) {
        QCOMPARE(parsed.orderedRecords[k], pick(12 + k, full.orderedRecords[k], 0.0));
        QCOMPARE(parsed.randomRecords[k], pick(21 + k, full.randomRecords[k], 0.0));
    }

    // The last line without its line feed still counts.
    if (kept > 0) {
        text.chop(1);
        QCOMPARE(parseSettings(text), parsed);
    }
}

void CoreSettingsFileTest::badLineTakesItsDefaultAndReadingGoesOn_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("garbage level") << 1 << QByteArray("level eight");
    QTest::newRow("hint of blanks and a sign") << 3 << QByteArray(" \t-");
    QTest::newRow("garbage romaji") << 5 << QByteArray("\x82\xb5");
    QTest::newRow("nul byte") << 9 << QByteArray("1\0", 2) + "1";
    QTest::newRow("1000 digits as level") << 1 << QByteArray(1000, '7');
    QTest::newRow("1000 characters as score") << 12 << QByteArray(1000, 'x');
    QTest::newRow("1000 digits as score") << 15 << QByteArray(1000, '9');
    QTest::newRow("100000 blanks and a digit") << 20 << QByteArray(100000, ' ') + "4";
    QTest::newRow("score with text") << 29 << QByteArray("12.5 s");
}

void CoreSettingsFileTest::badLineTakesItsDefaultAndReadingGoesOn()
{
    QFETCH(int, line);
    QFETCH(QByteArray, content);
    QList<QByteArray> lines = fileLines(formatSettings(fullRecord(), QLocale::c()));
    lines[line - 1] = content;
    const SettingsRecord parsed = parseSettings(lines.join('\n') + '\n');

    // Exactly that line is unusable, and it is one line however long it is.
    SettingsRecord expected = fullRecord();
    const SettingsRecord defaults;
    if (line == 1)
        expected.level = defaults.level;
    else if (line == 3)
        expected.keyHint = defaults.keyHint;
    else if (line >= 4 && line <= 11)
        expected.romaji[line - 4] = false;
    else if (line >= 12 && line <= 20)
        expected.orderedRecords[line - 12] = 0;
    else if (line >= 21)
        expected.randomRecords[line - 21] = 0;
    QCOMPARE(parsed, expected);
}

void CoreSettingsFileTest::scoresThatAreNoRecord_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("negative") << QByteArray("-12.5") << 0.0;
    QTest::newRow("nan") << QByteArray("NAN") << 0.0;
    QTest::newRow("nan, lower case") << QByteArray("nan") << 0.0;
    QTest::newRow("infinite") << QByteArray("INF") << 0.0;
    QTest::newRow("overflow") << QByteArray("1E400") << 0.0;
    QTest::newRow("beyond writable") << QByteArray("1E305") << 0.0;
    QTest::newRow("too small") << QByteArray("1E-305") << 0.0;
    QTest::newRow("negative zero") << QByteArray("-0") << 0.0;
    QTest::newRow("ordinary") << QByteArray(" 17,25 ") << 17.25;
}

void CoreSettingsFileTest::scoresThatAreNoRecord()
{
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    QList<QByteArray> lines = fileLines(formatSettings(SettingsRecord(), QLocale::c()));
    lines[11] = text; // level 1's high score
    lines[28] = text; // level 9's random score
    const SettingsRecord parsed = parseSettings(lines.join('\n'));
    QCOMPARE(parsed.orderedRecords[0], value);
    QCOMPARE(parsed.randomRecords[8], value);
    QVERIFY(!std::signbit(parsed.orderedRecords[0]));
}

void CoreSettingsFileTest::blankLineShiftsNothing_data()
{
    QTest::addColumn<QByteArray>("blank");
    QTest::addColumn<bool>("inserted"); // before line 4, or in place of its value
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<int>("defaultLine"); // the line whose value is lost, 0 for none
    const QByteArray nuls(3, '\0');
    QTest::newRow("empty in place") << QByteArray() << false << QByteArray() << 4;
    QTest::newRow("NULs in place") << nuls << false << QByteArray() << 4;
    QTest::newRow("blanks in place") << QByteArray(" \t ") << false << QByteArray() << 4;
    QTest::newRow("in place, blank lines after") << nuls << false << QByteArray("\n \n\n") << 4;
    QTest::newRow("empty inserted") << QByteArray() << true << QByteArray() << 0;
    QTest::newRow("NULs inserted") << nuls << true << QByteArray() << 0;
    QTest::newRow("inserted, blank lines after") << nuls << true << QByteArray("\r\n\n") << 0;
}

// A blank line in place of a value moved every later value up one line, all records to
// the wrong level.
void CoreSettingsFileTest::blankLineShiftsNothing()
{
    QFETCH(QByteArray, blank);
    QFETCH(bool, inserted);
    QFETCH(QByteArray, end);
    QFETCH(int, defaultLine);
    QList<QByteArray> lines = fileLines(formatSettings(fullRecord(), QLocale::c()));
    if (inserted)
        lines.insert(3, blank);
    else
        lines[3] = blank;
    const SettingsRecord parsed = parseSettings(lines.join('\n') + '\n' + end);
    SettingsRecord expected = fullRecord();
    if (defaultLine == 4)
        expected.romaji[0] = false;
    QCOMPARE(parsed, expected);
}

void CoreSettingsFileTest::lineEndsAndExtrasDoNotMatter()
{
    const QByteArray lineFeeds = formatSettings(fullRecord(), QLocale::c());
    QByteArray dos = lineFeeds;
    dos.replace("\n", "\r\n");
    const SettingsRecord fromDos = parseSettings(dos);
    QCOMPARE(fromDos, fullRecord());
    QCOMPARE(parseSettings("\xEF\xBB\xBF" + lineFeeds), fullRecord());
    QCOMPARE(parseSettings(lineFeeds + "5\nextra\n"), fullRecord());
    QCOMPARE(parseSettings(QByteArray()), SettingsRecord());

    // The reading limit falls just after "12" of the last line, "12xxx": the front of a
    // longer line is not taken for its value.
    QList<QByteArray> lines = fileLines(lineFeeds);
    lines.removeLast();
    const QByteArray values = lines.join('\n') + "\n12";
    const QByteArray cut = QByteArray(256 * 1024 - values.size(), '\n') + values + "xxx\n";
    const SettingsRecord parsed = parseSettings(cut);
    QCOMPARE(parsed.randomRecords[8], 0.0);
    QCOMPARE(parsed.randomRecords[7], fullRecord().randomRecords[7]);
}

void CoreSettingsFileTest::damagedLayoutKeepsEveryReadableValue_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"lone CR", "mixed line ends", "blank lines", "long tail"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void CoreSettingsFileTest::damagedLayoutKeepsEveryReadableValue()
{
    QFETCH(QString, kind);
    const SettingsRecord parsed = parseSettings(damagedText(kind));
    QCOMPARE(parsed, fullRecord());
}

void CoreSettingsFileTest::iniValueChangesItsOwnLineOnly_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    const QString input = QStringLiteral("input"), free = QStringLiteral("freeRomaji");
    const QString on = QStringLiteral("true");
    QTest::newRow("a new file") << QByteArray() << input << free << on
                                << QByteArray("[input]\nfreeRomaji=true\n");
    QTest::newRow("the value changed") << QByteArray("[input]\nfreeRomaji=false\n") << input << free
                                       << on << QByteArray("[input]\nfreeRomaji=true\n");
    QTest::newRow("comments, blanks and other groups kept")
        << QByteArray("; mine\n[drills]\nwords=12\n\n[input]\n# note\n freeRomaji = false \n")
        << input << free << on
        << QByteArray("; mine\n[drills]\nwords=12\n\n[input]\n# note\n freeRomaji = true \n");
    QTest::newRow("a key added at the end of its group")
        << QByteArray("[input]\nother=1\n\n[texts]\nlast=/home/学習/文.txt\n") << input << free
        << on
        << QByteArray("[input]\nother=1\nfreeRomaji=true\n\n[texts]\nlast=/home/学習/文.txt\n");
    QTest::newRow("a group added, line ends of the file")
        << QByteArray("[drills]\r\nwords=3\r\n") << input << free << on
        << QByteArray("[drills]\r\nwords=3\r\n\r\n[input]\r\nfreeRomaji=true\r\n");
    QTest::newRow("no line end at the end") << QByteArray("[input]\nother=1") << input << free << on
                                            << QByteArray("[input]\nother=1\nfreeRomaji=true\n");
    QTest::newRow("a group given twice: its last")
        << QByteArray("[input]\na=1\n[x]\nb=2\n[input]\nc=3\n") << input << free << on
        << QByteArray("[input]\na=1\n[x]\nb=2\n[input]\nc=3\nfreeRomaji=true\n");
    QTest::newRow("a byte-order mark kept")
        << QByteArray("\xEF\xBB\xBF[input]\nfreeRomaji=false\n") << input << free << on
        << QByteArray("\xEF\xBB\xBF[input]\nfreeRomaji=true\n");
    QTest::newRow("a Japanese value, an empty one")
        << QByteArray("[drills]\nword=\n") << QStringLiteral("drills") << QStringLiteral("word")
        << QStringLiteral("さくら") << QByteArray("[drills]\nword=さくら\n");
    QTest::newRow("keys before any group are their own")
        << QByteArray("freeRomaji=false\n") << input << free << on
        << QByteArray("freeRomaji=false\n\n[input]\nfreeRomaji=true\n");
}

// Toggling free romaji rewrote the whole file: comments gone, unknown values lost.
void CoreSettingsFileTest::iniValueChangesItsOwnLineOnly()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    std::optional<IniText> ini = IniText::parse(before);
    QVERIFY(ini);
    QVERIFY(ini->setValue(group, key, value));
    QCOMPARE(ini->text(), after);
    QCOMPARE(ini->value(group, key), value);
    // Read back from the text alone, as the next start reads it.
    QCOMPARE(IniText::parse(after)->value(group, key), value);
}

// A value with a line break would make a second line: an injected "[input]" or a key.
void CoreSettingsFileTest::iniValuesALineCannotHoldAreRefused()
{
    const QByteArray text = "[input]\nfreeRomaji=false\n";
    std::optional<IniText> ini = IniText::parse(text);
    QVERIFY(ini);
    const QString g = QStringLiteral("input"), k = QStringLiteral("freeRomaji");
    const std::tuple<QString, QString, QString> refused[] = {
        {g, k, QStringLiteral("true\n[input]")},
        {g, k, QStringLiteral(" true")},
        {g, k, QStringLiteral("a\tb")},
        {g, QStringLiteral("a=b"), QStringLiteral("1")},
        {g, QStringLiteral("#k"), QStringLiteral("1")},
        {g, QString(), QStringLiteral("1")},
        {QStringLiteral("a]b"), k, QStringLiteral("1")},
        {QString(), k, QStringLiteral("1")},
    };
    for (const auto &[group, key, value] : refused) {
        QVERIFY2(!ini->setValue(group, key, value), qPrintable(group + u'/' + key + u'=' + value));
        QCOMPARE(ini->text(), text);
    }
    QCOMPARE(ini->value(g, k), QStringLiteral("false"));
    QCOMPARE(ini->value(g, QStringLiteral("other")), std::nullopt);

    // Nor is a value written that would take the file past its bound: the next start would
    // leave it unread.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.ini"));
    QVERIFY(saveInputOptions(path, {true}));
    QVERIFY(!saveIniValues(path, {{g, QStringLiteral("long"), QString(largestIniFile, u'x')}}));
    QVERIFY(readInputOptions(path).freeRomaji);
}

void CoreSettingsFileTest::iniFileThatIsNotCleanIsLeftAsItIs_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray valid = "[input]\nfreeRomaji=true\n";
    QTest::newRow("Shift-JIS bytes") << valid + "[memo]\nnote=\x83\x65\x83\x4c\x83\x58\x83\x67\n";
    QTest::newRow("a NUL") << valid + QByteArray("[memo]\nnote=a\0b\n", 16);
    QTest::newRow("binary") << valid + QByteArray("\x7f\x01\x02\x03\xff\xfe", 6);
    QTest::newRow("a lone carriage return") << QByteArray("[input]\rfreeRomaji=true\n");
    QTest::newRow("a line that is no key") << valid + "just words\n";
    QTest::newRow("an unclosed group") << QByteArray("[input\nfreeRomaji=true\n");
    QTest::newRow("an empty key") << valid + "=1\n";
    QTest::newRow("an empty group") << valid + "[ ]\n";
    QTest::newRow("past the bound")
        << valid + "[memo]\n" + QByteArray(largestIniFile, 'x').prepend("note=") + "\n";
}

// Such a file was rewritten on a toggle (bytes turned into U+FFFD, comments gone) and the
// save then reported a failure.
void CoreSettingsFileTest::iniFileThatIsNotCleanIsLeftAsItIs()
{
    QFETCH(QByteArray, text);
    QVERIFY(!IniText::parse(text));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    QVERIFY(!readIniFile(path));
    QCOMPARE(readInputOptions(path), InputOptions());
    QVERIFY(!saveInputOptions(path, {true}));
    QVERIFY(!saveIniValues(
        path, {{QStringLiteral("drills"), QStringLiteral("words"), QStringLiteral("1")}}));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), text);
}

QTEST_APPLESS_MAIN(CoreSettingsFileTest)
#include "test_core_settingsfile.moc"
