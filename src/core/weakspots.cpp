// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/weakspots.h"

#include "core/keytable.h"
#include "core/levels.h"
#include "core/presstimes.h"
#include "core/progressstats.h"
#include "core/romaji.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

namespace rinkaro
{

namespace
{

// Keeps a learner who hardly misses from having a key with one miss weigh many times more.
constexpr double rateFloor = 0.02;
constexpr double notKnown = std::numeric_limits<double>::quiet_NaN();

// Every kana a syllable run can show, but the small tsu, which is typed only before another
// kana.
bool drillableKana(const QString &kana)
{
    const int index = kanaIndex(kana);
    return index > 0 && index != smallTsu;
}

} // namespace

std::size_t drawWeighted(const std::vector<double> &weights, const std::function<int(int)> &random)
{
    // Whole shares, so that the uniform draw of the platform decides.
    std::vector<int> shares;
    int total = 0;
    for (const double weight : weights) {
        shares.push_back(std::clamp(int(std::lround(weight * 100)), 1, 100000));
        total += shares.back();
    }
    int pick = random(total);
    for (std::size_t k = 0; k < shares.size(); ++k) {
        if (pick < shares[k])
            return k;
        pick -= shares[k];
    }
    return shares.size() - 1;
}

namespace
{

QString shownName(WeakKind kind, const QString &name)
{
    return kind == WeakKind::Keys ? name.toUpper() : name;
}

QString percent(double rate)
{
    return std::isnan(rate) ? QStringLiteral("—")
                            : QStringLiteral("%1%").arg(std::lround(rate * 100));
}

} // namespace

WeakKind weakKindOf(int level)
{
    return levelGroup(level) == LevelGroup::Key ? WeakKind::Keys : WeakKind::Kana;
}

int weakDrillLevel(WeakKind kind)
{
    return kind == WeakKind::Keys ? weakKeysLevel : weakKanaLevel;
}

bool weakDrillable(WeakKind kind, const QString &name)
{
    if (kind == WeakKind::Kana)
        return drillableKana(name);
    // The drill keyboard has no key for "-", so nothing could light for it.
    return name.size() == 1 && name.front() != QLatin1Char('-') &&
           isDrilledKey(name.front().unicode());
}

int WeakSpots::runLength(WeakKind kind)
{
    const LevelInfo *info = levelInfo(kind == WeakKind::Keys ? 1 : 5);
    return kind == WeakKind::Keys ? int(qstrlen(info->keyString))
                                  : info->rangeLast - info->rangeFirst + 1;
}

namespace
{

WeakSpots::Figures *figureAt(std::vector<WeakSpots::Figures> &figures, int index)
{
    return index >= 0 && std::size_t(index) < figures.size() ? &figures[std::size_t(index)]
                                                             : nullptr;
}

} // namespace

void WeakSpots::add(const RunLogLine &line, const LineTimes *times)
{
    if (!isDrillLevel(line.level) ||
        (!leftOut_.empty() && leftOut_.contains(line.endedMs, line.level)))
        return;
    numberKanaKeys(names_, kanaKeys_);
    const std::size_t kanaCount = std::size_t(names_.size());
    for (Side &side : sides_) {
        const std::size_t size = &side == &sides_[0] ? 128 : kanaCount;
        if (side.figures.size() < size) {
            side.figures.resize(size);
            side.plain.resize(size);
        }
    }
    addPlain(line);
    if (times)
        addRecent(line, *times);
    else
        addRecent(line, LineTimes(line, kanaKeys_));
}

void WeakSpots::addPlain(const RunLogLine &line)
{
    // The statistics window counts every level's presses alike.
    for (const RunLogLine::Count &count : line.keys)
        if (Figures *figures = figureAt(sides_[0].plain, count.name))
            figures->presses += count.n;
    for (const RunLogLine::Count &count : line.kana)
        if (Figures *figures = figureAt(sides_[1].plain, count.name))
            figures->presses += count.n;
    for (const RunLogLine::Miss &miss : line.misses) {
        for (const auto &[side, index] : {std::pair{0, int(miss.expected)}, {1, miss.kana}}) {
            if (Figures *figures = figureAt(sides_[std::size_t(side)].plain, index)) {
                figures->misses += 1;
                figures->presses += 1;
            }
        }
    }
}

void WeakSpots::addRecent(const RunLogLine &line, const LineTimes &times)
{
    const WeakKind kind = weakKindOf(line.level);
    const bool keys = kind == WeakKind::Keys;
    Side &side = sides_[std::size_t(kind)];
    ++side.runs;
    for (Figures &figures : side.figures) {
        figures.misses *= recency;
        figures.presses *= recency;
        figures.ms *= recency;
        figures.timed *= recency;
    }
    for (const RunLogLine::Count &count : keys ? line.keys : line.kana) {
        Figures *figures = figureAt(side.figures, count.name);
        if (!figures)
            continue;
        figures->presses += count.n;
        if (line.timed) {
            // Times compare per key of the spelling.
            figures->ms += double(keys ? times.keyMs(count) : times.kanaMs(count));
            figures->timed += double(count.n) * (keys ? 1 : kanaKeys_[std::size_t(count.name)]);
        }
    }
    for (const RunLogLine::Miss &miss : line.misses) {
        if (Figures *figures = figureAt(side.figures, keys ? int(miss.expected) : miss.kana)) {
            figures->misses += 1;
            figures->presses += 1;
        }
    }
}

void WeakSpots::add(int level, const RunTally &tally)
{
    RunLogEntry entry;
    entry.level = level;
    entry.tally = tally;
    add(lineOf(entry, names_));
}

void WeakSpots::append(const WeakSpots &later)
{
    std::vector<int> mine(std::size_t(later.names_.size()));
    for (int number = 0; number < later.names_.size(); ++number)
        mine[std::size_t(number)] = names_.find(later.names_.name(number));
    numberKanaKeys(names_, kanaKeys_);
    for (std::size_t kind = 0; kind < sides_.size(); ++kind) {
        Side &side = sides_[kind];
        const Side &other = later.sides_[kind];
        const std::size_t size = kind == 0 ? 128 : std::size_t(names_.size());
        if (side.figures.size() < size) {
            side.figures.resize(size);
            side.plain.resize(size);
        }
        const double fade = std::pow(recency, other.runs);
        for (Figures &figures : side.figures) {
            figures.misses *= fade;
            figures.presses *= fade;
            figures.ms *= fade;
            figures.timed *= fade;
        }
        const auto addTo = [](Figures &sum, const Figures &more) {
            sum.misses += more.misses;
            sum.presses += more.presses;
            sum.ms += more.ms;
            sum.timed += more.timed;
        };
        for (std::size_t index = 0; index < other.figures.size(); ++index) {
            const int target = kind == 0 ? int(index) : mine[index];
            if (target < 0 || std::size_t(target) >= size)
                continue;
            addTo(side.figures[std::size_t(target)], other.figures[index]);
            addTo(side.plain[std::size_t(target)], other.plain[index]);
        }
        side.runs += other.runs;
    }
}

WeakSpots::Figures *WeakSpots::figuresOf(WeakKind kind, const QString &name)
{
    return const_cast<Figures *>(std::as_const(*this).figuresOf(kind, name));
}

const WeakSpots::Figures *WeakSpots::figuresOf(WeakKind kind, const QString &name) const
{
    const std::vector<Figures> &figures = sides_[std::size_t(kind)].figures;
    int index = -1;
    if (kind == WeakKind::Keys)
        index = name.size() == 1 && name.front().unicode() < 128 ? name.front().unicode() : -1;
    else
        for (int number = 0; number < names_.size() && index < 0; ++number)
            index = names_.name(number) == name ? number : -1;
    return index >= 0 && std::size_t(index) < figures.size() ? &figures[std::size_t(index)]
                                                             : nullptr;
}

QString WeakSpots::nameOf(WeakKind kind, std::size_t index) const
{
    return kind == WeakKind::Keys ? QString(QLatin1Char(char(index))) : names_.name(int(index));
}

std::vector<WeakSpot> WeakSpots::ranked(WeakKind kind) const
{
    struct Candidate {
        QString name;
        const Figures *figures;
        double rate;
        double ms;
    };
    const std::vector<Figures> &all = sides_[std::size_t(kind)].figures;
    std::vector<Candidate> candidates;
    Figures total;
    for (std::size_t index = 0; index < all.size(); ++index) {
        const Figures &figures = all[index];
        if (figures.presses <= 0)
            continue;
        const QString name = nameOf(kind, index);
        if (!weakDrillable(kind, name))
            continue;
        candidates.push_back({name, &figures, 0, notKnown});
        total.misses += figures.misses;
        total.presses += figures.presses;
        total.ms += figures.ms;
        total.timed += figures.timed;
    }
    const double overallRate = total.presses > 0 ? total.misses / total.presses : 0;
    const double overallMs = total.timed > 0 ? total.ms / total.timed : notKnown;
    std::vector<double> times;
    for (Candidate &candidate : candidates) {
        const Figures &figures = *candidate.figures;
        candidate.rate = smoothed(figures.misses, figures.presses, overallRate);
        if (figures.timed > 0) {
            candidate.ms = smoothed(figures.ms, figures.timed, overallMs);
            times.push_back(candidate.ms);
        }
    }
    const double medianMs = median(times);
    std::vector<WeakSpot> ranked;
    ranked.reserve(candidates.size());
    for (const Candidate &candidate : candidates) {
        // A key never timed (a history kept before times were) is taken as usual in speed.
        const double slowness =
            std::isnan(candidate.ms) || !(medianMs > 0) ? 1.0 : candidate.ms / medianMs;
        const double misses = (candidate.rate + rateFloor) / (overallRate + rateFloor);
        ranked.push_back({candidate.name, misses * slowness, candidate.rate});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const WeakSpot &a, const WeakSpot &b) {
        return a.weight != b.weight ? a.weight > b.weight : a.name < b.name;
    });
    return ranked;
}

double WeakSpots::overallRate(const std::vector<Figures> &figures)
{
    double misses = 0, presses = 0;
    for (const Figures &f : figures) {
        misses += f.misses;
        presses += f.presses;
    }
    return presses > 0 ? misses / presses : 0;
}

double WeakSpots::missRate(WeakKind kind, const QString &name) const
{
    const Figures *figures = figuresOf(kind, name);
    if (!figures || figures->presses <= 0)
        return notKnown;
    return smoothed(figures->misses, figures->presses,
                    overallRate(sides_[std::size_t(kind)].figures));
}

double WeakSpots::shownMissRate(WeakKind kind, const QString &name) const
{
    const Figures *recent = figuresOf(kind, name);
    if (!recent)
        return notKnown;
    const std::vector<Figures> &plain = sides_[std::size_t(kind)].plain;
    const Figures &figures = plain[std::size_t(recent - sides_[std::size_t(kind)].figures.data())];
    if (figures.presses <= 0)
        return notKnown;
    return smoothed(figures.misses, figures.presses, overallRate(plain));
}

WeakRunPlan WeakSpots::plan(WeakKind kind, const QStringList &marked,
                            const std::function<int(int)> &random) const
{
    return planWeakRun(kind, ranked(kind), marked, runLength(kind), random);
}

WeakRunPlan planWeakRun(WeakKind kind, const std::vector<WeakSpot> &ranked,
                        const QStringList &marked, int length,
                        const std::function<int(int)> &random)
{
    WeakRunPlan plan;
    std::vector<double> weakWeights;
    for (const QString &name : marked) {
        if (weakDrillable(kind, name) && !plan.weakSet.contains(name)) {
            plan.weakSet << name;
            weakWeights.push_back(1); // the learner's own choice: all alike
        }
    }
    if (plan.weakSet.isEmpty()) {
        for (const WeakSpot &spot : ranked) {
            if (plan.weakSet.size() == weakFew)
                break;
            plan.weakSet << spot.name;
            weakWeights.push_back(spot.weight);
        }
    }
    if (plan.weakSet.isEmpty() || length <= 0)
        return plan;
    QStringList everything = plan.weakSet;
    for (const WeakSpot &spot : ranked) {
        if (!everything.contains(spot.name))
            everything << spot.name;
    }

    // Which places the weak set takes: two thirds of them, anywhere in the run.
    const int weakCount = (2 * length + 1) / 3;
    std::vector<char> weakPlace(std::size_t(length), false);
    std::fill_n(weakPlace.begin(), weakCount, true);
    for (int k = length - 1; k > 0; --k)
        std::swap(weakPlace[std::size_t(k)], weakPlace[std::size_t(random(k + 1))]);

    QString previous;
    for (int k = 0; k < length; ++k) {
        // An item like the one before is drawn only when nothing else can be.
        std::vector<QString> names;
        std::vector<double> weights;
        const auto gather = [&](bool weak, bool allowPrevious) {
            names.clear();
            weights.clear();
            const QStringList &from = weak ? plan.weakSet : everything;
            for (qsizetype n = 0; n < from.size(); ++n) {
                if (allowPrevious || from[n] != previous) {
                    names.push_back(from[n]);
                    weights.push_back(weak ? weakWeights[std::size_t(n)] : 1.0);
                }
            }
        };
        const bool weak = weakPlace[std::size_t(k)];
        gather(weak, false);
        if (names.empty())
            gather(!weak, false);
        if (names.empty())
            gather(weak, true);
        previous = names[drawWeighted(weights, random)];
        plan.items << previous;
    }
    return plan;
}

QString weakSpotsReport(const WeakSpots &before, WeakKind kind, const QStringList &weakSet,
                        const RunTally &run)
{
    QStringList parts;
    for (const QString &name : weakSet) {
        qint64 misses = 0;
        for (const Miss &miss : run.misses) {
            if (kind == WeakKind::Keys ? miss.kana.isEmpty() && QLatin1Char(miss.expected) == name
                                       : miss.kana == name)
                ++misses;
        }
        qint64 right = 0;
        if (kind == WeakKind::Keys) {
            const auto found =
                run.rightKeys.find(name.isEmpty() ? 0 : char(name.front().unicode()));
            right = found != run.rightKeys.end() ? found->second : 0;
        } else {
            const auto found = run.kanaTyped.find(name);
            right = found != run.kanaTyped.end() ? found->second : 0;
        }
        if (misses + right == 0)
            continue;
        parts << QStringLiteral("%1 %2 → %3")
                     .arg(shownName(kind, name), percent(before.shownMissRate(kind, name)),
                          percent(double(misses) / double(misses + right)));
    }
    return parts.join(QStringLiteral("  "));
}

QString weakSpotsReportCaption()
{
    return QCoreApplication::translate("WeakSpots", "苦手な所のミス率（これまで → 今回）");
}

QString weakSetLine(WeakKind kind, const QStringList &names)
{
    QStringList shown;
    for (const QString &name : names)
        shown << shownName(kind, name);
    return shown.isEmpty() ? QString()
                           : QCoreApplication::translate("WeakSpots", "苦手: %1")
                                 .arg(shown.join(QLatin1Char(' ')));
}

QString weakestLine(WeakKind kind, const std::vector<WeakSpot> &ranked, int count)
{
    QStringList names;
    for (const WeakSpot &spot : ranked) {
        if (names.size() == count)
            break;
        names << spot.name;
    }
    return weakSetLine(kind, names);
}

std::vector<double> favouredDraw(int level, const QStringList &weakest)
{
    const LevelInfo *info = levelInfo(level);
    if (!info || weakest.isEmpty())
        return {};
    std::vector<double> weights;
    const auto holdsWeak = [&weakest](const QString &text) {
        return std::any_of(weakest.begin(), weakest.end(),
                           [&text](const QString &weak) { return text.contains(weak); });
    };
    if (info->keyString) {
        for (const char *key = info->keyString; *key; ++key)
            weights.push_back(holdsWeak(QString(QLatin1Char(*key))) ? favouredWeight : 1.0);
    } else {
        const RomajiTable table;
        for (int item = info->rangeFirst; item <= info->rangeLast; ++item) {
            const QString text = levelGroup(level) == LevelGroup::Syllable
                                     ? kanaAt(item)
                                     : decodePhrase(table, item).kana;
            weights.push_back(holdsWeak(text) ? favouredWeight : 1.0);
        }
    }
    if (std::all_of(weights.begin(), weights.end(), [](double w) { return w == 1.0; }))
        return {};
    return weights;
}

} // namespace rinkaro
