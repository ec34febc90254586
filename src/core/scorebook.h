// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/drillsession.h"
#include "core/levels.h"

#include <QLocale>
#include <QString>

#include <array>

namespace rinkaro
{

struct SettingsRecord;

// A time or score as "#0.0": rounded to one decimal, at least one digit before the
// separator, no digit grouping, with the user's decimal separator.
QString formatTenths(double value, const QLocale &locale = QLocale());

// What recording a run gives the typing-time dialog.
struct RecordedRun {
    int standard = 0;         // the level's standard score
    double bestBefore = 0;    // the record before this run; 0 for none
    double score = 0;         // seconds plus one per error
    bool newRecord = false;   // whether the run replaced the record
    bool randomOrder = false; // the table it went to: random (true) or ordered
};

// The fixed standard scores and the user's two tables of best scores, one for ordered and
// one for random runs, per level. A lower score is better; 0 means no record yet.
class ScoreBook
{
public:
    // The standard score of levels 1..9; 0 for any other level.
    static int standardScore(int level);

    // The record of a level (1..9) in one table; 0 for none or for another level.
    double best(int level, bool randomOrder) const;
    void setBest(int level, bool randomOrder, double score);

    // Scores a finished run and keeps it when it beats the record of its level in the
    // table of its order mode (only a strictly lower score does).
    RecordedRun record(const RunResult &run);

    // The tables as the settings file carries them.
    void load(const SettingsRecord &settings);
    void store(SettingsRecord &settings) const;

private:
    std::array<double, levelCount> ordered_{};
    std::array<double, levelCount> random_{};
};

} // namespace rinkaro
