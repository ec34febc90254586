// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runlogfile.h"

#include "core/regularfile.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace rinkaro
{

namespace
{

using Bytes = std::string_view;

constexpr qsizetype blockSize = 1 << 20;
// Longer than any line a run could leave; a longer one is passed over without being held.
constexpr qsizetype maxLineSize = 1 << 20;

} // namespace

qsizetype readRunLogLines(RunLogReader &reader, QIODevice &device,
                          const std::function<void(const RunLogLine &)> &onLine,
                          const std::function<bool()> &keepReading, qint64 limit)
{
    qsizetype lines = 0;
    // A short history is read in one block no larger than itself.
    const qint64 available = device.isSequential() ? 0 : device.bytesAvailable();
    const qsizetype chunk = available > 0 && available < blockSize ? available + 1 : blockSize;
    QByteArray buffer;
    qsizetype held = 0;        // bytes of an unfinished line at the front of the buffer
    bool skippingLine = false; // the rest of an overlong line is being passed over
    const auto take = [&](Bytes text) {
        if (const RunLogLine *line = reader.read(text)) {
            ++lines;
            onLine(*line);
        }
    };
    for (;;) {
        if (keepReading && !keepReading())
            return lines;
        if (buffer.size() < held + chunk)
            buffer.resize(held + chunk);
        const qint64 got =
            device.read(buffer.data() + held, limit < 0 ? chunk : std::min<qint64>(chunk, limit));
        if (got <= 0)
            break;
        if (limit >= 0)
            limit -= got;
        const char *data = buffer.constData();
        const qsizetype end = held + got;
        qsizetype start = 0;
        while (const void *found = std::memchr(data + start, '\n', size_t(end - start))) {
            const qsizetype newline = static_cast<const char *>(found) - data;
            if (!skippingLine)
                take(Bytes(data + start, size_t(newline - start)));
            skippingLine = false;
            start = newline + 1;
        }
        held = end - start;
        if (held > maxLineSize || skippingLine) {
            skippingLine = true;
            held = 0;
        } else {
            std::memmove(buffer.data(), data + start, size_t(held));
        }
    }
    // The last line may lack its line feed.
    if (held > 0 && !skippingLine)
        take(Bytes(buffer.constData(), size_t(held)));
    return lines;
}

qsizetype readRunLog(QIODevice &device, const std::function<void(const RunLogEntry &)> &onEntry,
                     const std::function<bool()> &keepReading)
{
    KanaNames names;
    RunLogReader reader(names);
    return readRunLogLines(
        reader, device, [&](const RunLogLine &line) { onEntry(entryOf(line, names)); },
        keepReading);
}

namespace
{

// The start of the first line that begins at or after `at` (the end of the file if none).
qint64 lineStartFrom(QFile &file, qint64 at)
{
    if (at <= 0)
        return 0;
    for (qint64 from = at - 1;;) {
        // A hole in a sparse file reads as zeros, which hold no line end: it is passed over.
        const off_t data = ::lseek(file.handle(), off_t(from), SEEK_DATA);
        if (data < 0 && errno == ENXIO)
            return file.size();
        from = std::max<qint64>(from, data);
        if (!file.seek(from))
            return from;
        const QByteArray block = file.read(64 * 1024);
        if (block.isEmpty())
            return from;
        if (const qsizetype newline = block.indexOf('\n'); newline >= 0)
            return from + newline + 1;
        from += block.size();
    }
}

// `from`, or where the newest `largest` bytes before `last` start at a line's start.
qint64 readStart(QFile &file, qint64 from, qint64 last, qint64 largest)
{
    return last - from > largest ? lineStartFrom(file, last - largest) : from;
}

} // namespace

qint64 runLogReadStart(const QString &path, qint64 from, qint64 until, qint64 largest)
{
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return from;
    return readStart(file, from, until < 0 ? file.size() : until, largest);
}

RunLogRead readRunLogFile(const QString &path, KanaNames &names,
                          const std::function<void(const RunLogLine &)> &onLine,
                          const std::atomic<bool> *cancelled, qint64 largest, qint64 from,
                          qint64 until)
{
    RunLogRead result;
    switch (fileKind(path)) {
    case FileKind::Missing:
        return result; // no runs yet
    case FileKind::Other:
        result.status = RunLogRead::Status::NotAFile;
        return result;
    case FileKind::Regular:
        break;
    }
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly)) {
        result.status = RunLogRead::Status::Unreadable;
        return result;
    }
    // What is there now: lines appended meanwhile are for the next read.
    const qint64 last = until < 0 ? file.size() : until;
    const qint64 start = file.size() < last ? last : readStart(file, from, last, largest);
    if (file.size() < last || last < from || !file.seek(start)) {
        result.status = RunLogRead::Status::Shrunk;
        return result;
    }
    result.leftOut = start - from;
    const auto keepReading = [&] {
        if (cancelled && cancelled->load(std::memory_order_relaxed)) {
            result.status = RunLogRead::Status::Cancelled;
            return false;
        }
        return true;
    };
    RunLogReader reader(names);
    result.entries = readRunLogLines(reader, file, onLine, keepReading, last - start);
    result.end = file.pos();
    // Cut below `last` while it was read: the runs read are not the history's.
    if (result.status == RunLogRead::Status::Read && result.end < last)
        result.status = RunLogRead::Status::Shrunk;
    return result;
}

} // namespace rinkaro
