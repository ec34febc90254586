// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/drillarealayout.h"

#include "core/levels.h"
#include "core/textpanelsteps.h"

namespace rinkaro
{

namespace
{

// A level that cannot be drilled is laid out as level 1.
LevelGroup laidOutGroup(int level)
{
    return levelGroup(isDrillLevel(level) ? level : 1);
}

} // namespace

void DrillAreaLayout::push(Frames &frames, int step) const
{
    frames.push_back(Frame{geometry_, step});
}

void DrillAreaLayout::change(Frames &frames, const Geometry &next)
{
    if (next == geometry_)
        return;
    geometry_ = next;
    push(frames);
}

void DrillAreaLayout::setOuterHeight(Frames &frames, int height)
{
    Geometry next = geometry_;
    next.outerHeight = height;
    change(frames, next);
}

void DrillAreaLayout::setReading(Frames &frames, int left, int width)
{
    Geometry next = geometry_;
    next.reading.setRect(left, next.reading.y(), width, next.reading.height());
    change(frames, next);
}

void DrillAreaLayout::showReading(Frames &frames, bool shown)
{
    Geometry next = geometry_;
    next.readingShown = shown;
    change(frames, next);
}

void DrillAreaLayout::moveText(Frames &frames, int left)
{
    Geometry next = geometry_;
    next.text.moveLeft(left);
    change(frames, next);
}

DrillAreaLayout::Frames DrillAreaLayout::layOutForLevel(int level)
{
    const LevelGroup group = laidOutGroup(level);
    Frames frames;
    const auto append = [&frames](Frames more) {
        frames.insert(frames.end(), more.begin(), more.end());
    };
    const bool shortWindow = geometry_.outerHeight <= shortHeight;
    // The rules test the height and the width separately, in this order; a tall window at a
    // key level or a narrow panel in a tall window lets only the width rules fire.
    if (group == LevelGroup::Phrase && shortWindow) {
        setOuterHeight(frames, tallHeight);
        setReading(frames, wideLeft, wideWidth);
        showReading(frames, true);
        append(widenText());
    } else if (group == LevelGroup::Phrase && geometry_.text.width() <= narrowWidth) {
        setReading(frames, wideLeft, wideWidth);
        append(widenText());
    } else if (group == LevelGroup::Syllable && shortWindow) {
        setOuterHeight(frames, tallHeight);
        setReading(frames, narrowLeft, narrowWidth);
        showReading(frames, true);
    } else if (group == LevelGroup::Syllable && geometry_.text.width() == wideWidth) {
        setReading(frames, narrowLeft, narrowWidth);
        append(narrowText());
    } else if (group == LevelGroup::Key && geometry_.outerHeight == tallHeight) {
        showReading(frames, false);
        setOuterHeight(frames, shortHeight);
        if (geometry_.text.width() == wideWidth)
            append(narrowText());
    }
    return frames;
}

DrillAreaLayout::Frames DrillAreaLayout::startUp(int level)
{
    // The form is built in the phrase levels' wide layout; every other level, including an
    // unknown one shown as level 1, starts from the narrow panel.
    Frames frames;
    if (laidOutGroup(level) != LevelGroup::Phrase)
        frames = narrowText();
    Frames more = layOutForLevel(level);
    frames.insert(frames.end(), more.begin(), more.end());
    return frames;
}

DrillAreaLayout::Frames DrillAreaLayout::startTutorial()
{
    Frames frames = widenText();
    showReading(frames, false);
    return frames;
}

DrillAreaLayout::Frames DrillAreaLayout::endTutorial(int level)
{
    Frames frames;
    if (levelGroup(level) != LevelGroup::Phrase)
        frames = narrowText();
    if (levelGroup(level) != LevelGroup::Key)
        showReading(frames, true);
    Frames more = layOutForLevel(level);
    frames.insert(frames.end(), more.begin(), more.end());
    return frames;
}

DrillAreaLayout::Frames DrillAreaLayout::widenText()
{
    Frames frames;
    int step = 0;
    for (int width = widenFirstWidth; width <= widenLastWidth; ++width) {
        geometry_.text.setRect(widenStepLeft(width), geometry_.text.y(), width,
                               geometry_.text.height());
        push(frames, ++step);
    }
    moveText(frames, wideLeft);
    return frames;
}

DrillAreaLayout::Frames DrillAreaLayout::narrowText()
{
    Frames frames;
    for (int step = 1; step <= narrowSteps; ++step) {
        geometry_.text.setRect(narrowStepLeft(step), geometry_.text.y(), narrowStepWidth(step),
                               geometry_.text.height());
        push(frames, step);
    }
    moveText(frames, narrowLeft);
    return frames;
}

} // namespace rinkaro
