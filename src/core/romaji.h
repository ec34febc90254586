// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

namespace rinkaro
{

// The hiragana syllables and the keystrokes for each, indexed from 1: 1-46 the basic
// syllables (あ .. ん), 47-71 voiced and half-voiced (が .. ぽ), 72-83 the contracted
// sounds of the き, し, じ and ち rows, 84 small tsu, 85-87 "、" "。" "ー". Slots 88-90 are
// empty.
inline constexpr int syllableSlots = 90;
inline constexpr int smallTsu = 84;

// The kana of an index 1..90, "" for any other index.
QString kanaAt(int index);
// The index of a kana 1..87; 0 for any other text.
int kanaIndex(const QString &kana);

// The eight romaji choices: eight groups, each giving its entries the values of its first
// or of its second (alternative) button. Groups never share an entry.
inline constexpr int romajiGroups = 8;
struct RomajiChoice {
    int count; // 1 or 3 entries
    std::array<int, 3> entries;
    std::array<const char *, 3> first;  // the defaults
    std::array<const char *, 3> second; // the alternative
};
// In the order the settings file keeps the groups' flags: shi, tsi, tsu, fu, ji, sya, jya,
// tya.
extern const std::array<RomajiChoice, romajiGroups> romajiChoices;

// Whether the alternative of each group is chosen, in the order of romajiChoices.
using RomajiChoices = std::array<bool, romajiGroups>;

// The romaji (upper case) of every syllable with a set of choices applied.
class RomajiTable
{
public:
    explicit RomajiTable(const RomajiChoices &choices = {});

    // The romaji of an index 1..90, "" for any other index.
    QString romaji(int index) const;
    const RomajiChoices &choices() const { return choices_; }

    friend bool operator==(const RomajiTable &, const RomajiTable &) = default;

private:
    RomajiChoices choices_{};
    std::array<QString, syllableSlots + 1> romaji_; // [0] unused
};

// The coded phrases of the phrase levels: 78 slots numbered from 1, phrases 1-76 used
// (levels 7, 8 and 9 drill 1-35, 36-52 and 53-76), 77 and 78 empty. Each phrase is a
// string of two-digit codes, each an index into the syllable tables.
inline constexpr int phraseSlots = 78;
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

// What one coded phrase decodes to with a given romaji table.
struct DecodedPhrase {
    QString kana;       // the hiragana shown in the text panel
    QString romajiLine; // the syllables' romaji, separated by single spaces
    std::array<QString, maxSyllables + 1> pieces{}; // [1..syllableCount]: keystrokes per syllable
    std::array<QString, maxSyllables + 1> kanaPieces{}; // [1..syllableCount]: kana per syllable
    // [k]: syllable k is a small tsu with its follower ("っこ", "KKO"): its first letter
    // types the small tsu, the others the follower.
    std::array<bool, maxSyllables + 1> doubled{};
    std::array<int, maxSyllables + 1> codes{}; // [k]: syllable k's code (a small tsu's follower)
    int syllableCount = 0;
};
// Reads two-digit codes from the left. Input that the phrase list never holds is passed
// over rather than trusted: a pair that is not two digits or not a code 1..87, a small
// tsu with no syllable 1..83 after it (that small tsu is dropped, its follower read on its
// own), a trailing odd digit, and every code after the 15th syllable.
DecodedPhrase decodeCodes(const RomajiTable &table, const QString &codes);
// The phrase numbered n (1..78); an empty phrase for any other number.
DecodedPhrase decodePhrase(const RomajiTable &table, int number);

} // namespace rinkaro
