// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/romaji.h"

#include <QString>

#include <string>
#include <vector>

namespace rinkaro
{

// Free romaji input: every spelling that common Japanese input methods turn into the kana
// of an item is right, letter by letter, as the learner types it. The spelling of the
// romaji table in force is always among them, so the learner's own choice never beeps.

// One way of typing a syllable, in lower case. For a small tsu with its follower
// ("xtuka"), the first `leadLetters` letters type the small tsu.
struct Spelling {
    std::string letters;
    int leadLetters = 0;
};

// One syllable of an item: a table syllable (code 1..87), or beyond the table any other kana
// or symbol a reading holds (code 0), named by `kana`. `doubled`: a small tsu before it,
// typed with it. The syllable tables and the phrase decoder give codes only; splitReading
// gives `kana` for every syllable ("っか" for a doubled か).
struct FreeSyllable {
    int code = 0;
    bool doubled = false;
    QString kana;
};

// A reading cut into the syllables typed one after the other.
struct ReadingSplit {
    std::vector<FreeSyllable> syllables;
    std::vector<int> ends; // ends[k]: the index in the reading (UTF-16) just past syllable k
    int badIndex = -1;     // the first character no key sequence types; -1 when all can be
};
// Splits a reading into syllables: any hiragana (small kana, っ, ゔ, the contracted and
// foreign-sound pairs such as にゃ ふぁ てぃ), katakana read as hiragana, ー, the punctuation
// 、。「」！？ (typed , . [ ] ! ?; the ASCII , . - [ ] ! ? as themselves) and letters and
// digits (ASCII or full-width), each typed as its lower-case key. A small tsu goes with the
// kana after it when that kana's usual spelling starts with a consonant other than n; it
// is a syllable of its own elsewhere. Characters no key types are passed over; the first
// of them is badIndex.
ReadingSplit splitReading(const QString &reading);

// The spellings of one syllable, the table's own first, without ん's single "n" (which
// depends on the key that follows: see FreeRomaji).
std::vector<Spelling> spellingsOf(const RomajiTable &table, const FreeSyllable &syllable);
// The one spelling of the romaji table: its first letter doubled for a small tsu before it.
std::string tableSpelling(const RomajiTable &table, const FreeSyllable &syllable);

// Where the learner is in one item typed with free spellings: which syllable, the letters
// typed for it so far, and the spellings typed for the syllables before it.
class FreeRomaji
{
public:
    // Free: every spelling of spellingsOf, and ん as a single "n" before a key that an input
    // method would not read with it. Table: the table's spelling only.
    enum class Spellings { Free, Table };
    // A new item, typed from syllable `from` (0-based) on; the syllables before it count as
    // typed in the table's spelling.
    void setItem(const RomajiTable &table, const std::vector<FreeSyllable> &syllables, int from = 0,
                 Spellings spellings = Spellings::Free);

    struct Step {
        bool right = false;
        int syllablesDone = 0; // 0, 1, or 2 when a pending ん closed before a one-key syllable
        bool itemDone = false;
        // The key closed a ん typed as a single "n" and began the syllable after it.
        bool carried = false;
    };
    // A letter is right when some spelling of the current syllable starts with the letters
    // typed for it plus this one, or when those letters already spell the syllable (ん as a
    // single "n") and this one starts the next. A syllable closes as soon as its letters
    // spell it and no longer spelling could go on from them (at the item's end: at once).
    Step type(char key);

    // Counts the first `letters` letters of the current syllable's first spelling as typed
    // (a table changed in the middle of a syllable): the keys typed stand for the new one.
    void resumeAt(int letters);

    int syllable() const { return current_; } // 0-based; == syllableCount() when done
    int syllableCount() const { return int(spellings_.size()); }
    const std::string &typed() const { return typed_; }
    // The spelling shown for the current syllable: the table's while the letters typed fit
    // it, from then on the one being typed.
    const std::string &shown() const;
    // The next letter of the spelling shown, 0 when the item is done.
    char expected() const;
    // Whether the next letter still types the small tsu of a doubled syllable.
    bool typingLead() const;
    // The item's romaji in upper case, syllables apart by one space (the spellings typed,
    // the one shown, then the table's), its typed part and the spaces passed masked by "_".
    QString reading() const;
    // How many characters of the reading are masked.
    int typedCount() const;

private:
    bool closes(const std::string &letters) const;
    bool closesSingleN(char key) const;
    void closeSyllable();
    int findShown() const;

    std::vector<const std::vector<Spelling> *> spellings_; // (*[k])[0] is the table's spelling
    std::vector<std::string> done_; // what was typed for each syllable closed
    std::vector<bool> singleN_;     // [k]: syllable k is a ん that a single "n" may type
    int current_ = 0;
    int shownIndex_ = 0;
    std::string typed_;
};

} // namespace rinkaro
