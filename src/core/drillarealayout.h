// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

#include <vector>

namespace rinkaro
{

// The drill area above the on-screen keyboard: the window's outer height (400 short, 460
// tall), the text panel and the reading line below it. One layout per level group; moving
// between them changes the height, shows or hides the reading line and animates the text
// panel one pixel of width per step. Every operation updates the geometry held here and
// returns the frames the view shows, in order.
class DrillAreaLayout
{
public:
    static constexpr int shortHeight = 400;
    static constexpr int tallHeight = 460;

    struct Geometry {
        int outerHeight = shortHeight;
        QRect text{11, 24, 777, 73};
        QRect reading{11, 104, 777, 57};
        bool readingShown = false;
        friend bool operator==(const Geometry &, const Geometry &) = default;
    };
    struct Frame {
        Geometry geometry;
        int animationStep = 0; // 1, 2, ... within an animation of the text panel; 0 outside
    };
    using Frames = std::vector<Frame>;

    // The form as built: the phrase levels' wide text panel in the short window.
    DrillAreaLayout() = default;
    // Any other starting point, such as a tall window at a key level.
    explicit DrillAreaLayout(const Geometry &start) : geometry_(start) {}
    const Geometry &geometry() const { return geometry_; }

    // The layout of a level's group (levels outside 1..9 are laid out as level 1).
    Frames layOutForLevel(int level);
    // At start-up, before the stored level is selected.
    Frames startUp(int level);
    // The tutorial takes the wide panel and hides the reading line; at its end the level's
    // layout comes back.
    Frames startTutorial();
    Frames endTutorial(int level);

    // The two animations: widening from 300 to 777 pixels (478 steps, whatever the width
    // was), narrowing from 777 to 300 (477 steps).
    Frames widenText();
    Frames narrowText();

private:
    void push(Frames &frames, int step = 0) const;
    // One frame for each change that really alters the geometry.
    void change(Frames &frames, const Geometry &next);
    void setOuterHeight(Frames &frames, int height);
    void setReading(Frames &frames, int left, int width);
    void showReading(Frames &frames, bool shown);
    void moveText(Frames &frames, int left);
    Geometry geometry_;
};

} // namespace rinkaro
