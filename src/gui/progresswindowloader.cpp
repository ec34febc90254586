// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/progresswindowloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace rinkaro
{

// The build defines where the module is installed, so that another prefix only costs a
// failed look-up, never a wrong module.
#ifndef RINKARO_PROGRESS_PLUGIN_FILE
#define RINKARO_PROGRESS_PLUGIN_FILE "librinkaro_progress.so"
#endif

namespace
{
QStringList &folderOverride()
{
    static QStringList folders;
    return folders;
}
} // namespace

QStringList progressPluginFolders()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    // Two places only: a build folder, or /tmp, named here would let anyone who can write
    // there put code into the learner's program.
    QStringList folders;
#ifdef RINKARO_PROGRESS_PLUGIN_INSTALL_DIR
    folders << QStringLiteral(RINKARO_PROGRESS_PLUGIN_INSTALL_DIR);
#endif
    folders << QCoreApplication::applicationDirPath();
    folders.removeDuplicates();
    return folders;
}

void setProgressPluginFolders(const QStringList &folders)
{
    folderOverride() = folders;
}

ProgressWindowFactory *loadProgressWindowFactory(const QStringList &folders, QString *error)
{
#ifdef RINKARO_WITHOUT_PROGRESS_WINDOW
    // Built without Qt Charts: there is no module to look for, and a module left by another
    // build would not be this program's.
    Q_UNUSED(folders);
    if (error)
        *error = QCoreApplication::translate(
            "ProgressWindowFactory", "成績グラフのウィンドウはインストールされていません"
                                     "（このプログラムは Qt Charts なしでビルドされています）。");
    return nullptr;
#else
    const QString fileName = QStringLiteral(RINKARO_PROGRESS_PLUGIN_FILE);
    // Every place tried is named, so that the box says where the module was looked for.
    QStringList problems;
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (!QFileInfo::exists(path)) {
            problems << QCoreApplication::translate("ProgressWindowFactory", "%1 が見つかりません")
                            .arg(path);
            continue;
        }
        // Qt keeps a loaded module and its instance for the life of the program, so the
        // second and later look-ups cost no more than this check.
        QPluginLoader loader(path);
        QObject *instance = loader.instance();
        if (auto *factory = qobject_cast<ProgressWindowFactory *>(instance))
            return factory;
        // Qt's own reason (often the system's, in English) goes on a line of its own.
        problems << (instance
                         ? QCoreApplication::translate("ProgressWindowFactory",
                                                       "%1: 成績グラフのモジュールではありません")
                               .arg(path)
                         : QCoreApplication::translate("ProgressWindowFactory",
                                                       "%1 を読み込めませんでした。\n詳細: %2")
                               .arg(path, loader.errorString()));
    }
    if (error)
        *error = problems.join(QLatin1Char('\n'));
    return nullptr;
#endif
}

} // namespace rinkaro
