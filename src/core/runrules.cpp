// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/runrules.h"

namespace rinkaro
{

int elapsedTenths(quint32 startMs, quint32 nowMs)
{
    // Unsigned subtraction is taken modulo 2^32, which undoes the wrap; adding it back
    // to the start in 64 bits keeps the tenths aligned with the counter's own.
    const quint64 now = quint64(startMs) + quint32(nowMs - startMs);
    return int(now / 100u - startMs / 100u);
}

float secondsFromTenths(int tenths)
{
    // The product is formed in double and rounded once to single, so 9 tenths give the
    // single nearest 0.9 (the all-single product would round twice and land a step higher).
    return float(double(float(tenths)) * 0.1);
}

double runScore(int errors, float seconds)
{
    return double(errors) + double(seconds);
}

bool beatsRecord(double score, double record)
{
    return record == 0.0 || score < record;
}

QString expectedLetter(const QString &text, int position)
{
    if (position < 1 || position > text.size())
        return {};
    return text.mid(position - 1, 1).toLower();
}

QString maskTyped(const QString &text, int count)
{
    const int masked = qBound(0, count, int(text.size()));
    return QString(masked, QLatin1Char('_')) + text.mid(masked);
}

} // namespace rinkaro
