// SPDX-License-Identifier: GPL-3.0-or-later
// Demo mode: offered on a double-click of the keyboard's background, it lights the key of
// each character typed and judges, times and counts nothing until Start.
#include "core/keytable.h"
#include "testwindow.h"

using namespace rinkaro;

namespace
{

const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor black(0, 0, 0);

// A shown window whose start-up message (a missing settings file) is behind it.
struct DemoWindow : TestWindow {
    DemoWindow() { platform.messages.clear(); }
};

// The captions drawn red, as a string of key captions in key-table order; a caption in
// neither red nor its resting colour shows as "?" and its caption.
QString litKeys(const TestWindow &w)
{
    QString lit;
    for (const KeyInfo &key : keyTable) {
        const QColor colour =
            w.key(QLatin1String(key.caption))->palette().color(QPalette::WindowText);
        if (colour == red)
            lit += QLatin1String(key.caption);
        else if (colour != (isHomeKey(key) ? blue : black))
            lit += QStringLiteral("?%1").arg(QLatin1String(key.caption));
    }
    return lit;
}

} // namespace

class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void questionOnBackgroundDoubleClick();
    void noQuestionOnKeysOrStart_data();
    void noQuestionOnKeysOrStart();
    void typedKeyLightsItsKey_data();
    void typedKeyLightsItsKey();
    void nothingTimedOrCounted();
    void answerNoLeavesDemoMode();
    void answerNoWhenOffClearsTheLitKey();
    void levelChoiceKeepsDemoMode();
    void startingADrillLeavesDemoMode();
    void questionAnswersReadInJapanese();
};

void TestDemo::questionOnBackgroundDoubleClick()
{
    DemoWindow w;
    w.doubleClickKeyboard(QMessageBox::Yes);

    QCOMPARE(int(w.platform.messages.size()), 1);
    const auto &message = w.platform.messages.back();
    QCOMPARE(message.caption, QStringLiteral("デモ・モード"));
    QCOMPARE(message.text, QStringLiteral("デモ・モードに移行しますか？"));
    QCOMPARE(message.icon, QMessageBox::Question);
    QCOMPARE(message.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(!w.startButton()->isEnabled());
    w.type('q');
    QCOMPARE(litKeys(w), QStringLiteral("Q"));

    // Asked again while on; the answer alone decides, and the lit key stays.
    w.doubleClickKeyboard(QMessageBox::Yes);
    QCOMPARE(int(w.platform.messages.size()), 2);
    QCOMPARE(litKeys(w), QStringLiteral("Q"));
    QCOMPARE(w.keyAction(), 'L');
}

void TestDemo::noQuestionOnKeysOrStart_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("demoOn");
    QTest::newRow("key K") << "Panel11" << false;
    QTest::newRow("key ;") << "Panel29" << false;
    QTest::newRow("Start button") << "Button1" << false;
    QTest::newRow("key F in demo mode") << "Panel6" << true;
    QTest::newRow("greyed Start button in demo mode") << "Button1" << true;
}

void TestDemo::noQuestionOnKeysOrStart()
{
    QFETCH(QString, control);
    QFETCH(bool, demoOn);
    DemoWindow w;
    if (demoOn)
        w.doubleClickKeyboard(QMessageBox::Yes);
    const int asked = int(w.platform.messages.size());
    auto *target = w.keyboard()->findChild<QWidget *>(control);
    QVERIFY(target);

    // A No answer, were the question asked, would show as a change of mode.
    w.platform.answers.push_back(QMessageBox::No);
    QTest::mouseDClick(target, Qt::LeftButton, {}, QPoint(10, 10));

    QCOMPARE(int(w.platform.messages.size()), asked);
    QCOMPARE(w.keyAction(), demoOn ? 'L' : '-');
}

void TestDemo::typedKeyLightsItsKey_data()
{
    QTest::addColumn<char>("typed");
    QTest::addColumn<QString>("lit");
    QTest::newRow("k") << 'k' << "K";
    QTest::newRow("K") << 'K' << "K";
    QTest::newRow("f") << 'f' << "F";
    QTest::newRow("J") << 'J' << "J";
    QTest::newRow(";") << ';' << ";";
    QTest::newRow(",") << ',' << ",";
    QTest::newRow(".") << '.' << ".";
    QTest::newRow("/") << '/' << "/";
    QTest::newRow("a again") << 'a' << "A";
    QTest::newRow("1") << '1' << "";
    QTest::newRow("space") << ' ' << "";
    QTest::newRow("-") << '-' << "";
    QTest::newRow(":") << ':' << "";
}

void TestDemo::typedKeyLightsItsKey()
{
    QFETCH(char, typed);
    QFETCH(QString, lit);
    DemoWindow w;
    w.doubleClickKeyboard(QMessageBox::Yes);
    w.type('a');
    QCOMPARE(litKeys(w), QStringLiteral("A"));

    w.type(typed);

    QCOMPARE(litKeys(w), lit);
    // The F and J captions stay underlined whatever lights them.
    QVERIFY(w.key(QStringLiteral("F"))->font().underline());
    QVERIFY(w.key(QStringLiteral("J"))->font().underline());
}

void TestDemo::nothingTimedOrCounted()
{
    DemoWindow w;
    w.doubleClickKeyboard(QMessageBox::Yes);
    const QString caption = w.textPanel()->text();

    for (char ch : QByteArray("fjdk;1 Zq,"))
        w.type(ch);

    QCOMPARE(litKeys(w), QStringLiteral(","));
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w.textPanel()->text(), caption);
    QCOMPARE(w.startButton()->text(), QStringLiteral("スタート"));
    QVERIFY(w.platform.modals.empty());
}

void TestDemo::answerNoLeavesDemoMode()
{
    DemoWindow w;
    w.doubleClickKeyboard(QMessageBox::Yes);
    w.type('k');
    QCOMPARE(litKeys(w), QStringLiteral("K"));

    w.doubleClickKeyboard(QMessageBox::No);

    QVERIFY(w.startButton()->isEnabled());
    QCOMPARE(QApplication::focusWidget(), w.startButton());
    QCOMPARE(litKeys(w), QString());
    QCOMPARE(w.keyAction(), '-');
    w.type('j');
    QCOMPARE(litKeys(w), QString());
}

// Off already, with the hint of a stopped run still lit: No puts out the key and leaves
// Start usable and focused.
void TestDemo::answerNoWhenOffClearsTheLitKey()
{
    DemoWindow w;
    w.chooseLevel(2);
    w.clickStart();
    w.type('f');
    w.clickStart(); // Stop: the first item and its hint again
    QCOMPARE(litKeys(w), QStringLiteral("F"));

    w.doubleClickKeyboard(QMessageBox::No);

    QCOMPARE(int(w.platform.messages.size()), 1);
    QVERIFY(w.startButton()->isEnabled());
    QCOMPARE(QApplication::focusWidget(), w.startButton());
    QCOMPARE(litKeys(w), QString());
    QCOMPARE(w.keyAction(), '-');
}

void TestDemo::levelChoiceKeepsDemoMode()
{
    DemoWindow w;
    w.doubleClickKeyboard(QMessageBox::Yes);

    w.chooseLevel(5);

    QVERIFY(w.startButton()->isEnabled());
    QVERIFY(w.startButton()->hasFocus());
    w.type('p');
    QCOMPARE(litKeys(w), QStringLiteral("P"));
    QCOMPARE(w.platform.beeps, 0);
    QVERIFY(!w.running());
}

// Start ends demo mode: the typed keys are judged from then on, not echoed.
void TestDemo::startingADrillLeavesDemoMode()
{
    DemoWindow w;
    w.doubleClickKeyboard(QMessageBox::Yes);
    w.type('k');
    QCOMPARE(litKeys(w), QStringLiteral("K"));
    w.chooseLevel(1); // enables the button while demo mode stays on

    w.clickStart();

    QCOMPARE(w.startButton()->text(), QStringLiteral("ストップ"));
    QCOMPARE(w.textPanel()->text(), QStringLiteral("F"));
    QCOMPARE(litKeys(w), QStringLiteral("F"));
    w.type('k');
    QCOMPARE(w.platform.beeps, 1);
    QCOMPARE(litKeys(w), QStringLiteral("F"));
    w.type('f');
    QCOMPARE(w.textPanel()->text(), QStringLiteral("J"));
    QCOMPARE(litKeys(w), QStringLiteral("J"));
}

// Qt's own buttons speak Japanese like the rest of the program, whatever the locale: the
// demo question as the system's message box makes it, once the window is up.
void TestDemo::questionAnswersReadInJapanese()
{
    DemoWindow w;
    const QMessageBox question(QMessageBox::Question, QStringLiteral("デモ・モード"),
                               QStringLiteral("デモ・モードに移行しますか？"),
                               QMessageBox::Yes | QMessageBox::No, w.window());
    QCOMPARE(question.button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    QCOMPARE(question.button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
}

QTEST_MAIN(TestDemo)
#include "test_demo.moc"
