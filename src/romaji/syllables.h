#pragma once

#include <QString>

#include <array>

// The hiragana syllables and the keystrokes for each, as two parallel tables indexed
// from 1: 1-46 the basic syllables (あ .. ん), 47-71 voiced and half-voiced (が .. ぽ),
// 72-83 the contracted sounds of the き, し, じ and ち rows, 84 small tsu, 85-87 "、" "。" "ー".
// Slots 88-90 are empty. Both tables are in place before any window exists.
inline constexpr int syllableSlots = 90;
extern std::array<QString, syllableSlots + 1> kanaTable;   // [0] unused
extern std::array<QString, syllableSlots + 1> romajiTable; // [0] unused; upper case

inline constexpr int smallTsu = 84;

// Lookups: the entry for an index 1..90, "" for any other index.
QString kanaAt(int index);
QString romajiAt(int index);
// Replaces a romaji entry (the romaji settings rewrite entries 12, 17, 18, 28, 53, 75-83).
void setRomajiAt(int index, const QString &value);
// Puts every romaji entry back to its value at program start.
void resetRomajiTable();

// The romaji choices of the settings panel: eight groups, each writing its entries with
// the values of the first or of the second button. Groups never share an entry.
inline constexpr int romajiGroups = 8;
struct RomajiChoice {
    int count; // 1 or 3 entries
    std::array<int, 3> entries;
    std::array<const char *, 3> first;  // the values at program start
    std::array<const char *, 3> second; // the alternative
};
// In the order the settings file keeps the groups' flags.
extern const std::array<RomajiChoice, romajiGroups> romajiChoices;
// Writes every entry of group 0..7 with the values of its first or second button.
void applyRomajiChoice(int group, bool second);

// The coded phrases of the phrase levels: 78 slots numbered from 1, phrases 1-76 used
// (levels 7, 8 and 9 drill 1-35, 36-52 and 53-76), 77 and 78 empty. Each phrase is a
// string of two-digit codes, each an index into the syllable tables.
inline constexpr int phraseSlots = 78;
extern const std::array<QString, phraseSlots + 1> phraseList; // [0] unused
// The phrase numbered n (1..78), "" for any other number.
QString phraseAt(int number);

// The stored phrases as written: each code string beside the hiragana it stands for.
struct PhraseSource {
    const char *codes;
    const char *kana; // UTF-8
};
inline constexpr int storedPhrases = 76;
extern const std::array<PhraseSource, storedPhrases> phraseSources; // phrase n at [n - 1]

inline constexpr int maxSyllables = 15;

// What one coded phrase decodes to, with the romaji entries in force at that moment.
struct DecodedPhrase {
    QString kana;       // the hiragana shown in the text panel
    QString romajiLine; // the syllables' romaji, separated by single spaces
    std::array<QString, maxSyllables + 1> pieces{}; // [1..syllableCount]: keystrokes per syllable
    int syllableCount = 0;
};
// Reads two-digit codes from the left. Input that the phrase list never holds is passed
// over rather than trusted: a pair that is not two digits or not a code 1..87, a small
// tsu with no syllable 1..83 after it (that small tsu is dropped, its follower read on its
// own), a trailing odd digit, and every code after the 15th syllable.
DecodedPhrase decodeCodes(const QString &codes);
