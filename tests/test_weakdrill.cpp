// SPDX-License-Identifier: GPL-3.0-or-later
// The weak-spot drills in the window: the two menu items, a run of each through real key
// events, what the typing-time dialog and the history make of it, and the settings file.
#include "testwindow.h"

#include <QMenu>

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
};

void WeakDrillTest::withoutHistoryTheLevelStays_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("advice");
    QTest::newRow("keys") << "weakKeysItem" << "レベル1〜4を練習すると";
    QTest::newRow("kana") << "weakKanaItem" << "レベル5〜9を練習すると";
}

void WeakDrillTest::withoutHistoryTheLevelStays()
{
    QFETCH(QString, item);
    QFETCH(QString, advice);
    TestWindow w;
    w.chooseLevel(3);
    w.action(item)->trigger();
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
    QTest::newRow("keys") << "weakKeysItem" << "G " << false << QByteArray("10");
    QTest::newRow("kana") << "weakKanaItem" << "し " << true << QByteArray("11");
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
    TestWindow w;
    QFile log(w.dir.filePath(QStringLiteral("RK.log")));
    QVERIFY(log.open(QIODevice::WriteOnly) && log.write(history) == history.size());
    log.close();
    w.chooseLevel(2);
    w.action(item)->trigger();
    QCOMPARE(w.tickedLevel(), 0);
    QVERIFY(w.action(item)->isChecked());
    QCOMPARE(w.readingPanel()->isVisible(), reading);

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
    QVERIFY2(w.platform.modalLabel(QStringLiteral("weakSpotsLabel")).contains(weakest + "67%"),
             qPrintable(w.platform.modalLabel(QStringLiteral("weakSpotsLabel"))));

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
        QVERIFY(w.running());
        QCOMPARE(w.find(QStringLiteral("settingPanel"))->isVisible(), false);
        QCOMPARE(w.find(QStringLiteral("scorePanel"))->isVisible(), false);
        QCOMPARE(w.textPanel()->isVisible(), true);
        w.clickStart(); // stop
    }
}

QTEST_MAIN(WeakDrillTest)
#include "test_weakdrill.moc"
