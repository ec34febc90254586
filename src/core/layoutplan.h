#pragma once

// The text panel's animations, one pixel of width per step.

// Widening, for width i = 300 .. 777: the left edge keeps the panel about centred.
constexpr int widenStepLeft(int width)
{
    return 249 - (5 * width) / 17;
}
constexpr int widenFirstWidth = 300;
constexpr int widenLastWidth = 777;
constexpr int widenFinalLeft = 11;

// Narrowing, for step i = 1 .. 477: width 777 - i at left 11 + i / 2.
constexpr int narrowStepWidth(int step)
{
    return 777 - step;
}
constexpr int narrowStepLeft(int step)
{
    return 11 + step / 2;
}
constexpr int narrowSteps = 477;
constexpr int narrowFinalLeft = 250;

// Outer window heights of the two window sizes.
constexpr int shortWindowHeight = 400;
constexpr int tallWindowHeight = 460;
