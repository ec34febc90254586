// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runlogreader.h"

#include "core/levels.h"

#include <QDate>

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>

namespace rinkaro
{

namespace
{

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

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
qint64 daysFromCivil(qint64 year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// E or T of a key: one printable character, or "0x" and two lower-case hex digits for any
// other byte. Consumes from the front of text.
inline bool parseChar(Bytes &text, char &c)
{
    if (text.empty())
        return false;
    if (text[0] != '0' || text.size() < 4 || text[1] != 'x') {
        if (!printableLogByte(text[0]))
            return false;
        c = text[0];
        text.remove_prefix(1);
        return true;
    }
    const auto hex = [](char h) -> int {
        if (h >= '0' && h <= '9')
            return h - '0';
        return h >= 'a' && h <= 'f' ? h - 'a' + 10 : -1;
    };
    const int high = hex(text[2]);
    const int low = hex(text[3]);
    if (high >= 0 && low >= 0 && !printableLogByte(char(high * 16 + low))) {
        c = char(high * 16 + low);
        text.remove_prefix(4);
    } else {
        c = '0';
        text.remove_prefix(1);
    }
    return true;
}

// A character of three UTF-8 bytes, as every kana is.
bool threeByteCharacter(const unsigned char *b)
{
    return b[0] >= 0xe0 && b[0] < 0xf0 && (b[1] & 0xc0) == 0x80 && (b[2] & 0xc0) == 0x80;
}

template <std::size_t length> quint64 packed(const unsigned char *b)
{
    quint64 key = quint64(length) << 56;
    for (std::size_t i = 0; i < length; ++i)
        key |= quint64(b[i]) << (8 * i);
    return key;
}

KanaToken kanaToken(Bytes field)
{
    // Nearly every kana is one or two characters of three bytes.
    const auto *b = reinterpret_cast<const unsigned char *>(field.data());
    if (field.size() > 3 && threeByteCharacter(b)) {
        if (b[3] == ':')
            return {field.substr(0, 3), packed<3>(b), false};
        if (field.size() > 6 && b[6] == ':' && threeByteCharacter(b + 3))
            return {field.substr(0, 6), packed<6>(b), false};
    }
    KanaToken token;
    quint64 key = 0;
    std::size_t end = 0;
    for (; end < field.size() && field[end] != ':'; ++end) {
        if (end < 7)
            key |= quint64(b[end]) << (8 * end);
        token.astral |= b[end] >= 0xf0;
    }
    token.bytes = field.substr(0, end);
    token.packed = end > 0 && end < 8 ? key | quint64(end) << 56 : 0;
    return token;
}

// Whether kana `a` comes before `b` as the writer's map of texts orders them. Without
// characters past U+FFFF, UTF-8 bytes sort as the texts' UTF-16 does.
bool kanaBefore(const KanaToken &a, const KanaToken &b, const QString &textA, const QString &textB)
{
    if (a.astral || b.astral)
        return textA < textB;
    if (a.packed != 0 && b.packed != 0) {
        // The bytes in the order of their significance: zeros after the shorter one sort
        // first, and a tie is the shorter one's.
        constexpr quint64 bytes = 0x00ffffffffffffffu;
        const quint64 x = __builtin_bswap64(a.packed & bytes);
        const quint64 y = __builtin_bswap64(b.packed & bytes);
        return x < y || (x == y && a.bytes.size() < b.bytes.size());
    }
    const std::size_t common = std::min(a.bytes.size(), b.bytes.size());
    for (std::size_t i = 0; i < common; ++i)
        if (a.bytes[i] != b.bytes[i])
            return static_cast<unsigned char>(a.bytes[i]) < static_cast<unsigned char>(b.bytes[i]);
    return a.bytes.size() < b.bytes.size();
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

// After a name: ':' and one to nine digits without a leading zero (a lone "0" where `zero`
// allows it), then the field's end or one space and the next token. Moves `p` past them.
// These lists are most of a history: read in one pass, digits past the ninth never added.
inline bool readCount(const char *&p, const char *end, bool zero, int &n)
{
    if (end - p < 2 || *p != ':')
        return false;
    const char *const digits = ++p;
    std::ptrdiff_t count = 0;
    int value = 0;
    quint64 other = 0;
    if (end - digits >= 8) {
        // Eight bytes at once: a loop over digits of varying count costs a mispredicted
        // branch at nearly every count. Bytes 0-9 after the xor are digits; a byte that is no
        // digit has its top bit set after the add or before it. A carry only leaves a byte
        // that is no digit, so the lowest byte marked is the first one that is none.
        quint64 chunk = 0;
        std::memcpy(&chunk, digits, 8);
        const quint64 x = chunk ^ 0x3030303030303030u;
        other = ((x + 0x7676767676767676u) | x) & 0x8080808080808080u;
        count = other != 0 ? std::countr_zero(other) / 8 : 0;
        if (count > 0) {
            // The digits moved to the top, zeros before them, combined in pairs, fours and
            // eights.
            quint64 v = x << (64 - 8 * count);
            v = (v * 10 + (v >> 8)) & 0x00ff00ff00ff00ffu;
            v = (v * 100 + (v >> 16)) & 0x0000ffff0000ffffu;
            v = (v * 10000 + (v >> 32)) & 0xffffffffu;
            value = int(v);
        }
    }
    if (other == 0) {
        for (; digits + count < end && unsigned(digits[count] - '0') < 10u; ++count)
            if (count < 9)
                value = value * 10 + (digits[count] - '0');
    }
    p = digits + count;
    if (count == 0 || count > 9 || (*digits == '0' && (count > 1 || !zero)))
        return false;
    if (p < end && (*p != ' ' || ++p == end)) // another token, or a trailing space
        return false;
    n = value;
    return true;
}

// E or T of a key as parseChar reads it, from `p` on.
inline bool readKeyAt(const char *&p, const char *end, char &key)
{
    // Nearly every key is one printable character.
    if (*p != '0' && printableLogByte(*p)) {
        key = *p++;
        return true;
    }
    Bytes rest(p, std::size_t(end - p));
    if (!parseChar(rest, key))
        return false;
    p = rest.data();
    return true;
}

bool validKanaBytes(Bytes utf8)
{
    return !utf8.empty() && utf8.find_first_of("\t :") == Bytes::npos &&
           QByteArrayView(utf8.data(), qsizetype(utf8.size())).isValidUtf8();
}

// Far more than the drills' few dozen; a history naming more is damaged beyond that.
constexpr int mostKana = 4096;

} // namespace

KanaNames::KanaNames() : slots_(std::size_t(1) << slotBits) {}

int KanaNames::find(std::string_view utf8)
{
    quint64 key = 0;
    if (utf8.size() < 8 && !utf8.empty()) {
        key = quint64(utf8.size()) << 56;
        for (size_t i = 0; i < utf8.size(); ++i)
            key |= quint64(static_cast<unsigned char>(utf8[i])) << (8 * i);
    }
    return find(utf8, key);
}

int KanaNames::findOrAdd(std::string_view utf8)
{
    const auto add = [&]() -> int {
        if (names_.size() >= std::size_t(mostKana) || !validKanaBytes(utf8))
            return -1;
        names_.push_back(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        slotOf_.push_back(-1);
        return int(names_.size()) - 1;
    };
    // Every real kana is short: found by its bytes packed into one number.
    if (utf8.size() < 8 && !utf8.empty()) {
        quint64 key = quint64(utf8.size()) << 56;
        for (size_t i = 0; i < utf8.size(); ++i)
            key |= quint64(static_cast<unsigned char>(utf8[i])) << (8 * i);
        const quint64 mask = (1u << slotBits) - 1;
        for (quint64 i = (key * 0x9e3779b97f4a7c15u) >> (64 - slotBits);; i = (i + 1) & mask) {
            Slot &slot = slots_[i];
            if (slot.key == key)
                return slot.number;
            if (slot.key != 0)
                continue;
            if (usedSlots_ >= 3 << (slotBits - 2)) // kept sparse; the rest go below
                break;
            const int number = add();
            if (number >= 0) {
                ++usedSlots_;
                slot = {key, number};
                slotOf_[std::size_t(number)] = int(i);
            }
            return number;
        }
    }
    if (const auto it = others_.find(utf8); it != others_.end())
        return it->second;
    const int number = add();
    if (number >= 0)
        others_.emplace(std::string(utf8), number);
    return number;
}

void KanaNames::rollBack(int size)
{
    // Slots are freed newest first: a kana numbered before `size` was placed while the slots
    // freed here were still empty, so its search never passes them.
    while (int(names_.size()) > std::max(size, 0)) {
        if (const int slot = slotOf_.back(); slot >= 0) {
            slots_[std::size_t(slot)] = Slot();
            --usedSlots_;
        } else {
            others_.erase(names_.back().toStdString());
        }
        names_.pop_back();
        slotOf_.pop_back();
    }
}

int KanaNames::find(const QString &kana)
{
    const QByteArray utf8 = kana.toUtf8();
    return find(Bytes(utf8.constData(), size_t(utf8.size())));
}

// "2026-12-07T10:15:03+09:00" exactly.
bool RunLogReader::readTime(Bytes text)
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
    const qint64 wall = ((daysFromCivil(year, month, day) * 24 + hour) * 60 + minute) * 60 + second;
    line_.endedMs = (wall - offset) * 1000;
    line_.offsetSeconds = offset;
    return true;
}

const RunLogLine *RunLogReader::read(Bytes text)
{
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    Fields fields;
    const int count = splitFields(text, fields);
    // A 13th field names a learner's text: only on its level, and never empty.
    if (count != 10 && count != 12 && (count != 13 || fields[1] != "14" || fields[12].empty()))
        return nullptr;
    line_.misses.clear();
    line_.keys.clear();
    line_.kana.clear();
    line_.timed = count >= 12;
    line_.textName.assign(count == 13 ? fields[12] : Bytes());
    const int namesBefore = names_.size();
    if (!readRun(fields) || !readMisses(fields[7]) || !readCounts(fields[8], fields[9]) ||
        (line_.timed && !readTimes(fields[10], fields[11]))) {
        names_.rollBack(namesBefore);
        return nullptr;
    }
    return &line_;
}

int RunLogReader::splitFields(Bytes text, Fields &fields)
{
    int count = 0;
    for (size_t start = 0;;) {
        const size_t tab = text.find('\t', start);
        if (count == int(fields.size()))
            return -1;
        fields[std::size_t(count++)] =
            text.substr(start, tab == Bytes::npos ? Bytes::npos : tab - start);
        if (tab == Bytes::npos)
            return count;
        start = tab + 1;
    }
}

// Field 2: "1" to "9", "10" and "11" for the weak-spot drills, "12" and "13" for the text
// drills.
bool RunLogReader::readLevel(std::string_view text)
{
    int level = 0;
    if (text.size() == 2 && text[0] == '1' && isDrillLevel(10 + (text[1] - '0')))
        level = 10 + (text[1] - '0');
    else if (text.size() == 1 && text[0] >= '1' && text[0] <= '9')
        level = text[0] - '0';
    line_.level = level;
    return level != 0;
}

// Fields 1-7: time, level, order, seconds, errors, score, record.
bool RunLogReader::readRun(const Fields &fields)
{
    qint64 errors = 0;
    if (!readLevel(fields[1]) || !readTime(fields[0]) || fields[2].size() != 1 ||
        (fields[2][0] != 'o' && fields[2][0] != 'r') || !parseTenths(fields[3], line_.seconds) ||
        !parseCount(fields[4], errors) || !parseTenths(fields[5], line_.score) ||
        fields[6].size() != 1 || (fields[6][0] != '0' && fields[6][0] != '1'))
        return false;
    line_.randomOrder = fields[2][0] == 'r';
    line_.errors = int(errors);
    line_.newRecord = fields[6][0] == '1';
    return true;
}

// Field 8: "E>T" in the key levels, "K:E>T" with a kana. No token reads both ways: a ':' in
// "E>T" is its first or last character, while K is not empty and E>T follows it.
bool RunLogReader::readMisses(Bytes field)
{
    const auto readMiss = [this](Bytes token) {
        RunLogLine::Miss miss{-1, 0, 0};
        const auto keys = [&miss](Bytes rest) {
            if (!parseChar(rest, miss.expected) || rest.empty() || rest[0] != '>')
                return false;
            rest.remove_prefix(1);
            return parseChar(rest, miss.typed) && rest.empty();
        };
        if (!keys(token)) {
            const size_t colon = token.find(':');
            if (colon == Bytes::npos || !keys(token.substr(colon + 1)))
                return false;
            const KanaToken kana = kanaToken(token.substr(0, colon));
            miss.kana = names_.find(kana.bytes, kana.packed);
            if (miss.kana < 0)
                return false;
        }
        line_.misses.push_back(miss);
        return true;
    };
    return forEachToken(field, readMiss);
}

// Fields 9 and 10: keys in increasing order of their characters, kana of their texts, as
// the writer's maps hold them.
bool RunLogReader::readCounts(Bytes keyField, Bytes kanaField)
{
    const char *p = keyField.data();
    const char *end = p + keyField.size();
    while (p < end) {
        char key = 0;
        int n = 0;
        if (!readKeyAt(p, end, key) || !readCount(p, end, false, n) ||
            (!line_.keys.empty() && line_.keys.back().name >= key))
            return false;
        line_.keys.push_back({key, n, 0});
    }
    kanaTokens_.clear();
    p = kanaField.data();
    end = p + kanaField.size();
    while (p < end) {
        const KanaToken kana = kanaToken(Bytes(p, std::size_t(end - p)));
        const int name = names_.find(kana.bytes, kana.packed);
        p += kana.bytes.size();
        int n = 0;
        if (name < 0 || !readCount(p, end, false, n) ||
            (!kanaTokens_.empty() &&
             !kanaBefore(kanaTokens_.back(), kana, names_.name(line_.kana.back().name),
                         names_.name(name))))
            return false;
        line_.kana.push_back({name, n, 0});
        kanaTokens_.push_back(kana);
    }
    return true;
}

// Fields 11 and 12: the times of the same keys and kana, in the same order. A line with
// times has right keys: the writer leaves the two fields out otherwise.
bool RunLogReader::readTimes(Bytes keyField, Bytes kanaField)
{
    if (keyField.empty())
        return false;
    const char *p = keyField.data();
    const char *end = p + keyField.size();
    std::size_t timed = 0;
    for (; p < end; ++timed) {
        char key = 0;
        int ms = 0;
        if (!readKeyAt(p, end, key) || timed >= line_.keys.size() ||
            line_.keys[timed].name != key || !readCount(p, end, true, ms))
            return false;
        line_.keys[timed].ms = ms;
    }
    if (timed != line_.keys.size())
        return false;
    // The times' kana are field 10's again: their bytes are compared, not looked up.
    p = kanaField.data();
    end = p + kanaField.size();
    for (timed = 0; p < end; ++timed) {
        if (timed >= kanaTokens_.size())
            return false;
        const Bytes expected = kanaTokens_[timed].bytes;
        int ms = 0;
        const std::size_t size = expected.size();
        if (std::size_t(end - p) <= size || p[size] != ':' || Bytes(p, size) != expected)
            return false;
        p += size;
        if (!readCount(p, end, true, ms))
            return false;
        line_.kana[timed].ms = ms;
    }
    return timed == line_.kana.size();
}

RunLogLine lineOf(const RunLogEntry &entry, KanaNames &names)
{
    RunLogLine line;
    static_cast<RunScalars &>(line) = entry;
    line.endedMs = entry.ended.toMSecsSinceEpoch();
    line.offsetSeconds = entry.ended.offsetFromUtc();
    const RunTally &tally = entry.tally;
    line.timed = !tally.keyMs.empty();
    for (const Miss &miss : tally.misses)
        line.misses.push_back(
            {miss.kana.isEmpty() ? -1 : names.find(miss.kana), miss.expected, miss.typed});
    for (const auto &[key, n] : tally.rightKeys) {
        const auto ms = tally.keyMs.find(key);
        line.keys.push_back({key, n, ms != tally.keyMs.end() ? ms->second : 0});
    }
    for (const auto &[kana, n] : tally.kanaTyped) {
        const int number = names.find(kana);
        const auto ms = tally.kanaMs.find(kana);
        if (number >= 0)
            line.kana.push_back({number, n, ms != tally.kanaMs.end() ? ms->second : 0});
    }
    return line;
}

RunLogEntry entryOf(const RunLogLine &line, const KanaNames &names)
{
    RunLogEntry entry{
        line,
        QDateTime::fromMSecsSinceEpoch(line.endedMs, Qt::OffsetFromUTC, line.offsetSeconds),
        {}};
    RunTally &tally = entry.tally;
    for (const RunLogLine::Miss &miss : line.misses)
        tally.misses.push_back(
            {miss.kana >= 0 ? names.name(miss.kana) : QString(), miss.expected, miss.typed});
    for (const RunLogLine::Count &key : line.keys) {
        tally.rightKeys.emplace_hint(tally.rightKeys.end(), char(key.name), key.n);
        if (line.timed)
            tally.keyMs.emplace_hint(tally.keyMs.end(), char(key.name), key.ms);
    }
    for (const RunLogLine::Count &kana : line.kana) {
        tally.kanaTyped.emplace_hint(tally.kanaTyped.end(), names.name(kana.name), kana.n);
        if (line.timed)
            tally.kanaMs.emplace_hint(tally.kanaMs.end(), names.name(kana.name), kana.ms);
    }
    return entry;
}

} // namespace rinkaro
