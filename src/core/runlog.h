#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QIODevice;

// One wrong key of a run: the character expected, the one typed, and in the syllable and
// phrase levels the kana being typed ("し", "っ", "、"); empty in the key levels.
struct Miss {
    QString kana;
    char expected = 0;
    char typed = 0;
    friend bool operator==(const Miss &, const Miss &) = default;
};

// What the keys of one run were: its misses, and the right keys and kana, counted.
struct RunTally {
    std::vector<Miss> misses;         // in the order they happened
    std::map<char, int> rightKeys;    // expected character -> times typed right
    std::map<QString, int> kanaTyped; // syllable and phrase levels: kana -> times typed
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

// The line for an entry, ending in a line feed: ten fields separated by one tab
// (time, level, o/r, seconds, errors, score, record flag, misses, right keys, kana).
QByteArray formatRunLogLine(const RunLogEntry &entry);
// An entry from one line (with or without its line end); nullopt for a line that is not
// one the writer could have written.
std::optional<RunLogEntry> parseRunLogLine(QByteArrayView line);
// Reads a whole history, one entry at a time, passing over unreadable lines; never fails.
// `keepReading`, when given, is asked before every block and stops the reading when it
// answers false. Returns the number of entries passed on.
qsizetype readRunLog(QIODevice &device, const std::function<void(const RunLogEntry &)> &onEntry,
                     const std::function<bool()> &keepReading = {});

struct RunLogRead {
    enum class Status {
        Read,       // the whole history, or none yet (no file)
        NotAFile,   // a device, a pipe or a folder in its place: never opened
        Unreadable, // a plain file that cannot be opened
        TooLarge,   // larger than the bound: reading stopped there
        Cancelled,  // `cancelled` was set
    };
    Status status = Status::Read;
    qsizetype entries = 0;
};
// Far beyond what a learner could ever type (a million runs take under 300 MB).
constexpr qint64 largestRunLog = 512LL * 1024 * 1024;
// Reads the history in the file at `path`, only when it is a plain file no larger than
// `largest`. Meant for a worker thread: `cancelled` may be set from another thread and is
// looked at between blocks.
RunLogRead readRunLogFile(const QString &path,
                          const std::function<void(const RunLogEntry &)> &onEntry,
                          const std::atomic<bool> *cancelled = nullptr,
                          qint64 largest = largestRunLog);
// Appends one line to the file (created when missing) and flushes it; false when it could
// not be written or is not a plain file, which callers pass over in silence.
bool appendRunLog(const QString &path, const RunLogEntry &entry);
