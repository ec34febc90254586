// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/backgroundjobs.h"
#include "core/leftoutruns.h"
#include "core/levels.h"
#include "core/progressstats.h"
#include "core/runlogfile.h"
#include "core/weakspots.h"

#include <QByteArray>
#include <QPointer>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

namespace rinkaro
{

// Everything the program works out from the history, gathered in one pass over its lines:
// the statistics window's figures, the weak spots and each text drill's best speed.
struct HistoryFigures {
    ProgressStats stats;
    WeakSpots weak;
    std::array<double, lastDrillLevel + 1> bestSpeeds{}; // kana per minute, by text drill level

    void setLeftOut(const LeftOutRuns &leftOut);
    // The numbers of the kana in the lines given to add.
    KanaNames &kanaNames() { return stats.kanaNames(); }
    void add(const RunLogLine &line);
    // Adds the runs of `later` after these: a history read on from where this one ended.
    void append(const HistoryFigures &later);

private:
    std::vector<int> toWeak_;   // the weak spots' number of each kana number of the lines
    std::vector<int> kanaKeys_; // by kana number of the lines
    bool renumber_ = false;     // some differ
};

// What tells one file from another put in its place: a replaced or rewritten history differs
// in its inode or in its first bytes.
struct HistoryFileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray head; // the first bytes, up to headSize
    static constexpr int headSize = 256;
    friend bool operator==(const HistoryFileIdentity &, const HistoryFileIdentity &) = default;
};

struct HistoryRead {
    HistoryFigures figures;
    RunLogRead outcome;
    HistoryFileIdentity identity;
    bool fromStart = true; // the whole history, not only what followed `from`
    // How much of it came from the image beside it (see historycache.h) instead of its lines.
    qint64 cachedEnd = 0;
    qsizetype cachedRuns = 0;
};
// Reads the history at `path` from `from` (0, or where an earlier read of the file that
// `identity` names ended). A file replaced or cut below `from` since is read again from its
// start, unless `mayRestart` is false: then nothing is read and the outcome says Shrunk. A long
// history is read in parts side by side, one thread each, put together in order. Runs in
// `leftOut` are listed but counted in no figure. A whole read takes what the valid image beside
// the history holds and parses only the lines after it. `cancelled` is looked at between
// blocks.
HistoryRead readHistory(const QString &path, qint64 from, const HistoryFileIdentity &identity,
                        const LeftOutRuns &leftOut, const std::atomic<bool> *cancelled = nullptr,
                        bool mayRestart = true, qint64 largest = largestRunLog);

// The learner's history, read once on a thread of its own and then followed: what this copy
// or another one appends is read from where the last read ended, a file replaced or cut is
// read again from its start, and a change to the runs left out reads it all again. Whoever
// shows it is told after each read; nobody waits for one.
class PracticeHistory
{
public:
    enum class Change {
        Whole,    // everything held was read anew
        Appended, // runs were added after those held
    };

    explicit PracticeHistory(QString logPath);
    ~PracticeHistory();
    PracticeHistory(const PracticeHistory &) = delete;
    PracticeHistory &operator=(const PracticeHistory &) = delete;

    const QString &path() const { return path_; }
    // Starts the first read, or reads what was added since the last one; a change in the runs
    // left out reads the whole history again.
    void load();
    // Reads the whole history again (the runs left out changed); what is held stays until the
    // new read is done, and the history is not ready meanwhile.
    void reload();
    // Starts reading a long history ahead of need, at a low priority, when none is held or
    // being read; whoever needs it meanwhile waits for that read.
    void preload();
    // This copy has just appended a run: read at once when the history is held and idle,
    // after the read under way otherwise, and by the first read when none was made yet.
    void runAppended();

    // A whole read is held and no other is under way (it may be following the file).
    bool ready() const { return ready_ && !wholeUnderway_ && !wholeAgain_; }
    // A read is under way.
    bool loading() const { return jobs_.running() > 0; }
    // The image of the figures is being written (the figures held do not change meanwhile).
    bool savingCache() const { return cacheJobs_.running() > 0; }
    const ProgressStats &stats() const { return held_.stats; }
    const WeakSpots &weakSpots() const { return held_.weak; }
    // The best kana per minute of a text drill's runs; 0 for none.
    double bestTextSpeed(int level) const;
    // How the last read went: a history that is no plain file, or cannot be opened.
    RunLogRead::Status status() const { return status_; }
    // The history is past its bound: its oldest runs were not read.
    bool olderLeftOut() const { return olderLeftOut_; }

    // `listener` is told of each change on this thread while `receiver` lives.
    void subscribe(QObject *receiver, std::function<void(Change)> listener);
    // Runs `then` once the history is held: at once when it is, else after the read (started
    // now when none is under way).
    void whenReady(QObject *receiver, std::function<void()> then);

private:
    void startRead(qint64 from, bool ahead = false);
    void take(HistoryRead read);
    // Listeners hear of a change; those waiting for the history go on once it is ready.
    void tell(std::optional<Change> change);
    bool leftOutChanged() const;
    // Nothing held may change: a read or the image's writer is under way.
    bool busy() const { return loading() || savingCache(); }
    // Writes the image of a long history when there is none or the runs held outgrew it.
    void saveCacheWhenDue();
    void goOn();

    QString path_;
    LeftOutRuns leftOut_; // as the held figures count them
    HistoryFigures held_;
    HistoryFileIdentity identity_;
    qint64 end_ = 0; // where the held read ended
    bool ready_ = false;
    bool wholeUnderway_ = false;
    bool followAgain_ = false; // runs were appended while a read was under way
    bool wholeAgain_ = false;  // the runs left out changed while a read was under way
    RunLogRead::Status status_ = RunLogRead::Status::Read;
    bool olderLeftOut_ = false;
    qsizetype cachedRuns_ = 0; // in the image beside the history, as far as this copy knows
    struct Listener {
        QPointer<QObject> receiver;
        std::function<void(Change)> listener;
    };
    std::vector<Listener> listeners_;
    struct Waiter {
        QPointer<QObject> receiver;
        std::function<void()> then;
    };
    std::vector<Waiter> waiters_;
    BackgroundJobs jobs_; // last: waited for before anything else goes
    BackgroundJobs cacheJobs_;
};

} // namespace rinkaro
