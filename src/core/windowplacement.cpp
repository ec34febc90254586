// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/windowplacement.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace rinkaro
{

namespace
{

enum class Side { Right, Left, Below, Above };

QRect roomOn(Side side, const QRect &screen, const QRect &main, const QRect &drillArea)
{
    switch (side) {
    case Side::Right:
        return QRect(QPoint(main.right() + 1, screen.top()), screen.bottomRight());
    case Side::Left:
        return QRect(screen.topLeft(), QPoint(main.left() - 1, screen.bottom()));
    case Side::Below:
        return QRect(QPoint(screen.left(), drillArea.bottom() + 1), screen.bottomRight());
    case Side::Above:
        break;
    }
    return QRect(screen.topLeft(), QPoint(screen.right(), drillArea.top() - 1));
}

// The window of `size` in `room`, against the main window on that side, aligned with it
// across; then moved into the screen.
QRect placeIn(Side side, const QRect &room, const QRect &screen, const QRect &main, QSize size)
{
    QRect window(QPoint(0, 0), size);
    switch (side) {
    case Side::Right:
        window.moveTopLeft(QPoint(room.left(), main.top()));
        break;
    case Side::Left:
        window.moveTopRight(QPoint(room.right(), main.top()));
        break;
    case Side::Below:
        window.moveTopLeft(QPoint(main.center().x() - size.width() / 2, room.top()));
        break;
    case Side::Above:
        window.moveBottomLeft(QPoint(main.center().x() - size.width() / 2, room.bottom()));
        break;
    }
    window.moveLeft(std::clamp(window.left(), screen.left(),
                               std::max(screen.left(), screen.right() - window.width() + 1)));
    window.moveTop(std::clamp(window.top(), screen.top(),
                              std::max(screen.top(), screen.bottom() - window.height() + 1)));
    return window;
}

} // namespace

QRect placeBeside(const QRect &screen, const QRect &main, const QRect &drillArea, QSize wanted,
                  QSize minimum)
{
    constexpr std::array sides{Side::Right, Side::Left, Side::Below, Side::Above};
    Side largest = Side::Right;
    qint64 largestArea = -1;
    for (const Side side : sides) {
        const QRect room = roomOn(side, screen, main, drillArea);
        if (room.width() >= minimum.width() && room.height() >= minimum.height())
            return placeIn(side, room, screen, main, wanted.boundedTo(room.size()));
        const qint64 area = qint64(std::max(room.width(), 0)) * std::max(room.height(), 0);
        if (area > largestArea) {
            largest = side;
            largestArea = area;
        }
    }
    const QRect room = roomOn(largest, screen, main, drillArea);
    const QSize size = wanted.boundedTo(room.size()).expandedTo(minimum).boundedTo(screen.size());
    return placeIn(largest, room, screen, main, size);
}

QRect makeRoomBelow(const QRect &screen, const QRect &main, QSize minimum)
{
    const bool roomBeside = screen.right() - main.right() >= minimum.width() ||
                            main.left() - screen.left() >= minimum.width();
    if (roomBeside || main.top() <= screen.top())
        return main;
    return main.translated(0, screen.top() - main.top());
}

QRect keptOnScreen(const QRect &screen, const QRect &frame)
{
    QRect kept = frame;
    if (kept.right() > screen.right())
        kept.moveRight(screen.right());
    if (kept.bottom() > screen.bottom())
        kept.moveBottom(screen.bottom());
    if (kept.left() < screen.left())
        kept.moveLeft(screen.left());
    if (kept.top() < screen.top())
        kept.moveTop(screen.top());
    return kept;
}

QPoint centredOn(const QRect &screen, QSize outer)
{
    return QPoint(screen.x() + std::max(0, (screen.width() - outer.width()) / 2),
                  screen.y() + std::max(0, (screen.height() - outer.height()) / 2));
}

double scaleToFit(const QRect &screen, QSize outer, double smallest)
{
    if (outer.isEmpty() || screen.isEmpty())
        return 1;
    const double fit =
        std::min(double(screen.width()) / outer.width(), double(screen.height()) / outer.height());
    if (fit >= 1)
        return 1;
    // Rounded down, so that fractional pixels never tip it over the edge.
    return std::max(smallest, std::floor(fit * 100) / 100);
}

RunPanes runPanes(int across, int height, int tableWidth, int chartWidth)
{
    // A chart beside a table is at its best this wide; stacked, both need this height.
    constexpr int wideAcross = 968;
    constexpr int stackedHeight = 620;
    const int share = std::min(tableWidth, across - chartWidth);
    if ((across >= wideAcross || height < stackedHeight) && share >= narrowestTable)
        return {true, true, share};
    if (height >= stackedHeight)
        return {false, true, 0};
    return {false, false, 0};
}

} // namespace rinkaro
