// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Settings texts shared by the suites of the settings file and of loading and saving it.
#include "core/settingsfile.h"

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>

namespace rinkaro
{

// A record in which every value differs from its default.
inline SettingsRecord fullRecord()
{
    SettingsRecord r;
    r.level = 8;
    r.keyColour = true;
    r.keyHint = false;
    r.romaji = {true, false, true, true, false, true, false, true};
    for (int k = 0; k < 9; ++k) {
        r.orderedRecords[k] = 10.0 + k * 1.25;
        r.randomRecords[k] = 100.0 + k * 7.5;
    }
    return r;
}

inline QList<QByteArray> fileLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// Text of the full record with other line ends, blank lines, or cut at the reading limit.
inline QByteArray damagedText(const QString &kind)
{
    QByteArray text = formatSettings(fullRecord(), QLocale::c());
    if (kind == QLatin1String("lone CR"))
        text.replace('\n', '\r');
    else if (kind == QLatin1String("mixed line ends")) {
        QList<QByteArray> lines = fileLines(text);
        text.clear();
        for (int i = 0; i < lines.size(); ++i)
            text += lines[i] + (i % 3 == 0 ? "\r" : i % 3 == 1 ? "\r\n" : "\n");
    } else if (kind == QLatin1String("blank lines")) {
        QList<QByteArray> lines = fileLines(text);
        lines.insert(20, " \t ");
        lines.insert(11, QByteArray());
        lines.insert(4, "\r");
        lines.insert(0, QByteArray());
        text = lines.join('\n') + "\n\n\n";
    } else if (kind == QLatin1String("long tail")) {
        text += QByteArray(400 * 1024, 'x');
    }
    return text;
}

} // namespace rinkaro
