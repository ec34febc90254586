#include "core/drillarealayout.h"

#include "core/layoutplan.h"

namespace
{

int laidOutLevel(int level)
{
    return level >= 1 && level <= 9 ? level : 1;
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
    level = laidOutLevel(level);
    Frames frames;
    const auto append = [&frames](Frames more) {
        frames.insert(frames.end(), more.begin(), more.end());
    };
    // The rules test the height and the width separately, in this order; a tall window at a
    // key level or a narrow panel in a tall window lets only the width rules fire.
    if (level >= 7 && geometry_.outerHeight <= shortWindowHeight) {
        setOuterHeight(frames, tallWindowHeight);
        setReading(frames, 11, 777);
        showReading(frames, true);
        append(widenText());
    } else if (level >= 7 && geometry_.text.width() <= 300) {
        setReading(frames, 11, 777);
        append(widenText());
    } else if ((level == 5 || level == 6) && geometry_.outerHeight <= shortWindowHeight) {
        setOuterHeight(frames, tallWindowHeight);
        setReading(frames, 250, 300);
        showReading(frames, true);
    } else if ((level == 5 || level == 6) && geometry_.text.width() == 777) {
        setReading(frames, 250, 300);
        append(narrowText());
    } else if (level <= 4 && geometry_.outerHeight == tallWindowHeight) {
        showReading(frames, false);
        setOuterHeight(frames, shortWindowHeight);
        if (geometry_.text.width() == 777)
            append(narrowText());
    }
    return frames;
}

DrillAreaLayout::Frames DrillAreaLayout::startUp(int level)
{
    // The form is built in the phrase levels' wide layout; every other level, including an
    // unknown one shown as level 1, starts from the narrow panel.
    Frames frames;
    if (level <= 6 || level > 9)
        frames = narrowText();
    Frames more = layOutForLevel(level);
    frames.insert(frames.end(), more.begin(), more.end());
    return frames;
}

DrillAreaLayout::Frames DrillAreaLayout::startTutorial()
{
    Frames frames = widenText();
    if (geometry_.outerHeight <= shortWindowHeight)
        setOuterHeight(frames, shortWindowHeight);
    showReading(frames, false);
    return frames;
}

DrillAreaLayout::Frames DrillAreaLayout::endTutorial(int level)
{
    Frames frames;
    if (level <= 6)
        frames = narrowText();
    if (level >= 5)
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
    moveText(frames, widenFinalLeft);
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
    moveText(frames, narrowFinalLeft);
    return frames;
}
