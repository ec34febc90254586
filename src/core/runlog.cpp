// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runlog.h"

#include "core/levels.h"
#include "core/regularfile.h"
#include "core/runlogreader.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <utility>

namespace rinkaro
{

namespace
{

constexpr qint64 maxCount = 999'999'999; // nine digits: far beyond any run, and fits an int
constexpr qint64 maxTenths = maxCount * 10 + 9;
constexpr int maxOffsetSecs = (23 * 60 + 59) * 60;
constexpr char hexDigits[] = "0123456789abcdef";

void appendChar(QByteArray &out, char c)
{
    // Space, controls and bytes past ASCII would be unreadable or split a field.
    if (printableLogByte(c)) {
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

template <typename Value> void appendKeyField(QByteArray &out, const RunTally &tally, Value value)
{
    out += '\t';
    bool first = true;
    for (const auto &[key, n] : tally.rightKeys) {
        if (n <= 0)
            continue;
        if (!std::exchange(first, false))
            out += ' ';
        appendChar(out, key);
        out += ':';
        appendNumber(out, value(key, n));
    }
}

// A field of "K:n" tokens, one for each kana typed that a line can name.
template <typename Value> void appendKanaField(QByteArray &out, const RunTally &tally, Value value)
{
    out += '\t';
    bool first = true;
    for (const auto &[kana, n] : tally.kanaTyped) {
        const QByteArray bytes = kanaBytes(kana);
        if (n <= 0 || bytes.isEmpty())
            continue;
        if (!std::exchange(first, false))
            out += ' ';
        out += bytes;
        out += ':';
        appendNumber(out, value(kana, n));
    }
}

} // namespace

QByteArray formatRunLogLine(const RunLogEntry &entry, const QString &textName)
{
    QByteArray out;
    out.reserve(256);
    if (!isDrillLevel(entry.level) || !appendTime(out, entry.ended))
        return {};
    out += '\t';
    out += QByteArray::number(entry.level);
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

    // The times name the keys and kana of the two counts before, in the same order.
    const auto count = [](const auto &, int n) { return clampedCount(n); };
    appendKeyField(out, tally, count);
    appendKanaField(out, tally, count);
    const bool timed =
        !tally.keyMs.empty() && std::any_of(tally.rightKeys.begin(), tally.rightKeys.end(),
                                            [](const auto &key) { return key.second > 0; });
    if (timed) {
        const auto msIn = [](const auto &times) {
            return [&times](const auto &name, int) {
                const auto found = times.find(name);
                return found != times.end() ? clampedCount(found->second) : 0;
            };
        };
        appendKeyField(out, tally, msIn(tally.keyMs));
        appendKanaField(out, tally, msIn(tally.kanaMs));
        if (entry.level == ownTextLevel && !textName.trimmed().isEmpty()) {
            QString name = textName;
            for (QChar &ch : name)
                if (ch.category() == QChar::Other_Control)
                    ch = u' ';
            out += '\t';
            out += name.toUtf8();
        }
    }
    out += '\n';
    return out;
}

std::optional<RunLogEntry> parseRunLogLine(QByteArrayView line)
{
    KanaNames names;
    RunLogReader reader(names);
    if (const RunLogLine *read = reader.read(std::string_view(line.data(), size_t(line.size()))))
        return entryOf(*read, names);
    return std::nullopt;
}
bool appendRunLog(const QString &path, const RunLogEntry &entry, const QString &textName)
{
    const QByteArray line = formatRunLogLine(entry, textName);
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

} // namespace rinkaro
