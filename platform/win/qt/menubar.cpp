#include "platform/win/qt/menubar.h"

#include "platform/win/devicecontext.h"
#include "platform/win/menu.h"
#include "platform/win/menustate.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/painterdc.h"
#include "platform/win/system.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace winqt {
namespace {

QColor colourof(int index)
{
    COLORREF colour = GetSysColor(index);
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

} // namespace

void paintmenubar(QPainter& painter, HWND window, const QRect& band)
{
    painter.fillRect(band, colourof(COLOR_MENUBAR));
    auto bar = win::menuref(GetMenu(window));
    RECT area {};
    if (!bar || !GetWindowRect(window, &area)) {
        return;
    }
    auto* font = win::objectas<win::Font>(GetStockObject(DEFAULT_GUI_FONT), OBJ_FONT);
    painter.setFont(fontof(font->logfont));
    auto items = win::menubarlayout(window);
    int hot = win::menubarhot(window);
    for (size_t i = 0; i < items.size() && i < bar->items.size(); ++i) {
        const win::MenuItem& item = bar->items[i];
        QRect r(items[i].left - area.left, items[i].top - area.top, items[i].right - items[i].left,
            items[i].bottom - items[i].top);
        bool enabled = !(item.state & (MF_GRAYED | MF_DISABLED));
        if (static_cast<int>(i) == hot) {
            painter.fillRect(r, colourof(COLOR_MENUHILIGHT));
            painter.setPen(colourof(COLOR_HIGHLIGHTTEXT));
        } else {
            painter.setPen(colourof(enabled ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
        }
        painter.drawText(r, Qt::AlignCenter | Qt::TextShowMnemonic, QString::fromStdString(item.text));
    }
}

bool menubarmouse(HWND window, QMouseEvent* event, bool press, bool)
{
    auto record = win::windowref(window);
    if (!record || (record->style & WS_CHILD) || !record->menu || win::trackedmenu()
        || win::menubarhot(window) >= 0) {
        return false;
    }
    if (event->position().y() >= win::menubarheight()) {
        return false;
    }
    if (press && event->button() == Qt::LeftButton) {
        // As a click on the bar arrives: a non-client press that the default handling tracks.
        RECT area {};
        GetWindowRect(window, &area);
        QPoint local = event->position().toPoint();
        MSG message { window, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTMENU), 0, GetTickCount(), {} };
        message.pt = tagPOINT { area.left + local.x(), area.top + local.y() };
        message.lParam = MAKELPARAM(static_cast<WORD>(message.pt.x), static_cast<WORD>(message.pt.y));
        win::enqueueinput(message, 0, HTMENU);
    }
    return true;
}

} // namespace winqt
