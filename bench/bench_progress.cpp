// SPDX-License-Identifier: GPL-3.0-or-later
// The history on a long record of practice (100,000 runs over all nine levels by default,
// written with the program's own log writer), each time in a fresh process beside a shown
// main window that has read nothing yet: choosing 成績グラフ, timed until the chart has
// painted, or (--pick) choosing 苦手なキー as the level menu opens, timed until the drill has
// its first item. The window's longest wait meanwhile and the growth of the resident memory
// are measured too. With --against OTHER, each round opens the history three ways, one after
// the other: with the other build of the program (one that keeps no image of the history),
// then with this one without an image (the opening that writes it), then from the image.
#include "benchtools.h"
#include "core/historycache.h"
#include "core/keytable.h"
#include "core/levels.h"
#include "core/runlog.h"
#include "fakeplatform.h"
#include "gui/fonts.h"
#include "gui/mainwindow.h"
#include "gui/progresswindowloader.h"
#include "samplehistory.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
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

bool linkFile(const QString &from, const QString &to)
{
    return ::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// The history as the main window finds it, RK.log in the folder it works in: linked to the
// one written, not copied (so the image of it, linked too, names the same file).
bool placeHistory(const QString &logPath, const QString &folder)
{
    const QString target = QDir(folder).filePath(QStringLiteral("RK.log"));
    if (QFileInfo::exists(historyCachePath(logPath)))
        linkFile(historyCachePath(logPath), historyCachePath(target));
    return linkFile(logPath, target) || QFile::copy(logPath, target);
}

// The window must keep answering while the history is read: the longest wait between two
// ticks of a 5 ms timer says how long it did not.
struct Responsiveness {
    QElapsedTimer tick;
    double longestWait = 0;
    int ticks = 0;
    QTimer ticker;
    Responsiveness()
    {
        tick.start();
        QObject::connect(&ticker, &QTimer::timeout, [this] {
            longestWait = std::max(longestWait, msSince(tick));
            tick.restart();
            ++ticks;
        });
        ticker.start(5);
    }
    // The longest wait, the one under way included: a window that was blocked until now has
    // not ticked since.
    double longest()
    {
        for (const int before = ticks; ticks == before;)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return longestWait;
    }
};

// One opening in this process, through the main window's 成績グラフ with nothing read before
// (or, `again`, opened a second time once the first has shown the history: drawing alone):
// prints the figures of `names` in main, in order. With `keepImage`, waits for the image of
// the history to be written, keeps it beside `logPath` for later openings, and prints when it
// was there and its size.
int openOnce(const QString &logPath, bool keepImage, bool again = false)
{
    registerFontSubstitutions();
    setJapaneseApplicationFont();
    QTemporaryDir folder;
    if (!placeHistory(logPath, folder.path()))
        return 1;
    QDir::setCurrent(folder.path());
    FakePlatform platform;
    MainWindow form(platform);
    form.show();
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();

    if (again) {
        form.findChild<QAction *>(QStringLiteral("progressItem"))->trigger();
        QWidget *first = form.findChild<QWidget *>(QStringLiteral("progressWindow"));
        auto *chart = first->findChild<QAbstractScrollArea *>(QStringLiteral("progressChart"));
        waitForPaint(chart->viewport(), 60000, [chart] { return chart->isVisible(); });
        // Whatever follows the chart is shown too before the window closes.
        QElapsedTimer waited;
        for (waited.start(); waited.elapsed() < 300;)
            QApplication::processEvents();
        first->close();
        for (int i = 0; i < 20; ++i)
            QApplication::processEvents();
    }
    const double before = residentMegabytes();
    const double cpuBefore = cpuMs();
    // Opened again, the window draws what is held as the item asks: that wait counts too.
    std::unique_ptr<Responsiveness> answering;
    if (again)
        answering = std::make_unique<Responsiveness>();
    QElapsedTimer timer;
    timer.start();
    // The plugin is loaded, the window built and the history read as the item asks.
    form.findChild<QAction *>(QStringLiteral("progressItem"))->trigger();
    const double build = msSince(timer);
    QWidget *window = form.findChild<QWidget *>(QStringLiteral("progressWindow"));
    if (!window)
        return 1;
    if (!answering)
        answering = std::make_unique<Responsiveness>();
    auto *chart = window->findChild<QAbstractScrollArea *>(QStringLiteral("progressChart"));
    // The history is read on other threads meanwhile. The chart takes the place of the note
    // "reading" once the history is shown.
    double readAt = chart->isVisible() ? build : 0;
    const bool chartPainted = waitForPaint(chart->viewport(), 20000, {}, [&] {
        if (readAt == 0 && chart->isVisible())
            readAt = msSince(timer);
    });
    const double painted = msSince(timer);
    const double cpu = cpuMs() - cpuBefore;
    const double after = residentMegabytes();
    std::printf("%.1f %.1f %.1f %.1f %.1f %.1f %.1f", build, readAt - build, painted - readAt,
                painted, cpu, answering->longest(), after - before);
    if (keepImage) {
        const QString image = historyCachePath(QStringLiteral("RK.log"));
        while (!QFileInfo::exists(image) && timer.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const double written = msSince(timer);
        QFile::remove(historyCachePath(logPath));
        if (!linkFile(image, historyCachePath(logPath)))
            return 1;
        std::printf(" %.1f %.1f", written, double(QFileInfo(image).size()) / 1e6);
    }
    std::printf("\n");
    return chartPainted ? 0 : 1;
}

// One weak pick in this process: the level menu opened (which starts the history's read) and
// 苦手なキー chosen at once, timed until the drill has its first item, with the window's longest
// wait meanwhile.
int pickOnce(const QString &logPath)
{
    registerFontSubstitutions();
    setJapaneseApplicationFont();
    QTemporaryDir folder;
    if (!placeHistory(logPath, folder.path()))
        return 1;
    QDir::setCurrent(folder.path());
    FakePlatform platform;
    MainWindow form(platform);
    form.show();
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    const double before = residentMegabytes();
    auto *textPanel = form.findChild<QLabel *>(QStringLiteral("TextPanel"));
    auto *start = form.findChild<QAbstractButton *>(QStringLiteral("Button1"));
    Responsiveness answering;
    QElapsedTimer timer;
    timer.start();
    QMetaObject::invokeMethod(form.findChild<QMenu *>(QStringLiteral("set")), "aboutToShow");
    form.findChild<QAction *>(QStringLiteral("weakKeysItem"))->trigger();
    const double chosen = msSince(timer);
    // The drill names what it will practise once it has its material.
    const auto ready = [&] { return textPanel->text().startsWith(QStringLiteral("苦手")); };
    while (!ready() && timer.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    start->click();
    const double first = msSince(timer);
    const bool oneKey = textPanel->text().size() == 1;
    std::printf("%.1f %.1f %.1f %.1f\n", chosen, first, answering.longest(),
                residentMegabytes() - before);
    return oneKey ? 0 : 1;
}

// One opening by `program` in a new process: its figures, empty when it failed.
std::vector<double> openingBy(const QString &program, const QStringList &args)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, args);
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return {};
    std::vector<double> values;
    for (const QByteArray &value : child.readAllStandardOutput().simplified().split(' '))
        values.push_back(value.toDouble());
    return values;
}

// Rounds of three openings side by side: `other`'s, this build's first (writing the image)
// and this build's from the image; each figure's median and range over the rounds.
int compareOpenings(const QString &other, const QString &log, int rounds)
{
    const QString self = QApplication::applicationFilePath();
    const char *const ways[] = {"other build", "first opening", "from the image"};
    std::array<std::vector<std::vector<double>>, 3> figures;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t way = 0; way < 3; ++way) {
            if (way < 2)
                QFile::remove(historyCachePath(log));
            const std::vector<double> values =
                way == 0   ? openingBy(other, {QStringLiteral("--open"), log})
                : way == 1 ? openingBy(self, {QStringLiteral("--open"), log,
                                              QStringLiteral("--keep-image")})
                           : openingBy(self, {QStringLiteral("--open"), log});
            if (values.size() < 7) {
                std::fprintf(stderr, "an opening failed\n");
                return 1;
            }
            figures[way].push_back(values);
        }
    }
    const char *const names[] = {"total until painted (ms)", "processor time (ms)",
                                 "longest wait (ms)",        "RSS growth (MB)",
                                 "image written after (ms)", "image size (MB)"};
    const std::size_t columns[] = {3, 4, 5, 6, 7, 8};
    for (std::size_t way = 0; way < 3; ++way) {
        std::printf("%s:\n", ways[way]);
        for (std::size_t k = 0; k < std::size(columns); ++k) {
            std::vector<double> values;
            for (const std::vector<double> &opening : figures[way])
                if (columns[k] < opening.size())
                    values.push_back(opening[columns[k]]);
            if (values.empty())
                continue;
            const auto [low, high] = std::minmax_element(values.begin(), values.end());
            std::printf("  %-28s median %8.1f   range %8.1f - %8.1f\n", names[k], median(values),
                        *low, *high);
        }
    }
    return 0;
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
    if (args.size() >= 3 && args[1] == QStringLiteral("--open"))
        return openOnce(args[2], args.size() > 3 && args[3] == QStringLiteral("--keep-image"));
    if (args.size() == 3 && args[1] == QStringLiteral("--open-again"))
        return openOnce(args[2], false, true);
    if (args.size() == 3 && args[1] == QStringLiteral("--pick-once"))
        return pickOnce(args[2]);
    // --write FILE [RUNS]: only writes a history, to try the window on by hand.
    if (args.size() >= 3 && args[1] == QStringLiteral("--write"))
        return writeHistory(args[2], args.size() > 3 ? args[3].toInt() : 100000) < 0;
    // --runs N: another history length; --opens N: more (or fewer) openings than 7.
    // --pick: the weak pick instead of the opening; --again: the window opened a second time,
    // the history read: its drawing alone; --log FILE: a history written before.
    int runs = 100000;
    int opens = 7;
    bool pick = false;
    bool again = false;
    QString given;
    QString against;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--pick"))
            pick = true;
        else if (args[i] == QStringLiteral("--again"))
            again = true;
        else if (i + 1 < args.size() && args[i] == QStringLiteral("--runs"))
            runs = args[++i].toInt();
        else if (i + 1 < args.size() && args[i] == QStringLiteral("--opens"))
            opens = args[++i].toInt();
        else if (i + 1 < args.size() && args[i] == QStringLiteral("--log"))
            given = args[++i];
        else if (i + 1 < args.size() && args[i] == QStringLiteral("--against"))
            against = args[++i];
    }

    QTemporaryDir folder;
    const QString log = given.isEmpty() ? folder.filePath(QStringLiteral("RK.log")) : given;
    const qint64 bytes = given.isEmpty() ? writeHistory(log, runs) : QFileInfo(log).size();
    if (bytes < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(log));
        return 1;
    }
    std::printf("History: %.1f MB; %s, median of %d, each in a new process\n", double(bytes) / 1e6,
                pick    ? "苦手なキー chosen as the level menu opens"
                : again ? "成績グラフ chosen again on level 5, the history read"
                        : "成績グラフ chosen on level 5",
                opens);
    if (!against.isEmpty())
        return compareOpenings(against, log, opens);

    const std::vector<const char *> names =
        pick ? std::vector<const char *>{"the choice returned", "the drill's first item",
                                         "longest wait of the window", "RSS growth (MB)"}
             : std::vector<const char *>{"load plugin, build window",
                                         "read and show the history",
                                         "until the chart has painted",
                                         "total",
                                         "processor time, all threads",
                                         "longest wait of the window",
                                         "RSS growth (MB)"};
    std::vector<std::vector<double>> figures(names.size());
    for (int open = 0; open < opens; ++open) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QApplication::applicationFilePath(), {pick    ? QStringLiteral("--pick-once")
                                                          : again ? QStringLiteral("--open-again")
                                                                  : QStringLiteral("--open"),
                                                          log});
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
