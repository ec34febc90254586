// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/recordkeeper.h"

#include "core/levels.h"
#include "core/runlog.h"
#include "core/textdrill.h"

#include <QDir>

namespace rinkaro
{

QString learnerFilePath(LearnerFile file, const QString &folder)
{
    const QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    switch (file) {
    case LearnerFile::Settings:
        return dir.absoluteFilePath(QStringLiteral("RK.set"));
    case LearnerFile::History:
        return dir.absoluteFilePath(QStringLiteral("RK.log"));
    case LearnerFile::Options:
        break;
    }
    return dir.absoluteFilePath(QStringLiteral("RK.ini"));
}

RunLogEntry historyEntry(const RunResult &run, const RecordedRun &recorded, const RunTally &tally,
                         const QDateTime &ended)
{
    return {{run.level, recorded.randomOrder, run.seconds, run.errors, recorded.score,
             recorded.newRecord},
            ended,
            tally};
}

RecordKeeper::RecordKeeper(const QString &folder)
    : settingsPath_(learnerFilePath(LearnerFile::Settings, folder)),
      historyPath_(learnerFilePath(LearnerFile::History, folder)),
      optionsPath_(learnerFilePath(LearnerFile::Options, folder))
{
}

StoredChoices RecordKeeper::load()
{
    StoredChoices stored;
    stored.settings = readSettingsFile(settingsPath_);
    scores_.load(stored.settings.value_or(SettingsRecord()));
    stored.input = readInputOptions(optionsPath_);
    stored.language = readLanguageChoice(optionsPath_);
    return stored;
}

void RecordKeeper::save(const SettingsRecord &choices)
{
    SettingsRecord values = choices;
    scores_.store(values);
    scores_.load(saveSettingsKeepingRecords(settingsPath_, values).values);
}

bool RecordKeeper::saveInputOptions(const InputOptions &options)
{
    return rinkaro::saveInputOptions(optionsPath_, options);
}

bool RecordKeeper::saveLanguageChoice(LanguageChoice choice)
{
    return rinkaro::saveLanguageChoice(optionsPath_, choice);
}

int RecordKeeper::drillPosition(const QString &drill) const
{
    return readDrillPosition(optionsPath_, drill);
}

bool RecordKeeper::saveDrillPosition(const QString &drill, int position)
{
    return rinkaro::saveDrillPosition(optionsPath_, drill, position);
}

FinishedRun RecordKeeper::finishRun(const RunResult &run, const RunTally &tally,
                                    const QDateTime &ended, const SettingsRecord &choices,
                                    const QString &textName, const RunHistory &history)
{
    FinishedRun finished;
    // Told against the runs before this one.
    const std::function<QString()> *report = isWeakDrill(run.level)   ? &history.weakReport
                                             : isTextDrill(run.level) ? &history.textReport
                                                                      : nullptr;
    if (report && *report)
        finished.report = (*report)();
    finished.recorded = scores_.record(run);
    // A record the learner has earned reaches the disk at once, not only at the close.
    if (finished.recorded.newRecord)
        save(choices);
    // A history that cannot be written is passed over in silence, as RK.set is.
    appendRunLog(historyPath_, historyEntry(run, finished.recorded, tally, ended), textName);
    if (history.addRun)
        history.addRun();

    finished.time = formatTenths(run.seconds);
    finished.errors = QString::number(run.errors);
    // Only the nine levels have a fixed material, and so a standard and a best time.
    if (isLevel(run.level)) {
        finished.standard = QString::number(finished.recorded.standard);
        finished.bestBefore = formatTenths(finished.recorded.bestBefore);
        finished.weakestAdvised = true;
    }
    return finished;
}

} // namespace rinkaro
