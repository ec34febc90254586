// SPDX-License-Identifier: GPL-3.0-or-later
// The rules alone: whole ordered level-9 runs typed through the drill session, no window.
// Each key is timed around DrillSession::type, which judges it and prepares what the
// drill area shows next.
#include "benchtools.h"
#include "core/drillsession.h"
#include "core/levels.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace rinkaro;

namespace
{

using Clock = BenchClock;

} // namespace

namespace
{

void benchRuns(bool freeRomaji, int level = 9)
{
    constexpr int runs = 200;
    DrillSession session([](int) { return 0; });
    session.setHintShown(true); // the hint names the next key to type
    session.setFreeRomaji(freeRomaji);
    if (const TextDrillKind *kind = textDrillKind(level)) {
        // Ordered runs through the whole material, item after item.
        session.textDrill().setItems(builtInTextMaterial(level));
        session.textDrill().setRunLength(kind->runItems, kind->runKana);
    }
    session.selectLevel(level);
    std::vector<double> perKey;
    int keys = 0;
    quint32 now = 1000;
    const auto started = Clock::now();
    for (int run = 0; run < runs; ++run) {
        session.start(now);
        KeyOutcome outcome = KeyOutcome::Advanced;
        while (outcome != KeyOutcome::Finished) {
            const char key = session.hintKey().at(0).toLatin1();
            const auto before = Clock::now();
            outcome = session.keyTyped(key, now += 150).outcome;
            perKey.push_back(microseconds(Clock::now() - before));
            ++keys;
        }
    }
    const double total = microseconds(Clock::now() - started);
    std::sort(perKey.begin(), perKey.end());
    std::printf("level %d%s, %d ordered runs, %d keys\n", level, freeRomaji ? ", free romaji" : "",
                runs, keys);
    std::printf("per key: median %.2f us, 99th percentile %.2f us, max %.2f us\n",
                perKey[perKey.size() / 2], perKey[perKey.size() * 99 / 100], perKey.back());
    std::printf("whole runs: %.2f us per key on average\n", total / keys);
}

} // namespace

int main()
{
    benchRuns(false);
    benchRuns(true);
    benchRuns(true, wordsLevel);
    benchRuns(true, sentencesLevel);
    return 0;
}
