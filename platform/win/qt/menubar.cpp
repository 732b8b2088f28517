#include "platform/win/qt/menubar.h"

#include "platform/win/monitors.h"

namespace winqt {

void paintmenubar(QPainter& painter, HWND, const QRect& band)
{
    COLORREF colour = GetSysColor(COLOR_MENUBAR);
    painter.fillRect(band, QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour)));
}

bool menubarmouse(HWND, QMouseEvent*, bool, bool)
{
    return false;
}

}  // namespace winqt
