// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/tutorialscript.h"

#include "core/screenunits.h"

#include "core/keytable.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace rinkaro
{

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
    // clang-format off
    static const std::vector<TutorialLine> lines{
        {QT_TRANSLATE_NOOP("Tutorial", "タイピングの方法を説明します"),
         {{Action::FontPoints, 32}, {Action::FontColour, blue}},
         {}},
        {QT_TRANSLATE_NOOP("Tutorial", "タイピングのコツは２つあります"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "①ホームポジションを維持すること"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "②正しい指使いをすることです"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "まずホームポジションを説明します"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "人さし指をＦとＪにのせます"), {}, {{Action::KeyColour, red, "FJ"}}},
        {QT_TRANSLATE_NOOP("Tutorial", "となりの指はとなりのキーにのせます"), {}, {{Action::KeyColour, red, "DSAKL;"}}},
        {QT_TRANSLATE_NOOP("Tutorial", "これがホームポジションです"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "次に指使いを説明します"), {{Action::ClearColours}}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "各指は３つのキーを担当します"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "小指は緑色のキーを担当します"), {fingerKeys(Finger::Little, littleFingerColour)}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "薬指は黄色のキーを担当します"), {fingerKeys(Finger::Ring, ringFingerColour)}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "中指は水色のキーを担当します"), {fingerKeys(Finger::Middle, middleFingerColour)}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "人さし指は桃色のキーを担当します"), {fingerKeys(Finger::Index, indexFingerColour)}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "人さし指だけ６つのキーを担当します"), {fingerKeys(Finger::Index, indexFingerColour)}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "たとえば、Ｒをタイプするときは"), {{Action::KeyColour, red, "R"}}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "左手人さし指でＲをタイプします"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "その後すぐに人さし指をＦに戻します"), {{Action::KeyColour, red, "F"}}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "このようにすることで"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "ホームポジションを維持できるのです"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "ＦとＪには小さな突起があるので"),
         {{Action::ClearColours}},
         {{Action::KeyColour, red, "FJ"}}},
        {QT_TRANSLATE_NOOP("Tutorial", "触るだけで指の位置が確認できます"), {}, {}},
        {QT_TRANSLATE_NOOP("Tutorial", "End Tutorial"),
         {{Action::ClearColours}, {Action::FontPoints, 48}, {Action::FontColour, black}},
         {}},
    };
    // clang-format on
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
        return QCoreApplication::translate("Tutorial", "セミコロン");
    case ',':
        return QCoreApplication::translate("Tutorial", "カンマ");
    case '.':
        return QCoreApplication::translate("Tutorial", "ピリオド");
    case '/':
        return QCoreApplication::translate("Tutorial", "スラッシュ");
    default:
        return QString::fromLatin1(key.caption);
    }
}

QString describe(const TutorialLine &line)
{
    const QString caption = QCoreApplication::translate("Tutorial", line.caption);
    QStringList named;
    bool inCaption = true;
    for (const std::size_t k : keysColoured(line)) {
        named << spokenKey(keyTable[k]);
        // Japanese captions write the letters full-width ("ＦとＪ"), English ones as words.
        const char letter = keyTable[k].caption[0];
        const QChar wide(0xFF00 + letter - 0x20);
        const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QLatin1Char(letter)));
        inCaption =
            inCaption && (caption.contains(wide) ||
                          (QChar(QLatin1Char(letter)).isLetter() && caption.contains(word)));
    }
    if (named.isEmpty() || inCaption)
        return caption;
    //: The keys a tutorial line colours, after the line, for a screen reader.
    return QCoreApplication::translate("Tutorial", "%1（%2）")
        .arg(caption,
             //: Between the names of keys.
             named.join(QCoreApplication::translate("Tutorial", "、")));
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
        look.caption = QCoreApplication::translate("Tutorial", entry.caption);
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

} // namespace rinkaro
