// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/translations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace rinkaro
{

QString translationFile(Language language)
{
    const QString name = translationName(language);
    return name.isEmpty() ? QString() : QStringLiteral(":/i18n/%1.qm").arg(name);
}

QString translatedIn(Language language, const char *context, const char *source)
{
    if (language == currentLanguage())
        return QCoreApplication::translate(context, source);
    QTranslator translator;
    const QString file = translationFile(language);
    QString text;
    if (!file.isEmpty() && translator.load(file))
        text = translator.translate(context, source);
    return text.isEmpty() ? QString::fromUtf8(source) : text;
}

Language currentLanguage()
{
    //: The code of the language this translation is in; it chooses the translation in
    //: messages written in another language.
    const QString code = QCoreApplication::translate("Language", "ja");
    return languageChoiceFromKey(code) == LanguageChoice::English ? Language::English
                                                                  : Language::Japanese;
}

QLocale interfaceLocale()
{
    return currentLanguage() == Language::English ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                  : QLocale(QLocale::Japanese, QLocale::Japan);
}

} // namespace rinkaro
