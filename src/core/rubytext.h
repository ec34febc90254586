// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace rinkaro
{

// Japanese text as written, with the reading of its words: the material of the words and
// sentences drills and the learner's own texts. Readings are written in ruby notation, as
// Aozora Bunko's texts carry them: "私《わたし》の名前《なまえ》", "｜3時《さんじ》".

// A piece of a line: a word written with kanji and its reading, or a run of kana,
// punctuation or other characters, read as written.
struct RubySegment {
    QString written;
    // Hiragana as typed (katakana read as hiragana, ー kept); the written text itself for
    // punctuation, Latin letters and digits; empty for kanji whose reading is unknown yet.
    QString reading;
    // The reading was given (by ruby, a dictionary or the learner), not read off the text.
    bool annotated = false;
    friend bool operator==(const RubySegment &, const RubySegment &) = default;
};
using RubyLine = std::vector<RubySegment>;

struct RubyParse {
    RubyLine segments;
    // The index in the line of the first fault (a 《 with no base, an unclosed or nested
    // bracket, an empty reading, a reading that is not kana), -1 for none. A faulty part is
    // kept as plain text, so that a damaged text still reads.
    int errorIndex = -1;
    QString error; // what is wrong there, in English, for build messages and logs
};

// Kanji and the marks written among them (々 〆 〇 ヶ).
bool isKanji(char32_t ch);
bool isKana(char32_t ch); // hiragana, katakana and ー
// Katakana turned into hiragana; every other character as it is.
QString toHiragana(QStringView text);

// Reads a line in ruby notation: ｜ marks where a base starts; without it the base is the
// run of kanji just before 《. Text outside ruby is cut into runs of kanji (no reading) and
// runs of everything else (read as written).
RubyParse parseRuby(QStringView line);
// The line in ruby notation again: every annotated segment with its ruby (｜ where the base
// is not a run of kanji alone), so that parseRuby gives the same segments back.
QString formatRuby(const RubyLine &line);

QString writtenText(const RubyLine &line);
QString readingText(const RubyLine &line);
// Whether every segment has a reading.
bool fullyRead(const RubyLine &line);

} // namespace rinkaro
