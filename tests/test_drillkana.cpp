// Drill runs in the syllable and phrase levels played through the window with real key
// events: the item and its reading line as the panels show them, the lit key, romaji
// choices made in the settings panel during a run, a level chosen during a run and the
// hint check box. The rules of the judges and the masking are the session's
// (test_core_session).
#include "core/romaji.h"
#include "testwindow.h"

#include <QRadioButton>

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

} // namespace

class DrillKanaTest : public QObject
{
    Q_OBJECT
private slots:
    void startAndStopShowTheFirstItem_data();
    void startAndStopShowTheFirstItem();
    void syllableRunsThroughTheWindow();
    void phraseRunThroughTheWindow();
    void romajiChosenInThePanelCountsFromTheNextKey_data();
    void romajiChosenInThePanelCountsFromTheNextKey();
    void levelChangedToOneAlreadyPassedEndsTheRun();
    void hintFollowsTheCheckBoxAtEveryKey_data();
    void hintFollowsTheCheckBoxAtEveryKey();
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
    w.type(lit.toLower());
    QCOMPARE(w.readingPanel()->text(), w->session().readingText());
    w.clickStart();
    QCOMPARE(w.textPanel()->text(), kana);
    QCOMPARE(w.readingPanel()->text(), romaji);
    QCOMPARE(w.litKey(), lit);
    w.type('q');
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w->session().errorCount(), 0);
}

// Two ordered runs of level 5: every syllable shown with its romaji, masked letter by
// letter, wrong keys beeping once each, and the record of the first run kept and shown as
// the best by the worse second one.
void DrillKanaTest::syllableRunsThroughTheWindow()
{
    struct Run {
        int tenths;
        int errors;
        const char *bestShown;
    };
    const double record = 2 + double(31.4f);
    const Run runs[] = {{314, 2, "0.0"}, {300, 4, "33.4"}};
    TestWindow w;
    w.chooseLevel(5);
    quint32 clock = 5000000;
    int beeps = 0;
    for (const Run &run : runs) {
        w.platform.ticks = clock;
        w.clickStart();
        for (int index = 1; index <= 46; ++index) {
            QCOMPARE(w.textPanel()->text(), kanaAt(index));
            const QString romaji = w->session().romaji().romaji(index);
            QCOMPARE(w.readingPanel()->text(), romaji);
            if (index == 6) { // か: wrong keys in the middle leave the same letter expected
                w.type('k');
                QCOMPARE(w.readingPanel()->text(), QStringLiteral("_A"));
                for (int e = 0; e < run.errors; ++e) {
                    w.type(e % 2 ? 'K' : 's');
                    QCOMPARE(w.platform.beeps, ++beeps);
                }
                QCOMPARE(w->session().errorCount(), run.errors);
                QCOMPARE(w.readingPanel()->text(), QStringLiteral("_A"));
                QCOMPARE(w.litKey(), QStringLiteral("A"));
                w.type('a');
                continue;
            }
            if (index == 46)
                w.platform.ticks = clock + quint32(run.tenths) * 100u;
            typeSyllable(w, romaji);
        }
        QVERIFY(!w.running());
        QCOMPARE(w.dialogLabel(5), QStringLiteral("40"));
        QCOMPARE(w.dialogLabel(1), QString::number(run.tenths / 10.0, 'f', 1));
        QCOMPARE(w.dialogLabel(3), QString::number(run.errors));
        QCOMPARE(w.dialogLabel(7), QLatin1String(run.bestShown));
        QCOMPARE(w->scores().best(5, false), record);
        QCOMPARE(w.textPanel()->text(), QStringLiteral("Level5"));
        QCOMPARE(w.readingPanel()->text(), QString());
        QCOMPARE(w.litKeys(), QString());
        clock += 1000000;
    }
    QCOMPARE(w.platform.beeps, 6);
    QCOMPARE(w.platform.modals.size(), size_t(2));
    QCOMPARE(w->scores().best(5, true), 0.0);
}

// An ordered run of level 9: each phrase with its romaji line, the line masked as the keys
// are typed, the lit key before every letter ("-" has no key and lights none).
void DrillKanaTest::phraseRunThroughTheWindow()
{
    const int level = 9;
    TestWindow w;
    w.chooseLevel(level);
    w.platform.ticks = 3000000;
    w.clickStart();
    int errors = 0;
    for (int number = 53; number <= 76; ++number) {
        const DecodedPhrase phrase = decodePhrase(RomajiTable(), number);
        QCOMPARE(w.textPanel()->text(), phrase.kana);
        QCOMPARE(w.readingPanel()->text(), phrase.romajiLine);
        QCOMPARE(w->session().entryIndex(), number);
        if (number == 76)
            w.platform.ticks = 3000000 + 987650;
        int typed = 0;
        for (int s = 1; s <= phrase.syllableCount; ++s) {
            const QString piece = phrase.pieces[s];
            for (int i = 0; i < piece.size(); ++i) {
                const QString letter = piece.mid(i, 1).toUpper();
                QCOMPARE(w.litKey(), w.key(letter) ? letter : QString());
                if (number % 5 == 0 && s == 1 && i == 0) {
                    w.type(piece.at(0).toUpper().toLatin1()); // shifted: wrong
                    QCOMPARE(w.platform.beeps, ++errors);
                }
                w.type(piece.mid(i, 1).toLower());
                ++typed;
                const bool phraseDone = s == phrase.syllableCount && i == piece.size() - 1;
                if (!phraseDone) {
                    // Typed letters and the spaces passed so far are masked, the rest shown.
                    const int masked = typed + (i == piece.size() - 1 ? s : s - 1);
                    QCOMPARE(w.readingPanel()->text(),
                             QString(masked, '_') + phrase.romajiLine.mid(masked));
                }
            }
        }
    }
    QVERIFY(errors > 0);
    QVERIFY(!w.running());
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level%1").arg(level));
    QCOMPARE(w.readingPanel()->text(), QString());
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(5), QStringLiteral("160"));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("987.6"));
    QCOMPARE(w.dialogLabel(3), QString::number(errors));
    QCOMPARE(w.platform.beeps, errors);
    QCOMPARE(w->scores().best(level, false), errors + double(987.6f));
    QCOMPARE(w.litKeys(), QString());
}

void DrillKanaTest::romajiChosenInThePanelCountsFromTheNextKey_data()
{
    QTest::addColumn<bool>("shiBefore"); // as the settings file leaves it
    QTest::addColumn<QString>("typed");  // of し, before the choice
    QTest::addColumn<QString>("button"); // clicked in the panel
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("rest"); // the keys that then finish し
    // "i" was right a moment ago and is wrong now.
    QTest::newRow("SI to SHI") << false << "s"
                               << "RadioButton_shi"
                               << "_HI"
                               << "hi";
    // Now shorter than what was typed: the syllable starts again.
    QTest::newRow("SHI to SI") << true << "sh"
                               << "RadioButton1"
                               << "SI"
                               << "si";
}

void DrillKanaTest::romajiChosenInThePanelCountsFromTheNextKey()
{
    QFETCH(bool, shiBefore);
    QFETCH(QString, typed);
    QFETCH(QString, button);
    QFETCH(QString, reading);
    QFETCH(QString, rest);
    SettingsRecord settings;
    settings.romaji[0] = shiBefore;
    TestWindow w(settings);
    w.chooseLevel(5);
    w.clickStart();
    for (int index = 1; index < 12; ++index)
        typeSyllable(w, w->session().romaji().romaji(index));
    QCOMPARE(w.textPanel()->text(), QStringLiteral("し"));
    w.type(typed);
    const QString shi = QLatin1String(shiBefore ? "SHI" : "SI");
    QCOMPARE(w.readingPanel()->text(), QString(typed.size(), '_') + shi.mid(typed.size()));

    w.action(QStringLiteral("setSpelling"))->trigger();
    QWidget *panel = w.find(QStringLiteral("settingPanel"));
    QVERIFY(panel->isVisible());
    click(panel->findChild<QRadioButton *>(button));
    // Nothing changes before the panel's OK.
    QCOMPARE(w->session().romaji().romaji(12), shi);
    click(panel->findChild<QPushButton *>(QStringLiteral("Button2")));
    QVERIFY(!panel->isVisible());
    QCOMPARE(QApplication::focusWidget(), w.startButton());
    QVERIFY(w.running());

    w.type('i');
    QCOMPARE(w->session().errorCount(), 1);
    QCOMPARE(w.platform.beeps, 1);
    QCOMPARE(w.readingPanel()->text(), reading);
    QCOMPARE(w.litKey(), QString(reading).remove('_').left(1));
    w.type(rest);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("す"));
    QCOMPARE(w->session().errorCount(), 1);
}

// A level chosen from the menu during a run does not stop it: level 8 has 17 phrases and
// item 20 is shown, so the next key ends the run as a level 8 run.
void DrillKanaTest::levelChangedToOneAlreadyPassedEndsTheRun()
{
    TestWindow w;
    w.platform.ticks = 700000;
    w.clickStart();
    w.type("fjfjasdfgfjfj;lkjhf"); // 19 keys: the 20th item is shown
    QCOMPARE(w->session().itemNumber(), 20);
    w.chooseLevel(8);
    QVERIFY(w.running());
    QVERIFY(w.levelItem(8)->isChecked());
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level8"));
    w.platform.ticks = 700000 + 15000;
    w.type('x'); // any key
    QVERIFY(!w.running());
    QCOMPARE(w.platform.beeps, 0);
    QCOMPARE(w.platform.modals.size(), size_t(1));
    QCOMPARE(w.dialogLabel(5), QStringLiteral("150"));
    QCOMPARE(w.dialogLabel(1), QStringLiteral("15.0"));
    QCOMPARE(w->scores().best(8, false), 15.0);
    QCOMPARE(w->scores().best(1, false), 0.0);
    QCOMPARE(w.textPanel()->text(), QStringLiteral("Level8"));
}

void DrillKanaTest::hintFollowsTheCheckBoxAtEveryKey_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("keys"); // right keys from the start, through whole items
    QTest::addColumn<QString>("next"); // the right key after them
    QTest::addColumn<QString>("litAfterWrong");
    QTest::addColumn<QString>("litAfterNext");
    // F J F J, then A; a wrong key leaves the display as it was.
    QTest::newRow("keys") << 1 << "fjfj"
                          << "a"
                          << ""
                          << "S";
    // あいうえお, then the K of か; a wrong key refreshes the syllable with its hint.
    QTest::newRow("syllables") << 5 << "aiueok"
                               << "a"
                               << "A"
                               << "K";
    // さくら, ねこ, then い and the N of ぬ; the phrase's last key shows the next phrase
    // (ありがとう).
    QTest::newRow("phrases") << 7 << "sakuranekoin"
                             << "u"
                             << ""
                             << "A";
}

// The hint is read at every key: off, no key lights through letters, syllables and whole
// items; ticked in the middle of a run, it is back with the next display.
void DrillKanaTest::hintFollowsTheCheckBoxAtEveryKey()
{
    QFETCH(int, level);
    QFETCH(QString, keys);
    QFETCH(QString, next);
    QFETCH(QString, litAfterWrong);
    QFETCH(QString, litAfterNext);
    TestWindow w;
    w.chooseLevel(level);
    click(w.hintBox());
    QVERIFY(!w.hintBox()->isChecked());
    w.clickStart();
    QCOMPARE(w.litKeys(), QString());
    for (const QChar key : keys) {
        w.type(key.toLatin1());
        QCOMPARE(w.litKeys(), QString());
    }
    QCOMPARE(w.platform.beeps, 0);
    click(w.hintBox()); // takes the focus: the keys still go to the drill
    QVERIFY(w.hintBox()->isChecked());
    QCOMPARE(QApplication::focusWidget(), w.hintBox());
    w.type('q');
    QCOMPARE(w.platform.beeps, 1);
    QCOMPARE(w.litKey(), litAfterWrong);
    w.type(next);
    QCOMPARE(w.litKey(), litAfterNext);
    QVERIFY(w.hintBox()->isChecked());
}

QTEST_MAIN(DrillKanaTest)
#include "test_drillkana.moc"
