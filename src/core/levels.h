#pragma once

// The nine levels: key strings of the key levels, item ranges of the others.
struct LevelInfo {
    const char *keyString; // key levels 1-4; nullptr otherwise
    int rangeFirst;        // syllable levels: kana indices; phrase levels: phrase numbers
    int rangeLast;
    const char *menuCaption; // UTF-8, as the level menu and the record table name it
};

inline constexpr int levelCount = 9;
constexpr bool isLevel(int level)
{
    return level >= 1 && level <= levelCount;
}

// Entry for levels 1..9; nullptr for any other value.
const LevelInfo *levelInfo(int level);

enum class LevelGroup { Key, Syllable, Phrase };
// 4 or less is a key level, 5 and 6 syllable levels, 7 or more phrase levels.
LevelGroup levelGroup(int level);

// The A-to-Z string that an unknown level falls back to.
inline constexpr const char *alphabetKeys = "abcdefghijklmnopqrstuvwxyz";
