#include "app/form1.h"
#include "fakeplatform.h"
#include "core/keytable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace
{

const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor black(0, 0, 0);

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

QColor fingerColour(Finger finger)
{
    switch (finger) {
    case Finger::Little:
        return QColor(0, 128, 64);
    case Finger::Ring:
        return QColor(255, 255, 30);
    case Finger::Middle:
        return QColor(128, 128, 255);
    case Finger::Index:
        return QColor(255, 128, 192);
    }
    return {};
}

char fingerLetter(Finger finger)
{
    switch (finger) {
    case Finger::Little:
        return 'l';
    case Finger::Ring:
        return 'r';
    case Finger::Middle:
        return 'm';
    case Finger::Index:
        return 'i';
    }
    return '?';
}

// A tutorial line as the user first meets it.
struct Line {
    const char *caption;
    int fontPixels;
    QColor fontColour;
    const char *groups;  // finger groups painted: l, r, m, i
    const char *redKeys; // key captions painted red over them
};

// clang-format off
const Line lines[23] = {
    {"タイピングの方法を説明します",         43, blue,  "",     ""},
    {"タイピングのコツは２つあります",       43, blue,  "",     ""},
    {"①ホームポジションを維持すること",     43, blue,  "",     ""},
    {"②正しい指使いをすることです",         43, blue,  "",     ""},
    {"まずホームポジションを説明します",     43, blue,  "",     ""},
    {"人さし指をＦとＪにのせます",           43, blue,  "",     "FJ"},
    {"となりの指はとなりのキーにのせます",   43, blue,  "",     "FJDSAKL;"},
    {"これがホームポジションです",           43, blue,  "",     "FJDSAKL;"},
    {"次に指使いを説明します",               43, blue,  "",     ""},
    {"各指は３つのキーを担当します",         43, blue,  "",     ""},
    {"小指は緑色のキーを担当します",         43, blue,  "l",    ""},
    {"薬指は黄色のキーを担当します",         43, blue,  "lr",   ""},
    {"中指は水色のキーを担当します",         43, blue,  "lrm",  ""},
    {"人さし指は桃色のキーを担当します",     43, blue,  "lrmi", ""},
    {"人さし指だけ６つのキーを担当します",   43, blue,  "lrmi", ""},
    {"たとえば、Ｒをタイプするときは",       43, blue,  "lrmi", "R"},
    {"左手人さし指でＲをタイプします",       43, blue,  "lrmi", "R"},
    {"その後すぐに人さし指をＦに戻します",   43, blue,  "lrmi", "RF"},
    {"このようにすることで",                 43, blue,  "lrmi", "RF"},
    {"ホームポジションを維持できるのです",   43, blue,  "lrmi", "RF"},
    {"ＦとＪには小さな突起があるので",       43, blue,  "",     "FJ"},
    {"触るだけで指の位置が確認できます",     43, blue,  "",     "FJ"},
    {"End Tutorial",                         64, black, "",     ""},
};
// clang-format on

// One window in a folder of its own, shown, at the given level.
struct Session {
    QTemporaryDir dir;
    bool entered = QDir::setCurrent(dir.path());
    FakePlatform platform;
    TForm1 w{platform};

    explicit Session(int level = 1, bool keyColour = false)
    {
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qWarning("window not exposed");
        w.levelItem(level)->trigger();
        if (keyColour != w.KeyColor->isChecked())
            w.KeyColor->trigger();
    }

    void forward(int presses)
    {
        for (int n = 0; n < presses; ++n)
            w.SpeedButton2->click();
    }
    // Starts the tutorial and shows the given line (-1: only "Tutorial").
    void showLine(int line)
    {
        w.Tutorial->trigger();
        forward(line + 1);
    }
};

QString colourName(const QColor &colour)
{
    return QStringLiteral("(%1,%2,%3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

// The background of every key, as "F(255,0,0) J(...)..." in key-table order.
QString keyBackgrounds(const TForm1 &w)
{
    QStringList keys;
    for (const KeyInfo &key : keyTable)
        keys << QLatin1String(key.caption) +
                    colourName(w.Panel[key.panel]->palette().color(QPalette::Window));
    return keys.join(' ');
}

QString expectedBackgrounds(const Line &line)
{
    QStringList keys;
    for (const KeyInfo &key : keyTable) {
        QColor colour = buttonFace();
        if (strchr(line.groups, fingerLetter(key.finger)))
            colour = fingerColour(key.finger);
        if (strstr(line.redKeys, key.caption))
            colour = red;
        keys << QLatin1String(key.caption) + colourName(colour);
    }
    return keys.join(' ');
}

// Everything of the window that the tutorial touches, for comparing two windows.
QString describe(const TForm1 &w)
{
    QStringList parts;
    parts << "text=" + w.TextPanel->text()
          << QStringLiteral("font=%1").arg(w.TextPanel->font().pixelSize())
          << "colour=" + colourName(w.TextPanel->palette().color(QPalette::WindowText))
          << QStringLiteral("textGeometry=%1,%2,%3,%4")
                 .arg(w.TextPanel->x())
                 .arg(w.TextPanel->y())
                 .arg(w.TextPanel->width())
                 .arg(w.TextPanel->height())
          << QStringLiteral("yomi=%1 %2,%3 '%4'")
                 .arg(w.yomiPanel->isVisibleTo(&w))
                 .arg(w.yomiPanel->x())
                 .arg(w.yomiPanel->width())
                 .arg(w.yomiPanel->text())
          << QStringLiteral("outer=%1").arg(w.outerHeight())
          << QStringLiteral("button1=%1 %2 focus=%3")
                 .arg(w.Button1->text())
                 .arg(w.Button1->isEnabled())
                 .arg(w.focusWidget() == w.Button1)
          << QStringLiteral("stepButtons=%1%2%3")
                 .arg(w.SpeedButton1->isVisibleTo(&w))
                 .arg(w.SpeedButton2->isVisibleTo(&w))
                 .arg(w.SpeedButton3->isVisibleTo(&w))
          << QStringLiteral("routing=%1 demo=%2").arg(w.keyRouting()).arg(w.demoMode);
    QString levels = "levels=";
    for (int level = 1; level <= 9; ++level)
        levels += QStringLiteral("%1%2 ")
                      .arg(w.levelItem(level)->isEnabled() ? 'e' : 'd')
                      .arg(w.levelItem(level)->isChecked() ? 'x' : '-');
    parts << levels << keyBackgrounds(w);
    return parts.join('\n');
}

void verifyInTutorial(const TForm1 &w)
{
    QVERIFY(w.SpeedButton1->isVisibleTo(&w));
    QVERIFY(w.SpeedButton2->isVisibleTo(&w));
    QVERIFY(w.SpeedButton3->isVisibleTo(&w));
    QVERIFY(!w.Button1->isEnabled());
    for (int level = 1; level <= 9; ++level)
        QVERIFY(!w.levelItem(level)->isEnabled());
    QVERIFY(w.KeyColor->isEnabled());
    QVERIFY(w.setSpelling->isEnabled());
    QVERIFY(w.showScore->isEnabled());
    QVERIFY(!w.yomiPanel->isVisibleTo(&w));
    QCOMPARE(w.TextPanel->geometry(), QRect(11, 24, 777, 73));
    QVERIFY(!w.keyRouting());
}

void verifyLine(const TForm1 &w, int number)
{
    const Line &line = lines[number];
    QCOMPARE(w.TextPanel->text(), QString::fromUtf8(line.caption));
    QCOMPARE(w.TextPanel->font().pixelSize(), line.fontPixels);
    QCOMPARE(w.TextPanel->palette().color(QPalette::WindowText), line.fontColour);
    QCOMPARE(keyBackgrounds(w), expectedBackgrounds(line));
    QCOMPARE(w.tutorialStep, number + 1);
}

} // namespace

class TestTutorial : public QObject
{
    Q_OBJECT

private slots:
    void startTutorial_data();
    void startTutorial();
    void walkForward_data();
    void walkForward();
    void steppingPastTheEndSelectsTheLevel_data();
    void steppingPastTheEndSelectsTheLevel();
    void endButton_data();
    void endButton();
    void stepBack_data();
    void stepBack();
    void stepBackTwice();
    void everyStepBackShowsTheLineAsFirstShown();
    void backDoesNothingAtTheStart_data();
    void backDoesNothingAtTheStart();
    void menuOnTutorialCaptionOnlyClears();
    void menuDuringALineStartsAgain();
    void restartAfterEnd();
    void levelMenuAndStartUnusable();
    void typingDoesNotAdvance();
    void demoAnswersKeepStartUnusable_data();
    void demoAnswersKeepStartUnusable();
    void startDuringADrill_data();
    void startDuringADrill();
    void startInDemoMode();
    void demoModeEnteredDuringTutorialEndsWithIt();
};

void TestTutorial::startTutorial_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("keyColour");
    QTest::addColumn<int>("outer");
    QTest::newRow("key level") << 1 << false << 400;
    QTest::newRow("key level, finger colours") << 3 << true << 400;
    QTest::newRow("syllable level") << 5 << false << 460;
    QTest::newRow("phrase level") << 7 << true << 460;
}

void TestTutorial::startTutorial()
{
    QFETCH(int, level);
    QFETCH(bool, keyColour);
    QFETCH(int, outer);
    Session s(level, keyColour);
    s.w.tutorialStep = 17;
    s.platform.recordSteps = true;

    s.w.Tutorial->trigger();

    QCOMPARE(s.w.TextPanel->text(), QStringLiteral("Tutorial"));
    // The caption keeps the level's font until line 0.
    QCOMPARE(s.w.TextPanel->font().pixelSize(), 64);
    QCOMPARE(s.w.TextPanel->palette().color(QPalette::WindowText), black);
    QCOMPARE(s.w.tutorialStep, 0);
    QCOMPARE(s.w.outerHeight(), outer);
    verifyInTutorial(s.w);
    // The widening plays from 300 whatever the width was.
    QCOMPARE(int(s.platform.steps.size()), 478);
    QCOMPARE(s.platform.steps.front().second, QRect(161, 24, 300, 73));
    QCOMPARE(keyBackgrounds(s.w), expectedBackgrounds(Line{"", 0, {}, "", ""}));
    QCOMPARE(s.w.currentLevel, level);
    QVERIFY(s.w.levelItem(level)->isChecked());
}

void TestTutorial::walkForward_data()
{
    QTest::addColumn<int>("line");
    for (int line = 0; line < 23; ++line)
        QTest::addRow("line %d", line) << line;
}

void TestTutorial::walkForward()
{
    QFETCH(int, line);
    Session s(2, true);
    s.showLine(line);
    verifyLine(s.w, line);
    verifyInTutorial(s.w);
    QCOMPARE(s.w.outerHeight(), 400);
}

void TestTutorial::steppingPastTheEndSelectsTheLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("keyColour");
    QTest::newRow("level 1") << 1 << false;
    QTest::newRow("level 4, finger colours") << 4 << true;
    QTest::newRow("level 5") << 5 << false;
    QTest::newRow("level 6, finger colours") << 6 << true;
    QTest::newRow("level 7") << 7 << false;
    QTest::newRow("level 9, finger colours") << 9 << true;
}

void TestTutorial::steppingPastTheEndSelectsTheLevel()
{
    QFETCH(int, level);
    QFETCH(bool, keyColour);
    Session reference(level, keyColour);
    Session s(level, keyColour);

    s.showLine(22);
    s.forward(1);

    QCOMPARE(s.w.tutorialStep, 24);
    QCOMPARE(describe(s.w), describe(reference.w));
    QCOMPARE(s.w.TextPanel->text(), QStringLiteral("Level%1").arg(level));
    QVERIFY(!s.w.SpeedButton2->isVisibleTo(&s.w));
    QVERIFY(s.w.Button1->isEnabled());
}

void TestTutorial::endButton_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("line");
    QTest::newRow("level 1 on Tutorial") << 1 << -1;
    QTest::newRow("level 1 on line 0") << 1 << 0;
    QTest::newRow("level 2 on line 6") << 2 << 6;
    QTest::newRow("level 5 on line 13") << 5 << 13;
    QTest::newRow("level 6 on line 17") << 6 << 17;
    QTest::newRow("level 8 on line 20") << 8 << 20;
    QTest::newRow("level 9 on End Tutorial") << 9 << 22;
}

void TestTutorial::endButton()
{
    QFETCH(int, level);
    QFETCH(int, line);
    Session reference(level, true);
    Session s(level, true);
    s.showLine(line);

    s.w.SpeedButton1->click();

    QCOMPARE(describe(s.w), describe(reference.w));
}

void TestTutorial::stepBack_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("backgrounds"); // of the line gone back to
    const QString face = colourName(buttonFace());
    QString none;
    for (const KeyInfo &key : keyTable)
        none += QLatin1String(key.caption) + face + ' ';
    QTest::newRow("line 1 to line 0") << 1 << none.trimmed();
    QTest::newRow("line 8 to line 7") << 8 << expectedBackgrounds(lines[7]);
    QTest::newRow("line 14 to line 13") << 14 << expectedBackgrounds(lines[13]);
    QTest::newRow("line 15 to line 14") << 15 << expectedBackgrounds(lines[14]);
    QTest::newRow("line 22 to line 21") << 22 << expectedBackgrounds(lines[21]);
}

void TestTutorial::stepBack()
{
    QFETCH(int, from);
    QFETCH(QString, backgrounds);
    Session s;
    s.showLine(from);

    s.w.SpeedButton3->click();

    verifyLine(s.w, from - 1);
    QCOMPARE(keyBackgrounds(s.w), backgrounds);
    verifyInTutorial(s.w);
    // Line 7 still shows the home position; line 21 is in the lines' 32-point blue.
    if (from == 8)
        QCOMPARE(s.w.keyPanel(";")->palette().color(QPalette::Window), red);
    if (from == 22) {
        QCOMPARE(s.w.TextPanel->font().pixelSize(), 43);
        QCOMPARE(s.w.TextPanel->palette().color(QPalette::WindowText), blue);
    }
    if (from == 15)
        QCOMPARE(s.w.keyPanel("R")->palette().color(QPalette::Window), QColor(255, 128, 192));
}

void TestTutorial::stepBackTwice()
{
    Session s;
    s.showLine(16);
    s.w.SpeedButton3->click();
    s.w.SpeedButton3->click();
    verifyLine(s.w, 14);
    s.forward(1);
    verifyLine(s.w, 15);
}

void TestTutorial::everyStepBackShowsTheLineAsFirstShown()
{
    Session reference;
    reference.showLine(-1);
    QStringList firstShown;
    for (int line = 0; line < 23; ++line) {
        reference.forward(1);
        firstShown << describe(reference.w);
    }

    Session s;
    s.showLine(0);
    for (int line = 1; line < 23; ++line) {
        s.forward(1);
        s.w.SpeedButton3->click();
        QCOMPARE(describe(s.w), firstShown[line - 1]);
        QCOMPARE(s.w.tutorialStep, line);
        s.forward(1);
        QCOMPARE(describe(s.w), firstShown[line]);
    }
}

void TestTutorial::backDoesNothingAtTheStart_data()
{
    QTest::addColumn<int>("line");
    QTest::newRow("Tutorial") << -1;
    QTest::newRow("line 0") << 0;
}

void TestTutorial::backDoesNothingAtTheStart()
{
    QFETCH(int, line);
    Session s(1, true);
    s.showLine(line);
    s.w.KeyColor->trigger(); // paints the groups: the back button must not clear them
    const QString before = describe(s.w);

    s.w.SpeedButton3->click();

    QCOMPARE(describe(s.w), before);
    QCOMPARE(s.w.tutorialStep, line + 1);
}

void TestTutorial::menuOnTutorialCaptionOnlyClears()
{
    Session s;
    s.w.Tutorial->trigger();
    s.w.KeyColor->trigger();
    s.w.setKeyRouting(true);
    s.platform.recordSteps = true;

    s.w.Tutorial->trigger();

    QCOMPARE(s.w.TextPanel->text(), QStringLiteral("Tutorial"));
    QCOMPARE(s.w.tutorialStep, 0);
    QVERIFY(s.platform.steps.empty());
    QVERIFY(!s.w.keyRouting());
    QCOMPARE(keyBackgrounds(s.w), expectedBackgrounds(lines[0]));
    verifyInTutorial(s.w);
    s.forward(1);
    verifyLine(s.w, 0);
}

void TestTutorial::menuDuringALineStartsAgain()
{
    Session s;
    s.showLine(13);
    s.platform.recordSteps = true;

    s.w.Tutorial->trigger();

    QCOMPARE(s.w.TextPanel->text(), QStringLiteral("Tutorial"));
    QCOMPARE(s.w.tutorialStep, 0);
    QCOMPARE(int(s.platform.steps.size()), 478);
    // The lines' font stays until the caption is replaced.
    QCOMPARE(s.w.TextPanel->font().pixelSize(), 43);
    QCOMPARE(keyBackgrounds(s.w), expectedBackgrounds(lines[0]));
    verifyInTutorial(s.w);
    s.forward(6);
    verifyLine(s.w, 5);
}

void TestTutorial::restartAfterEnd()
{
    Session s(7);
    s.showLine(22);
    s.forward(1);
    s.showLine(5);
    verifyLine(s.w, 5);
    verifyInTutorial(s.w);
    s.w.SpeedButton1->click();
    QCOMPARE(s.w.TextPanel->text(), QStringLiteral("Level7"));
}

void TestTutorial::levelMenuAndStartUnusable()
{
    Session s(2);
    s.showLine(3);

    s.w.Level7->trigger();
    s.w.Button1->click();

    QCOMPARE(s.w.currentLevel, 2);
    QVERIFY(s.w.Level2->isChecked());
    QVERIFY(!s.w.Level7->isChecked());
    QCOMPARE(s.w.Button1->text(), QStringLiteral("スタート"));
    verifyLine(s.w, 3);
    // The options menu stays usable.
    s.w.KeyColor->trigger();
    QVERIFY(s.w.KeyColor->isChecked());
    QCOMPARE(s.w.keyPanel("Q")->palette().color(QPalette::Window), QColor(0, 128, 64));
}

void TestTutorial::typingDoesNotAdvance()
{
    Session s(3);
    QVERIFY(QTest::qWaitForWindowActive(&s.w));
    s.showLine(4);
    const auto type = [] {
        for (const char *text : {"fj ", " ", "a"}) {
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClicks(focus, text);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
    };
    type();

    verifyLine(s.w, 4);
    QCOMPARE(s.platform.beeps, 0);
    QCOMPARE(s.w.errorCount, 0);
    // Nothing the keys could reach has changed, and the file written at close agrees.
    QVERIFY(s.w.CheckBox1->isChecked());
    QVERIFY(!s.w.CheckBox2->isChecked());
    s.forward(18);
    type();
    s.w.SpeedButton1->click();
    QCOMPARE(QApplication::focusWidget(), s.w.Button1);
    QVERIFY(s.w.CheckBox1->isChecked());
    QVERIFY(!s.w.CheckBox2->isChecked());
    QCOMPARE(s.w.currentLevel, 3);
    s.w.close();
    QFile file(QStringLiteral("RK.set"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll().split('\n').mid(0, 3), QByteArrayList({"3", "0", "1"}));
}

void TestTutorial::demoAnswersKeepStartUnusable_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("yes") << QMessageBox::Yes;
    QTest::newRow("no") << QMessageBox::No;
}

void TestTutorial::demoAnswersKeepStartUnusable()
{
    QFETCH(QMessageBox::StandardButton, answer);
    Session s;
    s.showLine(2);
    s.platform.messages.clear();
    s.platform.answers.push_back(answer);
    QTest::mouseDClick(s.w.KBPanel, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(s.platform.messages.size(), std::size_t(1));
    verifyLine(s.w, 2);
    QVERIFY(!s.w.Button1->isEnabled());
    for (int level = 1; level <= 9; ++level)
        QVERIFY(!s.w.levelItem(level)->isEnabled());
    QVERIFY(QApplication::focusWidget() != s.w.CheckBox1);

    s.w.SpeedButton1->click();
    QVERIFY(s.w.Button1->isEnabled());
    QCOMPARE(QApplication::focusWidget(), s.w.Button1);
}

void TestTutorial::startDuringADrill_data()
{
    QTest::addColumn<int>("level");
    QTest::newRow("key level") << 1;
    QTest::newRow("syllable level") << 6;
    QTest::newRow("phrase level") << 8;
}

void TestTutorial::startDuringADrill()
{
    QFETCH(int, level);
    Session reference(level, true);
    Session s(level, true);
    s.w.Button1->click();
    QCOMPARE(s.w.Button1->text(), QStringLiteral("ストップ"));
    QVERIFY(s.w.keyRouting());

    s.w.Tutorial->trigger();

    // Stopped as the Stop button stops: no result, no hint left lit.
    QCOMPARE(s.w.Button1->text(), QStringLiteral("スタート"));
    QVERIFY(s.platform.modals.empty());
    QCOMPARE(s.w.TextPanel->text(), QStringLiteral("Tutorial"));
    for (const KeyInfo &key : keyTable)
        QVERIFY2(s.w.Panel[key.panel]->palette().color(QPalette::WindowText) != red, key.caption);
    verifyInTutorial(s.w);
    QCOMPARE(s.w.highScores[level], 0.0);

    s.showLine(9);
    s.w.SpeedButton1->click();
    QCOMPARE(describe(s.w), describe(reference.w));
}

void TestTutorial::startInDemoMode()
{
    Session s;
    s.platform.answers.push_back(QMessageBox::Yes);
    s.w.KBPanelClick();
    QVERIFY(s.w.demoMode);
    s.w.showKeyHint("k");

    s.w.Tutorial->trigger();

    QVERIFY(!s.w.demoMode);
    QVERIFY(!s.w.keyRouting());
    QCOMPARE(s.w.keyPanel("K")->palette().color(QPalette::WindowText), black);
    verifyInTutorial(s.w);

    s.w.SpeedButton1->click();
    QVERIFY(!s.w.demoMode);
    QVERIFY(!s.w.keyRouting());
    QVERIFY(s.w.Button1->isEnabled());
}

void TestTutorial::demoModeEnteredDuringTutorialEndsWithIt()
{
    Session s;
    s.showLine(2);
    s.platform.answers.push_back(QMessageBox::Yes);
    s.w.KBPanelClick();
    s.w.showKeyHint("a");

    s.forward(21);

    QCOMPARE(s.w.tutorialStep, 24);
    QVERIFY(!s.w.demoMode);
    QVERIFY(!s.w.keyRouting());
    QCOMPARE(s.w.keyPanel("A")->palette().color(QPalette::WindowText), black);
    QVERIFY(s.w.Button1->isEnabled());
}

QTEST_MAIN(TestTutorial)
#include "test_tutorial.moc"
