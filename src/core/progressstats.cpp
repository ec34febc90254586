// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/progressstats.h"

#include "core/keytable.h"
#include "core/levels.h"
#include "core/presstimes.h"

#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>

namespace rinkaro
{

namespace
{

constexpr qint64 dayMs = 24 * 3600 * 1000;
const std::vector<int> noRuns;
const PressFigures noPresses;

// A line's counts have at most nine digits: no history is long enough for the sums to
// overflow.
void addRight(PressFigures &figures, const RunLogLine::Count &count, bool timed, qint64 ms,
              int keys)
{
    figures.right += count.n;
    if (timed) {
        figures.timedMs += ms;
        figures.timed += qint64(count.n) * keys;
    }
}

qint32 tenths(double value)
{
    return qint32(std::llround(std::clamp(value * 10, 0.0, double(INT32_MAX))));
}

// The whole presses of a level or of all kana of a level, for the rate they are drawn to.
PressFigures sum(const PressFigures *first, const PressFigures *last)
{
    PressFigures total;
    for (; first != last; ++first) {
        total.misses += first->misses;
        total.right += first->right;
        total.timedMs += first->timedMs;
        total.timed += first->timed;
    }
    return total;
}

double overallRate(const PressFigures &total)
{
    return total.presses() > 0 ? total.rate() : 0;
}

} // namespace

double PressFigures::meanMs() const
{
    return timed > 0 ? double(timedMs) / double(timed) : std::numeric_limits<double>::quiet_NaN();
}

char PressFigures::mostOftenInstead() const
{
    char most = 0;
    qint64 times = 0;
    for (const auto &[typed, n] : typedInstead) {
        if (n > times || (n == times && typed < most)) {
            most = typed;
            times = n;
        }
    }
    return most;
}

void PressFigures::addMiss(char typed)
{
    ++misses;
    for (auto &[instead, n] : typedInstead) {
        if (instead == typed) {
            ++n;
            return;
        }
    }
    typedInstead.emplace_back(typed, 1);
}

void PressFigures::add(const PressFigures &other)
{
    misses += other.misses;
    right += other.right;
    for (const auto &[typed, n] : other.typedInstead) {
        const auto found =
            std::find_if(typedInstead.begin(), typedInstead.end(),
                         [typed = typed](const auto &t) { return t.first == typed; });
        if (found != typedInstead.end())
            found->second += n;
        else
            typedInstead.emplace_back(typed, n);
    }
    timedMs += other.timedMs;
    timed += other.timed;
}

double smoothed(double sum, double count, double overall)
{
    return (sum + priorPresses * overall) / (count + priorPresses);
}

double smoothedRate(const PressFigures &figures, double overallRate)
{
    return smoothed(double(figures.misses), double(figures.presses()), overallRate);
}

double smoothedMs(const PressFigures &figures, double overallMs)
{
    if (std::isnan(overallMs))
        return figures.meanMs();
    return smoothed(double(figures.timedMs), double(figures.timed), overallMs);
}

QDateTime RunFigures::ended() const
{
    return QDateTime::fromMSecsSinceEpoch(endedMs, Qt::OffsetFromUTC, offsetSeconds());
}

qint64 RunFigures::localDay() const
{
    const qint64 local = endedMs + qint64(offsetSeconds()) * 1000;
    return local >= 0 ? local / dayMs : (local - dayMs + 1) / dayMs;
}

double RunFigures::speed() const
{
    return secondsTenths > 0 ? typed * 60.0 / seconds() : std::numeric_limits<double>::quiet_NaN();
}

double RunFigures::accuracy() const
{
    const qint64 presses = qint64(rightKeys) + errors;
    return presses > 0 ? double(rightKeys) / double(presses)
                       : std::numeric_limits<double>::quiet_NaN();
}

PressFigures &ProgressStats::kanaFigures(int level, int number)
{
    std::vector<PressFigures> &kana = kana_[std::size_t(level)];
    if (std::size_t(number) >= kana.size())
        kana.resize(std::size_t(number) + 1);
    return kana[std::size_t(number)];
}

void ProgressStats::add(const RunLogLine &line, const LineTimes *given)
{
    const int level = line.level;
    if (!isDrillLevel(level))
        return;
    RunFigures run;
    run.endedMs = line.endedMs;
    // Offsets are whole minutes and within a day; times are whole tenths, and a run of over
    // six years is held at that.
    run.offsetMinutes = qint16(line.offsetSeconds / 60);
    run.secondsTenths = tenths(line.seconds);
    run.scoreTenths = tenths(line.score);
    run.errors = line.errors;
    run.level = qint8(level);
    run.randomOrder = line.randomOrder;
    run.newRecord = line.newRecord;
    run.leftOut = !leftOut_.empty() && leftOut_.contains(line.endedMs, level);
    levelRuns_[std::size_t(level)].push_back(int(runs_.size()));
    if (level == ownTextLevel && !line.textName.empty())
        texts_[std::size_t(textOf(line.textName))].runs.push_back(int(runs_.size()));
    if (run.leftOut) {
        runs_.push_back(run);
        ++leftOutCount_;
        return;
    }
    allLevelsStale_ = true;
    numberKanaKeys(kanaNames_, kanaKeys_);
    const std::optional<LineTimes> own =
        given ? std::nullopt : std::optional<LineTimes>(std::in_place, line, kanaKeys_);
    const LineTimes &times = given ? *given : *own;

    qint64 rightKeys = 0;
    qint64 kanaTyped = 0;
    auto &keys = keys_[std::size_t(level)];
    // Every kana of the line is numbered by now.
    std::vector<PressFigures> &kana = kana_[std::size_t(level)];
    if (kana.size() < std::size_t(kanaNames_.size()))
        kana.resize(std::size_t(kanaNames_.size()));
    for (const RunLogLine::Count &count : line.keys) {
        rightKeys += count.n;
        if (isDrilledKey(count.name))
            addRight(keys[std::size_t(count.name)], count, line.timed, times.keyMs(count), 1);
    }
    for (const RunLogLine::Count &count : line.kana) {
        kanaTyped += count.n;
        if (std::size_t(count.name) < kana.size())
            addRight(kana[std::size_t(count.name)], count, line.timed, times.kanaMs(count),
                     kanaKeys_[std::size_t(count.name)]);
    }
    for (const RunLogLine::Miss &miss : line.misses) {
        if (isDrilledKey(miss.expected))
            keys[std::size_t(miss.expected)].addMiss(miss.typed);
        if (miss.kana >= 0 && std::size_t(miss.kana) < kana.size())
            kana[std::size_t(miss.kana)].addMiss(miss.typed);
    }

    run.rightKeys = int(std::min<qint64>(rightKeys, INT_MAX));
    run.typed = levelGroup(level) == LevelGroup::Key ? run.rightKeys
                                                     : int(std::min<qint64>(kanaTyped, INT_MAX));
    runs_.push_back(run);
    seconds_ += run.seconds();
    // Runs come mostly in order of time: the day before is usually the day of this one.
    const qint64 day = run.localDay();
    if (days_.empty() || *std::prev(days_.end()) != day)
        days_.insert(day);
}

void ProgressStats::add(const RunLogEntry &entry)
{
    add(lineOf(entry, kanaNames_));
}

void ProgressStats::append(const ProgressStats &later)
{
    const int offset = int(runs_.size());
    // A history read in parts is put together once, at its full size; runs read on later
    // are few, and grow it as usual.
    if (later.runs_.size() > runs_.size() / 8)
        runs_.reserve(runs_.size() + later.runs_.size());
    runs_.insert(runs_.end(), later.runs_.begin(), later.runs_.end());
    numberKanaKeys(kanaNames_, kanaKeys_);
    for (std::size_t level = 1; level < levelRuns_.size(); ++level)
        for (const int index : later.levelRuns_[level])
            levelRuns_[level].push_back(offset + index);
    for (const Text &text : later.texts_) {
        std::vector<int> &runs = texts_[std::size_t(textOf(text.name))].runs;
        for (const int index : text.runs)
            runs.push_back(offset + index);
    }
    seconds_ += later.seconds_;
    leftOutCount_ += later.leftOutCount_;
    days_.insert(later.days_.begin(), later.days_.end());
    for (std::size_t level = 1; level < keys_.size(); ++level) {
        for (std::size_t key = 0; key < keys_[level].size(); ++key)
            keys_[level][key].add(later.keys_[level][key]);
        const std::vector<PressFigures> &kana = later.kana_[level];
        for (std::size_t number = 0; number < kana.size(); ++number) {
            const int mine = kanaNames_.find(later.kanaNames_.name(int(number)));
            if (mine >= 0)
                kanaFigures(int(level), mine).add(kana[number]);
        }
    }
    allLevelsStale_ = true;
}

const std::vector<int> &ProgressStats::levelRuns(int level) const
{
    if (isTextScope(level))
        return level - firstTextScope < textCount()
                   ? texts_[std::size_t(level - firstTextScope)].runs
                   : noRuns;
    return isDrillLevel(level) ? levelRuns_[std::size_t(level)] : noRuns;
}

int ProgressStats::findText(const std::string &name) const
{
    // A learner practises a handful of texts: a look along them costs less than a map.
    for (std::size_t k = 0; k < texts_.size(); ++k)
        if (texts_[k].name == name)
            return int(k);
    return -1;
}

int ProgressStats::textOf(const std::string &name)
{
    if (const int found = findText(name); found >= 0)
        return found;
    texts_.push_back({name, {}});
    return int(texts_.size()) - 1;
}

QString ProgressStats::textCopyName(int text) const
{
    return text >= 0 && text < textCount() ? QString::fromStdString(texts_[std::size_t(text)].name)
                                           : QString();
}

QString ProgressStats::textTitle(int text) const
{
    return QFileInfo(textCopyName(text)).completeBaseName();
}

int ProgressStats::textNumber(const QString &copyName) const
{
    return findText(copyName.toStdString());
}

PracticeTotals ProgressStats::totals(QDate today) const
{
    PracticeTotals totals;
    totals.runs = runs() - leftOutCount_;
    totals.seconds = seconds_;
    int inARow = 0;
    qint64 previous = 0;
    const qint64 todayNumber = QDate(1970, 1, 1).daysTo(today);
    for (const qint64 day : days_) {
        if (day > todayNumber)
            break;
        inARow = inARow > 0 && day == previous + 1 ? inARow + 1 : 1;
        totals.longestStreak = std::max(totals.longestStreak, inARow);
        previous = day;
    }
    // The streak still holds on a day not practised yet.
    if (inARow > 0 && (previous == todayNumber || previous == todayNumber - 1))
        totals.streak = inARow;
    return totals;
}

void ProgressStats::gatherAllLevels() const
{
    if (!allLevelsStale_)
        return;
    keys_[0] = {};
    kana_[0].clear();
    for (std::size_t level = 1; level <= std::size_t(lastDrillLevel); ++level) {
        for (std::size_t key = 0; key < keys_[level].size(); ++key)
            keys_[0][key].add(keys_[level][key]);
        if (kana_[0].size() < kana_[level].size())
            kana_[0].resize(kana_[level].size());
        for (std::size_t number = 0; number < kana_[level].size(); ++number)
            kana_[0][number].add(kana_[level][number]);
    }
    allLevelsStale_ = false;
}

const PressFigures &ProgressStats::key(int level, char key) const
{
    if (level < 0 || level > lastDrillLevel || !isDrilledKey(key))
        return noPresses;
    if (level == 0)
        gatherAllLevels();
    return keys_[std::size_t(level)][std::size_t(key)];
}

PressFigures ProgressStats::keyTotal(int level) const
{
    if (level < 0 || level > lastDrillLevel)
        return {};
    if (level == 0)
        gatherAllLevels();
    const auto &keys = keys_[std::size_t(level)];
    return sum(keys.data(), keys.data() + keys.size());
}

std::vector<ProgressStats::RankedKana> ProgressStats::rankedKana(int level, Ranking by,
                                                                 int count) const
{
    std::vector<RankedKana> ranked;
    if (level < 0 || level > lastDrillLevel || count <= 0)
        return ranked;
    if (level == 0)
        gatherAllLevels();
    const std::vector<PressFigures> &kana = kana_[std::size_t(level)];
    const PressFigures total = sum(kana.data(), kana.data() + kana.size());
    ranked.reserve(kana.size());
    for (std::size_t number = 0; number < kana.size(); ++number) {
        const PressFigures &figures = kana[number];
        if (by == Ranking::Misses ? figures.misses > 0 : figures.timed > 0)
            ranked.push_back({kanaNames_.name(int(number)), figures,
                              smoothedRate(figures, overallRate(total)),
                              figures.timed > 0 ? smoothedMs(figures, total.meanMs())
                                                : std::numeric_limits<double>::quiet_NaN()});
    }
    const auto before = [by](const RankedKana &a, const RankedKana &b) {
        const double valueA = by == Ranking::Misses ? a.rate : a.ms;
        const double valueB = by == Ranking::Misses ? b.rate : b.ms;
        if (valueA != valueB)
            return valueA > valueB;
        if (a.figures.misses != b.figures.misses)
            return a.figures.misses > b.figures.misses;
        return a.kana < b.kana;
    };
    const auto kept = ranked.begin() + std::min<qsizetype>(count, qsizetype(ranked.size()));
    std::partial_sort(ranked.begin(), kept, ranked.end(), before);
    ranked.erase(kept, ranked.end());
    return ranked;
}

} // namespace rinkaro
