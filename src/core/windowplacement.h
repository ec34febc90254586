// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

namespace rinkaro
{

// Where a window of `wanted` size (its frame included) goes so that the learner can keep
// drilling beside it: right of the main window `main`, else left of it, when the screen has
// room there for `minimum`; else below or above `drillArea` (the part of the main window that
// shows what to type), covering the keyboard rather than the item. Its size is cut to that
// room. Where the screen has no such room, the window takes the largest of them and as little
// of the drill area as it can. All rectangles are frames in screen coordinates.
QRect placeBeside(const QRect &screen, const QRect &main, const QRect &drillArea, QSize wanted,
                  QSize minimum);

// Where the main window's frame `main` goes before a window is placed beside it: when neither
// side has room for `minimum`, so that the window goes below the drill area, the main window
// moves up to the screen's top edge and the room it leaves above goes below it too. Otherwise,
// or when it is at the top already, `main` as it is.
QRect makeRoomBelow(const QRect &screen, const QRect &main, QSize minimum);

// A window's frame moved, as little as it can, back onto `screen` (its available area): off the
// right or bottom edge it moves left or up; its top-left corner, where its caption is, stays
// on the screen first.
QRect keptOnScreen(const QRect &screen, const QRect &frame);

// Where the top-left corner of a window's frame of `outer` size goes to stand in the middle of
// `screen` (its available area). A window larger than the screen keeps its top-left corner on
// it, where its caption, menus and first controls are, and runs off the right or bottom edge.
QPoint centredOn(const QRect &screen, QSize outer);

// The main window's frame at its tallest (the tall drill area, its menu bar and the frame a
// window manager adds), in the pixels of the scale it is drawn at.
inline constexpr QSize tallestMainWindow(808, 470);

// The fraction by which everything must be drawn smaller for a window of `outer` size (frame
// included) to fit in `screen` (its available area): 1 when it fits as it is, else the largest
// hundredth that fits both ways, never below `smallest`.
double scaleToFit(const QRect &screen, QSize outer, double smallest = 0.25);

// How the progress window shows its chart and its table of runs in `across` x `height` (the
// room of both), when the table needs `tableWidth` to show every column and the chart at least
// `chartWidth`: beside each other when the room is wide, else the table under the chart when
// it is tall enough for both, else beside a chart at its narrowest with the table in what is
// left while that is at least `narrowestTable`; only smaller room folds the table away under
// the chart. Beside, `tableShare` is the table's width: every column where the room allows.
struct RunPanes {
    bool beside = true;
    bool tableShown = true;
    int tableShare = 0;
};
RunPanes runPanes(int across, int height, int tableWidth, int chartWidth);
inline constexpr int narrowestTable = 200;

} // namespace rinkaro
