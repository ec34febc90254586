// SPDX-License-Identifier: GPL-3.0-or-later
// Drill runs in the key levels played through the window with real key events: Start and
// Stop, every key judged once, wrong keys beeping, what the panels and the keyboard show,
// the typing-time dialog and the records it reports. The rules of a run themselves are the
// session's and the score book's (test_core_session, test_core_scores).
#include "gui/resultdialog.h"
#include "testwindow.h"

#include <QFontInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QTimer>

using namespace rinkaro;

namespace
{

const QString level1Keys = QStringLiteral("fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh");
const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz");
const QString startCaption = QStringLiteral("スタート");
const QString stopCaption = QStringLiteral("ストップ");

// Types the rest of a key-level run, one correct key per item shown.
void finishKeyRun(const TestWindow &w)
{
    for (int guard = 0; w.running() && guard < 100; ++guard)
        w.type(w.textPanel()->text().toLower());
}

ResultDialog *resultDialog(const TestWindow &w)
{
    return w->findChild<ResultDialog *>(QStringLiteral("Form3"));
}

template <typename T = QLabel> T *dialogPart(const QDialog *dialog, const char *name)
{
    return dialog->findChild<T *>(QLatin1String(name));
}

// Each value label holds its whole text as drawn, inside the dialog, clear of the divider,
// the O K button and the other labels.
void verifyValuesFit(const QDialog *dialog)
{
    const QRect inside = dialog->rect().adjusted(4, 4, -4, -4);
    const QRect divider = dialogPart<QFrame>(dialog, "Bevel1")->geometry();
    const QRect okButton = dialogPart<QPushButton>(dialog, "Button1")->geometry();
    for (const char *name : {"Label1", "Label3", "Label5", "Label7"}) {
        const QLabel *label = dialogPart(dialog, name);
        const QRect box = label->geometry();
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= box.width(),
                 qPrintable(label->objectName() + " cuts " + label->text()));
        QVERIFY2(inside.contains(box), name);
        QVERIFY(!box.intersects(divider));
        QVERIFY(!box.intersects(okButton));
        for (const QLabel *other : dialog->findChildren<QLabel *>())
            QVERIFY2(other == label || !box.intersects(other->geometry()),
                     qPrintable(label->objectName() + " overlaps " + other->objectName()));
    }
    QVERIFY(inside.contains(okButton));
}

} // namespace

class DrillRunTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startShowsTheFirstKey_data();
    void startShowsTheFirstKey();
    void levelOneRunThroughTheWindow();
    void wrongKeysBeepAndMoveNothing_data();
    void wrongKeysBeepAndMoveNothing();
    void stopShowsTheFirstItemAndStartResets();
    void startTwiceIsStartThenStop();
    void theOrderAtTheEndChoosesTheTable();
    void onlyKeysTypingOneCharacterAreJudged_data();
    void onlyKeysTypingOneCharacterAreJudged();
    void dialogLayout();
    void dialogShowsEveryValueWhole_data();
    void dialogShowsEveryValueWhole();
    void dialogAfterManyErrorsAndAHighBest();
    void dialogClosesWithEnterWhenShownModally();
};

void DrillRunTest::initTestCase()
{
    // The dialog made on its own below measures its labels in the program's fonts.
    registerFontSubstitutions();
    setJapaneseApplicationFont();
}

void DrillRunTest::startShowsTheFirstKey_data()
{
    QTest::addColumn<int>("level"); // 0: the level of a first start, not chosen
    QTest::addColumn<QString>("shown");
    QTest::newRow("first start") << 0 << "F";
    QTest::newRow("level 4 from the menu") << 4 << "A";
}

void DrillRunTest::startShowsTheFirstKey()
{
    QFETCH(int, level);
    QFETCH(QString, shown);
    TestWindow w;
    if (level)
        w.chooseLevel(level);
    QCOMPARE(w.keyAction(), '-');
    w.clickStart();
    QCOMPARE(w.startButton()->text(), stopCaption);
    QCOMPARE(w.textPanel()->text(), shown);
    QCOMPARE(w.litKey(), shown);
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w.keyAction(), 'J');
    QCOMPARE(w.textPanel()->text(), shown);
}

// A whole ordered run: each key reaches the judge once, the panel and the lit key follow
// every item, each wrong key beeps once, and the end shows the dialog and keeps the record.
void DrillRunTest::levelOneRunThroughTheWindow()
{
    TestWindow w;
    w.platform.ticks = 500000;
    w.clickStart();

    int errors = 0;
    for (int i = 0; i < level1Keys.size(); ++i) {
        const QString expected = level1Keys.mid(i, 1);
        QCOMPARE(w.textPanel()->text(), expected.toUpper());
        QCOMPARE(w.litKey(), expected.toUpper());
        if (i == 0 || i == 12) {
            w.type(i == 0 ? 'j' : 'J'); // another key; the right letter, shifted
            QCOMPARE(w.platform.beeps, ++errors);
            QCOMPARE(w.textPanel()->text(), expected.toUpper());
        }
        if (i == level1Keys.size() - 1) {
            w.platform.ticks = 500000 + 12300;
            QVERIFY(w.platform.modals.empty());
        }
        w.type(expected);
    }

    QCOMPARE(w.platform.beeps, 2);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.platform.modals.back().title, QStringLiteral("タイピング時間"));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("12.3"));
    QCOMPARE(w.dialogLabel(3), QStringLiteral("2"));
    QCOMPARE(w.dialogLabel(5), QStringLiteral("15"));
    QCOMPARE(w.dialogLabel(7), QStringLiteral("0.0"));
    QCOMPARE(w.dialogLabel(6), QStringLiteral("標準タイム"));
    QCOMPARE(w.dialogLabel(8), QStringLiteral("最高タイム"));
    QCOMPARE(w.dialogLabel(4), QStringLiteral("エラー"));
    QCOMPARE(w.dialogLabel(2), QStringLiteral("秒"));
    QCOMPARE(w.best(1, false), 2 + 12.300000190734863);
    QCOMPARE(w.best(1, true), 0.0);

    // The run is over: the button is back, nothing is judged, the level shows again.
    QCOMPARE(w.startButton()->text(), startCaption);
    QCOMPARE(w.keyAction(), '-');
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level1"));
    QCOMPARE(w.litKeys(), QString());
    w.type('x');
    QCOMPARE(w.platform.beeps, 2);
    QCOMPARE(w.platform.modals.size(), size_t(1));
}

void DrillRunTest::wrongKeysBeepAndMoveNothing_data()
{
    // Which keys are wrong is the session's rule; here the text of the key is judged, and a
    // space reaches the judge rather than the focused button.
    QTest::addColumn<char>("key");
    QTest::newRow("shifted letter") << 'F';
    QTest::newRow("space") << ' ';
}

void DrillRunTest::wrongKeysBeepAndMoveNothing()
{
    QFETCH(char, key);
    TestWindow w;
    w.platform.messages.clear();
    w.clickStart();
    QCOMPARE(QApplication::focusWidget(), w.startButton());
    w.type(key);
    w.type(key);
    QCOMPARE(w.platform.beeps, 2);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("F"));
    QCOMPARE(w.litKey(), QStringLiteral("F"));
    QVERIFY(w.running()); // a space on the focused button did not click Stop
    QVERIFY(w.platform.messages.empty());
    w.type('f');
    QCOMPARE(w.textPanel()->text(), QStringLiteral("J"));
}

void DrillRunTest::stopShowsTheFirstItemAndStartResets()
{
    TestWindow w;
    w.platform.ticks = 100000;
    w.clickStart();
    w.type("fjfjx");
    QCOMPARE(w.textPanel()->text(), QStringLiteral("A"));
    QCOMPARE(w.platform.beeps, 1);

    w.platform.ticks = 200000;
    w.clickStart(); // Stop
    QCOMPARE(w.startButton()->text(), startCaption);
    QCOMPARE(w.keyAction(), '-');
    QCOMPARE(w.textPanel()->text(), QStringLiteral("F"));
    QCOMPARE(w.litKey(), QStringLiteral("F"));
    w.type("jjj");
    QCOMPARE(w.platform.beeps, 1);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("F"));

    w.platform.ticks = 300000;
    w.clickStart(); // Start again: from the first item, with no error
    QCOMPARE(w.startButton()->text(), stopCaption);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("F"));
    finishKeyRun(w);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(3), QStringLiteral("0"));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("0.0"));
}

void DrillRunTest::startTwiceIsStartThenStop()
{
    TestWindow w;
    w.clickStart();
    w.clickStart();
    QCOMPARE(w.startButton()->text(), startCaption);
    QCOMPARE(w.keyAction(), '-');
    QCOMPARE(w.textPanel()->text(), QStringLiteral("F"));
    w.type('j');
    QCOMPARE(w.platform.beeps, 0);
}

// Begun in ordered order, random from the eleventh key on (each item drawn through the
// platform's random numbers): the run is a random one, and only that table changes.
void DrillRunTest::theOrderAtTheEndChoosesTheTable()
{
    SettingsRecord settings;
    settings.orderedRecords[3] = 50.0;
    settings.randomRecords[3] = 40.0;
    TestWindow w(settings);
    w.chooseLevel(4);
    w.platform.ticks = 1000000;
    w.clickStart();
    w.type(alphabet.left(10));
    QVERIFY(w.platform.randomRanges.empty());
    QTest::mouseClick(w.randomBox(), Qt::LeftButton);
    QVERIFY(w.randomBox()->isChecked());
    w.platform.scriptedRandom = std::deque<int>(16, 25); // Z every time
    w.platform.ticks = 1000000 + 15000;
    finishKeyRun(w);
    // Drawn from the whole key string (how many draws a run takes is the session's rule).
    QVERIFY(!w.platform.randomRanges.empty());
    for (const int n : w.platform.randomRanges)
        QCOMPARE(n, 26);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(7), QStringLiteral("40.0"));
    QCOMPARE(w.best(4, true), 15.0);
    QCOMPARE(w.best(4, false), 50.0);
}

void DrillRunTest::onlyKeysTypingOneCharacterAreJudged_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("errors");
    QTest::addColumn<bool>("held");
    // Which presses are typed characters is the drill modes' rule; here, that the window
    // passes it the text, the modifiers and the key, and judges what it answers.
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << QString() << 0 << false;
    QTest::newRow("kana") << int(Qt::Key_unknown) << QStringLiteral("か") << 0 << false;
    QTest::newRow("Alt+F") << (Qt::AltModifier | Qt::Key_F).toCombined() << "f" << 0 << false;
    QTest::newRow("Shift+F") << (Qt::ShiftModifier | Qt::Key_F).toCombined() << "F" << 1 << false;
    // The right key, but held down: not judged, so the item stays.
    QTest::newRow("F held") << int(Qt::Key_F) << "f" << 0 << true;
}

void DrillRunTest::onlyKeysTypingOneCharacterAreJudged()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, errors);
    QFETCH(bool, held);
    TestWindow w;
    w.clickStart();
    QWidget *target = w.keyTarget();
    const QKeyCombination combination = QKeyCombination::fromCombined(key);
    QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers(), text,
                    held);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, combination.key(), combination.keyboardModifiers(), text);
    QApplication::sendEvent(target, &release);
    QCOMPARE(w.platform.beeps, errors);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("F"));
    QVERIFY(w.running());
}

void DrillRunTest::dialogLayout()
{
    TestWindow w;
    // As built, before a run has put its figures in.
    const ResultDialog dialog(w.window());
    const ResultDialog *form3 = &dialog;
    QCOMPARE(form3->windowTitle(), QStringLiteral("タイピング時間"));
    QCOMPARE(form3->size(), QSize(289, 120));
    QVERIFY(!(form3->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(form3->windowFlags() & Qt::WindowSystemMenuHint));
    QCOMPARE(QFontInfo(form3->font()).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(form3->font().pixelSize(), 12);
    const QPushButton *okButton = dialogPart<QPushButton>(form3, "Button1");
    QCOMPARE(QFontInfo(okButton->font()).family(), QStringLiteral("IPAPGothic"));

    const QList<std::tuple<const char *, QRect, QString>> labels{
        {"Label6", QRect(16, 24, 80, 16), "標準タイム"}, {"Label5", QRect(104, 24, 25, 16), "0"},
        {"Label1", QRect(176, 24, 57, 16), "0"},         {"Label2", QRect(248, 24, 16, 16), "秒"},
        {"Label8", QRect(16, 56, 80, 16), "最高タイム"}, {"Label7", QRect(104, 56, 25, 16), "0"},
        {"Label4", QRect(184, 56, 48, 16), "エラー"},    {"Label3", QRect(248, 56, 8, 16), "0"},
    };
    for (const auto &[name, geometry, caption] : labels) {
        const QLabel *label = dialogPart(form3, name);
        QVERIFY2(label, name);
        QCOMPARE(label->geometry(), geometry);
        QCOMPARE(label->text(), caption);
        QCOMPARE(label->font().pixelSize(), 16);
        QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("IPAGothic"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
    QVERIFY(dialogPart(form3, "Label1")->alignment() & Qt::AlignRight);
    QCOMPARE(dialogPart<QFrame>(form3, "Bevel1")->geometry(), QRect(152, 8, 2, 105));
    QCOMPARE(okButton->geometry(), QRect(208, 88, 73, 25));
    QCOMPARE(okButton->text(), QStringLiteral("O K"));
    QVERIFY(okButton->isDefault());
}

void DrillRunTest::dialogShowsEveryValueWhole_data()
{
    QTest::addColumn<QStringList>("values"); // seconds, errors, standard, best
    QTest::newRow("design") << QStringList{"0.0", "0", "15", "0.0"};
    QTest::newRow("two-digit errors") << QStringList{"9.9", "12", "15", "22.0"};
    QTest::newRow("best above 100") << QStringList{"123.4", "12", "160", "123.4"};
    QTest::newRow("extremes") << QStringList{"99999.9", "99999", "160", "99999.9"};
}

void DrillRunTest::dialogShowsEveryValueWhole()
{
    QFETCH(QStringList, values);
    ResultDialog form3;
    form3.setResult(values[0], values[1], values[2], values[3]);
    verifyValuesFit(&form3);
    QCOMPARE(dialogPart(&form3, "Label1")->text(), values[0]);
    QCOMPARE(dialogPart(&form3, "Label3")->text(), values[1]);
    QCOMPARE(dialogPart(&form3, "Label5")->text(), values[2]);
    QCOMPARE(dialogPart(&form3, "Label7")->text(), values[3]);
    // Only values that need the room move anything.
    const bool fitsDesign = values[3].size() <= 5;
    QCOMPARE(dialogPart<QFrame>(&form3, "Bevel1")->geometry() == QRect(152, 8, 2, 105), fitsDesign);
    QCOMPARE(form3.width() == 289, fitsDesign);
    // Back to short values: the design's places again.
    form3.setResult("1.0", "0", "15", "0.0");
    QCOMPARE(form3.size(), QSize(289, 120));
    QCOMPARE(dialogPart(&form3, "Label3")->geometry().topLeft(), QPoint(248, 56));
    QCOMPARE(dialogPart(&form3, "Label1")->geometry().right(), 232);
}

// The dialog as a run leaves it: twelve errors and a best of over a hundred seconds kept
// from an earlier session, every value whole while it is shown.
void DrillRunTest::dialogAfterManyErrorsAndAHighBest()
{
    SettingsRecord settings;
    settings.orderedRecords[0] = 123.4;
    TestWindow w(settings);
    bool checked = false;
    w.platform.onModal = [&](QDialog *dialog) {
        QCOMPARE(dialog, resultDialog(w));
        QVERIFY(dialog->isVisible());
        verifyValuesFit(dialog);
        checked = true;
    };
    w.clickStart();
    w.type("zzzzzzzzzzzz");
    finishKeyRun(w);
    QVERIFY(checked);
    QCOMPARE(w.dialogLabel(3), QStringLiteral("12"));
    QCOMPARE(w.dialogLabel(7), QStringLiteral("123.4"));
    QCOMPARE(w.best(1, false), 12.0);
}

void DrillRunTest::dialogClosesWithEnterWhenShownModally()
{
    TestWindow w;
    w.clickStart();
    finishKeyRun(w);
    ResultDialog *form3 = resultDialog(w);
    QVERIFY(form3);
    bool wasModal = false;
    QTimer::singleShot(0, form3, [&] {
        wasModal = QApplication::activeModalWidget() == form3;
        QTest::keyClick(form3, Qt::Key_Return);
    });
    QTimer::singleShot(5000, form3, [form3] { form3->done(99); }); // a stuck dialog fails below
    const int result = form3->exec();
    QVERIFY(wasModal);
    QVERIFY(result != 99);
    QVERIFY(!form3->isVisible());
}

QTEST_MAIN(DrillRunTest)
#include "test_drillrun.moc"
