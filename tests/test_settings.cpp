// SPDX-License-Identifier: GPL-3.0-or-later
// "RK.set" on the real window: loaded at the first show and saved at close with every
// value, the welcome of a first start, and a record saved before the typing-time dialog.
// What becomes of damaged, odd and unwritable files is the record keeper's, tested without
// a window.
#include "core/drillarealayout.h"
#include "core/settingsfile.h"
#include "settingstexts.h"
#include "testwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <QRadioButton>

using namespace rinkaro;

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

QByteArray defaultFileText()
{
    QByteArray text = "1\n0\n1\n";
    for (int i = 0; i < 26; ++i)
        text += "0\n";
    return text;
}

// The usual and the alternative button of each romaji group, in the file's order.
const char *const usualButtons[8] = {"RadioButton1", "RadioButton15", "RadioButton3",
                                     "RadioButton5", "RadioButton7",  "RadioButton9",
                                     "RadioButton2", "RadioButton13"};
const char *const alternativeButtons[8] = {"RadioButton_shi", "RadioButton_tsi", "RadioButton_tsu",
                                           "RadioButton_fu",  "RadioButton_ji",  "RadioButton_sya",
                                           "RadioButton_jya", "RadioButton_tya"};

QRadioButton *radioButton(const TestWindow &w, const char *name)
{
    return w.find<QWidget>(QStringLiteral("settingPanel"))
        ->findChild<QRadioButton *>(QLatin1String(name));
}

// The values of a settings record as the window shows them, the records as the record
// table shows them.
QString describe(const SettingsRecord &r, const QStringList &records)
{
    QString romaji;
    for (const bool alternative : r.romaji)
        romaji += QLatin1Char(alternative ? '1' : '0');
    return QStringLiteral("level %1, colour %2, hint %3, romaji %4, records %5")
        .arg(r.level)
        .arg(r.keyColour)
        .arg(r.keyHint)
        .arg(romaji, records.join(u' '));
}
QString shown(const SettingsRecord &r)
{
    return describe(r, TestWindow::recordsShown(r));
}

// What the window shows of each setting, as shown() describes a record: the level is the
// one the menu ticks alone, while the text panel names it too (-1 otherwise).
QString windowState(const TestWindow &w)
{
    SettingsRecord r;
    const int ticked = w.tickedLevel();
    r.level = w.textPanel()->text() == QStringLiteral("Level%1").arg(ticked) ? ticked : -1;
    r.keyColour = w.action(QStringLiteral("KeyColor"))->isChecked();
    r.keyHint = w.hintBox()->isChecked();
    for (int g = 0; g < 8; ++g)
        r.romaji[g] = radioButton(w, alternativeButtons[g])->isChecked();
    return describe(r, w.recordsShown());
}

// A finger colour is on the keyboard when the F key is no longer button-face coloured.
bool fingerColoursShown(const TestWindow &w)
{
    const QColor face = QApplication::palette().color(QPalette::Button);
    return w.key(QStringLiteral("F"))->palette().color(QPalette::Window) != face;
}

} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void firstStartWelcomesAndCloseWritesDefaults();
    void everyValueSurvivesARestart_data();
    void everyValueSurvivesARestart();
    void storedLevelOutsideTheMenuFallsBackToLevel1_data();
    void storedLevelOutsideTheMenuFallsBackToLevel1();
    void randomOrderIsNeverRestored();
    void aRecordIsSavedAsSoonAsItIsSet();
};

void SettingsTest::firstStartWelcomesAndCloseWritesDefaults()
{
    TestWindow w(false);
    w->show();
    w.settle();
    QCOMPARE(w.platform.messages.size(), std::size_t(1));
    const FakePlatform::MessageRecord &welcome = w.platform.messages.front();
    QCOMPARE(welcome.icon, QMessageBox::Information);
    QCOMPARE(welcome.caption, QStringLiteral("ようこそ"));
    QCOMPARE(welcome.text, QStringLiteral("設定ファイルを初期化します。"));
    QCOMPARE(welcome.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QVERIFY(w.levelItem(1)->isChecked());
    QVERIFY(!fingerColoursShown(w));
    for (const char *usual : usualButtons)
        QVERIFY2(radioButton(w, usual)->isChecked(), usual);
    QCOMPARE(windowState(w), shown(SettingsRecord()));
    QCOMPARE(w.romajiShown(12), QStringLiteral("SI"));
    QCOMPARE(w.textPanel()->geometry(), QRect(250, 24, 300, 73));
    QVERIFY(w.platform.seeded);
    QCOMPARE(w.platform.seed, w.platform.timeOfDay);
    QVERIFY(!QFile::exists(fileName)); // only the close creates it

    w->close();
    QCOMPARE(readFile(fileName), defaultFileText());
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

// Records come from the file of an earlier session; everything else is set through the
// controls, the romaji by the panel and its OK.
void SettingsTest::everyValueSurvivesARestart()
{
    QFETCH(int, level);
    QFETCH(bool, colour);
    QFETCH(bool, hint);
    QFETCH(int, romajiMask);
    const double scores[] = {
        12.300000190734863, 0, 33.333333333333336, 1e-5, 71.25, 0.1 + 0.2, 9e14, 180.05, 7};

    SettingsRecord earlier;
    for (int k = 0; k < 9; ++k) {
        earlier.orderedRecords[k] = scores[k];
        earlier.randomRecords[k] = scores[8 - k] + 1;
    }
    TestWindow w(earlier);

    w.chooseLevel(level);
    if (colour)
        w.action(QStringLiteral("KeyColor"))->trigger();
    if (w.hintBox()->isChecked() != hint)
        QTest::mouseClick(w.hintBox(), Qt::LeftButton);
    w.action(QStringLiteral("setSpelling"))->trigger();
    for (int g = 0; g < 8; ++g)
        if (romajiMask & (1 << g))
            QTest::mouseClick(radioButton(w, alternativeButtons[g]), Qt::LeftButton, {},
                              QPoint(8, 12));
    QTest::mouseClick(w.find<QPushButton>(QStringLiteral("Button2")), Qt::LeftButton);
    QTest::mouseClick(w.randomBox(), Qt::LeftButton);
    QVERIFY(w.randomBox()->isChecked());

    SettingsRecord chosen = earlier;
    chosen.level = level;
    chosen.keyColour = colour;
    chosen.keyHint = hint;
    for (int g = 0; g < 8; ++g)
        chosen.romaji[g] = romajiMask & (1 << g);
    QCOMPARE(windowState(w), shown(chosen));
    w->close();
    QCOMPARE(fileLines(readFile(fileName)).size(), 29);

    w.platform.messages.clear();
    w.restart(false);
    w->show();
    w.settle();
    QVERIFY(w.platform.messages.empty()); // no welcome: the file is there

    QCOMPARE(windowState(w), shown(chosen));
    QVERIFY(w.levelItem(level)->isChecked());
    QCOMPARE(fingerColoursShown(w), colour);
    QVERIFY(!w.randomBox()->isChecked());
    for (int g = 0; g < 8; ++g)
        QCOMPARE(radioButton(w, usualButtons[g])->isChecked(), !(romajiMask & (1 << g)));
    // The loaded choices reached the drill's romaji table, the ちゃ group included.
    QCOMPARE(w.romajiShown(12), (romajiMask & 0x01) ? QStringLiteral("SHI") : QStringLiteral("SI"));
    QCOMPARE(w.romajiShown(81),
             (romajiMask & 0x80) ? QStringLiteral("TYA") : QStringLiteral("CHA"));

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
    w.settle();

    QCOMPARE(w.tickedLevel(), 1);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level1"));
    QVERIFY(w.platform.messages.empty());
    QCOMPARE(w.textPanel()->geometry(), QRect(250, 24, 300, 73));
    QVERIFY(!w.readingPanel()->isVisible());
    QCOMPARE(w.outerHeight(), DrillAreaLayout::shortHeight);

    w.chooseLevel(5);
    QCOMPARE(w.textPanel()->geometry(), QRect(250, 24, 300, 73));
    QCOMPARE(w.readingPanel()->geometry(), QRect(250, 104, 300, 57));
    QVERIFY(w.readingPanel()->isVisible());
    QCOMPARE(w.outerHeight(), DrillAreaLayout::tallHeight);
}

void SettingsTest::randomOrderIsNeverRestored()
{
    TestWindow w;
    QTest::mouseClick(w.randomBox(), Qt::LeftButton);
    QVERIFY(w.randomBox()->isChecked());
    w->close();
    QCOMPARE(readFile(fileName), defaultFileText());
    w.restart();
    QVERIFY(!w.randomBox()->isChecked());
}

namespace
{

// Types a whole ordered level-1 run, `seconds` long, without a wrong key.
void typeLevelOneRun(TestWindow &w, quint32 tenths)
{
    w.chooseLevel(1);
    w.clickStart();
    const quint32 start = w.platform.ticks;
    for (int item = 1; w.running() && item <= 34; ++item) {
        if (item == 34) // the last
            w.platform.ticks = start + tenths * 100;
        w.type(w.textPanel()->text().toLower());
    }
}

} // namespace

// A crash or a power cut after a record must not lose it: it is on disk before the
// typing-time dialog shows, not only after the close.
void SettingsTest::aRecordIsSavedAsSoonAsItIsSet()
{
    SettingsRecord earlier;
    earlier.level = 3;
    earlier.orderedRecords[0] = 40;
    TestWindow w(earlier);
    bool savedBeforeTheDialog = false;
    w.platform.onModal = [&](QDialog *) {
        savedBeforeTheDialog = parseSettings(readFile(fileName)).orderedRecords[0] < 40;
    };
    typeLevelOneRun(w, 321);
    QVERIFY(savedBeforeTheDialog);
    SettingsRecord expected = earlier;
    expected.level = 1;
    expected.orderedRecords[0] = 32.0999984741211; // 32.1 s in single precision, 15 digits
    QCOMPARE(parseSettings(readFile(fileName)), expected);

    // A run that sets no record leaves the file alone until the close.
    QVERIFY(QFile::remove(fileName));
    typeLevelOneRun(w, 500);
    QVERIFY(!QFile::exists(fileName));
}

QTEST_MAIN(SettingsTest)
#include "test_settings.moc"
