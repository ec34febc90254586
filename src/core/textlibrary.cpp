// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/textlibrary.h"

#include "core/owntext.h"
#include "core/regularfile.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

// More than enough texts for anyone; the index stays small whatever happens.
constexpr int maxIndexEntries = 1000;
// A copy carries the readings of its words besides the text: larger than the original.
constexpr qint64 maxCopyBytes = 8 * maxTextFileBytes;

} // namespace

TextLibrary::TextLibrary(QString folder) : folder_(std::move(folder)) {}

QString TextLibrary::folderBeside(const QString &settingsPath)
{
    return QFileInfo(settingsPath).absoluteDir().filePath(QStringLiteral("texts"));
}

QString TextLibrary::copyName(const QString &originalPath)
{
    QString base = QFileInfo(originalPath).completeBaseName();
    QString safe;
    for (QChar ch : base) {
        if (ch.category() == QChar::Other_Control || ch == u'/' || ch == u'\\' || ch == u'\t')
            safe += u'_';
        else
            safe += ch;
    }
    while (safe.startsWith(u'.'))
        safe.remove(0, 1);
    safe = safe.trimmed().left(100);
    if (safe.isEmpty() || safe == QStringLiteral("index"))
        safe = QStringLiteral("text-") + safe;
    return safe + QStringLiteral(".txt");
}

QString TextLibrary::indexPath() const
{
    return QDir(folder_).filePath(QStringLiteral("index.txt"));
}

bool TextLibrary::makeFolder() const
{
    const QFileInfo info(folder_);
    if (info.exists() || info.isSymLink())
        return info.isDir();
    return QDir().mkpath(folder_);
}

std::vector<std::pair<QString, int>> TextLibrary::entries() const
{
    std::vector<std::pair<QString, int>> out;
    QFile file;
    if (!openRegularFile(file, indexPath(), QIODevice::ReadOnly))
        return out;
    const QString text = QString::fromUtf8(file.read(1 << 20));
    for (QStringView line : QStringView(text).split(u'\n')) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0)
            continue;
        bool ok = false;
        const int position = line.left(tab).toInt(&ok);
        const QString name = line.mid(tab + 1).toString();
        // Only names this program gives: no folder can be reached through the index.
        if (!ok || position < 0 || name.isEmpty() || name.contains(u'/') || name.startsWith(u'.') ||
            !name.endsWith(QStringLiteral(".txt")))
            continue;
        bool seen = false;
        for (const auto &entry : out)
            seen = seen || entry.first == name;
        if (!seen && int(out.size()) < maxIndexEntries)
            out.emplace_back(name, position);
    }
    return out;
}

QStringList TextLibrary::recent() const
{
    QStringList names;
    for (const auto &entry : entries()) {
        if (names.size() == recentTextCount)
            break;
        if (hasCopy(entry.first))
            names << entry.first;
    }
    return names;
}

int TextLibrary::position(const QString &name) const
{
    for (const auto &entry : entries())
        if (entry.first == name)
            return entry.second;
    return 0;
}

bool TextLibrary::setPosition(const QString &name, int position)
{
    if (!makeFolder())
        return false;
    QByteArray text = QByteArray::number(std::max(position, 0)) + '\t' + name.toUtf8() + '\n';
    int kept = 1;
    for (const auto &entry : entries()) {
        if (entry.first == name || kept++ >= maxIndexEntries)
            continue;
        text += QByteArray::number(entry.second) + '\t' + entry.first.toUtf8() + '\n';
    }
    return replaceRegularFile(indexPath(), text);
}

bool TextLibrary::hasCopy(const QString &name) const
{
    return fileKind(QDir(folder_).filePath(name)) == FileKind::Regular;
}

std::optional<std::vector<RubyLine>> TextLibrary::readCopy(const QString &name,
                                                           QString *error) const
{
    const TextFileRead read = readTextFile(QDir(folder_).filePath(name), maxCopyBytes);
    if (!read.ok()) {
        *error = read.error;
        return std::nullopt;
    }
    std::vector<RubyLine> sentences;
    for (QStringView line : QStringView(read.text).split(u'\n', Qt::SkipEmptyParts))
        sentences.push_back(normalized(parseRuby(line).segments));
    return sentences;
}

bool TextLibrary::saveCopy(const QString &name, const std::vector<RubyLine> &sentences) const
{
    if (!makeFolder())
        return false;
    QString text;
    for (const RubyLine &sentence : sentences)
        text += formatRuby(sentence) + u'\n';
    return replaceRegularFile(QDir(folder_).filePath(name), text.toUtf8());
}
