// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

class QFile;

namespace rinkaro
{

// The learner's files are only ever read and written when they are plain files. A link is
// followed to find out; a device, a pipe, a socket or a folder in their place is a file
// that cannot be read or written: opening a pipe would block until a writer comes, and a
// save would replace a device with a text file.

enum class FileKind {
    Missing, // nothing there (a link that leads nowhere counts as something there)
    Regular, // a plain file, directly or through links
    Other,   // anything else
};
FileKind fileKind(const QString &path);

// Opens `path` into `file` when it is a plain file, without ever blocking on the open and
// without opening anything else (what the path names is looked at once, and that is what is
// opened). `mode` is ReadOnly, or WriteOnly or ReadWrite with Append, which creates a
// missing file; Unbuffered is passed on. Returns false, with `file` closed, for anything else.
bool openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode);

// Replaces the plain file at `path` (or creates it) with `text` only once the new text is
// completely on disk, so that a failed save leaves the old file as it was. A link keeps
// pointing where it did: its target, resolved once, is replaced. The file keeps its
// permissions and, where the saver may set it, its owner. Where the folder cannot take a
// temporary file but the file itself can be written, it is overwritten in place. Anything
// but a plain file is left untouched, also when it is put in the file's place during the save.
// Returns whether the text was saved.
bool replaceRegularFile(const QString &path, const QByteArray &text);

// The name of a temporary file that a save of `fileName` makes beside it
// (".RK.set.rinkaro-save-a1B2c3"); `suffix` is six letters or digits.
QString temporaryName(const QString &fileName, const QString &suffix);
// Removes the temporary files that interrupted saves of `path` left beside its target: only
// names this program gives them, only plain files with no other name, and only those older
// than a minute. Only to be called while no other save of the file can be under way.
void removeLeftoverTemporaries(const QString &path);

// Where the file at `path` really is: the target of a link, or the path itself made absolute.
QString resolvedPath(const QString &path);
// The folder that holds the file at `path` once links are followed.
QString resolvedFolder(const QString &path);

// An advisory lock (flock) on a folder: no file beside the learner's files is needed, so no
// stray file of that name can turn locking off. The lock goes with its holder: a copy that
// dies holding it frees it. Waits at most `waitMs` milliseconds for another holder, then goes
// on without it (`held()` false), as it does where the folder cannot be opened.
class FileLock
{
public:
    FileLock(const QString &folder, int waitMs);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace rinkaro
