// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/rubytext.h"

namespace rinkaro
{

namespace
{

constexpr char16_t baseMark = u'｜';
constexpr char16_t rubyOpen = u'《';
constexpr char16_t rubyClose = u'》';

bool isReadingChar(char16_t ch)
{
    return isKana(ch) && ch != u'・';
}

void appendPlain(RubyLine &line, QStringView text)
{
    // Runs of kanji apart from the rest, so that a dictionary can fill in their readings.
    qsizetype start = 0;
    while (start < text.size()) {
        const bool kanji = isKanji(text[start].unicode());
        qsizetype end = start + 1;
        while (end < text.size() && isKanji(text[end].unicode()) == kanji)
            ++end;
        const QString run = text.mid(start, end - start).toString();
        if (!line.empty() && !line.back().annotated && !kanji && !line.back().reading.isEmpty())
            line.back().written += run, line.back().reading += toHiragana(run);
        else
            line.push_back({run, kanji ? QString() : toHiragana(run), false});
        start = end;
    }
}

} // namespace

bool isKanji(char32_t ch)
{
    return (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0x3400 && ch <= 0x4DBF) ||
           (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0x20000 && ch <= 0x2FFFF) || ch == U'々' ||
           ch == U'〆' || ch == U'〇' || ch == U'ヶ';
}

bool isKana(char32_t ch)
{
    return (ch >= 0x3041 && ch <= 0x3096) || (ch >= 0x30A1 && ch <= 0x30FA) || ch == U'ー' ||
           ch == U'ゝ' || ch == U'ゞ' || ch == U'ヽ' || ch == U'ヾ';
}

QString toHiragana(QStringView text)
{
    QString out = text.toString();
    for (QChar &ch : out) {
        const char16_t c = ch.unicode();
        if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE)
            ch = QChar(char16_t(c - 0x60));
    }
    return out;
}

RubyParse parseRuby(QStringView line)
{
    RubyParse parse;
    auto fault = [&parse](qsizetype index, const char *what) {
        if (parse.errorIndex < 0)
            parse.errorIndex = int(index), parse.error = QString::fromLatin1(what);
    };
    qsizetype plainStart = 0; // where the text not yet placed begins
    qsizetype baseStart = -1; // after a ｜
    qsizetype i = 0;
    while (i < line.size()) {
        const char16_t ch = line[i].unicode();
        if (ch == baseMark) {
            appendPlain(parse.segments, line.mid(plainStart, i - plainStart));
            baseStart = plainStart = i + 1;
            ++i;
            continue;
        }
        if (ch == rubyClose) {
            fault(i, "》 without 《");
            ++i;
            continue;
        }
        if (ch != rubyOpen) {
            ++i;
            continue;
        }
        const qsizetype close = line.indexOf(rubyClose, i + 1);
        const qsizetype nested = line.indexOf(rubyOpen, i + 1);
        if (close < 0 || (nested >= 0 && nested < close)) {
            fault(i, close < 0 ? "《 not closed" : "《 inside a reading");
            ++i;
            continue;
        }
        qsizetype base = baseStart;
        if (base < 0) {
            base = i;
            while (base > plainStart && isKanji(line[base - 1].unicode()))
                --base;
        }
        const QStringView reading = line.mid(i + 1, close - i - 1);
        bool kanaOnly = !reading.isEmpty();
        for (QChar r : reading)
            kanaOnly = kanaOnly && isReadingChar(r.unicode());
        if (base == i || !kanaOnly) {
            fault(i, base == i ? "《 with no base before it" : "a reading that is not kana");
            ++i; // the brackets stay as text
            continue;
        }
        appendPlain(parse.segments, line.mid(plainStart, base - plainStart));
        parse.segments.push_back({line.mid(base, i - base).toString(), toHiragana(reading), true});
        plainStart = i = close + 1;
        baseStart = -1;
    }
    if (baseStart >= 0)
        fault(baseStart - 1, "｜ with no reading after it");
    appendPlain(parse.segments, line.mid(plainStart));
    return parse;
}

QString formatRuby(const RubyLine &line)
{
    // The notation's own marks inside a text would be read as ruby again: they are written
    // as the look-alikes that a text without ruby would use.
    const auto literal = [](QString text) {
        return text.replace(baseMark, u'│').replace(rubyOpen, u'≪').replace(rubyClose, u'≫');
    };
    QString out;
    bool afterKanji = false; // a plain kanji run before a base would join it
    for (const RubySegment &segment : line) {
        if (segment.annotated) {
            bool kanjiOnly = !segment.written.isEmpty();
            for (QChar ch : segment.written)
                kanjiOnly = kanjiOnly && isKanji(ch.unicode());
            if (!kanjiOnly || afterKanji)
                out += baseMark;
            out += literal(segment.written) + rubyOpen + literal(segment.reading) + rubyClose;
            afterKanji = false;
        } else {
            out += literal(segment.written);
            afterKanji = !segment.written.isEmpty() && isKanji(segment.written.back().unicode());
        }
    }
    return out;
}

QString writtenText(const RubyLine &line)
{
    QString out;
    for (const RubySegment &segment : line)
        out += segment.written;
    return out;
}

QString readingText(const RubyLine &line)
{
    QString out;
    for (const RubySegment &segment : line)
        out += segment.reading;
    return out;
}

bool fullyRead(const RubyLine &line)
{
    for (const RubySegment &segment : line)
        if (segment.reading.isEmpty() && !segment.written.isEmpty())
            return false;
    return true;
}

} // namespace rinkaro
