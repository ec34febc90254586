// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/textlibrary.h"

#include "core/inputoptions.h"
#include "core/owntext.h"
#include "core/regularfile.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace rinkaro
{

namespace
{

// More than enough texts for anyone; the index stays small whatever happens.
constexpr int maxIndexEntries = 1000;
// A copy carries the readings of its words besides the text: larger than the original.
constexpr qint64 maxCopyBytes = 8 * maxTextFileBytes;

const QString textsGroup = QStringLiteral("texts");
const QString lastFolderKey = QStringLiteral("lastFolder");

} // namespace

QString readLastTextFolder(const QString &iniPath)
{
    const std::optional<IniText> ini = readIniFile(iniPath);
    return ini ? ini->value(textsGroup, lastFolderKey).value_or(QString()) : QString();
}

bool saveLastTextFolder(const QString &iniPath, const QString &folder)
{
    return saveIniValues(iniPath, {{textsGroup, lastFolderKey, folder}});
}

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

std::vector<TextLibrary::Entry> TextLibrary::entries() const
{
    std::vector<Entry> out;
    QFile file;
    if (!openRegularFile(file, indexPath(), QIODevice::ReadOnly))
        return out;
    const QString text = QString::fromUtf8(file.read(1 << 20));
    for (QStringView line : QStringView(text).split(u'\n')) {
        const QList<QStringView> fields = line.split(u'\t');
        if (fields.size() < 2 || fields.size() > 3)
            continue;
        bool ok = false;
        Entry entry;
        entry.position = fields[0].toInt(&ok);
        entry.name = fields[1].toString();
        bool speedOk = true;
        if (fields.size() == 3)
            entry.bestSpeed = fields[2].toDouble(&speedOk);
        // Only names this program gives: no folder can be reached through the index.
        if (!ok || !speedOk || entry.position < 0 || !(entry.bestSpeed >= 0) ||
            entry.name.isEmpty() || entry.name.contains(u'/') || entry.name.startsWith(u'.') ||
            !entry.name.endsWith(QStringLiteral(".txt")))
            continue;
        bool seen = false;
        for (const Entry &earlier : out)
            seen = seen || earlier.name == entry.name;
        if (!seen && int(out.size()) < maxIndexEntries)
            out.push_back(std::move(entry));
    }
    return out;
}

bool TextLibrary::saveIndex(const std::vector<Entry> &entries) const
{
    if (!makeFolder())
        return false;
    QByteArray text;
    for (const Entry &entry : entries) {
        text += QByteArray::number(entry.position) + '\t' + entry.name.toUtf8();
        if (entry.bestSpeed > 0)
            text += '\t' + QByteArray::number(entry.bestSpeed, 'f', 1);
        text += '\n';
    }
    return replaceRegularFile(indexPath(), text);
}

QStringList TextLibrary::recent() const
{
    QStringList names;
    for (const Entry &entry : entries()) {
        if (names.size() == recentTextCount)
            break;
        if (hasCopy(entry.name))
            names << entry.name;
    }
    return names;
}

int TextLibrary::position(const QString &name) const
{
    for (const Entry &entry : entries())
        if (entry.name == name)
            return entry.position;
    return 0;
}

double TextLibrary::bestSpeed(const QString &name) const
{
    for (const Entry &entry : entries())
        if (entry.name == name)
            return entry.bestSpeed;
    return 0;
}

bool TextLibrary::setPosition(const QString &name, int position)
{
    std::vector<Entry> all = entries();
    Entry moved{name, std::max(position, 0), 0};
    std::erase_if(all, [&](const Entry &entry) {
        if (entry.name != name)
            return false;
        moved.bestSpeed = entry.bestSpeed;
        return true;
    });
    all.insert(all.begin(), moved);
    if (int(all.size()) > maxIndexEntries)
        all.resize(size_t(maxIndexEntries));
    return saveIndex(all);
}

bool TextLibrary::addSpeed(const QString &name, double kanaPerMinute)
{
    std::vector<Entry> all = entries();
    for (Entry &entry : all) {
        if (entry.name != name)
            continue;
        if (kanaPerMinute <= entry.bestSpeed)
            return true;
        entry.bestSpeed = kanaPerMinute;
        return saveIndex(all);
    }
    return false;
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

QString textTitle(const QString &copyName)
{
    return QFileInfo(copyName).completeBaseName();
}

} // namespace rinkaro
