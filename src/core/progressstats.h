// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/leftoutruns.h"
#include "core/levels.h"
#include "core/presstimes.h"
#include "core/runlogreader.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <array>
#include <set>
#include <vector>

namespace rinkaro
{

// How a key or a kana was typed: right and wrong, what was typed instead, and how long the
// right presses took where the history kept their times.
struct PressFigures {
    qint64 misses = 0;
    qint64 right = 0;
    // The characters typed instead and how often, in the order first met: a key is missed
    // as a handful of others.
    std::vector<std::pair<char, qint64>> typedInstead;
    // Summed over the right presses of runs with times, each press held to what one press
    // may take (see LineTimes).
    qint64 timedMs = 0;
    // The keys those presses took: a key's presses, a kana's presses times the keys of its
    // spelling, so that times compare per key.
    qint64 timed = 0;

    qint64 presses() const { return misses + right; }
    // misses / presses; 0 with no presses.
    double rate() const { return presses() > 0 ? double(misses) / double(presses()) : 0; }
    // Milliseconds per key pressed right; NaN when no press was timed.
    double meanMs() const;
    // The character typed instead most often (the lowest on a tie); 0 when never missed.
    char mostOftenInstead() const;
    void addMiss(char typed);
    void add(const PressFigures &other);
};

// A few presses say little: a key missed once in seven presses is not worse than one missed
// nine times in seventy-six. Rates and times are drawn toward the learner's overall one, as
// though this many presses at that value had been made besides.
constexpr double priorPresses = 10;
// Below this many presses a key or a kana says too little to be shown as sure.
constexpr int fewPresses = 5;
constexpr bool fewToGoBy(qint64 presses)
{
    return presses < fewPresses;
}
// (sum + k * overall) / (count + k): a rate or a time drawn toward the overall one; the
// weak spots and the statistics both draw theirs so.
double smoothed(double sum, double count, double overall);
// (misses + k * overall) / (presses + k).
double smoothedRate(const PressFigures &figures, double overallRate);
// (timed ms + k * overall) / (timed keys + k); NaN when neither has a time.
double smoothedMs(const PressFigures &figures, double overallMs);

// One run, as the chart and the table of runs show it.
// A million of them are held for a long history: kept small, times in whole tenths as the
// history writes them.
struct RunFigures {
    qint64 endedMs = 0; // since the epoch, UTC
    qint32 secondsTenths = 0;
    qint32 scoreTenths = 0;
    int errors = 0;
    int typed = 0;     // what the speed counts: keys in the key levels, kana in the others
    int rightKeys = 0; // right presses
    qint16 offsetMinutes = 0;
    qint8 level = 0;
    bool randomOrder : 1 = false;
    bool newRecord : 1 = false;
    bool leftOut : 1 = false; // by the learner: shown in the table of runs, in no figure

    double seconds() const { return double(secondsTenths) / 10; }
    double score() const { return double(scoreTenths) / 10; }
    int offsetSeconds() const { return offsetMinutes * 60; }

    // In the time zone the run was made in.
    QDateTime ended() const;
    qint64 localDay() const; // days since 1970-01-01 on the run's own calendar
    // Typed per minute; NaN without a time.
    double speed() const;
    // Right presses in all presses, 0..1; NaN without presses.
    double accuracy() const;
};

// What the window's level chooser can choose: a level (1..lastDrillLevel) or one learner's
// text, whose runs are part of ownTextLevel's.
inline constexpr int firstTextScope = 100;
constexpr bool isTextScope(int scope)
{
    return scope >= firstTextScope;
}
// The level whose rules (unit, standard score, keys) a scope's runs follow.
constexpr int scopeLevel(int scope)
{
    return isTextScope(scope) ? ownTextLevel : scope;
}

struct PracticeTotals {
    qsizetype runs = 0;
    double seconds = 0; // the runs' times summed
    // Days practised in a row up to today (or yesterday); days after today (a clock set
    // wrong) count neither here nor in the longest.
    int streak = 0;
    int longestStreak = 0; // the most days in a row ever
};

// What the statistics window shows, gathered from a history one line at a time: every run's
// figures, and per level the keys' and kana's, summed over all levels when asked for.
class ProgressStats
{
public:
    // The runs to leave out of the figures of lines added from now on.
    void setLeftOut(const LeftOutRuns &leftOut) { leftOut_ = leftOut; }

    // The numbers of the kana in the lines given to add(const RunLogLine &).
    KanaNames &kanaNames() { return kanaNames_; }
    // `times`, when given, are the line's as LineTimes takes them with these kana numbers.
    void add(const RunLogLine &line, const LineTimes *times = nullptr);
    void add(const RunLogEntry &entry);
    // Adds the runs of `later` after these: a history read on from where this one ended.
    void append(const ProgressStats &later);

    qsizetype runs() const { return qsizetype(runs_.size()); }
    // Every run, in the order of the history.
    const std::vector<RunFigures> &allRuns() const { return runs_; }
    // The runs of one level (1..11) as indices into allRuns(), in order, left-out ones too.
    // A text's scope (firstTextScope + its number) gives that text's runs alone.
    const std::vector<int> &levelRuns(int level) const;
    // The texts practised, numbered in the order first met; a run of ownTextLevel without a
    // name is in that level's runs and no text's.
    int textCount() const { return int(texts_.size()); }
    // The text's copy name ("name.txt"); empty for a number out of range.
    QString textCopyName(int text) const;
    // As the texts menu names it: the copy's name without its extension.
    QString textTitle(int text) const;
    // -1 when no run of that text was read.
    int textNumber(const QString &copyName) const;
    PracticeTotals totals(QDate today) const;

    // Per expected character ('a'..'z', ',', '.', ';', '/', '-'), over one level (1..11) or all
    // levels (0).
    const PressFigures &key(int level, char key) const;
    // All keys of one level or all levels summed.
    PressFigures keyTotal(int level) const;

    enum class Ranking { Misses, Time };
    struct RankedKana {
        QString kana;
        PressFigures figures;
        double rate; // smoothed
        double ms;   // smoothed; NaN when never timed
    };
    // The kana of one level or all (0) missed most often (those missed at least once) or
    // typed most slowly (those timed), by their smoothed rate or time, the highest first (then
    // the most misses, then the kana), at most `count`.
    std::vector<RankedKana> rankedKana(int level, Ranking by, int count = 10) const;

private:
    PressFigures &kanaFigures(int level, int number);
    void gatherAllLevels() const;

    friend struct HistoryCacheAccess; // saves and loads these as they are
    KanaNames kanaNames_;
    std::vector<int> kanaKeys_; // by kana number
    LeftOutRuns leftOut_;
    std::vector<RunFigures> runs_;
    std::array<std::vector<int>, lastDrillLevel + 1> levelRuns_;
    struct Text {
        std::string name; // UTF-8, as the history has it
        std::vector<int> runs;
    };
    std::vector<Text> texts_;
    int findText(const std::string &name) const;
    int textOf(const std::string &name); // found or added
    double seconds_ = 0;
    qsizetype leftOutCount_ = 0;
    std::set<qint64> days_;
    // [level][character]; [0]: all levels, summed from the others only when asked for.
    mutable std::array<std::array<PressFigures, 128>, lastDrillLevel + 1> keys_;
    mutable std::array<std::vector<PressFigures>, lastDrillLevel + 1> kana_; // [level][kana number]
    mutable bool allLevelsStale_ = false;
};

} // namespace rinkaro
