#include "core/levels.h"

#include <array>

namespace
{

// clang-format off
const std::array<LevelInfo, 9> levels{{
    {"fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh", 0, 0},
    {"frdeswaqgtjukilo;phyfrfefwfqftjujijojpjy", 0, 0},
    {"fvdcsxazgbjmk,l.;/hnfvfcfxfzfbjmj,j.j/jn", 0, 0},
    {alphabetKeys, 0, 0},
    {nullptr, 1, 46},
    {nullptr, 47, 83},
    {nullptr, 1, 35},
    {nullptr, 36, 52},
    {nullptr, 53, 76},
}};
// clang-format on

} // namespace

const LevelInfo *levelInfo(int level)
{
    return level >= 1 && level <= 9 ? &levels[level - 1] : nullptr;
}

LevelGroup levelGroup(int level)
{
    if (level <= 4)
        return LevelGroup::Key;
    return level <= 6 ? LevelGroup::Syllable : LevelGroup::Phrase;
}

