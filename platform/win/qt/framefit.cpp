#include "platform/win/qt/framefit.h"

#include <algorithm>

QRect insideonscreen(const QRect& inside, const QMargins& frame, const QRect& available)
{
    const QRect outside = inside.marginsAdded(frame);
    const int width = std::min(outside.width(), available.width());
    const int height = std::min(outside.height(), available.height());
    const int left = std::clamp(outside.left(), available.left(), available.left() + available.width() - width);
    const int top = std::clamp(outside.top(), available.top(), available.top() + available.height() - height);
    return QRect(left, top, width, height).marginsRemoved(frame);
}
