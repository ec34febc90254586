// SPDX-License-Identifier: GPL-3.0-or-later
// The romaji settings panel on the real window: its controls, its unrolling, and the
// choices it hands to the drill.
#include "core/romaji.h"
#include "testwindow.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

using namespace rinkaro;

namespace
{

// Every entry that a choice can rewrite, with its start-up value.
const std::pair<int, const char *> firstValues[] = {
    {12, "SI"},  {17, "TI"}, {18, "TU"}, {28, "HU"}, {53, "ZI"},  {75, "SHA"}, {76, "SHU"},
    {77, "SHO"}, {78, "JA"}, {79, "JU"}, {80, "JO"}, {81, "CHA"}, {82, "CHU"}, {83, "CHO"},
};

QFrame *panelOf(const TestWindow &w)
{
    return w.find<QFrame>(QStringLiteral("settingPanel"));
}
QPushButton *okButton(const TestWindow &w)
{
    return w.find<QPushButton>(QStringLiteral("Button2"));
}
QRadioButton *radioButton(const TestWindow &w, const QString &name)
{
    return panelOf(w)->findChild<QRadioButton *>(name);
}
// On the button's round indicator.
void tick(QRadioButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 12));
}
void openPanel(const TestWindow &w)
{
    w.action(QStringLiteral("setSpelling"))->trigger();
}
void clickOk(const TestWindow &w)
{
    QTest::mouseClick(okButton(w), Qt::LeftButton);
}

} // namespace

class SettingPanelTest : public QObject
{
    Q_OBJECT
private slots:

    void controlsStandInPlace_data();
    void controlsStandInPlace();
    void firstButtonsAreTickedAtStart();
    void tabOrderRunsFromOkThroughTheBoxes();
    void openingUnrollsThePanelOverTheDrillArea();
    void okRollsThePanelUpAndReturnsTheFocus();
    void choiceIsAppliedByOk_data();
    void choiceIsAppliedByOk();
    void tickingWithoutOkChangesNothing();
    void panelWorksDuringADrill();
    void phraseShownKeepsItsRomajiUntilTheNext();
};

void SettingPanelTest::controlsStandInPlace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");

    auto row = [](const char *name, const char *parent, QRect geometry, const char *caption) {
        QTest::newRow(name) << name << parent << geometry << QString::fromUtf8(caption);
    };
    row("Button2", "settingPanel", {408, 288, 81, 25}, "OK");
    row("Bevel1", "settingPanel", {154, 24, 2, 249}, "");
    row("Bevel2", "settingPanel", {296, 24, 2, 249}, "");
    row("GroupBox1", "settingPanel", {32, 24, 105, 73}, "し");
    row("GroupBox2", "settingPanel", {32, 104, 105, 73}, "ち");
    row("GroupBox3", "settingPanel", {32, 184, 105, 73}, "つ");
    row("GroupBox4", "settingPanel", {168, 24, 105, 73}, "ふ");
    row("GroupBox5", "settingPanel", {168, 112, 105, 73}, "じ");
    row("GroupBox6", "settingPanel", {312, 24, 193, 73}, "しゃ,しゅ,しょ");
    row("GroupBox8", "settingPanel", {312, 112, 193, 73}, "じゃ,じゅ,じょ");
    row("GroupBox7", "settingPanel", {312, 200, 193, 73}, "ちゃ,ちゅ,ちょ");
    row("RadioButton1", "GroupBox1", {32, 16, 41, 25}, "si");
    row("RadioButton_shi", "GroupBox1", {32, 40, 49, 25}, "shi");
    row("RadioButton15", "GroupBox2", {32, 16, 41, 25}, "ti");
    row("RadioButton_tsi", "GroupBox2", {32, 40, 49, 25}, "tsi");
    row("RadioButton3", "GroupBox3", {32, 16, 41, 25}, "tu");
    row("RadioButton_tsu", "GroupBox3", {32, 40, 49, 25}, "tsu");
    row("RadioButton5", "GroupBox4", {32, 16, 41, 25}, "hu");
    row("RadioButton_fu", "GroupBox4", {32, 40, 49, 25}, "fu");
    row("RadioButton7", "GroupBox5", {32, 16, 41, 25}, "zi");
    row("RadioButton_ji", "GroupBox5", {32, 40, 49, 25}, "ji");
    row("RadioButton9", "GroupBox6", {56, 16, 121, 25}, "sha,shu,sho");
    row("RadioButton_sya", "GroupBox6", {56, 40, 121, 25}, "sya,syu,syo");
    row("RadioButton2", "GroupBox8", {48, 16, 121, 25}, "ja,ju,jo");
    row("RadioButton_jya", "GroupBox8", {48, 40, 121, 25}, "jya,jyu,jyo");
    row("RadioButton13", "GroupBox7", {48, 16, 121, 25}, "cha,chu,cho");
    row("RadioButton_tya", "GroupBox7", {48, 40, 121, 25}, "tya,tyu,tyo");
}

void SettingPanelTest::controlsStandInPlace()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    TestWindow w;
    openPanel(w);
    auto *control = panelOf(w)->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisible());
    QVERIFY(!control->testAttribute(Qt::WA_InputMethodEnabled));

    if (auto *box = qobject_cast<QGroupBox *>(control))
        QCOMPARE(box->title(), caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        QCOMPARE(button->text(), caption);
    if (name.startsWith(u"GroupBox") || name.startsWith(u"RadioButton")) {
        const QFontInfo font(control->font());
        QCOMPARE(font.family(), QStringLiteral("IPAGothic"));
        QCOMPARE(font.pixelSize(), 16);
        QVERIFY(font.bold());
        QCOMPARE(control->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
}

void SettingPanelTest::firstButtonsAreTickedAtStart()
{
    TestWindow w;
    QVERIFY(!panelOf(w)->isVisible());
    QCOMPARE(panelOf(w)->geometry(), QRect(139, 0, 521, 330));
    const QList<QRadioButton *> buttons = panelOf(w)->findChildren<QRadioButton *>();
    QCOMPARE(buttons.size(), 16);
    for (QRadioButton *button : buttons) {
        const bool second = button->objectName().contains(u'_');
        QCOMPARE(button->isChecked(), !second);
    }
    for (const auto &[index, value] : firstValues)
        QCOMPARE(w.romajiShown(index), QString::fromLatin1(value));
}

void SettingPanelTest::tabOrderRunsFromOkThroughTheBoxes()
{
    TestWindow w;
    const QStringList expected{
        "Button2",        "RadioButton1",    "RadioButton_shi", "RadioButton15",  "RadioButton_tsi",
        "RadioButton3",   "RadioButton_tsu", "RadioButton5",    "RadioButton_fu", "RadioButton7",
        "RadioButton_ji", "RadioButton9",    "RadioButton_sya", "RadioButton2",   "RadioButton_jya",
        "RadioButton13",  "RadioButton_tya"};
    QStringList chain;
    QWidget *widget = okButton(w);
    do {
        if (panelOf(w)->isAncestorOf(widget) && widget->focusPolicy() & Qt::TabFocus)
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != okButton(w));
    QCOMPARE(chain, expected);
}

void SettingPanelTest::openingUnrollsThePanelOverTheDrillArea()
{
    TestWindow w;
    QFrame *panel = panelOf(w);
    for (int round = 1; round <= 2; ++round) {
        w.platform.steps.clear();
        w.platform.recordSteps = true;
        openPanel(w);
        w.platform.recordSteps = false;

        QList<int> expected;
        for (int k = 20; k <= 110; ++k)
            expected << 3 * k;
        QCOMPARE(w.platform.stepHeightsOf(panel), expected);
        for (const auto &[widget, geometry] : w.platform.steps)
            if (widget == panel)
                QCOMPARE(geometry.topLeft(), QPoint(139, 0));
        QCOMPARE(panel->geometry(), QRect(139, 0, 521, 330));
        QVERIFY(panel->isVisible());
        QCOMPARE(QApplication::focusWidget(), okButton(w));

        // It lies over the text panel, not under it.
        QWidget *top = w.find(QStringLiteral("drillArea"))->childAt(QPoint(139 + 60, 30));
        QVERIFY(top == panel || panel->isAncestorOf(top));

        clickOk(w);
    }
}

void SettingPanelTest::okRollsThePanelUpAndReturnsTheFocus()
{
    TestWindow w;
    openPanel(w);
    clickOk(w);
    QVERIFY(!panelOf(w)->isVisible());
    QCOMPARE(panelOf(w)->geometry(), QRect(139, 0, 521, 20));
    QCOMPARE(QApplication::focusWidget(), w.startButton());
}

void SettingPanelTest::choiceIsAppliedByOk_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QList<int>>("entries");
    QTest::addColumn<QStringList>("secondValues");

    auto row = [](const char *first, const char *second, QList<int> entries, QStringList values) {
        QTest::newRow(second) << first << second << entries << values;
    };
    row("RadioButton1", "RadioButton_shi", {12}, {"SHI"});
    row("RadioButton15", "RadioButton_tsi", {17}, {"TSI"});
    row("RadioButton3", "RadioButton_tsu", {18}, {"TSU"});
    row("RadioButton5", "RadioButton_fu", {28}, {"FU"});
    row("RadioButton7", "RadioButton_ji", {53}, {"JI"});
    row("RadioButton9", "RadioButton_sya", {75, 76, 77}, {"SYA", "SYU", "SYO"});
    row("RadioButton2", "RadioButton_jya", {78, 79, 80}, {"JYA", "JYU", "JYO"});
    row("RadioButton13", "RadioButton_tya", {81, 82, 83}, {"TYA", "TYU", "TYO"});
}

void SettingPanelTest::choiceIsAppliedByOk()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QList<int>, entries);
    QFETCH(QStringList, secondValues);
    TestWindow w;
    const RomajiTable before;

    auto choose = [&](const QString &name) {
        openPanel(w);
        QRadioButton *button = radioButton(w, name);
        QVERIFY(button);
        tick(button);
        QVERIFY(button->isChecked());
        clickOk(w);
    };

    // Which entries a choice rewrites is the romaji table's rule; here each button reaches
    // the drill.
    choose(second);
    for (int k = 0; k < entries.size(); ++k)
        QCOMPARE(w.romajiShown(entries[k]), secondValues[k]);

    choose(first);
    for (const int entry : entries)
        QCOMPARE(w.romajiShown(entry), before.romaji(entry));
}

void SettingPanelTest::tickingWithoutOkChangesNothing()
{
    TestWindow w;
    openPanel(w);
    tick(radioButton(w, QStringLiteral("RadioButton_tsi")));
    QVERIFY(radioButton(w, QStringLiteral("RadioButton_tsi"))->isChecked());
    QCOMPARE(w.romajiShown(17), QStringLiteral("TI"));
}

void SettingPanelTest::panelWorksDuringADrill()
{
    TestWindow w;
    w.chooseLevel(5);
    w.clickStart();
    QVERIFY(w.running());

    openPanel(w);
    // Typed keys go to the drill, so a space cannot press OK.
    w.type(' ');
    QVERIFY(panelOf(w)->isVisible());
    QCOMPARE(QApplication::focusWidget(), okButton(w));
    QCOMPARE(w.platform.beeps, 1);

    QRadioButton *shi = radioButton(w, QStringLiteral("RadioButton_shi"));
    tick(shi);
    QVERIFY(shi->isChecked());
    clickOk(w);
    QVERIFY(!panelOf(w)->isVisible());
    QVERIFY(w.running());
    QCOMPARE(QApplication::focusWidget(), w.startButton());
    // The run goes on: あ is still the item, and its key is judged.
    QCOMPARE(w.textPanel()->text(), QStringLiteral("あ"));
    w.type('a');
    QCOMPARE(w.textPanel()->text(), QStringLiteral("い"));
    QCOMPARE(w.platform.beeps, 1);
}

// A phrase on show keeps the romaji it was decoded with; the choice shows from the next
// time a phrase is decoded.
void SettingPanelTest::phraseShownKeepsItsRomajiUntilTheNext()
{
    TestWindow w;
    w.chooseLevel(7);
    w.clickStart();
    // Whole phrases typed from the reading line until one with ち is shown.
    QString reading = w.readingPanel()->text();
    int phrases = 0;
    for (; phrases < 35 && !reading.split(u' ').contains(QStringLiteral("TI")); ++phrases) {
        w.type(reading.toLower().remove(u' '));
        reading = w.readingPanel()->text();
    }
    QVERIFY(reading.split(u' ').contains(QStringLiteral("TI")));
    const QString kana = w.textPanel()->text();

    openPanel(w);
    tick(radioButton(w, QStringLiteral("RadioButton_tsi")));
    clickOk(w);
    QCOMPARE(w.readingPanel()->text(), reading);

    // The phrase on show is still typed with the keys it was decoded with.
    w.type(reading.toLower().remove(u' '));
    QVERIFY(w.textPanel()->text() != kana);
    QCOMPARE(w.platform.beeps, 0);
    // Run again from the start: the same phrase, decoded anew, reads TSI.
    w.clickStart();
    w.clickStart();
    QStringList renewed = reading.split(u' ');
    renewed.replaceInStrings(QRegularExpression(QStringLiteral("^TI$")), QStringLiteral("TSI"));
    for (int k = 0; k < phrases; ++k)
        w.type(w.readingPanel()->text().toLower().remove(u' '));
    QCOMPARE(w.textPanel()->text(), kana);
    QCOMPARE(w.readingPanel()->text(), renewed.join(u' '));
    QCOMPARE(w.platform.beeps, 0);
}

QTEST_MAIN(SettingPanelTest)
#include "test_settingpanel.moc"
