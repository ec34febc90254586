#include "app/form1.h"
#include "fakeplatform.h"
#include "core/keytable.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace
{

const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor black(0, 0, 0);

// A shown, active window in a folder of its own.
struct Session {
    QTemporaryDir dir;
    bool entered = QDir::setCurrent(dir.path());
    FakePlatform platform;
    TForm1 w{platform};

    Session()
    {
        w.show();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("window not active");
        // The start-up's message (a missing settings file) is behind us.
        platform.messages.clear();
    }

    void doubleClickBackground(QMessageBox::StandardButton answer)
    {
        platform.answers.push_back(answer);
        QTest::mouseDClick(w.KBPanel, Qt::LeftButton, {}, QPoint(5, 5));
    }

    void type(char ch)
    {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : &w, ch);
    }
};

// The captions drawn red, as a string of key captions in key-table order.
QString litKeys(const TForm1 &w)
{
    QString lit;
    for (const KeyInfo &key : keyTable) {
        const QColor colour = w.Panel[key.panel]->palette().color(QPalette::WindowText);
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
    void answerNoWhenOffEnablesStart();
    void levelChoiceKeepsDemoMode();
    void startingADrillLeavesDemoMode();
};

void TestDemo::questionOnBackgroundDoubleClick()
{
    Session s;
    s.doubleClickBackground(QMessageBox::Yes);

    QCOMPARE(int(s.platform.messages.size()), 1);
    const auto &message = s.platform.messages.back();
    QCOMPARE(message.caption, QStringLiteral("デモ・モード"));
    QCOMPARE(message.text, QStringLiteral("デモ・モードに移行しますか？"));
    QCOMPARE(message.icon, QMessageBox::Question);
    QCOMPARE(message.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(s.w.demoMode);
    QVERIFY(!s.w.Button1->isEnabled());
    QVERIFY(s.w.keyRouting());

    // Asked again while on; the answer alone decides.
    s.doubleClickBackground(QMessageBox::Yes);
    QCOMPARE(int(s.platform.messages.size()), 2);
    QVERIFY(s.w.demoMode);
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
    Session s;
    if (demoOn)
        s.doubleClickBackground(QMessageBox::Yes);
    const int asked = int(s.platform.messages.size());
    auto *target = s.w.KBPanel->findChild<QWidget *>(control);
    QVERIFY(target);

    // A No answer, were the question asked, would show as a change of mode.
    s.platform.answers.push_back(QMessageBox::No);
    QTest::mouseDClick(target, Qt::LeftButton, {}, QPoint(10, 10));

    QCOMPARE(int(s.platform.messages.size()), asked);
    QCOMPARE(s.w.demoMode, demoOn);
    QCOMPARE(s.w.keyRouting(), demoOn);
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
    Session s;
    s.doubleClickBackground(QMessageBox::Yes);
    s.type('a');
    QCOMPARE(litKeys(s.w), QStringLiteral("A"));

    s.type(typed);

    QCOMPARE(litKeys(s.w), lit);
    // The F and J captions stay underlined whatever lights them.
    QVERIFY(s.w.keyPanel("F")->font().underline());
}

void TestDemo::nothingTimedOrCounted()
{
    Session s;
    s.doubleClickBackground(QMessageBox::Yes);
    const QString caption = s.w.TextPanel->text();

    for (char ch : QByteArray("fjdk;1 Zq,"))
        s.type(ch);

    QCOMPARE(litKeys(s.w), QStringLiteral(","));
    QCOMPARE(s.platform.beeps, 0);
    QCOMPARE(s.w.errorCount, 0);
    QCOMPARE(s.w.startTick, 0);
    QCOMPARE(s.w.TextPanel->text(), caption);
    QCOMPARE(s.w.Button1->text(), QStringLiteral("スタート"));
    QVERIFY(s.platform.modals.empty());
}

void TestDemo::answerNoLeavesDemoMode()
{
    Session s;
    s.doubleClickBackground(QMessageBox::Yes);
    s.type('k');
    QCOMPARE(litKeys(s.w), QStringLiteral("K"));

    s.doubleClickBackground(QMessageBox::No);

    QVERIFY(!s.w.demoMode);
    QVERIFY(s.w.Button1->isEnabled());
    QCOMPARE(QApplication::focusWidget(), s.w.Button1);
    QVERIFY(!s.w.keyRouting());
    QCOMPARE(litKeys(s.w), QString());
    s.type('j');
    QCOMPARE(litKeys(s.w), QString());
}

void TestDemo::answerNoWhenOffEnablesStart()
{
    Session s;
    s.w.Button1->setEnabled(false);
    s.w.showKeyHint("q");
    s.w.showKeyHint("/");

    s.doubleClickBackground(QMessageBox::No);

    QCOMPARE(int(s.platform.messages.size()), 1);
    QVERIFY(!s.w.demoMode);
    QVERIFY(s.w.Button1->isEnabled());
    QCOMPARE(litKeys(s.w), QString());
}

void TestDemo::levelChoiceKeepsDemoMode()
{
    Session s;
    s.doubleClickBackground(QMessageBox::Yes);

    s.w.Level5->trigger();

    QVERIFY(s.w.demoMode);
    QVERIFY(s.w.keyRouting());
    QVERIFY(s.w.Button1->isEnabled());
    s.type('p');
    QCOMPARE(litKeys(s.w), QStringLiteral("P"));
    QCOMPARE(s.w.errorCount, 0);
}

void TestDemo::startingADrillLeavesDemoMode()
{
    Session s;
    s.doubleClickBackground(QMessageBox::Yes);
    s.w.Level1->trigger();

    s.w.Button1->click();

    QVERIFY(!s.w.demoMode);
    QCOMPARE(s.w.Button1->text(), QStringLiteral("ストップ"));
    // Level 1 starts with F: typing it is judged, not echoed.
    QCOMPARE(s.w.TextPanel->text(), QStringLiteral("F"));
    s.type('f');
    QCOMPARE(s.w.TextPanel->text(), QStringLiteral("J"));
    QCOMPARE(litKeys(s.w), QStringLiteral("J"));
}

QTEST_MAIN(TestDemo)
#include "test_demo.moc"
