// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: from the process start to the main window's first paint, and the peak resident
// memory at that moment, for the real program and for the two reference windows (bare, and
// bare drawing the program's three faces), under the offscreen platform. All are watched by
// the same generic plugin (firstshow), which lets the first expose paint, then prints a line
// with the peak memory and ends the process; the time runs from QProcess::start to that line.
// The programs are started in turn, many times each, so that drift hits them alike.
// The offscreen screen is a desktop's 1280 x 1024, where the main window fits as it is.
// Usage: bench_startup [runs] [--also PROGRAM] [--small-screen] [--instructions]  (PROGRAM:
// another build of rinkaro, such as one of an earlier commit, measured in the same run;
// --small-screen: the offscreen platform's own 800 x 600, where the program draws its window
// smaller; --instructions: the instructions each program runs to its first paint, counted
// by callgrind, which other load does not disturb, instead of the times)
#include "benchtools.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace rinkaro;

namespace
{

struct Start {
    double ms = -1;     // to the first paint; -1 when the program never painted a window
    double peakMiB = 0; // VmHWM then
};

Start startOnce(const QString &program, const QString &workDir, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    QByteArray output;
    Start start;
    while (process.waitForReadyRead(10000)) {
        output += process.readAllStandardOutput();
        if (output.contains("painted") && output.endsWith('\n')) {
            start.ms = double(timer.nsecsElapsed()) / 1e6;
            const QList<QByteArray> fields = output.trimmed().split(' ');
            start.peakMiB = fields.value(2).toDouble() / 1024;
            process.waitForFinished(5000);
            return start;
        }
    }
    process.kill();
    process.waitForFinished(5000);
    return start;
}

// The instructions to the first paint, counted by callgrind (Debian valgrind); -1 when it
// could not count them.
double instructionsOnce(const QString &program, const QString &workDir,
                        const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.start(QStringLiteral("valgrind"), {QStringLiteral("--tool=callgrind"),
                                               QStringLiteral("--callgrind-out-file=") + workDir +
                                                   QStringLiteral("/callgrind.out"),
                                               program});
    if (!process.waitForFinished(120000))
        return -1;
    // "==pid== Collected : 89135323"
    const QByteArray report = process.readAllStandardError();
    const qsizetype at = report.indexOf("Collected :");
    if (at < 0)
        return -1;
    return report.mid(at + 11, report.indexOf('\n', at) - at - 11).trimmed().toDouble();
}

struct Program {
    const char *name;
    QString path;
    std::vector<double> ms, peakMiB;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    int runs = 30;
    QString also;
    bool smallScreen = false, instructions = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--also") == 0 && i + 1 < argc)
            also = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--small-screen") == 0)
            smallScreen = true;
        else if (std::strcmp(argv[i], "--instructions") == 0)
            instructions = true;
        else
            runs = std::max(1, atoi(argv[i]));
    }
    const QDir benchDir(QCoreApplication::applicationDirPath());
    std::vector<Program> programs = {
        {"rinkaro", benchDir.absoluteFilePath(QStringLiteral("../rinkaro")), {}, {}},
        {"bare window", benchDir.absoluteFilePath(QStringLiteral("bench_barewindow")), {}, {}},
        {"face window", benchDir.absoluteFilePath(QStringLiteral("bench_facewindow")), {}, {}},
    };
    if (!also.isEmpty())
        programs.push_back({"--also program", QFileInfo(also).absoluteFilePath(), {}, {}});

    // A settings file of a first start, so that the welcome message does not stand between
    // the program and its window.
    QTemporaryDir work;
    QFile settings(work.filePath(QStringLiteral("RK.set")));
    if (!settings.open(QIODevice::WriteOnly))
        return 1;
    settings.write("1\n0\n1\n");
    for (int line = 4; line <= 29; ++line)
        settings.write("0\n");
    settings.close();

    QFile screen(work.filePath(QStringLiteral("screen.json")));
    if (!screen.open(QIODevice::WriteOnly))
        return 1;
    screen.write(R"({"screens": [{"name": "desktop", "x": 0, "y": 0, "width": 1280,
                     "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screen.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               smallScreen ? QStringLiteral("offscreen")
                           : QStringLiteral("offscreen:configfile=") + screen.fileName());
    env.insert(QStringLiteral("QT_PLUGIN_PATH"),
               benchDir.absoluteFilePath(QStringLiteral("plugins")));
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("firstshow"));

    if (instructions) {
        std::vector<double> counts;
        for (const Program &program : programs) {
            counts.push_back(instructionsOnce(program.path, work.path(), env));
            if (counts.back() < 0) {
                std::fprintf(stderr, "callgrind did not count %s (is valgrind installed?)\n",
                             program.name);
                return 1;
            }
        }
        std::printf("Instructions from the process start to the first paint of the main window,\n"
                    "counted by callgrind, offscreen (%s)\n",
                    smallScreen ? "800 x 600" : "1280 x 1024");
        std::printf("%-16s %14s %9s\n", "", "millions", "x face");
        for (std::size_t k = 0; k < programs.size(); ++k)
            std::printf("%-16s %14.1f %9.3f\n", programs[k].name, counts[k] / 1e6,
                        counts[k] / counts[2]);
        return 0;
    }

    // One unmeasured start of each warms the file cache.
    for (const Program &program : programs)
        startOnce(program.path, work.path(), env);
    for (int run = 0; run < runs; ++run) {
        for (Program &program : programs) {
            const Start start = startOnce(program.path, work.path(), env);
            if (start.ms < 0) {
                std::fprintf(stderr, "%s did not paint a window (is the firstshow plugin built?)\n",
                             program.name);
                return 1;
            }
            program.ms.push_back(start.ms);
            program.peakMiB.push_back(start.peakMiB);
        }
    }
    const double faceMs = median(programs[2].ms), faceMiB = median(programs[2].peakMiB);
    std::printf("Process start to the first paint of the main window, and peak resident memory "
                "then,\noffscreen (%s), median of %d starts each, started in turn\n",
                smallScreen ? "800 x 600" : "1280 x 1024", runs);
    std::printf("%-16s %10s %9s %12s %9s\n", "", "paint ms", "x face", "VmHWM MiB", "x face");
    for (const Program &program : programs) {
        const double ms = median(program.ms), mib = median(program.peakMiB);
        std::printf("%-16s %10.1f %9.2f %12.1f %9.2f\n", program.name, ms, ms / faceMs, mib,
                    mib / faceMiB);
    }
    return 0;
}
