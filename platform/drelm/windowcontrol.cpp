#include <QWidget>

#include "platform/drelm/control.h"
#include "platform/drelm/formregistry.h"
#include "platform/drelm/hosting.h"
#include "platform/win/gdi.h"
#include "platform/win/messagequeue.h"
#include "platform/win/qt/painterdc.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

CONTROL::CONTROL(HWND parent, DWORD style, int id, CTRLKIND kind, QWidget* widget)
    : object(widget)
    , kind(kind)
    , id(id)
{
    guard = new QObject;
    drelm::registerformclasses();
    HWND window = CreateWindowExA(0, drelm::CONTROLCLASS, "", style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    if (!drelm::host(widget, window)) {
        delete widget; // no window to show it in
        object = nullptr;
        DestroyWindow(window);
        return;
    }
    subclass(window);
    ownswindow = true;
    winqt::widgetof(window)->setFocusProxy(widget);
}

LRESULT CONTROL::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    QWidget* shown = kind == CK_WINDOW ? nullptr : getwidget();
    switch (message) {
    case WM_SIZE:
        if (shown)
            drelm::fitclient(shown, window);
        break;
    case WM_ENABLE:
        if (shown)
            shown->setEnabled(wParam != 0);
        break;
    case WM_DESTROY: {
        const LRESULT answer = chainsubclass(window, message, wParam, lParam);
        object = nullptr; // goes with the window's widget
        unbind();
        return answer;
    }
    default:
        break;
    }
    return chainsubclass(window, message, wParam, lParam);
}

void CONTROL::setfont(HFONT font)
{
    LOGFONTA description {};
    if (QWidget* w = getwidget(); w && font && GetObjectA(font, sizeof description, &description))
        w->setFont(winqt::fontof(description));
}
