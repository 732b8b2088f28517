// Tracking menus: popup windows of the class "#32768", the modal menu loop, modeless popups and
// the menu bar of a top-level window.

#include <algorithm>
#include <cstring>

#include "platform/win/backend.h"
#include "platform/win/gdi.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/menustate.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace win {
namespace {

constexpr const char* popupclass = "#32768";
constexpr int frame = 2;            // popup border
constexpr int separatorheight = 7;
constexpr int checkcolumn = 22;     // room for a check mark or an item bitmap
constexpr int arrowcolumn = 18;     // room for a submenu arrow
constexpr int acceleratorgap = 24;  // between the label and the key text
constexpr int baritempadding = 8;   // each side of a bar item's text

struct Level {
    HMENU menu = nullptr;
    HWND window = nullptr;
    std::vector<RECT> items;  // client coordinates of the popup
    SIZE size{0, 0};
    int hot = -1;
};

struct Tracking {
    HWND owner = nullptr;
    UINT flags = 0;
    bool modeless = false;
    bool returncommand = false;
    HWND bar = nullptr;  // the window whose menu bar is tracked
    int barhot = -1;
    RECT exclude{};
    std::vector<Level> levels;
    bool done = false;
    bool chosen = false;
    UINT command = 0;
};

Tracking* tracking = nullptr;

HFONT menufont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// The label and key text of an item ("&Open\tCtrl+O").
std::pair<std::string, std::string> splittext(const std::string& text)
{
    size_t tab = text.find('\t');
    if (tab == std::string::npos) {
        return {text, {}};
    }
    return {text.substr(0, tab), text.substr(tab + 1)};
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

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

SIZE measuretext(HDC dc, const std::string& text)
{
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

bool selectable(const MenuItem& item) { return !(item.type & MFT_SEPARATOR); }

bool enabled(const MenuItem& item) { return !(item.state & (MF_GRAYED | MF_DISABLED)); }

void notify(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (tracking && IsWindow(tracking->owner)) {
        SendMessageA(tracking->owner, message, wParam, lParam);
    }
}

Level measure(HMENU handle)
{
    Level level;
    level.menu = handle;
    auto menu = menuref(handle);
    if (!menu) {
        return level;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, menufont());
    int rowheight = std::max<int>(GetSystemMetrics(SM_CYMENU), measuretext(dc, "Ag").cy + 4);
    std::vector<SIZE> sizes;
    int labels = 0;
    int keys = 0;
    for (const MenuItem& item : menu->items) {
        if (item.type & MFT_OWNERDRAW) {
            MEASUREITEMSTRUCT m{ODT_MENU, 0, item.id, 0, 0, item.data};
            notify(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
            sizes.push_back(SIZE{static_cast<LONG>(m.itemWidth), static_cast<LONG>(m.itemHeight)});
            continue;
        }
        if (item.type & MFT_SEPARATOR) {
            sizes.push_back(SIZE{0, separatorheight});
            continue;
        }
        auto [label, key] = splittext(item.text);
        labels = std::max<int>(labels, measuretext(dc, withoutprefix(label)).cx);
        keys = std::max<int>(keys, measuretext(dc, key).cx);
        sizes.push_back(SIZE{-1, rowheight});  // width decided by the widest text
    }
    DeleteDC(dc);
    int textwidth = checkcolumn + labels + (keys ? acceleratorgap + keys : 0) + arrowcolumn;
    int width = textwidth;
    for (const SIZE& s : sizes) {
        width = std::max<int>(width, s.cx);
    }
    int y = frame;
    for (const SIZE& s : sizes) {
        level.items.push_back(RECT{frame, y, frame + width, y + s.cy});
        y += s.cy;
    }
    level.size = SIZE{width + 2 * frame, y + frame};
    return level;
}

RECT screenitem(const Level& level, int index)
{
    RECT r = level.items[static_cast<size_t>(index)];
    tagPOINT origin{0, 0};
    ClientToScreen(level.window, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

// Where a popup of that size goes: at the point as aligned, on the point's monitor, off the
// exclusion rectangle when there is room.
tagPOINT placepopup(SIZE size, int x, int y, UINT flags, const RECT* exclude)
{
    if (flags & TPM_CENTERALIGN) {
        x -= size.cx / 2;
    } else if (flags & TPM_RIGHTALIGN) {
        x -= size.cx;
    }
    if (flags & TPM_VCENTERALIGN) {
        y -= size.cy / 2;
    } else if (flags & TPM_BOTTOMALIGN) {
        y -= size.cy;
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(tagPOINT{x, y}, MONITOR_DEFAULTTONEAREST), &info);
    const RECT& work = info.rcWork;
    x = std::clamp<LONG>(x, work.left, std::max(work.left, work.right - size.cx));
    y = std::clamp<LONG>(y, work.top, std::max(work.top, work.bottom - size.cy));
    RECT placed{x, y, x + size.cx, y + size.cy};
    if (exclude && !isempty(intersect(placed, *exclude))) {
        if (exclude->bottom + size.cy <= work.bottom) {
            y = exclude->bottom;
        } else if (exclude->top - size.cy >= work.top) {
            y = exclude->top - size.cy;
        }
    }
    return tagPOINT{x, y};
}

void openlevel(HMENU menu, int indexinparent, tagPOINT at, UINT alignment, const RECT* exclude, bool keyboard)
{
    notify(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(static_cast<WORD>(indexinparent), 0));
    if (!tracking || tracking->done) {
        return;
    }
    Level level = measure(menu);
    tagPOINT place = placepopup(level.size, at.x, at.y, alignment, exclude);
    HWND owner = tracking->owner ? GetAncestor(tracking->owner, GA_ROOT) : nullptr;
    level.window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, popupclass, "",
                                   WS_POPUP, place.x, place.y, level.size.cx, level.size.cy, owner, nullptr,
                                   nullptr, nullptr);
    if (keyboard) {
        auto items = menuref(menu);
        for (size_t i = 0; items && i < items->items.size(); ++i) {
            if (selectable(items->items[i])) {
                level.hot = static_cast<int>(i);
                break;
            }
        }
    }
    tracking->levels.push_back(level);
    ShowWindow(level.window, SW_SHOWNA);
    if (!tracking->modeless && tracking->levels.size() == 1) {
        SetCapture(level.window);
    }
}

void closelevels(size_t keep)
{
    while (tracking && tracking->levels.size() > keep) {
        Level level = tracking->levels.back();
        tracking->levels.pop_back();
        if (GetCapture() == level.window) {
            ReleaseCapture();
        }
        DestroyWindow(level.window);
        notify(WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level.menu), 0);
    }
    // With only the bar left hot, the bar keeps the mouse.
    if (tracking && tracking->bar && tracking->levels.empty() && !tracking->done && !GetCapture()) {
        SetCapture(tracking->bar);
    }
}

void invalidateitem(const Level& level, int index)
{
    if (index >= 0 && static_cast<size_t>(index) < level.items.size()) {
        InvalidateRect(level.window, &level.items[static_cast<size_t>(index)], TRUE);
    }
}

void sethot(size_t depth, int index, bool bymouse)
{
    Level& level = tracking->levels[depth];
    if (level.hot == index) {
        return;
    }
    closelevels(depth + 1);
    invalidateitem(level, level.hot);
    level.hot = index;
    invalidateitem(level, index);
    auto menu = menuref(level.menu);
    if (index < 0 || !menu) {
        return;
    }
    const MenuItem& item = menu->items[static_cast<size_t>(index)];
    WORD id = static_cast<WORD>(item.submenu ? index : item.id);
    UINT flags = itemflags(item) | MF_HILITE | (bymouse ? MF_MOUSESELECT : 0);
    notify(WM_MENUSELECT, MAKEWPARAM(id, static_cast<WORD>(flags)), reinterpret_cast<LPARAM>(level.menu));
    if (bymouse && item.submenu && enabled(item) && tracking && !tracking->done) {
        RECT anchor = screenitem(tracking->levels[depth], index);
        openlevel(item.submenu, index, tagPOINT{anchor.right - frame, anchor.top - frame}, TPM_LEFTALIGN, nullptr, false);
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
    closelevels(0);
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

void choose(const MenuItem& item)
{
    if (enabled(item) && selectable(item) && !item.submenu) {
        finish(true, item.id);
    }
}

void openbaritem(int index, bool keyboard)
{
    closelevels(0);
    tracking->barhot = index;
    backend().changed(tracking->bar, changemenu);
    auto bar = menuref(GetMenu(tracking->bar));
    if (!bar || index < 0 || static_cast<size_t>(index) >= bar->items.size()) {
        return;
    }
    const MenuItem& item = bar->items[static_cast<size_t>(index)];
    WORD id = static_cast<WORD>(item.submenu ? index : item.id);
    notify(WM_MENUSELECT, MAKEWPARAM(id, static_cast<WORD>(itemflags(item) | MF_HILITE)), reinterpret_cast<LPARAM>(bar->handle));
    if (!item.submenu || !enabled(item)) {
        return;
    }
    RECT anchor = menubarlayout(tracking->bar)[static_cast<size_t>(index)];
    openlevel(item.submenu, index, tagPOINT{anchor.left, anchor.bottom}, TPM_LEFTALIGN, nullptr, keyboard);
}

int baritemat(tagPOINT screen)
{
    if (!tracking || !tracking->bar) {
        return -1;
    }
    auto items = menubarlayout(tracking->bar);
    for (size_t i = 0; i < items.size(); ++i) {
        if (contains(items[i], screen)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void mouse(UINT message, tagPOINT screen)
{
    if (!tracking || tracking->done) {
        return;
    }
    const bool down = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
                      message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK;
    const bool up = message == WM_LBUTTONUP || (message == WM_RBUTTONUP && (tracking->flags & TPM_RIGHTBUTTON));
    for (size_t depth = tracking->levels.size(); depth-- > 0;) {
        Level& level = tracking->levels[depth];
        RECT area{};
        GetWindowRect(level.window, &area);
        if (!contains(area, screen)) {
            continue;
        }
        tagPOINT local = screen;
        ScreenToClient(level.window, &local);
        int index = -1;
        for (size_t i = 0; i < level.items.size(); ++i) {
            if (contains(level.items[i], local)) {
                index = static_cast<int>(i);
            }
        }
        auto menu = menuref(level.menu);
        if (index >= 0 && menu && !selectable(menu->items[static_cast<size_t>(index)])) {
            index = -1;
        }
        sethot(depth, index, true);
        if (up && index >= 0 && tracking && !tracking->done) {
            choose(menuref(level.menu)->items[static_cast<size_t>(index)]);
        }
        return;
    }
    int baritem = baritemat(screen);
    if (baritem >= 0) {
        if (down && baritem == tracking->barhot && !tracking->levels.empty()) {
            finish(false, 0);
        } else if (baritem != tracking->barhot || (down && tracking->levels.empty())) {
            openbaritem(baritem, false);
        }
        return;
    }
    if (down) {
        finish(false, 0);
    }
}

void movehot(Level& level, size_t depth, int step)
{
    auto menu = menuref(level.menu);
    if (!menu || menu->items.empty()) {
        return;
    }
    int count = static_cast<int>(menu->items.size());
    int index = level.hot;
    for (int tries = 0; tries < count; ++tries) {
        index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
        if (selectable(menu->items[static_cast<size_t>(index)])) {
            sethot(depth, index, false);
            return;
        }
    }
}

void openhot(size_t depth)
{
    Level& level = tracking->levels[depth];
    auto menu = menuref(level.menu);
    if (!menu || level.hot < 0) {
        return;
    }
    const MenuItem& item = menu->items[static_cast<size_t>(level.hot)];
    if (item.submenu && enabled(item)) {
        closelevels(depth + 1);
        RECT anchor = screenitem(level, level.hot);
        openlevel(item.submenu, level.hot, tagPOINT{anchor.right - frame, anchor.top - frame}, TPM_LEFTALIGN, nullptr, true);
        return;
    }
    choose(item);
}

void steerbar(int step)
{
    auto bar = menuref(GetMenu(tracking->bar));
    if (!bar || bar->items.empty()) {
        return;
    }
    int count = static_cast<int>(bar->items.size());
    openbaritem((std::max(0, tracking->barhot) + step + count) % count, true);
}

void key(const MSG& message)
{
    if (message.message == WM_CHAR || message.message == WM_SYSCHAR) {
        char letter = upper(static_cast<char>(message.wParam));
        if (tracking->levels.empty()) {
            auto bar = tracking->bar ? menuref(GetMenu(tracking->bar)) : nullptr;
            for (size_t i = 0; bar && i < bar->items.size(); ++i) {
                if (upper(mnemonic(bar->items[i].text)) == letter) {
                    openbaritem(static_cast<int>(i), true);
                    return;
                }
            }
            return;
        }
        size_t depth = tracking->levels.size() - 1;
        auto menu = menuref(tracking->levels[depth].menu);
        for (size_t i = 0; menu && i < menu->items.size(); ++i) {
            if (selectable(menu->items[i]) && upper(mnemonic(menu->items[i].text)) == letter) {
                sethot(depth, static_cast<int>(i), false);
                openhot(depth);
                return;
            }
        }
        return;
    }
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return;
    }
    auto vk = static_cast<int>(message.wParam);
    if (tracking->levels.empty()) {
        // The bar is hot without an open popup.
        if (vk == VK_DOWN || vk == VK_RETURN) {
            openbaritem(std::max(0, tracking->barhot), true);
        } else if (vk == VK_LEFT || vk == VK_RIGHT) {
            steerbar(vk == VK_LEFT ? -1 : 1);
            closelevels(0);
        } else if (vk == VK_ESCAPE || vk == VK_MENU || vk == VK_F10) {
            finish(false, 0);
        }
        return;
    }
    size_t depth = tracking->levels.size() - 1;
    Level& level = tracking->levels[depth];
    switch (vk) {
    case VK_DOWN:
        movehot(level, depth, 1);
        return;
    case VK_UP:
        movehot(level, depth, -1);
        return;
    case VK_RETURN:
        openhot(depth);
        return;
    case VK_RIGHT: {
        auto menu = menuref(level.menu);
        if (menu && level.hot >= 0 && menu->items[static_cast<size_t>(level.hot)].submenu) {
            openhot(depth);
        } else if (tracking->bar) {
            steerbar(1);
        }
        return;
    }
    case VK_LEFT:
        if (depth > 0) {
            closelevels(depth);
        } else if (tracking->bar) {
            steerbar(-1);
        }
        return;
    case VK_ESCAPE:
        if (depth > 0 || tracking->bar) {
            closelevels(depth);
        } else {
            finish(false, 0);
        }
        return;
    case VK_MENU:
    case VK_F10:
        finish(false, 0);
        return;
    default:
        return;
    }
}

size_t levelof(HWND window)
{
    for (size_t i = 0; tracking && i < tracking->levels.size(); ++i) {
        if (tracking->levels[i].window == window) {
            return i;
        }
    }
    return SIZE_MAX;
}

void drawcheck(HDC dc, const RECT& column, bool radio)
{
    int cx = (column.left + column.right) / 2;
    int cy = (column.top + column.bottom) / 2;
    HGDIOBJ oldbrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    if (radio) {
        Ellipse(dc, cx - 3, cy - 3, cx + 4, cy + 4);
    } else {
        tagPOINT mark[] = {{cx - 4, cy}, {cx - 1, cy + 3}, {cx + 5, cy - 3}};
        HPEN pen = CreatePen(PS_SOLID, 2, GetTextColor(dc));
        HGDIOBJ oldpen = SelectObject(dc, pen);
        Polyline(dc, mark, 3);
        SelectObject(dc, oldpen);
        DeleteObject(pen);
    }
    SelectObject(dc, oldbrush);
}

void drawitem(HDC dc, const MenuItem& item, const RECT& r, bool hot, HMENU menu)
{
    if (item.type & MFT_OWNERDRAW) {
        UINT state = (hot ? ODS_SELECTED : 0) | ((item.state & MF_GRAYED) ? ODS_GRAYED : 0) |
                     ((item.state & MF_DISABLED) ? ODS_DISABLED : 0) | ((item.state & MF_CHECKED) ? ODS_CHECKED : 0);
        DRAWITEMSTRUCT d{ODT_MENU, 0, item.id, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(menu), dc, r, item.data};
        notify(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
        return;
    }
    if (item.type & MFT_SEPARATOR) {
        RECT line{r.left + 2, (r.top + r.bottom) / 2, r.right - 2, (r.top + r.bottom) / 2 + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
        return;
    }
    if (hot) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_MENUHILIGHT));
    }
    COLORREF text = !enabled(item) ? GetSysColor(COLOR_GRAYTEXT) : hot ? GetSysColor(COLOR_HIGHLIGHTTEXT) : GetSysColor(COLOR_MENUTEXT);
    SetTextColor(dc, text);
    SetBkMode(dc, TRANSPARENT);
    RECT column{r.left, r.top, r.left + checkcolumn, r.bottom};
    HBITMAP mark = (item.state & MF_CHECKED) ? item.checked : item.unchecked;
    if (mark) {
        BITMAP b{};
        GetObjectA(mark, sizeof b, &b);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, mark);
        BitBlt(dc, column.left + (checkcolumn - b.bmWidth) / 2, r.top + (r.bottom - r.top - b.bmHeight) / 2, b.bmWidth,
               b.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
    } else if (item.state & MF_CHECKED) {
        drawcheck(dc, column, item.type & MFT_RADIOCHECK);
    }
    auto [label, keytext] = splittext(item.text);
    RECT area{r.left + checkcolumn, r.top, r.right - arrowcolumn, r.bottom};
    DrawTextA(dc, label.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    if (!keytext.empty()) {
        DrawTextA(dc, keytext.c_str(), -1, &area, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
    if (item.submenu) {
        int x = r.right - arrowcolumn / 2 - 2;
        int y = (r.top + r.bottom) / 2;
        tagPOINT arrow[] = {{x, y - 4}, {x + 4, y}, {x, y + 4}};
        HBRUSH brush = CreateSolidBrush(text);
        HGDIOBJ oldbrush = SelectObject(dc, brush);
        HGDIOBJ oldpen = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, arrow, 3);
        SelectObject(dc, oldpen);
        SelectObject(dc, oldbrush);
        DeleteObject(brush);
    }
}

void paintpopup(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    size_t depth = levelof(window);
    if (dc && depth != SIZE_MAX) {
        const Level& level = tracking->levels[depth];
        auto menu = menuref(level.menu);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
        FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
        SelectObject(dc, menufont());
        for (size_t i = 0; menu && i < menu->items.size() && i < level.items.size(); ++i) {
            drawitem(dc, menu->items[i], level.items[i], static_cast<int>(i) == level.hot, level.menu);
        }
    }
    EndPaint(window, &ps);
}

LRESULT popupprocedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        paintpopup(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return TRUE;
    default:
        break;
    }
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL) {
        tagPOINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &at);
        mouse(message, at);
        if (tracking && tracking->modeless && tracking->done) {
            teardown();
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void registerpopupclass()
{
    WNDCLASSEXA c{};
    c.cbSize = sizeof c;
    c.style = CS_SAVEBITS;
    c.lpfnWndProc = popupprocedure;
    c.lpszClassName = popupclass;
    RegisterClassExA(&c);  // once; later calls find it taken
}

bool ismouse(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }

bool iskey(UINT message)
{
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_CHAR || message == WM_SYSCHAR ||
           message == WM_KEYUP || message == WM_SYSKEYUP;
}

// The menu's own loop: input goes to the menu, everything else is dispatched as usual.
void runloop()
{
    while (tracking && !tracking->done) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            HWND first = tracking->levels.empty() ? nullptr : tracking->levels.front().window;
            notify(WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(first));
            if (!tracking || tracking->done) {
                break;
            }
        }
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam));  // the outer loop must see it too
            }
            finish(false, 0);
            break;
        }
        if (!IsWindow(tracking->owner)) {
            finish(false, 0);
            break;
        }
        if (ismouse(message.message)) {
            tagPOINT at{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
            if (message.message == WM_MOUSEWHEEL || message.message == WM_MOUSEHWHEEL) {
                continue;
            }
            ClientToScreen(message.hwnd, &at);
            mouse(message.message, at);
            continue;
        }
        if (iskey(message.message)) {
            if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
                TranslateMessage(&message);
            }
            key(message);
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
    registerpopupclass();
    tracking = new Tracking;
    tracking->owner = owner;
    tracking->flags = flags;
    tracking->modeless = modeless;
    tracking->returncommand = flags & TPM_RETURNCMD;
    return true;
}

// Runs a modal menu to its end; answers the chosen command, 0 for none.
UINT runmodal()
{
    runloop();
    if (!tracking) {
        return 0;
    }
    UINT command = tracking->chosen ? tracking->command : 0;
    teardown();
    return command;
}

}  // namespace

HMENU trackedmenu() { return tracking && !tracking->levels.empty() ? tracking->levels.front().menu : nullptr; }

std::vector<RECT> menubarlayout(HWND window)
{
    std::vector<RECT> items;
    auto bar = menuref(GetMenu(window));
    RECT area{};
    if (!bar || !GetWindowRect(window, &area)) {
        return items;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, menufont());
    int x = area.left + 2;
    int height = menubarheight();
    for (const MenuItem& item : bar->items) {
        int width = measuretext(dc, withoutprefix(item.text)).cx + 2 * baritempadding;
        items.push_back(RECT{x, area.top, x + width, area.top + height});
        x += width;
    }
    DeleteDC(dc);
    return items;
}

int menubarhot(HWND window) { return tracking && tracking->bar == window ? tracking->barhot : -1; }

void trackmenubar(HWND window, int index)
{
    HMENU bar = GetMenu(window);
    if (!bar || !begin(window, TPM_LEFTBUTTON, false)) {
        return;
    }
    tracking->bar = window;
    tracking->barhot = std::max(0, index);
    notify(WM_ENTERMENULOOP, FALSE, 0);
    notify(WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    SetCapture(window);
    if (index >= 0) {
        openbaritem(index, false);
    } else {
        backend().changed(window, changemenu);
    }
    runmodal();
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
                tracking->bar = window;
                notify(WM_ENTERMENULOOP, FALSE, 0);
                notify(WM_INITMENU, reinterpret_cast<WPARAM>(bar->handle), 0);
                SetCapture(window);
                openbaritem(static_cast<int>(i), true);
                runmodal();
            }
            return;
        }
    }
    MessageBeep(0);
}

}  // namespace win

using namespace win;

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, const TPMPARAMS* params)
{
    auto popup = menuref(menu);
    if (!popup || !begin(owner, flags, popup->style & MNS_MODELESS)) {
        return FALSE;
    }
    const RECT* exclude = nullptr;
    if (params && params->cbSize >= sizeof(TPMPARAMS)) {
        tracking->exclude = params->rcExclude;
        exclude = &tracking->exclude;
    }
    notify(WM_ENTERMENULOOP, TRUE, 0);
    notify(WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    openlevel(menu, 0, tagPOINT{x, y}, flags, exclude, false);
    if (tracking && tracking->modeless && !tracking->done) {
        return TRUE;
    }
    UINT command = runmodal();
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
    }
    return TRUE;
}
