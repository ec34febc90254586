#pragma once

#include "core/runlog.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <map>
#include <vector>

// How often a key or a kana was missed: misses / (misses + right), and what was typed
// instead.
struct MissCount {
    int misses = 0;
    int right = 0;
    std::map<char, int> typedInstead;
    double rate() const { return misses + right > 0 ? double(misses) / (misses + right) : 0; }
    // The character typed instead most often (the lowest on a tie); 0 when never missed.
    char mostOftenInstead() const;
};

struct ProgressPoint {
    QDateTime ended;
    double score = 0;
    bool newRecord = false;
};

// What the statistics window shows, gathered from a history one entry at a time so that
// a long history need not be held in memory.
class ProgressStats
{
public:
    void add(const RunLogEntry &entry);
    qsizetype runs() const { return runs_; }

    // The runs of one level (1..9) in the order they were read, ordered and random apart.
    const std::vector<ProgressPoint> &progress(int level, bool randomOrder) const;
    // The best score of a level's runs in one order mode; 0 when there was none.
    double best(int level, bool randomOrder) const;

    // Per expected character ('a'..'z', ',', '.', ';', '/', '-'), over one level (1..9)
    // or all levels (0).
    const std::map<char, MissCount> &keys(int level) const;
    // The kana missed most often over one level or all (0), the highest rate first (then
    // the most misses, then the kana), at most `count`; only kana missed at least once.
    std::vector<std::pair<QString, MissCount>> mostMissedKana(int level, int count = 10) const;

private:
    // Finds the counts of a key or a kana without comparing texts (map nodes never move,
    // and the kana of a history share their text): a long history is gathered quickly.
    // Starts empty again in a copy.
    class CountIndex
    {
    public:
        CountIndex() = default;
        CountIndex(const CountIndex &) {}
        CountIndex &operator=(const CountIndex &);
        MissCount *&key(int level, char key)
        {
            return keys_[level][static_cast<unsigned char>(key)];
        }
        std::array<MissCount *, 10> &kana(const QString &kana);

    private:
        struct KanaSlot {
            QString text; // held, so that its address names no other text meanwhile
            std::array<MissCount *, 10> counts{};
        };
        static constexpr int slotBits = 10;
        std::vector<KanaSlot> kana_;
        int used_ = 0;
        std::array<std::array<MissCount *, 256>, 10> keys_{};
    };
    MissCount &keyCount(int level, char key);
    MissCount &kanaCount(std::array<MissCount *, 10> &counts, int level, const QString &kana);
    void gatherAllLevels() const;

    CountIndex index_;
    qsizetype runs_ = 0;
    std::array<std::array<std::vector<ProgressPoint>, 2>, 10> progress_;
    // [0]: all levels, summed from the others only when asked for.
    mutable std::array<std::map<char, MissCount>, 10> keys_;
    mutable std::array<std::map<QString, MissCount>, 10> kana_;
    mutable bool allLevelsStale_ = false;
};
