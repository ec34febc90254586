// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the history reader: any bytes at all must read without a crash, a
// hang or undefined behaviour; the block reader must pass on what each line read alone
// gives; every entry must be written back as a line that reads as the same entry, and
// gather into statistics that stay in range, the same whether read as entries or as lines
// and whether read whole or in two parts; the kana named are those of the lines read.
#include "core/levels.h"
#include "core/progressstats.h"
#include "core/runlogfile.h"

#include <QBuffer>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>

using namespace rinkaro;

namespace
{

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkEntry(const RunLogEntry &entry)
{
    require(isDrillLevel(entry.level));
    require(std::isfinite(entry.seconds) && entry.seconds >= 0);
    require(std::isfinite(entry.score) && entry.score >= 0 && entry.errors >= 0);
    for (const auto &[key, n] : entry.tally.rightKeys)
        require(n > 0);
    for (const auto &[kana, n] : entry.tally.kanaTyped)
        require(n > 0 && !kana.isEmpty());
    // Times, when kept, for exactly the keys and kana counted.
    require(entry.tally.keyMs.empty() || entry.tally.keyMs.size() == entry.tally.rightKeys.size());
    for (const auto &[key, ms] : entry.tally.keyMs)
        require(ms >= 0 && entry.tally.rightKeys.count(key));
    require(entry.tally.kanaMs.empty() ||
            entry.tally.kanaMs.size() == entry.tally.kanaTyped.size());
    for (const auto &[kana, ms] : entry.tally.kanaMs)
        require(ms >= 0 && entry.tally.kanaTyped.count(kana));
    const QByteArray line = formatRunLogLine(entry);
    const std::optional<RunLogEntry> again = parseRunLogLine(line);
    require(again && *again == entry);
    require(again->ended.offsetFromUtc() == entry.ended.offsetFromUtc());
    require(formatRunLogLine(*again) == line);
}

// A kana's presses count the keys of its spelling (a few at most); a key's, one each.
void checkFigures(const PressFigures &figures, qint64 keysPerPress = 1)
{
    require(figures.misses >= 0 && figures.right >= 0 && figures.timed >= 0);
    require(figures.timed <= figures.right * keysPerPress && figures.timedMs >= 0);
    require(figures.rate() >= 0 && figures.rate() <= 1);
    const double smoothed = smoothedRate(figures, 0.5);
    require(smoothed >= 0 && smoothed <= 1);
    qint64 instead = 0;
    qint64 most = 0;
    for (const auto &[typed, n] : figures.typedInstead) {
        instead += n;
        if (typed == figures.mostOftenInstead())
            most = n;
    }
    for (const auto &[typed, n] : figures.typedInstead)
        require(n <= most);
    require(instead == figures.misses);
}

bool sameFigures(const PressFigures &a, const PressFigures &b)
{
    return a.misses == b.misses && a.right == b.right && a.timed == b.timed &&
           a.timedMs == b.timedMs && a.mostOftenInstead() == b.mostOftenInstead();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    ProgressStats stats;
    QList<QByteArray> written;
    const qsizetype read = readRunLog(device, [&](const RunLogEntry &entry) {
        checkEntry(entry);
        stats.add(entry);
        written.append(formatRunLogLine(entry));
    });
    require(read == stats.runs() && read == written.size());
    // Inputs are far shorter than the longest line the reader holds.
    QList<QByteArray> alone;
    for (const QByteArray &line : bytes.split('\n'))
        if (const auto entry = parseRunLogLine(line))
            alone.append(formatRunLogLine(*entry));
    require(written == alone);

    // The statistics' own path, in two parts split at a line end, gathers the same.
    const qsizetype half = bytes.indexOf('\n', bytes.size() / 2) + 1;
    ProgressStats lines;
    for (const QByteArray &part : {bytes.left(half), bytes.mid(half)}) {
        QByteArray copy = part;
        QBuffer partDevice(&copy);
        partDevice.open(QIODevice::ReadOnly);
        ProgressStats partStats;
        RunLogReader reader(partStats.kanaNames());
        std::set<int> named;
        readRunLogLines(reader, partDevice, [&](const RunLogLine &line) {
            partStats.add(line);
            for (const RunLogLine::Count &kana : line.kana)
                named.insert(kana.name);
            for (const RunLogLine::Miss &miss : line.misses)
                if (miss.kana >= 0)
                    named.insert(miss.kana);
        });
        // A rejected line leaves no name behind.
        require(int(named.size()) == partStats.kanaNames().size());
        lines.append(partStats);
    }
    require(lines.runs() == stats.runs());
    // Every level a line may name, the weak-spot drills' included.
    for (int level = 0; level <= lastDrillLevel; ++level) {
        require(lines.levelRuns(level) == stats.levelRuns(level));
        for (const char key : QByteArray("abcdefghijklmnopqrstuvwxyz,.;/-")) {
            checkFigures(stats.key(level, key));
            require(sameFigures(stats.key(level, key), lines.key(level, key)));
        }
        for (const auto by : {ProgressStats::Ranking::Misses, ProgressStats::Ranking::Time}) {
            const auto kana = stats.rankedKana(level, by, 5);
            require(kana.size() <= 5);
            require(kana.size() == lines.rankedKana(level, by, 5).size());
            for (size_t i = 0; i < kana.size(); ++i) {
                checkFigures(kana[i].figures, 8);
                require(by == ProgressStats::Ranking::Time || kana[i].figures.misses > 0);
                require(i == 0 ||
                        (by == ProgressStats::Ranking::Misses ? kana[i - 1].rate >= kana[i].rate
                                                              : kana[i - 1].ms >= kana[i].ms));
            }
        }
    }
    for (const RunFigures &run : stats.allRuns())
        require(!(run.accuracy() < 0) && !(run.accuracy() > 1) && !(run.speed() < 0));
    return 0;
}
