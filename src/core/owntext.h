// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rubytext.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace rinkaro
{

// A learner's text turned into what the drill types: Aozora Bunko's notes, header and
// footer taken out, each line read for ruby, and cut into sentences short enough for the
// drill area.

constexpr int maxSentenceLength = 40; // characters as written

// The text without Aozora Bunko's notes (［＃…］, and the ※ that stands for a character
// one of them describes), without the header up to the second line of dashes and without
// the footer from "底本：". Any other text is returned as it is.
QString dropAozoraMarkup(const QString &text);

// The line cut after 。！？ (and the closing brackets right after them); a piece longer than
// `maxLength` is cut after its last 、 within the limit, or at the limit. Words with ruby
// are never cut; spaces around pieces are dropped and empty pieces left out.
std::vector<RubyLine> cutSentences(const RubyLine &line, int maxLength = maxSentenceLength);

// The sentences of a whole text: each line read for ruby, then cut. Blank lines end
// nothing more than a line does.
std::vector<RubyLine> textSentences(const QString &text);

// The line with its segments joined as parseRuby makes them and the plain text's readings
// as typed (typedForm).
RubyLine normalized(const RubyLine &line);

// The reading as it is typed: full-width Latin letters and digits as the keys that type
// them ("ＡＢ１" -> "AB1"), katakana as hiragana.
QString typedForm(QStringView written);

// Why `reading` cannot be a word's reading, in Japanese, or empty when it can: only
// hiragana (katakana are taken as hiragana), ー, Latin letters and digits are typed.
QString readingFault(const QString &reading);

// Whether every word with kanji has a reading.
bool sentencesRead(const std::vector<RubyLine> &sentences);

// Sets the reading of word `segment` of `sentence` to `reading` once readingFault finds
// nothing wrong with it; otherwise returns the fault and leaves the sentence as it was.
QString correctReading(RubyLine &sentence, int segment, const QString &reading);

// The sentences of the run that starts at `position`: up to five, fewer once their readings
// reach about 150 kana. A position past the end starts the text again.
struct RunSpan {
    int from = 0;
    int to = 0; // one past the last
};
RunSpan nextRun(const std::vector<RubyLine> &sentences, int position);

} // namespace rinkaro
