// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/levels.h"
#include "core/romaji.h"

#include <QStringList>

namespace rinkaro
{

// The keys of a syllable or phrase item typed in Hepburn (shi chi tsu fu ji sha ja cha),
// whatever the romaji table in force says.
inline QString hepburnKeys(int level, int index)
{
    const RomajiTable hepburn({true, false, true, true, true, false, false, false});
    QStringList pieces;
    if (levelGroup(level) == LevelGroup::Syllable) {
        pieces << hepburn.romaji(index);
    } else {
        const DecodedPhrase phrase = decodePhrase(hepburn, index);
        for (int k = 1; k <= phrase.syllableCount; ++k)
            pieces << phrase.pieces[k];
    }
    QString keys;
    for (const QString &piece : pieces)
        keys += piece == u"TI" ? u"CHI"_qs : piece == u"TTI" ? u"CCHI"_qs : piece;
    return keys.toLower();
}

} // namespace rinkaro
