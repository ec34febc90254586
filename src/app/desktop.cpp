// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktop.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installQtJapanese()
{
    const QString name = QStringLiteral("qtJapanese");
    QCoreApplication *application = QCoreApplication::instance();
    if (application->findChild<QTranslator *>(name, Qt::FindDirectChildrenOnly))
        return true;
    auto *translator = new QTranslator(application);
    translator->setObjectName(name);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

QIcon programIcon()
{
    QIcon ownCopy;
    for (int size : {16, 22, 24, 32, 48, 64})
        ownCopy.addFile(QStringLiteral(":/rinkaro/%1/io.github.rinkaro.Rinkaro.png").arg(size));
    return QIcon::fromTheme(QStringLiteral("io.github.rinkaro.Rinkaro"), ownCopy);
}
