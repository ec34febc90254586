// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/drillsession.h"
#include "core/inputoptions.h"
#include "core/language.h"
#include "core/scorebook.h"
#include "core/settingsfile.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace rinkaro
{

// The learner's files, all in one folder: which they are and where.
enum class LearnerFile {
    Settings, // "RK.set": choices and records
    History,  // "RK.log": one line per finished run
    Options,  // "RK.ini": the options RK.set has no line for
};
// The path of `file` in `folder` (the working folder when empty).
QString learnerFilePath(LearnerFile file, const QString &folder = {});

// What a start takes up from the learner's files.
struct StoredChoices {
    std::optional<SettingsRecord> settings; // nullopt: no RK.set that can be read (a first start)
    InputOptions input;
    LanguageChoice language = LanguageChoice::Desktop;
};

// What the history says of a run, asked for while it still holds only the runs before it, and
// how it then takes the run in. The weak drills' and the text drills' words come from it.
struct RunHistory {
    std::function<QString()> weakReport;
    std::function<QString()> textReport;
    std::function<void()> addRun;
};

// What the end of a run leaves for the learner to see in the typing-time dialog.
struct FinishedRun {
    RecordedRun recorded;
    QString time;   // the run's seconds as "#0.0"
    QString errors; // the run's error count
    // The level's standard score and its record before this run; nullopt for the weak and text
    // drills, whose material is new every run.
    std::optional<QString> standard;
    std::optional<QString> bestBefore;
    QString report; // the history's words on the run; empty for the nine levels
    // After a run of the nine levels, the weakest keys or kana of its kind are named, with a
    // way to practise them.
    bool weakestAdvised = false;
};

// The line of the history that a run makes.
RunLogEntry historyEntry(const RunResult &run, const RecordedRun &recorded, const RunTally &tally,
                         const QDateTime &ended);

// The learner's files in one folder: "RK.set" (choices and records), "RK.log" (one line per
// finished run) and "RK.ini" (options, the language, where the text drills go on), and the
// records this copy holds. Every save keeps the better records of this copy and of the file
// on disk, under a lock, so copies sharing a folder keep each other's records. A file that
// cannot be read gives the defaults; one that cannot be written is passed over in silence.
class RecordKeeper
{
public:
    // The files in `folder` (the working folder when empty).
    explicit RecordKeeper(const QString &folder = QString());

    // Reads RK.set, taking its records, and RK.ini's options and language.
    StoredChoices load();
    // Saves the learner's choices with the records; the old file stays when the new one
    // cannot be written. The records of another copy saved meanwhile become this copy's too.
    void save(const SettingsRecord &choices);

    // Saved at once, so that a choice survives a copy that never closes politely. Each
    // leaves the other's keys alone.
    bool saveInputOptions(const InputOptions &options);
    bool saveLanguageChoice(LanguageChoice choice);
    // Where the ordered runs of the text drill named `drill` go on (0 when unknown).
    int drillPosition(const QString &drill) const;
    bool saveDrillPosition(const QString &drill, int position);

    // Ends a run: asks the history for its words on the run (weak and text drills), scores it
    // against its level's record, keeps a new record and saves at once (with `choices`),
    // appends the run to RK.log (with `textName`, the learner's text open, which only a run of
    // that text keeps), lets the history take it in, and returns what the typing-time dialog
    // shows.
    FinishedRun finishRun(const RunResult &run, const RunTally &tally, const QDateTime &ended,
                          const SettingsRecord &choices, const QString &textName = {},
                          const RunHistory &history = {});

    const ScoreBook &scores() const { return scores_; }
    const QString &settingsPath() const { return settingsPath_; }
    const QString &historyPath() const { return historyPath_; }
    const QString &optionsPath() const { return optionsPath_; }

private:
    QString settingsPath_;
    QString historyPath_;
    QString optionsPath_;
    ScoreBook scores_;
};

} // namespace rinkaro
