// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace rinkaro
{

// One wrong key of a run: the character expected, the one typed, and in the syllable and
// phrase levels the kana being typed ("し", "っ", "、"); empty in the key levels.
struct Miss {
    QString kana;
    char expected = 0;
    char typed = 0;
    friend bool operator==(const Miss &, const Miss &) = default;
};

// What the keys of one run were: its misses, the right keys and kana counted, and how long
// they took.
struct RunTally {
    std::vector<Miss> misses;         // in the order they happened
    std::map<char, int> rightKeys;    // expected character -> times typed right
    std::map<QString, int> kanaTyped; // syllable and phrase levels: kana -> times typed
    // Milliseconds summed over the right presses of each expected key, each timed from the
    // right key before it (the first from Start), and over the letters of each kana typed.
    // Empty for runs recorded before times were kept: their speed per key is unknown.
    std::map<char, qint64> keyMs;
    std::map<QString, qint64> kanaMs;
    friend bool operator==(const RunTally &, const RunTally &) = default;
};

// What a run's line says of it besides its time and its keys: the same in the entry, in the
// line as the statistics read it, and in what the typing-time dialog recorded.
struct RunScalars {
    int level = 0;
    bool randomOrder = false;
    double seconds = 0; // one decimal
    int errors = 0;
    double score = 0; // seconds plus errors, one decimal
    bool newRecord = false;
    friend bool operator==(const RunScalars &, const RunScalars &) = default;
};

// What a run leaves for the learner's history: one line of "RK.log" per run that reached
// the typing-time dialog.
struct RunLogEntry : RunScalars {
    QDateTime ended; // local time with its offset, whole seconds
    RunTally tally;
    friend bool operator==(const RunLogEntry &, const RunLogEntry &) = default;
};

// The line for an entry, ending in a line feed: twelve fields separated by one tab (time,
// level, o/r, seconds, errors, score, record flag, misses, right keys, kana, the right keys'
// milliseconds, the kana's milliseconds), or the first ten for a tally without times; a run
// of a learner's text (level 14) with times adds `textName`, its copy's name, as a 13th.
QByteArray formatRunLogLine(const RunLogEntry &entry, const QString &textName = {});
// An entry from one line (with or without its line end); nullopt for a line that is not
// one the writer could have written.
std::optional<RunLogEntry> parseRunLogLine(QByteArrayView line);
// Appends one line to the file (created when missing) and flushes it; false when it could
// not be written or is not a plain file, which callers pass over in silence.
bool appendRunLog(const QString &path, const RunLogEntry &entry, const QString &textName = {});

} // namespace rinkaro
