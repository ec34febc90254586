// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/tutorialscript.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QtCore/qnamespace.h>

#include <optional>

namespace rinkaro
{

// What the main window is doing besides showing a level: a drill run, demo mode (typed
// keys only light up), the tutorial, or more than one of them (demo mode can be entered
// during a run or the tutorial). The transitions decide where typed keys go, whether the
// Start button and the level items can be used, and what a key does; the window asks
// after each one and shows the answer.
class DrillModes
{
public:
    enum class KeyAction {
        None,  // the key goes to whatever control has the focus
        Judge, // the drill judges it
        Light, // demo mode: the key typed lights up
    };

    // What a key that types no character does, whatever control has the focus: F5 is Start
    // and Stop, Left, Right and End step and end the tutorial, Esc closes an open panel.
    // None of them is ever judged.
    enum class Command {
        None, // an ordinary key: keyAction() says where it goes
        StartStop,
        TutorialBack,
        TutorialForward,
        TutorialEnd,
        ClosePanel, // as the panel's OK does
    };

    // Start clicked with no run: demo mode ends and the keys go to the drill.
    void runStarted();
    // Stop clicked, or the run finished: keys go back to the controls.
    void runEnded();
    // The question of a double click on the keyboard's background, answered. Yes: keys
    // light up and Start cannot be used. No: keys go back to the controls, and Start
    // becomes usable unless the tutorial keeps it from use.
    void demoAnswered(bool yes);
    // A level chosen from the menu makes Start usable again, demo mode or not.
    void levelChosen();
    // The tutorial's caption shown (returns false when the tutorial was already on screen:
    // nothing changes then but that demo mode ends). It takes over the drill area: a run
    // in progress must have been stopped, Start and the level items cannot be used.
    bool tutorialStarted();
    // The tutorial's end: the level items come back, demo mode ends, keys go back to the
    // controls (the window chooses the level again, which makes Start usable).
    void tutorialEnded();

    bool demo() const { return demo_; }
    bool tutorialShown() const { return tutorial_.shown(); }
    TutorialState &tutorial() { return tutorial_; }
    const TutorialState &tutorial() const { return tutorial_; }
    // Whether typed characters go to the drill, whatever control has the focus.
    bool keysRouted() const { return keysRouted_; }
    KeyAction keyAction() const;
    // `key` a Qt::Key; `panelOpen`: a panel is open over the drill area (its controls keep
    // the arrows and End); `repeated`: the key is held down.
    Command command(int key, Qt::KeyboardModifiers modifiers, bool panelOpen, bool repeated) const;
    bool startUsable() const { return startUsable_; }
    bool levelItemsUsable() const { return !tutorial_.shown(); }
    // Whether keys or kana marked elsewhere (the progress window) may be practised now as the
    // drill `level`: only a weak drill, and not while the tutorial holds the drill area.
    bool practiseUsable(int level) const;

private:
    TutorialState tutorial_;
    bool demo_ = false;
    bool keysRouted_ = false;
    bool startUsable_ = true;
};

// What a key press with `text` does as a typed character, once DrillModes::keyAction() has
// sent it to the drill: one 8-bit character pressed without Alt or the logo key is typed; a
// held key is typed once, its repeats taken by the window and neither right nor wrong.
// Anything else (modifiers alone, composed text, several characters at once, Alt or logo
// commands) is no typed character and goes on to the focused control.
struct TypedKey {
    bool taken = false;            // the window keeps the key from the focused control
    std::optional<char> character; // the character to judge
    friend bool operator==(const TypedKey &, const TypedKey &) = default;
};
TypedKey typedKey(QStringView text, Qt::KeyboardModifiers modifiers, bool repeated);

// Why a weak drill cannot be chosen or started: its plan drew no items (`plannedItems`), as
// when the history has no runs of its kind or the marked items cannot be drilled (っ). The
// message the learner is given; nullopt when the drill has items.
struct WeakDrillRefusal {
    QString caption;
    QString text;
};
std::optional<WeakDrillRefusal> weakDrillRefusal(int level, const QStringList &plannedItems);

} // namespace rinkaro
