// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/language.h"

namespace rinkaro
{

namespace
{

// The language part of a BCP 47 name or a POSIX one: "en" of "en-Latn-US" and "en_US.UTF-8".
QString primaryTag(const QString &name)
{
    qsizetype end = 0;
    while (end < name.size() && name.at(end).isLetter())
        ++end;
    return name.left(end).toLower();
}

} // namespace

Language interfaceLanguage(LanguageChoice choice, const QStringList &uiLanguages)
{
    switch (choice) {
    case LanguageChoice::Japanese:
        return Language::Japanese;
    case LanguageChoice::English:
        return Language::English;
    case LanguageChoice::Desktop:
        break;
    }
    for (const QString &name : uiLanguages) {
        const QString tag = primaryTag(name);
        if (tag == QLatin1String("ja"))
            return Language::Japanese;
        if (tag == QLatin1String("en"))
            return Language::English;
    }
    return Language::Japanese;
}

QString languageChoiceKey(LanguageChoice choice)
{
    switch (choice) {
    case LanguageChoice::Japanese:
        return QStringLiteral("ja");
    case LanguageChoice::English:
        return QStringLiteral("en");
    case LanguageChoice::Desktop:
        break;
    }
    return QStringLiteral("desktop");
}

LanguageChoice languageChoiceFromKey(const QString &key)
{
    const QString tag = key.trimmed().toLower();
    if (tag == QLatin1String("ja"))
        return LanguageChoice::Japanese;
    if (tag == QLatin1String("en"))
        return LanguageChoice::English;
    return LanguageChoice::Desktop;
}

QString translationName(Language language)
{
    return language == Language::English ? QStringLiteral("rinkaro_en") : QString();
}

} // namespace rinkaro
