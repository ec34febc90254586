// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a learner's text of 1 MiB (about 350,000 characters of made-up sentences): read,
// cut, read by MeCab and copied into the texts folder, then opened again from the copy; and
// the memory the open text and the dictionary take.
#include "benchtools.h"
#include "core/textpreparer.h"
#include "reading/mecabreader.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

using namespace rinkaro;

namespace
{

// Kilobytes of a /proc/self/status line ("VmRSS", "VmHWM").
long statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key)) + 1).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Sentences put together from small word lists, with a ruby now and then, the kind of
// everyday prose a learner might paste in; just under `bytes` of UTF-8.
QByteArray sampleText(qint64 bytes)
{
    const char *const who[] = {"私", "兄", "隣の人", "先生", "友達", "店の主人", "妹", "祖母"};
    const char *const when[] = {"朝早く",   "昨日の夜",     "週末に", "雨の日に",
                                "昼休みに", "夏の終わりに", "毎日"};
    const char *const where[] = {"駅前の本屋で", "川沿いの道を",   "小さな公園で",
                                 "台所で",       "図書館の窓辺で", "古い橋の上で"};
    const char *const what[] = {
        "新しい地図を広げた",          "温かいお茶を飲んだ", "手紙を書いていた",
        "静かに空を見ていた",          "野菜の値段を比べた", "短い歌を口ずさんだ",
        "明日《あした》の予定を考えた"};
    std::mt19937 random(7);
    auto pick = [&random](const auto &list) {
        return list[random() % (sizeof(list) / sizeof(list[0]))];
    };
    QByteArray text;
    while (true) {
        QByteArray sentence = QByteArray(pick(who)) + "は" + pick(when) + "、" + pick(where) +
                              pick(what) + (random() % 4 ? "。" : "！");
        if (random() % 5 == 0)
            sentence += "\n";
        if (text.size() + sentence.size() > bytes)
            break;
        text += sentence;
    }
    return text;
}

std::unique_ptr<WordReader> meCab(QString *missing)
{
    auto reader = std::make_unique<MeCabReader>();
    if (reader->available())
        return reader;
    *missing = reader->error();
    return nullptr;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.txt"));
    const QByteArray bytes = sampleText(1 << 20);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;
    file.close();
    std::printf("text: %lld bytes, %lld characters\n", static_cast<long long>(bytes.size()),
                static_cast<long long>(QString::fromUtf8(bytes).size()));

    const long rssBefore = statusKb("VmRSS:");
    TextLibrary library(dir.filePath(QStringLiteral("texts")));
    auto start = BenchClock::now();
    double firstRun = 0;
    TextPreparation opened = prepareTextFile(path, library, meCab, [&](const PreparedText &) {
        firstRun = microseconds(BenchClock::now() - start) / 1000;
    });
    const double firstOpen = microseconds(BenchClock::now() - start) / 1000;
    if (!opened.ok()) {
        std::printf("not opened: %s\n", qPrintable(opened.error));
        return 1;
    }
    const long rssOpen = statusKb("VmRSS:");
    const long peak = statusKb("VmHWM:");
    std::printf("first open: first run's sentences read in %.0f ms\n", firstRun);
    std::printf("first open (read, cut, MeCab, copy saved): %.0f ms, %zu sentences\n", firstOpen,
                opened.text.sentences.size());
    std::printf("memory: %.1f MB before, +%.1f MB with the text open, peak +%.1f MB\n",
                double(rssBefore) / 1024, double(rssOpen - rssBefore) / 1024,
                double(peak - rssBefore) / 1024);
    std::printf(
        "copy: %lld bytes\n",
        static_cast<long long>(QFile(dir.filePath(QStringLiteral("texts/sample.txt"))).size()));

    std::vector<double> reopen;
    for (int i = 0; i < 5; ++i) {
        start = BenchClock::now();
        const TextPreparation again = prepareCopy(opened.text.name, library, meCab);
        reopen.push_back(microseconds(BenchClock::now() - start) / 1000);
        if (!again.ok() || again.text.sentences.size() != opened.text.sentences.size())
            return 1;
    }
    std::printf("opened again from the copy: %.0f ms (median of 5)\n", median(reopen));
    return 0;
}
