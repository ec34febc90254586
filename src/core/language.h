// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace rinkaro
{

// The languages of the interface. Japanese is the source text of every caption and needs no
// translation file; English is a translation.
enum class Language { Japanese, English };

// What the learner chose in the Language menu, kept in RK.ini.
enum class LanguageChoice { Desktop, Japanese, English };

// The interface's language for `choice`: the desktop's is English when English comes before
// Japanese among `uiLanguages` (QLocale::uiLanguages(), "en-GB", "ja-JP" ...), else Japanese,
// so that C, POSIX and every language without a translation get the Japanese interface.
Language interfaceLanguage(LanguageChoice choice, const QStringList &uiLanguages);

// The choice as RK.ini writes it ("desktop", "ja", "en") and back; anything else read is the
// desktop's.
QString languageChoiceKey(LanguageChoice choice);
LanguageChoice languageChoiceFromKey(const QString &key);

// The name of the translation file of `language` ("rinkaro_en"), empty for the source
// language.
QString translationName(Language language);

} // namespace rinkaro
