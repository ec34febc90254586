// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/romaji.h"

#include <QStringList>

namespace rinkaro
{

namespace
{

// clang-format off
constexpr std::array<const char *, syllableSlots + 1> initialKana{
    "",
    "あ", "い", "う", "え", "お", "か", "き", "く", "け", "こ",      //  1-10
    "さ", "し", "す", "せ", "そ", "た", "ち", "つ", "て", "と",      // 11-20
    "な", "に", "ぬ", "ね", "の", "は", "ひ", "ふ", "へ", "ほ",      // 21-30
    "ま", "み", "む", "め", "も", "や", "ゆ", "よ", "ら", "り",      // 31-40
    "る", "れ", "ろ", "わ", "を", "ん", "が", "ぎ", "ぐ", "げ",      // 41-50
    "ご", "ざ", "じ", "ず", "ぜ", "ぞ", "だ", "ぢ", "づ", "で",      // 51-60
    "ど", "ば", "び", "ぶ", "べ", "ぼ", "ぱ", "ぴ", "ぷ", "ぺ",      // 61-70
    "ぽ", "きゃ", "きゅ", "きょ", "しゃ", "しゅ", "しょ", "じゃ", "じゅ", "じょ", // 71-80
    "ちゃ", "ちゅ", "ちょ", "っ", "、", "。", "ー", "", "", "",     // 81-90
};

constexpr std::array<const char *, syllableSlots + 1> initialRomaji{
    "",
    "A",  "I",  "U",  "E",  "O",  "KA", "KI", "KU", "KE", "KO",     //  1-10
    "SA", "SI", "SU", "SE", "SO", "TA", "TI", "TU", "TE", "TO",     // 11-20
    "NA", "NI", "NU", "NE", "NO", "HA", "HI", "HU", "HE", "HO",     // 21-30
    "MA", "MI", "MU", "ME", "MO", "YA", "YU", "YO", "RA", "RI",     // 31-40
    "RU", "RE", "RO", "WA", "WO", "NN", "GA", "GI", "GU", "GE",     // 41-50
    "GO", "ZA", "ZI", "ZU", "ZE", "ZO", "DA", "DI", "DU", "DE",     // 51-60
    "DO", "BA", "BI", "BU", "BE", "BO", "PA", "PI", "PU", "PE",     // 61-70
    "PO", "KYA", "KYU", "KYO", "SHA", "SHU", "SHO", "JA", "JU", "JO", // 71-80
    "CHA", "CHU", "CHO", " ", ",", ".", "-", "", "", "",            // 81-90
};
// clang-format on

template <typename Text> std::array<QString, syllableSlots + 1> makeTable(const Text &texts)
{
    std::array<QString, syllableSlots + 1> table;
    for (int i = 0; i <= syllableSlots; ++i)
        table[i] = QString::fromUtf8(texts[i]);
    return table;
}

std::array<QString, phraseSlots + 1> makePhraseList()
{
    std::array<QString, phraseSlots + 1> list;
    for (int n = 1; n <= storedPhrases; ++n)
        list[n] = QString::fromLatin1(phraseSources[n - 1].codes);
    return list;
}

bool inRange(int index)
{
    return index >= 1 && index <= syllableSlots;
}

// The code of the two characters at pos, or 0 when they are not two decimal digits.
int codeAt(const QString &codes, qsizetype pos)
{
    const QChar tens = codes.at(pos);
    const QChar ones = codes.at(pos + 1);
    if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9')
        return 0;
    return (tens.unicode() - u'0') * 10 + (ones.unicode() - u'0');
}

constexpr int lastCode = 87;

} // namespace

// clang-format off
const std::array<PhraseSource, storedPhrases> phraseSources{{
    // Level 7: everyday words, 2 to 9 codes
    {"110839", "さくら"},
    {"2410", "ねこ"},
    {"0223", "いぬ"},
    {"0140472003", "ありがとう"},
    {"05263803", "おはよう"},
    {"1046221726", "こんにちは"},
    {"1046624626", "こんばんは"},
    {"1138032139", "さようなら"},
    {"726518", "きゃべつ"},
    {"730340", "きゅうり"},
    {"0332", "うみ"},
    {"2837", "ふゆ"},
    {"2621", "はな"},
    {"800354", "じょうず"},
    {"20355717", "ともだち"},
    {"47841003", "がっこう"},
    {"078419", "きって"},
    {"604675", "でんしゃ"},
    {"0581", "おちゃ"},
    {"76085702", "しゅくだい"},
    {"7403", "きょう"},
    {"78470235", "じゃがいも"},
    {"70464846", "ぺんぎん"},
    {"16467171", "たんぽぽ"},
    {"04466818", "えんぴつ"},
    {"39873446", "らーめん"},
    {"098707", "けーき"},
    {"0111512646", "あさごはん"},
    {"610356", "どうぞ"},
    {"0520031146", "おとうさん"},
    {"14461402", "せんせい"},
    {"838420", "ちょっと"},
    {"021657073113", "いただきます"},
    {"511715031131", "ごちそうさま"},
    {"05361332211102", "おやすみなさい"},
    // Level 8: whole sentences, 8 to 12 codes
    {"052638035152023113", "おはようございます"},
    {"01404720035152023113", "ありがとうございます"},
    {"3843120805244702123113", "よろしくおねがいします"},
    {"82034784100322063803", "ちゅうがっこうにかよう"},
    {"0550460760121606", "おげんきでしたか"},
    {"511715031131601216", "ごちそうさまでした"},
    {"74032602021946076013", "きょうはいいてんきです"},
    {"760857024544134216", "しゅくだいをわすれた"},
    {"60467560060275290208", "でんしゃでかいしゃへいく"},
    {"7847023545166541", "じゃがいもをたべる"},
    {"83842031841908571102", "ちょっとまってください"},
    {"04073160014102190208", "えきまであるいていく"},
    {"20770646603046453833", "としょかんでほんをよむ"},
    {"0581450284670208571102", "おちゃをいっぱいください"},
    {"1003044660011564", "こうえんであそぶ"},
    {"2118361332260332220208", "なつやすみはうみにいく"},
    {"2230465145654674031341", "にほんごをべんきょうする"},
    // Level 9: with punctuation, long vowels and small tsu, 6 to 10 codes
    {"2602851503601386", "はい、そうです。"},
    {"02020485174702311386", "いいえ、ちがいます。"},
    {"133231144686", "すみません。"},
    {"398734464516651686", "らーめんをたべた。"},
    {"1087278745253386", "こーひーをのむ。"},
    {"83842031841986", "ちょっとまって。"},
    {"31168501121686", "また、あした。"},
    {"3763444506841686", "ゆびわをかった。"},
    {"75124645204186", "しゃしんをとる。"},
    {"798713450857110286", "じゅーすをください。"},
    {"67464536021686", "ぱんをやいた。"},
    {"530602228518590886", "じかいに、つづく。"},
    {"26533431121986", "はじめまして。"},
    {"1218420212311386", "しつれいします。"},
    {"05180642113160121686", "おつかれさまでした。"},
    {"040485020260133886", "ええ、いいですよ。"},
    {"740326850134601386", "きょうは、あめです。"},
    {"68012545270886", "ぴあのをひく。"},
    {"6987416005384986", "ぷーるでおよぐ。"},
    {"76846718851246100386", "しゅっぱつ、しんこう。"},
    {"7087534534084186", "ぺーじをめくる。"},
    {"6687414521504186", "ぼーるをなげる。"},
    {"604644858303570286", "でんわ、ちょうだい。"},
    {"5546648516651686", "ぜんぶ、たべた。"},
}};

const std::array<RomajiChoice, romajiGroups> romajiChoices{{
    {1, {12},         {"SI"},               {"SHI"}},               // し
    {1, {17},         {"TI"},               {"TSI"}},               // ち
    {1, {18},         {"TU"},               {"TSU"}},               // つ
    {1, {28},         {"HU"},               {"FU"}},                // ふ
    {1, {53},         {"ZI"},               {"JI"}},                // じ
    {3, {75, 76, 77}, {"SHA", "SHU", "SHO"}, {"SYA", "SYU", "SYO"}}, // しゃ しゅ しょ
    {3, {78, 79, 80}, {"JA", "JU", "JO"},    {"JYA", "JYU", "JYO"}}, // じゃ じゅ じょ
    {3, {81, 82, 83}, {"CHA", "CHU", "CHO"}, {"TYA", "TYU", "TYO"}}, // ちゃ ちゅ ちょ
}};
// clang-format on

namespace
{

const std::array<QString, syllableSlots + 1> kanaTable = makeTable(initialKana);
const std::array<QString, phraseSlots + 1> phraseList = makePhraseList();

} // namespace

QString kanaAt(int index)
{
    return inRange(index) ? kanaTable[index] : QString();
}

int kanaIndex(const QString &kana)
{
    if (kana.isEmpty())
        return 0;
    for (int index = 1; index <= syllableSlots; ++index) {
        if (kanaTable[index] == kana)
            return index;
    }
    return 0;
}

RomajiTable::RomajiTable(const RomajiChoices &choices)
    : choices_(choices), romaji_(makeTable(initialRomaji))
{
    for (int group = 0; group < romajiGroups; ++group) {
        const RomajiChoice &choice = romajiChoices[group];
        for (int k = 0; k < choice.count; ++k)
            romaji_[choice.entries[k]] =
                QString::fromLatin1(choices[group] ? choice.second[k] : choice.first[k]);
    }
}

QString RomajiTable::romaji(int index) const
{
    return inRange(index) ? romaji_[index] : QString();
}

QString phraseAt(int number)
{
    return number >= 1 && number <= phraseSlots ? phraseList[number] : QString();
}

DecodedPhrase decodeCodes(const RomajiTable &table, const QString &codes)
{
    DecodedPhrase result;
    QStringList pieces;
    const qsizetype n = codes.size() / 2;
    for (qsizetype i = 0; i < n && result.syllableCount < maxSyllables; ++i) {
        const int c = codeAt(codes, 2 * i);
        if (c < 1 || c > lastCode)
            continue;
        QString piece;
        QString kana;
        bool doubled = false;
        int code = c;
        if (c == smallTsu) {
            const int d = i + 1 < n ? codeAt(codes, 2 * i + 2) : 0;
            // Only a syllable can be doubled; anything else is read on its own next round.
            if (d < 1 || d >= smallTsu)
                continue;
            const QString follower = table.romaji(d);
            kana = kanaTable[smallTsu] + kanaTable[d];
            piece = follower.left(1) + follower;
            doubled = true;
            code = d;
            ++i;
        } else {
            kana = kanaTable[c];
            piece = table.romaji(c);
        }
        result.kana += kana;
        result.pieces[++result.syllableCount] = piece;
        result.kanaPieces[result.syllableCount] = kana;
        result.doubled[result.syllableCount] = doubled;
        result.codes[result.syllableCount] = code;
        pieces << piece;
    }
    result.romajiLine = pieces.join(u' ');
    return result;
}

DecodedPhrase decodePhrase(const RomajiTable &table, int number)
{
    return decodeCodes(table, phraseAt(number));
}

} // namespace rinkaro
