#include "app/form1.h"
#include "core/romaji.h"

void TForm1::decodePhrase(int slot)
{
    // Slots count from 0; an int beyond the list (or negative) simply finds no phrase.
    const DecodedPhrase decoded =
        ::decodePhrase(romaji, slot >= 0 && slot < phraseSlots ? slot + 1 : 0);
    drillText = decoded.kana;
    romajiLine = decoded.romajiLine;
    syllableCount = decoded.syllableCount;
    // Slots past the new count keep an earlier phrase's pieces; the judge never reads them.
    for (int k = 1; k <= syllableCount; ++k)
        syllableRomaji[k] = decoded.pieces[k];
    syllableNo = 1;
    letterPos = 1;
    typedLetters = 0;
}
