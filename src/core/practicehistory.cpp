// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/practicehistory.h"

#include "core/historycache.h"
#include "core/regularfile.h"
#include "core/textdrill.h"

#include <QFile>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <thread>
#include <utility>

namespace rinkaro
{

void HistoryFigures::setLeftOut(const LeftOutRuns &leftOut)
{
    stats.setLeftOut(leftOut);
    weak.setLeftOut(leftOut);
}

void HistoryFigures::add(const RunLogLine &line)
{
    // Both number the kana in the order the lines name them, so the numbers agree unless the
    // weak spots were given runs of their own before.
    const KanaNames &names = kanaNames();
    numberKanaKeys(names, kanaKeys_);
    while (int(toWeak_.size()) < names.size()) {
        const int number = int(toWeak_.size());
        toWeak_.push_back(weak.kanaNames().find(names.name(number)));
        renumber_ |= toWeak_.back() != number;
    }
    if (!renumber_) {
        // One line's times, worked out once for both.
        const LineTimes times(line, kanaKeys_);
        stats.add(line, &times);
        weak.add(line, &times);
    } else {
        stats.add(line);
        RunLogLine renumbered = line;
        for (RunLogLine::Miss &miss : renumbered.misses)
            if (miss.kana >= 0)
                miss.kana = toWeak_[std::size_t(miss.kana)];
        for (RunLogLine::Count &count : renumbered.kana)
            count.name = toWeak_[std::size_t(count.name)];
        weak.add(renumbered);
    }
    if (isTextDrill(line.level)) {
        double &best = bestSpeeds[std::size_t(line.level)];
        best = std::max(best, textRunFigures(line).kanaPerMinute);
    }
}

void HistoryFigures::append(const HistoryFigures &later)
{
    stats.append(later.stats);
    weak.append(later.weak);
    for (std::size_t level = 0; level < bestSpeeds.size(); ++level)
        bestSpeeds[level] = std::max(bestSpeeds[level], later.bestSpeeds[level]);
    // Each numbered the kana it met on its own.
    toWeak_.clear();
    renumber_ = false;
    kanaKeys_.clear();
}

namespace
{

// Below this much a history is read in one part: starting threads costs more than it saves.
constexpr qint64 smallestPart = 4 << 20;

// Where the parts of a history begin: near equal shares of it, each at a line's start.
std::vector<qint64> partStarts(QFile &file, qint64 from)
{
    std::vector<qint64> starts{from};
    const qint64 size = file.size();
    const int parts =
        int(std::clamp<qint64>((size - from) / smallestPart, 1,
                               std::clamp(int(std::thread::hardware_concurrency()), 1, 4)));
    for (int k = 1; k < parts; ++k) {
        const qint64 near = from + (size - from) * k / parts;
        if (!file.seek(near))
            break;
        const QByteArray bytes = file.read(64 * 1024);
        const qsizetype newline = bytes.indexOf('\n');
        if (newline < 0 || near + newline + 1 <= starts.back())
            continue; // an overlong line: its part takes the next share too
        starts.push_back(near + newline + 1);
    }
    return starts;
}

HistoryFileIdentity identityOf(QFile &file)
{
    HistoryFileIdentity identity;
    struct stat status {
    };
    if (::fstat(file.handle(), &status) == 0) {
        identity.device = quint64(status.st_dev);
        identity.inode = quint64(status.st_ino);
    }
    if (file.seek(0))
        identity.head = file.read(HistoryFileIdentity::headSize);
    return identity;
}

// Whether the file still begins as the one read before: its first bytes then are its first
// bytes now, as far as both go.
bool sameFile(const HistoryFileIdentity &now, const HistoryFileIdentity &before)
{
    const qsizetype common = std::min(now.head.size(), before.head.size());
    return now.device == before.device && now.inode == before.inode &&
           now.head.left(common) == before.head.left(common);
}

} // namespace

HistoryRead readHistory(const QString &path, qint64 from, const HistoryFileIdentity &identity,
                        const LeftOutRuns &leftOut, const std::atomic<bool> *cancelled,
                        bool mayRestart, qint64 largest)
{
    HistoryRead result;
    result.figures.setLeftOut(leftOut);
    QFile file;
    if (fileKind(path) == FileKind::Regular && openRegularFile(file, path, QIODevice::ReadOnly)) {
        result.identity = identityOf(file);
        if (from > 0 && (file.size() < from || !sameFile(result.identity, identity))) {
            if (!mayRestart) {
                result.outcome.status = RunLogRead::Status::Shrunk;
                return result;
            }
            from = 0;
        }
    } else {
        from = 0; // gone, or no plain file: readRunLogFile tells which
    }
    result.fromStart = from == 0;
    // Of a history past the bound, only the newest part is divided and read.
    qint64 newest = runLogReadStart(path, from, -1, largest);
    if (from == 0 && newest == 0 && file.isOpen()) {
        // What the image beside it holds need not be parsed again.
        result.cachedEnd = loadHistoryCache(path, file.handle(), leftOut, result.figures);
        result.cachedRuns = result.figures.stats.runs();
        from = newest = result.cachedEnd;
    }
    const std::vector<qint64> starts =
        file.isOpen() ? partStarts(file, newest) : std::vector<qint64>{newest};
    file.close();
    std::vector<HistoryFigures> parts(starts.size());
    for (HistoryFigures &part : parts)
        part.setLeftOut(leftOut);
    std::vector<RunLogRead> reads(starts.size());
    const auto readPart = [&](std::size_t k) {
        HistoryFigures &part = parts[k];
        reads[k] = readRunLogFile(
            path, part.kanaNames(), [&part](const RunLogLine &line) { part.add(line); }, cancelled,
            largest, starts[k], k + 1 < starts.size() ? starts[k + 1] : -1);
    };
    std::vector<std::thread> threads;
    for (std::size_t k = 1; k < starts.size(); ++k)
        threads.emplace_back(readPart, k);
    readPart(0);
    for (std::thread &thread : threads)
        thread.join();

    if (result.cachedEnd > 0)
        result.figures.append(parts[0]);
    else
        result.figures = std::move(parts[0]);
    parts[0] = {};
    result.outcome = reads[0];
    result.outcome.entries += result.cachedRuns;
    result.outcome.leftOut += newest - from;
    for (std::size_t k = 1; k < starts.size(); ++k) {
        // The first part that stopped short decides; what follows it is left out.
        if (result.outcome.status != RunLogRead::Status::Read)
            break;
        result.figures.append(parts[k]);
        parts[k] = {};
        result.outcome.entries += reads[k].entries;
        result.outcome.status = reads[k].status;
        result.outcome.end = reads[k].end;
    }
    parts.clear();
#ifdef __GLIBC__
    // The parts, put together and freed, leave their memory with the threads that read
    // them unless it is handed back: a long history's runs would be held twice over.
    if (starts.size() > 1)
        malloc_trim(0);
#endif
    return result;
}

// ---- The history held and followed ----------------------------------------------------

PracticeHistory::PracticeHistory(QString logPath) : path_(std::move(logPath)) {}

PracticeHistory::~PracticeHistory()
{
    // The reader looks at the flag between blocks: this is short, even in a long history.
    cacheJobs_.cancelAll();
    jobs_.cancelAll();
    cacheJobs_.waitAll();
    jobs_.waitAll();
}

double PracticeHistory::bestTextSpeed(int level) const
{
    return level >= 0 && level <= lastDrillLevel ? held_.bestSpeeds[std::size_t(level)] : 0;
}

bool PracticeHistory::leftOutChanged() const
{
    return LeftOutRuns::load(LeftOutRuns::pathBeside(path_)) != leftOut_;
}

void PracticeHistory::load()
{
    if (busy()) {
        followAgain_ = true;
        return;
    }
    if (!ready_ || leftOutChanged())
        reload();
    else
        startRead(end_);
}

void PracticeHistory::reload()
{
    if (busy()) {
        wholeAgain_ = true;
        return;
    }
    startRead(0);
}

void PracticeHistory::preload()
{
    // Below this much a history is read in a moment when it is asked for.
    constexpr qint64 preloadFrom = 4 << 20;
    QFile file;
    if (ready_ || busy() || !openRegularFile(file, path_, QIODevice::ReadOnly) ||
        file.size() < preloadFrom)
        return;
    startRead(0, true);
}

void PracticeHistory::runAppended()
{
    if (busy()) {
        followAgain_ = true;
        return;
    }
    if (!ready_)
        return; // the first read finds it in the file
    // A line or two: read here and now, so that the next run already counts it. Anything
    // more (a file replaced, a long stretch from another copy) is read on the thread.
    constexpr qint64 readHere = 64 * 1024;
    QFile file;
    if (leftOutChanged() || !openRegularFile(file, path_, QIODevice::ReadOnly) ||
        file.size() - end_ > readHere) {
        load();
        return;
    }
    file.close();
    HistoryRead read = readHistory(path_, end_, identity_, leftOut_, nullptr, false);
    if (read.outcome.status == RunLogRead::Status::Read)
        take(std::move(read));
    else
        load();
}

void PracticeHistory::startRead(qint64 from, bool ahead)
{
    wholeUnderway_ = from == 0;
    if (from == 0)
        leftOut_ = LeftOutRuns::load(LeftOutRuns::pathBeside(path_));
    jobs_.start(
        [path = path_, from, identity = identity_, leftOut = leftOut_,
         ahead](const BackgroundJobs::Cancelled &cancelled) {
            // Ahead of need, the read gives way to the window and to other programs; the
            // threads that read its parts take this thread's niceness. It is never lowered
            // again (that takes a privilege), but on an idle machine it costs nothing.
            if (ahead)
                ::setpriority(PRIO_PROCESS, id_t(::gettid()), 10);
            return readHistory(path, from, identity, leftOut, &cancelled);
        },
        [this](HistoryRead read) {
            wholeUnderway_ = false;
            take(std::move(read));
            goOn();
        });
}

void PracticeHistory::goOn()
{
    if (std::exchange(wholeAgain_, false))
        reload();
    else if (std::exchange(followAgain_, false))
        load();
}

void PracticeHistory::saveCacheWhenDue()
{
    // Rewritten once the runs parsed on top of it are many, or a good share of it.
    const qsizetype runs = held_.stats.runs();
    const qsizetype grown = std::min(cacheFromRuns, std::max<qsizetype>(cachedRuns_ / 10, 1));
    if (busy() || status_ != RunLogRead::Status::Read || olderLeftOut_ || end_ <= 0 ||
        runs < cacheFromRuns || runs - cachedRuns_ < grown)
        return;
    cachedRuns_ = runs; // a failed write is not tried again before the history grows as much
    // The figures are read in place: nothing changes them until the writer is done.
    cacheJobs_.start(
        [path = path_, figures = &held_, end = end_, identity = identity_,
         leftOut = leftOut_](const BackgroundJobs::Cancelled &cancelled) {
            return saveHistoryCache(path, *figures, end, identity, leftOut, &cancelled);
        },
        [this](bool) { goOn(); }, QThread::LowPriority);
}

void PracticeHistory::take(HistoryRead read)
{
    const RunLogRead &outcome = read.outcome;
    if (outcome.status == RunLogRead::Status::Shrunk) {
        // Cut while it was read: what was read is not the history.
        wholeAgain_ = true;
        return;
    }
    if (read.fromStart || outcome.leftOut > 0)
        olderLeftOut_ = outcome.leftOut > 0;
    status_ = outcome.status;
    // Only a whole read moves on where the next one starts; a cancelled one is never taken.
    if (outcome.status != RunLogRead::Status::Read && !read.fromStart) {
        tell({});
        return;
    }
    const Change change = read.fromStart ? Change::Whole : Change::Appended;
    if (read.fromStart)
        held_ = std::move(read.figures);
    else if (outcome.entries > 0)
        held_.append(read.figures);
    identity_ = std::move(read.identity);
    end_ = outcome.status == RunLogRead::Status::Read ? outcome.end : 0;
    ready_ = true;
    if (read.fromStart)
        cachedRuns_ = read.cachedRuns;
    saveCacheWhenDue();
    // Told when nothing was added too: a window asked to follow knows it is up to date.
    tell(change);
}

void PracticeHistory::tell(std::optional<Change> change)
{
    std::erase_if(listeners_, [](const Listener &l) { return l.receiver.isNull(); });
    // A listener may subscribe or wait anew: the lists are walked as they were.
    const std::vector<Listener> listeners = listeners_;
    for (const Listener &listener : listeners)
        if (change && listener.receiver)
            listener.listener(*change);
    if (!ready())
        return; // the whole history is read again: those waiting wait for that
    std::vector<Waiter> waiters = std::exchange(waiters_, {});
    for (Waiter &waiter : waiters)
        if (waiter.receiver)
            waiter.then();
}

void PracticeHistory::subscribe(QObject *receiver, std::function<void(Change)> listener)
{
    listeners_.push_back({receiver, std::move(listener)});
}

void PracticeHistory::whenReady(QObject *receiver, std::function<void()> then)
{
    if (ready()) {
        then();
        return;
    }
    waiters_.push_back({receiver, std::move(then)});
    if (!loading())
        load();
}

} // namespace rinkaro
