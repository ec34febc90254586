// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the statistics window on a long history: 100,000 runs over all nine levels,
// written with the program's own log writer. Each opening runs in a fresh process (the
// plugin and Qt Charts are loaded once per process), beside a shown main window, and is
// timed in four steps: loading the plugin, building the empty window, reading the history
// into the chart and the heat map, and showing it until the chart has painted. The growth
// of the resident memory over the whole opening is measured too.
#include "benchtools.h"
#include "core/keytable.h"
#include "core/levels.h"
#include "core/progressstats.h"
#include "core/runlog.h"
#include "fakeplatform.h"
#include "samplehistory.h"
#include "gui/fonts.h"
#include "gui/mainwindow.h"
#include "gui/progresswindowloader.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

using namespace rinkaro;

namespace
{

double residentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

// Notes the first paint of a widget.
class PaintWatch : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Processor time of the whole process (every thread), in milliseconds.
double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// One opening in this process: prints the figures of `figureNames`, in order.
int openOnce(const QString &logPath)
{
    registerFontSubstitutions();
    setJapaneseApplicationFont();
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    FakePlatform platform;
    MainWindow form(platform);
    form.show();
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();

    const double before = residentMegabytes();
    const double cpuBefore = cpuMs();
    QElapsedTimer timer;
    timer.start();
    QString error;
    ProgressWindowFactory *factory = loadProgressWindowFactory(progressPluginFolders(), &error);
    if (!factory) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const double load = msSince(timer);
    // The window starts reading the history as it is made.
    QWidget *window = factory->createProgressWindow(logPath, 5, &form);
    const double build = msSince(timer);
    // The window must keep answering while the history is read: the longest wait between
    // two ticks of a 5 ms timer says how long it did not.
    QElapsedTimer tick;
    tick.start();
    double longestWait = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestWait = std::max(longestWait, msSince(tick));
        tick.restart();
    });
    ticker.start(5);
    PaintWatch watch;
    auto *chart = window->findChild<QAbstractScrollArea *>(QStringLiteral("progressChart"));
    chart->viewport()->installEventFilter(&watch);
    window->show();
    // Waits for events rather than spinning: the history is read on other threads meanwhile.
    // The chart takes the place of the note "reading" once the history is shown.
    double readAt = 0;
    while (!watch.painted && timer.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (readAt == 0 && chart->isVisible())
            readAt = msSince(timer);
    }
    const double painted = msSince(timer);
    ticker.stop();
    const double cpu = cpuMs() - cpuBefore;
    const double after = residentMegabytes();

    // The core's share: the same history read again, figures only.
    timer.restart();
    const auto again = ProgressStats::read(logPath);
    const double core = msSince(timer);
    std::printf("%.1f %.1f %.1f %.1f %.1f %.1f %.1f %.1f %.1f\n", load, build - load,
                readAt - build, core, painted - readAt, painted, cpu, longestWait, after - before);
    return watch.painted && again.first.runs() > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The benchmark runs from bench/, the plugin lies at the top of the build tree.
    setProgressPluginFolders({QStringLiteral(RINKARO_PLUGIN_BUILD_DIR)});
    // The figures keep a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    const QStringList args = QApplication::arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--open"))
        return openOnce(args[2]);
    // --write FILE [RUNS]: only writes a history, to try the window on by hand.
    if (args.size() >= 3 && args[1] == QStringLiteral("--write"))
        return writeHistory(args[2], args.size() > 3 ? args[3].toInt() : 100000) < 0;
    // --runs N: another history length; --opens N: more (or fewer) openings than 7.
    int runs = 100000;
    int opens = 7;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--runs"))
            runs = args[i + 1].toInt();
        else if (args[i] == QStringLiteral("--opens"))
            opens = args[i + 1].toInt();
    }

    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("RK.log"));
    const qint64 bytes = writeHistory(log, runs);
    if (bytes < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(log));
        return 1;
    }
    std::printf("History: %d runs, %.1f MB; the window opens on level 5, median of %d "
                "openings, each in a new process\n",
                runs, double(bytes) / 1e6, opens);

    const char *names[] = {"load plugin",
                           "build window",
                           "read and show the history",
                           "  reading alone (core)",
                           "until the chart has painted",
                           "total",
                           "processor time, all threads",
                           "longest wait of the window",
                           "RSS growth (MB)"};
    std::array<std::vector<double>, 9> figures;
    for (int open = 0; open < opens; ++open) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QApplication::applicationFilePath(), {QStringLiteral("--open"), log});
        if (!child.waitForFinished(60000) || child.exitCode() != 0) {
            std::fprintf(stderr, "an opening failed\n");
            return 1;
        }
        const QList<QByteArray> values = child.readAllStandardOutput().simplified().split(' ');
        for (std::size_t k = 0; k < figures.size(); ++k)
            figures[k].push_back(values.value(qsizetype(k)).toDouble());
    }
    for (std::size_t k = 0; k < figures.size(); ++k)
        std::printf("  %-30s median %7.1f   max %7.1f%s\n", names[k], median(figures[k]),
                    *std::max_element(figures[k].begin(), figures[k].end()),
                    k + 1 < figures.size() ? " ms" : "");
    return 0;
}
