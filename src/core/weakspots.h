// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/leftoutruns.h"
#include "core/presstimes.h"
#include "core/runlogreader.h"

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace rinkaro
{

// What a weak-spot drill practises: keys (as the key levels drill them) or kana (as the
// syllable levels do).
enum class WeakKind { Keys, Kana };
// The key levels and the weak keys train keys; the other levels train kana.
WeakKind weakKindOf(int level);
int weakDrillLevel(WeakKind kind);
// Whether a key ("f") or a kana ("し") can be an item of a weak-spot drill of its kind: a
// key only when the drill's keyboard has it ("-" has none to light).
bool weakDrillable(WeakKind kind, const QString &name);

// How one key or kana stands in the learner's recent history.
struct WeakSpot {
    QString name;        // "f", "し"
    double weight = 0;   // how weak it is: 1 for a key or kana as good as the learner's median
    double missRate = 0; // misses in presses, recent runs counting more, drawn to the overall
};

// The material of one weak-spot run.
struct WeakRunPlan {
    QStringList items;   // in the order they are typed
    QStringList weakSet; // the weak spots it practises
};

// What the learner's history says of each key and kana: misses, presses and times, summed
// with every run counting `recency` times as much as the run of its kind after it, so that
// what the learner does now outweighs what they did weeks ago. Keys come from the runs of
// the key levels and the weak keys, kana from the others.
class WeakSpots
{
public:
    // A run counts half after about 23 later runs of its kind.
    static constexpr double recency = 0.97;
    // Items per run: as long as a run of level 1 and of level 5.
    static int runLength(WeakKind kind);

    // A line read with its kana numbered in kanaNames(); `times`, when given, are its times as
    // LineTimes takes them with those numbers.
    void add(const RunLogLine &line, const LineTimes *times = nullptr);
    void add(int level, const RunTally &tally);
    KanaNames &kanaNames() { return names_; }
    // Adds the runs of `later` after these, each earlier run fading as much as the later
    // runs of its kind make it: a history read in parts, or read on.
    void append(const WeakSpots &later);

    int runs(WeakKind kind) const { return sides_[std::size_t(kind)].runs; }
    // Every key or kana that can be drilled and was pressed, the weakest first: its weight is
    // its smoothed miss rate against the learner's overall one, times its smoothed time per
    // press against the median of those times.
    std::vector<WeakSpot> ranked(WeakKind kind) const;
    // The recent miss rate of a key or kana, drawn toward the learner's overall one as the
    // ranking draws it; NaN when it was never pressed.
    double missRate(WeakKind kind, const QString &name) const;
    // The miss rate the statistics window shows over all levels: every run counting alike,
    // drawn toward the overall rate; NaN when it was never pressed.
    double shownMissRate(WeakKind kind, const QString &name) const;
    // Runs in `leftOut` are counted in nothing from now on.
    void setLeftOut(const LeftOutRuns &leftOut) { leftOut_ = leftOut; }

    // A run drawn from the ranked spots: see planWeakRun.
    WeakRunPlan plan(WeakKind kind, const QStringList &marked,
                     const std::function<int(int)> &random) const;

    // What is summed of each key or kana.
    struct Figures {
        double misses = 0;
        double presses = 0; // right and wrong
        double ms = 0;      // of the timed right presses
        double timed = 0;
    };
    struct Side {
        int runs = 0;
        std::vector<Figures> figures; // keys by character, kana by their number
        // Every run alike, and every level's presses: as the statistics window counts.
        std::vector<Figures> plain;
    };
    static double overallRate(const std::vector<Figures> &figures);

private:
    void addPlain(const RunLogLine &line);
    void addRecent(const RunLogLine &line, const LineTimes &times);
    Figures *figuresOf(WeakKind kind, const QString &name);
    const Figures *figuresOf(WeakKind kind, const QString &name) const;
    QString nameOf(WeakKind kind, std::size_t index) const;

    friend struct HistoryCacheAccess; // saves and loads these as they are
    KanaNames names_;
    std::vector<int> kanaKeys_; // by kana number
    LeftOutRuns leftOut_;
    std::array<Side, 2> sides_;
};

// The weakest few that a run practises when the learner marked none.
inline constexpr int weakFew = 5;
// `length` items: about two thirds from the weak set (the `marked` ones that can be drilled
// when there are any, else the `ranked` weakest few), drawn by weight; the rest evenly from
// all ranked and marked ones, so that a run never becomes one item repeated. Neighbours
// differ wherever two items can be had. `random(n)` is uniform in 0..n-1. Empty when there is
// nothing to drill.
WeakRunPlan planWeakRun(WeakKind kind, const std::vector<WeakSpot> &ranked,
                        const QStringList &marked, int length,
                        const std::function<int(int)> &random);

// "F 12% → 4%  し 20% → 0%": each weak spot typed in a run with its miss rate before the run
// (from `before`, as the statistics window shows it) and in the run; "—" for one never
// pressed before.
QString weakSpotsReport(const WeakSpots &before, WeakKind kind, const QStringList &weakSet,
                        const RunTally &run);
// The caption of weakSpotsReport's line.
QString weakSpotsReportCaption();

// "苦手: F J ;" or "苦手: ふ ぬ": keys or kana as a learner reads them; empty for none.
QString weakSetLine(WeakKind kind, const QStringList &names);
// How many of the weakest the typing-time dialog names.
inline constexpr int weakAdvised = 3;
// The weakSetLine of the `count` weakest of `ranked`.
QString weakestLine(WeakKind kind, const std::vector<WeakSpot> &ranked, int count = weakFew);

// Random order in the nine levels, with the learner's weakest keys or kana favoured: the
// weight of each item a random draw of `level` chooses among (the positions of a key level's
// string, the syllables or phrases of the others, in order), about half again as much for
// an item holding one of `weakest`. Empty when nothing is favoured.
inline constexpr double favouredWeight = 1.5;
std::vector<double> favouredDraw(int level, const QStringList &weakest);
// One of `weights` (all positive) drawn by weight; `random(n)` is uniform in 0..n-1.
std::size_t drawWeighted(const std::vector<double> &weights, const std::function<int(int)> &random);

} // namespace rinkaro
