// SPDX-License-Identifier: GPL-3.0-or-later
// The one history: read in one pass (in parts side by side when long) into the statistics,
// the weak spots and the text drills' best speeds, equal to reading each alone; followed as
// this copy or another appends to it, read again when it is cut or replaced, with the runs
// left out counted in nothing; the image of a long history kept beside it, believed only
// while it agrees with the history; and the background jobs it is read by.
#include "core/backgroundjobs.h"
#include "core/historycache.h"
#include "core/practicehistory.h"
#include "core/textdrill.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <cmath>

#include <sys/stat.h>
#include <unistd.h>

using namespace rinkaro;

namespace
{

const char *const kanaCycle[] = {"し", "か", "っ", "きゃ", "ん", "ふ", "ぬ"};

// Run number k of a made-up history: every kind of level, misses and times, and kana first
// met in an order that changes along it, so that parts read apart number them differently.
// From run 30000 on the learner slips on other keys and kana: the older runs must fade.
RunLogEntry run(int k)
{
    const bool late = k >= 30000;
    static const int levels[] = {1, 5, 7, 3, wordsLevel, 9, sentencesLevel, 10, 11, 2};
    RunLogEntry entry;
    entry.ended = QDateTime(QDate(2026, 1, 1), QTime(8, 0), QTimeZone(9 * 3600)).addSecs(600LL * k);
    entry.level = levels[k % 10];
    entry.seconds = 20 + k % 7;
    entry.errors = k % 3;
    entry.score = entry.seconds + entry.errors;
    RunTally &tally = entry.tally;
    if (weakKindOf(entry.level) == WeakKind::Keys) {
        tally.rightKeys = {{'f', 5 + k % 4}, {'j', 6}, {';', 2}};
        tally.keyMs = {{'f', 900 + 10 * (k % 5)}, {'j', 1300}, {';', 700}};
        if (k % 3 != 0)
            tally.misses.push_back({QString(), late ? 'j' : 'f', 'd'});
        return entry;
    }
    for (int n = 0; n < 3; ++n) {
        const QString kana = QString::fromUtf8(kanaCycle[(k / 7 + n * 2) % 7]);
        tally.kanaTyped[kana] += 2 + n;
        tally.kanaMs[kana] += 400 + 100 * n + k % 11;
        tally.rightKeys['k'] += 2 + n;
        tally.keyMs['k'] += 200;
        if ((k + n) % 4 == 0 && (n == 2) == late)
            tally.misses.push_back({kana, 'k', 'j'});
    }
    return entry;
}

QByteArray lines(int first, int last)
{
    QByteArray text;
    for (int k = first; k < last; ++k)
        text += formatRunLogLine(run(k));
    return text;
}

bool writeFile(const QString &path, const QByteArray &text, QIODevice::OpenMode mode)
{
    QFile file(path);
    return file.open(mode) && file.write(text) == text.size();
}

// A folder of its own with a history in it: runs 0 to `runs` - 1.
struct HistoryFolder {
    explicit HistoryFolder(int runs)
        : written(writeFile(path, lines(0, runs), QIODevice::WriteOnly))
    {
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    const bool written;
};

// What the three readers of the history, each on its own, made of it: a line at a time.
struct SeparateReaders {
    ProgressStats stats;
    WeakSpots weak;
    std::array<double, lastDrillLevel + 1> bests{};
};
SeparateReaders readSeparately(const QString &path, const LeftOutRuns &leftOut)
{
    SeparateReaders readers;
    readers.stats.setLeftOut(leftOut);
    readers.weak.setLeftOut(leftOut);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readers;
    // Each numbers the kana on its own, as each reader did.
    KanaNames textNames;
    for (const QByteArray &text : file.readAll().split('\n')) {
        if (text.isEmpty())
            continue;
        RunLogReader statsReader(readers.stats.kanaNames());
        readers.stats.add(*statsReader.read(text.toStdString()));
        RunLogReader weakReader(readers.weak.kanaNames());
        readers.weak.add(*weakReader.read(text.toStdString()));
        RunLogReader textReader(textNames);
        const RunLogLine &line = *textReader.read(text.toStdString());
        if (isTextDrill(line.level))
            readers.bests[std::size_t(line.level)] = std::max(
                readers.bests[std::size_t(line.level)], textRunFigures(line).kanaPerMinute);
    }
    return readers;
}

bool close(double a, double b)
{
    return std::abs(a - b) <= 1e-9 * std::max({1.0, std::abs(a), std::abs(b)});
}

// Until the history has taken what is in its file (or the wait is given up).
void settle(const PracticeHistory &history)
{
    QTRY_VERIFY_WITH_TIMEOUT(history.ready() && !history.loading(), 30000);
}

qsizetype countedRuns(const PracticeHistory &history)
{
    return history.stats().totals(QDate(2030, 1, 1)).runs;
}

// The first way two readings of a history differ, as the three views show it: empty when
// they agree in every number.
QString difference(const HistoryFigures &got, const HistoryFigures &want)
{
    const ProgressStats &a = got.stats;
    const ProgressStats &b = want.stats;
    if (a.runs() != b.runs())
        return QStringLiteral("runs %1 %2").arg(a.runs()).arg(b.runs());
    for (qsizetype k = 0; k < a.runs(); ++k) {
        const RunFigures &x = a.allRuns()[std::size_t(k)];
        const RunFigures &y = b.allRuns()[std::size_t(k)];
        if (x.endedMs != y.endedMs || x.secondsTenths != y.secondsTenths ||
            x.scoreTenths != y.scoreTenths || x.errors != y.errors || x.typed != y.typed ||
            x.rightKeys != y.rightKeys || x.offsetMinutes != y.offsetMinutes ||
            x.level != y.level || x.randomOrder != y.randomOrder || x.newRecord != y.newRecord ||
            x.leftOut != y.leftOut)
            return QStringLiteral("run %1").arg(k);
    }
    const QDate today(2030, 1, 1);
    if (a.totals(today).runs != b.totals(today).runs ||
        a.totals(today).seconds != b.totals(today).seconds ||
        a.totals(today).longestStreak != b.totals(today).longestStreak)
        return QStringLiteral("totals");
    if (a.textCount() != b.textCount())
        return QStringLiteral("texts");
    for (int level = 0; level <= lastDrillLevel; ++level) {
        if (a.levelRuns(level) != b.levelRuns(level))
            return QStringLiteral("runs of level %1").arg(level);
        for (const char key : QByteArrayLiteral("abcdefghijklmnopqrstuvwxyz,.;/-")) {
            const PressFigures &x = a.key(level, key);
            const PressFigures &y = b.key(level, key);
            if (x.misses != y.misses || x.right != y.right || x.timedMs != y.timedMs ||
                x.timed != y.timed || x.mostOftenInstead() != y.mostOftenInstead())
                return QStringLiteral("key %1 of level %2").arg(key).arg(level);
        }
        for (const auto by : {ProgressStats::Ranking::Misses, ProgressStats::Ranking::Time}) {
            const auto x = a.rankedKana(level, by, 100);
            const auto y = b.rankedKana(level, by, 100);
            if (x.size() != y.size())
                return QStringLiteral("kana of level %1").arg(level);
            for (std::size_t k = 0; k < x.size(); ++k)
                if (x[k].kana != y[k].kana || x[k].figures.misses != y[k].figures.misses ||
                    x[k].figures.timedMs != y[k].figures.timedMs || !close(x[k].rate, y[k].rate))
                    return QStringLiteral("kana %1 of level %2").arg(x[k].kana).arg(level);
        }
    }
    for (const WeakKind kind : {WeakKind::Keys, WeakKind::Kana}) {
        const auto x = got.weak.ranked(kind);
        const auto y = want.weak.ranked(kind);
        if (got.weak.runs(kind) != want.weak.runs(kind) || x.size() != y.size())
            return QStringLiteral("weak spots");
        for (std::size_t k = 0; k < x.size(); ++k)
            if (x[k].name != y[k].name || !close(x[k].weight, y[k].weight) ||
                !close(x[k].missRate, y[k].missRate) ||
                !close(got.weak.shownMissRate(kind, x[k].name),
                       want.weak.shownMissRate(kind, y[k].name)))
                return QStringLiteral("weak spot %1").arg(x[k].name);
    }
    if (got.bestSpeeds != want.bestSpeeds)
        return QStringLiteral("best speeds");
    return {};
}

// Turns the line starting at `at` from ordered to random order, or back: the same length.
void flipOrder(QByteArray &text, qsizetype at)
{
    const qsizetype field = text.indexOf('\t', text.indexOf('\t', at) + 1) + 1;
    text[field] = text[field] == 'o' ? 'r' : 'o';
}

// An image of the history at `path` as it is now, the runs in `leftOut` left out.
bool saveImage(const QString &path, const LeftOutRuns &leftOut = {})
{
    const HistoryRead read = readHistory(path, 0, {}, leftOut);
    return read.outcome.status == RunLogRead::Status::Read &&
           saveHistoryCache(path, read.figures, read.outcome.end, read.identity, leftOut);
}

// Where the image that readHistory takes now ends: 0 when none is taken.
qint64 imageEnd(const QString &path)
{
    return readHistory(path, 0, {}, LeftOutRuns::load(LeftOutRuns::pathBeside(path))).cachedEnd;
}

} // namespace

class CoreHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void viewsAreThoseOfTheSeparateReaders_data();
    void viewsAreThoseOfTheSeparateReaders();
    void ownRunCountedOnce_data();
    void ownRunCountedOnce();
    void fileChangeFollowed_data();
    void fileChangeFollowed();
    void leftOutRunCountsInNothing();
    void cancelledReadStopsEarly();
    void readAheadWhenLong();
    void disagreeingImageIgnored_data();
    void disagreeingImageIgnored();
    void imageThenAppendedLines();
    void longHistoryLeavesAnImage();
    void specialImageLeftAlone_data();
    void specialImageLeftAlone();
    void jobsHandBackOnTheOwnersThread();
};

void CoreHistoryTest::viewsAreThoseOfTheSeparateReaders_data()
{
    QTest::addColumn<int>("runs");
    QTest::addColumn<bool>("leaveOneOut");
    QTest::newRow("short") << 40 << false;
    QTest::newRow("one run left out") << 40 << true;
    // Over 8 MB: read in two parts side by side, each numbering its kana anew.
    QTest::newRow("long, in parts") << 120000 << false;
}

// One pass for three views: a kana numbered apart for the weak spots, a part's runs fading
// wrongly when the parts are put together, or a best speed missed, and the drills or the
// window would tell the learner something the history does not say.
void CoreHistoryTest::viewsAreThoseOfTheSeparateReaders()
{
    QFETCH(int, runs);
    QFETCH(bool, leaveOneOut);
    const HistoryFolder folder(runs);
    QVERIFY(folder.written);
    const QString &path = folder.path;
    LeftOutRuns leftOut;
    if (leaveOneOut)
        leftOut.set(run(11).ended.toMSecsSinceEpoch(), run(11).level, true);
    const HistoryRead read = readHistory(path, 0, {}, leftOut);
    const SeparateReaders alone = readSeparately(path, leftOut);
    QCOMPARE(read.outcome.status, RunLogRead::Status::Read);
    QCOMPARE(read.outcome.entries, qsizetype(runs));
    QCOMPARE(read.outcome.end, QFileInfo(path).size());
    QCOMPARE(QFileInfo(path).size() > 8 << 20, runs > 40); // two parts, where two cores are

    const ProgressStats &stats = read.figures.stats;
    const QDate today(2030, 1, 1);
    QCOMPARE(stats.runs(), qsizetype(runs));
    QCOMPARE(stats.totals(today).runs, qsizetype(runs - leaveOneOut));
    QCOMPARE(stats.totals(today).seconds, alone.stats.totals(today).seconds);
    for (const int level : {1, 5, wordsLevel, weakKanaLevel})
        QCOMPARE(stats.levelRuns(level), alone.stats.levelRuns(level));
    for (const char key : {'f', 'j', 'k'}) {
        QCOMPARE(stats.key(0, key).misses, alone.stats.key(0, key).misses);
        QCOMPARE(stats.key(0, key).right, alone.stats.key(0, key).right);
        QCOMPARE(stats.key(0, key).timedMs, alone.stats.key(0, key).timedMs);
    }
    const auto kana = stats.rankedKana(0, ProgressStats::Ranking::Misses, 20);
    const auto kanaAlone = alone.stats.rankedKana(0, ProgressStats::Ranking::Misses, 20);
    QCOMPARE(kana.size(), kanaAlone.size());
    QVERIFY(kana.size() >= 5);
    for (std::size_t k = 0; k < kana.size(); ++k) {
        QCOMPARE(kana[k].kana, kanaAlone[k].kana);
        QCOMPARE(kana[k].figures.misses, kanaAlone[k].figures.misses);
        QCOMPARE(kana[k].figures.timedMs, kanaAlone[k].figures.timedMs);
    }

    const WeakSpots &weak = read.figures.weak;
    for (const WeakKind kind : {WeakKind::Keys, WeakKind::Kana}) {
        QCOMPARE(weak.runs(kind), alone.weak.runs(kind));
        const std::vector<WeakSpot> ranked = weak.ranked(kind);
        const std::vector<WeakSpot> rankedAlone = alone.weak.ranked(kind);
        QCOMPARE(ranked.size(), rankedAlone.size());
        QVERIFY(!ranked.empty());
        for (std::size_t k = 0; k < ranked.size(); ++k) {
            QCOMPARE(ranked[k].name, rankedAlone[k].name);
            QVERIFY2(close(ranked[k].weight, rankedAlone[k].weight),
                     qPrintable(QStringLiteral("%1: %2 %3")
                                    .arg(ranked[k].name)
                                    .arg(ranked[k].weight, 0, 'g', 17)
                                    .arg(rankedAlone[k].weight, 0, 'g', 17)));
            QVERIFY(close(ranked[k].missRate, rankedAlone[k].missRate));
            QVERIFY(close(weak.shownMissRate(kind, ranked[k].name),
                          alone.weak.shownMissRate(kind, ranked[k].name)));
        }
    }
    for (const int level : {wordsLevel, sentencesLevel, ownTextLevel, 5}) {
        QCOMPARE(read.figures.bestSpeeds[std::size_t(level)], alone.bests[std::size_t(level)]);
        QCOMPARE(read.figures.bestSpeeds[std::size_t(level)] > 0,
                 isTextDrill(level) && level != ownTextLevel);
    }
}

void CoreHistoryTest::ownRunCountedOnce_data()
{
    QTest::addColumn<int>("when"); // 0: before the read starts, 1: while it runs, 2: after it
    QTest::newRow("before the read") << 0;
    QTest::newRow("while it runs") << 1;
    QTest::newRow("after it") << 2;
}

// A run this copy appends is in the file and was told of: counted twice (read and added) or
// not at all (added before the read, then dropped), the streak and the weak spots go wrong.
void CoreHistoryTest::ownRunCountedOnce()
{
    QFETCH(int, when);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    // Long enough that the read is still under way when the run is appended, most times.
    QVERIFY(writeFile(path, lines(0, 3000), QIODevice::WriteOnly));
    PracticeHistory history(path);
    const auto append = [&] {
        QVERIFY(appendRunLog(path, run(3000)));
        history.runAppended();
    };
    if (when == 0)
        append();
    history.load();
    if (when == 1)
        append();
    settle(history);
    if (when == 2) {
        QCOMPARE(countedRuns(history), qsizetype(3000));
        append();
        // Read at once, not on a thread: the next weak run already counts it.
        QVERIFY(!history.loading());
    }
    settle(history);
    QCOMPARE(countedRuns(history), qsizetype(3001));
    QCOMPARE(history.weakSpots().runs(WeakKind::Keys) + history.weakSpots().runs(WeakKind::Kana),
             3001);
}

enum class FileChange { Appended, Cut, Rewritten, Replaced };

void CoreHistoryTest::fileChangeFollowed_data()
{
    QTest::addColumn<FileChange>("how");
    QTest::newRow("another copy appended") << FileChange::Appended;
    QTest::newRow("cut shorter") << FileChange::Cut;
    // As long as before and in the same file, but another history: its first bytes differ.
    QTest::newRow("rewritten in place") << FileChange::Rewritten;
    QTest::newRow("another file renamed over it") << FileChange::Replaced;
}

// Runs another copy of the program appends are read from where the last read ended and shown
// as added, not as a new history. Read on from the old end, a shorter or different file gives
// runs cut in half or another history's runs added to this one's: it is read again whole.
void CoreHistoryTest::fileChangeFollowed()
{
    QFETCH(FileChange, how);
    const HistoryFolder folder(30);
    QVERIFY(folder.written);
    const QString &path = folder.path;
    PracticeHistory history(path);
    QObject receiver;
    std::vector<PracticeHistory::Change> changes;
    history.subscribe(&receiver,
                      [&](PracticeHistory::Change change) { changes.push_back(change); });
    history.load();
    settle(history);
    // The runs the file holds afterwards: `first` and on.
    const int first = how == FileChange::Rewritten ? 100 : 0;
    const int last = how == FileChange::Cut ? 12 : how == FileChange::Rewritten ? 140 : 40;
    const QByteArray now = lines(first, last);
    switch (how) {
    case FileChange::Appended:
        QVERIFY(writeFile(path, lines(30, last), QIODevice::Append));
        break;
    case FileChange::Cut:
    case FileChange::Rewritten: // later dates: other bytes from the first on
        QVERIFY(writeFile(path, now, QIODevice::WriteOnly | QIODevice::Truncate));
        break;
    case FileChange::Replaced: { // its runs begin as the old ones did: only the file is another
        const QString other = folder.dir.filePath(QStringLiteral("new.log"));
        QVERIFY(writeFile(other, now, QIODevice::WriteOnly));
        QVERIFY(QFile::remove(path) && QFile::rename(other, path));
        break;
    }
    }
    QCOMPARE(QFileInfo(path).size(), qint64(now.size()));
    history.load();
    settle(history);
    QCOMPARE(countedRuns(history), qsizetype(last - first));
    QCOMPARE(changes, (std::vector{PracticeHistory::Change::Whole,
                                   how == FileChange::Appended ? PracticeHistory::Change::Appended
                                                               : PracticeHistory::Change::Whole}));
    QCOMPARE(history.stats().allRuns().front().endedMs, run(first).ended.toMSecsSinceEpoch());
    std::vector<int> levelOne;
    for (int k = first; k < last; ++k)
        if (run(k).level == 1)
            levelOne.push_back(k - first);
    QCOMPARE(history.stats().levelRuns(1), levelOne);
    // Best speeds follow too.
    const RunLogEntry added = run(46);
    QCOMPARE(added.level, sentencesLevel);
    QVERIFY(writeFile(path, formatRunLogLine(added), QIODevice::Append));
    const double before = history.bestTextSpeed(sentencesLevel);
    history.load();
    settle(history);
    QCOMPARE(changes.back(), PracticeHistory::Change::Appended);
    QCOMPARE(
        history.bestTextSpeed(sentencesLevel),
        std::max(before, textRunFigures(added.tally, added.seconds, added.errors).kanaPerMinute));
}

// The learner leaves a run out in the statistics window: after the next load it counts in no
// figure, the weak spots' included, and taken back it counts again.
void CoreHistoryTest::leftOutRunCountsInNothing()
{
    const HistoryFolder folder(20);
    QVERIFY(folder.written);
    const QString &path = folder.path;
    PracticeHistory history(path);
    history.load();
    settle(history);
    const int keyRuns = history.weakSpots().runs(WeakKind::Keys);
    // Level 3 was run twice, f missed once in the second (run 13).
    const RunLogEntry missed = run(13);
    QCOMPARE(missed.level, 3);
    QCOMPARE(history.stats().key(3, 'f').misses, 1);
    LeftOutRuns leftOut;
    leftOut.set(missed.ended.toMSecsSinceEpoch(), missed.level, true);
    QVERIFY(leftOut.save(LeftOutRuns::pathBeside(path)));
    history.load();
    QVERIFY(!history.ready()); // read again from the start: nothing is drawn from it meanwhile
    settle(history);
    QCOMPARE(countedRuns(history), qsizetype(19));
    QCOMPARE(history.stats().runs(), qsizetype(20)); // listed, to be taken back
    QCOMPARE(history.weakSpots().runs(WeakKind::Keys), keyRuns - 1);
    QCOMPARE(history.stats().key(3, 'f').misses, 0);
    QVERIFY(LeftOutRuns().save(LeftOutRuns::pathBeside(path)));
    history.load();
    settle(history);
    QCOMPARE(countedRuns(history), qsizetype(20));
    QCOMPARE(history.stats().key(3, 'f').misses, 1);
    QCOMPARE(history.weakSpots().runs(WeakKind::Keys), keyRuns);
}

// A read given up (the program closing while it reads) stops at the next block instead of
// reading on to the end of a long history.
void CoreHistoryTest::cancelledReadStopsEarly()
{
    const HistoryFolder folder(20000); // about 3 MB
    QVERIFY(folder.written);
    const QString &path = folder.path;
    const std::atomic<bool> cancelled = true;
    const HistoryRead read = readHistory(path, 0, {}, {}, &cancelled);
    QCOMPARE(read.outcome.status, RunLogRead::Status::Cancelled);
    QCOMPARE(read.outcome.entries, qsizetype(0));
    // Destroyed while it reads: the reader is waited for, and nothing is told afterwards.
    bool told = false;
    {
        QObject receiver;
        PracticeHistory history(path);
        history.subscribe(&receiver, [&](PracticeHistory::Change) { told = true; });
        history.load();
        QVERIFY(history.loading());
    }
    QCoreApplication::processEvents();
    QVERIFY(!told);
}

// A long history is read ahead of need: whoever needs it meanwhile waits for that read, and
// its runs are counted once (not once more by a read of its own). A short history is not
// read ahead: asked for, it is read in a moment.
void CoreHistoryTest::readAheadWhenLong()
{
    const HistoryFolder folder(100);
    QVERIFY(folder.written);
    const QString &path = folder.path;
    {
        PracticeHistory history(path);
        history.preload();
        QVERIFY(!history.loading());
    }
    QVERIFY(writeFile(path, lines(100, 70000), QIODevice::Append));
    QVERIFY(QFileInfo(path).size() > 4 << 20);
    PracticeHistory history(path);
    history.preload();
    QVERIFY(history.loading());
    QObject receiver;
    int told = 0;
    history.whenReady(&receiver, [&] { ++told; });
    QTRY_VERIFY_WITH_TIMEOUT(told == 1, 30000);
    QCOMPARE(countedRuns(history), qsizetype(70000));
    QCOMPARE(history.weakSpots().runs(WeakKind::Keys) + history.weakSpots().runs(WeakKind::Kana),
             70000);
    history.preload(); // held: nothing to read ahead
    QVERIFY(!history.loading());
}

// The one way work leaves the window's thread: the result comes back on the owner's thread,
// a cancelled job's never, and the owner going waits for what still runs.
void CoreHistoryTest::jobsHandBackOnTheOwnersThread()
{
    QThread *const owner = QThread::currentThread();
    std::atomic<int> ended = 0;
    QThread *workedOn = nullptr;
    QThread *handedBackOn = nullptr;
    std::vector<int> results;
    {
        BackgroundJobs jobs;
        jobs.start(
            [&](const BackgroundJobs::Cancelled &) {
                workedOn = QThread::currentThread();
                return 6 * 7;
            },
            [&](int result) {
                handedBackOn = QThread::currentThread();
                results.push_back(result);
            });
        QTRY_COMPARE(results, std::vector<int>{42});
        QCOMPARE(jobs.running(), 0);
        QVERIFY(workedOn != owner);
        QCOMPARE(handedBackOn, owner);

        std::atomic<bool> release = false;
        jobs.start(
            [&](const BackgroundJobs::Cancelled &cancelled) {
                while (!release && !cancelled)
                    QThread::msleep(1);
                ++ended;
                return 1;
            },
            [&](int result) { results.push_back(result); });
        QCOMPARE(jobs.running(), 1);
        jobs.cancelAll();
        jobs.waitAll();
        QCOMPARE(ended.load(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(results, std::vector<int>{42}); // the cancelled one's result is dropped
        QCOMPARE(jobs.running(), 0);

        jobs.start(
            [&](const BackgroundJobs::Cancelled &) {
                QThread::msleep(20);
                ++ended;
                return 2;
            },
            [&](int result) { results.push_back(result); });
    }
    // Gone with its owner: waited for, never handed back.
    QCOMPARE(ended.load(), 2);
    QCoreApplication::processEvents();
    QCOMPARE(results, std::vector<int>{42});
}

enum class Disagreement {
    None,
    Replaced,
    Shrunk,
    FirstBlock,
    LastBlock,
    LeftOut,
    AnotherHistorys,
    DamagedBody,
    TruncatedImage,
    NewerVersion,
};

void CoreHistoryTest::disagreeingImageIgnored_data()
{
    QTest::addColumn<Disagreement>("how");
    QTest::addColumn<bool>("taken");
    QTest::newRow("agrees") << Disagreement::None << true;
    QTest::newRow("history renamed over by a copy") << Disagreement::Replaced << false;
    QTest::newRow("history cut shorter") << Disagreement::Shrunk << false;
    QTest::newRow("first block changed in place") << Disagreement::FirstBlock << false;
    QTest::newRow("last block changed in place") << Disagreement::LastBlock << false;
    QTest::newRow("other runs left out") << Disagreement::LeftOut << false;
    QTest::newRow("another history's image") << Disagreement::AnotherHistorys << false;
    QTest::newRow("damaged body") << Disagreement::DamagedBody << false;
    QTest::newRow("image cut short") << Disagreement::TruncatedImage << false;
    QTest::newRow("newer format") << Disagreement::NewerVersion << false;
}

// An image believed when it no longer stands for the history's first bytes shows the learner
// runs that are not there (or hides runs that are); a damaged one could show anything.
// Whatever the image, the read equals a read of the history alone.
void CoreHistoryTest::disagreeingImageIgnored()
{
    QFETCH(Disagreement, how);
    QFETCH(bool, taken);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    const QString image = historyCachePath(path);
    QCOMPARE(QFileInfo(image).fileName(), QStringLiteral("RK.log.cache"));
    QByteArray text = lines(0, 300);
    const qint64 lastLine = text.lastIndexOf('\n', text.size() - 2) + 1;
    QVERIFY(writeFile(path, text, QIODevice::WriteOnly));
    QVERIFY(saveImage(path));
    QCOMPARE(imageEnd(path), qint64(text.size()));

    const auto rewrite = [&](qsizetype at) {
        flipOrder(text, at);
        QFile file(path); // in place: the same file, as long as before
        QVERIFY(file.open(QIODevice::ReadWrite) && file.write(text) == text.size());
    };
    const auto patchImage = [&](qint64 at, char byte) {
        QFile file(image);
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(at) && file.putChar(byte));
    };
    switch (how) {
    case Disagreement::None:
        break;
    case Disagreement::Replaced:
        QVERIFY(writeFile(dir.filePath(QStringLiteral("copy")), text, QIODevice::WriteOnly));
        QVERIFY(::rename(qPrintable(dir.filePath(QStringLiteral("copy"))), qPrintable(path)) == 0);
        break;
    case Disagreement::Shrunk:
        text.truncate(lastLine);
        QVERIFY(QFile::resize(path, text.size()));
        break;
    case Disagreement::FirstBlock:
        rewrite(0);
        break;
    case Disagreement::LastBlock:
        rewrite(lastLine);
        break;
    case Disagreement::LeftOut: {
        LeftOutRuns leftOut;
        leftOut.set(run(7).ended.toMSecsSinceEpoch(), run(7).level, true);
        QVERIFY(leftOut.save(LeftOutRuns::pathBeside(path)));
        break;
    }
    case Disagreement::AnotherHistorys: {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("other")));
        const QString other = dir.filePath(QStringLiteral("other/RK.log"));
        QVERIFY(writeFile(other, text, QIODevice::WriteOnly));
        QVERIFY(saveImage(other));
        QVERIFY(QFile::remove(image) && QFile::copy(historyCachePath(other), image));
        break;
    }
    case Disagreement::DamagedBody: {
        const qint64 middle = QFileInfo(image).size() / 2;
        QFile file(image);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.seek(middle));
        char byte = 0;
        QVERIFY(file.getChar(&byte));
        file.close();
        patchImage(middle, char(byte ^ 0x10));
        break;
    }
    case Disagreement::TruncatedImage:
        QVERIFY(QFile::resize(image, QFileInfo(image).size() - 100));
        break;
    case Disagreement::NewerVersion:
        patchImage(8, 2); // the version follows the eight bytes of the magic
        break;
    }

    const LeftOutRuns leftOut = LeftOutRuns::load(LeftOutRuns::pathBeside(path));
    const HistoryRead read = readHistory(path, 0, {}, leftOut);
    QCOMPARE(read.cachedEnd, taken ? qint64(text.size()) : 0);
    QCOMPARE(read.outcome.status, RunLogRead::Status::Read);
    QCOMPARE(read.outcome.entries, qsizetype(text.count('\n')));
    QCOMPARE(read.outcome.end, qint64(text.size()));
    QVERIFY(QFile::remove(image));
    const HistoryRead alone = readHistory(path, 0, {}, leftOut);
    QCOMPARE(alone.cachedEnd, 0);
    QCOMPARE(difference(read.figures, alone.figures), QString());
    if (how == Disagreement::FirstBlock || how == Disagreement::LeftOut)
        QCOMPARE(alone.figures.stats.totals(QDate(2030, 1, 1)).runs,
                 qsizetype(how == Disagreement::LeftOut ? 299 : 300));
    if (how == Disagreement::FirstBlock)
        QVERIFY(alone.figures.stats.allRuns().front().randomOrder != run(0).randomOrder);
}

// The runs after the image are parsed and put after its own: lost, doubled or numbered apart
// (kana met first after the image) they would change every view.
void CoreHistoryTest::imageThenAppendedLines()
{
    const HistoryFolder folder(200);
    QVERIFY(folder.written);
    const QString &path = folder.path;
    LeftOutRuns leftOut;
    leftOut.set(run(230).ended.toMSecsSinceEpoch(), run(230).level, true);
    QVERIFY(leftOut.save(LeftOutRuns::pathBeside(path)));
    QVERIFY(saveImage(path, leftOut));
    const qint64 imaged = QFileInfo(path).size();
    QVERIFY(writeFile(path, lines(200, 261), QIODevice::Append));
    // A kana the image has no number for.
    RunLogEntry late = run(261);
    QCOMPARE(weakKindOf(late.level), WeakKind::Kana);
    const QString po = QStringLiteral("ぽ");
    late.tally.kanaTyped[po] = 3;
    late.tally.kanaMs[po] = 2000;
    late.tally.misses.push_back({po, 'p', 'o'});
    QVERIFY(writeFile(path, formatRunLogLine(late), QIODevice::Append));
    const HistoryRead read = readHistory(path, 0, {}, leftOut);
    QCOMPARE(read.cachedEnd, imaged);
    QCOMPARE(read.cachedRuns, qsizetype(200));
    QCOMPARE(read.outcome.entries, qsizetype(262));
    QCOMPARE(read.outcome.end, QFileInfo(path).size());
    QCOMPARE(read.figures.stats.totals(QDate(2030, 1, 1)).runs, qsizetype(261));
    QVERIFY(read.figures.weak.missRate(WeakKind::Kana, po) > 0);
    QVERIFY(QFile::remove(historyCachePath(path)));
    QCOMPARE(difference(read.figures, readHistory(path, 0, {}, leftOut).figures), QString());
}

// Written for every short history the image costs more than it saves; never rewritten, a
// long history read on grows slower to show with every run; rewritten for each run, it costs
// a write of megabytes per run.
void CoreHistoryTest::longHistoryLeavesAnImage()
{
    const HistoryFolder folder(int(cacheFromRuns) - 1);
    QVERIFY(folder.written);
    const QString &path = folder.path;
    PracticeHistory history(path);
    const auto readOn = [&](int first, int last) {
        QVERIFY(writeFile(path, lines(first, last), QIODevice::Append));
        history.load();
        settle(history);
        QTRY_VERIFY_WITH_TIMEOUT(!history.savingCache(), 30000);
        QCOMPARE(countedRuns(history), qsizetype(last));
    };
    history.load();
    settle(history);
    QTRY_VERIFY_WITH_TIMEOUT(!history.savingCache(), 30000);
    QVERIFY(!QFileInfo::exists(historyCachePath(path)));
    readOn(int(cacheFromRuns) - 1, int(cacheFromRuns));
    const qint64 first = QFileInfo(path).size();
    QCOMPARE(imageEnd(path), first);
    QCOMPARE(QFileInfo(historyCachePath(path)).permissions() & QFile::ReadOther, 0);
    // A tenth of the runs held must be added before it is written again.
    readOn(int(cacheFromRuns), int(cacheFromRuns) + 999);
    QCOMPARE(imageEnd(path), first);
    readOn(int(cacheFromRuns) + 999, int(cacheFromRuns) + 1000);
    QCOMPARE(imageEnd(path), QFileInfo(path).size());
    // A second copy opening the history takes the image and reads the same.
    PracticeHistory second(path);
    second.load();
    settle(second);
    QCOMPARE(countedRuns(second), qsizetype(cacheFromRuns + 1000));
    QCOMPARE(second.stats().levelRuns(1), history.stats().levelRuns(1));
    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

void CoreHistoryTest::specialImageLeftAlone_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("named pipe") << QStringLiteral("pipe");
    QTest::newRow("link to a good image") << QStringLiteral("link");
    QTest::newRow("folder") << QStringLiteral("folder");
}

// Something else in the image's place: opening a pipe would wait for a writer for good, a
// link could lead the write over another file, and a rename over it would replace the
// learner's own thing. It is read from nowhere and written over never.
void CoreHistoryTest::specialImageLeftAlone()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    const QString image = historyCachePath(path);
    const QString target = dir.filePath(QStringLiteral("kept.image"));
    QVERIFY(writeFile(path, lines(0, 50), QIODevice::WriteOnly));
    if (kind == QLatin1String("pipe")) {
        QVERIFY(::mkfifo(qPrintable(image), 0600) == 0);
    } else if (kind == QLatin1String("link")) {
        QVERIFY(saveImage(path));
        QVERIFY(QFile::rename(image, target));
        QVERIFY(QFile::link(target, image));
    } else {
        QVERIFY(QDir(dir.path()).mkdir(QFileInfo(image).fileName()));
    }
    const QByteArray targetBytes = [&] {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const auto kindNow = [&] {
        struct stat status = {};
        return ::lstat(qPrintable(image), &status) == 0 ? status.st_mode & S_IFMT : 0;
    };
    const auto before = kindNow();
    const HistoryRead read = readHistory(path, 0, {}, {});
    QCOMPARE(read.cachedEnd, 0);
    QCOMPARE(read.outcome.entries, qsizetype(50));
    QVERIFY(!saveHistoryCache(path, read.figures, read.outcome.end, read.identity, {}));
    QCOMPARE(kindNow(), before);
    QFile kept(target);
    QCOMPARE(kept.open(QIODevice::ReadOnly) ? kept.readAll() : QByteArray(), targetBytes);
    // No temporary left behind beside it.
    QCOMPARE(QDir(dir.path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
                 .size(),
             kind == QLatin1String("link") ? 3 : 2);
}

QTEST_GUILESS_MAIN(CoreHistoryTest)
#include "test_core_history.moc"
