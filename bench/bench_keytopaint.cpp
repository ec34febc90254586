// SPDX-License-Identifier: GPL-3.0-or-later
// Key press to paint: a key enters through the window-system path (as the platform plugin
// delivers it: shortcut handling, the focus window, the focused control), and the clock stops
// when the paint it caused has been flushed. The real main window, typing ordered runs of
// levels 1, 5 and 9, against the face window echoing each typed key in its large face; both
// in one process, in alternate blocks of a run's length, so that drift hits them alike.
// Under the offscreen platform unless QT_QPA_PLATFORM says otherwise (xcb under Xvfb works).
// Usage: bench_keytopaint [--runs N] [--level N]
#include "benchtools.h"
#include "fakeplatform.h"
#include "gui/mainwindow.h"
#include "referencewindows.h"

#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

// Microseconds from the key press entering the application to its paint flushed; the
// release is sent afterwards, outside the clock.
double pressToPaint(QWidget &window, char key)
{
    QWindow *handle = window.windowHandle();
    const auto t0 = BenchClock::now();
    QTest::keyPress(handle, key); // delivers, then processes the paint it posted
    const auto t1 = BenchClock::now();
    QTest::keyRelease(handle, key);
    return microseconds(t1 - t0);
}

// The two sides apart, for a profiler (callgrind's counts per function); each counts its
// keys, or the compiler would fold the two into one.
int programKeys = 0, echoKeys = 0;
[[gnu::noinline]] double programKeyToPaint(QWidget &window, char key)
{
    ++programKeys;
    return pressToPaint(window, key);
}
[[gnu::noinline]] double echoKeyToPaint(QWidget &window, char key)
{
    ++echoKeys;
    return pressToPaint(window, key);
}

void activate(QWidget &window)
{
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    int runs = 10;
    std::vector<int> levels{1, 5, 9};
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--level") == 0) // one level alone, for a profiler
            levels = {std::atoi(argv[i + 1])};
    }

    useProgramFonts();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    FakePlatform platform;
    MainWindow form(platform);
    form.show();
    FaceWindow echo;
    echo.move(0, 500);
    echo.show();
    echo.page()->setFocus();
    activate(form);
    form.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(true);

    std::printf("Key press to paint flushed, %s platform, %d ordered runs per level, "
                "alternating with as many keys echoed by the face window (microseconds)\n",
                qPrintable(QGuiApplication::platformName()), runs);
    std::printf("%-6s %6s %16s %14s %8s %16s\n", "level", "keys", "rinkaro median", "echo median",
                "ratio", "rinkaro max");
    for (int level : levels) {
        std::vector<double> program, reference;
        const bool typed = typeOrderedRuns(
            form, level, runs, [&](char key) { program.push_back(programKeyToPaint(form, key)); },
            [&](int keys) {
                activate(echo);
                for (int k = 0; k < keys; ++k)
                    reference.push_back(echoKeyToPaint(echo, char('a' + k % 26)));
            });
        if (!typed)
            return 1;
        const double a = median(program), b = median(reference);
        std::printf("%-6d %6zu %16.1f %14.1f %8.2f %16.1f\n", level, program.size(), a, b, a / b,
                    *std::max_element(program.begin(), program.end()));
    }
    return 0;
}
