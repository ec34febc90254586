// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/inputoptions.h"

#include "core/regularfile.h"

#include <QFile>

namespace rinkaro
{

namespace
{

const QString inputGroup = QStringLiteral("input");
const QString freeRomajiKey = QStringLiteral("freeRomaji");
const QString favourWeakKey = QStringLiteral("favourWeak");
const QString interfaceGroup = QStringLiteral("interface");
const QString languageKey = QStringLiteral("language");

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

// The text between `from` and `to` without the blanks at either end.
std::pair<qsizetype, qsizetype> trimmedRange(const QByteArray &text, qsizetype from, qsizetype to)
{
    while (from < to && blank(text[from]))
        ++from;
    while (to > from && blank(text[to - 1]))
        --to;
    return {from, to};
}

bool fitsOneLine(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return text.trimmed() == text;
}

} // namespace

std::optional<IniText> IniText::parse(QByteArrayView text)
{
    if (text.size() > largestIniFile || !text.isValidUtf8())
        return std::nullopt;
    IniText ini;
    ini.text_ = text.toByteArray();
    if (!ini.index())
        return std::nullopt;
    return ini;
}

bool IniText::index()
{
    lines_.clear();
    groups_.clear();
    const qsizetype size = text_.size();
    // An editor's byte-order mark stays where it is.
    qsizetype start = text_.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (start < size) {
        Line line;
        qsizetype end = text_.indexOf('\n', start);
        line.next = end < 0 ? size : end + 1;
        end = end < 0 ? size : end;
        if (end > start && text_[end - 1] == '\r' && end < size)
            --end;
        line.end = end;
        for (qsizetype k = start; k < end; ++k) {
            const auto c = static_cast<unsigned char>(text_[k]);
            if ((c < 0x20 && c != '\t') || c == 0x7f)
                return false;
        }
        const auto [from, to] = trimmedRange(text_, start, end);
        line.group = int(groups_.size()) - 1;
        if (from == to || text_[from] == ';' || text_[from] == '#') {
            line.blank = true;
        } else if (text_[from] == '[') {
            if (text_[to - 1] != ']')
                return false;
            const auto [nameFrom, nameTo] = trimmedRange(text_, from + 1, to - 1);
            const QString name = QString::fromUtf8(text_.sliced(nameFrom, nameTo - nameFrom));
            if (name.isEmpty() || name.contains(QLatin1Char('[')) ||
                name.contains(QLatin1Char(']')))
                return false;
            groups_.push_back(name);
            line.group = int(groups_.size()) - 1;
            line.header = true;
        } else {
            const qsizetype equals = text_.indexOf('=', from);
            if (equals < 0 || equals >= to)
                return false;
            const auto [keyFrom, keyTo] = trimmedRange(text_, from, equals);
            if (keyFrom == keyTo)
                return false;
            line.key = QString::fromUtf8(text_.sliced(keyFrom, keyTo - keyFrom));
            line.valueStart = trimmedRange(text_, equals + 1, end).first;
        }
        lines_.push_back(line);
        start = line.next;
    }
    return true;
}

std::optional<QString> IniText::value(QStringView group, QStringView key) const
{
    for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
        const QStringView in = line->group < 0 ? QStringView() : groups_[std::size_t(line->group)];
        if (!line->header && !line->blank && line->key == key && in == group) {
            const auto [from, to] = trimmedRange(text_, line->valueStart, line->end);
            return QString::fromUtf8(text_.sliced(from, to - from));
        }
    }
    return std::nullopt;
}

QByteArray IniText::lineEnd() const
{
    const qsizetype newline = text_.indexOf('\n');
    return newline > 0 && text_[newline - 1] == '\r' ? QByteArrayLiteral("\r\n")
                                                     : QByteArrayLiteral("\n");
}

bool IniText::setValue(const QString &group, const QString &key, const QString &value)
{
    if (group.isEmpty() || key.isEmpty() || !fitsOneLine(group) || !fitsOneLine(key) ||
        !fitsOneLine(value) || group.contains(QLatin1Char('[')) ||
        group.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')) ||
        key.startsWith(QLatin1Char('[')) || key.startsWith(QLatin1Char(';')) ||
        key.startsWith(QLatin1Char('#')))
        return false;
    const QByteArray bytes = value.toUtf8();
    const QByteArray entry = key.toUtf8() + '=' + bytes;
    const QByteArray newline = lineEnd();
    const Line *existing = nullptr;
    const Line *lastInGroup = nullptr; // the group's last line that is not blank
    for (const Line &line : lines_) {
        if (line.group < 0 || groups_[std::size_t(line.group)] != group)
            continue;
        if (line.header)
            lastInGroup = nullptr; // the group again: its last one counts
        if (!line.blank)
            lastInGroup = &line;
        if (!line.header && !line.blank && line.key == key)
            existing = &line;
    }
    if (existing) {
        const qsizetype to = trimmedRange(text_, existing->valueStart, existing->end).second;
        text_.replace(existing->valueStart, to - existing->valueStart, bytes);
    } else if (lastInGroup) {
        const bool ended = lastInGroup->next > lastInGroup->end;
        text_.insert(lastInGroup->next, (ended ? QByteArray() : newline) + entry + newline);
    } else {
        QByteArray added;
        if (!text_.isEmpty() && !text_.endsWith('\n'))
            added += newline;
        if (!lines_.empty())
            added += newline; // a blank line between groups
        added += '[' + group.toUtf8() + ']' + newline + entry + newline;
        text_ += added;
    }
    return index();
}

std::optional<IniText> readIniFile(const QString &path)
{
    switch (fileKind(path)) {
    case FileKind::Missing:
        return IniText::parse({});
    case FileKind::Other:
        return std::nullopt;
    case FileKind::Regular:
        break;
    }
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return std::nullopt;
    // A file larger than the bound is read no further than one byte past it.
    const QByteArray text = file.read(largestIniFile + 1);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return IniText::parse(text);
}

bool saveIniValues(const QString &path, const std::vector<IniValue> &values, int lockWaitMs)
{
    if (fileKind(path) == FileKind::Other)
        return false;
    const FileLock lock(resolvedFolder(path), lockWaitMs);
    std::optional<IniText> ini = readIniFile(path);
    if (!ini)
        return false;
    const QByteArray before = ini->text();
    for (const IniValue &value : values)
        if (!ini->setValue(value.group, value.key, value.value))
            return false;
    if (ini->text() == before && fileKind(path) == FileKind::Regular)
        return true;
    // Past the bound, the next start would take the whole file for a stranger's.
    return ini->text().size() <= largestIniFile && replaceRegularFile(path, ini->text());
}

InputOptions readInputOptions(const QString &path)
{
    InputOptions options;
    if (const std::optional<IniText> ini = readIniFile(path)) {
        const auto flag = [&ini](const QString &key) {
            const QString value = ini->value(inputGroup, key).value_or(QString());
            return value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                   value == QLatin1String("1");
        };
        options.freeRomaji = flag(freeRomajiKey);
        options.favourWeak = flag(favourWeakKey);
    }
    return options;
}

bool saveInputOptions(const QString &path, const InputOptions &options)
{
    const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
    return saveIniValues(path, {{inputGroup, freeRomajiKey, flag(options.freeRomaji)},
                                {inputGroup, favourWeakKey, flag(options.favourWeak)}});
}

LanguageChoice readLanguageChoice(const QString &path)
{
    const std::optional<IniText> ini = readIniFile(path);
    return languageChoiceFromKey(ini ? ini->value(interfaceGroup, languageKey).value_or(QString())
                                     : QString());
}

bool saveLanguageChoice(const QString &path, LanguageChoice choice)
{
    return saveIniValues(path, {{interfaceGroup, languageKey, languageChoiceKey(choice)}});
}

} // namespace rinkaro
