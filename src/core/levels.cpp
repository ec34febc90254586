// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/levels.h"

#include <array>

namespace
{

// clang-format off
const std::array<LevelInfo, levelCount> levels{{
    {"fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh", 0, 0, "ホーム"},
    {"frdeswaqgtjukilo;phyfrfefwfqftjujijojpjy", 0, 0, "ホーム＋上段"},
    {"fvdcsxazgbjmk,l.;/hnfvfcfxfzfbjmj,j.j/jn", 0, 0, "ホーム＋下段"},
    {alphabetKeys, 0, 0, "A to Z"},
    {nullptr, 1, 46, "ローマ字１"},
    {nullptr, 47, 83, "ローマ字２"},
    {nullptr, 1, 35, "ひらがな１"},
    {nullptr, 36, 52, "ひらがな２"},
    {nullptr, 53, 76, "ひらがな３"},
}};
// clang-format on

} // namespace

const LevelInfo *levelInfo(int level)
{
    return isLevel(level) ? &levels[level - 1] : nullptr;
}

const char *levelCaption(int level)
{
    if (level == weakKeysLevel)
        return "苦手なキー";
    if (level == weakKanaLevel)
        return "苦手なかな";
    if (level == wordsLevel)
        return "単語";
    if (level == sentencesLevel)
        return "文章";
    if (level == ownTextLevel)
        return "テキスト";
    return isLevel(level) ? levels[std::size_t(level - 1)].menuCaption : nullptr;
}

LevelGroup levelGroup(int level)
{
    if (level == weakKeysLevel)
        return LevelGroup::Key;
    if (level == weakKanaLevel)
        return LevelGroup::Syllable;
    if (isTextDrill(level))
        return LevelGroup::Phrase;
    if (level <= 4)
        return LevelGroup::Key;
    return level <= 6 ? LevelGroup::Syllable : LevelGroup::Phrase;
}
