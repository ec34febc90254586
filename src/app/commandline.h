// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace rinkaro
{

// What the command line asks for. With no options the program runs in the folder it was
// started from and keeps RK.set there; a launcher that has no such folder (the desktop
// menu) asks for the per-user data folder instead.
struct CommandLine {
    // FolderError: the options are fine but the data folder cannot be found; said in a
    // message box, since a start from the menu has no terminal.
    enum class Action { Run, Help, Version, Error, FolderError };
    Action action = Action::Run;
    QString folder;            // the folder to run in; empty: where the program was started
    bool createFolder = false; // the data folder is made when missing; a named one must exist
    QString text;              // the help, the version line or the error
    QString textFile;          // a text to open at start, made absolute; empty: none
};

// Reads the arguments, the program's own name first.
CommandLine readCommandLine(const QStringList &arguments, const QString &version);

// $XDG_DATA_HOME/rinkaro, or ~/.local/share/rinkaro when that variable is unset or relative;
// empty when there is no home folder either.
QString userDataFolder();
// $HOME, or the account's home folder when HOME is unset; empty when neither names a
// folder other than the root.
QString homeFolder();

// Makes the command line's folder the working folder, creating it when asked. On failure
// returns false and says why in `error`.
bool enterFolder(const CommandLine &line, QString *error);

} // namespace rinkaro
