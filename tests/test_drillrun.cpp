// Drill runs in the key levels played through real key events: Start and Stop, the items
// in ordered and random order, the judging of every key, the typing-time dialog and the
// best scores.
#include "test_drillwindow.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QTimer>

namespace
{

const QString level1Keys = QStringLiteral("fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh");
const QString alphabet = QStringLiteral("abcdefghijklmnopqrstuvwxyz");

// Types the rest of a key-level run in ordered mode, one correct key per item shown.
void finishKeyRun(const DrillWindow &w)
{
    for (int guard = 0; w.running() && guard < 100; ++guard)
        w.type(w->TextPanel->text().toLower());
}

} // namespace

class DrillRunTest : public QObject
{
    Q_OBJECT
private slots:
    void startShowsTheFirstKey_data();
    void startShowsTheFirstKey();
    void levelOneRunWithWrongKeys();
    void levelFourRunWithoutHints();
    void wrongKeysNeverMoveAnything_data();
    void wrongKeysNeverMoveAnything();
    void stopShowsTheFirstItemAndStartResets();
    void startTwiceIsStartThenStop();
    void timeCountsFromStartAcrossTheCounterWrap();
    void recordOnlyReplacedByAStrictlyLowerScore();
    void randomEndingUpdatesOnlyRandomScores();
    void randomModeKeepsTheFirstItemAndDrawsEveryPosition();
    void randomRunHasTheSameNumberOfItems();
    void keysWithoutOneLatinCharacterAreIgnored();
    void startLeavesDemoMode();
    void demoModeLightsTheTypedKey();
    void dialogLayout();
    void dialogShowsEveryValueWhole_data();
    void dialogShowsEveryValueWhole();
    void dialogAfterManyErrorsAndAHighBest();
    void dialogClosesWithEnterWhenShownModally();
};

void DrillRunTest::startShowsTheFirstKey_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("shown");
    QTest::newRow("level 1") << 1 << "F";
    QTest::newRow("level 2") << 2 << "F";
    QTest::newRow("level 3") << 3 << "F";
    QTest::newRow("level 4") << 4 << "A";
}

void DrillRunTest::startShowsTheFirstKey()
{
    QFETCH(int, level);
    QFETCH(QString, shown);
    DrillWindow w;
    w.chooseLevel(level);
    QVERIFY(!w->keyRouting());
    w.clickButton1();
    QCOMPARE(w->Button1->text(), QStringLiteral("ストップ"));
    QVERIFY(w->keyRouting());
    QCOMPARE(w->TextPanel->text(), shown);
    QCOMPARE(w.litKey(), shown);
    QCOMPARE(w->itemCounter, 1);
    QCOMPARE(w->errorCount, 0);
}

void DrillRunTest::levelOneRunWithWrongKeys()
{
    DrillWindow w;
    w->highScores[1] = 0;
    w.platform.ticks = 500000;
    w.clickButton1();
    QCOMPARE(w->startTick, 5000);

    for (int i = 0; i < level1Keys.size(); ++i) {
        const QString expected = level1Keys.mid(i, 1);
        QCOMPARE(w->TextPanel->text(), expected.toUpper());
        QCOMPARE(w.litKey(), expected.toUpper());
        if (i == 0)
            w.type('j'); // another key
        if (i == 12)
            w.type('J'); // the right letter, shifted
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
    QCOMPARE(w->highScores[1], 2 + 12.300000190734863);
    QCOMPARE(w->randomScores[1], 0.0);

    // The run is over: the button is back, nothing is judged, the level shows again.
    QCOMPARE(w->Button1->text(), QStringLiteral("スタート"));
    QVERIFY(!w->keyRouting());
    QCOMPARE(w->TextPanel->text(), QStringLiteral("Level1"));
    QCOMPARE(w->errorCount, 0);
    QCOMPARE(w->startTick, 0);
    QCOMPARE(w.litKeyCount(), 0);
    w.type('x');
    QCOMPARE(w.platform.beeps, 2);
    QCOMPARE(w.platform.modals.size(), size_t(1));
}

void DrillRunTest::levelFourRunWithoutHints()
{
    DrillWindow w;
    w.chooseLevel(4);
    w->CheckBox1->setChecked(false);
    w.platform.ticks = 2000000;
    w.clickButton1();
    QCOMPARE(w.litKeyCount(), 0);
    for (int i = 0; i < alphabet.size(); ++i) {
        QCOMPARE(w->TextPanel->text(), alphabet.mid(i, 1).toUpper());
        if (i == 5) {
            w.type('G');
            w.type('z');
            w.type('F');
        }
        if (i == 25)
            w.platform.ticks = 2000000 + 9950; // 99.5 tenths of the counter: 99 + 1 tenths
        w.type(alphabet.mid(i, 1));
        QCOMPARE(w.litKeyCount(), 0);
    }
    QCOMPARE(w.platform.beeps, 3);
    QCOMPARE(w.dialogLabel(1), QStringLiteral("9.9"));
    QCOMPARE(w.dialogLabel(3), QStringLiteral("3"));
    QCOMPARE(w.dialogLabel(5), QStringLiteral("15"));
    QCOMPARE(w->highScores[4], 3 + double(9.9f));
}

void DrillRunTest::wrongKeysNeverMoveAnything_data()
{
    QTest::addColumn<char>("key");
    QTest::newRow("shifted letter") << 'F';
    QTest::newRow("other letter") << 'j';
    QTest::newRow("space") << ' ';
    QTest::newRow("digit") << '1';
}

void DrillRunTest::wrongKeysNeverMoveAnything()
{
    QFETCH(char, key);
    DrillWindow w;
    w.clickButton1();
    const int startTick = w->startTick;
    w.type(key);
    w.type(key);
    QCOMPARE(w->errorCount, 2);
    QCOMPARE(w.platform.beeps, 2);
    QCOMPARE(w->itemCounter, 1);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
    QCOMPARE(w.litKey(), QStringLiteral("F"));
    QCOMPARE(w->startTick, startTick);
    QVERIFY(w.running()); // a space on the focused button did not click Stop
    QVERIFY(w.platform.messages.empty());
    w.type('f');
    QCOMPARE(w->TextPanel->text(), QStringLiteral("J"));
}

void DrillRunTest::stopShowsTheFirstItemAndStartResets()
{
    DrillWindow w;
    w.platform.ticks = 100000;
    w.clickButton1();
    w.type("fjx");
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
    QCOMPARE(w->itemCounter, 3);

    w.platform.ticks = 200000;
    w.clickButton1(); // Stop
    QCOMPARE(w->Button1->text(), QStringLiteral("スタート"));
    QVERIFY(!w->keyRouting());
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
    QCOMPARE(w.litKey(), QStringLiteral("F"));
    QCOMPARE(w->itemCounter, 1);
    // Stop alone leaves the timer and the errors as they were.
    QCOMPARE(w->errorCount, 1);
    QCOMPARE(w->startTick, 1000);
    w.type("jjj");
    QCOMPARE(w.platform.beeps, 1);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));

    w.platform.ticks = 300000;
    w.clickButton1(); // Start again
    QCOMPARE(w->errorCount, 0);
    QCOMPARE(w->startTick, 3000);
    QCOMPARE(w->itemCounter, 1);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
    finishKeyRun(w);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(3), QStringLiteral("0"));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("0.0"));
}

void DrillRunTest::startTwiceIsStartThenStop()
{
    DrillWindow w;
    w.clickButton1();
    w.clickButton1();
    QCOMPARE(w->Button1->text(), QStringLiteral("スタート"));
    QVERIFY(!w->keyRouting());
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
    w.type('j');
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w->errorCount, 0);
}

void DrillRunTest::timeCountsFromStartAcrossTheCounterWrap()
{
    DrillWindow w;
    w.chooseLevel(4);
    w.platform.ticks = 0xFFFFFFFFu - 4999u;
    w.clickButton1();
    w.type(alphabet.left(25));
    w.platform.ticks = 7301; // 12.3 s after Start, the counter having wrapped
    w.type('z');
    QCOMPARE(w.dialogLabel(1), QStringLiteral("12.3"));
    QCOMPARE(w->highScores[4], 12.300000190734863);
}

void DrillRunTest::recordOnlyReplacedByAStrictlyLowerScore()
{
    struct Run {
        int tenths;
        int errors;
        const char *bestShown;
        double recordAfter;
    };
    const double first = 2 + double(31.4f);
    const Run runs[] = {
        {314, 2, "0.0", first},
        {300, 4, "33.4", first},         // 34.0: worse
        {314, 2, "33.4", first},         // equal: kept
        {330, 0, "33.4", double(33.0f)}, // 33.0: better
    };
    DrillWindow w;
    w.chooseLevel(4);
    quint32 clock = 1000000;
    for (const Run &run : runs) {
        w.platform.ticks = clock;
        w.clickButton1();
        for (int e = 0; e < run.errors; ++e)
            w.type('q');
        w.type(alphabet.left(25));
        w.platform.ticks = clock + quint32(run.tenths) * 100u;
        w.type('z');
        QCOMPARE(w.dialogLabel(7), QLatin1String(run.bestShown));
        QCOMPARE(w.dialogLabel(3), QString::number(run.errors));
        QCOMPARE(w->highScores[4], run.recordAfter);
        clock += 1000000;
    }
    QCOMPARE(w.platform.modals.size(), size_t(4));
    QCOMPARE(w->randomScores[4], 0.0);
}

void DrillRunTest::randomEndingUpdatesOnlyRandomScores()
{
    DrillWindow w;
    w.chooseLevel(4);
    w->highScores[4] = 50.0;
    w->randomScores[4] = 40.0;
    w.platform.ticks = 1000000;
    w.clickButton1(); // begun in ordered mode
    w.type(alphabet.left(10));
    w->CheckBox2->setChecked(true);
    w.platform.scriptedRandom = {25, 25, 25, 25, 25, 25, 25, 25, 25,
                                 25, 25, 25, 25, 25, 25, 25, 25};
    w.platform.ticks = 1000000 + 15000;
    finishKeyRun(w);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(7), QStringLiteral("40.0"));
    QCOMPARE(w->randomScores[4], 15.0);
    QCOMPARE(w->highScores[4], 50.0);
}

void DrillRunTest::randomModeKeepsTheFirstItemAndDrawsEveryPosition()
{
    DrillWindow w;
    w->CheckBox2->setChecked(true);
    // Positions 34 (the last), 1 and 20 of the key string.
    w.platform.scriptedRandom = {33, 0, 19};
    w.clickButton1();
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
    QVERIFY(w.platform.randomRanges.empty());
    w.type('f');
    QCOMPARE(w->TextPanel->text(), QStringLiteral("H"));
    QCOMPARE(w.litKey(), QStringLiteral("H"));
    w.type('h');
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));
    w.type('f');
    QCOMPARE(w->TextPanel->text(), level1Keys.mid(19, 1).toUpper());
    QCOMPARE(w.platform.randomRanges, (std::vector<int>{34, 34, 34}));
    QCOMPARE(w->itemCounter, 4);

    // Ordered again from the next item on.
    w->CheckBox2->setChecked(false);
    w.type(level1Keys.mid(19, 1));
    QCOMPARE(w->TextPanel->text(), level1Keys.mid(4, 1).toUpper());
    QCOMPARE(w.platform.randomRanges.size(), size_t(3));
}

void DrillRunTest::randomRunHasTheSameNumberOfItems()
{
    DrillWindow w;
    w.platform.seedRandom(7);
    w->CheckBox2->setChecked(true);
    w.platform.ticks = 1000000;
    w.clickButton1();
    w.platform.ticks = 1000000 + 20000;
    int correct = 0;
    for (; w.running() && correct < 100; ++correct) {
        QVERIFY(level1Keys.contains(w->TextPanel->text().toLower()));
        w.type(w->TextPanel->text().toLower());
    }
    QCOMPARE(correct, 34);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w->randomScores[1], 20.0);
    QCOMPARE(w->highScores[1], 0.0);
    QCOMPARE(w.dialogLabel(3), QStringLiteral("0"));
}

void DrillRunTest::keysWithoutOneLatinCharacterAreIgnored()
{
    DrillWindow w;
    w.clickButton1();
    QWidget *target = w.keyTarget();
    const QList<QPair<int, QString>> keys{
        {Qt::Key_Shift, QString()},
        {Qt::Key_unknown, QStringLiteral("か")},
        {Qt::Key_unknown, QStringLiteral("fj")},
        {Qt::Key_unknown, QStringLiteral("€")},
    };
    for (const auto &[key, text] : keys) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }
    QCOMPARE(w->errorCount, 0);
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w->itemCounter, 1);
    QCOMPARE(w->TextPanel->text(), QStringLiteral("F"));

    // Any single 8-bit character goes to the judge, even one no key of the picture shows.
    char key = char(0xE9);
    w->FromKeyPress(w.form.get(), key);
    QCOMPARE(key, char(0xE9));
    QCOMPARE(w->errorCount, 1);
}

void DrillRunTest::startLeavesDemoMode()
{
    DrillWindow w;
    w.platform.answers = {QMessageBox::Yes};
    w->KBPanelClick();
    QVERIFY(w->demoMode);
    w.type('k');
    QCOMPARE(w.litKey(), QStringLiteral("K"));
    w.chooseLevel(1); // enables the button while demo mode stays on
    QVERIFY(w->demoMode);
    w.clickButton1();
    QVERIFY(!w->demoMode);
    QVERIFY(w->keyRouting());
    QCOMPARE(w.litKey(), QStringLiteral("F"));
    w.type('k');
    QCOMPARE(w->errorCount, 1);
    QCOMPARE(w.platform.beeps, 1);
    w.type('f');
    QCOMPARE(w->TextPanel->text(), QStringLiteral("J"));
}

void DrillRunTest::demoModeLightsTheTypedKey()
{
    DrillWindow w;
    w.platform.answers = {QMessageBox::Yes};
    w->KBPanelClick();
    w.type('Q');
    QCOMPARE(w.litKey(), QStringLiteral("Q"));
    w.type(';');
    QCOMPARE(w.litKey(), QStringLiteral(";"));
    w.type('5');
    QCOMPARE(w.litKeyCount(), 0);
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w->errorCount, 0);
}

void DrillRunTest::dialogLayout()
{
    DrillWindow w;
    TForm3 *form3 = w->Form3;
    QCOMPARE(form3->windowTitle(), QStringLiteral("タイピング時間"));
    QCOMPARE(form3->size(), QSize(289, 120));
    QVERIFY(!(form3->windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(form3->windowFlags() & Qt::WindowSystemMenuHint));
    QVERIFY(form3->font().families().contains(pGothicFamily));
    QCOMPARE(form3->font().pixelSize(), 12);
    QCOMPARE(QFontInfo(form3->Button1->font()).family(), QStringLiteral("IPAPGothic"));

    const QList<std::tuple<QLabel *, QRect, QString>> labels{
        {form3->Label6, QRect(16, 24, 80, 16), "標準タイム"},
        {form3->Label5, QRect(104, 24, 25, 16), "0"},
        {form3->Label1, QRect(176, 24, 57, 16), "0"},
        {form3->Label2, QRect(248, 24, 16, 16), "秒"},
        {form3->Label8, QRect(16, 56, 80, 16), "最高タイム"},
        {form3->Label7, QRect(104, 56, 25, 16), "0"},
        {form3->Label4, QRect(184, 56, 48, 16), "エラー"},
        {form3->Label3, QRect(248, 56, 8, 16), "0"},
    };
    for (const auto &[label, geometry, caption] : labels) {
        QCOMPARE(label->geometry(), geometry);
        QCOMPARE(label->text(), caption);
        QVERIFY(label->font().families().contains(gothicFamily));
        QCOMPARE(label->font().pixelSize(), 16);
        QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("IPAGothic"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
    QVERIFY(form3->Label1->alignment() & Qt::AlignRight);
    QCOMPARE(form3->Bevel1->geometry(), QRect(152, 8, 2, 105));
    QCOMPARE(form3->Button1->geometry(), QRect(208, 88, 73, 25));
    QCOMPARE(form3->Button1->text(), QStringLiteral("O K"));
    QVERIFY(form3->Button1->isDefault());
}

namespace
{

// Each value label holds its whole text as drawn, inside the dialog, clear of the divider,
// the O K button and the other labels.
void verifyValuesFit(TForm3 *form3)
{
    const QRect inside = form3->rect().adjusted(4, 4, -4, -4);
    const QList<QLabel *> values{form3->Label1, form3->Label3, form3->Label5, form3->Label7};
    for (QLabel *label : values) {
        const QRect box = label->geometry();
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= box.width(),
                 qPrintable(label->objectName() + " cuts " + label->text()));
        QVERIFY2(inside.contains(box), qPrintable(label->objectName()));
        QVERIFY(!box.intersects(form3->Bevel1->geometry()));
        QVERIFY(!box.intersects(form3->Button1->geometry()));
        for (QLabel *other : form3->findChildren<QLabel *>())
            QVERIFY2(other == label || !box.intersects(other->geometry()),
                     qPrintable(label->objectName() + " overlaps " + other->objectName()));
    }
    QVERIFY(inside.contains(form3->Button1->geometry()));
}

} // namespace

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
    TForm3 form3;
    form3.setResult(values[0], values[1], values[2], values[3]);
    verifyValuesFit(&form3);
    QCOMPARE(form3.Label1->text(), values[0]);
    QCOMPARE(form3.Label3->text(), values[1]);
    // Only values that need the room move anything.
    const bool fitsDesign = values[3].size() <= 5;
    QCOMPARE(form3.Bevel1->geometry() == QRect(152, 8, 2, 105), fitsDesign);
    QCOMPARE(form3.width() == 289, fitsDesign);
    // Back to short values: the design's places again.
    form3.setResult("1.0", "0", "15", "0.0");
    QCOMPARE(form3.size(), QSize(289, 120));
    QCOMPARE(form3.Label3->geometry().topLeft(), QPoint(248, 56));
    QCOMPARE(form3.Label1->geometry().right(), 232);
}

void DrillRunTest::dialogAfterManyErrorsAndAHighBest()
{
    DrillWindow w;
    w->highScores[1] = 123.4;
    bool checked = false;
    w.platform.onModal = [&](QDialog *) {
        verifyValuesFit(w->Form3);
        checked = true;
    };
    w.clickButton1();
    w.type("zzzzzzzzzzzz");
    finishKeyRun(w);
    QVERIFY(checked);
    QCOMPARE(w.dialogLabel(3), QStringLiteral("12"));
    QCOMPARE(w.dialogLabel(7), QStringLiteral("123.4"));
}

void DrillRunTest::dialogClosesWithEnterWhenShownModally()
{
    DrillWindow w;
    TForm3 *form3 = w->Form3;
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
