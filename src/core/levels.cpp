// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/levels.h"

#include <QCoreApplication>

#include <array>

namespace rinkaro
{

namespace
{

// clang-format off
const std::array<LevelInfo, levelCount> levels{{
    {"fjfjasdfgfjfj;lkjhfdfsfafgjkjlj;jh", 0, 0, QT_TRANSLATE_NOOP("Levels", "ホーム")},
    {"frdeswaqgtjukilo;phyfrfefwfqftjujijojpjy", 0, 0, QT_TRANSLATE_NOOP("Levels", "ホーム＋上段")},
    {"fvdcsxazgbjmk,l.;/hnfvfcfxfzfbjmj,j.j/jn", 0, 0, QT_TRANSLATE_NOOP("Levels", "ホーム＋下段")},
    {alphabetKeys, 0, 0, QT_TRANSLATE_NOOP("Levels", "A to Z")},
    {nullptr, 1, 46, QT_TRANSLATE_NOOP("Levels", "ローマ字１")},
    {nullptr, 47, 83, QT_TRANSLATE_NOOP("Levels", "ローマ字２")},
    {nullptr, 1, 35, QT_TRANSLATE_NOOP("Levels", "ひらがな１")},
    {nullptr, 36, 52, QT_TRANSLATE_NOOP("Levels", "ひらがな２")},
    {nullptr, 53, 76, QT_TRANSLATE_NOOP("Levels", "ひらがな３")},
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
        return QT_TRANSLATE_NOOP("Levels", "苦手なキー");
    if (level == weakKanaLevel)
        return QT_TRANSLATE_NOOP("Levels", "苦手なかな");
    if (level == wordsLevel)
        return QT_TRANSLATE_NOOP("Levels", "単語");
    if (level == sentencesLevel)
        return QT_TRANSLATE_NOOP("Levels", "文章");
    if (level == ownTextLevel)
        return QT_TRANSLATE_NOOP("Levels", "テキスト");
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

QString levelName(int level)
{
    const char *caption = levelCaption(level);
    return caption ? QCoreApplication::translate("Levels", caption) : QString();
}

} // namespace rinkaro
