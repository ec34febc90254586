// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/inputoptions.h"

#include "core/regularfile.h"

#include <QFile>
#include <QSettings>

namespace
{

const QString freeRomajiKey = QStringLiteral("input/freeRomaji");
const QString languageKey = QStringLiteral("interface/language");

// Whether the plain file at `path` can be opened for reading; opened through the check
// that never blocks, before QSettings, which opens whatever it finds, may look at it.
bool readable(const QString &path)
{
    QFile file;
    return openRegularFile(file, path, QIODevice::ReadOnly);
}

} // namespace

InputOptions readInputOptions(const QString &path)
{
    InputOptions options;
    if (fileKind(path) != FileKind::Regular || !readable(path))
        return options;
    const QSettings settings(resolvedPath(path), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return options;
    options.freeRomaji = settings.value(freeRomajiKey, false).toBool();
    return options;
}

bool saveInputOptions(const QString &path, const InputOptions &options)
{
    const FileKind kind = fileKind(path);
    if (kind == FileKind::Other || (kind == FileKind::Regular && !readable(path)))
        return false;
    // Written where a link leads: QSettings would put a new file in the link's place.
    QSettings settings(kind == FileKind::Regular ? resolvedPath(path) : path, QSettings::IniFormat);
    // A file that is not INI is left as it is rather than rewritten with one key.
    if (settings.status() != QSettings::NoError)
        return false;
    settings.setValue(freeRomajiKey, options.freeRomaji);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

LanguageChoice readLanguageChoice(const QString &path)
{
    if (fileKind(path) != FileKind::Regular || !readable(path))
        return LanguageChoice::Desktop;
    const QSettings settings(resolvedPath(path), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return LanguageChoice::Desktop;
    return languageChoiceFromKey(settings.value(languageKey).toString());
}

bool saveLanguageChoice(const QString &path, LanguageChoice choice)
{
    const FileKind kind = fileKind(path);
    if (kind == FileKind::Other || (kind == FileKind::Regular && !readable(path)))
        return false;
    QSettings settings(kind == FileKind::Regular ? resolvedPath(path) : path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return false;
    settings.setValue(languageKey, languageChoiceKey(choice));
    settings.sync();
    return settings.status() == QSettings::NoError;
}
