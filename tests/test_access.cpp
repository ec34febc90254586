// SPDX-License-Identifier: GPL-3.0-or-later
// The window without a mouse and through a screen reader: F5, the tutorial's keys, the
// panels' Tab and Esc, what the Start button tells during a run, and the accessible names.
// Which key does what in which mode is the mode table's (test_core_modes).
#include "gui/widgets.h"
#include "testwindow.h"

#include <QAccessible>
#include <QDialog>
#include <QScreen>

namespace
{

QString accessibleText(QWidget *widget, QAccessible::Text text)
{
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(widget);
    return interface ? interface->text(text) : QStringLiteral("(none)");
}

void press(const TestWindow &w, Qt::Key key)
{
    QTest::keyClick(w.keyTarget(), key);
}

} // namespace

class AccessTest : public QObject
{
    Q_OBJECT
private slots:
    void startButtonDescribesEachItem();
    void arrowsStepTheTutorial();
    void panelsKeepTabAndCloseOnEsc_data();
    void panelsKeepTabAndCloseOnEsc();
    void names();
    void largeWindowKeepsItsCornerOnScreen();
};

void AccessTest::startButtonDescribesEachItem()
{
    TestWindow w;
    w.chooseLevel(5);
    QWidget *start = w.startButton();
    QVERIFY(accessibleText(start, QAccessible::Description).contains(QStringLiteral("F5")));
    press(w, Qt::Key_F5);
    QVERIFY(w.running());
    QCOMPARE(accessibleText(start, QAccessible::Description), QStringLiteral("あ、A"));
    w.type('a');
    QCOMPARE(accessibleText(start, QAccessible::Description), QStringLiteral("い、I"));
    press(w, Qt::Key_F5);
    QVERIFY(!w.running());
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(accessibleText(start, QAccessible::Description), start->toolTip());
}

void AccessTest::arrowsStepTheTutorial()
{
    TestWindow w;
    w.action(QStringLiteral("Tutorial"))->trigger();
    press(w, Qt::Key_Right);
    press(w, Qt::Key_Right);
    QCOMPARE(w.textPanel()->text(), tutorialLook(1).caption);
    // The keyboard holds the focus in the tutorial, and tells the line.
    QCOMPARE(accessibleText(w.keyTarget(), QAccessible::Description), tutorialLook(1).caption);
    press(w, Qt::Key_Left);
    QCOMPARE(w.textPanel()->text(), tutorialLook(0).caption);
    press(w, Qt::Key_End);
    QVERIFY(!w.find(QStringLiteral("SpeedButton1"))->isVisible());
    QVERIFY(w.levelItem(2)->isEnabled());
    QVERIFY(w.startButton()->hasFocus());
    QCOMPARE(w.platform.beeps, 0);
}

void AccessTest::panelsKeepTabAndCloseOnEsc_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("tabOrder");
    // The romaji boxes column by column, as the screen shows them: しゃ, じゃ, ちゃ. Tab goes
    // to a group's ticked button, the arrows within the group.
    QTest::newRow("romaji") << "setSpelling"
                            << "settingPanel"
                            << "Button2 RadioButton1 RadioButton15 RadioButton3 RadioButton5 "
                               "RadioButton7 RadioButton9 RadioButton2 RadioButton13";
    QTest::newRow("records") << "showScore"
                             << "scorePanel"
                             << "Button3 scoreList";
}

void AccessTest::panelsKeepTabAndCloseOnEsc()
{
    QFETCH(QString, item);
    QFETCH(QString, panel);
    QFETCH(QString, tabOrder);
    TestWindow w;
    w.action(item)->trigger();
    QWidget *shown = w.find(panel);
    QStringList order;
    for (int tab = 0; tab < 40 && !order.contains(w.keyTarget()->objectName()); ++tab) {
        order << w.keyTarget()->objectName();
        press(w, Qt::Key_Tab);
    }
    QCOMPARE(order.join(' '), tabOrder);
    press(w, Qt::Key_Backtab); // from OK, round to the last control of the panel
    QCOMPARE(w.keyTarget()->objectName(), order.last());

    if (panel == QLatin1String("settingPanel")) // Esc applies the choices as OK does
        QTest::mouseClick(w.find(QStringLiteral("RadioButton_shi")), Qt::LeftButton);
    press(w, Qt::Key_Escape);
    QVERIFY(!shown->isVisible());
    QVERIFY(w.startButton()->hasFocus());
    if (panel == QLatin1String("settingPanel"))
        QCOMPARE(w.romajiShown(12), QStringLiteral("SHI"));
    QCOMPARE(w.platform.beeps, 0);
}

void AccessTest::names()
{
    TestWindow w;
    QStringList dialog;
    w.platform.onModal = [&dialog](QDialog *shown) {
        for (const char *name : {"Label5", "Label1", "Label7", "Label3", "Button1"})
            dialog << accessibleText(shown->findChild<QWidget *>(QLatin1String(name)),
                                     QAccessible::Name);
        dialog << shown->findChild<QLabel *>(QStringLiteral("Label6"))->buddy()->objectName();
    };
    w.chooseLevel(4);
    w.clickStart();
    w.type("abcdefghijklmnopqrstuvwxyz");
    QCOMPARE(dialog, QStringList({"標準タイム 15 秒", "タイピング時間 0.0 秒", "最高タイム 0.0 秒",
                                  "エラー 0", "OK", "Label5"}));

    const std::pair<const char *, const char *> names[] = {
        {"SpeedButton1", "終了"},   {"SpeedButton2", "次へ"},
        {"SpeedButton3", "前へ"},   {"settingPanel", "ローマ字設定"},
        {"scorePanel", "記録表示"}, {"scoreList", "レベルごとの記録"},
        {"Button1", "スタート"},    {"KBPanel", "キーボード"},
    };
    for (const auto &[object, name] : names)
        QCOMPARE(accessibleText(w.find(QLatin1String(object)), QAccessible::Name),
                 QString::fromUtf8(name));
}

void AccessTest::largeWindowKeepsItsCornerOnScreen()
{
    QWidget window;
    const QRect screen = window.screen()->availableGeometry();
    window.resize(screen.size() * 2);
    window.show();
    centreOnScreen(&window);
    QCOMPARE(window.frameGeometry().topLeft(), screen.topLeft());
}

QTEST_MAIN(AccessTest)
#include "test_access.moc"
