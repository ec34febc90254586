// SPDX-License-Identifier: GPL-3.0-or-later
// The learner's files are read and written only when they are plain files, saves keep what
// the file was (its link, its permissions), and copies saving at once keep each other's
// records. Every special file here is a private one in the test's own folder.
#include "core/inputoptions.h"
#include "core/regularfile.h"
#include "core/runlogfile.h"
#include "core/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <barrier>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

using namespace rinkaro;

namespace
{

// What kind of node is at a path, without following a link: changes show a replaced node.
mode_t nodeType(const QString &path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

bool makeSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || std::size_t(name.size()) >= sizeof address.sun_path)
        return false;
    qstrcpy(address.sun_path, name.constData());
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

mode_t permissionBits(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The history at `path` read through, figures passed over.
RunLogRead readHistory(const QString &path, const std::atomic<bool> *cancelled = nullptr,
                       qint64 largest = largestRunLog, qint64 from = 0)
{
    KanaNames names;
    return readRunLogFile(
        path, names, [](const RunLogLine &) {}, cancelled, largest, from);
}

// Runs `work` on a thread of its own; false when it has not ended within `seconds`, a bound
// far above what it takes (a blocking open or a wait counted in seconds would pass it). The
// thread is then left behind: the test has failed anyway.
template <typename Work> bool endsWithin(int seconds, Work work)
{
    auto task = std::make_shared<std::packaged_task<void()>>(std::move(work));
    std::future<void> done = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    return done.wait_for(std::chrono::seconds(seconds)) == std::future_status::ready;
}

// Every kind of node a stray file beside the learner's files may be, made at `path`.
bool makeNode(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("device")) // a private node of the kind of /dev/zero
        return ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 5)) == 0;
    if (kind == QLatin1String("pipe"))
        return ::mkfifo(name.constData(), 0666) == 0;
    if (kind == QLatin1String("socket"))
        return makeSocket(path);
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path);
    if (kind == QLatin1String("dangling link"))
        return QFile::link(path + QStringLiteral(".nowhere"), path);
    if (kind == QLatin1String("link to a pipe"))
        return ::mkfifo((name + ".pipe").constData(), 0600) == 0 &&
               QFile::link(path + QStringLiteral(".pipe"), path);
    // A read-only file, another user's where the test may make one.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("x") != 1)
        return false;
    file.close();
    if (::geteuid() == 0 && ::chown(name.constData(), 65534, 65534) != 0)
        return false;
    return ::chmod(name.constData(), 0444) == 0;
}

} // namespace

class CoreRegularFileTest : public QObject
{
    Q_OBJECT
private slots:
    void specialFilesAreNeitherOpenedNorReplaced_data();
    void specialFilesAreNeitherOpenedNorReplaced();
    void saveKeepsTheLinkAndThePermissions();
    void onlyThisProgramsLeftoversAreClearedAway_data();
    void onlyThisProgramsLeftoversAreClearedAway();
    void copiesSavingAtOnceKeepEveryRecord();
    void strayLockFilesOfEveryKindLockNothingAway_data();
    void strayLockFilesOfEveryKindLockNothingAway();
    void aLockThatIsNeverFreedDelaysTheSaveOnly();
    void aLinkSwappedInDuringSavesIsNeverReplaced();
    void iniFilePastItsBoundIsNeitherReadNorWritten();
    void historyPastItsBoundReadsItsNewestRuns();
    void aPartCutShortIsNotTakenForWhole();
};

void CoreRegularFileTest::specialFilesAreNeitherOpenedNorReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("throughLink");
    for (const char *kind : {"device", "pipe", "socket", "folder", "dangling link"})
        for (bool link : {false, true})
            QTest::addRow("%s%s", kind, link ? ", linked" : "")
                << QString::fromLatin1(kind) << link;
}

// A save replacing a device (as root) or a read blocking on a pipe; anything that does not
// come back as it was failed.
void CoreRegularFileTest::specialFilesAreNeitherOpenedNorReplaced()
{
    QFETCH(QString, kind);
    QFETCH(bool, throughLink);
    if (kind == QLatin1String("device") && ::geteuid() != 0)
        QSKIP("making a device node needs root");
    QTemporaryDir dir;
    for (const char *name : {"RK.set", "RK.log"}) {
        const QString path = dir.filePath(QLatin1String(name));
        const QString node = throughLink ? path + QStringLiteral(".node") : path;
        QVERIFY(makeNode(kind, node));
        if (throughLink)
            QVERIFY(QFile::link(node, path));
        const mode_t before = nodeType(node);

        QCOMPARE(fileKind(path), FileKind::Other);
        // What was opened is looked at, whatever was looked at before.
        for (const QIODevice::OpenMode mode :
             {QIODevice::OpenMode(QIODevice::ReadOnly), QIODevice::WriteOnly | QIODevice::Append,
              QIODevice::ReadWrite | QIODevice::Append}) {
            QFile file;
            QVERIFY(!openRegularFile(file, path, mode));
            QVERIFY(!file.isOpen());
        }
        QVERIFY(!replaceRegularFile(path, "1\n"));
        QVERIFY(!readSettingsFile(path));
        SettingsRecord mine;
        mine.orderedRecords[0] = 12.5;
        const SettingsSave save = saveSettingsKeepingRecords(path, mine);
        QVERIFY(!save.saved);
        QCOMPARE(save.values, mine);
        RunLogEntry entry;
        entry.ended = QDateTime::currentDateTime();
        entry.level = 1;
        QVERIFY(!appendRunLog(path, entry));
        QCOMPARE(readHistory(path).status, RunLogRead::Status::NotAFile);
        QCOMPARE(nodeType(node), before);
    }
    // RK.ini: a pipe in its place held up the start in a blocking open.
    const QString ini = dir.filePath(QStringLiteral("RK.ini"));
    const QString node = throughLink ? ini + QStringLiteral(".node") : ini;
    QVERIFY(makeNode(kind, node));
    if (throughLink)
        QVERIFY(QFile::link(node, ini));
    const mode_t before = nodeType(node);
    InputOptions read{true};
    bool saved = true;
    QVERIFY(endsWithin(20, [&] {
        read = readInputOptions(ini);
        saved = saveInputOptions(ini, {true});
    }));
    QCOMPARE(read, InputOptions());
    QVERIFY(!saved);
    QCOMPARE(nodeType(node), before);
}

// The save replaces a link's target, not the link, and the file keeps its permissions and
// owner: a read-only file came back 0644 after a save.
void CoreRegularFileTest::saveKeepsTheLinkAndThePermissions()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("elsewhere/RK.set"));
    QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("elsewhere"))));
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    for (const QFile::Permissions permissions :
         {QFile::Permissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther),
          QFile::Permissions(QFile::ReadOwner | QFile::WriteOwner)}) {
        QFile::remove(target);
        QFile::remove(path);
        QVERIFY(replaceRegularFile(target, "old\n"));
        QVERIFY(QFile::setPermissions(target, permissions));
        QVERIFY(QFile::link(target, path));
        const bool saved = replaceRegularFile(path, "new\n");
        // Only root writes a read-only file; anyone else leaves it as it was.
        QCOMPARE(saved, ::geteuid() == 0 || (permissions & QFile::WriteOwner));
        QCOMPARE(readAll(target), saved ? QByteArray("new\n") : QByteArray("old\n"));
        QCOMPARE(QFileInfo(path).symLinkTarget(), target);
        QCOMPARE(permissionBits(target), permissionBits(path) /* through the link */);
        QCOMPARE(permissionBits(target), mode_t(permissions & QFile::WriteOwner ? 0600 : 0444));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("elsewhere")))
                     .entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList({QStringLiteral("RK.set")}));
    }
}

void CoreRegularFileTest::onlyThisProgramsLeftoversAreClearedAway_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("secondName"); // a hard link the learner made
    QTest::addColumn<bool>("removed");
    // Copies the learner made, some of them shaped like temporary names: one save deleted
    // them all a minute after they were made.
    for (const char *name :
         {"RK.set.Copy01", "RK.set.Old123", "RK.set.June24", "RK.set.v2Test", "RK.set.Week1a",
          "RK.set.bak2Me", "RK.set.Jan2nd", "RK.set.tmp-backup", "RK.set.tmp-mine01",
          "RK.set.tmp-2024ok", "RK.set.backup", "RK.set.2024v1", "RK.set.tmp-a1B2c3",
          ".RK.set.rinkaro-save-a1B2c", ".RK.set.rinkaro-save-a1B2c3d",
          ".RK.set.rinkaro-save-a1_2c3", "RK.set.rinkaro-save-a1B2c3",
          ".RK.ini.rinkaro-save-a1B2c3", ".RK.set.rinkaro-save-"})
        QTest::addRow("%s", name) << QString::fromLatin1(name) << 3600 << false << false;
    const QString own = temporaryName(QStringLiteral("RK.set"), QStringLiteral("a1B2c3"));
    QTest::newRow("an interrupted save's") << own << 3600 << false << true;
    QTest::newRow("an interrupted save's, a minute old") << own << 61 << false << true;
    QTest::newRow("a save under way in another copy") << own << 0 << false << false;
    QTest::newRow("a leftover's name hard-linked") << own << 3600 << true << false;
}

// A kill -9 in the middle of a save leaves its temporary file beside RK.set for ever; but
// nothing that only looks like one may go.
void CoreRegularFileTest::onlyThisProgramsLeftoversAreClearedAway()
{
    QFETCH(QString, name);
    QFETCH(int, ageSeconds);
    QFETCH(bool, secondName);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    const QString leftover = dir.filePath(name);
    QFile file(leftover);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1\n");
    file.flush();
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                             QFileDevice::FileModificationTime));
    file.close();
    if (secondName)
        QCOMPARE(::link(QFile::encodeName(leftover).constData(),
                        QFile::encodeName(dir.filePath(QStringLiteral("mine"))).constData()),
                 0);
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    QVERIFY(saveSettingsKeepingRecords(path, SettingsRecord()).saved);
    QCOMPARE(QFile::exists(leftover), !removed);
    // The save's own temporary is gone too.
    QStringList expected{QStringLiteral("RK.set")};
    if (!removed)
        expected << name;
    if (secondName)
        expected << QStringLiteral("mine");
    QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
}

// Three copies given SIGTERM at once lost 17 of 30 records: read, merge, write and rename
// must not interleave. Eighteen savers, each with the record of one level and table.
void CoreRegularFileTest::copiesSavingAtOnceKeepEveryRecord()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    for (int round = 0; round < 5; ++round) {
        QFile::remove(path);
        constexpr int savers = 18;
        std::barrier start(savers);
        std::vector<std::thread> threads;
        for (int k = 0; k < savers; ++k)
            threads.emplace_back([&, k] {
                SettingsRecord mine;
                (k < 9 ? mine.orderedRecords : mine.randomRecords)[k % 9] = 10.0 + k;
                start.arrive_and_wait();
                // Waiting as long as it takes: the give-up after a while has its own test.
                saveSettingsKeepingRecords(path, mine, QLocale::c(), 60000);
            });
        for (std::thread &thread : threads)
            thread.join();
        const std::optional<SettingsRecord> saved = readSettingsFile(path);
        QVERIFY(saved);
        for (int k = 0; k < savers; ++k)
            QCOMPARE((k < 9 ? saved->orderedRecords : saved->randomRecords)[k % 9], 10.0 + k);
    }
}

void CoreRegularFileTest::strayLockFilesOfEveryKindLockNothingAway_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"folder", "dangling link", "link to a pipe", "pipe", "socket",
                             "device", "read-only file"})
        QTest::addRow("%s", kind) << QString::fromLatin1(kind);
}

// A folder, a link, a pipe or another user's file named RK.set.lock turned locking off, and
// savers at once lost records; RK.ini.lock of any kind froze the window for good.
void CoreRegularFileTest::strayLockFilesOfEveryKindLockNothingAway()
{
    QFETCH(QString, kind);
    if (kind == QLatin1String("device") && ::geteuid() != 0)
        QSKIP("making a device node needs root");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    const QString ini = dir.filePath(QStringLiteral("RK.ini"));
    for (const QString &lock : {path + QStringLiteral(".lock"), ini + QStringLiteral(".lock")})
        QVERIFY(makeNode(kind, lock));
    constexpr int savers = 2, rounds = 6;
    std::barrier start(savers);
    std::vector<std::thread> threads;
    for (int k = 0; k < savers; ++k)
        threads.emplace_back([&, k] {
            for (int round = 0; round < rounds; ++round) {
                SettingsRecord mine;
                mine.randomRecords[std::size_t(k * rounds + round) % 9] = 20.0 + k * rounds + round;
                start.arrive_and_wait();
                saveSettingsKeepingRecords(path, mine, QLocale::c(), 60000);
                saveIniValues(ini,
                              {{QStringLiteral("saver%1").arg(k), QString::number(round),
                                QStringLiteral("kept")}},
                              60000);
            }
        });
    bool ended = false;
    QVERIFY(endsWithin(60, [&] {
        for (std::thread &thread : threads)
            thread.join();
        ended = true;
    }));
    QVERIFY(ended);
    const std::optional<SettingsRecord> saved = readSettingsFile(path);
    QVERIFY(saved);
    for (int n = 0; n < 9; ++n) // the better (lower) of the records each level got
        QCOMPARE(saved->randomRecords[std::size_t(n)], 20.0 + n);
    const std::optional<IniText> values = readIniFile(ini);
    QVERIFY(values);
    for (int k = 0; k < savers; ++k)
        for (int round = 0; round < rounds; ++round)
            QCOMPARE(values->value(QStringLiteral("saver%1").arg(k), QString::number(round)),
                     QStringLiteral("kept"));
}

// A lock that a hung copy never frees must not hold up a logout's save for ever. The wait
// is counted in milliseconds: one counted in seconds outlasts the generous bound here.
void CoreRegularFileTest::aLockThatIsNeverFreedDelaysTheSaveOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    auto held = std::make_unique<FileLock>(dir.path(), 0);
    QVERIFY(held->held());
    bool second = true;
    QVERIFY(endsWithin(20, [&] { second = FileLock(dir.path(), 300).held(); }));
    QVERIFY(!second);
    SettingsRecord mine;
    mine.orderedRecords[2] = 33.5;
    bool saved = false;
    QVERIFY(endsWithin(20, [&] {
        saved = saveSettingsKeepingRecords(path, mine, QLocale::c(), 300).saved &&
                saveInputOptions(dir.filePath(QStringLiteral("RK.ini")), {true});
    }));
    QVERIFY(saved);
    QCOMPARE(readSettingsFile(path)->orderedRecords[2], 33.5);
    QVERIFY(readInputOptions(dir.filePath(QStringLiteral("RK.ini"))).freeRomaji);
    held.reset();
    QVERIFY(FileLock(dir.path(), 0).held());
}

// A link to a pipe swapped in and out of RK.set's place while saves ran: the pipe was
// replaced with a plain file, and the link itself hundreds of times.
void CoreRegularFileTest::aLinkSwappedInDuringSavesIsNeverReplaced()
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path()); // the swapper's renames by short names
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    QVERIFY(replaceRegularFile(path, formatSettings(SettingsRecord())));
    QVERIFY(::mkfifo("pipe", 0600) == 0);
    QVERIFY(QFile::link(QStringLiteral("pipe"), QStringLiteral("link")));
    std::atomic<bool> saving = true;
    int swaps = 0;
    std::thread swapper([&] {
        // Each state held a moment, so that saves meet both and the swaps in between.
        for (int k = 0; k < 200'000 && saving; ++k) {
            ::rename("RK.set", "parked");
            swaps += ::rename("link", "RK.set") == 0;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            ::rename("RK.set", "link");
            ::rename("parked", "RK.set");
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    for (int k = 0; k < 400; ++k)
        replaceRegularFile(path, "1\n");
    saving = false;
    swapper.join();
    // The renames of both sides move names around; what each node is, is kept.
    QVERIFY(swaps > 0);
    QDir::setCurrent(QDir::tempPath());
    QCOMPARE(nodeType(dir.filePath(QStringLiteral("pipe"))), mode_t(S_IFIFO));
    // Under whatever name the renames left it, the link is there, still a link to the pipe.
    int links = 0;
    for (const QString &name :
         QDir(dir.path())
             .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (nodeType(dir.filePath(name)) != S_IFLNK)
            continue;
        ++links;
        QCOMPARE(QFile::symLinkTarget(dir.filePath(name)), dir.filePath(QStringLiteral("pipe")));
    }
    QCOMPARE(links, 1);
}

// A 1 GiB sparse RK.ini held up the window for seconds and took 2 GB: it is read no
// further than its bound, and left as it is.
void CoreRegularFileTest::iniFilePastItsBoundIsNeitherReadNorWritten()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.ini"));
    QVERIFY(saveInputOptions(path, {true}));
    QVERIFY(readInputOptions(path).freeRomaji);
    constexpr qint64 size = 1LL << 30;
    QVERIFY(QFile::resize(path, size));
    QCOMPARE(readInputOptions(path), InputOptions());
    QVERIFY(!saveInputOptions(path, {false}));
    QCOMPARE(QFileInfo(path).size(), size);
}

// A history past its bound (1 GiB) showed nothing at all; its newest runs are read, from the
// first whole line, and the rest is said to be left out. Appending goes on.
void CoreRegularFileTest::historyPastItsBoundReadsItsNewestRuns()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    QCOMPARE(readHistory(path).status, RunLogRead::Status::Read);
    std::vector<qint64> lineEnds;
    for (int k = 1; k <= 6; ++k) {
        RunLogEntry entry;
        entry.ended = QDateTime::currentDateTime();
        entry.level = k;
        QVERIFY(appendRunLog(path, entry));
        lineEnds.push_back(QFileInfo(path).size());
    }
    const qint64 size = lineEnds.back();
    const auto levelsRead = [&](qint64 largest, qint64 from, RunLogRead &read) {
        KanaNames names;
        QList<int> levels;
        read = readRunLogFile(
            path, names, [&](const RunLogLine &line) { levels << line.level; }, nullptr, largest,
            from);
        return levels;
    };
    RunLogRead read;
    QCOMPARE(levelsRead(size, 0, read), QList<int>({1, 2, 3, 4, 5, 6}));
    QCOMPARE(read.leftOut, 0);
    QCOMPARE(read.end, size);
    // The bound in the middle of line 4: lines 5 and 6 are read.
    const qint64 largest = size - lineEnds[2] - 3;
    QCOMPARE(levelsRead(largest, 0, read), QList<int>({5, 6}));
    QCOMPARE(read.status, RunLogRead::Status::Read);
    QCOMPARE(read.leftOut, lineEnds[3]);
    QCOMPARE(read.end, size);
    QCOMPARE(runLogReadStart(path, 0, -1, largest), lineEnds[3]);
    // The bound at a line's start takes that line.
    QCOMPARE(levelsRead(size - lineEnds[2], 0, read), QList<int>({4, 5, 6}));
    QCOMPARE(read.leftOut, lineEnds[2]);

    RunLogEntry entry;
    entry.ended = QDateTime::currentDateTime();
    entry.level = 7;
    QVERIFY(appendRunLog(path, entry));
    QCOMPARE(levelsRead(largest, read.end, read), QList<int>({7}));
    QCOMPARE(read.leftOut, 0);
    const std::atomic<bool> cancelled = true;
    QCOMPARE(readHistory(path, &cancelled).status, RunLogRead::Status::Cancelled);
    QVERIFY(QFile::resize(path, size / 2));
    QCOMPARE(readHistory(path, nullptr, largestRunLog, size).status, RunLogRead::Status::Shrunk);
}

// A history cut while its parts were read side by side showed a spliced history: a part that
// ends before its end is not whole.
void CoreRegularFileTest::aPartCutShortIsNotTakenForWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    RunLogEntry entry;
    entry.ended = QDateTime::currentDateTime();
    entry.level = 2;
    std::vector<qint64> lineEnds;
    for (int k = 0; k < 4; ++k) {
        QVERIFY(appendRunLog(path, entry));
        lineEnds.push_back(QFileInfo(path).size());
    }
    KanaNames names;
    const auto part = [&](qint64 from, qint64 until) {
        return readRunLogFile(
            path, names, [](const RunLogLine &) {}, nullptr, largestRunLog, from, until);
    };
    const RunLogRead whole = part(lineEnds[0], lineEnds[2]);
    QCOMPARE(whole.status, RunLogRead::Status::Read);
    QCOMPARE(whole.entries, 2);
    QCOMPARE(whole.end, lineEnds[2]);
    QVERIFY(QFile::resize(path, lineEnds[1]));
    QCOMPARE(part(lineEnds[0], lineEnds[2]).status, RunLogRead::Status::Shrunk);
    QCOMPARE(part(lineEnds[0], -1).status, RunLogRead::Status::Read);
}

QTEST_APPLESS_MAIN(CoreRegularFileTest)
#include "test_core_regularfile.moc"
