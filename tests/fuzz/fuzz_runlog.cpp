// libFuzzer target for the history reader: any bytes at all must read without a crash, a
// hang or undefined behaviour; the block reader must pass on what each line read alone
// gives; every entry must be written back as a line that reads as the same entry, and
// gather into statistics that stay in range.
#include "core/progressstats.h"
#include "core/runlog.h"

#include <QBuffer>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace
{

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkEntry(const RunLogEntry &entry)
{
    require(entry.level >= 1 && entry.level <= 9);
    require(std::isfinite(entry.seconds) && entry.seconds >= 0);
    require(std::isfinite(entry.score) && entry.score >= 0 && entry.errors >= 0);
    for (const auto &[key, n] : entry.tally.rightKeys)
        require(n > 0);
    for (const auto &[kana, n] : entry.tally.kanaTyped)
        require(n > 0 && !kana.isEmpty());
    const QByteArray line = formatRunLogLine(entry);
    const std::optional<RunLogEntry> again = parseRunLogLine(line);
    require(again && *again == entry);
    require(again->ended.offsetFromUtc() == entry.ended.offsetFromUtc());
    require(formatRunLogLine(*again) == line);
}

void checkCount(const MissCount &count)
{
    require(count.misses >= 0 && count.right >= 0);
    require(count.rate() >= 0 && count.rate() <= 1);
    int instead = 0;
    for (const auto &[typed, n] : count.typedInstead) {
        instead += n;
        require(n <= count.typedInstead.at(count.mostOftenInstead()));
    }
    require(instead == count.misses);
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
    for (int level = 0; level <= 9; ++level) {
        for (const auto &[key, count] : stats.keys(level))
            checkCount(count);
        const auto kana = stats.mostMissedKana(level, 5);
        require(kana.size() <= 5);
        for (size_t i = 0; i < kana.size(); ++i) {
            checkCount(kana[i].second);
            require(kana[i].second.misses > 0);
            require(i == 0 || kana[i - 1].second.rate() >= kana[i].second.rate());
        }
    }
    return 0;
}
