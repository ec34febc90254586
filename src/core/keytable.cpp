// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/keytable.h"

#include <cstring>

namespace rinkaro
{

// clang-format off
const std::array<KeyInfo, 30> keyTable{{
    {"Q", 17,  40,  24, Finger::Little, "q"},
    {"W", 23, 104,  24, Finger::Ring,   "w"},
    {"E",  5, 168,  24, Finger::Middle, "e"},
    {"R", 18, 232,  24, Finger::Index,  "r"},
    {"T", 20, 296,  24, Finger::Index,  "t"},
    {"Y", 25, 368,  24, Finger::Index,  "y"},
    {"U", 21, 432,  24, Finger::Index,  "u"},
    {"I",  9, 496,  24, Finger::Middle, "i"},
    {"O", 15, 560,  24, Finger::Ring,   "o"},
    {"P", 16, 624,  24, Finger::Little, "p"},
    {"A",  1,  72,  88, Finger::Little, "a"},
    {"S", 19, 136,  88, Finger::Ring,   "s"},
    {"D",  4, 200,  88, Finger::Middle, "d"},
    {"F",  6, 264,  88, Finger::Index,  "f"},
    {"G",  7, 328,  88, Finger::Index,  "g"},
    {"H",  8, 400,  88, Finger::Index,  "h"},
    {"J", 10, 464,  88, Finger::Index,  "j"},
    {"K", 11, 528,  88, Finger::Middle, "k"},
    {"L", 12, 592,  88, Finger::Ring,   "l"},
    {";", 29, 656,  88, Finger::Little, ";"},
    {"Z", 26, 104, 152, Finger::Little, "z"},
    {"X", 24, 168, 152, Finger::Ring,   "x"},
    {"C",  3, 232, 152, Finger::Middle, "c"},
    {"V", 22, 296, 152, Finger::Index,  "v"},
    {"B",  2, 360, 152, Finger::Index,  "b"},
    {"N", 14, 432, 152, Finger::Index,  "n"},
    {"M", 13, 496, 152, Finger::Index,  "m"},
    {",", 27, 560, 152, Finger::Middle, ","},
    {".", 28, 624, 152, Finger::Ring,   "."},
    {"/", 30, 688, 152, Finger::Little, "/"},
}};
// clang-format on

const KeyInfo *keyForCharacter(const QString &text)
{
    for (const KeyInfo &key : keyTable)
        if (text == QLatin1String(key.litBy))
            return &key;
    return nullptr;
}

bool isHomeKey(const KeyInfo &key)
{
    return std::strcmp(key.caption, "F") == 0 || std::strcmp(key.caption, "J") == 0;
}

} // namespace rinkaro
