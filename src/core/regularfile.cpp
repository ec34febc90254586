// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/regularfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace
{

int openFlags(QIODevice::OpenMode mode)
{
    const bool reads = mode & QIODevice::ReadOnly;
    const bool writes = mode & QIODevice::WriteOnly;
    int flags = reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
    if (writes)
        flags |= O_CREAT;
    if (mode & QIODevice::Append)
        flags |= O_APPEND;
    // Non-blocking for the open alone: a pipe then answers at once instead of waiting for
    // a writer, and the check below turns it away.
    return flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
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
bool overwriteInPlace(const QString &target, const QByteArray &text)
{
    QFile direct;
    if (!openRegularFile(direct, target, QIODevice::ReadWrite))
        return false;
    const bool written =
        direct.write(text) == text.size() && direct.flush() && direct.resize(text.size());
    direct.close();
    return written && direct.error() == QFileDevice::NoError;
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
    const FileKind kind = fileKind(path);
    if (kind == FileKind::Other || (kind == FileKind::Missing && !(mode & QIODevice::WriteOnly)))
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), openFlags(mode), 0666);
    if (fd < 0)
        return false;
    // Checked again on what was opened: the path may have changed since it was looked at.
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
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

bool replaceRegularFile(const QString &path, const QByteArray &text)
{
    const FileKind kind = fileKind(path);
    if (kind == FileKind::Other)
        return false;
    const QString target = resolvedPath(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old = {};
    const bool exists = kind == FileKind::Regular && ::stat(targetName.constData(), &old) == 0;

    QByteArray temporary = targetName + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) // a folder that cannot take a temporary file
        return exists && overwriteInPlace(target, text);
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
    saved = saved && ::fsync(fd) == 0;
    saved = ::close(fd) == 0 && saved;
    saved = saved && ::rename(temporary.constData(), targetName.constData()) == 0;
    if (!saved)
        ::unlink(temporary.constData());
    return saved;
}

void removeLeftoverTemporaries(const QString &path)
{
    const QFileInfo target(resolvedPath(path));
    const QString name = QRegularExpression::escape(target.fileName());
    // This program's own temporaries, and those of the Qt save files of its earlier
    // versions: six random letters and digits, told from a name a person would give a copy
    // ("RK.set.backup") by their mix of capitals, small letters and digits.
    const QRegularExpression own(QStringLiteral("^%1\\.tmp-[A-Za-z0-9]{6}$").arg(name));
    const QRegularExpression earlier(
        QStringLiteral("^%1\\.(?=[^.]*[A-Z])(?=[^.]*[a-z])(?=[^.]*[0-9])[A-Za-z0-9]{6}$")
            .arg(name));
    // A temporary younger than this may belong to a save under way in another copy.
    const QDateTime settled = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QDir folder = target.dir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : names) {
        if (!own.match(entry).hasMatch() && !earlier.match(entry).hasMatch())
            continue;
        const QFileInfo leftover(folder.filePath(entry));
        if (!leftover.isSymLink() && fileKind(leftover.filePath()) == FileKind::Regular &&
            leftover.lastModified().toUTC() < settled)
            QFile::remove(leftover.filePath());
    }
}

FileLock::FileLock(const QString &path, int waitMs) : path_(QFile::encodeName(path))
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const int fd =
            ::open(path_.constData(),
                   O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
        struct stat opened = {};
        if (fd < 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
            if (fd >= 0)
                ::close(fd);
            return; // no lock can be made here
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before may have removed the file after this open: then the lock
            // is on a file that no one else will see, and a new one is made.
            struct stat named = {};
            if (::stat(path_.constData(), &named) == 0 && named.st_dev == opened.st_dev &&
                named.st_ino == opened.st_ino) {
                fd_ = fd;
                return;
            }
            ::close(fd);
            continue;
        }
        const bool busy = errno == EWOULDBLOCK || errno == EINTR;
        ::close(fd);
        if (!busy || std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

FileLock::~FileLock()
{
    if (fd_ < 0)
        return;
    // Removed while still held, so that no one locks the file that is going away.
    ::unlink(path_.constData());
    ::close(fd_);
}
