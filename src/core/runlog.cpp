#include "core/runlog.h"

#include "core/regularfile.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace
{

constexpr int fieldCount = 10;
constexpr qint64 maxCount = 999'999'999; // nine digits: far beyond any run, and fits an int
constexpr qint64 maxTenths = maxCount * 10 + 9;
constexpr int maxOffsetSecs = (23 * 60 + 59) * 60;
constexpr char hexDigits[] = "0123456789abcdef";

bool printable(char c)
{
    return c > ' ' && c < 0x7f;
}

void appendChar(QByteArray &out, char c)
{
    // Space, controls and bytes past ASCII would be unreadable or split a field.
    if (printable(c)) {
        out += c;
        return;
    }
    const auto byte = static_cast<unsigned char>(c);
    out += "0x";
    out += hexDigits[byte >> 4];
    out += hexDigits[byte & 0xf];
}

void appendNumber(QByteArray &out, qint64 value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void appendDigits(QByteArray &out, int value, int width)
{
    char buffer[8];
    for (int p = width - 1; p >= 0; --p, value /= 10)
        buffer[p] = char('0' + value % 10);
    out.append(buffer, width);
}

qint64 clampedCount(qint64 value)
{
    return std::clamp<qint64>(value, 0, maxCount);
}

// Written from whole tenths, so that neither the locale nor the binary fraction shows.
void appendTenths(QByteArray &out, double value)
{
    const qint64 tenths = std::isfinite(value)
                              ? qint64(std::llround(std::clamp(value * 10, 0.0, double(maxTenths))))
                              : 0;
    appendNumber(out, tenths / 10);
    out += '.';
    out += char('0' + tenths % 10);
}

// A kana naming a field's separator could not be read back; it is left out instead.
QByteArray kanaBytes(const QString &kana)
{
    QByteArray bytes = kana.toUtf8();
    for (char c : bytes)
        if (c == '\t' || c == ' ' || c == ':' || c == '\n')
            return {};
    return bytes;
}

bool appendTime(QByteArray &out, const QDateTime &ended)
{
    if (!ended.isValid())
        return false;
    // ISO 8601 offsets are whole minutes. A zero offset makes Qt switch to UTC, whose ISO
    // form is "Z": the offset is written here so that it always reads "+hh:mm".
    int offset = ended.offsetFromUtc();
    offset -= offset % 60;
    if (std::abs(offset) > maxOffsetSecs)
        return false;
    const QDateTime wall = ended.toOffsetFromUtc(offset);
    const QDate date = wall.date();
    const QTime time = wall.time();
    if (date.year() < 1 || date.year() > 9999)
        return false;
    const int magnitude = std::abs(offset) / 60;
    const int parts[] = {date.year(),   date.month(),  date.day(),     time.hour(),
                         time.minute(), time.second(), magnitude / 60, magnitude % 60};
    const char separators[] = {'-', '-', 'T', ':', ':', offset < 0 ? '-' : '+', ':'};
    for (int i = 0; i < 8; ++i) {
        if (i > 0)
            out += separators[i - 1];
        appendDigits(out, parts[i], i == 0 ? 4 : 2);
    }
    return true;
}

using Bytes = std::string_view;

// Digits only, no sign, no leading zero, at most nine of them.
bool parseCount(Bytes text, qint64 &value)
{
    if (text.empty() || text.size() > 9 || (text[0] == '0' && text.size() > 1))
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool parseTenths(Bytes text, double &value)
{
    qint64 whole = 0;
    if (text.size() < 3 || text[text.size() - 2] != '.' ||
        !parseCount(text.substr(0, text.size() - 2), whole))
        return false;
    const char tenth = text.back();
    if (tenth < '0' || tenth > '9')
        return false;
    value = double(whole * 10 + (tenth - '0')) / 10;
    return true;
}

// "2026-12-07T10:15:03+09:00" exactly.
bool parseTime(Bytes text, QDateTime &ended)
{
    constexpr Bytes shape = "dddd-dd-ddTdd:dd:dd+dd:dd";
    if (text.size() != shape.size())
        return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        const char c = text[i];
        const bool ok = shape[i] == 'd'   ? c >= '0' && c <= '9'
                        : shape[i] == '+' ? c == '+' || c == '-'
                                          : c == shape[i];
        if (!ok)
            return false;
    }
    const auto number = [text](size_t pos, size_t length) {
        int value = 0;
        for (char c : text.substr(pos, length))
            value = value * 10 + (c - '0');
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    const int offsetHours = number(20, 2), offsetMinutes = number(23, 2);
    const int offset = (offsetHours * 60 + offsetMinutes) * 60 * (text[19] == '-' ? -1 : 1);
    // The writer puts a zero offset as "+00:00" only.
    if (year < 1 || !QDate::isValid(year, month, day) || hour > 23 || minute > 59 || second > 59 ||
        offsetHours > 23 || offsetMinutes > 59 || (offset == 0 && text[19] == '-'))
        return false;
    ended =
        QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::OffsetFromUTC, offset);
    return ended.isValid();
}

// E or T of a key: one printable character, or "0x" and two lower-case hex digits for any
// other byte. Consumes from the front of text.
bool parseChar(Bytes &text, char &c)
{
    if (text.empty())
        return false;
    if (text.size() >= 4 && text[0] == '0' && text[1] == 'x') {
        const auto hex = [](char h) -> int {
            if (h >= '0' && h <= '9')
                return h - '0';
            return h >= 'a' && h <= 'f' ? h - 'a' + 10 : -1;
        };
        const int high = hex(text[2]);
        const int low = hex(text[3]);
        if (high >= 0 && low >= 0 && !printable(char(high * 16 + low))) {
            c = char(high * 16 + low);
            text.remove_prefix(4);
            return true;
        }
    }
    if (!printable(text[0]))
        return false;
    c = text[0];
    text.remove_prefix(1);
    return true;
}

// Calls onToken for each space-separated token of a field; false at an empty token or
// when onToken refuses one.
template <typename OnToken> bool forEachToken(Bytes field, OnToken onToken)
{
    while (!field.empty()) {
        const size_t space = field.find(' ');
        const Bytes token = field.substr(0, space);
        if (token.empty() || !onToken(token))
            return false;
        if (space == Bytes::npos)
            break;
        field.remove_prefix(space + 1);
        if (field.empty()) // a trailing space
            return false;
    }
    return true;
}

// Calls onCount(name, n) for each "name:n" of a field, separated by single spaces; n has
// one to nine digits, no leading zero and is not 0. readName consumes a name from the front
// of the field. Read in one pass, as these lists are most of a history.
template <typename Name, typename ReadName, typename OnCount>
bool forEachCount(Bytes field, ReadName readName, OnCount onCount)
{
    while (!field.empty()) {
        Name name;
        if (!readName(field, name) || field.size() < 2 || field[0] != ':' || field[1] == '0')
            return false;
        qint64 n = 0;
        size_t end = 1;
        for (; end < field.size() && field[end] != ' '; ++end) {
            const char c = field[end];
            if (c < '0' || c > '9' || end > 9)
                return false;
            n = n * 10 + (c - '0');
        }
        if (end == 1 || !onCount(name, int(n)))
            return false;
        field.remove_prefix(end);
        if (!field.empty()) {
            field.remove_prefix(1);
            if (field.empty()) // a trailing space
                return false;
        }
    }
    return true;
}

// The text of each kana is made once per history: a history names a few dozen kana, each
// thousands of times. The short ones (every real kana) are found by their bytes packed
// into one number.
class KanaCache
{
public:
    // The kana's text, valid until the next call; nullptr for no kana.
    const QString *find(Bytes utf8);

private:
    struct Slot {
        quint64 key = 0; // 0: free
        QString text;
    };
    static constexpr int slotBits = 9;
    std::vector<Slot> slots_ = std::vector<Slot>(1 << slotBits);
    int used_ = 0;
    std::map<std::string, QString, std::less<>> others_;
    QString uncached_; // past the limit of others_, so that no file can fill the memory
};

const QString *KanaCache::find(Bytes utf8)
{
    const auto make = [utf8] { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); };
    const auto valid = [utf8] {
        return !utf8.empty() && utf8.find_first_of("\t :") == Bytes::npos &&
               QByteArrayView(utf8.data(), qsizetype(utf8.size())).isValidUtf8();
    };
    if (utf8.size() < 8 && !utf8.empty()) {
        quint64 key = quint64(utf8.size()) << 56;
        for (size_t i = 0; i < utf8.size(); ++i)
            key |= quint64(static_cast<unsigned char>(utf8[i])) << (8 * i);
        const quint64 mask = (1u << slotBits) - 1;
        for (quint64 i = (key * 0x9e3779b97f4a7c15u) >> (64 - slotBits);; i = (i + 1) & mask) {
            Slot &slot = slots_[i];
            if (slot.key == key)
                return &slot.text;
            if (slot.key != 0)
                continue;
            if (used_ >= 3 << (slotBits - 2)) // kept sparse; the rest go below
                break;
            if (!valid())
                return nullptr;
            ++used_;
            slot.key = key;
            slot.text = make();
            return &slot.text;
        }
    }
    auto it = others_.find(utf8);
    if (it != others_.end())
        return &it->second;
    if (!valid())
        return nullptr;
    if (others_.size() >= 4096) {
        uncached_ = make();
        return &uncached_;
    }
    return &others_.emplace(std::string(utf8), make()).first->second;
}

// Fills a map again from keys given in increasing order, as the writer lists them, keeping
// the nodes of the keys it held before: one line's tally is mostly the last one's keys.
template <typename Map> class MapRefill
{
public:
    explicit MapRefill(Map &map) : map_(map), next_(map.begin()) {}
    // False for a key not above the one before.
    bool add(const typename Map::key_type &key, int n)
    {
        // The common case, the key that came next last time, needs no comparison of texts.
        if (next_ != map_.end() && same(next_->first, key)) {
            next_->second = n;
            previous_ = next_++;
            return true;
        }
        if (previous_ != map_.end() && !(previous_->first < key))
            return false;
        while (next_ != map_.end() && next_->first < key)
            next_ = map_.erase(next_);
        if (next_ != map_.end() && !(key < next_->first)) {
            next_->second = n;
            previous_ = next_++;
        } else {
            previous_ = map_.emplace_hint(next_, key, n);
        }
        return true;
    }
    void finish() { map_.erase(next_, map_.end()); }

private:
    static bool same(char a, char b) { return a == b; }
    // Kana from the cache share their text.
    static bool same(const QString &a, const QString &b)
    {
        return a.constData() == b.constData() && a.size() == b.size();
    }

    Map &map_;
    typename Map::iterator next_;
    typename Map::iterator previous_ = map_.end();
};

// Reads every line of a level into the same entry, so that its containers keep their
// memory and mostly their keys from one run to the next.
class LineReader
{
public:
    // The entry read, valid until the next call; nullptr for a line the writer could not
    // have written.
    const RunLogEntry *read(Bytes line);

private:
    KanaCache kanaCache_;
    std::array<RunLogEntry, 10> entries_;
    // Fields 9 and 10 as each level's entry holds them: ordered runs of a level repeat them.
    std::array<std::string, 10> counts_;
};

const RunLogEntry *LineReader::read(Bytes line)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);

    std::array<Bytes, fieldCount> fields;
    int count = 0;
    for (size_t start = 0;;) {
        const size_t tab = line.find('\t', start);
        if (count == fieldCount)
            return nullptr;
        fields[count++] = line.substr(start, tab == Bytes::npos ? Bytes::npos : tab - start);
        if (tab == Bytes::npos)
            break;
        start = tab + 1;
    }
    if (count != fieldCount)
        return nullptr;

    if (fields[1].size() != 1 || fields[1][0] < '1' || fields[1][0] > '9')
        return nullptr;
    RunLogEntry &entry = entries_[fields[1][0] - '0'];
    RunTally &tally = entry.tally;
    tally.misses.clear();

    qint64 errors = 0;
    if (!parseTime(fields[0], entry.ended) || fields[2].size() != 1 ||
        (fields[2][0] != 'o' && fields[2][0] != 'r') || !parseTenths(fields[3], entry.seconds) ||
        !parseCount(fields[4], errors) || !parseTenths(fields[5], entry.score) ||
        fields[6].size() != 1 || (fields[6][0] != '0' && fields[6][0] != '1'))
        return nullptr;
    entry.level = fields[1][0] - '0';
    entry.randomOrder = fields[2][0] == 'r';
    entry.errors = int(errors);
    entry.newRecord = fields[6][0] == '1';

    // "E>T" in the key levels, "K:E>T" with a kana. No token reads both ways: a ':' in
    // "E>T" is its first or last character, while K is not empty and E>T follows it.
    const auto readMiss = [&](Bytes token) {
        Miss miss;
        const auto keys = [&miss](Bytes rest) {
            if (!parseChar(rest, miss.expected) || rest.empty() || rest[0] != '>')
                return false;
            rest.remove_prefix(1);
            return parseChar(rest, miss.typed) && rest.empty();
        };
        if (!keys(token)) {
            const size_t colon = token.find(':');
            const QString *k =
                colon == Bytes::npos ? nullptr : kanaCache_.find(token.substr(0, colon));
            if (!k || !keys(token.substr(colon + 1)))
                return false;
            miss.kana = *k;
        }
        tally.misses.push_back(std::move(miss));
        return true;
    };
    MapRefill rightKeys(tally.rightKeys);
    MapRefill kanaTyped(tally.kanaTyped);
    const auto readKey = [](Bytes &field, char &key) { return parseChar(field, key); };
    const auto readKana = [this](Bytes &field, const QString *&kana) {
        size_t end = 0;
        while (end < field.size() && field[end] != ':' && field[end] != ' ')
            ++end;
        kana = kanaCache_.find(field.substr(0, end));
        field.remove_prefix(end);
        return kana != nullptr;
    };
    const Bytes counts(fields[8].data(),
                       size_t(fields[9].data() + fields[9].size() - fields[8].data()));
    std::string &heldCounts = counts_[entry.level];
    if (!forEachToken(fields[7], readMiss))
        return nullptr;
    if (counts == heldCounts)
        return &entry;
    heldCounts.clear();
    if (!forEachCount<char>(fields[8], readKey,
                            [&](char key, int n) { return rightKeys.add(key, n); }) ||
        !forEachCount<const QString *>(
            fields[9], readKana, [&](const QString *k, int n) { return kanaTyped.add(*k, n); }))
        return nullptr;
    rightKeys.finish();
    kanaTyped.finish();
    heldCounts = counts;
    return &entry;
}

constexpr qsizetype blockSize = 1 << 20;
// Longer than any line a run could leave; a longer one is passed over without being held.
constexpr qsizetype maxLineSize = 1 << 20;

} // namespace

QByteArray formatRunLogLine(const RunLogEntry &entry)
{
    QByteArray out;
    out.reserve(256);
    if (entry.level < 1 || entry.level > 9 || !appendTime(out, entry.ended))
        return {};
    out += '\t';
    out += char('0' + entry.level);
    out += '\t';
    out += entry.randomOrder ? 'r' : 'o';
    out += '\t';
    appendTenths(out, entry.seconds);
    out += '\t';
    appendNumber(out, clampedCount(entry.errors));
    out += '\t';
    appendTenths(out, entry.score);
    out += '\t';
    out += entry.newRecord ? '1' : '0';

    const RunTally &tally = entry.tally;
    out += '\t';
    bool first = true;
    for (const Miss &miss : tally.misses) {
        if (!std::exchange(first, false))
            out += ' ';
        const QByteArray kana = kanaBytes(miss.kana);
        if (!kana.isEmpty()) {
            out += kana;
            out += ':';
        }
        appendChar(out, miss.expected);
        out += '>';
        appendChar(out, miss.typed);
    }
    out += '\t';
    first = true;
    for (const auto &[key, n] : tally.rightKeys) {
        if (n <= 0)
            continue;
        if (!std::exchange(first, false))
            out += ' ';
        appendChar(out, key);
        out += ':';
        appendNumber(out, clampedCount(n));
    }
    out += '\t';
    first = true;
    for (const auto &[kana, n] : tally.kanaTyped) {
        const QByteArray bytes = kanaBytes(kana);
        if (n <= 0 || bytes.isEmpty())
            continue;
        if (!std::exchange(first, false))
            out += ' ';
        out += bytes;
        out += ':';
        appendNumber(out, clampedCount(n));
    }
    out += '\n';
    return out;
}

std::optional<RunLogEntry> parseRunLogLine(QByteArrayView line)
{
    LineReader reader;
    if (const RunLogEntry *entry = reader.read(Bytes(line.data(), size_t(line.size()))))
        return *entry;
    return std::nullopt;
}

qsizetype readRunLog(QIODevice &device, const std::function<void(const RunLogEntry &)> &onEntry,
                     const std::function<bool()> &keepReading)
{
    LineReader reader;
    qsizetype entries = 0;
    // A short history is read in one block no larger than itself.
    const qint64 available = device.isSequential() ? 0 : device.bytesAvailable();
    const qsizetype chunk = available > 0 && available < blockSize ? available + 1 : blockSize;
    QByteArray buffer;
    qsizetype held = 0;        // bytes of an unfinished line at the front of the buffer
    bool skippingLine = false; // the rest of an overlong line is being passed over
    const auto take = [&](Bytes line) {
        if (const RunLogEntry *entry = reader.read(line)) {
            ++entries;
            onEntry(*entry);
        }
    };
    for (;;) {
        if (keepReading && !keepReading())
            return entries;
        if (buffer.size() < held + chunk)
            buffer.resize(held + chunk);
        const qint64 got = device.read(buffer.data() + held, chunk);
        if (got <= 0)
            break;
        const char *data = buffer.constData();
        const qsizetype end = held + got;
        qsizetype start = 0;
        while (const void *found = std::memchr(data + start, '\n', size_t(end - start))) {
            const qsizetype newline = static_cast<const char *>(found) - data;
            if (!skippingLine)
                take(Bytes(data + start, size_t(newline - start)));
            skippingLine = false;
            start = newline + 1;
        }
        held = end - start;
        if (held > maxLineSize || skippingLine) {
            skippingLine = true;
            held = 0;
        } else {
            std::memmove(buffer.data(), data + start, size_t(held));
        }
    }
    // The last line may lack its line feed.
    if (held > 0 && !skippingLine)
        take(Bytes(buffer.constData(), size_t(held)));
    return entries;
}

bool appendRunLog(const QString &path, const RunLogEntry &entry)
{
    const QByteArray line = formatRunLogLine(entry);
    if (line.isEmpty())
        return false;
    // Unbuffered and in append mode, the line goes out in one write at the end of the file,
    // whatever a second copy of the program appends meanwhile.
    QFile file;
    const bool readable = openRegularFile(
        file, path, QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered);
    if (!readable &&
        !openRegularFile(file, path,
                         QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    QByteArray out;
    char last = '\n';
    // A line cut short by a crash would swallow this one: it is ended first.
    if (readable && file.size() > 0 && file.seek(file.size() - 1) && file.getChar(&last) &&
        last != '\n')
        out += '\n';
    out += line;
    return file.write(out) == out.size() && file.flush();
}

RunLogRead readRunLogFile(const QString &path,
                          const std::function<void(const RunLogEntry &)> &onEntry,
                          const std::atomic<bool> *cancelled, qint64 largest)
{
    RunLogRead result;
    switch (fileKind(path)) {
    case FileKind::Missing:
        return result; // no runs yet
    case FileKind::Other:
        result.status = RunLogRead::Status::NotAFile;
        return result;
    case FileKind::Regular:
        break;
    }
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly)) {
        result.status = RunLogRead::Status::Unreadable;
        return result;
    }
    if (file.size() > largest) {
        result.status = RunLogRead::Status::TooLarge;
        return result;
    }
    // The file may grow while it is read: the bound holds for what is read.
    const auto keepReading = [&] {
        if (cancelled && cancelled->load(std::memory_order_relaxed)) {
            result.status = RunLogRead::Status::Cancelled;
            return false;
        }
        if (file.pos() > largest) {
            result.status = RunLogRead::Status::TooLarge;
            return false;
        }
        return true;
    };
    result.entries = readRunLog(file, onEntry, keepReading);
    return result;
}
