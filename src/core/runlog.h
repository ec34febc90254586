// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

namespace rinkaro
{

// One wrong key of a run: the character expected, the one typed, and in the syllable and
// phrase levels the kana being typed ("し", "っ", "、"); empty in the key levels.
struct Miss {
    QString kana;
    char expected = 0;
    char typed = 0;
    friend bool operator==(const Miss &, const Miss &) = default;
};

// What the keys of one run were: its misses, the right keys and kana counted, and how long
// they took.
struct RunTally {
    std::vector<Miss> misses;         // in the order they happened
    std::map<char, int> rightKeys;    // expected character -> times typed right
    std::map<QString, int> kanaTyped; // syllable and phrase levels: kana -> times typed
    // Milliseconds summed over the right presses of each expected key, each timed from the
    // right key before it (the first from Start), and over the letters of each kana typed.
    // Empty for runs recorded before times were kept: their speed per key is unknown.
    std::map<char, qint64> keyMs;
    std::map<QString, qint64> kanaMs;
    friend bool operator==(const RunTally &, const RunTally &) = default;
};

// What a run leaves for the learner's history: one line of "RK.log" per run that reached
// the typing-time dialog.
struct RunLogEntry {
    QDateTime ended; // local time with its offset, whole seconds
    int level = 0;
    bool randomOrder = false;
    double seconds = 0; // one decimal
    int errors = 0;
    double score = 0; // seconds plus errors, one decimal
    bool newRecord = false;
    RunTally tally;
    friend bool operator==(const RunLogEntry &, const RunLogEntry &) = default;
};

// The line for an entry, ending in a line feed: twelve fields separated by one tab (time,
// level, o/r, seconds, errors, score, record flag, misses, right keys, kana, the right keys'
// milliseconds, the kana's milliseconds), or the first ten for a tally without times; a run
// of a learner's text (level 14) with times adds `textName`, its copy's name, as a 13th.
QByteArray formatRunLogLine(const RunLogEntry &entry, const QString &textName = {});
// An entry from one line (with or without its line end); nullopt for a line that is not
// one the writer could have written.
std::optional<RunLogEntry> parseRunLogLine(QByteArrayView line);
// Reads a whole history, one entry at a time, passing over unreadable lines; never fails.
// `keepReading`, when given, is asked before every block and stops the reading when it
// answers false. Returns the number of entries passed on.
qsizetype readRunLog(QIODevice &device, const std::function<void(const RunLogEntry &)> &onEntry,
                     const std::function<bool()> &keepReading = {});

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
    int find(std::string_view utf8, quint64 packed);
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
struct RunLogLine {
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
    int level = 0;
    bool randomOrder = false;
    double seconds = 0;
    int errors = 0;
    double score = 0;
    bool newRecord = false;
    bool timed = false; // fields 11 and 12 are there
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
    // Reads a whole history as readRunLog does, or its first `limit` bytes; returns the number
    // of lines passed on.
    qsizetype readAll(QIODevice &device, const std::function<void(const RunLogLine &)> &onLine,
                      const std::function<bool()> &keepReading = {}, qint64 limit = -1);

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

struct RunLogRead {
    enum class Status {
        Read,       // the whole history, or none yet (no file)
        NotAFile,   // a device, a pipe or a folder in its place: never opened
        Unreadable, // a plain file that cannot be opened
        Cancelled,  // `cancelled` was set
        Shrunk,     // smaller than where an earlier read ended, or cut short while it was
                    // read: replaced, and what was read is not the history
    };
    Status status = Status::Read;
    qsizetype entries = 0;
    qint64 end = 0; // the offset just past the bytes read, where a later read goes on
    // Bytes of the oldest runs passed over, in a history larger than the bound; 0 else.
    qint64 leftOut = 0;
};
// Far beyond what a learner could ever type (a million runs take under 600 MB).
constexpr qint64 largestRunLog = 1024LL * 1024 * 1024;
// Reads the history in the file at `path` from the offset `from` on (0, or the end of an
// earlier read of the same file) up to the offset `until` (a line's start; -1: the end it has
// now), only when it is a plain file. Of more than `largest` bytes, only the newest ones are
// read, from the first line that starts among them: the runs that matter most. A file that
// ends before `until` was cut meanwhile (Shrunk). Meant for a worker thread: `cancelled` may be
// set from another thread and is looked at between blocks.
RunLogRead readRunLogFile(const QString &path, KanaNames &names,
                          const std::function<void(const RunLogLine &)> &onLine,
                          const std::atomic<bool> *cancelled = nullptr,
                          qint64 largest = largestRunLog, qint64 from = 0, qint64 until = -1);
// Where readRunLogFile starts reading the file at `path` from `from` to `until` with the
// bound `largest`: `from`, or the start of the first line of the newest `largest` bytes.
qint64 runLogReadStart(const QString &path, qint64 from = 0, qint64 until = -1,
                       qint64 largest = largestRunLog);
// Appends one line to the file (created when missing) and flushes it; false when it could
// not be written or is not a plain file, which callers pass over in silence.
bool appendRunLog(const QString &path, const RunLogEntry &entry, const QString &textName = {});

} // namespace rinkaro
