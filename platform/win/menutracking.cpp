// Tracking menus: the modal menu loop, modeless popups and the menu bar of a top-level window.
// The popups themselves are the toolkit's (Backend::popupmenu); the bar is the layer's own, hot
// from the keyboard until one of its popups opens.

#include "platform/win/menutracking.h"

#include <algorithm>
#include <optional>

#include "platform/win/backend.h"
#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/menustate.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace win {
namespace {

constexpr int baritempadding = 8; // each side of a bar item's text

struct Tracking {
    HWND owner = nullptr;
    UINT flags = 0;
    bool modeless = false;
    bool returncommand = false;
    HWND bar = nullptr; // the window whose menu bar is tracked
    int barhot = -1;
    HMENU popup = nullptr; // the open popup's menu
    bool done = false;
    bool chosen = false;
    bool failed = false; // the toolkit shows no popups
    UINT command = 0;
};

Tracking* tracking = nullptr;

HFONT menufont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

std::string withoutprefix(const std::string& label)
{
    std::string shown;
    for (size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) {
            ++i;
        }
        shown += label[i];
    }
    return shown;
}

char mnemonic(const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '&') {
            if (text[i + 1] != '&') {
                return text[i + 1];
            }
            ++i;
        }
    }
    return 0;
}

char upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool enabled(const MenuItem& item)
{
    return !(item.state & (MF_GRAYED | MF_DISABLED));
}

void notify(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (tracking && IsWindow(tracking->owner)) {
        SendMessageA(tracking->owner, message, wParam, lParam);
    }
}

void finish(bool chosen, UINT command)
{
    if (!tracking || tracking->done) {
        return;
    }
    tracking->done = true;
    tracking->chosen = chosen;
    tracking->command = command;
}

// Closes everything and tells the owner, once the loop (or a modeless popup) is done.
void teardown()
{
    Tracking* t = tracking;
    t->done = true;
    if (t->popup) {
        t->popup = nullptr;
        backend().closepopupmenus();
    }
    if (GetCapture() && t->bar && GetCapture() == t->bar) {
        ReleaseCapture();
    }
    HWND bar = t->bar;
    t->barhot = -1;
    if (bar) {
        backend().changed(bar, changemenu);
    }
    notify(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    notify(WM_EXITMENULOOP, bar ? FALSE : TRUE, 0);
    tracking = nullptr;
    bool post = t->chosen && !t->returncommand && (t->modeless || !(t->flags & TPM_NONOTIFY));
    if (post && IsWindow(t->owner)) {
        PostMessageA(t->owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(t->command), 0), 0);
    }
    delete t;
}

// Shows the popup; a modal one returns when it closes, with the bar item to open next.
int showpopup(PopupMenuRequest request)
{
    request.flags = tracking->flags;
    request.modeless = tracking->modeless;
    tracking->popup = request.menu;
    int next = -1;
    if (!backend().popupmenu(request, next)) {
        tracking->failed = true;
        finish(false, 0);
    }
    if (!tracking->modeless || tracking->failed) {
        tracking->popup = nullptr;
    }
    return next;
}

// Makes the bar item hot and tells the owner; answers the item as it was then, none when there is
// no such item.
std::optional<MenuItem> selectbaritem(int index)
{
    tracking->barhot = index;
    backend().changed(tracking->bar, changemenu);
    auto bar = menuref(GetMenu(tracking->bar));
    if (!bar || index < 0 || static_cast<size_t>(index) >= bar->items.size()) {
        return std::nullopt;
    }
    MenuItem item = bar->items[static_cast<size_t>(index)];
    WORD id = static_cast<WORD>(item.submenu ? index : item.id);
    notify(WM_MENUSELECT, MAKEWPARAM(id, static_cast<WORD>(itemflags(item) | MF_HILITE)),
        reinterpret_cast<LPARAM>(bar->handle));
    return item;
}

// Makes the bar item hot and runs its popup; answers the bar item to open next, -1 for none.
int openbaritem(int index, bool keyboard)
{
    std::optional<MenuItem> item = selectbaritem(index);
    if (!item || !item->submenu || !enabled(*item) || !tracking || tracking->done) {
        return -1;
    }
    std::vector<RECT> items = menubarlayout(tracking->bar);
    if (static_cast<size_t>(index) >= items.size()) {
        return -1; // the owner took the item away
    }
    RECT anchor = items[static_cast<size_t>(index)];
    PopupMenuRequest request;
    request.menu = item->submenu;
    request.at = tagPOINT { anchor.left, anchor.bottom };
    request.keyboard = keyboard;
    request.baritem = index;
    ReleaseCapture();
    int next = showpopup(request);
    if (tracking && !tracking->done) {
        SetCapture(tracking->bar); // with only the bar hot, the bar keeps the mouse
    }
    return next;
}

// Opens bar items until one's popup ends without naming another to open.
void runbaritems(int index, bool keyboard)
{
    while (index >= 0 && tracking && !tracking->done) {
        index = openbaritem(index, keyboard);
    }
}

int baritemat(tagPOINT screen)
{
    auto items = menubarlayout(tracking->bar);
    for (size_t i = 0; i < items.size(); ++i) {
        if (contains(items[i], screen)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// A click while only the bar is hot: on an item opens it, elsewhere ends the tracking.
void barmouse(UINT message, tagPOINT screen)
{
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN
        || message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
    if (!down) {
        return;
    }
    int item = baritemat(screen);
    if (item < 0) {
        finish(false, 0);
        return;
    }
    tracking->barhot = item;
    runbaritems(item, false);
}

int steered(int step)
{
    int count = GetMenuItemCount(GetMenu(tracking->bar));
    return count > 0 ? (std::max(0, tracking->barhot) + step + count) % count : -1;
}

// A key while only the bar is hot.
void barkey(const MSG& message)
{
    if (message.message == WM_CHAR || message.message == WM_SYSCHAR) {
        char letter = upper(static_cast<char>(message.wParam));
        auto bar = menuref(GetMenu(tracking->bar));
        for (size_t i = 0; bar && i < bar->items.size(); ++i) {
            if (upper(mnemonic(bar->items[i].text)) == letter) {
                runbaritems(static_cast<int>(i), true);
                return;
            }
        }
        return;
    }
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return;
    }
    auto vk = static_cast<int>(message.wParam);
    if (vk == VK_DOWN || vk == VK_RETURN) {
        runbaritems(std::max(0, tracking->barhot), true);
    } else if (vk == VK_LEFT || vk == VK_RIGHT) {
        tracking->barhot = steered(vk == VK_LEFT ? -1 : 1);
        backend().changed(tracking->bar, changemenu);
        WORD index = static_cast<WORD>(tracking->barhot);
        notify(WM_MENUSELECT, MAKEWPARAM(index, static_cast<WORD>(MF_POPUP | MF_HILITE)),
            reinterpret_cast<LPARAM>(GetMenu(tracking->bar)));
    } else if (vk == VK_ESCAPE || vk == VK_MENU || vk == VK_F10) {
        finish(false, 0);
    }
}

bool ismouse(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

bool iskey(UINT message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_CHAR || message == WM_SYSCHAR
        || message == WM_KEYUP || message == WM_SYSKEYUP;
}

// The bar's own loop while no popup is open: input goes to the bar, everything else is
// dispatched as usual.
void runbar()
{
    while (tracking && !tracking->done) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            notify(WM_ENTERIDLE, MSGF_MENU, 0);
            if (!tracking || tracking->done) {
                break;
            }
        }
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam)); // the outer loop must see it too
            }
            finish(false, 0);
            break;
        }
        if (!IsWindow(tracking->owner)) {
            finish(false, 0);
            break;
        }
        if (ismouse(message.message)) {
            if (message.message != WM_MOUSEWHEEL && message.message != WM_MOUSEHWHEEL) {
                tagPOINT at { GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam) };
                ClientToScreen(message.hwnd, &at);
                barmouse(message.message, at);
            }
            continue;
        }
        if (iskey(message.message)) {
            if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
                TranslateMessage(&message);
            }
            barkey(message);
            continue;
        }
        DispatchMessageA(&message);
    }
}

bool begin(HWND owner, UINT flags, bool modeless)
{
    if (tracking || !IsWindow(owner)) {
        return false;
    }
    tracking = new Tracking;
    tracking->owner = owner;
    tracking->flags = flags;
    tracking->modeless = modeless;
    tracking->returncommand = flags & TPM_RETURNCMD;
    return true;
}

// Ends a modal tracking; answers the chosen command, 0 for none.
UINT endmodal()
{
    UINT command = tracking->chosen ? tracking->command : 0;
    teardown();
    return command;
}

void trackbar(HWND window, int index, bool keyboard)
{
    tracking->bar = window;
    tracking->barhot = std::max(0, index);
    notify(WM_ENTERMENULOOP, FALSE, 0);
    notify(WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(window)), 0);
    SetCapture(window);
    if (index >= 0) {
        runbaritems(index, keyboard);
    } else {
        backend().changed(window, changemenu);
    }
    runbar();
    endmodal();
}

} // namespace

HWND menuowner()
{
    return tracking ? tracking->owner : nullptr;
}

void menuchosen(UINT id)
{
    finish(true, id);
    if (tracking && tracking->modeless) {
        teardown();
    }
}

void menuclosed()
{
    finish(false, 0);
    if (tracking && tracking->modeless) {
        tracking->popup = nullptr;
        teardown();
    }
}

HMENU trackedmenu()
{
    return tracking ? tracking->popup : nullptr;
}

std::vector<RECT> menubarlayout(HWND window)
{
    std::vector<RECT> items;
    auto bar = menuref(GetMenu(window));
    RECT area {};
    if (!bar || !GetWindowRect(window, &area)) {
        return items;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, menufont());
    int x = area.left + 2;
    int height = menubarheight();
    for (const MenuItem& item : bar->items) {
        std::string shown = withoutprefix(item.text);
        SIZE size { 0, 0 };
        GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
        int width = size.cx + 2 * baritempadding;
        items.push_back(RECT { x, area.top, x + width, area.top + height });
        x += width;
    }
    DeleteDC(dc);
    return items;
}

int menubarhot(HWND window)
{
    return tracking && tracking->bar == window ? tracking->barhot : -1;
}

void trackmenubar(HWND window, int index)
{
    if (GetMenu(window) && begin(window, TPM_LEFTBUTTON, false)) {
        trackbar(window, index, false);
    }
}

void keymenu(HWND window, char letter)
{
    auto bar = menuref(GetMenu(window));
    if (!bar) {
        return;
    }
    if (!letter) {
        trackmenubar(window, -1);
        return;
    }
    for (size_t i = 0; i < bar->items.size(); ++i) {
        if (upper(mnemonic(bar->items[i].text)) == upper(letter)) {
            if (begin(window, TPM_LEFTBUTTON, false)) {
                trackbar(window, static_cast<int>(i), true);
            }
            return;
        }
    }
    MessageBeep(0);
}

} // namespace win

using namespace win;

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params)
{
    auto popup = menuref(menu);
    if (!popup || !begin(owner, flags, popup->style & MNS_MODELESS)) {
        return FALSE;
    }
    PopupMenuRequest request;
    request.menu = menu;
    request.at = tagPOINT { x, y };
    RECT exclude {};
    if (params && params->cbSize >= sizeof(TPMPARAMS)) {
        exclude = params->rcExclude;
        request.exclude = &exclude;
    }
    notify(WM_ENTERMENULOOP, TRUE, 0);
    notify(WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    if (!tracking->done) {
        showpopup(request);
    }
    if (tracking->modeless && !tracking->done) {
        return TRUE;
    }
    bool failed = tracking->failed;
    UINT command = endmodal();
    if (failed) {
        return FALSE;
    }
    return (flags & TPM_RETURNCMD) ? static_cast<BOOL>(command) : TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu()
{
    if (!tracking) {
        return FALSE;
    }
    finish(false, 0);
    if (tracking->modeless) {
        teardown();
    } else {
        backend().closepopupmenus();
    }
    return TRUE;
}
