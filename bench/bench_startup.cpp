// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up time: from the process start to the main window shown, for the real program
// and for a bare Qt window built the same way, under the offscreen platform. Both are
// watched by the same generic plugin (firstshow), which prints a line when the first
// window is exposed and ends the process; the time runs from QProcess::start to that line.
// Usage: bench_startup [runs]  (run from the build directory's bench folder or anywhere)
#include "benchtools.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace rinkaro;

namespace
{

// Milliseconds from start to the "shown" line, or -1 when the program never showed a window.
double timeToShow(const QString &program, const QString &workDir, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workDir);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    while (process.waitForReadyRead(10000)) {
        if (process.readAllStandardOutput().contains("shown")) {
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            process.waitForFinished(5000);
            return ms;
        }
    }
    process.kill();
    process.waitForFinished(5000);
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    const QDir benchDir(QCoreApplication::applicationDirPath());
    const QString rinkaro = benchDir.absoluteFilePath(QStringLiteral("../rinkaro"));
    const QString bare = benchDir.absoluteFilePath(QStringLiteral("bench_barewindow"));

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

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_PLUGIN_PATH"),
               benchDir.absoluteFilePath(QStringLiteral("plugins")));
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("firstshow"));

    // One unmeasured start of each warms the file cache.
    timeToShow(rinkaro, work.path(), env);
    timeToShow(bare, work.path(), env);
    std::vector<double> programTimes, bareTimes;
    for (int run = 0; run < runs; ++run) { // alternated, so that drift hits both alike
        const double a = timeToShow(rinkaro, work.path(), env);
        const double b = timeToShow(bare, work.path(), env);
        if (a < 0 || b < 0) {
            std::fprintf(stderr,
                         "a program did not show its window (is the firstshow plugin built?)\n");
            return 1;
        }
        programTimes.push_back(a);
        bareTimes.push_back(b);
    }
    const double program = median(programTimes), reference = median(bareTimes);
    std::printf("Process start to main window shown, offscreen, median of %d starts\n", runs);
    std::printf("rinkaro          %8.1f ms\n", program);
    std::printf("bare Qt window   %8.1f ms\n", reference);
    std::printf("ratio            %8.2f\n", program / reference);
    return 0;
}
