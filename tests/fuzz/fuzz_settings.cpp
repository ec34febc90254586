// libFuzzer target for the settings reader: any bytes at all must load without a crash,
// a hang or undefined behaviour, and what loads must survive being saved and loaded again.
#include "core/settingsfile.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstdlib>

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
    const ParsedSettings again = parseSettings(saved);
    for (LineStatus status : again.lines)
        require(status == LineStatus::Valid);
    require(formatSettings(again.values, locale) == saved);
    require(parseSettings(formatSettings(again.values, locale)).values == again.values);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ParsedSettings parsed =
        parseSettings(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (double score : parsed.values.highScores)
        require(std::isfinite(score) && score >= 0);
    for (double score : parsed.values.randomScores)
        require(std::isfinite(score) && score >= 0);
    checkRoundTrip(parsed.values, QLocale::c());
    checkRoundTrip(parsed.values, QLocale(QLocale::German, QLocale::Germany));
    return 0;
}
