// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/contrast.h"

#include <algorithm>
#include <cmath>

namespace rinkaro
{

namespace
{

// The light a screen gives for one 8-bit channel, the sRGB curve undone.
double linear(quint32 channel)
{
    const double value = double(channel & 0xFF) / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(quint32 rgb)
{
    return 0.2126 * linear(rgb >> 16) + 0.7152 * linear(rgb >> 8) + 0.0722 * linear(rgb);
}

} // namespace

double contrastRatio(quint32 first, quint32 second)
{
    const double a = luminance(first) + 0.05;
    const double b = luminance(second) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

} // namespace rinkaro
