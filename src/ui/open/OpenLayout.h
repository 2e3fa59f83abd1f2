#pragma once

#include "image/Rounding.h"

#include <QRect>

#include <algorithm>

namespace lumiset::openlayout {

/// Space between the window's left edge and the lists' column.
inline constexpr int kMargin = 6;

/// A list or text box whose border is drawn whole at scale factors 1.5 and 2
/// as well: there a box keeps its frame only when it starts on an even
/// coordinate and ends on an odd one (its width and height are odd).
inline QRect framedBox(int left, int top, int width, int height)
{
    left += left & 1;
    top += top & 1;
    return QRect(left, top, width - 1 + (width & 1), height - 1 + (height & 1));
}

/// Control positions are whole pixels; halves go to the even neighbour.
inline QRect wholePixels(const QRectF& r)
{
    return QRect(roundHalfEvenToInt(r.x()), roundHalfEvenToInt(r.y()), std::max(1, roundHalfEvenToInt(r.width())),
                 std::max(1, roundHalfEvenToInt(r.height())));
}

} // namespace lumiset::openlayout
