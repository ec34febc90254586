// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fast reader of the history's lines: each line's fields with its kana by number, in
// containers filled again for every line.
#include "core/runlog.h"

#include <QString>

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace rinkaro
{

// A byte a line writes as itself; any other is written "0x" and two hex digits.
constexpr bool printableLogByte(char c)
{
    return c > ' ' && c < 0x7f;
}

// The kana a history names, numbered in the order first met: a long history names a few
// dozen kana thousands of times each, and is gathered by number.
class KanaNames
{
public:
    KanaNames();
    // The number of the kana written as these UTF-8 bytes (numbered now when new); -1 for
    // bytes that name no kana, or past the most kana one history may name.
    int find(std::string_view utf8);
    // The same, its bytes packed into one number with their count (0 for eight or more).
    int find(std::string_view utf8, quint64 packed)
    {
        // Nearly every call finds a kana met before in the first slot it looks at.
        if (packed != 0) {
            const Slot &slot = slots_[(packed * 0x9e3779b97f4a7c15u) >> (64 - slotBits)];
            if (slot.key == packed)
                return slot.number;
        }
        return findOrAdd(utf8);
    }
    // The number of a kana's text.
    int find(const QString &kana);
    const QString &name(int number) const { return names_[std::size_t(number)]; }
    int size() const { return int(names_.size()); }
    // Forgets the kana numbered `size` and after: those named by a line that was then
    // rejected, which would otherwise fill the table and leave later kana without a number.
    void rollBack(int size);

private:
    int findOrAdd(std::string_view utf8);
    struct Slot {
        quint64 key = 0; // the bytes of a short kana and their count; 0: free
        int number = -1;
    };
    static constexpr int slotBits = 9;
    std::vector<Slot> slots_;
    int usedSlots_ = 0;
    std::map<std::string, int, std::less<>> others_;
    std::vector<QString> names_;
    std::vector<int> slotOf_; // per kana: its slot, or -1 when it is in others_
};

// One line as the statistics take it: the entry's fields, with its time as a number and its
// kana by number, in containers that the reader fills again for every line.
struct RunLogLine : RunScalars {
    struct Miss {
        int kana; // -1 in the key levels
        char expected;
        char typed;
    };
    // Field 9 with field 11, or field 10 with field 12: a key or a kana number, the times
    // it was typed right, and their milliseconds (0 when the line has no times).
    struct Count {
        int name;
        int n;
        qint64 ms;
    };
    qint64 endedMs = 0; // since the epoch, UTC
    int offsetSeconds = 0;
    bool timed = false;   // fields 11 and 12 are there
    std::string textName; // field 13 of a run of a learner's text (level 14), UTF-8
    std::vector<Miss> misses;
    std::vector<Count> keys; // in the order of the characters' values
    std::vector<Count> kana; // in the order of the kana's texts
};

// A kana as a line writes it: its bytes up to the ':' after them, packed into one number
// with their count when there are fewer than eight (every real kana), and whether one of
// them starts a character past U+FFFF.
struct KanaToken {
    std::string_view bytes;
    quint64 packed = 0; // 0: too long to pack
    bool astral = false;
};

// Reads lines into one RunLogLine, numbering their kana in `names`.
class RunLogReader
{
public:
    explicit RunLogReader(KanaNames &names) : names_(names) {}
    // The line read (with or without its line end), valid until the next call; nullptr for a
    // line that the writer could not have written.
    const RunLogLine *read(std::string_view line);

private:
    using Fields = std::array<std::string_view, 13>;
    // The line's tab-separated fields; their number, or -1 for more than there can be.
    static int splitFields(std::string_view text, Fields &fields);
    bool readRun(const Fields &fields);
    bool readLevel(std::string_view text);
    bool readTime(std::string_view text);
    bool readMisses(std::string_view field);
    bool readCounts(std::string_view keyField, std::string_view kanaField);
    bool readTimes(std::string_view keyField, std::string_view kanaField);
    KanaNames &names_;
    RunLogLine line_;
    std::vector<KanaToken> kanaTokens_; // field 10's kana as the line writes them
};
// The entry a line read holds.
RunLogEntry entryOf(const RunLogLine &line, const KanaNames &names);
// The line an entry makes, its kana numbered in `names`.
RunLogLine lineOf(const RunLogEntry &entry, KanaNames &names);

} // namespace rinkaro
