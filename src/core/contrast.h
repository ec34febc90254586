// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace rinkaro
{

// How far apart two colours (0xRRGGBB) are to the eye: the ratio of their relative
// luminances, each plus 0.05, from 1 (the same) to 21 (black and white). Text wants 4.5 (3
// for large text), a focus ring 3 against what surrounds it.
double contrastRatio(quint32 first, quint32 second);

// The Start button's focus ring, as 0xRRGGBB: a dark blue that stands out from the light
// button face it is drawn on (at least 3:1 against any face lighter than mid grey).
inline constexpr quint32 focusRingColour = 0x002B8C;
inline constexpr int focusRingWidth = 3;

} // namespace rinkaro
