// SPDX-License-Identifier: GPL-3.0-or-later
// The window without a mouse and through a screen reader: F5, the tutorial's keys, the
// panels' Tab and Esc, what the Start button tells during a run, where the focus goes at its
// end, the visible focus, the demo item, the about box, and the accessible names. Which key
// does what in which mode is the mode table's (test_core_modes); what a run tells is
// test_core_access's.
#include "core/contrast.h"
#include "gui/widgets.h"
#include "testwindow.h"

#include <QAccessible>
#include <QDialog>
#include <QMenuBar>
#include <QScreen>

#include <deque>
#include <memory>
#include <utility>

using namespace rinkaro;

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

// What Qt's accessibility bridge does with each key while a screen reader listens: the window
// system's press or release is held back and a copy of it posted once the reader has answered.
class HeldKeys : public QObject
{
public:
    HeldKeys() { qApp->installEventFilter(this); }
    // The copies of the keys held so far, posted and delivered: the reader's answers.
    void answer()
    {
        for (auto &[target, copy] : held_)
            if (target)
                QCoreApplication::postEvent(target, copy.release());
        held_.clear();
        QCoreApplication::sendPostedEvents();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!event->spontaneous() ||
            (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        held_.emplace_back(
            watched, std::make_unique<QKeyEvent>(key->type(), key->key(), key->modifiers(),
                                                 key->nativeScanCode(), key->nativeVirtualKey(),
                                                 key->nativeModifiers(), key->text(),
                                                 key->isAutoRepeat(), key->count()));
        return true;
    }

private:
    std::deque<std::pair<QPointer<QObject>, std::unique_ptr<QKeyEvent>>> held_;
};

enum class Reader { None, AnswersAtOnce, AnswersAfterRelease };

// Alt pressed and released as the window system delivers it, with or without a reader.
void tapAlt(QWindow *window, Reader reader)
{
    std::unique_ptr<HeldKeys> held;
    if (reader != Reader::None)
        held = std::make_unique<HeldKeys>();
    QTest::keyPress(window, Qt::Key_Alt);
    if (reader == Reader::AnswersAtOnce)
        held->answer();
    QTest::keyRelease(window, Qt::Key_Alt);
    if (held)
        held->answer();
}

} // namespace

class AccessTest : public QObject
{
    Q_OBJECT
private slots:
    void startButtonDescribesEachItem();
    void focusComesBackToStart();
    void focusRingStandsOut();
    void demoModeFromTheMenu();
    void aboutBoxHoldsTheFocus();
    void arrowsStepTheTutorial();
    void panelsKeepTabAndCloseOnEsc_data();
    void panelsKeepTabAndCloseOnEsc();
    void names();
    void altTapsMenuBarOnce_data();
    void altTapsMenuBarOnce();
    void largeWindowKeepsItsCornerOnScreen();
    void growingWindowStaysOnScreen();
};

void AccessTest::startButtonDescribesEachItem()
{
    TestWindow w;
    w.chooseLevel(5);
    QWidget *start = w.startButton();
    QWidget *errors = w.find(QStringLiteral("errorCountLabel"));
    // The level is said as the focus comes back to the button.
    QCOMPARE(accessibleText(start, QAccessible::Description),
             QStringLiteral("レベル5 ローマ字１。") + start->toolTip());
    QVERIFY(!errors->isVisible());
    press(w, Qt::Key_F5);
    QVERIFY(w.running());
    QCOMPARE(accessibleText(start, QAccessible::Description), QStringLiteral("あ、A"));
    QVERIFY(errors->isVisible());
    QCOMPARE(accessibleText(errors, QAccessible::Name), QStringLiteral("ミス 0"));
    w.type('a');
    QCOMPARE(accessibleText(start, QAccessible::Description), QStringLiteral("い、I"));
    w.type('k');
    QCOMPARE(accessibleText(start, QAccessible::Description), QStringLiteral("ミス 1、次は I"));
    QCOMPARE(accessibleText(errors, QAccessible::Name), QStringLiteral("ミス 1"));
    QCOMPARE(w.platform.beeps, 1);
    press(w, Qt::Key_F5);
    QVERIFY(!w.running());
    QVERIFY(!errors->isVisible());
    QCOMPARE(accessibleText(start, QAccessible::Description),
             QStringLiteral("レベル5 ローマ字１。") + start->toolTip());
    w.action(QStringLiteral("weakKeysItem"))->trigger(); // no history: the level stays
    QTRY_COMPARE(accessibleText(start, QAccessible::Description),
                 QStringLiteral("レベル5 ローマ字１。") + start->toolTip());
}

void AccessTest::focusComesBackToStart()
{
    TestWindow w;
    w.chooseLevel(1);
    // While the dialog is up the button still says ストップ: the focus must not be on it then,
    // or a reader says ストップ as the dialog closes.
    QString focusedInDialog;
    w.platform.onModal = [&](QDialog *) {
        focusedInDialog = w.form->focusWidget() ? w.form->focusWidget()->objectName() : "";
    };
    press(w, Qt::Key_F5);
    w.type("fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh");
    QCOMPARE(focusedInDialog, QStringLiteral("KBPanel"));
    QCOMPARE(w.startButton()->text(), QStringLiteral("スタート"));
    QVERIFY(w.startButton()->hasFocus());
}

void AccessTest::focusRingStandsOut()
{
    TestWindow w;
    QPushButton *start = w.startButton();
    const auto pixel = [&w, start](bool focused) {
        if (focused)
            start->setFocus();
        else
            w.hintBox()->setFocus();
        return start->grab().toImage().pixel(3, start->height() / 2) & 0xFFFFFF;
    };
    const QRgb face = start->grab().toImage().pixel(12, 6) & 0xFFFFFF;
    QCOMPARE(pixel(true), focusRingColour);
    QVERIFY(contrastRatio(pixel(true), face) >= 3);
    QVERIFY(pixel(false) != focusRingColour);
}

void AccessTest::demoModeFromTheMenu()
{
    TestWindow w;
    w.platform.answers.push_back(QMessageBox::Yes);
    w.action(QStringLiteral("demoItem"))->trigger();
    QCOMPARE(w.platform.messages.back().text, QStringLiteral("デモ・モードに移行しますか？"));
    QCOMPARE(w.keyAction(), 'L');
}

void AccessTest::aboutBoxHoldsTheFocus()
{
    TestWindow w;
    QString focused;
    bool closed = false;
    w.platform.onModal = [&](QDialog *shown) {
        QWidget *focus = shown->focusWidget();
        focused = focus ? focus->objectName() + " " + accessibleText(focus, QAccessible::Name)
                        : QString();
        if (focus && (focus->focusPolicy() & Qt::TabFocus)) {
            QTest::keyClick(focus, Qt::Key_Space);
            closed = !shown->isVisible();
        }
    };
    w.action(QStringLiteral("aboutMenu1"))->trigger();
    QCOMPARE(focused, QStringLiteral("closeButton OK"));
    QVERIFY(closed);
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
    // A finger's line names its keys, which the panel shows by colour alone.
    for (int line = 0; line < 10; ++line)
        press(w, Qt::Key_Right);
    QCOMPARE(accessibleText(w.keyTarget(), QAccessible::Description), tutorialLook(10).description);
    QVERIFY(tutorialLook(10).description != tutorialLook(10).caption);
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

void AccessTest::altTapsMenuBarOnce_data()
{
    QTest::addColumn<Reader>("reader");
    QTest::newRow("no reader") << Reader::None;
    QTest::newRow("reader answering at once") << Reader::AnswersAtOnce;
    // A busy window or reader: the copies come after the release itself.
    QTest::newRow("reader answering late") << Reader::AnswersAfterRelease;
}

void AccessTest::altTapsMenuBarOnce()
{
    QFETCH(Reader, reader);
    TestWindow w;
    QMenuBar *bar = w.find<QMenuBar>(QStringLiteral("MainMenu1"));
    QWindow *window = w->windowHandle();
    QVERIFY(w.startButton()->hasFocus());
    tapAlt(window, reader);
    // The bar walked by keyboard from its first menu, and no copy of the keys takes it back.
    QCOMPARE(QApplication::focusWidget(), bar);
    QVERIFY(bar->activeAction());
    QCOMPARE(bar->activeAction()->text(), QStringLiteral("レベル"));
    tapAlt(window, reader);
    QCOMPARE(QApplication::focusWidget(), w.startButton());
    QCOMPARE(bar->activeAction(), nullptr);
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

void AccessTest::growingWindowStaysOnScreen()
{
    // A window placed low on the screen that grows afterwards, as the progress window does
    // when its figures come in.
    QWidget window;
    const QRect screen = window.screen()->availableGeometry();
    window.setGeometry(screen.left() + 10, screen.bottom() - 200, 300, 150);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    keepOnScreenWhenGrowing(&window);
    const int left = window.frameGeometry().left();
    window.resize(300, 400);
    QCOMPARE(window.frameGeometry().bottom(), screen.bottom());
    QCOMPARE(window.frameGeometry().left(), left);
    window.move(left, screen.bottom() - 100); // moved by the user: left there
    QCOMPARE(window.frameGeometry().top(), screen.bottom() - 100);
}

QTEST_MAIN(AccessTest)
#include "test_access.moc"
