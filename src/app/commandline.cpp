// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <pwd.h>
#include <unistd.h>

namespace rinkaro
{

namespace
{

// Missing folders are made private to the user, as the XDG base directory rules ask.
bool makePrivateFolder(const QString &path)
{
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).path();
    if (parent != path && !makePrivateFolder(parent))
        return false;
    return QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
           QFileInfo(path).isDir();
}

} // namespace

CommandLine readCommandLine(const QStringList &arguments, const QString &version)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Rinkaro, a touch-typing tutor. Keeps its settings and records in RK.set "
                       "in the working folder."));
    const QCommandLineOption dataFolder(
        QStringLiteral("data-folder"),
        QStringLiteral("Run in the per-user data folder, $XDG_DATA_HOME/rinkaro "
                       "(~/.local/share/rinkaro by default), creating it when missing."));
    const QCommandLineOption workingFolder(QStringLiteral("working-folder"),
                                           QStringLiteral("Run in <folder>, which must exist."),
                                           QStringLiteral("folder"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Show the version and exit."));
    parser.addOptions({dataFolder, workingFolder, help, showVersion});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A Japanese text to practise (UTF-8, UTF-16, "
                                                "Shift_JIS or EUC-JP, up to 1 MiB)."),
                                 QStringLiteral("[FILE]"));
    // Qt's own options, which the application object takes out later (those of Qt 6 on
    // Linux, X11's included): known here so that everything else can be refused before Qt
    // needs a display. One dash is enough for them, as for Qt.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name : {"platform", "platformpluginpath", "platformtheme", "plugin",
                             "qwindowgeometry", "qwindowtitle", "qwindowicon", "geometry", "title",
                             "icon", "display", "name", "visual", "session", "style", "stylesheet",
                             "qmljsdebugger"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char *name : {"reverse", "testability", "widgetcount", "qdevel", "nograb", "dograb"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }

    CommandLine line;
    const auto fail = [&line](const QString &message) {
        line.action = CommandLine::Action::Error;
        line.text = message + QStringLiteral("\nTry 'rinkaro --help' for the options.\n");
        return line;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() > 1)
        return fail(
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().at(1)));
    // Made absolute before the program moves to its data folder.
    if (!parser.positionalArguments().isEmpty())
        line.textFile = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    if (parser.isSet(dataFolder) && parser.isSet(workingFolder))
        return fail(QStringLiteral("Choose either --data-folder or --working-folder."));

    if (parser.isSet(help)) {
        // The parser names the program after QCoreApplication, which does not exist yet when
        // the options are first read: the usage line is written here.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(QLatin1Char('\n')),
                     QStringLiteral("Usage: rinkaro [options] [FILE]"));
        line.action = CommandLine::Action::Help;
        line.text = text;
    } else if (parser.isSet(showVersion)) {
        line.action = CommandLine::Action::Version;
        line.text = QStringLiteral("rinkaro %1\n").arg(version);
    } else if (parser.isSet(dataFolder)) {
        line.folder = userDataFolder();
        line.createFolder = true;
        if (line.folder.isEmpty()) {
            line.action = CommandLine::Action::FolderError;
            line.text = QStringLiteral("Cannot find a data folder: neither XDG_DATA_HOME nor HOME "
                                       "names one.");
        }
    } else if (parser.isSet(workingFolder)) {
        line.folder = parser.value(workingFolder);
        if (line.folder.isEmpty())
            return fail(QStringLiteral("--working-folder needs a folder."));
    }
    return line;
}

QString userDataFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome)) { // the base directory rules ignore a relative path
        const QString home = homeFolder();
        if (home.isEmpty())
            return {};
        dataHome = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(dataHome + QStringLiteral("/rinkaro"));
}

QString homeFolder()
{
    // QDir::homePath() falls back to the root folder when HOME is unset; the account's
    // entry is asked instead, and the root is no one's data folder.
    QString home = qEnvironmentVariable("HOME");
    if (!QDir::isAbsolutePath(home)) {
        const struct passwd *account = ::getpwuid(::geteuid());
        home = account && account->pw_dir ? QFile::decodeName(account->pw_dir) : QString();
    }
    home = QDir::cleanPath(home);
    return QDir::isAbsolutePath(home) && !QDir(home).isRoot() ? home : QString();
}

bool enterFolder(const CommandLine &line, QString *error)
{
    if (line.createFolder && !makePrivateFolder(line.folder)) {
        *error = QStringLiteral("Cannot create the folder %1.").arg(line.folder);
        return false;
    }
    if (!QDir::setCurrent(line.folder)) {
        *error = QStringLiteral("Cannot work in the folder %1.").arg(line.folder);
        return false;
    }
    return true;
}

} // namespace rinkaro
