// SPDX-License-Identifier: GPL-3.0-or-later
// The time to judge one keystroke sent as a key press event to the real main window, the
// text panels and the key hint included, over whole ordered runs of levels 1, 5 and 9. Each
// key is timed twice: the judge alone, and the judge followed by the repaint it caused.
#include "benchtools.h"
#include "core/drillsession.h"
#include "fakeplatform.h"
#include "gui/fonts.h"
#include "gui/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
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

// The next correct key of the running drill: the hint of a session of our own that is fed
// the same keys as the window's, which with the hint shown is the letter it expects next.
char nextKey(const DrillSession &session)
{
    const QString letter = session.hintKey();
    if (letter.size() != 1) {
        std::fprintf(stderr, "no key expected: is the hint off?\n");
        std::exit(1);
    }
    return char(letter.at(0).toLatin1());
}

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

Result measure(MainWindow &form, QPushButton *startButton, int level, int runs)
{
    std::vector<double> judge, painted, lastKey;
    form.findChild<QAction *>(QStringLiteral("Level%1").arg(level))->trigger();
    DrillSession session([](int) { return 0; }); // ordered runs draw nothing
    session.selectLevel(level);
    const QString stopCaption = QStringLiteral("ストップ");
    for (int run = 0; run < runs; ++run) {
        // The typing-time dialog of the run before is closed at once by the fake platform,
        // never shown: the focus it took is given back as a learner's closing it would.
        QApplication::setActiveWindow(&form);
        startButton->setFocus();
        startButton->click();
        session.start(0);
        QApplication::processEvents();
        for (int keys = 0; startButton->text() == stopCaption; ++keys) {
            if (keys > 1000) {
                std::fprintf(stderr, "level %d: the run does not end\n", level);
                std::exit(1);
            }
            const char key = nextKey(session);
            const auto t0 = Clock::now();
            sendKey(form, key, QEvent::KeyPress);
            const auto t1 = Clock::now();
            QApplication::processEvents(); // paints what the key changed
            const auto t2 = Clock::now();
            sendKey(form, key, QEvent::KeyRelease);
            session.keyTyped(key, 0);
            judge.push_back(microseconds(t1 - t0));
            painted.push_back(microseconds(t2 - t0));
        }
        lastKey.push_back(painted.back());
    }
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
    auto *startButton = form.findChild<QWidget *>(QStringLiteral("KBPanel"))
                            ->findChild<QPushButton *>(QStringLiteral("Button1"));

    std::printf("Keystroke judged through a key press event, %d ordered runs per level "
                "(microseconds)\n",
                runs);
    std::printf("%-6s %6s %13s %19s %16s %15s\n", "level", "keys", "judge median",
                "judge+paint median", "judge+paint max", "run-ending key");
    for (int level : {1, 5, 9}) {
        const Result r = measure(form, startButton, level, runs);
        std::printf("%-6d %6d %13.1f %19.1f %16.1f %15.1f\n", level, r.keys, r.judgeMedian,
                    r.paintedMedian, r.paintedMax, r.lastKeyMedian);
    }
    std::printf("(run-ending key: median of the last key of each run, result dialog and layout "
                "included)\n");
    return 0;
}
