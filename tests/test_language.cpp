// SPDX-License-Identifier: GPL-3.0-or-later
// The interface in English: the translation reaches the main window, the typing-time dialog
// and the tutorial, every caption fits the design's fixed controls, the Language menu keeps
// its choice in RK.ini, and Qt's own texts follow the language. Which language a desktop
// gets is the rule's (test_core_language); the translation's completeness is
// test_translations'.
#include "app/desktop.h"
#include "core/inputoptions.h"
#include "core/tutorialscript.h"
#include "testwindow.h"

#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>

using namespace rinkaro;

namespace
{

// A window made with the English translation installed; Japanese again afterwards.
struct EnglishWindow : TestWindow {
    EnglishWindow() : TestWindow(false)
    {
        installTranslations(Language::English);
        form = std::make_unique<MainWindow>(platform);
        show();
    }
    ~EnglishWindow() { installTranslations(Language::Japanese); }
};

// The caption of a menu, a menu item or a button.
QString caption(QObject *control)
{
    if (auto *menu = qobject_cast<QMenu *>(control))
        return menu->title();
    if (auto *item = qobject_cast<QAction *>(control))
        return item->text();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    return QStringLiteral("(no caption)");
}

// The controls of `window` shown now whose caption is wider than the room the control gives
// it, as "name: caption (needed > room)"; `checked` counts those with a caption.
QStringList cutCaptions(QWidget *window, int &checked)
{
    QStringList cut;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window))
            continue;
        int needed = 0;
        int room = 0;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            text = label->text();
            if (text.isEmpty() || label->wordWrap())
                continue;
            needed = label->sizeHint().width();
            room = label->width();
        } else if (auto *box = qobject_cast<QCheckBox *>(widget)) {
            text = box->text();
            needed = box->sizeHint().width();
            room = box->width();
        } else if (auto *radio = qobject_cast<QRadioButton *>(widget)) {
            text = radio->text();
            needed = radio->sizeHint().width();
            room = radio->width();
        } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
            text = button->text();
            QStyleOptionButton option;
            option.initFrom(button);
            needed = button->fontMetrics().horizontalAdvance(text);
            room = button->style()
                       ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                       .width();
        } else {
            continue;
        }
        if (text.isEmpty())
            continue;
        ++checked;
        if (needed > room)
            cut << QStringLiteral("%1: %2 (%3 > %4)")
                       .arg(widget->objectName(), text)
                       .arg(needed)
                       .arg(room);
    }
    return cut;
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void mainWindowCaptions_data();
    void mainWindowCaptions();
    void languageItems();
    void dialogAndTutorialLine();
    void nothingCut();
    void choiceKeptForNextStart();
    void startLanguageFromIni_data();
    void startLanguageFromIni();
    void qtTextsFollow();
};

// Faults caught: a caption not passed through tr() or missing from the compiled translation;
// the translation installed after the window had made its captions; the level names (kept in
// the rules) left in Japanese.
void TestLanguage::mainWindowCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("english");
    QTest::newRow("level menu") << "set"
                                << "Level";
    QTest::newRow("options menu") << "Option1"
                                  << "Options";
    QTest::newRow("help menu") << "Help1"
                               << "Help";
    QTest::newRow("level 1") << "Level1"
                             << "Home row";
    QTest::newRow("level 9") << "Level9"
                             << "Hiragana 3";
    QTest::newRow("weak keys") << "weakKeysItem"
                               << "Weak keys";
    QTest::newRow("finger colours") << "KeyColor"
                                    << "Colour keys by finger";
    QTest::newRow("romaji") << "setSpelling"
                            << "Romaji spellings";
    QTest::newRow("records") << "showScore"
                             << "Records";
    QTest::newRow("free romaji") << "freeRomajiItem"
                                 << "Free romaji input";
    QTest::newRow("progress") << "progressItem"
                              << "Progress chart";
    QTest::newRow("tutorial") << "Tutorial"
                              << "How to type";
    QTest::newRow("about") << "aboutMenu1"
                           << "About Rinkaro...";
    QTest::newRow("hint") << "CheckBox1"
                          << "Show hint";
    QTest::newRow("random") << "CheckBox2"
                            << "Random";
    QTest::newRow("start") << "Button1"
                           << "Start";
}

void TestLanguage::mainWindowCaptions()
{
    QFETCH(QString, name);
    QFETCH(QString, english);
    EnglishWindow w;
    QObject *control = w.form->findChild<QObject *>(name);
    QVERIFY(control);
    QCOMPARE(caption(control), english);
}

// Faults caught: a language missing from the Language menu (where the Help menu has it is
// test_shell's); the desktop's choice not ticked on a first start; two items ticked.
void TestLanguage::languageItems()
{
    TestWindow w;
    QMenu *languages = w.find<QMenu>(QStringLiteral("languageMenu"));
    QVERIFY(languages);
    QStringList shown;
    for (QAction *item : languages->actions())
        shown << item->objectName() + QLatin1Char('=') + item->text() +
                     (item->isChecked() ? QStringLiteral(" ✓") : QString());
    QCOMPARE(shown, QStringList({"languageJapanese=日本語", "languageEnglish=English",
                                 "languageDesktop=デスクトップと同じ ✓"}));
}

// Faults caught: the typing-time dialog's captions or title left in Japanese; a tutorial line
// not translated (its table is in the rules, outside any widget); the keys an English line
// names in plain letters told again, or the others named in Japanese.
void TestLanguage::dialogAndTutorialLine()
{
    EnglishWindow w;
    w.clickStart();
    w.type(levelInfo(1)->keyString);
    QCOMPARE(w.platform.modals.size(), std::size_t(1));
    QCOMPARE(w.platform.modals.back().title, QStringLiteral("Typing time"));
    QCOMPARE(w.dialogLabel(2), QStringLiteral("s"));
    QCOMPARE(w.dialogLabel(4), QStringLiteral("Errors"));
    QCOMPARE(w.dialogLabel(6), QStringLiteral("Standard"));
    QCOMPARE(w.dialogLabel(8), QStringLiteral("Best time"));
    QCOMPARE(w.dialogLabel(5), QStringLiteral("15"));

    w.action(QStringLiteral("Tutorial"))->trigger();
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Tutorial"));
    for (int step = 0; step < 6; ++step)
        QTest::mouseClick(w.find<QToolButton>(QStringLiteral("SpeedButton2")), Qt::LeftButton);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Put your index fingers on F and J"));
    QCOMPARE(w.textPanel()->font().pixelSize(), 43);
    // A screen reader is told the keys a line colours unless the line names them.
    QCOMPARE(w.keyboard()->accessibleDescription(),
             QStringLiteral("Put your index fingers on F and J"));
    QTest::mouseClick(w.find<QToolButton>(QStringLiteral("SpeedButton2")), Qt::LeftButton);
    QCOMPARE(w.keyboard()->accessibleDescription(),
             QStringLiteral("Other fingers go on the next keys (A, S, D, K, L, semicolon)"));
}

// Faults caught: an English caption wider than the fixed control the design gives it (a check
// box, a dialog's label, a tutorial line on the text panel, a column of the record table), so
// that its end is cut off.
void TestLanguage::nothingCut()
{
    EnglishWindow w;
    int checked = 0;
    QStringList cut = cutCaptions(w.window(), checked);
    QVERIFY2(checked >= 4, qPrintable(QString::number(checked)));

    // Every tutorial line, at the size it is shown in.
    w.action(QStringLiteral("Tutorial"))->trigger();
    for (int line = 0; line < tutorialLineCount; ++line) {
        QTest::mouseClick(w.find<QToolButton>(QStringLiteral("SpeedButton2")), Qt::LeftButton);
        QCOMPARE(w.textPanel()->text(), tutorialLook(line).caption);
        int lineChecked = 0;
        const QStringList lineCut = cutCaptions(w.window(), lineChecked);
        cut << lineCut;
    }
    QTest::mouseClick(w.find<QToolButton>(QStringLiteral("SpeedButton1")), Qt::LeftButton);

    // The record table's level names in their column, and the romaji panel.
    w.action(QStringLiteral("showScore"))->trigger();
    const auto *list = w.find<QTreeWidget>(QStringLiteral("scoreList"));
    for (int row = 0; row < 9; ++row) {
        const QString name = list->topLevelItem(row)->text(0);
        const int needed = list->fontMetrics().horizontalAdvance(name);
        if (needed > list->columnWidth(0) - 8)
            cut << QStringLiteral("scoreList: %1 (%2 > %3)")
                       .arg(name)
                       .arg(needed)
                       .arg(list->columnWidth(0) - 8);
        ++checked;
    }
    QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("Level 3 Home + lower"));
    cut << cutCaptions(w.window(), checked);
    QTest::mouseClick(w.find<QPushButton>(QStringLiteral("Button3")), Qt::LeftButton);

    // A run with its count of misses, and the typing-time dialog as it is shown, with its
    // values and, once there is a history, the weakest keys with their button.
    bool advised = false;
    w.platform.onModal = [&](QDialog *dialog) {
        cut << cutCaptions(dialog, checked);
        advised = dialog->findChild<QPushButton *>(QStringLiteral("practiseWeakButton"))
                      ->isVisibleTo(dialog);
    };
    for (int run = 0; run < 2; ++run) {
        w.clickStart();
        w.type('q');
        QCOMPARE(w.find<QLabel>(QStringLiteral("errorCountLabel"))->text(),
                 QStringLiteral("Misses: 1"));
        cut << cutCaptions(w.window(), checked);
        w.type(levelInfo(1)->keyString);
    }
    QCOMPARE(w.platform.modals.size(), std::size_t(2));
    QVERIFY(advised);
    QVERIFY(checked >= 20);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
}

// Faults caught: the choice not written to RK.ini, or not read back at the next start; the
// learner not told that it takes effect then (in the language chosen too); the menu's tick
// not moving; choosing the ticked item again saying it again.
void TestLanguage::choiceKeptForNextStart()
{
    TestWindow w;
    const QString ini = w.dir.filePath(QStringLiteral("RK.ini"));
    const std::size_t before = w.platform.messages.size();
    w.action(QStringLiteral("languageEnglish"))->trigger();
    QCOMPARE(readLanguageChoice(ini), LanguageChoice::English);
    QCOMPARE(w.platform.messages.size(), before + 1);
    const FakePlatform::MessageRecord &told = w.platform.messages.back();
    QCOMPARE(told.caption, QStringLiteral("Language / 言語"));
    QCOMPARE(told.text, QStringLiteral("表示の言語は、次に起動したときから切り替わります。\n"
                                       "The new language is used from the next start of Rinkaro."));
    QVERIFY(w.action(QStringLiteral("languageEnglish"))->isChecked());
    QVERIFY(!w.action(QStringLiteral("languageDesktop"))->isChecked());
    QVERIFY(!w.action(QStringLiteral("languageJapanese"))->isChecked());
    // The interface itself stays as it was until then.
    QCOMPARE(w.startButton()->text(), QStringLiteral("スタート"));

    w.action(QStringLiteral("languageEnglish"))->trigger();
    QCOMPARE(w.platform.messages.size(), before + 1);
    QVERIFY(w.action(QStringLiteral("languageEnglish"))->isChecked());

    w.action(QStringLiteral("languageJapanese"))->trigger();
    QCOMPARE(readLanguageChoice(ini), LanguageChoice::Japanese);
    QCOMPARE(w.platform.messages.size(), before + 2);
    QCOMPARE(w.platform.messages.back().text,
             QStringLiteral("表示の言語は、次に起動したときから切り替わります。"));

    // The next start in the same folder.
    w.action(QStringLiteral("languageEnglish"))->trigger();
    w.form = std::make_unique<MainWindow>(w.platform);
    w.show();
    QVERIFY(w.action(QStringLiteral("languageEnglish"))->isChecked());
    QVERIFY(!w.action(QStringLiteral("languageDesktop"))->isChecked());
}

// Faults caught: the start ignoring RK.ini's language; a value it does not know taken for a
// language rather than the desktop's.
void TestLanguage::startLanguageFromIni_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("language"); // -1: the desktop's
    QTest::newRow("en") << QByteArray("[interface]\nlanguage=en\n") << int(Language::English);
    QTest::newRow("ja") << QByteArray("[interface]\nlanguage=ja\n") << int(Language::Japanese);
    QTest::newRow("unknown") << QByteArray("[interface]\nlanguage=xx\n") << -1;
    QTest::newRow("none") << QByteArray("[input]\nfreeRomaji=true\n") << -1;
}

void TestLanguage::startLanguageFromIni()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, language);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(ini);
    file.close();
    const Language desktop =
        interfaceLanguage(LanguageChoice::Desktop, QLocale::system().uiLanguages());
    QCOMPARE(startLanguage(path), language < 0 ? desktop : Language(language));
}

// Faults caught: Qt's Japanese buttons left in an English interface, or missing from the
// Japanese one; the program's translation left installed when Japanese is chosen again.
void TestLanguage::qtTextsFollow()
{
    const auto yesCaption = [] {
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No);
        return box.button(QMessageBox::Yes)->text();
    };
    QVERIFY(installTranslations(Language::English));
    QCOMPARE(yesCaption(), QStringLiteral("&Yes"));
    QCOMPARE(QCoreApplication::translate("rinkaro::MainWindow", "スタート"), QStringLiteral("Start"));
    QVERIFY(installTranslations(Language::Japanese));
    QVERIFY2(yesCaption().contains(QStringLiteral("はい")), qPrintable(yesCaption()));
    QCOMPARE(QCoreApplication::translate("rinkaro::MainWindow", "スタート"), QStringLiteral("スタート"));
}

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
