// SPDX-License-Identifier: GPL-3.0-or-later
// Records kept across copies of the program: the merge made before every save.
#include "core/recordkeeper.h"
#include "core/regularfile.h"
#include "core/settingsfile.h"
#include "settingstexts.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <limits>

using namespace rinkaro;

Q_DECLARE_METATYPE(std::optional<SettingsRecord>)

class CoreRecordsTest : public QObject
{
    Q_OBJECT
private slots:
    void betterRecordOfEachLevelIsKept_data();
    void betterRecordOfEachLevelIsKept();
    void damagedOrMissingFileKeepsThisCopysRecords();
    void fullDiskKeepsTheOldFile();
    void filesOnDiskAtLoadAndSave_data();
    void filesOnDiskAtLoadAndSave();
    void saveKeepsTheBetterRecordsOfAnotherCopy();
    void optionsLanguageAndPositionsKeepEachOther();
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

namespace
{

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Immutable files and folders hold even against root, where permission bits do not.
struct Immutable {
    QStringList paths;
    bool set(const QString &path)
    {
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path}) != 0)
            return false;
        paths << path;
        return true;
    }
    ~Immutable()
    {
        for (const QString &path : paths)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    }
};

SettingsRecord withLevel(SettingsRecord record, int level)
{
    record.level = level;
    return record;
}

} // namespace

void CoreRecordsTest::filesOnDiskAtLoadAndSave_data()
{
    // `before`: RK.set's text, or "<folder>" for a folder in its place, "<none>" for none;
    // `immutable`: "folder" or "both" made immutable after it is written. `loaded`: what a
    // start takes up (none: a first start, welcomed); `saved`: RK.set's text after a save of
    // `choices`, or "<folder>" when the folder must stand unchanged.
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("immutable");
    QTest::addColumn<std::optional<SettingsRecord>>("loaded");
    QTest::addColumn<SettingsRecord>("choices");
    QTest::addColumn<QByteArray>("saved");

    const SettingsRecord defaults;
    QTest::newRow("none") << QByteArray("<none>") << QString() << std::optional<SettingsRecord>()
                          << defaults << formatSettings(defaults);
    for (const char *kind : {"lone CR", "mixed line ends", "blank lines", "long tail"})
        QTest::newRow(kind) << damagedText(QLatin1String(kind)) << QString()
                            << std::optional(fullRecord()) << fullRecord()
                            << formatSettings(fullRecord());
    // Damaged lines keep their defaults; the file is still no first start.
    SettingsRecord damaged;
    damaged.level = 7;
    damaged.keyColour = true;
    damaged.romaji[1] = true;
    QTest::newRow("damaged lines")
        << "7\r\n1\r\nnot a flag\r\n" + QByteArray(1000, '#') + "\r\n1\r\n"
        << QString() << std::optional(damaged) << damaged << formatSettings(damaged);
    // Nothing of a longer file may remain.
    QTest::newRow("longer file") << QByteArray(5000, '9') + "\n"
                                 << QString() << std::optional(defaults) << defaults
                                 << formatSettings(defaults);
    QTest::newRow("a folder in its place")
        << QByteArray("<folder>") << QString() << std::optional<SettingsRecord>()
        << withLevel(defaults, 3) << QByteArray("<folder>");
    // No temporary file can be made beside RK.set, but the file itself is writable.
    QTest::newRow("folder immutable")
        << formatSettings(defaults) << QStringLiteral("folder") << std::optional(defaults)
        << withLevel(defaults, 4) << formatSettings(withLevel(defaults, 4));
    QTest::newRow("file and folder immutable")
        << formatSettings(fullRecord()) << QStringLiteral("both") << std::optional(fullRecord())
        << withLevel(fullRecord(), 2) << formatSettings(fullRecord());
}

// Faults caught: a damaged or odd file taken for a first start, or a missing one for a file;
// a save that leaves part of a longer file, writes into a folder in RK.set's place, fails in a
// folder where no temporary file can be made, or leaves a temporary file behind.
void CoreRecordsTest::filesOnDiskAtLoadAndSave()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, immutable);
    QFETCH(std::optional<SettingsRecord>, loaded);
    QFETCH(SettingsRecord, choices);
    QFETCH(QByteArray, saved);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    if (before == "<folder>") {
        QVERIFY(QDir().mkdir(path));
        QVERIFY(replaceRegularFile(path + QStringLiteral("/keep"), "kept"));
    } else if (before != "<none>") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(before), before.size());
    }
    Immutable lock;
    if ((immutable == QLatin1String("both") && !lock.set(path)) ||
        (!immutable.isEmpty() && !lock.set(dir.path())))
        QSKIP("chattr cannot make files immutable on this file system");

    RecordKeeper keeper(dir.path());
    QCOMPARE(keeper.load().settings, loaded);
    keeper.save(choices);
    if (saved == "<folder>") {
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(readAll(path + QStringLiteral("/keep")), QByteArray("kept"));
    } else {
        QCOMPARE(readAll(path), saved);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("RK.set")});
}

// Two copies in one folder: whichever saves last keeps the records the other saved, and
// holds them itself from then on (the record table shows them).
void CoreRecordsTest::saveKeepsTheBetterRecordsOfAnotherCopy()
{
    QTemporaryDir dir;
    SettingsRecord mine;
    mine.level = 5;
    mine.orderedRecords = {30, 0, 50, 0, 0, 0, 0, 0, 0};
    mine.randomRecords[8] = 170;
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    QVERIFY(replaceRegularFile(path, formatSettings(mine)));
    RecordKeeper keeper(dir.path());
    QVERIFY(keeper.load().settings);

    SettingsRecord other; // saved by the other copy meanwhile
    other.level = 9;
    other.keyHint = false;
    other.orderedRecords = {35, 22.5, 45, 0, 0, 0, 0, 0, 0};
    QVERIFY(replaceRegularFile(path, formatSettings(other)));
    SettingsRecord choices;
    choices.level = 5;
    keeper.save(choices);

    SettingsRecord expected = choices; // this copy's level and options
    expected.orderedRecords = {30, 22.5, 45, 0, 0, 0, 0, 0, 0};
    expected.randomRecords[8] = 170;
    QCOMPARE(readAll(path), formatSettings(expected));
    QCOMPARE(keeper.scores().best(2, false), 22.5);
    QCOMPARE(keeper.scores().best(3, false), 45.0);
    QCOMPARE(keeper.scores().best(9, true), 170.0);
}

// Faults caught: RK.ini looked for in the working folder rather than beside RK.set; a start
// not taking up the options, the language or a text drill's position from it.
void CoreRecordsTest::optionsLanguageAndPositionsKeepEachOther()
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere; // the working folder, which must not be used
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    RecordKeeper keeper(dir.path());
    QVERIFY(keeper.saveInputOptions({false, true}));
    QVERIFY(keeper.saveLanguageChoice(LanguageChoice::English));
    QVERIFY(keeper.saveDrillPosition(QStringLiteral("words"), 17));
    const StoredChoices stored = RecordKeeper(dir.path()).load();
    QDir::setCurrent(previous);
    QVERIFY(!stored.settings);
    QCOMPARE(stored.input, (InputOptions{false, true}));
    QCOMPARE(stored.language, LanguageChoice::English);
    QCOMPARE(keeper.drillPosition(QStringLiteral("words")), 17);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("RK.ini")});
    QVERIFY(QDir(elsewhere.path()).isEmpty());
}

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
    QTest::newRow("random run goes to the random table")
        << 8 << true << 150.0f << 3 << 120.0 << 0.0 << QString() << true << 153.0 << "150"
        << "0.0" << QString() << true << "\t8\tr\t150.0\t3\t153.0\t1" + tally + "\n";
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
