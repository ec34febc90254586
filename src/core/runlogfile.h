// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading the history's file: in blocks, from an offset, within a bound, cancellable.
#include "core/runlogreader.h"

#include <QString>

#include <atomic>
#include <functional>

class QIODevice;

namespace rinkaro
{

// Reads a whole history, one entry at a time, passing over unreadable lines; never fails.
// `keepReading`, when given, is asked before every block and stops the reading when it
// answers false. Returns the number of entries passed on.
qsizetype readRunLog(QIODevice &device, const std::function<void(const RunLogEntry &)> &onEntry,
                     const std::function<bool()> &keepReading = {});

struct RunLogRead {
    enum class Status {
        Read,       // the whole history, or none yet (no file)
        NotAFile,   // a device, a pipe or a folder in its place: never opened
        Unreadable, // a plain file that cannot be opened
        Cancelled,  // `cancelled` was set
        Shrunk,     // smaller than where an earlier read ended, or cut short while it was
                    // read: replaced, and what was read is not the history
    };
    Status status = Status::Read;
    qsizetype entries = 0;
    qint64 end = 0; // the offset just past the bytes read, where a later read goes on
    // Bytes of the oldest runs passed over, in a history larger than the bound; 0 else.
    qint64 leftOut = 0;
};
// Far beyond what a learner could ever type (a million runs take under 600 MB).
constexpr qint64 largestRunLog = 1024LL * 1024 * 1024;
// Reads the history in the file at `path` from the offset `from` on (0, or the end of an
// earlier read of the same file) up to the offset `until` (a line's start; -1: the end it has
// now), only when it is a plain file. Of more than `largest` bytes, only the newest ones are
// read, from the first line that starts among them: the runs that matter most. A file that
// ends before `until` was cut meanwhile (Shrunk). Meant for a worker thread: `cancelled` may be
// set from another thread and is looked at between blocks.
RunLogRead readRunLogFile(const QString &path, KanaNames &names,
                          const std::function<void(const RunLogLine &)> &onLine,
                          const std::atomic<bool> *cancelled = nullptr,
                          qint64 largest = largestRunLog, qint64 from = 0, qint64 until = -1);
// Where readRunLogFile starts reading the file at `path` from `from` to `until` with the
// bound `largest`: `from`, or the start of the first line of the newest `largest` bytes.
qint64 runLogReadStart(const QString &path, qint64 from = 0, qint64 until = -1,
                       qint64 largest = largestRunLog);
// Reads lines from `device` into `reader` as readRunLog does, or its first `limit` bytes;
// returns the number of lines passed on.
qsizetype readRunLogLines(RunLogReader &reader, QIODevice &device,
                          const std::function<void(const RunLogLine &)> &onLine,
                          const std::function<bool()> &keepReading = {}, qint64 limit = -1);

} // namespace rinkaro
