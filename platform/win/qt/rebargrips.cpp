// The Qt face of the rebar control: each band's gripper is a widget drawn with the style's tool
// bar handle, with the move cursor; pressing it grabs the band as the rebar's own mouse message
// would. Everything else of the rebar is its window's.

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

#include "platform/win/gdi.h"
#include "platform/win/qt/nativewindow.h"
#include "platform/win/qt/rebar.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace winqt {

class BandGrip : public QWidget {
public:
    BandGrip(HWND rebar, QWidget* parent)
        : QWidget(parent)
        , rebar(rebar)
    {
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::SizeAllCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        Rebar* bar = rebarof(rebar);
        if (!bar) {
            return;
        }
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        // The handle's lines run across the bar: a horizontal bar has an upright gripper.
        option.state.setFlag(QStyle::State_Horizontal, !vertical(*bar));
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, &painter, this);
    }

    void mousePressEvent(QMouseEvent* event) override { take(event, false); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { take(event, true); }
    // The release of a press the grip took stays with it; a drag ends where the mouse is held.
    void mouseReleaseEvent(QMouseEvent*) override { }

private:
    void take(QMouseEvent* event, bool twice)
    {
        Rebar* bar = rebarof(rebar);
        if (event->button() != Qt::LeftButton || !bar) {
            event->ignore();
            return;
        }
        for (size_t i = 0; i < bar->bands.size(); ++i) {
            if (bar->bands[i].grip == this) {
                winqt::grab(*bar, static_cast<int>(i), twice);
                return;
            }
        }
    }

    HWND rebar;
};

int gripperextent()
{
    QStyle* style = QApplication::style();
    int size = style ? style->pixelMetric(QStyle::PM_ToolBarHandleExtent) : -1;
    return size > 0 ? size : 8;
}

void syncgrips(Rebar& bar)
{
    auto* native = dynamic_cast<NativeWindow*>(widgetof(bar.self));
    if (!native) {
        return;
    }
    for (Band& band : bar.bands) {
        RECT r = gripperof(bar, band);
        if (IsRectEmpty(&r)) {
            delete band.grip.data();
            continue;
        }
        if (!band.grip) {
            band.grip = new BandGrip(bar.self, native);
        }
        band.grip->setGeometry(
            QRect(QPoint(r.left, r.top) + native->clientoffset(), QSize(r.right - r.left, r.bottom - r.top)));
        band.grip->setAccessibleName(QString::fromStdString(band.text));
        band.grip->show();
        band.grip->update();
    }
}

} // namespace winqt
