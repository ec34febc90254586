// SPDX-License-Identifier: GPL-3.0-or-later
// The weak-spot drills on a long history: 100,000 runs over all nine levels. Reading it once
// (as the main window does on a thread of its own), planning a run of each kind from it, and
// judging the keys of the runs planned against those of levels 1 and 5.
#include "benchtools.h"
#include "core/drillsession.h"
#include "core/practicehistory.h"
#include "core/weakspots.h"
#include "samplehistory.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
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
    // [RUNS] [--log FILE] [--reads N]: another history length, a history written before
    // (bench_progress --write), the read repeated N times for its median and range.
    int runs = 100000;
    int reads = 1;
    QString given;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--log") == 0 && i + 1 < argc)
            given = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--reads") == 0 && i + 1 < argc)
            reads = std::max(1, std::atoi(argv[++i]));
        else
            runs = std::atoi(argv[i]);
    }
    QTemporaryDir dir;
    const QString path = given.isEmpty() ? dir.filePath(QStringLiteral("RK.log")) : given;
    const qint64 bytes = given.isEmpty() ? writeHistory(path, runs) : QFileInfo(path).size();
    std::printf("history: %.1f MB\n", double(bytes) / 1e6);

    std::vector<double> readMs;
    HistoryRead read;
    for (int k = 0; k < reads; ++k) {
        read = {};
        const auto started = Clock::now();
        read = readHistory(path, 0, {}, {});
        readMs.push_back(microseconds(Clock::now() - started) / 1000);
    }
    const WeakSpots &spots = read.figures.weak;
    std::printf("read once: %.0f ms, range %.0f-%.0f (%lld runs: %d key runs, %d kana runs)\n",
                median(readMs), *std::min_element(readMs.begin(), readMs.end()),
                *std::max_element(readMs.begin(), readMs.end()),
                static_cast<long long>(read.figures.stats.runs()), spots.runs(WeakKind::Keys),
                spots.runs(WeakKind::Kana));

    std::minstd_rand engine(7);
    const auto random = [&engine](int n) { return n > 0 ? int(engine() % unsigned(n)) : 0; };
    for (const WeakKind kind : {WeakKind::Keys, WeakKind::Kana}) {
        std::vector<double> times;
        WeakRunPlan plan;
        for (int k = 0; k < 50; ++k) {
            const auto started = Clock::now();
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
