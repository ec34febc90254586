#include "core/progressstats.h"

#include <algorithm>
#include <climits>

namespace
{

const std::vector<ProgressPoint> noProgress;
const std::map<char, MissCount> noKeys;

// Counts of a hand-edited history may be huge; totals stop at the largest int.
void addCount(int &total, int n)
{
    if (n > 0)
        total = int(std::min<qint64>(INT_MAX, qint64(total) + n));
}

// The keys the drills expect; anything else in a history names no key of the keyboard.
bool drilledKey(char c)
{
    return (c >= 'a' && c <= 'z') || c == ',' || c == '.' || c == ';' || c == '/' || c == '-';
}

void addMiss(MissCount &count, char typed)
{
    addCount(count.misses, 1);
    addCount(count.typedInstead[typed], 1);
}

template <typename Key>
void addCounts(std::map<Key, MissCount> &total, const std::map<Key, MissCount> &counts)
{
    for (const auto &[key, count] : counts) {
        MissCount &sum = total[key];
        addCount(sum.misses, count.misses);
        addCount(sum.right, count.right);
        for (const auto &[typed, n] : count.typedInstead)
            addCount(sum.typedInstead[typed], n);
    }
}

} // namespace

char MissCount::mostOftenInstead() const
{
    char most = 0;
    int times = 0;
    for (const auto &[typed, n] : typedInstead) {
        if (n > times) {
            most = typed;
            times = n;
        }
    }
    return most;
}

ProgressStats::CountIndex &ProgressStats::CountIndex::operator=(const CountIndex &)
{
    kana_.clear();
    used_ = 0;
    keys_ = {};
    return *this;
}

std::array<MissCount *, 10> &ProgressStats::CountIndex::kana(const QString &kana)
{
    constexpr quint64 mask = (1u << slotBits) - 1;
    // Kept sparse: a history that names this many kana starts the index afresh.
    if (kana_.empty() || used_ >= 3 << (slotBits - 2)) {
        kana_.assign(1 << slotBits, {});
        used_ = 0;
    }
    const auto address = quint64(reinterpret_cast<quintptr>(kana.constData()));
    for (quint64 i = (address * 0x9e3779b97f4a7c15u) >> (64 - slotBits);; i = (i + 1) & mask) {
        KanaSlot &slot = kana_[i];
        if (slot.text.constData() == kana.constData() && slot.text.size() == kana.size())
            return slot.counts;
        if (slot.text.isNull()) {
            ++used_;
            slot.text = kana;
            return slot.counts;
        }
    }
}

MissCount &ProgressStats::keyCount(int level, char key)
{
    MissCount *&count = index_.key(level, key);
    if (!count)
        count = &keys_[level][key];
    return *count;
}

MissCount &ProgressStats::kanaCount(std::array<MissCount *, 10> &counts, int level,
                                    const QString &kana)
{
    if (!counts[level])
        counts[level] = &kana_[level][kana];
    return *counts[level];
}

void ProgressStats::add(const RunLogEntry &entry)
{
    const int level = entry.level;
    if (level < 1 || level > 9)
        return;
    ++runs_;
    allLevelsStale_ = true;
    progress_[level][entry.randomOrder].push_back({entry.ended, entry.score, entry.newRecord});

    const RunTally &tally = entry.tally;
    for (const Miss &miss : tally.misses) {
        if (drilledKey(miss.expected))
            addMiss(keyCount(level, miss.expected), miss.typed);
        if (!miss.kana.isEmpty())
            addMiss(kanaCount(index_.kana(miss.kana), level, miss.kana), miss.typed);
    }
    for (const auto &[key, n] : tally.rightKeys)
        if (drilledKey(key))
            addCount(keyCount(level, key).right, n);
    for (const auto &[kana, n] : tally.kanaTyped)
        if (!kana.isEmpty())
            addCount(kanaCount(index_.kana(kana), level, kana).right, n);
}

void ProgressStats::gatherAllLevels() const
{
    if (!allLevelsStale_)
        return;
    keys_[0].clear();
    kana_[0].clear();
    for (int level = 1; level <= 9; ++level) {
        addCounts(keys_[0], keys_[level]);
        addCounts(kana_[0], kana_[level]);
    }
    allLevelsStale_ = false;
}

const std::vector<ProgressPoint> &ProgressStats::progress(int level, bool randomOrder) const
{
    return level >= 1 && level <= 9 ? progress_[level][randomOrder] : noProgress;
}

double ProgressStats::best(int level, bool randomOrder) const
{
    const std::vector<ProgressPoint> &points = progress(level, randomOrder);
    if (points.empty())
        return 0;
    return std::min_element(
               points.begin(), points.end(),
               [](const ProgressPoint &a, const ProgressPoint &b) { return a.score < b.score; })
        ->score;
}

const std::map<char, MissCount> &ProgressStats::keys(int level) const
{
    if (level == 0)
        gatherAllLevels();
    return level >= 0 && level <= 9 ? keys_[level] : noKeys;
}

std::vector<std::pair<QString, MissCount>> ProgressStats::mostMissedKana(int level, int count) const
{
    std::vector<std::pair<QString, MissCount>> missed;
    if (level < 0 || level > 9 || count <= 0)
        return missed;
    if (level == 0)
        gatherAllLevels();
    for (const auto &entry : kana_[level])
        if (entry.second.misses > 0)
            missed.push_back(entry);
    // Rates compared as fractions: two rates that are equal must tie exactly.
    const auto before = [](const std::pair<QString, MissCount> &a,
                           const std::pair<QString, MissCount> &b) {
        const qint64 left = qint64(a.second.misses) * (qint64(b.second.misses) + b.second.right);
        const qint64 right = qint64(b.second.misses) * (qint64(a.second.misses) + a.second.right);
        if (left != right)
            return left > right;
        if (a.second.misses != b.second.misses)
            return a.second.misses > b.second.misses;
        return a.first < b.first;
    };
    const auto kept = missed.begin() + std::min<qsizetype>(count, qsizetype(missed.size()));
    std::partial_sort(missed.begin(), kept, missed.end(), before);
    missed.erase(kept, missed.end());
    return missed;
}
