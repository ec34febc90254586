// SPDX-License-Identifier: GPL-3.0-or-later
// The time to judge one keystroke sent as a key press event to the real main window, the
// text panels and the key hint included, over whole ordered runs of levels 1, 5 and 9. Each
// key is timed twice: the judge alone, and the judge followed by the repaint it caused.
#include "benchtools.h"
#include "fakeplatform.h"
#include "gui/fonts.h"
#include "gui/mainwindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace rinkaro;

namespace
{

using Clock = BenchClock;

// One key press and release as the keyboard sends them, to the control with the focus.
void sendKey(MainWindow &form, char key, QEvent::Type type)
{
    QWidget *focus = QApplication::focusWidget();
    // Printable ASCII keys have the code of their capital.
    const int code = std::toupper(static_cast<unsigned char>(key));
    QKeyEvent event(type, code, Qt::NoModifier, QString(QLatin1Char(key)));
    QApplication::sendEvent(focus ? focus : &form, &event);
}

struct Result {
    int keys = 0;
    double judgeMedian = 0, paintedMedian = 0, paintedMax = 0;
    double lastKeyMedian = 0; // the key that ends a run: result dialog and layout included
};

Result measure(MainWindow &form, int level, int runs)
{
    std::vector<double> judge, painted, lastKey;
    const bool typed = typeOrderedRuns(
        form, level, runs,
        [&](char key) {
            const auto t0 = Clock::now();
            sendKey(form, key, QEvent::KeyPress);
            const auto t1 = Clock::now();
            QApplication::processEvents(); // paints what the key changed
            const auto t2 = Clock::now();
            sendKey(form, key, QEvent::KeyRelease);
            judge.push_back(microseconds(t1 - t0));
            painted.push_back(microseconds(t2 - t0));
        },
        [&](int) { lastKey.push_back(painted.back()); });
    if (!typed)
        std::exit(1);
    Result result;
    result.keys = int(judge.size());
    result.judgeMedian = median(judge);
    result.paintedMedian = median(painted);
    result.paintedMax = *std::max_element(painted.begin(), painted.end());
    result.lastKeyMedian = median(lastKey);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The figures keep a decimal point whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    // --runs N: fewer (or more) runs per level than the usual 20, for a quick look.
    int runs = 20;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));

    registerFontSubstitutions();
    setJapaneseApplicationFont();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    FakePlatform platform;
    MainWindow form(platform);
    form.show();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
    form.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(true);

    std::printf("Keystroke judged through a key press event, %d ordered runs per level "
                "(microseconds)\n",
                runs);
    std::printf("%-6s %6s %13s %19s %16s %15s\n", "level", "keys", "judge median",
                "judge+paint median", "judge+paint max", "run-ending key");
    for (int level : {1, 5, 9}) {
        const Result r = measure(form, level, runs);
        std::printf("%-6d %6d %13.1f %19.1f %16.1f %15.1f\n", level, r.keys, r.judgeMedian,
                    r.paintedMedian, r.paintedMax, r.lastKeyMedian);
    }
    std::printf("(run-ending key: median of the last key of each run, result dialog and layout "
                "included)\n");
    return 0;
}
