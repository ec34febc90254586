#pragma once

#include <QLocale>
#include <QString>

#include <array>

// The fixed standard score of each level (index 1..9), shown beside the user's records.
inline constexpr std::array<int, 10> standardScores{0, 15, 20, 20, 15, 40, 40, 140, 150, 160};

// A time or score as "#0.0": rounded to one decimal, at least one digit before the
// separator, no digit grouping, with the user's decimal separator.
inline QString formatTenths(double value, const QLocale &locale = QLocale())
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', 1);
}
