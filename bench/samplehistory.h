// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A long history as a learner getting better leaves it, written with the program's own log
// writer: the benchmarks that read histories share it.
#include "core/keytable.h"
#include "core/levels.h"
#include "core/runlog.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>

#include <array>
#include <random>

namespace rinkaro
{

// Kana and their romaji, as the syllable and phrase levels drill them.
struct Syllable {
    const char *kana;
    const char *romaji;
};
inline const Syllable syllables[] = {
    {"あ", "a"},     {"か", "ka"},   {"さ", "sa"},  {"し", "shi"}, {"す", "su"},    {"た", "ta"},
    {"ち", "chi"},   {"つ", "tsu"},  {"な", "na"},  {"に", "ni"},  {"は", "ha"},    {"ふ", "fu"},
    {"ま", "ma"},    {"み", "mi"},   {"や", "ya"},  {"ゆ", "yu"},  {"ら", "ra"},    {"り", "ri"},
    {"る", "ru"},    {"わ", "wa"},   {"を", "wo"},  {"ん", "nn"},  {"が", "ga"},    {"じ", "ji"},
    {"ず", "zu"},    {"で", "de"},   {"ぶ", "bu"},  {"ぽ", "po"},  {"きゃ", "kya"}, {"しゅ", "shu"},
    {"ちょ", "cho"}, {"じゃ", "ja"}, {"っ", "xtu"}, {"、", ","},   {"。", "."},
};

// A key beside the one expected on its row: the usual slip.
inline char neighbour(char expected, std::mt19937 &random)
{
    for (std::size_t k = 0; k < keyTable.size(); ++k) {
        if (keyTable[k].litBy[0] != expected)
            continue;
        const bool left = (random() & 1) != 0 && k > 0 && keyTable[k - 1].top == keyTable[k].top;
        const bool right = k + 1 < keyTable.size() && keyTable[k + 1].top == keyTable[k].top;
        return keyTable[left || !right ? k - 1 : k + 1].litBy[0];
    }
    return 'a';
}

// How much more often than average a key slips: the weak fingers and the rows away from
// home are missed more, so the heat map has something to show.
inline double difficulty(char key)
{
    for (const KeyInfo &info : keyTable) {
        if (info.litBy[0] != key)
            continue;
        const double finger = info.finger == Finger::Little   ? 2.0
                              : info.finger == Finger::Ring   ? 1.4
                              : info.finger == Finger::Middle ? 1.0
                                                              : 0.7;
        return finger * (info.top == 88 ? 0.8 : info.top == 24 ? 1.2 : 1.5);
    }
    return 1;
}

// One run of a level, with the slips and the pace of a learner who gets better with
// practice: each right key takes its time, more for a weak finger and after a slip.
inline RunLogEntry makeRun(int level, const QDateTime &ended, double skill, std::mt19937 &random)
{
    RunLogEntry entry;
    entry.ended = ended;
    entry.level = level;
    entry.randomOrder = (random() % 3) == 0;
    std::uniform_real_distribution<double> chance(0, 1);
    const double slip = 0.005 + 0.035 * (1 - skill);
    const double pace = 200 + 400 * (1 - skill); // milliseconds a key
    qint64 runMs = 0;
    RunTally &tally = entry.tally;
    // One key typed right, after `misses` slips on it: its time, which is the kana's too.
    const auto typeKey = [&](char key, const QString &kana) {
        qint64 ms = qint64(pace * (0.6 + 0.3 * difficulty(key) + 0.4 * chance(random)));
        while (chance(random) < slip * difficulty(key)) {
            tally.misses.push_back({kana, key, neighbour(key, random)});
            ms += qint64(pace);
        }
        ++tally.rightKeys[key];
        tally.keyMs[key] += ms;
        runMs += ms;
        return ms;
    };
    if (const char *keys = levelInfo(level)->keyString) {
        for (const char *k = keys; *k; ++k)
            typeKey(*k, QString());
    } else {
        const int items = level <= 6 ? 46 : 120; // syllables, or about 25 phrases of kana
        for (int i = 0; i < items; ++i) {
            const Syllable &s = syllables[random() % std::size(syllables)];
            const QString kana = QString::fromUtf8(s.kana);
            qint64 kanaMs = 0;
            for (const char *k = s.romaji; *k; ++k)
                kanaMs += typeKey(*k, kana);
            ++tally.kanaTyped[kana];
            tally.kanaMs[kana] += kanaMs;
        }
    }
    entry.errors = int(tally.misses.size());
    entry.seconds = double(runMs / 100) / 10;
    entry.score = entry.seconds + entry.errors;
    return entry;
}

// The history: `runs` runs about ten minutes apart, the levels taken at random.
inline qint64 writeHistory(const QString &path, int runs)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    std::mt19937 random(20240501);
    QDateTime ended(QDate(2023, 4, 1), QTime(19, 0), QTimeZone(9 * 3600));
    std::array<std::array<double, 2>, 10> best{};
    for (int run = 0; run < runs; ++run) {
        ended = ended.addSecs(300 + qint64(random() % 600));
        const int level = 1 + int(random() % 9);
        RunLogEntry entry = makeRun(level, ended, double(run) / runs, random);
        double &record = best[std::size_t(level)][entry.randomOrder];
        entry.newRecord = record == 0 || entry.score < record;
        if (entry.newRecord)
            record = entry.score;
        file.write(formatRunLogLine(entry));
    }
    return file.size();
}

} // namespace rinkaro
