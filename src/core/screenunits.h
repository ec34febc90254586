// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace rinkaro
{

// Sizes given in points at 96 dpi, as the pixels they are drawn in (48 pt = 64 px,
// 32 pt = 43 px), so that they do not depend on the screen's resolution.
constexpr int pointsToPixels(int points)
{
    return (points * 96 + 36) / 72;
}

} // namespace rinkaro
