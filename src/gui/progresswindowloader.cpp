#include "gui/progresswindowloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

// The build defines where the module is, so that a moved build tree or another prefix
// only costs a failed look-up, never a wrong module.
#ifndef RINKARO_PROGRESS_PLUGIN_FILE
#define RINKARO_PROGRESS_PLUGIN_FILE "librinkaro_progress.so"
#endif

QStringList progressPluginFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList folders{programFolder};
#ifdef RINKARO_PROGRESS_PLUGIN_RELATIVE_DIR
    // An installation moved as a whole (cmake --install --prefix ~/.local) keeps the
    // module at the same place relative to the program.
    folders << QDir::cleanPath(programFolder + QLatin1Char('/') +
                               QStringLiteral(RINKARO_PROGRESS_PLUGIN_RELATIVE_DIR));
#endif
#ifdef RINKARO_PROGRESS_PLUGIN_INSTALL_DIR
    folders << QStringLiteral(RINKARO_PROGRESS_PLUGIN_INSTALL_DIR);
#endif
#ifdef RINKARO_PROGRESS_PLUGIN_BUILD_DIR
    folders << QStringLiteral(RINKARO_PROGRESS_PLUGIN_BUILD_DIR);
#endif
    folders.removeDuplicates();
    return folders;
}

ProgressWindowFactory *loadProgressWindowFactory(const QStringList &folders, QString *error)
{
#ifdef RINKARO_WITHOUT_PROGRESS_WINDOW
    // Built without Qt Charts: there is no module to look for, and a module left by another
    // build would not be this program's.
    Q_UNUSED(folders);
    if (error)
        *error = QStringLiteral("成績グラフのウィンドウはインストールされていません"
                                "（このプログラムは Qt Charts なしでビルドされています）。");
    return nullptr;
#else
    const QString fileName = QStringLiteral(RINKARO_PROGRESS_PLUGIN_FILE);
    QStringList problems;
    for (const QString &folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (!QFileInfo::exists(path))
            continue;
        // Qt keeps a loaded module and its instance for the life of the program, so the
        // second and later look-ups cost no more than this check.
        QPluginLoader loader(path);
        QObject *instance = loader.instance();
        if (auto *factory = qobject_cast<ProgressWindowFactory *>(instance))
            return factory;
        // Qt's own reason (often the system's, in English) goes on a line of its own.
        problems << (instance ? QStringLiteral("%1: 成績グラフのモジュールではありません").arg(path)
                              : QStringLiteral("%1 を読み込めませんでした。\n詳細: %2")
                                    .arg(path, loader.errorString()));
    }
    if (problems.isEmpty())
        problems << QStringLiteral("%1 が見つかりません（%2）")
                        .arg(fileName, folders.join(QStringLiteral("、")));
    if (error)
        *error = problems.join(QLatin1Char('\n'));
    return nullptr;
#endif
}

void showNewRunsIn(QWidget *window)
{
    // A window exists only where the module was loaded: this finds it again.
    if (window)
        if (ProgressWindowFactory *factory =
                loadProgressWindowFactory(progressPluginFolders(), nullptr))
            factory->showNewRuns(window);
}
