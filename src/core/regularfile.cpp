// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace rinkaro
{

namespace
{

int openFlags(QIODevice::OpenMode mode)
{
    const bool reads = mode & QIODevice::ReadOnly;
    const bool writes = mode & QIODevice::WriteOnly;
    int flags = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    if (mode & QIODevice::Append)
        flags |= O_APPEND;
    // Non-blocking for the open alone: nothing but a plain file is opened, and the flag is
    // a second guard should anything else come through.
    return flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The file at `name`, when it is a plain file, opened with `flags`. The path is looked at
// once through a descriptor that neither reads nor writes (opening a device or a pipe can
// block or do something), and only what that descriptor shows is opened.
int openExisting(const QByteArray &name, int flags)
{
    const int pathFd = ::open(name.constData(), O_PATH | O_CLOEXEC);
    if (pathFd < 0)
        return -1;
    struct stat seen = {};
    int fd = -1;
    if (::fstat(pathFd, &seen) == 0 && S_ISREG(seen.st_mode)) {
        const QByteArray same = "/proc/self/fd/" + QByteArray::number(pathFd);
        fd = ::open(same.constData(), flags);
        if (fd < 0 && errno == ENOENT) // no /proc: the path again, checked below
            fd = ::open(name.constData(), flags);
        struct stat opened = {};
        if (fd >= 0 && (::fstat(fd, &opened) != 0 || !sameFile(opened, seen))) {
            ::close(fd);
            fd = -1;
        }
    }
    ::close(pathFd);
    return fd;
}

bool writeAll(int fd, const QByteArray &text)
{
    const char *data = text.constData();
    qsizetype left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// The permissions a new file gets from the process's umask, read without changing it (a
// umask() round trip would race with other threads creating files).
mode_t newFileMode()
{
    mode_t mask = 022;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        const QByteArray text = status.readAll();
        const qsizetype at = text.indexOf("\nUmask:");
        if (at >= 0) {
            const QByteArray value = text.mid(at + 7, 16).trimmed().split('\n').value(0);
            bool ok = false;
            const uint parsed = value.toUInt(&ok, 8);
            if (ok)
                mask = mode_t(parsed);
        }
    }
    return 0666 & ~mask;
}

// Written over the old text before the rest is cut off, rather than truncated first: a
// write that fails (a full disk) then leaves the records of the old file readable.
bool overwriteInPlace(int folder, const QByteArray &name, const struct stat &old,
                      const QByteArray &text)
{
    const int fd =
        ::openat(folder, name.constData(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened = {};
    const bool written = ::fstat(fd, &opened) == 0 && sameFile(opened, old) && writeAll(fd, text) &&
                         ::ftruncate(fd, text.size()) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

// A new, empty temporary file beside the file `fileName` in the folder; its name goes into
// `temporary`.
int makeTemporary(int folder, const QString &fileName, QByteArray &temporary)
{
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 64; ++attempt) {
        QString suffix;
        for (int k = 0; k < 6; ++k)
            suffix += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
        temporary = QFile::encodeName(temporaryName(fileName, suffix));
        const int fd = ::openat(folder, temporary.constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Puts the new file in the old one's place in one step and looks at what came out: when
// something else had been put there meanwhile (a link to a pipe, say), it goes back.
bool swapIn(int folder, const QByteArray &temporary, const QByteArray &name, const struct stat &old)
{
    if (::renameat2(folder, temporary.constData(), folder, name.constData(), RENAME_EXCHANGE) !=
        0) {
        if (errno != EINVAL && errno != ENOSYS)
            return false;
        // A file system that cannot exchange two names: looked at just before the rename.
        struct stat now = {};
        return ::fstatat(folder, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
               sameFile(now, old) &&
               ::renameat(folder, temporary.constData(), folder, name.constData()) == 0;
    }
    struct stat taken = {};
    if (::fstatat(folder, temporary.constData(), &taken, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(taken.st_mode)) {
        ::unlinkat(folder, temporary.constData(), 0);
        return true;
    }
    ::renameat2(folder, temporary.constData(), folder, name.constData(), RENAME_EXCHANGE);
    return false;
}

// Moves the new file to a name where nothing is.
bool moveIn(int folder, const QByteArray &temporary, const QByteArray &name)
{
    if (::renameat2(folder, temporary.constData(), folder, name.constData(), RENAME_NOREPLACE) == 0)
        return true;
    return (errno == EINVAL || errno == ENOSYS) &&
           ::linkat(folder, temporary.constData(), folder, name.constData(), 0) == 0 &&
           ::unlinkat(folder, temporary.constData(), 0) == 0;
}

bool replaceIn(int folder, const QString &fileName, const QByteArray &text)
{
    const QByteArray name = QFile::encodeName(fileName);
    struct stat old = {};
    const bool exists = ::fstatat(folder, name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (exists ? !S_ISREG(old.st_mode) : errno != ENOENT)
        return false;

    QByteArray temporary;
    const int fd = makeTemporary(folder, fileName, temporary);
    if (fd < 0) // a folder that cannot take a temporary file
        return exists && overwriteInPlace(folder, name, old, text);
    bool saved = writeAll(fd, text);
    if (saved && exists) {
        // Whoever saves, the file stays its owner's; only a saver allowed to keep the owner
        // (root) can, and for anyone else the file is their own anyway.
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
        saved = ::fchmod(fd, old.st_mode & 07777) == 0;
    } else if (saved) {
        saved = ::fchmod(fd, newFileMode()) == 0;
    }
    // On disk before it replaces the old file, so that a crash leaves one or the other.
    struct stat mine = {};
    saved = saved && ::fsync(fd) == 0 && ::fstat(fd, &mine) == 0;
    saved = ::close(fd) == 0 && saved;
    saved =
        saved && (exists ? swapIn(folder, temporary, name, old) : moveIn(folder, temporary, name));
    struct stat left = {};
    if (!saved && ::fstatat(folder, temporary.constData(), &left, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(left.st_mode) && (mine.st_ino == 0 || sameFile(left, mine)))
        ::unlinkat(folder, temporary.constData(), 0);
    return saved;
}

int openFolder(const QString &folder)
{
    return ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

FileKind fileKind(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) == 0)
        return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
    if (::lstat(name.constData(), &info) == 0) {
        if (S_ISLNK(info.st_mode))
            return FileKind::Other; // a link to nothing, or a loop of links
        // Made between the two looks (another copy's first save): what it is now.
        return S_ISREG(info.st_mode) ? FileKind::Regular : FileKind::Other;
    }
    return errno == ENOENT ? FileKind::Missing : FileKind::Other;
}

bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode)
{
    const QByteArray name = QFile::encodeName(path);
    const int flags = openFlags(mode);
    int fd = -1;
    if (mode & QIODevice::WriteOnly) {
        // A missing file is made; nothing that is there (a link to nowhere either) is
        // followed or made into one.
        fd = ::open(name.constData(), flags | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        fd = openExisting(name, flags);
    if (fd < 0)
        return false;
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 ||
        !file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

QString resolvedPath(const QString &path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? QFileInfo(path).absoluteFilePath() : target;
}

QString resolvedFolder(const QString &path)
{
    return QFileInfo(resolvedPath(path)).absolutePath();
}

bool replaceRegularFile(const QString &path, const QByteArray &text)
{
    // A link is resolved here, once; from then on only the folder's descriptor and the
    // file's name are used, so that a link put in place meanwhile is not followed.
    QString target = QFileInfo(path).absoluteFilePath();
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISLNK(info.st_mode)) {
        target = QFileInfo(path).canonicalFilePath();
        if (target.isEmpty())
            return false; // a link to nothing
    }
    const QFileInfo resolved(target);
    const int folder = openFolder(resolved.absolutePath());
    if (folder < 0)
        return false;
    const bool saved = replaceIn(folder, resolved.fileName(), text);
    ::close(folder);
    return saved;
}

QString temporaryName(const QString &fileName, const QString &suffix)
{
    return QLatin1Char('.') + fileName + QStringLiteral(".rinkaro-save-") + suffix;
}

void removeLeftoverTemporaries(const QString &path)
{
    const QFileInfo target(resolvedPath(path));
    const int folder = openFolder(target.absolutePath());
    if (folder < 0)
        return;
    // Only the names this program gives: a learner's copies ("RK.set.tmp-backup",
    // "RK.set.Copy01") are never taken for a leftover.
    const QRegularExpression own(
        QStringLiteral("^%1[A-Za-z0-9]{6}$")
            .arg(QRegularExpression::escape(temporaryName(target.fileName(), QString()))));
    // A temporary younger than this may belong to a save under way in another copy.
    const std::time_t settled = std::time(nullptr) - 60;
    const QStringList names =
        QDir(target.absolutePath()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : names) {
        if (!own.match(entry).hasMatch())
            continue;
        const QByteArray name = QFile::encodeName(entry);
        struct stat info = {};
        // A second name (a hard link the learner made) means it is more than a leftover.
        if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_nlink == 1 && info.st_mtime < settled)
            ::unlinkat(folder, name.constData(), 0);
    }
    ::close(folder);
}

FileLock::FileLock(const QString &folder, int waitMs)
{
    const int fd = openFolder(folder);
    if (fd < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return;
        }
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        if (!busy || std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(fd);
}

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_); // frees the lock
}

} // namespace rinkaro
