// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/owntext.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace rinkaro
{

namespace
{

bool isDashLine(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.size() < 10)
        return false;
    for (QChar ch : trimmed)
        if (ch != u'-' && ch != u'－' && ch != u'‐')
            return false;
    return true;
}

bool endsSentence(char32_t ch)
{
    return ch == U'。' || ch == U'！' || ch == U'？' || ch == U'!' || ch == U'?';
}

bool closesBracket(char32_t ch)
{
    return ch == U'」' || ch == U'』' || ch == U'）' || ch == U'”' || ch == U'〉' || ch == U'】' ||
           ch == U')' || ch == U'。' || ch == U'！' || ch == U'？';
}

// A piece of a line that the cutter never splits: an annotated word, or one character.
struct Unit {
    RubySegment segment;
    char32_t first = 0; // the character of a plain unit
    bool plain = false;
};

std::vector<Unit> units(const RubyLine &line)
{
    std::vector<Unit> out;
    for (const RubySegment &segment : line) {
        if (segment.annotated) {
            out.push_back({segment, 0, false});
            continue;
        }
        const bool readAsWritten = segment.reading.size() == segment.written.size();
        for (qsizetype i = 0; i < segment.written.size();) {
            const qsizetype width =
                segment.written[i].isHighSurrogate() && i + 1 < segment.written.size() ? 2 : 1;
            const QString written = segment.written.mid(i, width);
            char32_t ch = written[0].unicode();
            if (width == 2)
                ch = QChar::surrogateToUcs4(written[0], written[1]);
            out.push_back(
                {{written, readAsWritten ? segment.reading.mid(i, width) : QString(), false},
                 ch,
                 true});
            i += width;
        }
    }
    return out;
}

int lengthOf(const Unit &unit)
{
    return unit.plain ? 1 : int(unit.segment.written.size());
}

// The units back as a line, segments joined as parseRuby makes them, spaces at either end
// dropped.
RubyLine joined(const std::vector<Unit> &all, size_t from, size_t to)
{
    const auto space = [](const Unit &u) { return u.plain && QChar::isSpace(u.first); };
    while (from < to && space(all[from]))
        ++from;
    while (to > from && space(all[to - 1]))
        --to;
    RubyLine line;
    for (size_t i = from; i < to; ++i)
        line.push_back(all[i].segment);
    return normalized(line);
}

} // namespace

QString dropAozoraMarkup(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    // The header: title and author, then the notes on symbols between two lines of dashes.
    int dashes = 0;
    qsizetype bodyStart = 0;
    for (qsizetype i = 0; i < lines.size() && i < 200; ++i) {
        if (isDashLine(lines[i]) && ++dashes == 2) {
            bodyStart = i + 1;
            break;
        }
    }
    qsizetype bodyEnd = lines.size();
    for (qsizetype i = lines.size() - 1; i >= bodyStart; --i) {
        if (lines[i].startsWith(QStringLiteral("底本："))) {
            bodyEnd = i;
            break;
        }
    }
    lines = lines.mid(bodyStart, bodyEnd - bodyStart);
    static const QRegularExpression note(QStringLiteral("※?［＃[^］]*］"));
    for (QString &line : lines)
        line.remove(note);
    return lines.join(QLatin1Char('\n'));
}

std::vector<RubyLine> cutSentences(const RubyLine &line, int maxLength)
{
    const std::vector<Unit> all = units(line);
    std::vector<RubyLine> out;
    const auto keep = [&](size_t from, size_t to) {
        RubyLine piece = joined(all, from, to);
        if (!piece.empty())
            out.push_back(std::move(piece));
    };
    size_t start = 0;
    while (start < all.size()) {
        // The end of the sentence: after its mark and the closing brackets that follow.
        size_t end = start;
        while (end < all.size() && !(all[end].plain && endsSentence(all[end].first)))
            ++end;
        while (end < all.size() && all[end].plain && closesBracket(all[end].first))
            ++end;
        // Long pieces: at the last 、 within the limit, or as many units as fit.
        int length = 0;
        size_t fit = start, comma = 0;
        while (fit < end && length + lengthOf(all[fit]) <= maxLength) {
            length += lengthOf(all[fit]);
            if (all[fit].plain && (all[fit].first == U'、' || all[fit].first == U'，'))
                comma = fit + 1;
            ++fit;
        }
        if (fit < end)
            end = comma > start ? comma : std::max(fit, start + 1);
        keep(start, end);
        start = end;
    }
    return out;
}

RubyLine normalized(const RubyLine &line)
{
    RubyLine out = parseRuby(formatRuby(line)).segments;
    for (RubySegment &segment : out)
        if (!segment.annotated && !segment.reading.isEmpty())
            segment.reading = typedForm(segment.written);
    return out;
}

std::vector<RubyLine> textSentences(const QString &text)
{
    std::vector<RubyLine> out;
    for (QStringView line : QStringView(text).split(u'\n')) {
        for (RubyLine &sentence : cutSentences(parseRuby(line).segments))
            out.push_back(std::move(sentence));
    }
    return out;
}

QString typedForm(QStringView written)
{
    QString out = toHiragana(written);
    for (QChar &ch : out) {
        const char16_t c = ch.unicode();
        if ((c >= u'０' && c <= u'９') || (c >= u'Ａ' && c <= u'Ｚ') || (c >= u'ａ' && c <= u'ｚ'))
            ch = QChar(char16_t(c - 0xFEE0));
    }
    return out;
}

QString readingFault(const QString &reading)
{
    if (reading.trimmed().isEmpty())
        return QCoreApplication::translate("OwnText", "読みが空です。");
    for (QChar ch : typedForm(reading)) {
        const char16_t c = ch.unicode();
        const bool typed =
            (c >= 0x3041 && c <= 0x3094) || c == u'ー' || (c < 0x80 && QChar::isLetterOrNumber(c));
        if (!typed)
            return QCoreApplication::translate(
                       "OwnText", "「%1」は入力できません。読みはひらがなで書いてください。")
                .arg(ch);
    }
    return {};
}

bool sentencesRead(const std::vector<RubyLine> &sentences)
{
    for (const RubyLine &sentence : sentences)
        if (!fullyRead(sentence))
            return false;
    return true;
}

QString correctReading(RubyLine &sentence, int segment, const QString &reading)
{
    if (segment < 0 || size_t(segment) >= sentence.size())
        return QCoreApplication::translate("OwnText", "その語はありません。");
    const QString fault = readingFault(reading);
    if (!fault.isEmpty())
        return fault;
    sentence[size_t(segment)].reading = typedForm(reading.trimmed());
    sentence[size_t(segment)].annotated = true;
    return {};
}

RunSpan nextRun(const std::vector<RubyLine> &sentences, int position)
{
    constexpr int runSentences = 5;
    constexpr int runKana = 150;
    const int count = int(sentences.size());
    RunSpan span;
    span.from = position >= 0 && position < count ? position : 0;
    span.to = span.from;
    int kana = 0;
    while (span.to < count && span.to - span.from < runSentences && kana < runKana)
        kana += int(readingText(sentences[size_t(span.to++)]).size());
    return span;
}

} // namespace rinkaro
