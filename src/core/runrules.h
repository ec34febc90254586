// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace rinkaro
{

// The rules of a drill run that are plain arithmetic: the run's clock, its score, the
// record rule, and what the drill area shows of the letters typed.

// Tenths of a second between two readings of the 32-bit millisecond counter, counted as
// whole tenths of the counter (start / 100 to now / 100). The counter wraps after about
// 49.7 days; a run across the wrap still gets its true length, never a negative one.
int elapsedTenths(quint32 startMs, quint32 nowMs);

// A run's time in seconds, held in single precision: 123 tenths give 12.300000190734863.
float secondsFromTenths(int tenths);

// Seconds plus one per wrong key; lower is better.
double runScore(int errors, float seconds);

// Whether a score replaces the record held (0 meaning no record yet): only a strictly
// lower one does.
bool beatsRecord(double score, double record);

// The character at a 1-based position, in lower case; "" outside the text.
QString expectedLetter(const QString &text, int position);

// The text with its first `count` characters each replaced by "_".
QString maskTyped(const QString &text, int count);

} // namespace rinkaro
