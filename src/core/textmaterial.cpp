// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/textmaterial.h"

#include "core/levels.h"
#include "core/owntext.h"
#include "core/romajimatch.h"

#include <QList>

namespace rinkaro
{

namespace
{

// clang-format off
const std::array<TextDrillKind, 3> kinds{{
    {wordsLevel, "words", 1, 16, 20, 0},
    {sentencesLevel, "sentences", 8, 30, 5, 150},
    // Its items are the learner's sentences, cut to at most 40 characters; its position is
    // kept with the text, in the texts folder.
    {ownTextLevel, "texts", 1, maxSentenceLength, 5, 150},
}};
// clang-format on

} // namespace

const TextDrillKind *textDrillKind(int level)
{
    for (const TextDrillKind &kind : kinds)
        if (kind.level == level)
            return &kind;
    return nullptr;
}

const TextDrillKind *textDrillKind(QStringView name)
{
    for (const TextDrillKind &kind : kinds)
        if (name == QLatin1String(kind.name))
            return &kind;
    return nullptr;
}

QString textItemFault(const RubyLine &line, int shortest, int longest)
{
    if (!fullyRead(line))
        return QStringLiteral("kanji without a reading");
    const qsizetype length = writtenText(line).toUcs4().size();
    if (length < shortest || length > longest)
        return QStringLiteral("%1 characters written, not %2 to %3")
            .arg(length)
            .arg(shortest)
            .arg(longest);
    const QString reading = readingText(line);
    const ReadingSplit split = splitReading(reading);
    if (split.badIndex >= 0)
        return QStringLiteral("the reading cannot be typed from \"%1\" on")
            .arg(reading.mid(split.badIndex));
    return {};
}

TextMaterial readTextMaterial(QStringView text, int shortest, int longest)
{
    TextMaterial material;
    int lineNumber = 0;
    for (QStringView line : text.split(u'\n')) {
        ++lineNumber;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const RubyParse parse = parseRuby(line);
        QString fault =
            parse.errorIndex >= 0
                ? QStringLiteral("%1 at character %2").arg(parse.error).arg(parse.errorIndex + 1)
                : textItemFault(parse.segments, shortest, longest);
        if (!fault.isEmpty()) {
            material.items.clear();
            material.errorLine = lineNumber;
            material.error = fault;
            return material;
        }
        material.items.push_back(parse.segments);
    }
    return material;
}

} // namespace rinkaro
