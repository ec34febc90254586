// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace rinkaro
{

// The nine levels: key strings of the key levels, item ranges of the others.
struct LevelInfo {
    const char *keyString; // key levels 1-4; nullptr otherwise
    int rangeFirst;        // syllable levels: kana indices; phrase levels: phrase numbers
    int rangeLast;
    const char *menuCaption; // UTF-8 source text of levelName()
};

inline constexpr int levelCount = 9;
constexpr bool isLevel(int level)
{
    return level >= 1 && level <= levelCount;
}

// Entry for levels 1..9; nullptr for any other value.
const LevelInfo *levelInfo(int level);

// The weak-spot drills, drawn afresh for every run from the learner's history: keys drilled
// as in the key levels, kana as in the syllable levels. They keep no records.
inline constexpr int weakKeysLevel = 10;
inline constexpr int weakKanaLevel = 11;
constexpr bool isWeakDrill(int level)
{
    return level == weakKeysLevel || level == weakKanaLevel;
}
// The text drills: Japanese as written, words and sentences, typed by their reading. Their
// kana are logged as the syllable levels' are.
inline constexpr int wordsLevel = 12;
inline constexpr int sentencesLevel = 13;
// The learner's own text, opened from a file (its name in the history's 13th field).
inline constexpr int ownTextLevel = 14;
constexpr bool isTextDrill(int level)
{
    return level == wordsLevel || level == sentencesLevel || level == ownTextLevel;
}
// What a run can be drilled and logged with: the nine levels, the weak-spot drills and the
// text drills.
constexpr bool isDrillLevel(int level)
{
    return isLevel(level) || isWeakDrill(level) || isTextDrill(level);
}
inline constexpr int lastDrillLevel = ownTextLevel;
// The level a start takes from the settings file: one of the nine, else level 1. A weak-spot
// drill is never taken up again, its material being of the day.
constexpr int restoredLevel(int stored)
{
    return isLevel(stored) ? stored : 1;
}
// The menu's caption of a drill level as the source text of its translation (UTF-8); nullptr
// for any other value.
const char *levelCaption(int level);
// The caption in the interface's language, as the level menu, the record table and the
// progress window name the level; empty for any other value.
QString levelName(int level);

enum class LevelGroup { Key, Syllable, Phrase };
// 4 or less is a key level, 5 and 6 syllable levels, 7 or more phrase levels; the weak keys
// drill a key level, the weak kana a syllable level, and the text drills are laid out and
// counted as phrase levels.
LevelGroup levelGroup(int level);

// The A-to-Z string that an unknown level falls back to.
inline constexpr const char *alphabetKeys = "abcdefghijklmnopqrstuvwxyz";

} // namespace rinkaro
