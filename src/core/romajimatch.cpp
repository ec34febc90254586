// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/romajimatch.h"

#include <algorithm>
#include <array>

namespace
{

constexpr int syllableN = 46; // ん

// The direct spellings of the syllables 1..87, the most common first; the contracted
// sounds 72-83 also take their first kana followed by a small ゃ ゅ ょ (below).
// clang-format off
const std::array<std::vector<std::string>, 88> directSpellings{{
    {},
    {"a"}, {"i"}, {"u"}, {"e"}, {"o"},
    {"ka"}, {"ki"}, {"ku"}, {"ke"}, {"ko"},
    {"sa"}, {"shi", "si", "ci"}, {"su"}, {"se"}, {"so"},
    {"ta"}, {"chi", "ti", "tsi"}, {"tsu", "tu"}, {"te"}, {"to"},
    {"na"}, {"ni"}, {"nu"}, {"ne"}, {"no"},
    {"ha"}, {"hi"}, {"fu", "hu"}, {"he"}, {"ho"},
    {"ma"}, {"mi"}, {"mu"}, {"me"}, {"mo"},
    {"ya"}, {"yu"}, {"yo"},
    {"ra"}, {"ri"}, {"ru"}, {"re"}, {"ro"},
    {"wa"}, {"wo"}, {"nn", "n'", "xn"},
    {"ga"}, {"gi"}, {"gu"}, {"ge"}, {"go"},
    {"za"}, {"ji", "zi"}, {"zu"}, {"ze"}, {"zo"},
    {"da"}, {"di"}, {"du"}, {"de"}, {"do"},
    {"ba"}, {"bi"}, {"bu"}, {"be"}, {"bo"},
    {"pa"}, {"pi"}, {"pu"}, {"pe"}, {"po"},
    {"kya"}, {"kyu"}, {"kyo"},
    {"sha", "sya"}, {"shu", "syu"}, {"sho", "syo"},
    {"ja", "jya", "zya"}, {"ju", "jyu", "zyu"}, {"jo", "jyo", "zyo"},
    {"cha", "tya", "cya"}, {"chu", "tyu", "cyu"}, {"cho", "tyo", "cyo"},
    {"xtu", "ltu", "xtsu", "ltsu"},
    {","}, {"."}, {"-"},
}};
// clang-format on

// The kana a contracted sound starts with, and the small kana that follows it.
struct Contracted {
    int first;
    const char *small;
};
Contracted contracted(int code)
{
    static constexpr std::array<int, 4> firsts{7, 12, 53, 17}; // き し じ ち
    static constexpr std::array<const char *, 3> smalls{"ya", "yu", "yo"};
    const int k = code - 72;
    return {firsts[k / 3], smalls[k % 3]};
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

std::vector<Spelling> plainSpellings(const RomajiTable &table, int code)
{
    std::vector<Spelling> list;
    addUnique(list, {table.romaji(code).toLower().toStdString(), 0});
    if (code < 1 || code > smallTsu + 3)
        return list;
    for (const std::string &s : directSpellings[code])
        addUnique(list, {s, 0});
    if (code >= 72 && code <= 83) {
        const Contracted c = contracted(code);
        for (const std::string &first : directSpellings[c.first])
            for (const char *x : {"x", "l"})
                addUnique(list, {first + x + c.small, 0});
    }
    return list;
}

} // namespace

std::vector<Spelling> spellingsOf(const RomajiTable &table, FreeSyllable syllable)
{
    if (!syllable.doubled)
        return plainSpellings(table, syllable.code);
    const std::vector<Spelling> follower = plainSpellings(table, syllable.code);
    std::vector<Spelling> list;
    // The table's piece first: its first letter doubled, whatever that letter is.
    const std::string &own = follower.front().letters;
    if (!own.empty())
        addUnique(list, {own.front() + own, 1});
    for (const Spelling &s : follower)
        if (!s.letters.empty() && isConsonant(s.letters.front()) && s.letters.front() != 'n')
            addUnique(list, {s.letters.front() + s.letters, 1});
    for (const std::string &tsu : directSpellings[smallTsu])
        for (const Spelling &s : follower)
            addUnique(list, {tsu + s.letters, int(tsu.size())});
    return list;
}

void FreeRomaji::setItem(const RomajiTable &table, const std::vector<FreeSyllable> &syllables,
                         int from)
{
    spellings_.assign(syllables.size(), {});
    for (std::size_t k = syllables.size(); k-- > 0;) {
        spellings_[k] = spellingsOf(table, syllables[k]);
        // ん as a single "n" only before a syllable whose every spelling starts with a
        // consonant other than n and y: elsewhere an input method would read it otherwise.
        if (syllables[k].code == syllableN && !syllables[k].doubled && k + 1 < syllables.size()) {
            const auto &next = spellings_[k + 1];
            const bool consonantNext = std::all_of(next.begin(), next.end(), [](const Spelling &s) {
                const char c = s.letters.empty() ? 0 : s.letters.front();
                return isConsonant(c) && c != 'n' && c != 'y';
            });
            if (consonantNext)
                spellings_[k].push_back({"n", 0});
        }
    }
    done_.clear();
    current_ = std::clamp(from, 0, syllableCount());
    for (int k = 0; k < current_; ++k)
        done_.push_back(spellings_[k].front().letters);
    typed_.clear();
    shownIndex_ = 0;
}

bool FreeRomaji::closes(const std::string &letters) const
{
    const auto &list = spellings_[current_];
    bool complete = false;
    for (const Spelling &s : list) {
        if (s.letters == letters)
            complete = true;
        else if (s.letters.starts_with(letters) && current_ + 1 < syllableCount())
            return false; // a longer spelling may still come; the next key decides
    }
    return complete;
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
    const auto &list = spellings_[current_];
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
        return std::any_of(spellings_[k].begin(), spellings_[k].end(),
                           [&](const Spelling &s) { return s.letters.starts_with(letters); });
    };
    const std::string next = typed_ + key;
    if (!startsWith(current_, next)) {
        // A syllable already spelt (ん as "n") leaves the key to the next one.
        const bool spelt = !typed_.empty() && current_ + 1 < syllableCount() &&
                           std::any_of(spellings_[current_].begin(), spellings_[current_].end(),
                                       [&](const Spelling &s) { return s.letters == typed_; });
        if (!spelt || !startsWith(current_ + 1, std::string(1, key)))
            return step;
        closeSyllable();
        Step after = type(key);
        ++after.syllablesDone;
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
    return spellings_[current_][shownIndex_].letters;
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
    return int(typed_.size()) < spellings_[current_][shownIndex_].leadLetters;
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
                                                   : spellings_[k].front().letters;
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
