// SPDX-License-Identifier: GPL-3.0-or-later
// Drill runs in the syllable and phrase levels played through the window with real key
// events: the item and its reading line as the panels show them, the lit key, romaji
// choices made in the settings panel during a run, a level chosen during a run and the
// hint check box. The rules of the judges and the masking are the session's
// (test_core_session); here a session of the test's own says what the window must show.
#include "core/drillsession.h"
#include "core/keytable.h"
#include "core/romaji.h"
#include "labellook.h"
#include "testwindow.h"

#include <QRadioButton>

using namespace rinkaro;

namespace
{

// Types one syllable level item, checking the hint before each letter.
void typeSyllable(const TestWindow &w, const QString &romaji)
{
    for (int i = 0; i < romaji.size(); ++i) {
        QCOMPARE(w.litKey(), romaji.mid(i, 1));
        w.type(romaji.mid(i, 1).toLower());
    }
}

void click(QWidget *widget)
{
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton);
}

// What the drill area shows: the item, its reading line and the lit key.
QString shown(const TestWindow &w)
{
    return w.textPanel()->text() + u'|' + w.readingPanel()->text() + u'|' + w.litKeys();
}
QString shown(const DrillSession &session)
{
    const KeyInfo *key = keyForCharacter(session.hintKey());
    return session.mainText() + u'|' + session.readingText() + u'|' +
           (key ? QLatin1String(key->caption) : QLatin1String());
}

// A session of the test's own in an ordered run of `level`, as the window's starts.
struct ExpectedRun {
    DrillSession session{[](int) { return 0; }};
    explicit ExpectedRun(int level, quint32 nowMs)
    {
        session.selectLevel(level);
        session.start(nowMs);
    }
};

} // namespace

class DrillKanaTest : public QObject
{
    Q_OBJECT
private slots:
    void startAndStopShowTheFirstItem_data();
    void startAndStopShowTheFirstItem();
    void runShowsWhatTheSessionShowsAtEveryKey_data();
    void runShowsWhatTheSessionShowsAtEveryKey();
    void romajiChosenInThePanelCountsFromTheNextKey();
    void levelChosenDuringARunKeepsItGoing();
    void hintFollowsTheCheckBoxAtEveryKey();
    void keyTheKeyboardLacksIsNamed();
    void drillAreaOnScreenIsWhatAWholeRepaintDraws_data();
    void drillAreaOnScreenIsWhatAWholeRepaintDraws();
};

void DrillKanaTest::startAndStopShowTheFirstItem_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("kana");
    QTest::addColumn<QString>("romaji");
    QTest::addColumn<QString>("lit");
    QTest::newRow("syllables") << 6 << "が"
                               << "GA"
                               << "G";
    const DecodedPhrase phrase = decodePhrase(RomajiTable(), 53);
    QTest::newRow("phrases") << 9 << phrase.kana << phrase.romajiLine << phrase.romajiLine.left(1);
}

void DrillKanaTest::startAndStopShowTheFirstItem()
{
    QFETCH(int, level);
    QFETCH(QString, kana);
    QFETCH(QString, romaji);
    QFETCH(QString, lit);
    TestWindow w;
    w.chooseLevel(level);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level%1").arg(level));
    w.clickStart();
    QCOMPARE(w.textPanel()->text(), kana);
    QCOMPARE(w.readingPanel()->text(), romaji);
    QCOMPARE(w.litKey(), lit);
    QVERIFY(w.readingPanel()->isVisible());

    // Stop shows the first item again, with its hint, and judges nothing.
    ExpectedRun expected(level, 0);
    expected.session.keyTyped(lit.toLower().at(0).toLatin1(), 0);
    w.type(lit.toLower());
    QCOMPARE(w.readingPanel()->text(), expected.session.readingText());
    w.clickStart();
    QCOMPARE(w.textPanel()->text(), kana);
    QCOMPARE(w.readingPanel()->text(), romaji);
    QCOMPARE(w.litKey(), lit);
    w.type('q');
    QCOMPARE(w.platform.beeps, 0);
}

void DrillKanaTest::runShowsWhatTheSessionShowsAtEveryKey_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("standard");
    QTest::newRow("syllables") << 5 << "40";
    QTest::newRow("phrases") << 9 << "160";
}

// A whole ordered run typed through the window, a space now and then: after every key the
// panels and the lit key show what the session shows, each counted error beeps once, and
// the end shows the typing-time dialog and the level again.
void DrillKanaTest::runShowsWhatTheSessionShowsAtEveryKey()
{
    QFETCH(int, level);
    QFETCH(QString, standard);
    TestWindow w;
    w.chooseLevel(level);
    w.platform.ticks = 3000000;
    w.clickStart();
    w.platform.ticks += 987650; // every key at the end: the run's time
    ExpectedRun expected(level, 3000000);
    int errors = 0;
    for (int n = 0; w.running() && n < 2000; ++n) {
        QCOMPARE(shown(w), shown(expected.session));
        QVERIFY(!expected.session.hintKey().isEmpty());
        const char key = n % 7 == 3 ? ' ' : expected.session.hintKey().at(0).toLatin1();
        w.type(key);
        errors += expected.session.keyTyped(key, w.platform.ticks).errorCounted;
        QCOMPARE(w.platform.beeps, errors);
    }
    QVERIFY(errors > 0);
    QVERIFY(!expected.session.running());
    QCOMPARE(shown(w), shown(expected.session));
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level%1").arg(level));
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("987.6"));
    QCOMPARE(w.dialogLabel(3), QString::number(errors));
    QCOMPARE(w.dialogLabel(5), standard);
    QCOMPARE(w.dialogLabel(7), QStringLiteral("0.0"));
}

// SI chosen as SHI while し is half typed: "i" was right a moment ago and is wrong now.
// How each choice changes a syllable half typed is the session's rule.
void DrillKanaTest::romajiChosenInThePanelCountsFromTheNextKey()
{
    TestWindow w;
    w.chooseLevel(5);
    w.clickStart();
    for (int index = 1; index < 12; ++index)
        typeSyllable(w, w.readingPanel()->text());
    QCOMPARE(w.textPanel()->text(), QStringLiteral("し"));
    w.type('s');
    QCOMPARE(w.readingPanel()->text(), QStringLiteral("_I"));

    w.action(QStringLiteral("setSpelling"))->trigger();
    QWidget *panel = w.find(QStringLiteral("settingPanel"));
    QVERIFY(panel->isVisible());
    click(panel->findChild<QRadioButton *>(QStringLiteral("RadioButton_shi")));
    click(panel->findChild<QPushButton *>(QStringLiteral("Button2")));
    QVERIFY(!panel->isVisible());
    QCOMPARE(QApplication::focusWidget(), w.startButton());
    QVERIFY(w.running());

    w.type('i');
    QCOMPARE(w.platform.beeps, 1);
    QCOMPARE(w.readingPanel()->text(), QStringLiteral("_HI"));
    QCOMPARE(w.litKey(), QStringLiteral("H"));
    w.type("hi");
    QCOMPARE(w.textPanel()->text(), QStringLiteral("す"));
    QCOMPARE(w.platform.beeps, 1);
}

// A level chosen from the menu during a run does not stop it, and the keys still go to the
// run: level 8 has 17 phrases and item 20 is shown, so the next key ends the run as a
// level 8 run.
void DrillKanaTest::levelChosenDuringARunKeepsItGoing()
{
    TestWindow w;
    w.platform.ticks = 700000;
    w.clickStart();
    w.type("fjfjasdfgfjfj;lkjhf"); // 19 keys: the 20th item is shown
    QCOMPARE(w.textPanel()->text(), QStringLiteral("D"));
    w.chooseLevel(8);
    QVERIFY(w.running());
    QCOMPARE(w.tickedLevel(), 8);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level8"));
    w.platform.ticks = 700000 + 15000;
    w.type('x'); // any key
    QVERIFY(!w.running());
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(5), QStringLiteral("150"));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("15.0"));
    QCOMPARE(w.best(8, false), 15.0);
    QCOMPARE(w.best(1, false), 0.0);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level8"));
}

// The hint is read at every display: off, no key lights through letters and syllables;
// ticked in the middle of a run (the box takes the focus, the keys still go to the drill),
// it is back with the next display. Which display a key refreshes is the session's rule.
void DrillKanaTest::hintFollowsTheCheckBoxAtEveryKey()
{
    TestWindow w;
    w.chooseLevel(5);
    click(w.hintBox());
    QVERIFY(!w.hintBox()->isChecked());
    w.clickStart();
    for (const char key : QByteArray("aiueok")) { // あいうえお, then the K of か
        QCOMPARE(w.litKeys(), QString());
        w.type(key);
    }
    QCOMPARE(w.litKeys(), QString());
    QCOMPARE(w.platform.beeps, 0);
    click(w.hintBox());
    QVERIFY(w.hintBox()->isChecked());
    QCOMPARE(QApplication::focusWidget(), w.hintBox());
    w.type('q'); // wrong: the syllable is shown again, with its hint
    QCOMPARE(w.platform.beeps, 1);
    QCOMPARE(w.litKey(), QStringLiteral("A"));
    w.type('a');
    QCOMPARE(w.litKey(), QStringLiteral("K"));
    QVERIFY(w.hintBox()->isChecked());
}

// ー's key "-" is not on the keyboard, so nothing lit told the learner what to type: its key
// is named in the text panel's corner while it is next, and only then.
void DrillKanaTest::keyTheKeyboardLacksIsNamed()
{
    TestWindow w;
    w.chooseLevel(7);
    w.clickStart();
    auto *named = w.find<QLabel>(QStringLiteral("offKeyLabel"));
    int keys = 0;
    while (w.running() && !w.litKey().isEmpty() && keys++ < 1000) {
        QVERIFY(!named->isVisible());
        w.type(w.litKey().toLower());
    }
    QVERIFY(w.running());
    QCOMPARE(w.textPanel()->text(), QStringLiteral("らーめん"));
    QVERIFY(named->isVisible());
    QCOMPARE(named->text(), QStringLiteral("キー: -"));
    w.type('-');
    QCOMPARE(w.platform.beeps, 0);
    QVERIFY(!named->isVisible());
    QCOMPARE(w.litKey(), QStringLiteral("M"));
}

void DrillKanaTest::drillAreaOnScreenIsWhatAWholeRepaintDraws_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("keys");
    QTest::newRow("keys") << 1 << 12;
    QTest::newRow("syllables") << 5 << 12;
    QTest::newRow("phrases") << 9 << 40;
}

// Each key repaints only what changed, some of it from pictures kept of it. Faults: the
// keyboard, the drill line or its reading shown stale after some keys, a wrong one and the
// key that finishes an item (a cell left out of a repaint, a picture of another look).
void DrillKanaTest::drillAreaOnScreenIsWhatAWholeRepaintDraws()
{
    QFETCH(int, level);
    QFETCH(int, keys);
    TestWindow w;
    w.chooseLevel(level);
    w.clickStart();
    for (int k = 0; k < keys && w.running(); ++k) {
        if (k == 3)
            w.type('q'); // wrong in every level's first items
        w.type(w.litKey().toLower());
    }
    QVERIFY(w.running());
    QCoreApplication::processEvents();
    QList<QLabel *> labels{w.textPanel(), w.readingPanel()};
    for (const KeyInfo &info : keyTable)
        labels << w.key(QLatin1String(info.caption));
    for (QLabel *label : labels)
        if (label->isVisible())
            QVERIFY2(onScreen(label) == drawnByQLabel(label), qPrintable(label->objectName()));
}

QTEST_MAIN(DrillKanaTest)
#include "test_drillkana.moc"
