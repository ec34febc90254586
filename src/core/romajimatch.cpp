// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/romajimatch.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace rinkaro
{

namespace
{

constexpr int syllableN = 46; // ん

// The spellings input methods take for each kana and pair of kana, the most common first.
// A pair also takes its first kana followed by the small kana (see pairSpellings); the
// table's own spelling is added in front wherever the kana has a code.
// clang-format off
constexpr std::pair<const char *, const char *> imeSpellings[]{
    {"あ", "a"}, {"い", "i yi"}, {"う", "u wu whu"}, {"え", "e"}, {"お", "o"},
    {"か", "ka ca"}, {"き", "ki"}, {"く", "ku cu qu"}, {"け", "ke"}, {"こ", "ko co"},
    {"さ", "sa"}, {"し", "shi si ci"}, {"す", "su"}, {"せ", "se ce"}, {"そ", "so"},
    {"た", "ta"}, {"ち", "chi ti"}, {"つ", "tsu tu"}, {"て", "te"}, {"と", "to"},
    {"な", "na"}, {"に", "ni"}, {"ぬ", "nu"}, {"ね", "ne"}, {"の", "no"},
    {"は", "ha"}, {"ひ", "hi"}, {"ふ", "fu hu"}, {"へ", "he"}, {"ほ", "ho"},
    {"ま", "ma"}, {"み", "mi"}, {"む", "mu"}, {"め", "me"}, {"も", "mo"},
    {"や", "ya"}, {"ゆ", "yu"}, {"よ", "yo"},
    {"ら", "ra"}, {"り", "ri"}, {"る", "ru"}, {"れ", "re"}, {"ろ", "ro"},
    {"わ", "wa"}, {"ゐ", "wyi"}, {"ゑ", "wye"}, {"を", "wo"}, {"ん", "nn n' xn"},
    {"が", "ga"}, {"ぎ", "gi"}, {"ぐ", "gu"}, {"げ", "ge"}, {"ご", "go"},
    {"ざ", "za"}, {"じ", "ji zi"}, {"ず", "zu"}, {"ぜ", "ze"}, {"ぞ", "zo"},
    {"だ", "da"}, {"ぢ", "di"}, {"づ", "du"}, {"で", "de"}, {"ど", "do"},
    {"ば", "ba"}, {"び", "bi"}, {"ぶ", "bu"}, {"べ", "be"}, {"ぼ", "bo"},
    {"ぱ", "pa"}, {"ぴ", "pi"}, {"ぷ", "pu"}, {"ぺ", "pe"}, {"ぽ", "po"},
    {"ゔ", "vu"},
    {"ぁ", "xa la"}, {"ぃ", "xi li xyi lyi"}, {"ぅ", "xu lu"}, {"ぇ", "xe le xye lye"},
    {"ぉ", "xo lo"}, {"ゃ", "xya lya"}, {"ゅ", "xyu lyu"}, {"ょ", "xyo lyo"}, {"ゎ", "xwa lwa"},
    {"ゕ", "xka lka"}, {"ゖ", "xke lke"}, {"っ", "xtu ltu xtsu ltsu"},
    {"、", ","}, {"。", "."}, {"ー", "-"}, {"「", "["}, {"」", "]"}, {"！", "!"}, {"？", "?"},
    {"いぇ", "ye"},
    {"うぁ", "wha"}, {"うぃ", "wi whi"}, {"うぇ", "we whe"}, {"うぉ", "who"},
    {"ゔぁ", "va"}, {"ゔぃ", "vi vyi"}, {"ゔぇ", "ve vye"}, {"ゔぉ", "vo"},
    {"ゔゃ", "vya"}, {"ゔゅ", "vyu"}, {"ゔょ", "vyo"},
    {"きゃ", "kya"}, {"きぃ", "kyi"}, {"きゅ", "kyu"}, {"きぇ", "kye"}, {"きょ", "kyo"},
    {"くぁ", "qa qwa kwa"}, {"くぃ", "qi qwi qyi"}, {"くぅ", "qwu"}, {"くぇ", "qe qwe qye"},
    {"くぉ", "qo qwo"}, {"くゃ", "qya"}, {"くゅ", "qyu"}, {"くょ", "qyo"},
    {"ぎゃ", "gya"}, {"ぎぃ", "gyi"}, {"ぎゅ", "gyu"}, {"ぎぇ", "gye"}, {"ぎょ", "gyo"},
    {"ぐぁ", "gwa"}, {"ぐぃ", "gwi"}, {"ぐぅ", "gwu"}, {"ぐぇ", "gwe"}, {"ぐぉ", "gwo"},
    {"しゃ", "sha sya"}, {"しぃ", "syi"}, {"しゅ", "shu syu"}, {"しぇ", "she sye"},
    {"しょ", "sho syo"},
    {"すぁ", "swa"}, {"すぃ", "swi"}, {"すぅ", "swu"}, {"すぇ", "swe"}, {"すぉ", "swo"},
    {"じゃ", "ja jya zya"}, {"じぃ", "jyi zyi"}, {"じゅ", "ju jyu zyu"}, {"じぇ", "je jye zye"},
    {"じょ", "jo jyo zyo"},
    {"ちゃ", "cha tya cya"}, {"ちぃ", "tyi cyi"}, {"ちゅ", "chu tyu cyu"},
    {"ちぇ", "che tye cye"}, {"ちょ", "cho tyo cyo"},
    {"つぁ", "tsa"}, {"つぃ", "tsi"}, {"つぇ", "tse"}, {"つぉ", "tso"},
    {"てゃ", "tha"}, {"てぃ", "thi"}, {"てゅ", "thu"}, {"てぇ", "the"}, {"てょ", "tho"},
    {"とぁ", "twa"}, {"とぃ", "twi"}, {"とぅ", "twu"}, {"とぇ", "twe"}, {"とぉ", "two"},
    {"ぢゃ", "dya"}, {"ぢぃ", "dyi"}, {"ぢゅ", "dyu"}, {"ぢぇ", "dye"}, {"ぢょ", "dyo"},
    {"でゃ", "dha"}, {"でぃ", "dhi"}, {"でゅ", "dhu"}, {"でぇ", "dhe"}, {"でょ", "dho"},
    {"どぁ", "dwa"}, {"どぃ", "dwi"}, {"どぅ", "dwu"}, {"どぇ", "dwe"}, {"どぉ", "dwo"},
    {"にゃ", "nya"}, {"にぃ", "nyi"}, {"にゅ", "nyu"}, {"にぇ", "nye"}, {"にょ", "nyo"},
    {"ひゃ", "hya"}, {"ひぃ", "hyi"}, {"ひゅ", "hyu"}, {"ひぇ", "hye"}, {"ひょ", "hyo"},
    {"ふぁ", "fa fwa"}, {"ふぃ", "fi fwi fyi"}, {"ふぅ", "fwu"}, {"ふぇ", "fe fwe fye"},
    {"ふぉ", "fo fwo"}, {"ふゃ", "fya"}, {"ふゅ", "fyu"}, {"ふょ", "fyo"},
    {"びゃ", "bya"}, {"びぃ", "byi"}, {"びゅ", "byu"}, {"びぇ", "bye"}, {"びょ", "byo"},
    {"ぴゃ", "pya"}, {"ぴぃ", "pyi"}, {"ぴゅ", "pyu"}, {"ぴぇ", "pye"}, {"ぴょ", "pyo"},
    {"みゃ", "mya"}, {"みぃ", "myi"}, {"みゅ", "myu"}, {"みぇ", "mye"}, {"みょ", "myo"},
    {"りゃ", "rya"}, {"りぃ", "ryi"}, {"りゅ", "ryu"}, {"りぇ", "rye"}, {"りょ", "ryo"},
};
// clang-format on

const QHash<QString, std::vector<std::string>> &spellingTable()
{
    static const QHash<QString, std::vector<std::string>> table = [] {
        QHash<QString, std::vector<std::string>> t;
        for (const auto &[kana, spellings] : imeSpellings) {
            std::vector<std::string> list;
            const std::string_view all(spellings);
            for (std::size_t at = 0; at < all.size();) {
                const std::size_t space = std::min(all.find(' ', at), all.size());
                list.emplace_back(all.substr(at, space - at));
                at = space + 1;
            }
            t.insert(QString::fromUtf8(kana), std::move(list));
        }
        return t;
    }();
    return table;
}

// The kana that follow another to make a pair (にゃ, ふぁ, うぃ).
bool isSmallKana(QChar c)
{
    return QStringView(u"ぁぃぅぇぉゃゅょゎ").contains(c);
}

bool isConsonant(char c)
{
    return c >= 'a' && c <= 'z' && std::string_view("aiueo").find(c) == std::string_view::npos;
}

void addUnique(std::vector<Spelling> &list, Spelling spelling)
{
    const auto same = [&](const Spelling &s) { return s.letters == spelling.letters; };
    if (std::none_of(list.begin(), list.end(), same))
        list.push_back(std::move(spelling));
}

QString kanaOf(const FreeSyllable &syllable)
{
    if (!syllable.kana.isEmpty())
        return syllable.doubled && syllable.kana.startsWith(u'っ') ? syllable.kana.mid(1)
                                                                   : syllable.kana;
    return kanaAt(syllable.code);
}

// The table's spelling when the kana has a code (and it is not ち's TSI unless chosen:
// input methods read "tsi" as つぃ), then what input methods take. A letter, digit or sign
// beyond the tables is its own key.
std::vector<Spelling> plainSpellings(const RomajiTable &table, int code, const QString &kana)
{
    std::vector<Spelling> list;
    if (code >= 1 && code <= 87 && code != smallTsu) // the table shows っ as a space
        addUnique(list, {table.romaji(code).toLower().toStdString(), 0});
    if (kana.size() == 1 && kana.front().unicode() < 0x80) {
        addUnique(list, {std::string(1, char(kana.front().toLower().unicode())), 0});
        return list;
    }
    const auto &spellings = spellingTable();
    const auto direct = spellings.constFind(kana);
    if (direct != spellings.cend())
        for (const std::string &s : *direct)
            addUnique(list, {s, 0});
    if (kana.size() == 2 && isSmallKana(kana.back())) {
        const QString first = kana.left(1);
        const auto small = spellings.constFind(kana.right(1));
        for (const Spelling &f : plainSpellings(table, kanaIndex(first), first))
            for (const std::string &s : *small)
                addUnique(list, {f.letters + s, 0});
    }
    return list;
}

// The code of a kana or pair of the tables (1..83, 85..87), 0 for any other.
int tableCode(const QString &kana)
{
    const int code = kanaIndex(kana);
    return code == smallTsu ? 0 : code;
}

// Hiragana for katakana; ASCII for full-width letters, digits and signs.
QChar normalised(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= 0x30A1 && u <= 0x30F6) || u == 0x30FD || u == 0x30FE)
        return QChar(char16_t(u - 0x60));
    if (u >= 0xFF10 && u <= 0xFF5A && QChar(char16_t(u - 0xFEE0)).isLetterOrNumber())
        return QChar(char16_t(u - 0xFEE0));
    return c;
}

bool typedAsItself(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
           QStringView(u",.-[]!?").contains(c);
}

} // namespace

ReadingSplit splitReading(const QString &reading)
{
    ReadingSplit split;
    const auto &spellings = spellingTable();
    const qsizetype size = reading.size();
    // The kana or sign unit starting at i (a pair when input methods type the two as one),
    // "" for none.
    const auto unitAt = [&](qsizetype i) -> QString {
        if (i >= size)
            return {};
        const QChar c = normalised(reading[i]);
        if (typedAsItself(c))
            return QString(c);
        if (i + 1 < size) {
            const QString pair = QString(c) + normalised(reading[i + 1]);
            if (spellings.contains(pair))
                return pair;
        }
        return spellings.contains(QString(c)) ? QString(c) : QString();
    };
    for (qsizetype i = 0; i < size;) {
        QString unit = unitAt(i);
        if (unit.isEmpty()) {
            if (split.badIndex < 0)
                split.badIndex = int(i);
            ++i;
            continue;
        }
        FreeSyllable syllable{tableCode(unit), false, unit};
        if (unit == u"っ") {
            const QString follower = unitAt(i + 1);
            const int code = tableCode(follower);
            // Only a kana (not a sign, a small kana or another small tsu) whose usual
            // spelling starts with a consonant other than n is doubled.
            static const RomajiTable usual;
            const bool kana = !follower.isEmpty() && follower.front().unicode() >= 0x80 &&
                              follower != u"っ" && !isSmallKana(follower.front());
            const std::string first =
                kana ? plainSpellings(usual, code, follower).front().letters : "";
            if (!first.empty() && isConsonant(first.front()) && first.front() != 'n') {
                syllable = {code, true, unit + follower};
                unit = syllable.kana;
            } else {
                syllable.code = smallTsu;
            }
        }
        i += unit.size();
        split.syllables.push_back(std::move(syllable));
        split.ends.push_back(int(i));
    }
    return split;
}

std::vector<Spelling> spellingsOf(const RomajiTable &table, const FreeSyllable &syllable)
{
    const QString kana = kanaOf(syllable);
    if (!syllable.doubled)
        return plainSpellings(table, syllable.code, kana);
    const std::vector<Spelling> follower = plainSpellings(table, syllable.code, kana);
    std::vector<Spelling> list;
    // Input methods double any consonant but n into a small tsu, never a vowel.
    for (const Spelling &s : follower)
        if (!s.letters.empty() && isConsonant(s.letters.front()) && s.letters.front() != 'n')
            addUnique(list, {s.letters.front() + s.letters, 1});
    for (const Spelling &tsu : plainSpellings(table, smallTsu, QStringLiteral("っ")))
        for (const Spelling &s : follower)
            addUnique(list, {tsu.letters + s.letters, int(tsu.letters.size())});
    return list;
}

std::string tableSpelling(const RomajiTable &table, const FreeSyllable &syllable)
{
    const std::vector<Spelling> list = plainSpellings(table, syllable.code, kanaOf(syllable));
    if (list.empty())
        return {};
    const std::string &own = list.front().letters;
    return syllable.doubled && !own.empty() ? own.front() + own : own;
}

namespace
{

struct ListKey {
    RomajiChoices choices;
    FreeRomaji::Spellings spellings;
    int code;
    bool doubled;
    QString kana;
    bool operator==(const ListKey &) const = default;
};
struct ListKeyHash {
    std::size_t operator()(const ListKey &key) const
    {
        std::size_t h = qHash(key.kana, std::size_t(key.code * 2 + key.doubled));
        for (const bool chosen : key.choices)
            h = h * 3 + chosen;
        return h * 2 + std::size_t(key.spellings == FreeRomaji::Spellings::Table);
    }
};

// Every item begins by listing the spellings of its syllables, which would otherwise build
// the same lists again and again; a node map keeps each list in place once made.
const std::vector<Spelling> &listOf(const RomajiTable &table, const FreeSyllable &syllable,
                                    FreeRomaji::Spellings spellings)
{
    thread_local std::unordered_map<ListKey, std::vector<Spelling>, ListKeyHash> lists;
    // A code names its kana: only the syllables beyond the tables are told apart by it.
    ListKey key{table.choices(), spellings, syllable.code, syllable.doubled,
                syllable.code ? QString() : syllable.kana};
    const auto known = lists.find(key);
    if (known != lists.end())
        return known->second;
    std::vector<Spelling> list;
    if (spellings == FreeRomaji::Spellings::Table)
        list.push_back({tableSpelling(table, syllable), syllable.doubled});
    else
        list = spellingsOf(table, syllable);
    if (list.empty()) // nothing types it: every key is wrong
        list.push_back({});
    return lists.emplace(std::move(key), std::move(list)).first->second;
}

} // namespace

void FreeRomaji::setItem(const RomajiTable &table, const std::vector<FreeSyllable> &syllables,
                         int from, Spellings spellings)
{
    spellings_.resize(syllables.size());
    singleN_.assign(syllables.size(), false);
    for (std::size_t k = 0; k < syllables.size(); ++k) {
        spellings_[k] = &listOf(table, syllables[k], spellings);
        singleN_[k] = spellings == Spellings::Free && syllables[k].code == syllableN &&
                      !syllables[k].doubled && k + 1 < syllables.size();
    }
    done_.clear();
    current_ = std::clamp(from, 0, syllableCount());
    for (int k = 0; k < current_; ++k)
        done_.push_back(spellings_[k]->front().letters);
    typed_.clear();
    shownIndex_ = 0;
}

void FreeRomaji::resumeAt(int letters)
{
    if (current_ >= syllableCount())
        return;
    typed_ = spellings_[current_]->front().letters.substr(0, std::size_t(std::max(letters, 0)));
    shownIndex_ = 0;
}

bool FreeRomaji::closes(const std::string &letters) const
{
    const auto &list = *spellings_[current_];
    bool complete = false;
    for (const Spelling &s : list) {
        if (s.letters == letters)
            complete = true;
        else if (s.letters.starts_with(letters) && current_ + 1 < syllableCount())
            return false; // a longer spelling may still come; the next key decides
    }
    return complete;
}

bool FreeRomaji::closesSingleN(char key) const
{
    // Input methods read n with a vowel, y, n or an apostrophe after it as part of a kana.
    return key > ' ' && key <= '~' &&
           std::string_view("aiueoyn'").find(key) == std::string_view::npos;
}

void FreeRomaji::closeSyllable()
{
    done_.push_back(typed_);
    typed_.clear();
    ++current_;
    shownIndex_ = 0;
}

int FreeRomaji::findShown() const
{
    const auto &list = *spellings_[current_];
    if (list[shownIndex_].letters.starts_with(typed_))
        return shownIndex_;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].letters.starts_with(typed_))
            return int(i);
    return shownIndex_;
}

FreeRomaji::Step FreeRomaji::type(char key)
{
    Step step;
    if (current_ >= syllableCount())
        return step;
    const auto startsWith = [this](int k, const std::string &letters) {
        return std::any_of(spellings_[k]->begin(), spellings_[k]->end(),
                           [&](const Spelling &s) { return s.letters.starts_with(letters); });
    };
    const std::string next = typed_ + key;
    if (!startsWith(current_, next)) {
        // ん typed as a single "n" closes on a key that an input method would not read with
        // it, which goes on to the next syllable.
        if (!singleN_[current_] || typed_ != "n" || !closesSingleN(key) ||
            !startsWith(current_ + 1, std::string(1, key)))
            return step;
        closeSyllable();
        Step after = type(key);
        ++after.syllablesDone;
        after.carried = true;
        return after;
    }
    step.right = true;
    typed_ = next;
    if (closes(typed_)) {
        closeSyllable();
        step.syllablesDone = 1;
        step.itemDone = current_ >= syllableCount();
    } else {
        shownIndex_ = findShown();
    }
    return step;
}

const std::string &FreeRomaji::shown() const
{
    static const std::string none;
    if (current_ >= syllableCount())
        return none;
    return (*spellings_[current_])[shownIndex_].letters;
}

char FreeRomaji::expected() const
{
    const std::string &s = shown();
    return typed_.size() < s.size() ? s[typed_.size()] : 0;
}

bool FreeRomaji::typingLead() const
{
    if (current_ >= syllableCount())
        return false;
    return int(typed_.size()) < (*spellings_[current_])[shownIndex_].leadLetters;
}

QString FreeRomaji::reading() const
{
    // Built a character at a time: this runs at every key.
    QString text;
    text.reserve(64);
    int masked = typedCount();
    for (int k = 0; k < syllableCount(); ++k) {
        if (k > 0)
            text += masked-- > 0 ? u'_' : u' ';
        const std::string &piece = k < current_    ? done_[k]
                                   : k == current_ ? shown()
                                                   : spellings_[k]->front().letters;
        for (const char c : piece)
            text += masked-- > 0 ? u'_' : QChar(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return text;
}

int FreeRomaji::typedCount() const
{
    int count = int(typed_.size()) + std::min(current_, syllableCount() - 1);
    for (const std::string &piece : done_)
        count += int(piece.size());
    return count;
}

} // namespace rinkaro
