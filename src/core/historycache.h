// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>

namespace rinkaro
{

class LeftOutRuns;
struct HistoryFigures;
struct HistoryFileIdentity;

// A long history is parsed once: what its lines add up to is kept beside it in
// "RK.log.cache", a binary image of the figures of its first bytes. The image is only an aid:
// it is believed only while the history still begins with exactly those bytes and the runs
// left out are the same, and is rebuilt otherwise.

// Below this many runs parsing is quick enough, and no image is written.
inline constexpr qsizetype cacheFromRuns = 10000;

// "RK.log.cache" beside the history at `logPath`.
QString historyCachePath(const QString &logPath);

// Loads the image beside `logPath` into `figures` when it describes the first bytes of the
// history open as `logFd` with the runs in `leftOut` left out: the same file, as long or
// longer, its first and last blocks of that part unchanged, the image whole. Returns how many
// bytes of the history it stands for; 0, with `figures` as they were, when it is missing,
// damaged, foreign or out of date.
qint64 loadHistoryCache(const QString &logPath, int logFd, const LeftOutRuns &leftOut,
                        HistoryFigures &figures);

// Writes the image of `figures`, the first `end` bytes of the history `identity` names,
// into place only once it is whole on disk. Never through a link, never over anything but a
// plain file; false when it was not written (a failure, or `cancelled` set meanwhile).
bool saveHistoryCache(const QString &logPath, const HistoryFigures &figures, qint64 end,
                      const HistoryFileIdentity &identity, const LeftOutRuns &leftOut,
                      const std::atomic<bool> *cancelled = nullptr);

} // namespace rinkaro
