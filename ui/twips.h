#pragma once

#include <cmath>

#include <QRect>

namespace orvella {

// Layout positions are kept in twips, 15 to a logical pixel (a 96-dpi screen); Qt scales the
// logical pixels on high-dpi screens.
constexpr int twips(int t)
{
    return (t + 7) / 15;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace orvella
