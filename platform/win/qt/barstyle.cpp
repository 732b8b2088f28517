#include "platform/win/qt/barstyle.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOption>

#include "platform/win/qt/painterdc.h"

namespace winqt {
namespace {

QStyle* style()
{
    return QApplication::style();
}

// The painter of a window's context, with the option's rectangle and palette set for the area.
QPainter* begin(HDC dc, const RECT& area, QStyleOption& option)
{
    auto* context = dynamic_cast<PainterDC*>(win::DeviceContext::of(dc));
    QPainter* painter = context && style() ? context->styledpainter(area) : nullptr;
    if (painter) {
        option.rect = QRect(area.left, area.top, area.right - area.left, area.bottom - area.top);
        option.palette = QApplication::palette();
        option.state |= QStyle::State_Enabled;
    }
    return painter;
}

int metric(QStyle::PixelMetric which, int fallback)
{
    int size = style() ? style()->pixelMetric(which) : -1;
    return size > 0 ? size : fallback;
}

} // namespace

int grippersize()
{
    return metric(QStyle::PM_ToolBarHandleExtent, 8);
}

int separatorsize()
{
    return metric(QStyle::PM_ToolBarSeparatorExtent, 8);
}

void drawgripper(HDC dc, const RECT& area, bool vertical)
{
    QStyleOption option;
    if (QPainter* painter = begin(dc, area, option)) {
        // The handle's lines run across the bar: a horizontal bar has an upright gripper.
        option.state |= vertical ? QStyle::State_None : QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, painter);
    }
}

void drawseparator(HDC dc, const RECT& area, bool vertical)
{
    QStyleOption option;
    if (QPainter* painter = begin(dc, area, option)) {
        option.state |= vertical ? QStyle::State_None : QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, painter);
    }
}

void drawbuttonpanel(HDC dc, const RECT& area, bool hot, bool pressed, bool checked)
{
    if (!hot && !pressed && !checked) {
        return;
    }
    QStyleOption option;
    if (QPainter* painter = begin(dc, area, option)) {
        option.state |= QStyle::State_AutoRaise;
        option.state |= hot ? QStyle::State_MouseOver | QStyle::State_Raised : QStyle::State_None;
        option.state |= pressed ? QStyle::State_Sunken : QStyle::State_None;
        option.state |= checked ? QStyle::State_On : QStyle::State_None;
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, painter);
    }
}

} // namespace winqt
