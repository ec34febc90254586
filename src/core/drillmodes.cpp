// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/drillmodes.h"

#include "core/levels.h"

#include <QCoreApplication>

namespace rinkaro
{

void DrillModes::runStarted()
{
    // A run started in demo mode would only light keys and could never end.
    demo_ = false;
    startUsable_ = true;
    keysRouted_ = true;
}

void DrillModes::runEnded()
{
    keysRouted_ = false;
}

void DrillModes::demoAnswered(bool yes)
{
    demo_ = yes;
    keysRouted_ = yes;
    if (yes)
        startUsable_ = false;
    else if (!tutorial_.shown())
        startUsable_ = true;
}

void DrillModes::levelChosen()
{
    startUsable_ = true;
}

bool DrillModes::tutorialStarted()
{
    demo_ = false;
    keysRouted_ = false;
    if (!tutorial_.start())
        return false;
    startUsable_ = false;
    return true;
}

void DrillModes::tutorialEnded()
{
    tutorial_.end();
    demo_ = false;
    keysRouted_ = false;
}

DrillModes::KeyAction DrillModes::keyAction() const
{
    if (!keysRouted_)
        return KeyAction::None;
    return demo_ ? KeyAction::Light : KeyAction::Judge;
}

DrillModes::Command DrillModes::command(int key, Qt::KeyboardModifiers modifiers, bool panelOpen,
                                        bool repeated) const
{
    // With Shift, Ctrl or Alt a key is someone else's command; the keypad's arrows and End
    // are the same keys.
    if (modifiers & ~Qt::KeypadModifier)
        return Command::None;
    switch (key) {
    case Qt::Key_F5:
        // Held down, it would start and stop over and over.
        return startUsable_ && !repeated ? Command::StartStop : Command::None;
    case Qt::Key_Escape:
        // Esc is a typed character while keys go to the drill or light up.
        return panelOpen && keyAction() == KeyAction::None ? Command::ClosePanel : Command::None;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_End:
        if (!tutorial_.shown() || panelOpen)
            return Command::None;
        return key == Qt::Key_Left    ? Command::TutorialBack
               : key == Qt::Key_Right ? Command::TutorialForward
                                      : Command::TutorialEnd;
    default:
        return Command::None;
    }
}

bool DrillModes::practiseUsable(int level) const
{
    return levelItemsUsable() && isWeakDrill(level);
}

TypedKey typedKey(QStringView text, Qt::KeyboardModifiers modifiers, bool repeated)
{
    // A letter pressed with Alt or the logo key is a command, not a typed character: it is
    // neither right nor wrong. Shift and Ctrl letters are typed characters (wrong ones).
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return {};
    if (text.size() != 1 || text.front().unicode() > 0xFF)
        return {};
    // Held down, as F5 is, a key would be judged over and over.
    if (repeated)
        return {true, std::nullopt};
    return {true, char(text.front().unicode())};
}

std::optional<WeakDrillRefusal> weakDrillRefusal(int level, const QStringList &plannedItems)
{
    if (!plannedItems.isEmpty() || !isWeakDrill(level))
        return std::nullopt;
    const char *text =
        level == weakKeysLevel
            ? QT_TRANSLATE_NOOP("WeakDrill",
                                "苦手なキーを選ぶための記録がまだありません。\n"
                                "レベル1〜4を練習すると、ミスの多いキーや時間のかかるキーを"
                                "集めて練習できるようになります。")
            : QT_TRANSLATE_NOOP("WeakDrill",
                                "苦手なかなを選ぶための記録がまだありません。\n"
                                "レベル5〜9を練習すると、ミスの多いかなや時間のかかるかなを"
                                "集めて練習できるようになります。");
    return WeakDrillRefusal{levelName(level), QCoreApplication::translate("WeakDrill", text)};
}

} // namespace rinkaro
