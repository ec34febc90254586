// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scorebook.h"

#include "core/levels.h"
#include "core/runrules.h"
#include "core/settingsfile.h"

namespace rinkaro
{

QString formatTenths(double value, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', 1);
}

int ScoreBook::standardScore(int level)
{
    static constexpr std::array<int, levelCount> standards{15, 20, 20, 15, 40, 40, 140, 150, 160};
    return isLevel(level) ? standards[std::size_t(level - 1)] : 0;
}

double ScoreBook::best(int level, bool randomOrder) const
{
    if (!isLevel(level))
        return 0;
    return (randomOrder ? random_ : ordered_)[std::size_t(level - 1)];
}

void ScoreBook::setBest(int level, bool randomOrder, double score)
{
    if (isLevel(level))
        (randomOrder ? random_ : ordered_)[std::size_t(level - 1)] = score;
}

RecordedRun ScoreBook::record(const RunResult &run)
{
    const bool randomOrder = run.randomOrder;
    RecordedRun recorded;
    recorded.randomOrder = randomOrder;
    recorded.standard = standardScore(run.level);
    recorded.bestBefore = best(run.level, randomOrder);
    recorded.score = runScore(run.errors, run.seconds);
    recorded.newRecord = isLevel(run.level) && beatsRecord(recorded.score, recorded.bestBefore);
    if (recorded.newRecord)
        setBest(run.level, randomOrder, recorded.score);
    return recorded;
}

void ScoreBook::load(const SettingsRecord &settings)
{
    ordered_ = settings.orderedRecords;
    random_ = settings.randomRecords;
}

void ScoreBook::store(SettingsRecord &settings) const
{
    settings.orderedRecords = ordered_;
    settings.randomRecords = random_;
}

} // namespace rinkaro
