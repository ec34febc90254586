// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/language.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace rinkaro
{

// "RK.ini", beside RK.set: the options that RK.set has no line for, as groups of keys
// ("[input]" then "freeRomaji=true"). Every value is one line of text after its '=', blanks
// around it left out. Read and written only when it is a plain file (or, for a write,
// missing), and never larger than largestIniFile; a file that is not clean INI is read as
// empty and never written.

// Far more than the few options there are; a larger file is not one this program wrote.
inline constexpr qsizetype largestIniFile = 64 * 1024;

// The text of an options file, kept as it is: setting a value changes that value's own line
// or adds one, and nothing else, so comments, groups and keys the program does not know, and
// the file's line ends, stay as they were.
class IniText
{
public:
    // nullopt for text that is not clean INI: larger than largestIniFile, not UTF-8, with a
    // control character (a NUL, a lone carriage return) or a line that is neither blank, a
    // comment (';' or '#'), a "[group]" nor "key=value".
    static std::optional<IniText> parse(QByteArrayView text);

    // The value of `key` in `group` (of the last of them where there are several); nullopt
    // when there is none. Keys before the first group are in the group "".
    std::optional<QString> value(QStringView group, QStringView key) const;
    // Sets the value, adding the key (at the end of its group) or the group (at the end of
    // the text) where needed. False, with nothing changed, for a name or a value that a line
    // cannot hold as it is: empty names, line breaks and other control characters, blanks at
    // either end, '=' or a leading '[', ';' or '#' in a key, brackets in a group.
    bool setValue(const QString &group, const QString &key, const QString &value);
    const QByteArray &text() const { return text_; }

private:
    struct Line {
        qsizetype end = 0;  // of its text, before its line end
        qsizetype next = 0; // of the next line
        int group = -1;     // index into groups_ of the group the line is in (-1: before any)
        bool header = false;
        bool blank = false; // blank or a comment
        QString key;
        qsizetype valueStart = 0;
    };
    bool index();
    QByteArray lineEnd() const;

    QByteArray text_;
    std::vector<Line> lines_;
    std::vector<QString> groups_; // the name of every "[group]" line, in order
};

// The options file at `path`; an empty one when it is missing, nullopt when it is not a plain
// file (never opened then), cannot be read or is not clean INI.
std::optional<IniText> readIniFile(const QString &path);

struct IniValue {
    QString group;
    QString key;
    QString value;
};
// Sets the values in the file at `path` (made when missing), keeping everything else. The
// read and the write hold the folder's lock, given up after `lockWaitMs` as RK.set's save
// does, so that another copy's keys are not lost. Nothing is written over anything but a
// plain file, nor over a file that is not clean INI, nor when no value changes, nor when the
// values would take it past largestIniFile. Returns whether the file holds the values.
bool saveIniValues(const QString &path, const std::vector<IniValue> &values, int lockWaitMs = 1500);

// The input options kept in RK.ini.
struct InputOptions {
    bool freeRomaji = false; // every input method's spelling is right
    bool favourWeak = false; // random runs of the nine levels draw weak items more often
    friend bool operator==(const InputOptions &, const InputOptions &) = default;
};

// The options of the file at `path`; the defaults where readIniFile has nothing.
InputOptions readInputOptions(const QString &path);
// Writes the options into the file at `path` as saveIniValues does.
bool saveInputOptions(const QString &path, const InputOptions &options);

// [interface] language: the interface's language from the next start ("ja", "en", or the
// desktop's). Read and written with the same care as the options above, on its own, so that
// saving one never resets the other.
LanguageChoice readLanguageChoice(const QString &path);
bool saveLanguageChoice(const QString &path, LanguageChoice choice);

} // namespace rinkaro
