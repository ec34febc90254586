// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace rinkaro
{

// Where the text panel and the reading line stand, and the steps of the text panel's two
// animations, one pixel of width per step.

// The wide panel of the phrase levels and the tutorial, and the narrow one of the others.
inline constexpr int wideLeft = 11;
inline constexpr int wideWidth = 777;
inline constexpr int narrowLeft = 250;
inline constexpr int narrowWidth = 300;

// Widening, for width i = 300 .. 777: the left edge keeps the panel about centred, and
// moves to the wide panel's edge after the last step.
constexpr int widenStepLeft(int width)
{
    return 249 - (5 * width) / 17;
}
inline constexpr int widenFirstWidth = narrowWidth;
inline constexpr int widenLastWidth = wideWidth;

// Narrowing, for step i = 1 .. 477: width 777 - i at left 11 + i / 2; the narrow panel's
// left edge after the last step.
constexpr int narrowStepWidth(int step)
{
    return wideWidth - step;
}
constexpr int narrowStepLeft(int step)
{
    return wideLeft + step / 2;
}
inline constexpr int narrowSteps = wideWidth - narrowWidth;

} // namespace rinkaro
