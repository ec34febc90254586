// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rubytext.h"

#include <QString>

#include <optional>
#include <vector>

namespace rinkaro
{

// Whatever gives the readings of the words of a text (a morphological analyser and its
// dictionary), so that the rules can fill in readings without knowing which one.
class WordReader
{
public:
    struct Word {
        QString written; // as in the text
        QString reading; // in katakana or hiragana; empty when unknown
    };
    virtual ~WordReader() = default;
    // The words of `text` in order, the spaces between them left out; nullopt when the
    // reader cannot work (its library or dictionary missing).
    virtual std::optional<std::vector<Word>> words(const QString &text) = 0;
};

// Fills in the readings the sentence lacks: every run of words without ruby that holds a
// word with kanji and no reading is read as a whole, and each word with kanji takes the
// reader's reading (in hiragana; particles keep their letters: は is "ha"). Ruby already
// there is kept. Returns false when the reader failed.
bool fillReadings(RubyLine &sentence, WordReader &reader);

} // namespace rinkaro
