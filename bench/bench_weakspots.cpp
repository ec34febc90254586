// SPDX-License-Identifier: GPL-3.0-or-later
// The weak-spot drills on a long history: 100,000 runs over all nine levels. Reading it once
// (as the main window does on a thread of its own), planning a run of each kind from it, and
// judging the keys of the runs planned against those of levels 1 and 5.
#include "benchtools.h"
#include "core/drillsession.h"
#include "core/practicehistory.h"
#include "core/weakspots.h"
#include "samplehistory.h"

#include <QTemporaryDir>

#include <cstdio>
#include <random>

using namespace rinkaro;

namespace
{

using Clock = BenchClock;

// Median microseconds per key over `runs` runs typed right from the hint.
double judgeKeys(DrillSession &session, int runs, const std::function<void()> &beforeRun = {})
{
    std::vector<double> perKey;
    quint32 now = 1000;
    for (int run = 0; run < runs; ++run) {
        if (beforeRun)
            beforeRun();
        session.start(now);
        KeyOutcome outcome = KeyOutcome::Advanced;
        while (outcome != KeyOutcome::Finished) {
            const char key = session.hintKey().isEmpty() ? session.mainText().at(0).toLatin1()
                                                         : session.hintKey().at(0).toLatin1();
            const auto before = Clock::now();
            outcome = session.keyTyped(key, now += 150).outcome;
            perKey.push_back(microseconds(Clock::now() - before));
        }
    }
    return median(perKey);
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RK.log"));
    const qint64 bytes = writeHistory(path, runs);
    std::printf("history: %d runs, %.1f MB\n", runs, double(bytes) / 1e6);

    auto started = Clock::now();
    const HistoryRead read = readHistory(path, 0, {}, {});
    const WeakSpots &spots = read.figures.weak;
    std::printf("read once: %.0f ms (%d key runs, %d kana runs)\n",
                microseconds(Clock::now() - started) / 1000, spots.runs(WeakKind::Keys),
                spots.runs(WeakKind::Kana));

    std::minstd_rand engine(7);
    const auto random = [&engine](int n) { return n > 0 ? int(engine() % unsigned(n)) : 0; };
    for (const WeakKind kind : {WeakKind::Keys, WeakKind::Kana}) {
        std::vector<double> times;
        WeakRunPlan plan;
        for (int k = 0; k < 50; ++k) {
            started = Clock::now();
            plan = spots.plan(kind, {}, random);
            times.push_back(microseconds(Clock::now() - started));
        }
        std::printf("plan a %s run: median %.0f us, max %.0f us; weakest %s\n  %s\n",
                    kind == WeakKind::Keys ? "key" : "kana", median(times),
                    *std::max_element(times.begin(), times.end()),
                    qPrintable(plan.weakSet.join(u' ')), qPrintable(plan.items.join(u' ')));
    }

    DrillSession session(random);
    for (const int level : {1, weakKeysLevel, 5, weakKanaLevel}) {
        session.selectLevel(level);
        const auto draw = [&] {
            if (isWeakDrill(level)) {
                session.setWeakItems(spots.plan(weakKindOf(level), {}, random).items);
                session.selectLevel(level);
            }
        };
        std::printf("judge a key, level %d: median %.2f us\n", level,
                    judgeKeys(session, 300, draw));
    }
    return 0;
}
