// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the reading splitter: any text at all (a learner's own) must split
// without a crash or undefined behaviour into syllables that cover it in order, each
// typed to the item's end by its first spelling, in free romaji and with the table's.
#include "core/romajimatch.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString reading =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const ReadingSplit split = splitReading(reading);
    require(split.ends.size() == split.syllables.size());
    require(split.badIndex >= -1 && split.badIndex < int(reading.size()));
    int last = 0;
    for (std::size_t k = 0; k < split.ends.size(); ++k) {
        require(split.ends[k] > last && split.ends[k] <= int(reading.size()));
        require(!split.syllables[k].kana.isEmpty());
        last = split.ends[k];
    }
    require(split.badIndex >= 0 || last == int(reading.size()));
    if (split.syllables.empty())
        return 0;
    const RomajiTable table({bool(size & 1), bool(size & 2)});
    for (const auto mode : {FreeRomaji::Spellings::Free, FreeRomaji::Spellings::Table}) {
        FreeRomaji item;
        item.setItem(table, split.syllables, 0, mode);
        std::string keys;
        for (const FreeSyllable &syllable : split.syllables)
            keys += mode == FreeRomaji::Spellings::Free
                        ? spellingsOf(table, syllable).front().letters
                        : tableSpelling(table, syllable);
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const FreeRomaji::Step step = item.type(keys[i]);
            require(step.right && step.itemDone == (i + 1 == keys.size()));
        }
        require(item.syllable() == item.syllableCount());
    }
    return 0;
}
