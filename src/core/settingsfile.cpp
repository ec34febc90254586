// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settingsfile.h"

#include "core/regularfile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace rinkaro
{

namespace
{

// No value is anywhere near this long; a longer line is still one line, but it cannot be
// a value.
constexpr qsizetype longestValue = 4096;
// The program writes well under a kilobyte. Reading stops here, so that a file that never
// ends (a link to /dev/zero, a huge file without line ends) cannot hold up the start.
constexpr qint64 longestFile = 256 * 1024;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The reader's notion of blank: every byte below 33, so tabs and carriage returns of
// files edited elsewhere do not matter.
QByteArrayView trimmed(QByteArrayView text)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) < 33; };
    while (!text.isEmpty() && blank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text;
}

// Splits text into lines ended by LF, CRLF or a lone CR (files from old Macs).
class LineSplitter
{
public:
    explicit LineSplitter(QByteArrayView text) : text_(text) {}
    bool atEnd() const { return pos_ >= text_.size(); }
    // The next line without its line end; `ended` tells whether a line end followed it.
    QByteArrayView next(bool &ended)
    {
        qsizetype end = pos_;
        while (end < text_.size() && text_[end] != '\n' && text_[end] != '\r')
            ++end;
        const QByteArrayView line = text_.sliced(pos_, end - pos_);
        ended = end < text_.size();
        pos_ = end;
        if (ended) {
            const bool crlf =
                text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n';
            pos_ += crlf ? 2 : 1;
        }
        return line;
    }

private:
    QByteArrayView text_;
    qsizetype pos_ = 0;
};

// A score is seconds plus errors. Beyond these bounds a value cannot be written back to
// 15 digits and read again as the same number, and it is no real score anyway.
constexpr double smallestScore = 1e-300;
constexpr double largestScore = 1e300;

bool validScore(double value)
{
    return value == 0 || (value >= smallestScore && value <= largestScore);
}

// Stores the value of line `index` (0-based) when it is usable.
void applyLine(SettingsRecord &values, int index, QByteArrayView text)
{
    if (index < 11) {
        const std::optional<int> number = parseInteger(text);
        if (!number)
            return;
        if (index == 0)
            values.level = *number;
        else if (index == 1)
            values.keyColour = *number == 1;
        else if (index == 2)
            values.keyHint = *number == 1;
        else
            values.romaji[index - 3] = *number == 1;
        return;
    }
    const std::optional<double> number = parseReal(text);
    if (!number || !validScore(*number))
        return;
    const double score = *number == 0 ? 0.0 : *number; // no negative zero
    if (index < 20)
        values.orderedRecords[index - 11] = score;
    else
        values.randomRecords[index - 20] = score;
}

QChar decimalSeparator(const QLocale &locale)
{
    return locale.decimalPoint() == QLatin1String(",") ? QLatin1Char(',') : QLatin1Char('.');
}

} // namespace

std::optional<int> parseInteger(QByteArrayView text)
{
    qsizetype start = 0;
    if (!text.isEmpty() && (text.front() == '+' || text.front() == '-'))
        start = 1;
    if (start == text.size())
        return std::nullopt;
    for (qsizetype i = start; i < text.size(); ++i)
        if (!isDigit(text[i]))
            return std::nullopt;
    // from_chars takes a minus sign but not a plus sign.
    const char *first = text.data() + (text.front() == '+' ? 1 : 0);
    const char *last = text.data() + text.size();
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

std::optional<double> parseReal(QByteArrayView text)
{
    // Checked by hand first: from_chars alone would also take "inf", "nan" and forms
    // that no locale writes.
    const qsizetype size = text.size();
    qsizetype i = 0;
    if (i < size && (text[i] == '+' || text[i] == '-'))
        ++i;
    qsizetype digits = 0;
    while (i < size && isDigit(text[i]))
        ++i, ++digits;
    if (i < size && (text[i] == '.' || text[i] == ','))
        for (++i; i < size && isDigit(text[i]); ++i)
            ++digits;
    if (digits == 0)
        return std::nullopt;
    if (i < size && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < size && (text[i] == '+' || text[i] == '-'))
            ++i;
        qsizetype exponentDigits = 0;
        while (i < size && isDigit(text[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != size)
        return std::nullopt;

    std::string plain(text.data() + (text.front() == '+' ? 1 : 0), text.data() + text.size());
    for (char &c : plain)
        if (c == ',')
            c = '.';
    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size())
        return std::nullopt;
    return value;
}

namespace
{

// Lines in the text up to its last one that is not blank: blank lines at the end shift
// nothing.
int countLines(QByteArrayView text)
{
    LineSplitter lines(text);
    int count = 0;
    int lastValue = 0;
    for (bool ended = false; !lines.atEnd();) {
        ++count;
        if (!trimmed(lines.next(ended)).isEmpty())
            lastValue = count;
    }
    return lastValue;
}

// `cutShort`: the text is only the beginning of the file, so a last line without a line
// end may be the front of a longer one and is not trusted.
SettingsRecord parseText(QByteArrayView text, bool cutShort)
{
    SettingsRecord result;
    // A byte-order mark from an editor that saved the file as UTF-8.
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    // The program never writes a blank line, so a file with more lines than values (blank
    // ones at the end not counted) has blank lines inserted by hand, which must not shift
    // every later value onto the wrong line. A file of the right length is read by
    // position: a blank line there stands in for its own value.
    int blanksToSkip = std::max(0, countLines(text) - SettingsRecord::lineCount);
    LineSplitter lines(text);
    int index = 0;
    while (index < SettingsRecord::lineCount && !lines.atEnd()) {
        bool ended = false;
        const QByteArrayView line = lines.next(ended);
        const QByteArrayView value = trimmed(line);
        if (value.isEmpty() && blanksToSkip > 0) {
            --blanksToSkip;
            continue;
        }
        // Anything unusable keeps its value's default.
        const bool whole = ended || !cutShort;
        if (whole && !value.isEmpty() && line.size() <= longestValue)
            applyLine(result, index, value);
        ++index;
    }
    return result;
}

} // namespace

SettingsRecord readSettings(QIODevice &device)
{
    const QByteArray text = device.read(longestFile + 1);
    const bool cutShort = text.size() > longestFile;
    return parseText(QByteArrayView(text).first(std::min<qsizetype>(text.size(), longestFile)),
                     cutShort);
}

std::optional<SettingsRecord> readSettingsFile(const QString &path)
{
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return std::nullopt;
    return readSettings(file);
}

SettingsRecord parseSettings(QByteArrayView bytes)
{
    const bool cutShort = bytes.size() > longestFile;
    return parseText(bytes.first(std::min<qsizetype>(bytes.size(), longestFile)), cutShort);
}

QString formatGeneral(double value, const QLocale &locale)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");

    // Fifteen significant digits, correctly rounded, whatever the C library's locale.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, result.ptr - buffer); // [-]d.ddddddddddddddde±xx
    const bool negative = text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    const std::size_t e = text.find('e');
    std::string digits(1, text[0]);
    digits.append(text.substr(2, e - 2));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string_view exponentText = text.substr(e + 1);
    if (exponentText.front() == '+')
        exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    const QChar separator = decimalSeparator(locale);
    QString out;
    if (negative)
        out += QLatin1Char('-');
    if (exponent >= -5 && exponent < 15) {
        std::string whole, fraction;
        if (exponent >= 0) {
            const std::size_t wholeDigits = std::size_t(exponent) + 1;
            whole = digits.substr(0, wholeDigits);
            whole.resize(wholeDigits, '0');
            if (digits.size() > wholeDigits)
                fraction = digits.substr(wholeDigits);
        } else {
            whole = "0";
            fraction = std::string(std::size_t(-exponent - 1), '0') + digits;
        }
        out += QLatin1String(whole.data(), qsizetype(whole.size()));
        if (!fraction.empty())
            out += separator + QLatin1String(fraction.data(), qsizetype(fraction.size()));
    } else {
        out += QLatin1Char(digits[0]);
        if (digits.size() > 1)
            out += separator + QLatin1String(digits.data() + 1, qsizetype(digits.size() - 1));
        out += QLatin1Char('E') + QString::number(exponent);
    }
    return out;
}

QByteArray formatSettings(const SettingsRecord &values, const QLocale &locale)
{
    auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    QString text;
    auto addLine = [&text](const QString &line) {
        text += line;
        text += QLatin1Char('\n');
    };
    addLine(QString::number(values.level));
    addLine(flag(values.keyColour));
    addLine(flag(values.keyHint));
    for (bool second : values.romaji)
        addLine(flag(second));
    for (double score : values.orderedRecords)
        addLine(formatGeneral(score, locale));
    for (double score : values.randomRecords)
        addLine(formatGeneral(score, locale));
    return text.toLatin1();
}

void mergeRecords(SettingsRecord &mine, const SettingsRecord &onDisk)
{
    auto better = [](double a, double b) {
        if (!(a > 0))
            return b > 0 ? b : 0.0;
        return b > 0 && b < a ? b : a;
    };
    for (std::size_t k = 0; k < mine.orderedRecords.size(); ++k) {
        mine.orderedRecords[k] = better(mine.orderedRecords[k], onDisk.orderedRecords[k]);
        mine.randomRecords[k] = better(mine.randomRecords[k], onDisk.randomRecords[k]);
    }
}

SettingsSave saveSettingsKeepingRecords(const QString &path, const SettingsRecord &mine,
                                        const QLocale &locale, int lockWaitMs)
{
    SettingsSave save{mine, false};
    if (fileKind(path) == FileKind::Other)
        return save; // not even a lock beside a device or a folder
    // The folder's lock: copies saving into one folder take turns.
    const FileLock lock(resolvedFolder(path), lockWaitMs);
    if (lock.held())
        removeLeftoverTemporaries(path);
    if (const std::optional<SettingsRecord> onDisk = readSettingsFile(path))
        mergeRecords(save.values, *onDisk);
    save.saved = replaceRegularFile(path, formatSettings(save.values, locale));
    return save;
}

} // namespace rinkaro
