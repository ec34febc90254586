// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/drillsession.h"
#include "core/scorebook.h"
#include "core/settingsfile.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace rinkaro
{

// The learner's files in the working folder: "RK.set" (choices and records) and "RK.log"
// (one line per finished run), and the records this copy holds. Every save keeps the
// better records of this copy and of the file on disk, under a lock, so copies sharing a
// folder keep each other's records.
class RecordKeeper
{
public:
    // The files in `folder` (the working folder when empty).
    explicit RecordKeeper(const QString &folder = QString());

    // Reads RK.set and takes its records; nullopt, with no records, when there is no file
    // that can be read (a first start).
    std::optional<SettingsRecord> load();
    // Saves the learner's choices with the records; a file that cannot be written is
    // passed over in silence and the old one stays. The records of another copy saved
    // meanwhile become this copy's too.
    void save(const SettingsRecord &choices);

    // Scores a finished run against its level's record, keeps it when it is a new record
    // and then saves at once (with `choices`), and appends the run to the history (with the
    // name of the learner's text it typed, if any).
    RecordedRun recordRun(const RunResult &run, const RunTally &tally, const QDateTime &ended,
                          const SettingsRecord &choices, const QString &textName = {});

    const ScoreBook &scores() const { return scores_; }
    const QString &settingsPath() const { return settingsPath_; }
    const QString &historyPath() const { return historyPath_; }

private:
    QString settingsPath_;
    QString historyPath_;
    ScoreBook scores_;
};

} // namespace rinkaro
