// SPDX-License-Identifier: GPL-3.0-or-later
// Records kept across copies of the program: the merge made before every save.
#include "core/recordkeeper.h"
#include "core/regularfile.h"
#include "core/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <limits>

class CoreRecordsTest : public QObject
{
    Q_OBJECT
private slots:
    void betterRecordOfEachLevelIsKept_data();
    void betterRecordOfEachLevelIsKept();
    void damagedOrMissingFileKeepsThisCopysRecords();
    void fullDiskKeepsTheOldFile();
    void finishRunRecordsSavesAndReports_data();
    void finishRunRecordsSavesAndReports();
};

void CoreRecordsTest::betterRecordOfEachLevelIsKept_data()
{
    QTest::addColumn<double>("mine");
    QTest::addColumn<double>("onDisk");
    QTest::addColumn<double>("kept");
    QTest::newRow("both none") << 0.0 << 0.0 << 0.0;
    QTest::newRow("only mine") << 12.5 << 0.0 << 12.5;
    QTest::newRow("only on disk") << 0.0 << 20.25 << 20.25;
    QTest::newRow("mine better") << 12.5 << 20.25 << 12.5;
    QTest::newRow("disk better") << 30.0 << 20.25 << 20.25;
    QTest::newRow("equal") << 17.0 << 17.0 << 17.0;
    QTest::newRow("negative on disk") << 15.0 << -3.0 << 15.0;
    QTest::newRow("negative mine") << -3.0 << 15.0 << 15.0;
    QTest::newRow("nan on disk") << 15.0 << std::numeric_limits<double>::quiet_NaN() << 15.0;
}

// Every level of both tables follows the rule; the other values stay this copy's.
void CoreRecordsTest::betterRecordOfEachLevelIsKept()
{
    QFETCH(double, mine);
    QFETCH(double, onDisk);
    QFETCH(double, kept);
    SettingsRecord a;
    a.level = 7;
    a.keyColour = true;
    a.romaji[3] = true;
    SettingsRecord b;
    b.level = 2;
    b.keyHint = false;
    for (int k = 0; k < 9; ++k) {
        a.orderedRecords[k] = a.randomRecords[k] = mine;
        b.orderedRecords[k] = b.randomRecords[k] = onDisk;
    }
    SettingsRecord merged = a;
    mergeRecords(merged, b);
    for (int k = 0; k < 9; ++k) {
        QCOMPARE(merged.orderedRecords[k], kept);
        QCOMPARE(merged.randomRecords[k], kept);
    }
    merged.orderedRecords = a.orderedRecords;
    merged.randomRecords = a.randomRecords;
    QVERIFY(merged == a);
}

// The file on disk goes through the reader first: what it rejects or lacks is no record.
void CoreRecordsTest::damagedOrMissingFileKeepsThisCopysRecords()
{
    SettingsRecord mine;
    mine.orderedRecords = {10, 0, 30, 0, 0, 0, 0, 0, 90};
    QList<QByteArray> lines = formatSettings(SettingsRecord(), QLocale::c()).split('\n');
    lines[11] = "5.5";    // level 1: better than mine
    lines[12] = "banana"; // level 2: damaged
    lines[13] = "-1";     // level 3: rejected
    lines[19] = "80";     // level 9: better
    lines[20] = "7";      // random level 1: mine has none
    const SettingsRecord onDisk = parseSettings(lines.join('\n'));
    mergeRecords(mine, onDisk);
    QCOMPARE(mine.orderedRecords, (std::array<double, 9>{5.5, 0, 30, 0, 0, 0, 0, 0, 80}));
    QCOMPARE(mine.randomRecords[0], 7.0);

    SettingsRecord alone;
    alone.orderedRecords[4] = 44;
    mergeRecords(alone, parseSettings(QByteArray())); // an unreadable or empty file
    QCOMPARE(alone.orderedRecords[4], 44.0);
}

// A save into a file system with no room left loses nothing.
// Needs a small tmpfs of its own, so root.
void CoreRecordsTest::fullDiskKeepsTheOldFile()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    QTemporaryDir dir;
    const QString mountPoint = dir.filePath(QStringLiteral("full"));
    QVERIFY(QDir().mkpath(mountPoint));
    if (QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=64k"), QStringLiteral("tmpfs"), mountPoint}) != 0)
        QSKIP("this machine cannot mount a tmpfs");
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{mountPoint};

    SettingsRecord old;
    old.orderedRecords[0] = 12.5;
    const QString path = mountPoint + QStringLiteral("/RK.set");
    QVERIFY(replaceRegularFile(path, formatSettings(old)));
    QFile filler(mountPoint + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();

    SettingsRecord next = old;
    next.orderedRecords[0] = 9.75;
    next.level = 6;
    // No room for a new file beside it: the save either fails and the old file stands, or
    // it writes over the old text in the room that file already has. Never a mix.
    const bool saved = replaceRegularFile(path, formatSettings(next));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(readSettings(file), saved ? next : old);
    QCOMPARE(QDir(mountPoint).entryList(QDir::Files, QDir::Name),
             QStringList({"RK.set", "filler"})); // no temporary file left behind
}

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A run of two right か with one miss, with its times.
RunTally sampleTally()
{
    RunTally tally;
    tally.misses = {Miss{QStringLiteral("か"), 'k', 'j'}};
    tally.rightKeys = {{'a', 2}, {'k', 2}};
    tally.kanaTyped = {{QStringLiteral("か"), 2}};
    tally.keyMs = {{'a', 300}, {'k', 500}};
    tally.kanaMs = {{QStringLiteral("か"), 800}};
    return tally;
}

} // namespace

void CoreRecordsTest::finishRunRecordsSavesAndReports_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("randomOrder");
    QTest::addColumn<float>("seconds");
    QTest::addColumn<int>("errors");
    QTest::addColumn<double>("orderedBefore"); // the level's records on disk before the run
    QTest::addColumn<double>("randomBefore");
    QTest::addColumn<QString>("textName"); // the learner's text open
    QTest::addColumn<bool>("newRecord");
    QTest::addColumn<double>("score");
    QTest::addColumn<QString>("standard"); // as the dialog shows it; "-": none
    QTest::addColumn<QString>("best");
    QTest::addColumn<QString>("report");
    QTest::addColumn<bool>("advised");
    QTest::addColumn<QByteArray>("logLine"); // after the time

    const QByteArray tally = "\tか:k>j\ta:2 k:2\tか:2\ta:300 k:500\tか:800";
    const QString none = QStringLiteral("-");
    QTest::newRow("first run of a syllable level")
        << 5 << false << 31.4f << 2 << 0.0 << 0.0 << QString() << true << 2 + double(31.4f) << "40"
        << "0.0" << QString() << true << "\t5\to\t31.4\t2\t33.4\t1" + tally + "\n";
    QTest::newRow("slower run keeps the record")
        << 5 << false << 30.0f << 4 << 33.4 << 0.0 << QString() << false << 34.0 << "40"
        << "33.4" << QString() << true << "\t5\to\t30.0\t4\t34.0\t0" + tally + "\n";
    QTest::newRow("equal score keeps the record")
        << 1 << false << 20.0f << 0 << 20.0 << 0.0 << QString() << false << 20.0 << "15"
        << "20.0" << QString() << true << "\t1\to\t20.0\t0\t20.0\t0" + tally + "\n";
    QTest::newRow("random run goes to the random table")
        << 8 << true << 150.0f << 3 << 120.0 << 0.0 << QString() << true << 153.0 << "150"
        << "0.0" << QString() << true << "\t8\tr\t150.0\t3\t153.0\t1" + tally + "\n";
    QTest::newRow("better random run")
        << 8 << true << 100.0f << 0 << 120.0 << 153.0 << QString() << true << 100.0 << "150"
        << "153.0" << QString() << true << "\t8\tr\t100.0\t0\t100.0\t1" + tally + "\n";
    QTest::newRow("weak keys") << 10 << false << 12.5f << 1 << 0.0 << 0.0 << QString() << false
                               << 13.5 << none << none << "weak 0" << false
                               << "\t10\to\t12.5\t1\t13.5\t0" + tally + "\n";
    QTest::newRow("weak kana, random")
        << 11 << true << 40.0f << 0 << 0.0 << 0.0 << QString() << false << 40.0 << none << none
        << "weak 0" << false << "\t11\tr\t40.0\t0\t40.0\t0" + tally + "\n";
    QTest::newRow("words, a text open")
        << 12 << false << 61.2f << 5 << 0.0 << 0.0 << QStringLiteral("日記") << false
        << 5 + double(61.2f) << none << none << "text 0" << false
        << "\t12\to\t61.2\t5\t66.2\t0" + tally + "\n";
    QTest::newRow("the learner's text")
        << 14 << false << 90.0f << 2 << 0.0 << 0.0 << QStringLiteral("日記") << false << 92.0
        << none << none << "text 0" << false << "\t14\to\t90.0\t2\t92.0\t0" + tally + "\t日記\n";
}

// The end of a run in its order: the history's words told before the run is in RK.log, the
// record kept and saved before anything is shown, one line appended byte for byte, the history
// told after it; and what the dialog shows, with no standard or best time for the drills whose
// material changes every run.
void CoreRecordsTest::finishRunRecordsSavesAndReports()
{
    QFETCH(int, level);
    QFETCH(bool, randomOrder);
    QFETCH(float, seconds);
    QFETCH(int, errors);
    QFETCH(double, orderedBefore);
    QFETCH(double, randomBefore);
    QFETCH(QString, textName);
    QFETCH(bool, newRecord);
    QFETCH(double, score);
    QFETCH(QString, standard);
    QFETCH(QString, best);
    QFETCH(QString, report);
    QFETCH(bool, advised);
    QFETCH(QByteArray, logLine);

    QTemporaryDir dir;
    SettingsRecord before;
    before.level = 3;
    const int index = std::clamp(level, 1, 9) - 1;
    before.orderedRecords[index] = orderedBefore;
    before.randomRecords[index] = randomBefore;
    const QString settingsPath = dir.filePath(QStringLiteral("RK.set"));
    QVERIFY(replaceRegularFile(settingsPath, formatSettings(before)));
    const QByteArray settingsBefore = readAll(settingsPath);
    RecordKeeper keeper(dir.path());
    QVERIFY(keeper.load().settings);

    QStringList calls;
    const auto linesNow = [&] { return readAll(keeper.historyPath()).count('\n'); };
    RunHistory history;
    history.weakReport = [&] { return QStringLiteral("weak %1").arg(linesNow()); };
    history.textReport = [&] { return QStringLiteral("text %1").arg(linesNow()); };
    history.addRun = [&] { calls << QStringLiteral("added %1").arg(linesNow()); };
    SettingsRecord choices;
    choices.level = 4;
    const QDateTime ended(QDate(2026, 3, 14), QTime(9, 26, 53), Qt::OffsetFromUTC, 9 * 3600);
    const FinishedRun finished = keeper.finishRun(RunResult{level, seconds, errors, randomOrder},
                                                  sampleTally(), ended, choices, textName, history);

    QCOMPARE(finished.recorded.newRecord, newRecord);
    QCOMPARE(finished.recorded.randomOrder, randomOrder);
    QCOMPARE(finished.recorded.score, score);
    QCOMPARE(finished.time, formatTenths(seconds));
    QCOMPARE(finished.errors, QString::number(errors));
    QCOMPARE(finished.standard.value_or(QStringLiteral("-")), standard);
    QCOMPARE(finished.bestBefore.value_or(QStringLiteral("-")), best);
    QCOMPARE(finished.report, report);
    QCOMPARE(finished.weakestAdvised, advised);
    QCOMPARE(calls, QStringList{QStringLiteral("added 1")});

    QCOMPARE(readAll(keeper.historyPath()), "2026-03-14T09:26:53+09:00" + logLine);
    // RK.set changes at once with a record, with the choices of the moment; else not at all.
    if (!newRecord) {
        QCOMPARE(readAll(settingsPath), settingsBefore);
        return;
    }
    SettingsRecord expected = choices;
    expected.orderedRecords = before.orderedRecords;
    expected.randomRecords = before.randomRecords;
    (randomOrder ? expected.randomRecords : expected.orderedRecords)[index] = score;
    QCOMPARE(readAll(settingsPath), formatSettings(expected));
    QCOMPARE(keeper.scores().best(level, randomOrder), score);
}

QTEST_APPLESS_MAIN(CoreRecordsTest)
#include "test_core_records.moc"
