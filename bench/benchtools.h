// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the benchmarks share: a steady clock in microseconds, the median of a sample, typing
// ordered runs into the main window, and waiting for a widget's paint.
#include "core/drillsession.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace rinkaro
{

using BenchClock = std::chrono::steady_clock;

inline double microseconds(BenchClock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Types `runs` ordered runs of `level` into the main window `form`, a right key at a time:
// `press(key)` delivers one key (and its release) however the benchmark sends keys, and
// `runEnded(keys)` follows each run. A session of our own, fed the same keys, names the key
// the drill expects next, which with the hint shown is the key lit. The window's Start button
// starts each run with the focus given back to it, as a learner closing the typing-time
// dialog would (the test platform closes it at once, and it kept the focus). False when no
// key is expected or a run does not end.
inline bool typeOrderedRuns(QWidget &form, int level, int runs,
                            const std::function<void(char)> &press,
                            const std::function<void(int)> &runEnded = {})
{
    form.findChild<QAction *>(QStringLiteral("Level%1").arg(level))->trigger();
    auto *startButton = form.findChild<QPushButton *>(QStringLiteral("Button1"));
    const QString stopCaption = QStringLiteral("ストップ");
    DrillSession session([](int) { return 0; }); // ordered runs draw nothing
    session.selectLevel(level);
    for (int run = 0; run < runs; ++run) {
        QApplication::setActiveWindow(&form);
        startButton->setFocus();
        startButton->click();
        session.start(0);
        QApplication::processEvents();
        int keys = 0;
        while (startButton->text() == stopCaption) {
            const QString hint = session.hintKey();
            if (hint.size() != 1 || ++keys > 1000) {
                std::fprintf(stderr, "level %d: no key expected or the run does not end\n", level);
                return false;
            }
            const char key = char(hint.at(0).toLatin1());
            press(key);
            session.keyTyped(key, 0);
        }
        if (runEnded)
            runEnded(keys);
    }
    return true;
}

// Runs the event loop until `widget` has been painted and `ready()` holds, or `timeoutMs` has
// passed; `afterEach()` follows every pass. Waits for events rather than spinning: the work
// waited for may be on other threads. True when the widget was painted.
inline bool waitForPaint(QWidget *widget, qint64 timeoutMs, const std::function<bool()> &ready = {},
                         const std::function<void()> &afterEach = {})
{
    struct Watch : QObject {
        bool painted = false;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted = true;
            return false;
        }
    } watch;
    widget->installEventFilter(&watch);
    QElapsedTimer waited;
    waited.start();
    while (!(watch.painted && (!ready || ready())) && waited.elapsed() < timeoutMs) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (afterEach)
            afterEach();
    }
    widget->removeEventFilter(&watch);
    return watch.painted;
}

} // namespace rinkaro
