// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/tutorialscript.h"

#include <QtCore/qnamespace.h>

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

private:
    TutorialState tutorial_;
    bool demo_ = false;
    bool keysRouted_ = false;
    bool startUsable_ = true;
};

} // namespace rinkaro
