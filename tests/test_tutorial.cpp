// SPDX-License-Identifier: GPL-3.0-or-later
// The tutorial in the window: the menu item and the three step buttons, each line's look on
// the real text panel and keys, and what the rest of the window does meanwhile. The lines'
// looks and which line a step shows are the tutorial script's (test_core_tutorial), the
// modes the window is in the mode table's (test_core_modes).
#include "core/drillarealayout.h"
#include "core/keytable.h"
#include "core/tutorialscript.h"
#include "gui/widgets.h"
#include "testwindow.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

using namespace rinkaro;

namespace
{

const QColor black(0, 0, 0);

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

// One window, shown, at the given level and with the finger colours as given.
struct Session : TestWindow {
    explicit Session(int level = 1, bool keyColour = false)
    {
        chooseLevel(level);
        if (keyColour != action(QStringLiteral("KeyColor"))->isChecked())
            action(QStringLiteral("KeyColor"))->trigger();
    }

    QToolButton *endButton() const { return find<QToolButton>(QStringLiteral("SpeedButton1")); }
    QToolButton *nextButton() const { return find<QToolButton>(QStringLiteral("SpeedButton2")); }
    QToolButton *backButton() const { return find<QToolButton>(QStringLiteral("SpeedButton3")); }

    void forward(int presses) const
    {
        for (int n = 0; n < presses; ++n)
            QTest::mouseClick(nextButton(), Qt::LeftButton);
    }
    void back() const { QTest::mouseClick(backButton(), Qt::LeftButton); }
    void end() const { QTest::mouseClick(endButton(), Qt::LeftButton); }
    void startTutorial() const { action(QStringLiteral("Tutorial"))->trigger(); }
    // Starts the tutorial and shows the given line (-1: only "Tutorial").
    void showLine(int line) const
    {
        startTutorial();
        forward(line + 1);
    }

    // The background of every key, as "F#ff0000 J#..." in key-table order.
    QString keyBackgrounds() const
    {
        QStringList keys;
        for (const KeyInfo &info : keyTable)
            keys << QLatin1String(info.caption) +
                        key(QLatin1String(info.caption))->palette().color(QPalette::Window).name();
        return keys.join(' ');
    }

    // Everything of the window that the tutorial touches, for comparing two windows.
    // `lit`: with the keys lit.
    QString describe(bool lit = true) const
    {
        QLabel *text = textPanel();
        QLabel *reading = readingPanel();
        QStringList parts;
        parts << "text=" + text->text() << QStringLiteral("font=%1").arg(text->font().pixelSize())
              << "colour=" + text->palette().color(QPalette::WindowText).name()
              << QStringLiteral("textGeometry=%1,%2,%3,%4")
                     .arg(text->x())
                     .arg(text->y())
                     .arg(text->width())
                     .arg(text->height())
              << QStringLiteral("yomi=%1 %2,%3 '%4'")
                     .arg(reading->isVisibleTo(window()))
                     .arg(reading->x())
                     .arg(reading->width())
                     .arg(reading->text())
              << QStringLiteral("outer=%1").arg(outerHeight())
              << QStringLiteral("button1=%1 %2 focus=%3")
                     .arg(startButton()->text())
                     .arg(startButton()->isEnabled())
                     .arg(form->focusWidget() == startButton())
              << QStringLiteral("stepButtons=%1%2%3")
                     .arg(endButton()->isVisibleTo(window()))
                     .arg(nextButton()->isVisibleTo(window()))
                     .arg(backButton()->isVisibleTo(window()))
              << QStringLiteral("keys=%1").arg(QLatin1Char(keyAction()));
        if (lit)
            parts << "lit=" + litKeys();
        QString levels = "levels=";
        for (int level = 1; level <= 9; ++level)
            levels += QStringLiteral("%1%2 ")
                          .arg(levelItem(level)->isEnabled() ? 'e' : 'd')
                          .arg(levelItem(level)->isChecked() ? 'x' : '-');
        parts << levels << keyBackgrounds();
        return parts.join('\n');
    }
};

// The keys' backgrounds as a look paints them.
QString lookBackgrounds(const TutorialLook &look)
{
    QStringList keys;
    for (size_t k = 0; k < keyTable.size(); ++k)
        keys << QLatin1String(keyTable[k].caption) +
                    (look.keyColours[k] ? colourFromBgr(*look.keyColours[k]) : buttonFace()).name();
    return keys.join(' ');
}

QString plainBackgrounds()
{
    return lookBackgrounds(TutorialLook{});
}

void verifyInTutorial(const Session &s)
{
    QWidget *w = s.window();
    QVERIFY(s.endButton()->isVisibleTo(w));
    QVERIFY(s.nextButton()->isVisibleTo(w));
    QVERIFY(s.backButton()->isVisibleTo(w));
    QVERIFY(!s.startButton()->isEnabled());
    for (int level = 1; level <= 9; ++level)
        QVERIFY(!s.levelItem(level)->isEnabled());
    QVERIFY(s.action(QStringLiteral("KeyColor"))->isEnabled());
    QVERIFY(s.action(QStringLiteral("setSpelling"))->isEnabled());
    QVERIFY(s.action(QStringLiteral("showScore"))->isEnabled());
    QVERIFY(!s.readingPanel()->isVisibleTo(w));
    QCOMPARE(s.textPanel()->geometry(), QRect(11, 24, 777, 73));
    QCOMPARE(s.keyAction(), '-');
}

// The line's look on the text panel and the keys.
void verifyLine(const Session &s, int line)
{
    const TutorialLook look = tutorialLook(line);
    QCOMPARE(s.textPanel()->text(), look.caption);
    QCOMPARE(s.textPanel()->font().pixelSize(), look.fontPixels);
    QCOMPARE(s.textPanel()->palette().color(QPalette::WindowText), colourFromBgr(look.fontColour));
    QCOMPARE(s.keyBackgrounds(), lookBackgrounds(look));
}

} // namespace

class TestTutorial : public QObject
{
    Q_OBJECT

private slots:
    void startTutorial_data();
    void startTutorial();
    void walkForwardAndBack();
    void steppingPastTheEndSelectsTheLevel_data();
    void steppingPastTheEndSelectsTheLevel();
    void endButton_data();
    void endButton();
    void backDoesNothingAtTheStart();
    void menuOnTutorialCaptionOnlyClears();
    void menuDuringALineStartsAgain();
    void levelMenuAndStartUnusable();
    void typingDoesNotAdvance();
    void demoAnswersKeepStartUnusable_data();
    void demoAnswersKeepStartUnusable();
    void startDuringADrill_data();
    void startDuringADrill();
    void startInDemoMode();
    void demoModeEnteredDuringTutorialEndsWithIt();
    void panelOkByKeyLeavesTheCheckBoxesAlone_data();
    void panelOkByKeyLeavesTheCheckBoxesAlone();
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
    DrillAreaLayout layout;
    layout.startUp(level);
    QList<QRect> widening;
    for (const DrillAreaLayout::Frame &frame : layout.startTutorial())
        if (frame.animationStep > 0)
            widening << frame.geometry.text;
    s.platform.recordSteps = true;

    s.startTutorial();

    QCOMPARE(s.textPanel()->text(), QStringLiteral("Tutorial"));
    // The caption keeps the level's font until line 0.
    QCOMPARE(s.textPanel()->font().pixelSize(), 64);
    QCOMPARE(s.textPanel()->palette().color(QPalette::WindowText), black);
    QCOMPARE(s.outerHeight(), outer);
    verifyInTutorial(s);
    // The widening plays on the real panel.
    QCOMPARE(s.platform.stepsOf(s.textPanel()), widening);
    QCOMPARE(s.platform.stepsOf(s.textPanel()).size(), 478);
    QCOMPARE(s.keyBackgrounds(), plainBackgrounds());
    QCOMPARE(s.litKeys(), QString());
    QVERIFY(s.levelItem(level)->isChecked());
}

// The whole walk in one window: each line's look on the real panel and keys, the rest of
// the window in the tutorial's state, and each step back, then forward again, showing the
// window exactly as the line was first shown.
void TestTutorial::walkForwardAndBack()
{
    Session s(2, true);
    s.startTutorial();
    QStringList firstShown;
    for (int line = 0; line < tutorialLineCount; ++line) {
        s.forward(1);
        verifyLine(s, line);
        verifyInTutorial(s);
        QCOMPARE(s.outerHeight(), 400);
        firstShown << s.describe();
    }
    for (int line = tutorialLineCount - 2; line >= 0; --line) {
        s.back();
        QCOMPARE(s.describe(), firstShown[line]);
    }
    for (int line = 1; line < tutorialLineCount; ++line) {
        s.forward(1);
        QCOMPARE(s.describe(), firstShown[line]);
    }
}

void TestTutorial::steppingPastTheEndSelectsTheLevel_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("keyColour");
    // One level of each group, whose layout comes back.
    QTest::newRow("level 1") << 1 << false;
    QTest::newRow("level 6, finger colours") << 6 << true;
    QTest::newRow("level 7") << 7 << false;
}

void TestTutorial::steppingPastTheEndSelectsTheLevel()
{
    QFETCH(int, level);
    QFETCH(bool, keyColour);
    Session reference(level, keyColour);
    Session s(level, keyColour);

    s.showLine(tutorialLineCount - 1);
    s.forward(1);

    QCOMPARE(s.describe(), reference.describe());
    QCOMPARE(s.textPanel()->text(), QStringLiteral("Level%1").arg(level));
    QVERIFY(!s.nextButton()->isVisibleTo(s.window()));
    QVERIFY(s.startButton()->isEnabled());
}

void TestTutorial::endButton_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("line");
    QTest::newRow("level 1 on Tutorial") << 1 << -1;
    QTest::newRow("level 2 on line 6") << 2 << 6;
    QTest::newRow("level 6 on line 17") << 6 << 17;
    QTest::newRow("level 9 on End Tutorial") << 9 << 22;
}

void TestTutorial::endButton()
{
    QFETCH(int, level);
    QFETCH(int, line);
    Session reference(level, true);
    Session s(level, true);
    s.showLine(line);

    s.end();

    QCOMPARE(s.describe(), reference.describe());
}

// Nothing before line 0: the step back leaves even the key colours chosen meanwhile.
void TestTutorial::backDoesNothingAtTheStart()
{
    Session s;
    s.showLine(0);
    s.action(QStringLiteral("KeyColor"))->trigger(); // paints the groups: back must keep them
    QVERIFY(s.keyBackgrounds() != plainBackgrounds());
    const QString before = s.describe();

    s.back();

    QCOMPARE(s.describe(), before);
}

void TestTutorial::menuOnTutorialCaptionOnlyClears()
{
    Session s;
    s.startTutorial();
    s.action(QStringLiteral("KeyColor"))->trigger();
    s.doubleClickKeyboard(QMessageBox::Yes); // demo mode routes the keys
    s.type('d');
    QCOMPARE(s.litKeys(), QStringLiteral("D"));
    s.platform.recordSteps = true;

    s.startTutorial();

    QCOMPARE(s.textPanel()->text(), QStringLiteral("Tutorial"));
    QVERIFY(s.platform.steps.empty());
    QCOMPARE(s.litKeys(), QString());
    QCOMPARE(s.keyBackgrounds(), plainBackgrounds());
    verifyInTutorial(s);
    s.forward(1);
    verifyLine(s, 0);
}

void TestTutorial::menuDuringALineStartsAgain()
{
    Session s;
    s.showLine(13);
    s.platform.recordSteps = true;

    s.startTutorial();

    QCOMPARE(s.textPanel()->text(), QStringLiteral("Tutorial"));
    QCOMPARE(s.platform.stepsOf(s.textPanel()).size(), 478);
    // The lines' font stays until the caption is replaced.
    QCOMPARE(s.textPanel()->font().pixelSize(), tutorialLook(13).fontPixels);
    QCOMPARE(s.keyBackgrounds(), plainBackgrounds());
    verifyInTutorial(s);
    s.forward(6);
    verifyLine(s, 5);
}

void TestTutorial::levelMenuAndStartUnusable()
{
    Session s(2);
    s.showLine(3);

    s.chooseLevel(7);
    s.clickStart();

    QVERIFY(s.levelItem(2)->isChecked());
    QVERIFY(!s.levelItem(7)->isChecked());
    QVERIFY(!s.running());
    verifyLine(s, 3);
    // The options menu stays usable.
    s.action(QStringLiteral("KeyColor"))->trigger();
    QVERIFY(s.action(QStringLiteral("KeyColor"))->isChecked());
    QCOMPARE(s.key("Q")->palette().color(QPalette::Window), QColor(0, 128, 64));
}

void TestTutorial::typingDoesNotAdvance()
{
    Session s(3);
    QVERIFY(QTest::qWaitForWindowActive(s.window()));
    s.showLine(4);
    const auto type = [&s] {
        for (const char *text : {"fj ", " ", "a"}) {
            s.type(text);
            QTest::keyClick(s.keyTarget(), Qt::Key_Return);
        }
    };
    type();

    verifyLine(s, 4);
    QCOMPARE(s.platform.beeps, 0);
    // Nothing the keys could reach has changed, and the file written at close agrees.
    QVERIFY(s.hintBox()->isChecked());
    QVERIFY(!s.randomBox()->isChecked());
    s.forward(18);
    type();
    verifyLine(s, 22);
    s.end();
    QCOMPARE(QApplication::focusWidget(), s.startButton());
    QVERIFY(s.hintBox()->isChecked());
    QVERIFY(!s.randomBox()->isChecked());
    QCOMPARE(s.textPanel()->text(), QStringLiteral("Level3"));
    QVERIFY(!s.running());
    s->close();
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
    s.doubleClickKeyboard(answer);
    QCOMPARE(s.platform.messages.size(), std::size_t(1));
    verifyLine(s, 2);
    QVERIFY(!s.startButton()->isEnabled());
    for (int level = 1; level <= 9; ++level)
        QVERIFY(!s.levelItem(level)->isEnabled());
    QVERIFY(QApplication::focusWidget() != s.hintBox());
    QCOMPARE(s.keyAction(), answer == QMessageBox::Yes ? 'L' : '-');

    s.end();
    QVERIFY(s.startButton()->isEnabled());
    QCOMPARE(QApplication::focusWidget(), s.startButton());
}

void TestTutorial::startDuringADrill_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("stoppedFirst"); // by F5, which shows the first item lit again
    for (bool stopped : {false, true}) {
        QTest::addRow("key level%s", stopped ? ", stopped" : "") << 1 << stopped;
        QTest::addRow("syllable level%s", stopped ? ", stopped" : "") << 6 << stopped;
        QTest::addRow("phrase level%s", stopped ? ", stopped" : "") << 8 << stopped;
    }
}

void TestTutorial::startDuringADrill()
{
    QFETCH(int, level);
    QFETCH(bool, stoppedFirst);
    Session reference(level, true);
    Session s(level, true);
    s.clickStart();
    QVERIFY(s.running());
    QVERIFY(!s.litKeys().isEmpty());
    if (stoppedFirst) {
        QTest::keyClick(s.keyTarget(), Qt::Key_F5);
        QVERIFY(!s.running());
    }

    s.startTutorial();

    // Stopped as the Stop button stops: no result, no hint left lit.
    QVERIFY(!s.running());
    QVERIFY(s.platform.modals.empty());
    QCOMPARE(s.textPanel()->text(), QStringLiteral("Tutorial"));
    QCOMPARE(s.litKeys(), QString());
    verifyInTutorial(s);

    s.showLine(9);
    s.end();
    QCOMPARE(s.describe(false), reference.describe(false));
    // Before the tutorial the hint went out with the run; the level shown at its end has none.
    QCOMPARE(s.litKeys(), QString());
}

void TestTutorial::startInDemoMode()
{
    Session s;
    s.doubleClickKeyboard(QMessageBox::Yes);
    s.type('k');
    QCOMPARE(s.litKeys(), QStringLiteral("K"));

    s.startTutorial();

    QCOMPARE(s.litKeys(), QString());
    verifyInTutorial(s);

    s.end();
    QCOMPARE(s.keyAction(), '-');
    QVERIFY(s.startButton()->isEnabled());
}

void TestTutorial::demoModeEnteredDuringTutorialEndsWithIt()
{
    Session s;
    s.showLine(2);
    s.doubleClickKeyboard(QMessageBox::Yes);
    s.type('a');
    QCOMPARE(s.litKeys(), QStringLiteral("A"));
    verifyLine(s, 2);

    s.forward(tutorialLineCount - 2);

    QVERIFY(!s.nextButton()->isVisibleTo(s.window()));
    QCOMPARE(s.litKeys(), QString());
    QCOMPARE(s.keyAction(), '-');
    QVERIFY(s.startButton()->isEnabled());
}

void TestTutorial::panelOkByKeyLeavesTheCheckBoxesAlone_data()
{
    QTest::addColumn<QString>("menuItem");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("inTutorial");
    QTest::newRow("romaji panel, Return") << "setSpelling" << int(Qt::Key_Return) << true;
    QTest::newRow("record table, Enter") << "showScore" << int(Qt::Key_Enter) << true;
    QTest::newRow("romaji panel, no tutorial") << "setSpelling" << int(Qt::Key_Enter) << false;
}

// Return or Enter presses a panel's focused OK. While Start cannot be used, the focus it hands
// back must not reach a check box, which the next space would tick.
void TestTutorial::panelOkByKeyLeavesTheCheckBoxesAlone()
{
    QFETCH(QString, menuItem);
    QFETCH(int, key);
    QFETCH(bool, inTutorial);
    Session s;
    if (inTutorial)
        s.showLine(2);
    s.action(menuItem)->trigger();
    QWidget *ok = QApplication::focusWidget();
    QTest::keyClick(ok, Qt::Key(key));
    QVERIFY(!ok->parentWidget()->isVisible());
    QCOMPARE(QApplication::focusWidget(), inTutorial ? s.keyboard() : s.startButton());
    s.type(' ');
    QVERIFY(s.hintBox()->isChecked());
}

QTEST_MAIN(TestTutorial)
#include "test_tutorial.moc"
