// SPDX-License-Identifier: GPL-3.0-or-later
// The on-screen keyboard: the key caps as laid out and drawn, the drill's hint lit red, the
// finger colours of the KeyColor item. The demo-mode question is test_demo's.
#include "core/keytable.h"
#include "core/levels.h"
#include "core/romaji.h"
#include "gui/fonts.h"
#include "testwindow.h"

#include <QFontInfo>
#include <QLabel>
#include <QPushButton>

using namespace rinkaro;

namespace
{

const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);
const QColor black(0, 0, 0);
const QColor indexPink(255, 128, 192);

QColor caption(QLabel *key)
{
    return key->palette().color(QPalette::WindowText);
}
QColor background(QLabel *key)
{
    return key->palette().color(QPalette::Window);
}
QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT
private slots:
    void keysStandWhereDesigned_data();
    void keysStandWhereDesigned();
    void lettersArePanelsOneToTwentySix();
    void captionsAreDrawnInTheCondensedHeavyFace();
    void hintTextsNameTheirKey_data();
    void hintTextsNameTheirKey();
    void drillLightsItsHint_data();
    void drillLightsItsHint();
    void nextHintReplacesTheLastOne();
    void hintAndFingerColourStayIndependent();
    void keyColourTogglesEveryKey();
};

void KeyboardTest::keysStandWhereDesigned_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("panel");
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<QColor>("group");
    const QColor little(0, 128, 64), ring(255, 255, 30), middle(128, 128, 255), index = indexPink;
    struct Row {
        const char *key;
        int panel, left, top;
        QColor group;
    };
    // clang-format off
    const Row rows[] = {
        {"Q", 17, 40, 24, little},   {"W", 23, 104, 24, ring},    {"E", 5, 168, 24, middle},
        {"R", 18, 232, 24, index},   {"T", 20, 296, 24, index},   {"Y", 25, 368, 24, index},
        {"U", 21, 432, 24, index},   {"I", 9, 496, 24, middle},   {"O", 15, 560, 24, ring},
        {"P", 16, 624, 24, little},  {"A", 1, 72, 88, little},    {"S", 19, 136, 88, ring},
        {"D", 4, 200, 88, middle},   {"F", 6, 264, 88, index},    {"G", 7, 328, 88, index},
        {"H", 8, 400, 88, index},    {"J", 10, 464, 88, index},   {"K", 11, 528, 88, middle},
        {"L", 12, 592, 88, ring},    {";", 29, 656, 88, little},  {"Z", 26, 104, 152, little},
        {"X", 24, 168, 152, ring},   {"C", 3, 232, 152, middle},  {"V", 22, 296, 152, index},
        {"B", 2, 360, 152, index},   {"N", 14, 432, 152, index},  {"M", 13, 496, 152, index},
        {",", 27, 560, 152, middle}, {".", 28, 624, 152, ring},   {"/", 30, 688, 152, little},
    };
    // clang-format on
    for (const Row &row : rows)
        QTest::newRow(row.key) << row.key << row.panel << QPoint(row.left, row.top) << row.group;
}

void KeyboardTest::keysStandWhereDesigned()
{
    QFETCH(QString, key);
    QFETCH(int, panel);
    QFETCH(QPoint, position);
    QFETCH(QColor, group);
    TestWindow w;
    QLabel *label = w.find<QLabel>(QStringLiteral("Panel%1").arg(panel));
    QVERIFY(label);
    QCOMPARE(label, w.key(key));
    QCOMPARE(label->parentWidget(), w.keyboard());
    QCOMPARE(label->geometry(), QRect(position, QSize(65, 65)));
    QVERIFY(label->isVisible());
    QCOMPARE(label->text(), key);
    // The home keys F and J: blue, underlined captions.
    const bool home = key == "F" || key == "J";
    QCOMPARE(label->font().underline(), home);
    QCOMPARE(caption(label), home ? blue : black);
    QCOMPARE(background(label), buttonFace());
    w.action(QStringLiteral("KeyColor"))->trigger();
    QCOMPARE(background(label), group);
    QCOMPARE(caption(label), home ? blue : black);
}

void KeyboardTest::lettersArePanelsOneToTwentySix()
{
    TestWindow w;
    for (int n = 1; n <= 26; ++n)
        QCOMPARE(w.find<QLabel>(QStringLiteral("Panel%1").arg(n))->text(),
                 QString(QChar('A' + n - 1)));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Panel27"))->text(), QStringLiteral(","));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Panel28"))->text(), QStringLiteral("."));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Panel29"))->text(), QStringLiteral(";"));
    QCOMPARE(w.find<QLabel>(QStringLiteral("Panel30"))->text(), QStringLiteral("/"));
}

void KeyboardTest::captionsAreDrawnInTheCondensedHeavyFace()
{
    TestWindow w;
    const QStringList faces = QFont::substitutes(impactFamily);
    for (const KeyInfo &info : keyTable) {
        const QFont font = w.key(QLatin1String(info.caption))->font();
        const QFontInfo drawn(font);
        // Not a symbol font that fontconfig may offer for "Impact".
        QVERIFY2(faces.contains(drawn.family(), Qt::CaseInsensitive), qPrintable(drawn.family()));
        QCOMPARE(drawn.pixelSize(), 48);
        QVERIFY(font.bold());
    }
}

void KeyboardTest::hintTextsNameTheirKey_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lit");
    // clang-format off
    QTest::newRow("semicolon") << ";" << ";";
    QTest::newRow("comma") << "," << ",";
    QTest::newRow("full stop") << "." << ".";
    QTest::newRow("slash") << "/" << "/";
    QTest::newRow("a") << "a" << "A";
    QTest::newRow("z") << "z" << "Z";
    QTest::newRow("capital F") << "F" << "";
    QTest::newRow("two letters") << "ka" << "";
    QTest::newRow("space") << " " << "";
    QTest::newRow("minus") << "-" << "";
    QTest::newRow("digit") << "1" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("kana") << "か" << "";
    // clang-format on
}

// The hint texts a drill can hold, down to those that light nothing.
void KeyboardTest::hintTextsNameTheirKey()
{
    QFETCH(QString, text);
    QFETCH(QString, lit);
    const KeyInfo *key = keyForCharacter(text);
    QCOMPARE(key ? QString::fromLatin1(key->caption) : QString(), lit);
}

void KeyboardTest::drillLightsItsHint_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("hint");
    QTest::addColumn<QString>("lit"); // the first key of the level
    const QString phrase = decodePhrase(RomajiTable(), levelInfo(8)->rangeFirst).romajiLine;
    QTest::newRow("key level") << 1 << true << "F";
    QTest::newRow("syllable level") << 5 << true << "A";
    QTest::newRow("phrase level") << 8 << true << phrase.left(1);
    QTest::newRow("key level, no hint") << 2 << false << "";
    QTest::newRow("phrase level, no hint") << 9 << false << "";
}

void KeyboardTest::drillLightsItsHint()
{
    QFETCH(int, level);
    QFETCH(bool, hint);
    QFETCH(QString, lit);
    TestWindow w;
    w.chooseLevel(level);
    if (!hint)
        QTest::mouseClick(w.hintBox(), Qt::LeftButton);
    QCOMPARE(w.hintBox()->isChecked(), hint);
    QCOMPARE(w.litKeys(), QString());
    w.clickStart();
    QCOMPARE(w.litKeys(), lit);
    // Stop shows the first item again, with its hint.
    w.clickStart();
    QVERIFY(!w.running());
    QCOMPARE(w.litKeys(), lit);
}

void KeyboardTest::nextHintReplacesTheLastOne()
{
    TestWindow w;
    w.chooseLevel(1);
    w.clickStart();
    QStringList lit;
    for (int n = 0; n < 4; ++n) {
        lit << w.litKeys();
        QCOMPARE(lit.last(), w.textPanel()->text());
        w.type(w.textPanel()->text().toLower());
    }
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(lit, (QStringList{"F", "J", "F", "J"}));
    // Unlit, the home keys are blue and underlined again.
    QCOMPARE(w.litKeys(), QStringLiteral("A"));
    QCOMPARE(caption(w.key("F")), blue);
    QCOMPARE(caption(w.key("J")), blue);
    QVERIFY(w.key("F")->font().underline() && w.key("J")->font().underline());
}

void KeyboardTest::hintAndFingerColourStayIndependent()
{
    TestWindow w;
    QAction *keyColour = w.action(QStringLiteral("KeyColor"));
    keyColour->trigger();
    w.clickStart();
    QCOMPARE(w.litKeys(), QStringLiteral("F"));
    QCOMPARE(caption(w.key("F")), red);
    QCOMPARE(background(w.key("F")), indexPink);
    w.type('f');
    QCOMPARE(caption(w.key("F")), blue);
    QCOMPARE(background(w.key("F")), indexPink);
    QCOMPARE(w.litKeys(), QStringLiteral("J"));
    keyColour->trigger(); // clearing the colours keeps the hint
    QCOMPARE(caption(w.key("J")), red);
    QCOMPARE(background(w.key("J")), buttonFace());
    keyColour->trigger();
    QCOMPARE(caption(w.key("J")), red);
    QCOMPARE(background(w.key("J")), indexPink);
}

void KeyboardTest::keyColourTogglesEveryKey()
{
    TestWindow w;
    QAction *keyColour = w.action(QStringLiteral("KeyColor"));
    QVERIFY(!keyColour->isChecked());
    keyColour->trigger();
    QVERIFY(keyColour->isChecked());
    for (const KeyInfo &info : keyTable)
        QVERIFY2(background(w.key(QLatin1String(info.caption))) != buttonFace(), info.caption);
    keyColour->trigger();
    QVERIFY(!keyColour->isChecked());
    for (const KeyInfo &info : keyTable)
        QCOMPARE(background(w.key(QLatin1String(info.caption))), buttonFace());
    QCOMPARE(w.litKeys(), QString());
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
