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

// Replaces the translator named `name` with one loaded from `file`, or removes it when `file`
// is empty; false when a file was wanted and not found. The file already installed under
// that name is kept (start-up asks for the desktop's language, then RK.ini's, mostly the same).
bool replaceTranslator(const QString &name, const QString &file)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (auto *old = application->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly)) {
        if (!file.isEmpty() && old->filePath() == file)
            return true;
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    if (file.isEmpty())
        return true;
    auto *translator = new QTranslator(application);
    translator->setObjectName(name);
    if (!translator->load(file)) {
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
        QStringLiteral("qtTranslation"),
        language == Language::Japanese
            ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ja.qm")
            : QString());
    const bool ownFound =
        replaceTranslator(QStringLiteral("rinkaroTranslation"), translationFile(language));
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
