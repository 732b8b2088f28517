// The push button: a raised face with its text, bitmap (BS_BITMAP) or icon (BS_ICON), sunk while
// pressed; a click sends WM_COMMAND (BN_CLICKED) to the parent.

#include "platform/win/images.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/qt/controls.h"
#include "platform/win/window.h"

namespace winqt {
namespace {

struct Button {
    HANDLE image = nullptr;
    UINT imagetype = 0; // IMAGE_BITMAP or IMAGE_ICON
    bool pressed = false;
    bool down = false; // the mouse went down on the button and has not come up
};

Button* stateof(HWND window)
{
    return reinterpret_cast<Button*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void face(HDC dc, RECT r, bool sunk)
{
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    HBRUSH light = GetSysColorBrush(sunk ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    HBRUSH dark = GetSysColorBrush(sunk ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW);
    RECT top { r.left, r.top, r.right, r.top + 1 };
    RECT left { r.left, r.top, r.left + 1, r.bottom };
    RECT bottom { r.left, r.bottom - 1, r.right, r.bottom };
    RECT right { r.right - 1, r.top, r.right, r.bottom };
    FillRect(dc, &top, light);
    FillRect(dc, &left, light);
    FillRect(dc, &bottom, dark);
    FillRect(dc, &right, dark);
}

void paint(HWND window, Button& button)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc) {
        EndPaint(window, &ps);
        return;
    }
    RECT client {};
    GetClientRect(window, &client);
    face(dc, client, button.pressed);
    int shift = button.pressed ? 1 : 0;
    if (button.image && button.imagetype == IMAGE_ICON) {
        ICONINFO info {};
        if (GetIconInfo(static_cast<HICON>(button.image), &info)) {
            BITMAP size {};
            GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof size, &size);
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
            DrawIconEx(dc, (client.right - size.bmWidth) / 2 + shift,
                (client.bottom - size.bmHeight) / 2 + shift, static_cast<HICON>(button.image), 0, 0, 0,
                nullptr, DI_NORMAL);
        }
    } else if (button.image) {
        BITMAP size {};
        GetObjectA(button.image, sizeof size, &size);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, button.image);
        BitBlt(dc, (client.right - size.bmWidth) / 2 + shift, (client.bottom - size.bmHeight) / 2 + shift,
            size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else {
        char text[256];
        GetWindowTextA(window, text, sizeof text);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        OffsetRect(&client, shift, shift);
        DrawTextA(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    EndPaint(window, &ps);
}

void setpressed(HWND window, Button& button, bool pressed)
{
    if (button.pressed != pressed) {
        button.pressed = pressed;
        InvalidateRect(window, nullptr, TRUE);
    }
}

void clicked(HWND window)
{
    SendMessageA(GetParent(window), WM_COMMAND,
        MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(window)), BN_CLICKED), reinterpret_cast<LPARAM>(window));
}

LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Button* button = stateof(window);
    if (message == WM_NCCREATE) {
        button = new Button;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!button) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    tagPOINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    RECT client {};
    GetClientRect(window, &client);
    switch (message) {
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete button;
        return 0;
    case BM_SETIMAGE: {
        HANDLE old = button->image;
        button->image = reinterpret_cast<HANDLE>(lParam);
        button->imagetype = static_cast<UINT>(wParam);
        InvalidateRect(window, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE:
        return static_cast<UINT>(wParam) == button->imagetype ? reinterpret_cast<LRESULT>(button->image) : 0;
    case BM_SETSTATE:
        setpressed(window, *button, wParam != 0);
        return 0;
    case BM_GETSTATE:
        return button->pressed ? BST_PUSHED : 0;
    case BM_CLICK:
        clicked(window);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        button->down = true;
        setpressed(window, *button, true);
        SetCapture(window);
        return 0;
    case WM_MOUSEMOVE:
        if (button->down) {
            setpressed(window, *button, PtInRect(&client, point));
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!button->down) {
            return 0;
        }
        button->down = false;
        bool inside = PtInRect(&client, point);
        setpressed(window, *button, false);
        ReleaseCapture();
        if (inside) {
            clicked(window);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        button->down = false;
        setpressed(window, *button, false);
        return 0;
    case WM_ENABLE:
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case WM_PAINT:
        paint(window, *button);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

WNDPROC buttonprocedure()
{
    return procedure;
}

} // namespace winqt
