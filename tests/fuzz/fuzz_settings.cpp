// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the settings reader: any bytes at all must load without a crash,
// a hang or undefined behaviour, and what loads must survive being saved and loaded again.
#include "core/settingsfile.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace rinkaro;

namespace
{

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkRoundTrip(const SettingsRecord &loaded, const QLocale &locale)
{
    // Saving rounds scores to 15 digits once; from then on a save and a load change nothing.
    const QByteArray saved = formatSettings(loaded, locale);
    const SettingsRecord again = parseSettings(saved);
    require(formatSettings(again, locale) == saved);
    require(parseSettings(formatSettings(again, locale)) == again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const SettingsRecord parsed =
        parseSettings(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (double score : parsed.orderedRecords)
        require(std::isfinite(score) && score >= 0);
    for (double score : parsed.randomRecords)
        require(std::isfinite(score) && score >= 0);
    checkRoundTrip(parsed, QLocale::c());
    checkRoundTrip(parsed, QLocale(QLocale::German, QLocale::Germany));
    return 0;
}
