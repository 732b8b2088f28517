#include "platform/drelm/hosting.h"

#include <QWidget>

#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace drelm {

bool host(QWidget* widget, HWND window)
{
    QWidget* native = winqt::widgetof(window);
    if (!native)
        return false;
    widget->setParent(native, Qt::Widget);
    fitclient(widget, window);
    widget->show();
    return true;
}

void fitclient(QWidget* widget, HWND window)
{
    RECT outer {}, client {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    tagPOINT origin { 0, 0 };
    ClientToScreen(window, &origin);
    widget->setGeometry(origin.x - outer.left, origin.y - outer.top, client.right, client.bottom);
}

} // namespace drelm
