// The romaji settings panel on the real window, and phrase decoding into the window's
// drill state.
#include "core/romaji.h"
#include "testwindow.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace
{

// Every entry that a choice can rewrite, with its start-up value.
const std::pair<int, const char *> firstValues[] = {
    {12, "SI"},  {17, "TI"}, {18, "TU"}, {28, "HU"}, {53, "ZI"},  {75, "SHA"}, {76, "SHU"},
    {77, "SHO"}, {78, "JA"}, {79, "JU"}, {80, "JO"}, {81, "CHA"}, {82, "CHU"}, {83, "CHO"},
};

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

    void decodePhraseFillsTheDrillState();
    void decodePhraseKeepsSlotsBeyondTheCount();
    void slotsWithoutAPhraseDecodeToNothing();
    void decodedPhraseKeepsItsRomajiUntilTheNext();
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
    w->setSpellingClick();
    auto *control = w->settingPanel->findChild<QWidget *>(name);
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
    QVERIFY(!w->settingPanel->isVisible());
    QCOMPARE(w->settingPanel->geometry(), QRect(139, 0, 521, 330));
    const QList<QRadioButton *> buttons = w->settingPanel->findChildren<QRadioButton *>();
    QCOMPARE(buttons.size(), 16);
    for (QRadioButton *button : buttons) {
        const bool second = button->objectName().contains(u'_');
        QCOMPARE(button->isChecked(), !second);
    }
    for (const auto &[index, value] : firstValues)
        QCOMPARE(w->romaji.romaji(index), QString::fromLatin1(value));
}

void SettingPanelTest::tabOrderRunsFromOkThroughTheBoxes()
{
    TestWindow w;
    const QStringList expected{
        "Button2",        "RadioButton1",    "RadioButton_shi", "RadioButton15",  "RadioButton_tsi",
        "RadioButton3",   "RadioButton_tsu", "RadioButton5",    "RadioButton_fu", "RadioButton7",
        "RadioButton_ji", "RadioButton9",    "RadioButton_sya", "RadioButton13",  "RadioButton_tya",
        "RadioButton2",   "RadioButton_jya"};
    QStringList chain;
    QWidget *widget = w->Button2;
    do {
        if (w->settingPanel->isAncestorOf(widget) && widget->focusPolicy() & Qt::TabFocus)
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != w->Button2);
    QCOMPARE(chain, expected);
}

void SettingPanelTest::openingUnrollsThePanelOverTheDrillArea()
{
    TestWindow w;
    for (int round = 1; round <= 2; ++round) {
        w.platform.steps.clear();
        w.platform.recordSteps = true;
        w->setSpellingClick();
        w.platform.recordSteps = false;

        QList<int> expected;
        for (int k = 20; k <= 110; ++k)
            expected << 3 * k;
        QCOMPARE(w.platform.stepHeightsOf(w->settingPanel), expected);
        for (const auto &[widget, geometry] : w.platform.steps)
            if (widget == w->settingPanel)
                QCOMPARE(geometry.topLeft(), QPoint(139, 0));
        QCOMPARE(w->settingPanel->geometry(), QRect(139, 0, 521, 330));
        QVERIFY(w->settingPanel->isVisible());
        QCOMPARE(QApplication::focusWidget(), w->Button2);

        // It lies over the text panel, not under it.
        QWidget *top = w->drillArea->childAt(QPoint(139 + 60, 30));
        QVERIFY(top == w->settingPanel || w->settingPanel->isAncestorOf(top));

        w->Button2Click();
    }
}

void SettingPanelTest::okRollsThePanelUpAndReturnsTheFocus()
{
    TestWindow w;
    w->setSpellingClick();
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    QVERIFY(!w->settingPanel->isVisible());
    QCOMPARE(w->settingPanel->geometry(), QRect(139, 0, 521, 20));
    QCOMPARE(QApplication::focusWidget(), w->Button1);
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
        w->setSpellingClick();
        auto *button = w->settingPanel->findChild<QRadioButton *>(name);
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, 12));
        QVERIFY(button->isChecked());
        QTest::mouseClick(w->Button2, Qt::LeftButton);
    };

    choose(second);
    for (int i = 0; i <= syllableSlots; ++i) {
        const qsizetype k = entries.indexOf(i);
        QCOMPARE(w->romaji.romaji(i), k >= 0 ? secondValues[k] : before.romaji(i));
    }

    choose(first);
    QVERIFY(w->romaji == before);
}

void SettingPanelTest::tickingWithoutOkChangesNothing()
{
    TestWindow w;
    w->setSpellingClick();
    QTest::mouseClick(w->RadioButton_tsi, Qt::LeftButton, {}, QPoint(8, 12));
    QVERIFY(w->RadioButton_tsi->isChecked());
    QCOMPARE(w->romaji.romaji(17), QStringLiteral("TI"));
}

void SettingPanelTest::panelWorksDuringADrill()
{
    TestWindow w;
    w->Level5Click();
    w->Button1Click();
    QCOMPARE(w->Button1->text(), QStringLiteral("ストップ"));

    w->setSpellingClick();
    // Typed keys go to the drill, so a space cannot press OK.
    w.type(' ');
    QVERIFY(w->settingPanel->isVisible());
    QCOMPARE(QApplication::focusWidget(), w->Button2);

    QTest::mouseClick(w->RadioButton_shi, Qt::LeftButton, {}, QPoint(8, 12));
    QVERIFY(w->RadioButton_shi->isChecked());
    QTest::mouseClick(w->Button2, Qt::LeftButton);
    QVERIFY(!w->settingPanel->isVisible());
    QCOMPARE(w->romaji.romaji(12), QStringLiteral("SHI"));
    QCOMPARE(w->Button1->text(), QStringLiteral("ストップ"));
    QCOMPARE(QApplication::focusWidget(), w->Button1);
}

void SettingPanelTest::decodePhraseFillsTheDrillState()
{
    TestWindow w;
    w->syllableNo = 4;
    w->letterPos = 3;
    w->typedLetters = 9;
    w->decodePhrase(45); // phrase 46
    QCOMPARE(w->drillText, QStringLiteral("ちょっとまってください"));
    QCOMPARE(w->romajiLine, QStringLiteral("CHO TTO MA TTE KU DA SA I"));
    QCOMPARE(w->syllableCount, 8);
    const QStringList pieces = w->romajiLine.split(u' ');
    for (int k = 1; k <= 8; ++k)
        QCOMPARE(w->syllableRomaji[k], pieces[k - 1]);
    QCOMPARE(w->syllableNo, 1);
    QCOMPARE(w->letterPos, 1);
    QCOMPARE(w->typedLetters, 0);
}

void SettingPanelTest::decodePhraseKeepsSlotsBeyondTheCount()
{
    TestWindow w;
    w->decodePhrase(37); // よろしくおねがいします: 11 syllables
    QCOMPARE(w->syllableCount, 11);
    w->decodePhrase(1); // ねこ
    QCOMPARE(w->syllableCount, 2);
    QCOMPARE(w->syllableRomaji[1], QStringLiteral("NE"));
    QCOMPARE(w->syllableRomaji[2], QStringLiteral("KO"));
    QCOMPARE(w->syllableRomaji[3], QStringLiteral("SI"));
    QCOMPARE(w->syllableRomaji[11], QStringLiteral("SU"));
}

void SettingPanelTest::slotsWithoutAPhraseDecodeToNothing()
{
    TestWindow w;
    for (int slot : {76, 77, 78, -1, 100000}) {
        w->decodePhrase(0);
        w->letterPos = 5;
        w->decodePhrase(slot);
        QVERIFY(w->drillText.isEmpty());
        QVERIFY(w->romajiLine.isEmpty());
        QCOMPARE(w->syllableCount, 0);
        QCOMPARE(w->letterPos, 1);
    }
}

void SettingPanelTest::decodedPhraseKeepsItsRomajiUntilTheNext()
{
    TestWindow w;
    w->decodePhrase(65); // しつれいします。
    QCOMPARE(w->romajiLine, QStringLiteral("SI TU RE I SI MA SU ."));

    w->setSpellingClick();
    w->RadioButton_shi->setChecked(true);
    w->RadioButton_tsu->setChecked(true);
    w->Button2Click();
    QCOMPARE(w->syllableRomaji[1], QStringLiteral("SI"));
    QCOMPARE(w->romajiLine, QStringLiteral("SI TU RE I SI MA SU ."));

    w->decodePhrase(65);
    QCOMPARE(w->romajiLine, QStringLiteral("SHI TSU RE I SHI MA SU ."));
    QCOMPARE(w->syllableRomaji[5], QStringLiteral("SHI"));
}

QTEST_MAIN(SettingPanelTest)
#include "test_settingpanel.moc"
