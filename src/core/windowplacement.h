// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

// Where a window of `wanted` size (its frame included) goes so that the learner can keep
// drilling beside it: right of the main window `main`, else left of it, when the screen has
// room there for `minimum`; else below or above `drillArea` (the part of the main window that
// shows what to type), covering the keyboard rather than the item. Its size is cut to that
// room. Where the screen has no such room, the window takes the largest of them and as little
// of the drill area as it can. All rectangles are frames in screen coordinates.
QRect placeBeside(const QRect &screen, const QRect &main, const QRect &drillArea, QSize wanted,
                  QSize minimum);

// Where the top-left corner of a window's frame of `outer` size goes to stand in the middle of
// `screen` (its available area). A window larger than the screen keeps its top-left corner on
// it, where its caption, menus and first controls are, and runs off the right or bottom edge.
QPoint centredOn(const QRect &screen, QSize outer);
