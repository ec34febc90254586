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

#include <limits>

using namespace rinkaro;

class CoreRecordsTest : public QObject
{
    Q_OBJECT
private slots:
    void betterRecordOfEachLevelIsKept_data();
    void betterRecordOfEachLevelIsKept();
    void damagedOrMissingFileKeepsThisCopysRecords();
    void fullDiskKeepsTheOldFile();
    void aRunIsKeptInTheHistoryAndARecordAtOnce();
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

// A record must reach RK.set as soon as it is set (a crash must not lose it), into the
// table of the run's order mode; every run, record or not, is one line of RK.log.
void CoreRecordsTest::aRunIsKeptInTheHistoryAndARecordAtOnce()
{
    QTemporaryDir dir;
    RecordKeeper keeper(dir.path());
    QVERIFY(!keeper.load());
    SettingsRecord choices;
    choices.level = 4;
    const struct {
        float seconds;
        int errors;
        bool randomOrder;
        bool newRecord;
        double ordered; // on disk afterwards
        double random;
    } runs[] = {
        {20.0f, 1, false, true, 21.0, 0},   // the first run sets the record
        {25.0f, 0, false, false, 21.0, 0},  // slower: the history only
        {30.0f, 0, true, true, 21.0, 30.0}, // the random table's first
        {18.0f, 0, false, true, 18.0, 30.0},
    };
    int lines = 0;
    for (const auto &run : runs) {
        const RecordedRun recorded =
            keeper.recordRun(RunResult{4, run.seconds, run.errors, run.randomOrder}, {},
                             QDateTime::currentDateTime(), choices);
        QCOMPARE(recorded.newRecord, run.newRecord);
        const std::optional<SettingsRecord> saved = readSettingsFile(keeper.settingsPath());
        QVERIFY(saved);
        QCOMPARE(saved->level, 4);
        QCOMPARE(saved->orderedRecords[3], run.ordered);
        QCOMPARE(saved->randomRecords[3], run.random);
        QFile history(keeper.historyPath());
        QVERIFY(history.open(QIODevice::ReadOnly));
        QCOMPARE(history.readAll().count('\n'), ++lines);
    }
}

QTEST_APPLESS_MAIN(CoreRecordsTest)
#include "test_core_records.moc"
