#include "app/form1.h"
#include "romaji/syllables.h"

void TForm1::decodePhrase(int slot)
{
    // Slots count from 0; an int beyond the list (or negative) simply finds no phrase.
    const DecodedPhrase decoded =
        decodeCodes(slot >= 0 && slot < phraseSlots ? phraseAt(slot + 1) : QString());
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
