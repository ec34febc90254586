// SPDX-License-Identifier: GPL-3.0-or-later
// The weak-spot drills in the window: the two menu items, a run of each through real key
// events, what the typing-time dialog and the history make of it, and the settings file; the
// dialog naming the weakest after a regular run with its button, and the option that favours
// them in random runs.
#include "testwindow.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

using namespace rinkaro;

namespace
{

// Runs of level 1 with "g" missed often, and of level 5 with "し" missed often.
const QByteArray history =
    "2026-12-07T10:00:00+09:00\t1\to\t20.0\t6\t26.0\t0\tg>h g>h g>h g>f g>f g>t\t"
    ";:2 a:4 d:4 f:8 g:3 h:4 j:8 k:4 l:4 s:4\t\n"
    "2026-12-07T10:05:00+09:00\t5\to\t40.0\t4\t44.0\t0\tし:h>j し:h>j し:i>u し:s>a\t"
    "a:9 h:2 i:3 s:2\tあ:1 い:1 か:1 さ:1 し:2\n";

// What the progress window's "選んだ所を練習" asks of the main window.
void practise(const TestWindow &w, int level, const QStringList &marked)
{
    QVERIFY(QMetaObject::invokeMethod(w.window(), "practiseSelection", Q_ARG(int, level),
                                      Q_ARG(QStringList, marked)));
}

// A weak drill chosen before the history is read is made once it is, the text panel saying
// so meanwhile.
const QString historyBeingRead = QStringLiteral("記録を読み込んでいます…");
void waitForHistory(const TestWindow &w)
{
    QTRY_VERIFY(w.textPanel()->text() != historyBeingRead);
}

QList<QByteArray> logLines(const TestWindow &w)
{
    QFile file(w.dir.filePath(QStringLiteral("RK.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

} // namespace

class WeakDrillTest : public QObject
{
    Q_OBJECT
private slots:
    void withoutHistoryTheLevelStays_data();
    void withoutHistoryTheLevelStays();
    void runsOfEachKind_data();
    void runsOfEachKind();
    void marksWithNothingToDrillAreRefused_data();
    void marksWithNothingToDrillAreRefused();
    void panelsCloseBeforeASelectionIsPractised();
    void dialogOffersTheWeakest();
    void optionFavoursTheWeakest();
    void heldKeyJudgedOnce();
};

void WeakDrillTest::withoutHistoryTheLevelStays_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("advice");
    QTest::newRow("keys") << "weakKeysItem"
                          << "レベル1〜4を練習すると";
    QTest::newRow("kana") << "weakKanaItem"
                          << "レベル5〜9を練習すると";
}

void WeakDrillTest::withoutHistoryTheLevelStays()
{
    QFETCH(QString, item);
    QFETCH(QString, advice);
    TestWindow w;
    w.chooseLevel(3);
    w.action(item)->trigger();
    waitForHistory(w);
    QVERIFY(w.platform.messages.back().text.contains(advice));
    QCOMPARE(w.tickedLevel(), 3);
    QVERIFY(!w.action(item)->isChecked());
}

void WeakDrillTest::runsOfEachKind_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("weakest"); // as the dialog names it
    QTest::addColumn<bool>("reading");
    QTest::addColumn<QByteArray>("level");
    QTest::addColumn<QString>("before"); // as the statistics window shows it
    QTest::newRow("keys") << "weakKeysItem"
                          << "G " << false << QByteArray("10") << "39%";
    QTest::newRow("kana") << "weakKanaItem"
                          << "し " << true << QByteArray("11") << "50%";
}

// A weak run takes the layout of its kind, comes up with its weakest item often, shows "—" for
// the standard and best times and the weak spots below, is logged with its own level and
// leaves the records and the stored level alone.
void WeakDrillTest::runsOfEachKind()
{
    QFETCH(QString, item);
    QFETCH(QString, weakest);
    QFETCH(bool, reading);
    QFETCH(QByteArray, level);
    QFETCH(QString, before);
    TestWindow w;
    QFile log(w.dir.filePath(QStringLiteral("RK.log")));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write(history) == history.size());
    log.close();
    w.chooseLevel(2);
    // Chosen before the history was read: the choice returns at once, ticked, and is made
    // when the history is in.
    w.action(item)->trigger();
    QCOMPARE(w.textPanel()->text(), historyBeingRead);
    QCOMPARE(w.tickedLevel(), 0);
    QVERIFY(w.action(item)->isChecked());
    w.clickStart(); // remembered too: the run starts once the drill is made
    QVERIFY(!w.running());
    waitForHistory(w);
    QVERIFY(w.running());
    w.clickStart();
    QCOMPARE(w.tickedLevel(), 0);
    QVERIFY(w.action(item)->isChecked());
    QCOMPARE(w.readingPanel()->isVisible(), reading);
    // The weak set is named before the run starts: kana on the reading row, keys in the text
    // panel.
    const QLabel *named = reading ? w.readingPanel() : w.textPanel();
    QVERIFY2(named->text().startsWith(QStringLiteral("苦手: ") + weakest),
             qPrintable(named->text()));

    w.clickStart();
    w.type('=');
    int items = 0, weakItems = 0;
    while (w.running() && items < 100) {
        ++items;
        weakItems += w.textPanel()->text() == weakest.trimmed();
        w.type(reading ? w.readingPanel()->text().toLower() : w.textPanel()->text().toLower());
    }
    QCOMPARE(items, reading ? 46 : 34);
    QVERIFY2(weakItems >= items / 6, qPrintable(QString::number(weakItems)));
    QCOMPARE(w.dialogLabel(3), QStringLiteral("1"));
    QCOMPARE(w.dialogLabel(5), QStringLiteral("—"));
    QCOMPARE(w.dialogLabel(7), QStringLiteral("—"));
    QVERIFY2(w.platform.modalLabel(QStringLiteral("weakSpotsLabel")).contains(weakest + before),
             qPrintable(w.platform.modalLabel(QStringLiteral("weakSpotsLabel"))));
    QCOMPARE(w.platform.modalLabel(QStringLiteral("weakSpotsCaption")),
             QStringLiteral("苦手な所のミス率（これまで → 今回）"));

    const QList<QByteArray> lines = logLines(w);
    QCOMPARE(lines.size(), 4); // the two runs before, this one, and the last line's end
    QCOMPARE(lines[2].split('\t').at(1), level);
    QCOMPARE(lines[2].split('\t').at(6), QByteArray("0"));
    QCOMPARE(w.best(2, false), 0.0);
    const SettingsRecord stored =
        readSettingsFile(w.dir.filePath(QStringLiteral("RK.set"))).value_or(SettingsRecord());
    QCOMPARE(stored.level, 2);
    w.restart();
    QCOMPARE(w.tickedLevel(), 2);
}

void WeakDrillTest::marksWithNothingToDrillAreRefused_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QStringList>("marked");
    QTest::addColumn<QString>("advice");
    const QString kana = QStringLiteral("レベル5〜9を練習すると");
    QTest::newRow("only っ marked") << 11 << QStringList{QStringLiteral("っ")} << kana;
    QTest::newRow("っ marked twice")
        << 11 << QStringList{QStringLiteral("っ"), QStringLiteral("っ")} << kana;
    QTest::newRow("no marks, no kana runs") << 11 << QStringList() << kana;
    QTest::newRow("a key that is not drilled")
        << 10 << QStringList{QStringLiteral("@")} << QStringLiteral("レベル1〜4を練習すると");
}

// With nothing that could be drilled, Start ran an empty drill that the first key ended, and
// its junk line went into RK.log.
void WeakDrillTest::marksWithNothingToDrillAreRefused()
{
    QFETCH(int, level);
    QFETCH(QStringList, marked);
    QFETCH(QString, advice);
    TestWindow w;
    w.chooseLevel(3);
    const qsizetype messages = w.platform.messages.size();
    practise(w, level, marked);
    waitForHistory(w);
    QCOMPARE(w.platform.messages.size(), messages + 1);
    QVERIFY(w.platform.messages.back().text.contains(advice));
    QVERIFY(!w.running());
    QCOMPARE(w.tickedLevel(), 3);
    w.clickStart();
    w.type('o');
    w.clickStart();
    QVERIFY(w.platform.modals.empty());
    QVERIFY(logLines(w).isEmpty());
}

// A selection practised while ローマ字設定 was open ran hidden under the panel.
void WeakDrillTest::panelsCloseBeforeASelectionIsPractised()
{
    TestWindow w;
    QFile log(w.dir.filePath(QStringLiteral("RK.log")));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write(history) == history.size());
    log.close();
    for (const char *item : {"setSpelling", "showScore"}) {
        w.action(QString::fromLatin1(item))->trigger();
        practise(w, 11, {QStringLiteral("し")});
        waitForHistory(w);
        QVERIFY(w.running());
        QCOMPARE(w.find(QStringLiteral("settingPanel"))->isVisible(), false);
        QCOMPARE(w.find(QStringLiteral("scorePanel"))->isVisible(), false);
        QCOMPARE(w.textPanel()->isVisible(), true);
        w.clickStart(); // stop
    }
}

// After a regular run the dialog names the weakest keys; its button starts their drill.
void WeakDrillTest::dialogOffersTheWeakest()
{
    TestWindow w;
    QFile log(w.dir.filePath(QStringLiteral("RK.log")));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write(history) == history.size());
    log.close();
    w.chooseLevel(1);
    w.platform.onModal = [](QDialog *dialog) {
        QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("weakestLabel"))->text(),
                 QStringLiteral("苦手: G ; A"));
        auto *button = dialog->findChild<QPushButton *>(QStringLiteral("practiseWeakButton"));
        QVERIFY(button->isVisible());
        QCOMPARE(button->text(), QStringLiteral("苦手を練習"));
        QTest::mouseClick(button, Qt::LeftButton);
    };
    w.clickStart();
    w.type(levelInfo(1)->keyString);
    QVERIFY(w.platform.modalLabel(QStringLiteral("weakSpotsLabel")).isEmpty());
    w.platform.onModal = {};
    QVERIFY(w.action(QStringLiteral("weakKeysItem"))->isChecked());
    QVERIFY(w.running());
}

// The option is kept in RK.ini, and random runs of level 1 then draw the five weakest keys
// more often than the others.
void WeakDrillTest::optionFavoursTheWeakest()
{
    TestWindow w;
    QFile log(w.dir.filePath(QStringLiteral("RK.log")));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write(history) == history.size());
    log.close();
    QAction *item = w.action(QStringLiteral("favourWeakItem"));
    QCOMPARE(item->text(), QStringLiteral("苦手を多めに出す"));
    QVERIFY(!item->isChecked());
    w.chooseLevel(1);
    QTest::mouseClick(w.randomBox(), Qt::LeftButton);
    const HistoryRead read = readHistory(log.fileName(), 0, {}, {});
    QStringList weakest;
    for (const WeakSpot &spot : read.figures.weak.ranked(WeakKind::Keys))
        if (weakest.size() < weakFew)
            weakest << spot.name;
    const auto share = [&w, &weakest](int runs) {
        int weak = 0, all = 0;
        for (int run = 0; run < runs; ++run) {
            w.clickStart();
            while (w.running()) {
                const QString key = w.textPanel()->text().toLower();
                weak += weakest.contains(key);
                ++all;
                w.type(key);
            }
        }
        return double(weak) / all;
    };
    w.platform.seed = 11;
    const double plain = share(15);
    item->trigger();
    QVERIFY(item->isChecked());
    QVERIFY(QFile(w.dir.filePath(QStringLiteral("RK.ini"))).open(QIODevice::ReadOnly));
    const double favoured = share(15);
    QVERIFY2(
        favoured > plain * 1.15,
        qPrintable(QStringLiteral("%1 %2 %3").arg(plain).arg(favoured).arg(weakest.join(u' '))));
    w.restart();
    QVERIFY(w.action(QStringLiteral("favourWeakItem"))->isChecked());
}

// Holding a wrong key makes one error and one beep, not one per repeat; so no key is drawn
// into the weak drills by a key leant on.
void WeakDrillTest::heldKeyJudgedOnce()
{
    TestWindow w;
    w.clickStart();
    w.type('q');
    for (int repeat = 0; repeat < 30; ++repeat) {
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, QStringLiteral("q"), true);
        QApplication::sendEvent(w.keyTarget(), &held);
    }
    QCOMPARE(w.platform.beeps, 1);
    w.type(levelInfo(1)->keyString);
    QCOMPARE(w.dialogLabel(3), QStringLiteral("1"));
}

QTEST_MAIN(WeakDrillTest)
#include "test_weakdrill.moc"
