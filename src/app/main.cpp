// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/application.h"
#include "app/commandline.h"
#include "app/desktop.h"
#include "app/shutdownsignals.h"
#include "app/systemplatform.h"
#include "core/recordkeeper.h"
#include "gui/fonts.h"
#include "gui/mainwindow.h"
#include "gui/widgets.h"
#include "version.h"


#include <cstdio>
#include <exception>

using namespace rinkaro;

namespace
{

// Prints the help, the version or the command line's error; the exit status.
int answer(const CommandLine &line)
{
    const bool failed = line.action == CommandLine::Action::Error;
    std::fputs(line.text.toLocal8Bit().constData(), failed ? stderr : stdout);
    return failed ? 1 : 0;
}

} // namespace

// The syllable tables and the phrase list are static data, in place before main() runs.
int main(int argc, char **argv)
{
    // Options are read before the application object exists, so that --help, --version and a
    // wrong option need no display: Qt's own options (-platform, -style ...) are known to the
    // reader and left for Qt to take. A start without options reads nothing.
    CommandLine line;
    if (argc > 1) {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        line = readCommandLine(arguments, QStringLiteral(RINKARO_VERSION));
        if (line.action == CommandLine::Action::Help ||
            line.action == CommandLine::Action::Version ||
            line.action == CommandLine::Action::Error)
            return answer(line);
    }
    const std::unique_ptr<RinkaroApplication> fitted = makeFittedApplication(argc, argv);
    RinkaroApplication &app = *fitted;
    SystemPlatform platform;
    try {
        QApplication::setApplicationName(QStringLiteral("Rinkaro2"));
        QApplication::setDesktopFileName(QStringLiteral("io.github.rinkaro.Rinkaro"));
        // The desktop's language until the data folder, where RK.ini may choose another, is
        // entered: its trouble is said in that language.
        installTranslations(startLanguage(QString()));
        registerFontSubstitutions();
        setJapaneseApplicationFont();
        // Before the window exists: its first show reads RK.set from the working folder.
        QString error = line.text;
        if (line.action == CommandLine::Action::FolderError ||
            (!line.folder.isEmpty() && !enterFolder(line, &error))) {
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
            // Started from the menu there is no terminal to read that: the data folder's
            // trouble is also said in a box.
            if (line.createFolder) {
                const QString text =
                    line.folder.isEmpty()
                        ? QCoreApplication::translate(
                              "main", "記録を保存するフォルダーが決まりません。"
                                      "HOME も XDG_DATA_HOME も設定されていません。")
                        : QCoreApplication::translate(
                              "main", "記録を保存するフォルダーを作成できません。\n%1")
                              .arg(line.folder);
                platform.messageBox(nullptr, QMessageBox::Critical, QStringLiteral("Rinkaro 2"),
                                    text, QMessageBox::Ok);
            }
            return 1;
        }
        installTranslations(startLanguage(learnerFilePath(LearnerFile::Options)));
        app.setPlatform(&platform);
        MainWindow window(platform);
        // Its pictures are decoded for the window manager, which can take them a moment later.
        afterFirstPaint(&window, [] { QApplication::setWindowIcon(programIcon()); });
        // A logout or shutdown ends the program as its close box does: settings saved. It
        // may come while the first show's welcome box runs, before the main loop has
        // started: exit() then ends only that box's loop, so the main loop is not entered.
        bool ended = false;
        ShutdownSignals shutdown([&window, &ended] {
            ended = true;
            window.close();
            QCoreApplication::exit(0);
        });
        window.show(); // its first show loads the settings
        if (!line.textFile.isEmpty() && !ended)
            window.openTextFile(line.textFile);
        return ended ? 0 : app.exec();
    } catch (const std::exception &error) {
        RinkaroApplication::showException(&platform, QString::fromLocal8Bit(error.what()));
        return 0;
    }
}
