// "RK.set": the text format on its own, then loading at the first show and saving at
// close on the real window, with damaged files and folders that cannot be written.
#include "core/settingsfile.h"
#include "core/layoutplan.h"
#include "core/romaji.h"
#include "testwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>

#include <cmath>
#include <limits>

namespace
{

const QString fileName = QStringLiteral("RK.set");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A record in which every value differs from its default.
SettingsRecord fullRecord()
{
    SettingsRecord r;
    r.level = 8;
    r.keyColour = true;
    r.keyHint = false;
    r.romaji = {true, false, true, true, false, true, false, true};
    for (int k = 0; k < 9; ++k) {
        r.highScores[k] = 10.0 + k * 1.25;
        r.randomScores[k] = 100.0 + k * 7.5;
    }
    return r;
}

QList<QByteArray> fileLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// What the window shows of each setting, as the file would hold it.
SettingsRecord windowState(TForm1 &form)
{
    SettingsRecord r;
    r.level = form.currentLevel;
    r.keyColour = form.KeyColor->isChecked();
    r.keyHint = form.CheckBox1->isChecked();
    const QRadioButton *second[8] = {
        form.RadioButton_shi, form.RadioButton_tsi, form.RadioButton_tsu, form.RadioButton_fu,
        form.RadioButton_ji,  form.RadioButton_sya, form.RadioButton_jya, form.RadioButton_tya};
    for (int g = 0; g < 8; ++g)
        r.romaji[g] = second[g]->isChecked();
    for (int k = 0; k < 9; ++k) {
        r.highScores[k] = form.highScores[k + 1];
        r.randomScores[k] = form.randomScores[k + 1];
    }
    return r;
}

QList<QRadioButton *> firstButtons(TForm1 &form)
{
    return {form.RadioButton1, form.RadioButton15, form.RadioButton3, form.RadioButton5,
            form.RadioButton7, form.RadioButton9,  form.RadioButton2, form.RadioButton13};
}

// A finger colour is on the keyboard when the F key is no longer button-face coloured.
bool fingerColoursShown(TForm1 &form)
{
    const QColor face = QApplication::palette().color(QPalette::Button);
    return form.keyPanel(QStringLiteral("F"))->palette().color(QPalette::Window) != face;
}

// Immutable files and folders hold even against root, where permission bits do not.
struct Immutable {
    QStringList paths;
    bool set(const QString &path)
    {
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) != 0)
            return false;
        paths << path;
        return true;
    }
    ~Immutable()
    {
        for (const QString &path : paths)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    }
};

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // The text format.
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
    void lineEndsAndExtrasDoNotMatter();
    void damagedLayoutKeepsEveryReadableValue_data();
    void damagedLayoutKeepsEveryReadableValue();

    // Loading and saving on the window.
    void firstStartWelcomesAndCloseWritesDefaults();
    void everyValueSurvivesARestart_data();
    void everyValueSurvivesARestart();
    void storedLevelOutsideTheMenuFallsBackToLevel1_data();
    void storedLevelOutsideTheMenuFallsBackToLevel1();
    void damagedFileStillStartsWithoutAnyMessage();
    void damagedFileOnDiskSurvivesALoadAndASave_data();
    void damagedFileOnDiskSurvivesALoadAndASave();
    void fileThatNeverEndsStartsWithDefaults();
    void randomOrderIsNeverRestored();
    void saveReplacesTheWholeFile();
    void fileThatIsAFolderIsLeftAlone();
    void lockedFolderIsWrittenInPlace();
    void lockedFileStaysAsItWas();
};

void SettingsTest::generalFormat_data()
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

void SettingsTest::generalFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatGeneral(value, QLocale::c()), text);
}

void SettingsTest::generalFormatUsesOnlyTheDecimalSeparator_data()
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

void SettingsTest::generalFormatUsesOnlyTheDecimalSeparator()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatGeneral(value, locale), text);
}

void SettingsTest::integers_data()
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

void SettingsTest::integers()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<int> parsed = parseInteger(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void SettingsTest::reals_data()
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

void SettingsTest::reals()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = parseReal(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void SettingsTest::recordSurvivesTheTextAtFifteenDigits_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("point") << QLocale::c();
    QTest::newRow("comma") << QLocale(QLocale::German, QLocale::Germany);
}

void SettingsTest::recordSurvivesTheTextAtFifteenDigits()
{
    QFETCH(QLocale, locale);
    SettingsRecord record = fullRecord();
    record.level = -12;
    const double awkward[] = {12.300000190734863,  1.0 / 3, 0.1 + 0.2, 1e-5,   9.87654321e-7,
                              123456.789012345678, 1e15,    3.5e200,   2.0 / 3};
    for (int k = 0; k < 9; ++k) {
        record.highScores[k] = awkward[k];
        record.randomScores[k] = awkward[8 - k] * 3;
    }
    const QByteArray text = formatSettings(record, locale);
    QCOMPARE(fileLines(text).size(), 29);
    const ParsedSettings parsed = parseSettings(text);
    for (LineStatus status : parsed.lines)
        QCOMPARE(status, LineStatus::Valid);
    SettingsRecord expected = record;
    for (int k = 0; k < 9; ++k) {
        expected.highScores[k] = QString::number(record.highScores[k], 'g', 15).toDouble();
        expected.randomScores[k] = QString::number(record.randomScores[k], 'g', 15).toDouble();
    }
    QCOMPARE(parsed.values, expected);
}

void SettingsTest::flagLines_data()
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
void SettingsTest::flagLines()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, ticked);
    QFETCH(bool, valid);
    const LineStatus status = valid ? LineStatus::Valid : LineStatus::Invalid;

    const ParsedSettings colour = parseSettings("3\n" + line + "\n");
    QCOMPARE(colour.values.keyColour, ticked);
    QCOMPARE(colour.lines[1], status);

    const ParsedSettings hint = parseSettings("3\n0\n" + line + "\n");
    QCOMPARE(hint.values.keyHint, valid ? ticked : true);
    QCOMPARE(hint.lines[2], status);

    const ParsedSettings romaji = parseSettings("3\n0\n1\n0\n0\n0\n0\n0\n0\n0\n" + line + "\n");
    QCOMPARE(romaji.values.romaji[7], ticked);
    QCOMPARE(romaji.lines[10], status);
    QCOMPARE(romaji.values.level, 3);
}

void SettingsTest::shortFileKeepsTheDefaultsOfMissingLines_data()
{
    QTest::addColumn<int>("kept");
    for (int n = 0; n <= 28; ++n)
        QTest::addRow("%d lines", n) << n;
}

void SettingsTest::shortFileKeepsTheDefaultsOfMissingLines()
{
    QFETCH(int, kept);
    const QList<QByteArray> lines = fileLines(formatSettings(fullRecord(), QLocale::c()));
    QByteArray text;
    for (int i = 0; i < kept; ++i)
        text += lines[i] + '\n';
    const ParsedSettings parsed = parseSettings(text);

    // Each line either came from the file or keeps the default, never the last line read.
    const SettingsRecord full = fullRecord();
    const SettingsRecord defaults;
    const auto pick = [kept](int line, auto fromFile, auto fallback) {
        return line <= kept ? fromFile : fallback;
    };
    QCOMPARE(parsed.values.level, pick(1, full.level, defaults.level));
    QCOMPARE(parsed.values.keyColour, pick(2, full.keyColour, defaults.keyColour));
    QCOMPARE(parsed.values.keyHint, pick(3, full.keyHint, defaults.keyHint));
    for (int g = 0; g < 8; ++g)
        QCOMPARE(parsed.values.romaji[g], pick(4 + g, full.romaji[g], false));
    for (int k = 0; k < 9; ++k) {
        QCOMPARE(parsed.values.highScores[k], pick(12 + k, full.highScores[k], 0.0));
        QCOMPARE(parsed.values.randomScores[k], pick(21 + k, full.randomScores[k], 0.0));
    }
    for (int i = 0; i < 29; ++i)
        QCOMPARE(parsed.lines[i], i < kept ? LineStatus::Valid : LineStatus::Missing);

    // The last line without its line feed still counts.
    if (kept > 0) {
        text.chop(1);
        QCOMPARE(parseSettings(text).values, parsed.values);
    }
}

void SettingsTest::badLineTakesItsDefaultAndReadingGoesOn_data()
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

void SettingsTest::badLineTakesItsDefaultAndReadingGoesOn()
{
    QFETCH(int, line);
    QFETCH(QByteArray, content);
    QList<QByteArray> lines = fileLines(formatSettings(fullRecord(), QLocale::c()));
    lines[line - 1] = content;
    const ParsedSettings parsed = parseSettings(lines.join('\n') + '\n');

    // Exactly that line is unusable, and it is one line however long it is.
    for (int i = 0; i < 29; ++i)
        QCOMPARE(parsed.lines[i], i == line - 1 ? LineStatus::Invalid : LineStatus::Valid);
    SettingsRecord expected = fullRecord();
    const SettingsRecord defaults;
    if (line == 1)
        expected.level = defaults.level;
    else if (line == 3)
        expected.keyHint = defaults.keyHint;
    else if (line >= 4 && line <= 11)
        expected.romaji[line - 4] = false;
    else if (line >= 12 && line <= 20)
        expected.highScores[line - 12] = 0;
    else if (line >= 21)
        expected.randomScores[line - 21] = 0;
    QCOMPARE(parsed.values, expected);
}

void SettingsTest::scoresThatAreNoRecord_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("valid");
    QTest::newRow("negative") << QByteArray("-12.5") << 0.0 << false;
    QTest::newRow("nan") << QByteArray("NAN") << 0.0 << false;
    QTest::newRow("nan, lower case") << QByteArray("nan") << 0.0 << false;
    QTest::newRow("infinite") << QByteArray("INF") << 0.0 << false;
    QTest::newRow("overflow") << QByteArray("1E400") << 0.0 << false;
    QTest::newRow("beyond writable") << QByteArray("1E305") << 0.0 << false;
    QTest::newRow("too small") << QByteArray("1E-305") << 0.0 << false;
    QTest::newRow("negative zero") << QByteArray("-0") << 0.0 << true;
    QTest::newRow("ordinary") << QByteArray(" 17,25 ") << 17.25 << true;
}

void SettingsTest::scoresThatAreNoRecord()
{
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    QFETCH(bool, valid);
    QList<QByteArray> lines = fileLines(formatSettings(SettingsRecord(), QLocale::c()));
    lines[11] = text; // level 1's high score
    lines[28] = text; // level 9's random score
    const ParsedSettings parsed = parseSettings(lines.join('\n'));
    QCOMPARE(parsed.values.highScores[0], value);
    QCOMPARE(parsed.values.randomScores[8], value);
    QVERIFY(!std::signbit(parsed.values.highScores[0]));
    QCOMPARE(parsed.lines[11] == LineStatus::Valid, valid);
    QCOMPARE(parsed.lines[28] == LineStatus::Valid, valid);
}

void SettingsTest::lineEndsAndExtrasDoNotMatter()
{
    const QByteArray lineFeeds = formatSettings(fullRecord(), QLocale::c());
    QByteArray dos = lineFeeds;
    dos.replace("\n", "\r\n");
    const ParsedSettings fromDos = parseSettings(dos);
    QCOMPARE(fromDos.values, fullRecord());
    for (LineStatus status : fromDos.lines)
        QCOMPARE(status, LineStatus::Valid);
    QCOMPARE(parseSettings("\xEF\xBB\xBF" + lineFeeds).values, fullRecord());
    QCOMPARE(parseSettings(lineFeeds + "5\nextra\n").values, fullRecord());
    QCOMPARE(parseSettings(QByteArray()).values, SettingsRecord());
}

// Text of the full record with other line ends, blank lines, or cut at the reading limit.
QByteArray damagedText(const QString &kind)
{
    QByteArray text = formatSettings(fullRecord(), QLocale::c());
    if (kind == QLatin1String("lone CR"))
        text.replace('\n', '\r');
    else if (kind == QLatin1String("mixed line ends")) {
        QList<QByteArray> lines = fileLines(text);
        text.clear();
        for (int i = 0; i < lines.size(); ++i)
            text += lines[i] + (i % 3 == 0 ? "\r" : i % 3 == 1 ? "\r\n" : "\n");
    } else if (kind == QLatin1String("blank lines")) {
        QList<QByteArray> lines = fileLines(text);
        lines.insert(20, " \t ");
        lines.insert(11, QByteArray());
        lines.insert(4, "\r");
        lines.insert(0, QByteArray());
        text = lines.join('\n') + "\n\n\n";
    } else if (kind == QLatin1String("long tail")) {
        text += QByteArray(400 * 1024, 'x');
    }
    return text;
}

void SettingsTest::damagedLayoutKeepsEveryReadableValue_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"lone CR", "mixed line ends", "blank lines", "long tail"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void SettingsTest::damagedLayoutKeepsEveryReadableValue()
{
    QFETCH(QString, kind);
    const ParsedSettings parsed = parseSettings(damagedText(kind));
    QCOMPARE(parsed.values, fullRecord());
    for (LineStatus status : parsed.lines)
        QCOMPARE(status, LineStatus::Valid);
}

// ---- The window ---------------------------------------------------------------------------

void SettingsTest::firstStartWelcomesAndCloseWritesDefaults()
{
    TestWindow w;
    QCOMPARE(w.platform.messages.size(), std::size_t(1));
    const FakePlatform::MessageRecord &welcome = w.platform.messages.front();
    QCOMPARE(welcome.icon, QMessageBox::Information);
    QCOMPARE(welcome.caption, QStringLiteral("ようこそ"));
    QCOMPARE(welcome.text, QStringLiteral("設定ファイルを初期化します。"));
    QCOMPARE(welcome.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QCOMPARE(w->currentLevel, 1);
    QVERIFY(w->Level1->isChecked());
    QVERIFY(!w->KeyColor->isChecked());
    QVERIFY(!fingerColoursShown(*w.form));
    QVERIFY(w->CheckBox1->isChecked());
    for (QRadioButton *first : firstButtons(*w.form))
        QVERIFY2(first->isChecked(), qPrintable(first->objectName()));
    QCOMPARE(windowState(*w.form), SettingsRecord());
    QCOMPARE(w->TextPanel->width(), narrowStepWidth(narrowSteps));
    QVERIFY(w.platform.seeded);
    QCOMPARE(w.platform.seed, w.platform.timeOfDay);
    QVERIFY(!QFile::exists(fileName)); // only the close creates it

    w->close();
    QByteArray expected = "1\n0\n1\n";
    for (int i = 0; i < 26; ++i)
        expected += "0\n";
    QCOMPARE(readFile(fileName), expected);
    QCOMPARE(w.platform.messages.size(), std::size_t(1));
}

void SettingsTest::everyValueSurvivesARestart_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("colour");
    QTest::addColumn<bool>("hint");
    QTest::addColumn<int>("romajiMask");
    QTest::newRow("phrase level, colouring, all alternatives") << 8 << true << false << 0xFF;
    QTest::newRow("key level, plain, some alternatives") << 3 << false << true << 0xA5;
    QTest::newRow("syllable level, colouring, first buttons") << 6 << true << true << 0x00;
    QTest::newRow("only the last group") << 9 << false << false << 0x80;
}

void SettingsTest::everyValueSurvivesARestart()
{
    QFETCH(int, level);
    QFETCH(bool, colour);
    QFETCH(bool, hint);
    QFETCH(int, romajiMask);
    const double scores[] = {
        12.300000190734863, 0, 33.333333333333336, 1e-5, 71.25, 0.1 + 0.2, 9e14, 180.05, 7};

    TestWindow w;
    QAction *levels[] = {w->Level1, w->Level2, w->Level3, w->Level4, w->Level5,
                         w->Level6, w->Level7, w->Level8, w->Level9};
    levels[level - 1]->trigger();
    if (colour)
        w->KeyColor->trigger();
    w->CheckBox1->setChecked(hint);
    QRadioButton *second[8] = {w->RadioButton_shi, w->RadioButton_tsi, w->RadioButton_tsu,
                               w->RadioButton_fu,  w->RadioButton_ji,  w->RadioButton_sya,
                               w->RadioButton_jya, w->RadioButton_tya};
    for (int g = 0; g < 8; ++g)
        if (romajiMask & (1 << g))
            second[g]->setChecked(true);
    for (int k = 0; k < 9; ++k) {
        w->highScores[k + 1] = scores[k];
        w->randomScores[k + 1] = scores[8 - k] + 1;
    }
    w->CheckBox2->setChecked(true);
    const SettingsRecord before = windowState(*w.form);
    QCOMPARE(before.level, level);
    QCOMPARE(before.keyColour, colour);
    w->close();
    QCOMPARE(fileLines(readFile(fileName)).size(), 29);

    w.platform.messages.clear();
    w.form = std::make_unique<TForm1>(w.platform);
    w.form->show();
    QVERIFY(w.platform.messages.empty()); // no welcome: the file is there

    SettingsRecord expected = before;
    for (int k = 0; k < 9; ++k) {
        expected.highScores[k] = QString::number(before.highScores[k], 'g', 15).toDouble();
        expected.randomScores[k] = QString::number(before.randomScores[k], 'g', 15).toDouble();
    }
    QCOMPARE(windowState(*w.form), expected);
    QCOMPARE(w->highScores[1], 12.3000001907349);
    QVERIFY(w->levelItem(level)->isChecked());
    QCOMPARE(fingerColoursShown(*w.form), colour);
    QVERIFY(!w->CheckBox2->isChecked());
    const QList<QRadioButton *> newFirst = firstButtons(*w.form);
    for (int g = 0; g < 8; ++g)
        QCOMPARE(newFirst[g]->isChecked(), !(romajiMask & (1 << g)));
    // The loaded choices reached the romaji table, the ちゃ group included.
    QCOMPARE(w->romaji.romaji(12), (romajiMask & 0x01) ? QStringLiteral("SHI") : QStringLiteral("SI"));
    QCOMPARE(w->romaji.romaji(81), (romajiMask & 0x80) ? QStringLiteral("TYA") : QStringLiteral("CHA"));

    // Saving the loaded state gives the same file again.
    const QByteArray saved = readFile(fileName);
    w->close();
    QCOMPARE(readFile(fileName), saved);
}

void SettingsTest::storedLevelOutsideTheMenuFallsBackToLevel1_data()
{
    QTest::addColumn<QByteArray>("levelLine");
    QTest::newRow("0") << QByteArray("0");
    QTest::newRow("negative") << QByteArray("-1");
    QTest::newRow("10") << QByteArray("10");
    QTest::newRow("12") << QByteArray("12");
    QTest::newRow("huge") << QByteArray("2147483647");
}

// The level shown is level 1, in level 1's layout, and the next level chosen gets its own.
void SettingsTest::storedLevelOutsideTheMenuFallsBackToLevel1()
{
    QFETCH(QByteArray, levelLine);
    TestWindow w(false);
    QList<QByteArray> lines = fileLines(formatSettings(SettingsRecord(), QLocale::c()));
    lines[0] = levelLine;
    writeFile(fileName, lines.join('\n') + '\n');
    w->show();

    QCOMPARE(w->currentLevel, 1);
    QVERIFY(w->Level1->isChecked());
    for (int level = 2; level <= 9; ++level)
        QVERIFY(!w->levelItem(level)->isChecked());
    QVERIFY(w.platform.messages.empty());
    QCOMPARE(w->TextPanel->geometry(), QRect(250, 24, 300, 73));
    QVERIFY(!w->yomiPanel->isVisible());
    QCOMPARE(w->outerHeight(), shortWindowHeight);

    w->Level5->trigger();
    QCOMPARE(w->TextPanel->geometry(), QRect(250, 24, 300, 73));
    QCOMPARE(w->yomiPanel->geometry(), QRect(250, 104, 300, 57));
    QVERIFY(w->yomiPanel->isVisible());
}

void SettingsTest::damagedFileStillStartsWithoutAnyMessage()
{
    TestWindow w(false);
    QByteArray text = "7\r\n1\r\nnot a flag\r\n";
    text += QByteArray(1000, '#') + "\r\n1\r\n";
    writeFile(fileName, text);
    w->show();
    QVERIFY(w.platform.messages.empty());
    QCOMPARE(w->currentLevel, 7);
    QVERIFY(w->Level7->isChecked());
    QVERIFY(w->KeyColor->isChecked());
    QVERIFY(fingerColoursShown(*w.form));
    QVERIFY(w->CheckBox1->isChecked()); // the unusable line keeps the hint on
    QVERIFY(!w->RadioButton_shi->isChecked());
    QVERIFY(w->RadioButton_tsi->isChecked());
    QVERIFY(w->RadioButton1->isChecked());
    QVERIFY(w.platform.seeded);
    for (int level = 1; level <= 9; ++level)
        QCOMPARE(w->highScores[level], 0.0);
}

void SettingsTest::damagedFileOnDiskSurvivesALoadAndASave_data()
{
    damagedLayoutKeepsEveryReadableValue_data();
}

void SettingsTest::damagedFileOnDiskSurvivesALoadAndASave()
{
    QFETCH(QString, kind);
    TestWindow w(false);
    writeFile(fileName, damagedText(kind));
    w->show();
    QVERIFY(w.platform.messages.empty());
    QCOMPARE(windowState(*w.form), fullRecord());
    w->close();
    QCOMPARE(readFile(fileName), formatSettings(fullRecord()));
}

void SettingsTest::fileThatNeverEndsStartsWithDefaults()
{
    TestWindow w(false);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), fileName));
    w->show(); // returns: the reader stops at its limit
    QVERIFY(w.platform.messages.empty());
    QCOMPARE(windowState(*w.form), SettingsRecord());
    w->close();
    QCOMPARE(readFile(fileName), formatSettings(SettingsRecord()));
}

void SettingsTest::randomOrderIsNeverRestored()
{
    TestWindow w;
    w->CheckBox2->setChecked(true);
    w->close();
    const QByteArray saved = readFile(fileName);
    QVERIFY(!saved.contains("ランダム"));
    w.form = std::make_unique<TForm1>(w.platform);
    w.form->show();
    QVERIFY(!w->CheckBox2->isChecked());
}

void SettingsTest::saveReplacesTheWholeFile()
{
    TestWindow w(false);
    // A longer file than the one about to be saved: nothing of it may remain.
    writeFile(fileName, QByteArray(5000, '9') + "\n");
    w->show();
    w->close();
    QByteArray expected = "1\n0\n1\n";
    for (int i = 0; i < 26; ++i)
        expected += "0\n";
    QCOMPARE(readFile(fileName), expected);
    QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{fileName});
}

void SettingsTest::fileThatIsAFolderIsLeftAlone()
{
    TestWindow w(false);
    QVERIFY(QDir().mkdir(fileName));
    writeFile(fileName + "/keep", "kept");
    w->show(); // cannot be read: welcomed as a first start
    QCOMPARE(w.platform.messages.size(), std::size_t(1));
    w->KeyColor->trigger();
    w->close();
    QCOMPARE(w.platform.messages.size(), std::size_t(1)); // the failed save says nothing
    QVERIFY(QFileInfo(fileName).isDir());
    QCOMPARE(readFile(fileName + "/keep"), QByteArray("kept"));
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{fileName});
}

void SettingsTest::lockedFolderIsWrittenInPlace()
{
    TestWindow w(false);
    writeFile(fileName, formatSettings(SettingsRecord(), QLocale::c()));
    Immutable lock;
    if (!lock.set(w.dir.path()))
        QSKIP("chattr cannot make a folder immutable on this file system");
    // No temporary file can be made beside RK.set, but the file itself is writable.
    w->show();
    w->Level4->trigger();
    w->close();
    QCOMPARE(fileLines(readFile(fileName)).value(0), QByteArray("4"));
    QCOMPARE(fileLines(readFile(fileName)).size(), 29);
    QVERIFY(w.platform.messages.empty());
}

void SettingsTest::lockedFileStaysAsItWas()
{
    TestWindow w(false);
    const QByteArray old = formatSettings(fullRecord(), QLocale::c());
    writeFile(fileName, old);
    Immutable lock;
    if (!lock.set(QDir().absoluteFilePath(fileName)) || !lock.set(w.dir.path()))
        QSKIP("chattr cannot make files immutable on this file system");
    w->show();
    w->Level2->trigger();
    w->close();
    QCOMPARE(readFile(fileName), old);
    QVERIFY(w.platform.messages.empty());
    QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{fileName});
}

QTEST_MAIN(SettingsTest)
#include "test_settings.moc"
