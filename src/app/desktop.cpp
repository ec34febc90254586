// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop.h"

#include "core/inputoptions.h"
#include "gui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace rinkaro
{

namespace
{

// Replaces the translator named `name` with one loaded by `load`, or removes it when `load`
// finds nothing to load; false when a file was wanted and not found.
template <typename Load> bool replaceTranslator(const QString &name, bool wanted, Load load)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (auto *old = application->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    if (!wanted)
        return true;
    auto *translator = new QTranslator(application);
    translator->setObjectName(name);
    if (!load(*translator)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

} // namespace

bool installTranslations(Language language)
{
    // Qt's source texts are English: English needs no Qt translation.
    const bool qtFound = replaceTranslator(
        QStringLiteral("qtTranslation"), language == Language::Japanese, [](QTranslator &qt) {
            return qt.load(QStringLiteral("qtbase_ja"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
        });
    const QString file = translationFile(language);
    const bool ownFound = replaceTranslator(QStringLiteral("rinkaroTranslation"), !file.isEmpty(),
                                            [&file](QTranslator &own) { return own.load(file); });
    return qtFound && ownFound;
}

Language startLanguage(const QString &optionsPath)
{
    return interfaceLanguage(readLanguageChoice(optionsPath), QLocale::system().uiLanguages());
}

QIcon programIcon()
{
    QIcon ownCopy;
    for (int size : {16, 22, 24, 32, 48, 64})
        ownCopy.addFile(QStringLiteral(":/rinkaro/%1/io.github.rinkaro.Rinkaro.png").arg(size));
    return QIcon::fromTheme(QStringLiteral("io.github.rinkaro.Rinkaro"), ownCopy);
}

} // namespace rinkaro
