// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/recordkeeper.h"

#include "core/runlog.h"

#include <QDir>

namespace rinkaro
{

RecordKeeper::RecordKeeper(const QString &folder)
{
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    settingsPath_ = dir.absoluteFilePath(QStringLiteral("RK.set"));
    historyPath_ = dir.absoluteFilePath(QStringLiteral("RK.log"));
}

std::optional<SettingsRecord> RecordKeeper::load()
{
    const std::optional<SettingsRecord> stored = readSettingsFile(settingsPath_);
    scores_.load(stored.value_or(SettingsRecord()));
    return stored;
}

void RecordKeeper::save(const SettingsRecord &choices)
{
    SettingsRecord values = choices;
    scores_.store(values);
    scores_.load(saveSettingsKeepingRecords(settingsPath_, values).values);
}

RecordedRun RecordKeeper::recordRun(const RunResult &run, const RunTally &tally,
                                    const QDateTime &ended, const SettingsRecord &choices,
                                    const QString &textName)
{
    const RecordedRun recorded = scores_.record(run);
    // A record the learner has earned reaches the disk at once, not only at the close.
    if (recorded.newRecord)
        save(choices);
    RunLogEntry entry;
    entry.ended = ended;
    entry.level = run.level;
    entry.randomOrder = recorded.randomOrder;
    entry.seconds = run.seconds;
    entry.errors = run.errors;
    entry.score = recorded.score;
    entry.newRecord = recorded.newRecord;
    entry.tally = tally;
    // A history that cannot be written is passed over in silence, as RK.set is.
    appendRunLog(historyPath_, entry, textName);
    return recorded;
}

} // namespace rinkaro
