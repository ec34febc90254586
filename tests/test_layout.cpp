// Level selection and the drill area's three layouts, with the text panel's animations.
#include "core/layoutplan.h"
#include "testwindow.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <cmath>

namespace
{

enum Animation { None, Widen, Narrow };

// The animation that the recorded steps of the text panel show.
Animation playedAnimation(const FakePlatform &platform, QWidget *panel)
{
    const QList<QRect> steps = platform.stepsOf(panel);
    if (steps.empty())
        return None;
    if (steps.size() == 478 && steps.front().width() == 300 && steps.back().width() == 777)
        return Widen;
    if (steps.size() == 477 && steps.front().width() == 776 && steps.back().width() == 300)
        return Narrow;
    return Animation(-1);
}

} // namespace

class LayoutTest : public QObject
{
    Q_OBJECT
private slots:
    void widenFormulaMatchesTheTruncatedProduct();
    void widenFormulaAtItsSamplePoints_data();
    void widenFormulaAtItsSamplePoints();
    void animationsStepOnePixelAtATime();
    void everyLevelToEveryLevel_data();
    void everyLevelToEveryLevel();
    void selectionStoresTheLevelMaterial_data();
    void selectionStoresTheLevelMaterial();
    void unknownLevelsFallBackToTheAlphabet_data();
    void unknownLevelsFallBackToTheAlphabet();
    void reselectingResetsTicksFocusAndFont();
    void fingerColoursFollowTheMenuTick();
    void selectionDuringARunKeepsItGoing();
    void selectionInDemoModeEnablesStartButKeepsDemo();
    void oddHeightsOnlyLetTheWidthRulesFire();
};

void LayoutTest::widenFormulaMatchesTheTruncatedProduct()
{
    // The left edge is 250 - i * 0.2941176470588235371 truncated: the factor lies just
    // above 5/17, which makes the multiples of 17 land one pixel lower.
    for (int i = 300; i <= 777; ++i) {
        const long double left = 250.0L - i * 0.2941176470588235371L;
        QCOMPARE(widenStepLeft(i), int(std::trunc(left)));
    }
}

void LayoutTest::widenFormulaAtItsSamplePoints_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::newRow("300") << 300 << 161;
    QTest::newRow("306") << 306 << 159;
    QTest::newRow("400") << 400 << 132;
    QTest::newRow("777") << 777 << 21;
    for (int i = 306; i <= 777; i += 17) // every multiple of 17 in the range
        QTest::addRow("%d", i) << i << 250 - 5 * i / 17 - 1;
}

void LayoutTest::widenFormulaAtItsSamplePoints()
{
    QFETCH(int, width);
    QFETCH(int, left);
    QCOMPARE(widenStepLeft(width), left);
}

void LayoutTest::animationsStepOnePixelAtATime()
{
    TestWindow w;
    w.platform.recordSteps = true;
    w->widenTextPanel();
    QCOMPARE(w.platform.steps.size(), size_t(478));
    for (size_t k = 0; k < w.platform.steps.size(); ++k) {
        const int width = 300 + int(k);
        QCOMPARE(w.platform.steps[k].second, QRect(widenStepLeft(width), 24, width, 73));
    }
    QCOMPARE(w->TextPanel->geometry(), QRect(11, 24, 777, 73));

    w.platform.steps.clear();
    w->narrowTextPanel();
    QCOMPARE(w.platform.steps.size(), size_t(477));
    for (size_t k = 0; k < w.platform.steps.size(); ++k) {
        const int i = int(k) + 1;
        QCOMPARE(w.platform.steps[k].second, QRect(11 + i / 2, 24, 777 - i, 73));
    }
    QCOMPARE(w.platform.steps.front().second, QRect(11, 24, 776, 73));
    QCOMPARE(w.platform.steps.back().second, QRect(249, 24, 300, 73));
    QCOMPARE(w->TextPanel->geometry(), QRect(250, 24, 300, 73));
}

void LayoutTest::everyLevelToEveryLevel_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    for (int from = 1; from <= 9; ++from)
        for (int to = 1; to <= 9; ++to)
            QTest::addRow("%d to %d", from, to) << from << to;
}

void LayoutTest::everyLevelToEveryLevel()
{
    QFETCH(int, from);
    QFETCH(int, to);
    auto group = [](int level) { return level <= 4 ? 0 : level <= 6 ? 1 : 2; };
    TestWindow w;
    w->currentLevel = from;
    w->selectLevel(from);
    w.platform.recordSteps = true;
    w->currentLevel = to;
    w->selectLevel(to);

    const int g = group(to);
    QCOMPARE(w->outerHeight(), g == 0 ? 400 : 460);
    QCOMPARE(w->yomiPanel->isVisible(), g != 0);
    if (g == 1)
        QCOMPARE(w->yomiPanel->geometry(), QRect(250, 104, 300, 57));
    if (g == 2)
        QCOMPARE(w->yomiPanel->geometry(), QRect(11, 104, 777, 57));
    QCOMPARE(w->TextPanel->geometry(), g == 2 ? QRect(11, 24, 777, 73) : QRect(250, 24, 300, 73));
    QCOMPARE(w->TextPanel->text(), QStringLiteral("Level%1").arg(to));
    QCOMPARE(w->yomiPanel->text(), QString());
    QCOMPARE(w->KBPanel->geometry().bottom(), w->drillArea->height() - 1);

    const int f = group(from);
    const Animation expected = f == g ? None : g == 2 ? Widen : f == 2 ? Narrow : None;
    QCOMPARE(playedAnimation(w.platform, w->TextPanel), expected);
}

void LayoutTest::selectionStoresTheLevelMaterial_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("1") << 1 << "fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh" << 0 << 0;
    QTest::newRow("2") << 2 << "frdeswaqgtjukilo;phyfrfefwfqftjujijojpjy" << 0 << 0;
    QTest::newRow("3") << 3 << "fvdcsxazgbjmk,l.;/hnfvfcfxfzfbjmj,j.j/jn" << 0 << 0;
    QTest::newRow("4") << 4 << "abcdefghijklmnopqrstuvwxyz" << 0 << 0;
    QTest::newRow("5") << 5 << "" << 1 << 46;
    QTest::newRow("6") << 6 << "" << 47 << 83;
    QTest::newRow("7") << 7 << "" << 1 << 35;
    QTest::newRow("8") << 8 << "" << 36 << 52;
    QTest::newRow("9") << 9 << "" << 53 << 76;
}

void LayoutTest::selectionStoresTheLevelMaterial()
{
    QFETCH(int, level);
    QFETCH(QString, keys);
    QFETCH(int, first);
    QFETCH(int, last);
    TestWindow w;
    w->drillText = QStringLiteral("untouched");
    w->rangeFirst = -5;
    w->rangeLast = -6;
    w->levelItem(level)->trigger();
    QCOMPARE(w->currentLevel, level);
    for (int n = 1; n <= 9; ++n)
        QCOMPARE(w->levelItem(n)->isChecked(), n == level);
    if (keys.isEmpty()) {
        QCOMPARE(w->drillText, QStringLiteral("untouched"));
        QCOMPARE(w->rangeFirst, first);
        QCOMPARE(w->rangeLast, last);
    } else {
        QCOMPARE(w->drillText, keys);
        QCOMPARE(w->rangeFirst, -5);
        QCOMPARE(w->rangeLast, -6);
    }
}

void LayoutTest::unknownLevelsFallBackToTheAlphabet_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("from");
    QTest::newRow("0") << 0 << 7;
    QTest::newRow("10") << 10 << 5;
    QTest::newRow("-1") << -1 << 8;
    QTest::newRow("huge") << 2147483647 << 1;
}

void LayoutTest::unknownLevelsFallBackToTheAlphabet()
{
    QFETCH(int, level);
    QFETCH(int, from);
    TestWindow w;
    w->levelItem(from)->trigger();
    w->currentLevel = level;
    w->selectLevel(unsigned(level));
    QCOMPARE(w->currentLevel, 1);
    QVERIFY(w->Level1->isChecked());
    for (int n = 2; n <= 9; ++n)
        QVERIFY(!w->levelItem(n)->isChecked());
    QCOMPARE(w->drillText, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    QCOMPARE(w->outerHeight(), 400);
    QVERIFY(!w->yomiPanel->isVisible());
    QCOMPARE(w->TextPanel->geometry(), QRect(250, 24, 300, 73));
    QCOMPARE(w->TextPanel->text(), QStringLiteral("Level1"));
}

void LayoutTest::reselectingResetsTicksFocusAndFont()
{
    TestWindow w;
    w->Level8Click();
    w->CheckBox2->setFocus();
    QFont font = w->TextPanel->font();
    font.setPixelSize(43);
    w->TextPanel->setFont(font);
    QPalette palette = w->TextPanel->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    w->TextPanel->setPalette(palette);
    w->Button1->setEnabled(false);
    w.platform.recordSteps = true;
    w->Level9Click();
    QVERIFY(w.platform.steps.empty());
    QVERIFY(w->Button1->isEnabled());
    QVERIFY(w->Button1->hasFocus());
    QCOMPARE(w->TextPanel->font().pixelSize(), 64);
    QCOMPARE(w->TextPanel->palette().color(QPalette::WindowText), QColor(Qt::black));
    QVERIFY(w->Level9->isChecked() && !w->Level8->isChecked());
}

void LayoutTest::fingerColoursFollowTheMenuTick()
{
    TestWindow w;
    const QColor face = QApplication::palette().color(QPalette::Button);
    w->Level2Click();
    QCOMPARE(w->keyPanel("A")->palette().color(QPalette::Window), face);
    w->KeyColorClick();
    w->colourLittleFingerKeys(0x0000FF); // repainted by the next selection
    w->Level3Click();
    QCOMPARE(w->keyPanel("A")->palette().color(QPalette::Window), QColor(0, 128, 64));
}

void LayoutTest::selectionDuringARunKeepsItGoing()
{
    TestWindow w;
    w->Button1Click();
    QCOMPARE(w->Button1->text(), QStringLiteral("ストップ"));
    w->Level4Click();
    QCOMPARE(w->Button1->text(), QStringLiteral("ストップ"));
    QVERIFY(w->keyRouting());
    QCOMPARE(w->drillText, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
}

void LayoutTest::selectionInDemoModeEnablesStartButKeepsDemo()
{
    TestWindow w;
    w.platform.answers = {QMessageBox::Yes};
    w->KBPanelClick();
    QVERIFY(!w->Button1->isEnabled());
    w->Level6Click();
    QVERIFY(w->Button1->isEnabled());
    QVERIFY(w->demoMode);
    QVERIFY(w->keyRouting());
}

void LayoutTest::oddHeightsOnlyLetTheWidthRulesFire()
{
    TestWindow w; // level 1: short window, narrow panel
    w->setTallWindow();
    w->Level7Click(); // width rule: widened, window left as it was
    QCOMPARE(w->TextPanel->width(), 777);
    w->Level5Click(); // width rule: narrowed
    QCOMPARE(w->TextPanel->width(), 300);
    QCOMPARE(w->yomiPanel->geometry(), QRect(250, 104, 300, 57));
    w->Level2Click(); // tall: rule 5 puts the short window back
    QCOMPARE(w->outerHeight(), 400);
}

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
