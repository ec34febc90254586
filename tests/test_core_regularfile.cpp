// SPDX-License-Identifier: GPL-3.0-or-later
// The learner's files are read and written only when they are plain files, saves keep what
// the file was (its link, its permissions), and copies saving at once keep each other's
// records. Every special file here is a private one in the test's own folder.
#include "core/regularfile.h"
#include "core/runlog.h"
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

#include <barrier>
#include <thread>

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

} // namespace

class CoreRegularFileTest : public QObject
{
    Q_OBJECT
private slots:
    void specialFilesAreNeitherOpenedNorReplaced_data();
    void specialFilesAreNeitherOpenedNorReplaced();
    void saveKeepsTheLinkAndThePermissions();
    void interruptedSavesAreClearedAway();
    void copiesSavingAtOnceKeepEveryRecord();
    void aLockThatIsNeverFreedDelaysTheSaveOnly();
    void historyReadStopsAtItsBound();
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
    const auto makeNode = [&](const QString &path) {
        const QByteArray name = QFile::encodeName(path);
        if (kind == QLatin1String("device")) // a private node of the kind of /dev/zero
            return ::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 5)) == 0;
        if (kind == QLatin1String("pipe"))
            return ::mkfifo(name.constData(), 0666) == 0;
        if (kind == QLatin1String("socket"))
            return makeSocket(path);
        if (kind == QLatin1String("folder"))
            return QDir().mkdir(path);
        return QFile::link(dir.filePath(QStringLiteral("nowhere")), path);
    };
    for (const char *name : {"RK.set", "RK.log"}) {
        const QString path = dir.filePath(QLatin1String(name));
        const QString node = throughLink ? path + QStringLiteral(".node") : path;
        QVERIFY(makeNode(node));
        if (throughLink)
            QVERIFY(QFile::link(node, path));
        const mode_t before = nodeType(node);

        QCOMPARE(fileKind(path), FileKind::Other);
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
        QCOMPARE(QDir(dir.filePath(QStringLiteral("elsewhere"))).entryList(QDir::Files),
                 QStringList({QStringLiteral("RK.set")}));
    }
}

// A kill -9 in the middle of a save leaves its temporary file beside RK.set for ever.
void CoreRegularFileTest::interruptedSavesAreClearedAway()
{
    QTemporaryDir dir;
    const QDateTime longAgo = QDateTime::currentDateTime().addSecs(-3600);
    struct Leftover {
        const char *name;
        bool old;
        bool removed;
    };
    const Leftover leftovers[] = {
        {"RK.set.tmp-a1B2c3", true, true},   // this program's own
        {"RK.set.Xy7kQ2", true, true},       // an earlier version's save file
        {"RK.set.tmp-Zz9Yy8", false, false}, // possibly a save under way in another copy
        {"RK.set.backup", true, false},      // a copy the learner made
        {"RK.set.2024v1", true, false},
    };
    for (const Leftover &leftover : leftovers) {
        QFile file(dir.filePath(QLatin1String(leftover.name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1\n");
        file.flush();
        if (leftover.old)
            QVERIFY(file.setFileTime(longAgo, QFileDevice::FileModificationTime));
    }
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    QVERIFY(saveSettingsKeepingRecords(path, SettingsRecord()).saved);
    for (const Leftover &leftover : leftovers)
        QVERIFY2(QFile::exists(dir.filePath(QLatin1String(leftover.name))) != leftover.removed,
                 leftover.name);
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

// A lock that a hung copy never frees must not hold up a logout's save for ever.
void CoreRegularFileTest::aLockThatIsNeverFreedDelaysTheSaveOnly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.set"));
    const FileLock held(path + QStringLiteral(".lock"), 0);
    QVERIFY(held.held());
    SettingsRecord mine;
    mine.orderedRecords[2] = 33.5;
    QVERIFY(saveSettingsKeepingRecords(path, mine, QLocale::c(), 50).saved);
    QCOMPARE(readSettingsFile(path)->orderedRecords[2], 33.5);
}

// A history past the bound, or a read given up, stops with that said rather than going on;
// a read goes on from where the last one ended, unless the file has shrunk since.
void CoreRegularFileTest::historyReadStopsAtItsBound()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    RunLogEntry entry;
    entry.ended = QDateTime::currentDateTime();
    entry.level = 1;
    QCOMPARE(readHistory(path).status, RunLogRead::Status::Read);
    for (int k = 0; k < 3; ++k)
        QVERIFY(appendRunLog(path, entry));
    const qint64 size = QFileInfo(path).size();
    const RunLogRead whole = readHistory(path, nullptr, size);
    QCOMPARE(whole.entries, 3);
    QCOMPARE(whole.end, size);
    QCOMPARE(readHistory(path, nullptr, size - 1).status, RunLogRead::Status::TooLarge);
    const std::atomic<bool> cancelled = true;
    QCOMPARE(readHistory(path, &cancelled).status, RunLogRead::Status::Cancelled);

    QVERIFY(appendRunLog(path, entry));
    QCOMPARE(readHistory(path, nullptr, largestRunLog, whole.end).entries, 1);
    QVERIFY(QFile::resize(path, size / 2));
    QCOMPARE(readHistory(path, nullptr, largestRunLog, whole.end).status,
             RunLogRead::Status::Shrunk);
}

QTEST_APPLESS_MAIN(CoreRegularFileTest)
#include "test_core_regularfile.moc"
