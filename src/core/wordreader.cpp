// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/wordreader.h"

#include "core/owntext.h"

namespace rinkaro
{

namespace
{

bool holdsKanji(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
        if (isKanji(c))
            return true;
    }
    return false;
}

// The run's words as segments; nullopt when the words do not spell the text.
std::optional<RubyLine> readRun(const QString &text, const std::vector<WordReader::Word> &words)
{
    RubyLine out;
    qsizetype at = 0;
    for (const WordReader::Word &word : words) {
        while (at < text.size() && text[at].isSpace() &&
               !QStringView(text).mid(at).startsWith(word.written)) {
            out.push_back({text.mid(at, 1), QString(), false});
            ++at;
        }
        if (word.written.isEmpty() || !QStringView(text).mid(at).startsWith(word.written))
            return std::nullopt;
        at += word.written.size();
        const QString reading = toHiragana(word.reading);
        if (holdsKanji(word.written) && !reading.isEmpty() && readingFault(reading).isEmpty())
            out.push_back({word.written, reading, true});
        else
            out.push_back({word.written, QString(), false});
    }
    if (!QStringView(text).mid(at).trimmed().isEmpty())
        return std::nullopt;
    if (at < text.size())
        out.push_back({text.mid(at), QString(), false});
    return out;
}

} // namespace

bool fillReadings(RubyLine &sentence, WordReader &reader)
{
    RubyLine out;
    size_t i = 0;
    while (i < sentence.size()) {
        if (sentence[i].annotated) {
            out.push_back(sentence[i++]);
            continue;
        }
        size_t end = i;
        QString text;
        bool unread = false;
        while (end < sentence.size() && !sentence[end].annotated) {
            text += sentence[end].written;
            unread = unread || sentence[end].reading.isEmpty();
            ++end;
        }
        std::optional<RubyLine> read;
        if (unread) {
            const std::optional<std::vector<WordReader::Word>> words = reader.words(text);
            if (!words)
                return false;
            read = readRun(text, *words);
        }
        if (read)
            out.insert(out.end(), read->begin(), read->end());
        else
            out.insert(out.end(), sentence.begin() + qsizetype(i),
                       sentence.begin() + qsizetype(end));
        i = end;
    }
    sentence = normalized(out);
    return true;
}

} // namespace rinkaro
