// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

namespace rinkaro
{

// The typing tutorial: 22 lines of explanation and "End Tutorial", each with the look of
// the text panel and of the keyboard at that line.
inline constexpr int tutorialLineCount = 23; // lines 0..22

struct TutorialLook {
    QString caption;
    // What a screen reader is told: the caption, with the keys that the line colours named
    // when the caption names them only by colour or by finger.
    QString description;
    int fontPixels = 0;     // the text panel's font height
    quint32 fontColour = 0; // Windows colour value 0x00BBGGRR
    // Each key's background, in key-table order; nullopt: the button face.
    std::array<std::optional<quint32>, 30> keyColours{};
};

// The whole look of line 0..22 as it is reached stepping forward from the start: the
// fonts and key colours of every earlier line included. Stepping back is this lookup.
TutorialLook tutorialLook(int line);

// Where the tutorial stands: hidden, showing its caption "Tutorial" (step 0), or showing
// line k (step k + 1).
class TutorialState
{
public:
    enum class Move {
        Nothing,  // the step buttons do nothing here
        ShowLine, // show the look of line()
        End,      // the tutorial ends
    };

    bool shown() const { return shown_; }
    int step() const { return step_; }
    // The line on screen, -1 while the caption "Tutorial" is.
    int line() const { return step_ - 1; }
    // Whether the caption "Tutorial" is on screen (choosing the tutorial again then only
    // clears the keyboard).
    bool atCaption() const { return shown_ && step_ == 0; }

    // Shows the caption "Tutorial"; returns false when it was already shown.
    bool start();
    Move forward();
    Move back();
    void end() { shown_ = false; }

private:
    bool shown_ = false;
    int step_ = 0;
};

} // namespace rinkaro
