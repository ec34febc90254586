// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QtPlugin>

#include <functional>

class QWidget;

namespace rinkaro
{

class PracticeHistory;

// What the statistics module offers the main window. The window lives in a plugin of its
// own so that Qt Charts is loaded when it is first opened, not at every start.
class ProgressWindowFactory
{
public:
    virtual ~ProgressWindowFactory() = default;

    // A new window (objectName progressWindow) showing `history`, which outlives it, with
    // `level` (1..14) chosen: at once when the history is held, else once it is read. With the
    // learner's own texts' level, `text` (the text's copy name, as RK.log names it) chooses
    // that text's runs when it has any.
    virtual QWidget *createProgressWindow(PracticeHistory &history, int level, const QString &text,
                                          QWidget *parent) = 0;
    // Opens again a window that createProgressWindow made: a window still open keeps what the
    // learner chose in it; a closed one opens on `level` and `text`. Either shows the runs made
    // meanwhile.
    virtual void refreshProgressWindow(QWidget *window, int level, const QString &text) = 0;
    // What a window asks when the learner wants to practise the keys or kana marked in it:
    // the weak drill's level (10: keys, 11: kana) and the marked ones ("f", "し").
    using PractiseHandler = std::function<void(int level, const QStringList &marked)>;
    virtual void setPractiseHandler(QWidget *window, PractiseHandler handler) = 0;
};

} // namespace rinkaro

#define ProgressWindowFactory_iid "io.github.rinkaro.Rinkaro.ProgressWindowFactory/5"
Q_DECLARE_INTERFACE(rinkaro::ProgressWindowFactory, ProgressWindowFactory_iid)

namespace rinkaro
{

// The folders searched for the module, in order: the folder the build installs it into,
// then the program's own folder (a program run from its build tree). Nothing else.
QStringList progressPluginFolders();
// Makes progressPluginFolders() answer `folders` instead (none: the two above again), for
// the test suites and benchmarks, which run from subfolders of the build tree.
void setProgressPluginFolders(const QStringList &folders);
// The factory of the first module in `folders` that loads; nullptr, with what went wrong
// in `error`, when none does (always, in a build without Qt Charts).
ProgressWindowFactory *loadProgressWindowFactory(const QStringList &folders, QString *error);

} // namespace rinkaro
