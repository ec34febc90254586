// The main window as a user first meets it: controls, menus, fonts, frame, routing of
// typed keys, and errors that escape a handler.
#include "app/application.h"
#include "drill/form3.h"
#include "testwindow.h"
#include "tutorial/form2.h"

#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <stdexcept>

namespace
{

FakePlatform *appPlatform = nullptr;

class Thrower : public QObject
{
protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("broken handler");
        return QObject::event(event);
    }
};

} // namespace

class ShellTest : public QObject
{
    Q_OBJECT
private slots:
    void controlsStandWhereDesigned_data();
    void controlsStandWhereDesigned();
    void firstSightShowsTheLevelNotTheDesignCaptions();
    void windowIsFixedAndCannotBeMaximised();
    void menusHoldEveryItemInOrder();
    void fontsResolveToJapaneseFaces();
    void tutorialButtonsHaveTwoStatePictures();
    void unrollingPanelsAreDrawnAlike();
    void inputMethodsAreKeptOut();
    void typedKeysAreNotJudgedWithoutRouting();
    void routedKeysReachTheJudgeOnceWhateverHasTheFocus_data();
    void routedKeysReachTheJudgeOnceWhateverHasTheFocus();
    void routedSpaceDoesNotClickTheFocusedControl();
    void keysWithoutOneLatinCharacterAreIgnored();
    void escapedExceptionIsShownAndTheLoopGoesOn();
};

void ShellTest::controlsStandWhereDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("visible");
    QTest::newRow("Button1") << "Button1" << QRect(696, 24, 89, 33) << true;
    QTest::newRow("CheckBox1") << "CheckBox1" << QRect(568, 0, 113, 17) << true;
    QTest::newRow("CheckBox2") << "CheckBox2" << QRect(688, 0, 97, 17) << true;
    QTest::newRow("SpeedButton1") << "SpeedButton1" << QRect(760, 104, 25, 21) << false;
    QTest::newRow("SpeedButton2") << "SpeedButton2" << QRect(736, 100, 25, 25) << false;
    QTest::newRow("SpeedButton3") << "SpeedButton3" << QRect(712, 100, 25, 25) << false;
    QTest::newRow("settingPanel") << "settingPanel" << QRect(139, 0, 521, 330) << false;
    QTest::newRow("scorePanel") << "scorePanel" << QRect(140, 0, 521, 240) << false;
}

void ShellTest::controlsStandWhereDesigned()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(bool, visible);
    TestWindow w(false); // the form as built, before the first show changes the layout
    auto *control = w->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->isVisibleTo(w.form.get()), visible);
    QCOMPARE(w->TextPanel->geometry(), QRect(11, 24, 777, 73));
    QCOMPARE(w->yomiPanel->geometry(), QRect(11, 104, 777, 57));
    QCOMPARE(w->KBPanel->geometry(), QRect(0, 118, 800, 236));
    QCOMPARE(w->drillArea->size(), QSize(800, 354));
}

void ShellTest::firstSightShowsTheLevelNotTheDesignCaptions()
{
    TestWindow w;
    QCOMPARE(w->windowTitle(), QStringLiteral("Rinkaro 2"));
    QCOMPARE(w->TextPanel->text(), QStringLiteral("Level1"));
    QCOMPARE(w->yomiPanel->text(), QString());
    QVERIFY(!w->yomiPanel->isVisible());
    QCOMPARE(w->TextPanel->geometry(), QRect(250, 24, 300, 73));
    QCOMPARE(w->outerHeight(), 400);
    QCOMPARE(w->Button1->text(), QStringLiteral("スタート"));
    QVERIFY(w->Button1->hasFocus());
    QVERIFY(w->CheckBox1->isChecked());
    QVERIFY(!w->CheckBox2->isChecked());
    QVERIFY(!w->keyRouting());
    QVERIFY(!w->demoMode);
    // The three windows exist from the start, the dialogs hidden.
    QVERIFY(w->Form2 && !w->Form2->isVisible());
    QVERIFY(w->Form3 && !w->Form3->isVisible());
}

void ShellTest::windowIsFixedAndCannotBeMaximised()
{
    TestWindow w;
    const Qt::WindowFlags flags = w->windowFlags();
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QCOMPARE(w->drillArea->minimumSize(), w->drillArea->maximumSize());
    QCOMPARE(w->size(), QSize(800, 354 + w->menuBar()->height()));
    w->showMaximized();
    QCOMPARE(w->drillArea->size(), QSize(800, 354));
    // The window follows the drill area when a level group needs the tall window.
    w->Level5Click();
    QCOMPARE(w->drillArea->size(), QSize(800, 414));
    QCOMPARE(w->KBPanel->geometry(), QRect(0, 178, 800, 236));
    QCOMPARE(w->size(), QSize(800, 414 + w->menuBar()->height()));
}

void ShellTest::menusHoldEveryItemInOrder()
{
    TestWindow w;
    auto captions = [](QMenu *menu) {
        QStringList list;
        for (QAction *item : menu->actions())
            list << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return list;
    };
    const QList<QAction *> bar = w->menuBar()->actions();
    QCOMPARE(bar.size(), 3);
    QCOMPARE(bar[0]->text(), QStringLiteral("レベル"));
    QCOMPARE(bar[1]->text(), QStringLiteral("オプション"));
    QCOMPARE(bar[2]->text(), QStringLiteral("ヘルプ"));
    QCOMPARE(captions(w->set),
             (QStringList{"ホーム", "ホーム＋上段", "ホーム＋下段", "A to Z", "-", "ローマ字１",
                          "ローマ字２", "ひらがな１", "ひらがな２", "ひらがな３"}));
    QCOMPARE(captions(w->Option1), (QStringList{"キー色付け", "ローマ字設定", "-", "記録表示"}));
    QCOMPARE(captions(w->Help1), (QStringList{"タイピングの方法", "-", "Rinkaro について..."}));
    for (QAction *item : w->set->actions() + w->Option1->actions() + w->Help1->actions())
        QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->objectName()));
    QVERIFY(w->Level1->isChecked());
    QVERIFY(!w->KeyColor->isChecked());

    // A click on a ticked item must not untick it behind the handler's back.
    w->Level3->trigger();
    QVERIFY(w->Level3->isChecked());
    QCOMPARE(w->currentLevel, 3);
    w->Level3->trigger();
    QVERIFY(w->Level3->isChecked());
    w->KeyColor->trigger();
    QVERIFY(w->KeyColor->isChecked());
    w->KeyColor->trigger();
    QVERIFY(!w->KeyColor->isChecked());
}

void ShellTest::fontsResolveToJapaneseFaces()
{
    TestWindow w;
    QCOMPARE(QFontInfo(w->font()).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(QFontInfo(w->TextPanel->font()).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(w->TextPanel->font().pixelSize(), 64);
    QVERIFY(w->TextPanel->font().bold());
    QCOMPARE(QFontInfo(w->yomiPanel->font()).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(w->yomiPanel->font().pixelSize(), 37);
    QCOMPARE(QFontInfo(w->CheckBox1->font()).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(w->CheckBox1->font().pixelSize(), 13);
    QCOMPARE(w->CheckBox2->font().pixelSize(), 12);
    const QString keyFace = QFontInfo(w->Panel[1]->font()).family();
    QVERIFY2(keyFace == "Bebas Neue" || keyFace == "Liberation Sans Narrow", qPrintable(keyFace));
    QCOMPARE(w->Panel[1]->font().pixelSize(), 48);
    QCOMPARE(w->yomiPanel->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(w->yomiPanel->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(w->KBPanel->palette().color(QPalette::Window), QColor(0, 0, 128));
}

void ShellTest::tutorialButtonsHaveTwoStatePictures()
{
    TestWindow w;
    for (QToolButton *button : {w->SpeedButton1, w->SpeedButton2, w->SpeedButton3}) {
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        const QImage normal = button->icon().pixmap(16, 16, QIcon::Normal).toImage();
        const QImage greyed = button->icon().pixmap(16, 16, QIcon::Disabled).toImage();
        QCOMPARE(normal.size(), QSize(16, 16));
        QVERIFY(normal != greyed);
        QCOMPARE(normal.pixelColor(8, 8), QColor(Qt::black)); // the glyph's middle is inked
    }
    const QImage left = w->SpeedButton3->icon().pixmap(16, 16).toImage();
    const QImage right = w->SpeedButton2->icon().pixmap(16, 16).toImage();
    QVERIFY(left != right);
    QCOMPARE(w->SpeedButton1->toolTip(), QStringLiteral("終了"));
    QCOMPARE(w->SpeedButton2->toolTip(), QStringLiteral("次へ"));
    QCOMPARE(w->SpeedButton3->toolTip(), QStringLiteral("前へ"));
}

// The two panels that unroll over the drill area share one description and one look.
void ShellTest::unrollingPanelsAreDrawnAlike()
{
    TestWindow w;
    QFrame *panels[2] = {w->settingPanel, w->scorePanel};
    QImage rims[2];
    for (int k = 0; k < 2; ++k) {
        panels[k]->resize(521, 240);
        // Only the rim: the children would differ.
        for (QWidget *child : panels[k]->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->hide();
        rims[k] = panels[k]->grab().toImage();
    }
    QCOMPARE(w->settingPanel->frameStyle(), w->scorePanel->frameStyle());
    QCOMPARE(w->settingPanel->frameWidth(), 4);
    QCOMPARE(rims[0], rims[1]);
}

void ShellTest::inputMethodsAreKeptOut()
{
    TestWindow w;
    QVERIFY(!w->testAttribute(Qt::WA_InputMethodEnabled));
    for (QWidget *child : w->findChildren<QWidget *>())
        QVERIFY2(!child->testAttribute(Qt::WA_InputMethodEnabled), qPrintable(child->objectName()));
}

void ShellTest::typedKeysAreNotJudgedWithoutRouting()
{
    TestWindow w;
    w->CheckBox2->setFocus();
    w.type("fjq;");
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w->errorCount, 0);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("Level1"));
}

void ShellTest::routedKeysReachTheJudgeOnceWhateverHasTheFocus_data()
{
    QTest::addColumn<QString>("focus");
    QTest::newRow("Start button") << "Button1";
    QTest::newRow("hint box") << "CheckBox1";
    QTest::newRow("random box") << "CheckBox2";
    QTest::newRow("nothing") << "";
}

void ShellTest::routedKeysReachTheJudgeOnceWhateverHasTheFocus()
{
    QFETCH(QString, focus);
    TestWindow w;
    w->Button1Click(); // level 1: f j f j a s d f ...
    QVERIFY(w->keyRouting());
    if (focus.isEmpty()) {
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus();
        QVERIFY(!QApplication::focusWidget());
    } else {
        w->findChild<QWidget *>(focus)->setFocus();
    }
    // A key delivered twice would be judged against the next item and count as an error;
    // one not delivered would leave the item in place.
    w.type("fjfjasd");
    QCOMPARE(w->itemCounter, 8);
    QCOMPARE(w->errorCount, 0);
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
    w.type('x');
    QCOMPARE(w->errorCount, 1);
    QCOMPARE(w.platform.beeps, 1);

    w->Button1Click(); // stop: nothing more is judged
    QVERIFY(!w->keyRouting());
    w.type("fqz");
    QCOMPARE(w->errorCount, 1);
    QCOMPARE(w.platform.beeps, 1);
}

void ShellTest::routedSpaceDoesNotClickTheFocusedControl()
{
    TestWindow w;
    w->Button1Click();
    w->Button1->setFocus();
    w.type(' ');
    QCOMPARE(w->Button1->text(), QStringLiteral("ストップ")); // still running
    QCOMPARE(w->errorCount, 1);
    w->CheckBox2->setFocus();
    w.type(' ');
    QVERIFY(!w->CheckBox2->isChecked());
    QCOMPARE(w->errorCount, 2);
}

void ShellTest::keysWithoutOneLatinCharacterAreIgnored()
{
    TestWindow w;
    w->Button1Click();
    QWidget *target = w.keyTarget();
    QTest::keyClick(target, Qt::Key_Shift); // no text
    QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QStringLiteral("か"), {});
    QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QStringLiteral("fj"), {});
    QCOMPARE(w->errorCount, 0);
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w->itemCounter, 1);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
}

void ShellTest::escapedExceptionIsShownAndTheLoopGoesOn()
{
    appPlatform->messages.clear();
    Thrower thrower;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &event);
    QCOMPARE(appPlatform->messages.size(), size_t(1));
    QCOMPARE(appPlatform->messages[0].icon, QMessageBox::Critical);
    QCOMPARE(appPlatform->messages[0].text, QStringLiteral("broken handler"));
    // The application goes on delivering events.
    bool delivered = false;
    QTimer::singleShot(0, [&] { delivered = true; });
    QTRY_VERIFY(delivered);
}

int main(int argc, char **argv)
{
    RinkaroApplication app(argc, argv);
    FakePlatform platform;
    appPlatform = &platform;
    app.setPlatform(&platform);
    ShellTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_shell.moc"
