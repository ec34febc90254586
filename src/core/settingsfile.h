// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/levels.h"
#include "core/romaji.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>

class QIODevice;

namespace rinkaro
{

// What "RK.set" carries from one run to the next, with the values a first start uses.
struct SettingsRecord {
    static constexpr int lineCount = 29;

    int level = 1;
    bool keyColour = false;
    bool keyHint = true;
    // Whether the second (alternative) button of each romaji group is selected, in file
    // order: shi, tsi, tsu, fu, ji, sya, jya, tya.
    RomajiChoices romaji{};
    // The best score of each level, level 1 first, of ordered and of random runs; lower
    // is better, 0 means no record.
    std::array<double, levelCount> orderedRecords{};
    std::array<double, levelCount> randomRecords{};

    friend bool operator==(const SettingsRecord &, const SettingsRecord &) = default;
};

// Reads the settings text. Never fails: every line that is missing or unusable leaves its
// value at the default and the lines after it are read as usual. LF, CRLF and a lone CR
// each end a line. Blank lines are passed over as far as the file has more than 29 lines
// (blank lines at its end not counted); in a file of 29 lines a blank line keeps its value's
// default. Only the first 256 KiB are read: values beyond them keep their defaults.
SettingsRecord parseSettings(QByteArrayView bytes);
// The same from a device, reading no more than those 256 KiB.
SettingsRecord readSettings(QIODevice &device);
// The values of the file at `path`, or nullopt when it is not a plain file that can be
// opened for reading (a pipe or a device is never opened).
std::optional<SettingsRecord> readSettingsFile(const QString &path);

// The 29 lines, each ending in a line feed, numbers with the locale's decimal separator.
QByteArray formatSettings(const SettingsRecord &values, const QLocale &locale = QLocale());

// Two copies of the program may share one folder, and each writes the whole file: before a
// save, each level of each record table keeps the better of this copy's record and the one
// in the file on disk (the lower positive score; 0, and anything the reader rejected,
// count as no record). The other values stay this copy's.
void mergeRecords(SettingsRecord &mine, const SettingsRecord &onDisk);

struct SettingsSave {
    SettingsRecord values; // what was saved: this copy's values with the better records
    bool saved = false;    // false for a file that cannot be written, passed over in silence
};
// Saves this copy's values with the better records of this copy and of the file on disk.
// The read, the merge and the write hold the lock of the file's folder, so that
// copies saving at the same moment (a logout) keep each other's records; a lock not had
// within `lockWaitMs` is given up and the save goes ahead without it rather than hold up
// the logout. The file is replaced only once the new text is completely written, and only
// when it is a plain file or missing.
SettingsSave saveSettingsKeepingRecords(const QString &path, const SettingsRecord &mine,
                                        const QLocale &locale = QLocale(), int lockWaitMs = 1500);

// A real number in the general format with 15 significant digits: the shortest fixed-point
// form without trailing zeros, or the exponent form d.dddEx ("1E15", "9.9E-6") when the
// decimal exponent is 15 or more or below -5. Only '.' or ',' is used as decimal separator
// (another locale separator becomes '.'). NaN and infinity come out as "NAN" and "INF",
// which the reader takes as no record.
QString formatGeneral(double value, const QLocale &locale = QLocale());

// An optionally signed decimal integer, nothing else.
std::optional<int> parseInteger(QByteArrayView text);
// A decimal real with '.' or ',' as separator and an optional exponent; no group
// separators, no "inf" or "nan", no hexadecimal.
std::optional<double> parseReal(QByteArrayView text);

} // namespace rinkaro
