// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/tutorialscript.h"

#include "core/screenunits.h"

#include "core/keytable.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace
{

constexpr quint32 red = 0x0000FF;
constexpr quint32 blue = 0xFF0000;
constexpr quint32 black = 0x000000;

// What a tutorial line does to the text panel and the keyboard picture.
struct Action {
    enum Kind {
        FontPoints, // value: the font size in points
        FontColour, // value: the font colour
        ClearColours,
        FingerKeys, // finger: the group, value: its colour
        KeyColour   // keys: captions of the keys, value: their background colour
    };
    Kind kind;
    quint32 value = 0;
    const char *keys = nullptr;
    Finger finger = Finger::Little;
};

Action fingerKeys(Finger finger, quint32 colour)
{
    return Action{Action::FingerKeys, colour, nullptr, finger};
}

struct TutorialLine {
    const char *caption;
    std::vector<Action> before; // run before the caption is set
    std::vector<Action> after;  // run after it
};

const std::vector<TutorialLine> &tutorialLines()
{
    static const std::vector<TutorialLine> lines{
        {"タイピングの方法を説明します",
         {{Action::FontPoints, 32}, {Action::FontColour, blue}},
         {}},
        {"タイピングのコツは２つあります", {}, {}},
        {"①ホームポジションを維持すること", {}, {}},
        {"②正しい指使いをすることです", {}, {}},
        {"まずホームポジションを説明します", {}, {}},
        {"人さし指をＦとＪにのせます", {}, {{Action::KeyColour, red, "FJ"}}},
        {"となりの指はとなりのキーにのせます", {}, {{Action::KeyColour, red, "DSAKL;"}}},
        {"これがホームポジションです", {}, {}},
        {"次に指使いを説明します", {{Action::ClearColours}}, {}},
        {"各指は３つのキーを担当します", {}, {}},
        {"小指は緑色のキーを担当します", {fingerKeys(Finger::Little, littleFingerColour)}, {}},
        {"薬指は黄色のキーを担当します", {fingerKeys(Finger::Ring, ringFingerColour)}, {}},
        {"中指は水色のキーを担当します", {fingerKeys(Finger::Middle, middleFingerColour)}, {}},
        {"人さし指は桃色のキーを担当します", {fingerKeys(Finger::Index, indexFingerColour)}, {}},
        {"人さし指だけ６つのキーを担当します", {fingerKeys(Finger::Index, indexFingerColour)}, {}},
        {"たとえば、Ｒをタイプするときは", {{Action::KeyColour, red, "R"}}, {}},
        {"左手人さし指でＲをタイプします", {}, {}},
        {"その後すぐに人さし指をＦに戻します", {{Action::KeyColour, red, "F"}}, {}},
        {"このようにすることで", {}, {}},
        {"ホームポジションを維持できるのです", {}, {}},
        {"ＦとＪには小さな突起があるので",
         {{Action::ClearColours}},
         {{Action::KeyColour, red, "FJ"}}},
        {"触るだけで指の位置が確認できます", {}, {}},
        {"End Tutorial",
         {{Action::ClearColours}, {Action::FontPoints, 48}, {Action::FontColour, black}},
         {}},
    };
    return lines;
}

void run(TutorialLook &look, const std::vector<Action> &actions)
{
    for (const Action &action : actions) {
        switch (action.kind) {
        case Action::FontPoints:
            look.fontPixels = pointsToPixels(int(action.value));
            break;
        case Action::FontColour:
            look.fontColour = action.value;
            break;
        case Action::ClearColours:
            look.keyColours.fill(std::nullopt);
            break;
        case Action::FingerKeys:
            for (std::size_t k = 0; k < keyTable.size(); ++k)
                if (keyTable[k].finger == action.finger)
                    look.keyColours[k] = action.value;
            break;
        case Action::KeyColour:
            for (const char *key = action.keys; *key; ++key)
                for (std::size_t k = 0; k < keyTable.size(); ++k)
                    if (keyTable[k].caption[0] == *key && keyTable[k].caption[1] == '\0')
                        look.keyColours[k] = action.value;
            break;
        }
    }
}

// The keys a line colours, in key-table order.
std::vector<std::size_t> keysColoured(const TutorialLine &line)
{
    std::vector<std::size_t> keys;
    TutorialLook look;
    for (const std::vector<Action> *actions : {&line.before, &line.after}) {
        for (const Action &action : *actions) {
            if (action.kind != Action::FingerKeys && action.kind != Action::KeyColour)
                continue;
            look.keyColours.fill(std::nullopt);
            run(look, {action});
            for (std::size_t k = 0; k < keyTable.size(); ++k)
                if (look.keyColours[k] && std::find(keys.begin(), keys.end(), k) == keys.end())
                    keys.push_back(k);
        }
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// A key as a screen reader should say it: the punctuation keys by name.
QString spokenKey(const KeyInfo &key)
{
    switch (key.caption[0]) {
    case ';':
        return QStringLiteral("セミコロン");
    case ',':
        return QStringLiteral("カンマ");
    case '.':
        return QStringLiteral("ピリオド");
    case '/':
        return QStringLiteral("スラッシュ");
    default:
        return QString::fromLatin1(key.caption);
    }
}

QString describe(const TutorialLine &line)
{
    const QString caption = QString::fromUtf8(line.caption);
    QStringList named;
    bool inCaption = true;
    for (const std::size_t k : keysColoured(line)) {
        named << spokenKey(keyTable[k]);
        // Captions write the letters full-width: "ＦとＪ".
        const QChar wide(0xFF00 + keyTable[k].caption[0] - 0x20);
        inCaption = inCaption && caption.contains(wide);
    }
    if (named.isEmpty() || inCaption)
        return caption;
    return caption + QStringLiteral("（") + named.join(QStringLiteral("、")) + QStringLiteral("）");
}

} // namespace

TutorialLook tutorialLook(int line)
{
    TutorialLook look;
    const auto &lines = tutorialLines();
    if (line < 0 || line >= int(lines.size()))
        return look;
    for (int n = 0; n <= line; ++n) {
        const TutorialLine &entry = lines[std::size_t(n)];
        run(look, entry.before);
        look.caption = QString::fromUtf8(entry.caption);
        look.description = describe(entry);
        run(look, entry.after);
    }
    return look;
}

bool TutorialState::start()
{
    // Choosing the tutorial again on its caption starts nothing new.
    if (atCaption())
        return false;
    shown_ = true;
    step_ = 0;
    return true;
}

TutorialState::Move TutorialState::forward()
{
    if (!shown_)
        return Move::Nothing;
    const int shownLine = step_;
    ++step_;
    if (shownLine >= 0 && shownLine < tutorialLineCount)
        return Move::ShowLine;
    shown_ = false;
    return Move::End;
}

TutorialState::Move TutorialState::back()
{
    // Nothing to go back to from the caption or the first line.
    if (!shown_ || step_ <= 1)
        return Move::Nothing;
    step_ -= 2;
    return forward();
}
