#include "framework/bars/toolbar.h"

#include <algorithm>

#include "core/text/strutil.h"
#include "framework/bars/barmessages.h"
#include "framework/bars/toolbarimages.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/context/applncontext.h"
#include "platform/win/images.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

constexpr COLORREF maskcolour = RGB(192, 192, 192);

} // namespace

TOOLBAR::TOOLBAR(BASEHWND* parent, unsigned id, const char* title, const char* bitmap, int verticaldocking)
    : CTRLBAR(parent, id, verticaldocking)
{
    SetWindowTextA(hwnd, title);
    configuresize(bitmap, -1.0);
    normalimages = ImageList_LoadImageA(getapplngraphicsinstance(), bitmapname, bitmapsize, 40, maskcolour,
        IMAGE_BITMAP, LR_CREATEDIBSECTION);
    disabledimages = ImageList_Duplicate(normalimages);
    hotimages = ImageList_Duplicate(normalimages);
    create(nullptr, 0, 0);
}

TOOLBAR::TOOLBAR(
    BASEHWND* parent, unsigned id, const char* title, const char* bitmap, const TBBUTTON* buttons, int count)
    : TOOLBAR(parent, id, title, bitmap, 1)
{
    addbuttons(buttons, count);
}

TOOLBAR::~TOOLBAR()
{
    ImageList_Destroy(normalimages);
    ImageList_Destroy(disabledimages);
    ImageList_Destroy(hotimages);
}

void TOOLBAR::create(const TBBUTTON* buttons, int count, unsigned style)
{
    toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
        style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_CUSTOMERASE | TBSTYLE_FLAT
            | TBSTYLE_WRAPABLE | TBSTYLE_TOOLTIPS | CCS_NODIVIDER,
        0, 0, 0, 0, hwnd, nullptr, nullptr, nullptr);
    SetWindowTheme(toolbar, L" ", L" ");
    SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(bitmapsize, bitmapsize));
    SendMessageA(toolbar, TB_SETPADDING, 0, MAKELPARAM(horizontalpadding, verticalpadding));
    SendMessageA(toolbar, TB_SETMAXTEXTROWS, 0, 0);
    SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normalimages));
    lightenimages(hotimages);
    SendMessageA(toolbar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotimages));
    greyimages(disabledimages, bitmapsize);
    SendMessageA(toolbar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabledimages));
    addbuttons(buttons, count);
}

void TOOLBAR::addbuttons(const TBBUTTON* buttons, int count)
{
    if (!buttons)
        return;
    SendMessageA(toolbar, TB_ADDBUTTONSA, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons));
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
}

void TOOLBAR::addbuttons(int firstimage, int firstcommand, int count)
{
    for (int i = 0; i < count; ++i) {
        TBBUTTON button { firstimage + i, firstcommand + i, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 };
        SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
    }
    SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
}

void TOOLBAR::insertseparator(int index)
{
    TBBUTTON separator { 0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0 };
    SendMessageA(toolbar, TB_INSERTBUTTONA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&separator));
}

void TOOLBAR::checkbutton(unsigned command, int check)
{
    SendMessageA(toolbar, TB_CHECKBUTTON, command, MAKELPARAM(check ? 1 : 0, 0));
}

void TOOLBAR::enablebutton(unsigned command, int enable)
{
    SendMessageA(toolbar, TB_ENABLEBUTTON, command, MAKELPARAM(enable ? 1 : 0, 0));
}

int TOOLBAR::isbuttonenabled(unsigned command)
{
    return static_cast<int>(SendMessageA(toolbar, TB_ISBUTTONENABLED, command, 0));
}

int TOOLBAR::numbuttons()
{
    return static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
}

void TOOLBAR::setbitmap(unsigned command, int image)
{
    TBBUTTONINFOA info {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_IMAGE;
    info.iImage = image;
    SendMessageA(toolbar, TB_SETBUTTONINFOA, command, reinterpret_cast<LPARAM>(&info));
}

int TOOLBAR::getbitmap(unsigned command)
{
    return static_cast<int>(SendMessageA(toolbar, TB_GETBITMAP, command, 0));
}

void TOOLBAR::repaint()
{
    InvalidateRect(toolbar, nullptr, FALSE);
}

int TOOLBAR::edit()
{
    int command = lastcommand;
    lastcommand = 0;
    return command;
}

void TOOLBAR::setactvcmds(const int* commands, int count)
{
    for (int i = 0; i < numbuttons(); ++i) {
        TBBUTTON button {};
        SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        const bool listed
            = commands && std::find(commands, commands + count, button.idCommand) != commands + count;
        TBBUTTONINFOA info {};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_STATE | TBIF_BYINDEX;
        info.fsState = static_cast<BYTE>(
            listed ? button.fsState | TBSTATE_ENABLED : button.fsState & ~TBSTATE_ENABLED);
        SendMessageA(toolbar, TB_SETBUTTONINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    }
}

BOX TOOLBAR::resize()
{
    if (!toolbar)
        return CTRLBAR::resize();
    const bool vertical = isvertical();
    const LONG style = GetWindowLongA(toolbar, GWL_STYLE);
    const LONG wanted = vertical ? style | CCS_VERT : style & ~static_cast<LONG>(CCS_VERT);
    if (wanted != style)
        SendMessageA(toolbar, TB_SETSTYLE, 0, wanted);
    int along = 0;
    for (int i = 0; i < numbuttons(); ++i) {
        RECT button {};
        SendMessageA(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
        along += vertical ? button.bottom - button.top : button.right - button.left;
    }
    const auto size = static_cast<uintptr_t>(SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0));
    const int width = vertical ? LOWORD(size) + 2 : along + 2;
    const int height = vertical ? along + 2 : HIWORD(size) + 1;
    RECT client {};
    GetClientRect(hwnd, &client);
    if (client.right != width || client.bottom != height) {
        sizeto(width, height, SWP_NOACTIVATE);
        SendMessageA(toolbar, TB_AUTOSIZE, 0, 0);
    }
    return CTRLBAR::resize();
}

LRESULT TOOLBAR::notify(NMHDR* header)
{
    switch (header->code) {
    case TBN_GETINFOTIPA: {
        auto* request = reinterpret_cast<NMTBGETINFOTIPA*>(header);
        const char* tip = getapplntiptext(commandcontext, static_cast<unsigned short>(request->iItem));
        if (tip && request->pszText && request->cchTextMax > 0)
            strnzcpy(request->pszText, tip, request->cchTextMax - 1);
        return 0;
    }
    case TBN_HOTITEMCHANGE: {
        auto* change = reinterpret_cast<NMTBHOTITEM*>(header);
        WORD command = (change->dwFlags & HICF_LEAVING) ? 0 : static_cast<WORD>(change->idNew);
        SendMessageA(parentwindow, WM_COMMANDHINT, reinterpret_cast<WPARAM>(hwnd),
            MAKELPARAM(command, commandcontext));
        return 0;
    }
    case NM_CUSTOMDRAW:
        return customdraw(reinterpret_cast<NMTBCUSTOMDRAW*>(header));
    default:
        return 0;
    }
}

LRESULT TOOLBAR::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NOTIFY:
        if (auto* header = reinterpret_cast<NMHDR*>(lParam); header && header->hwndFrom == toolbar)
            return notify(header);
        break;
    case WM_SIZE:
        resize();
        return 0;
    case WM_ERASEBKGND: {
        RECT area {};
        GetClientRect(toolbar, &area);
        drawbackground(reinterpret_cast<HDC>(wParam), &area);
        return 1;
    }
    case WM_COMMAND:
        lastcommand = LOWORD(wParam);
        return SendMessageA(parentwindow, WM_COMMAND, wParam, lParam);
    default:
        break;
    }
    return CTRLBAR::msghlr(window, message, wParam, lParam);
}
