// The rebar control: bands in rows along one side of a window, each with a gripper and a child
// window. A vertical rebar (CCS_VERT) lays its rows out as columns; below, "length" runs along the
// rebar and "thickness" across it. The rebar does not size itself: its owner reads the bar height
// (RB_GETBARHEIGHT) and moves it; the rebar tells its parent when that height changed. The
// grippers are Qt widgets (rebargrips.cpp); the rebar's surface keeps the background its parent
// or owner paints and the lines between bands.

#include "platform/win/qt/rebar.h"

#include <algorithm>

#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace winqt {
namespace {

constexpr int headermargin = 2;
constexpr int childedge = 2;
constexpr int bandborder = 2;

bool visible(const Band& band)
{
    return !(band.style & RBBS_HIDDEN);
}

int visiblecount(const Rebar& bar)
{
    return static_cast<int>(std::count_if(bar.bands.begin(), bar.bands.end(), visible));
}

int header(const Rebar& bar, const Band& band)
{
    if (band.headerset) {
        return static_cast<int>(band.cxHeader);
    }
    bool grip
        = !(band.style & RBBS_NOGRIPPER) && ((band.style & RBBS_GRIPPERALWAYS) || visiblecount(bar) > 1);
    return (grip ? gripperextent() : 0) + headermargin;
}

int minlength(const Rebar& bar, const Band& band)
{
    return header(bar, band) + static_cast<int>(band.cxMinChild);
}

int thickness(const Band& band)
{
    int child = static_cast<int>(std::max(band.cyChild, band.cyMinChild));
    return child + ((band.style & RBBS_CHILDEDGE) ? 2 * childedge : 0);
}

// Lengths along the rebar and rows across it, in (length, thickness) terms.
RECT oriented(const Rebar& bar, int start, int end, int top, int bottom)
{
    return vertical(bar) ? RECT { top, start, bottom, end } : RECT { start, top, end, bottom };
}

void layout(Rebar& bar)
{
    RECT client {};
    GetClientRect(bar.self, &client);
    const int length = vertical(bar) ? client.bottom : client.right;
    const DWORD style = static_cast<DWORD>(GetWindowLongA(bar.self, GWL_STYLE));

    // Rows: a band starts a new row when it is a break or does not fit beside the others.
    std::vector<std::vector<size_t>> rows;
    int used = 0;
    for (size_t i = 0; i < bar.bands.size(); ++i) {
        Band& band = bar.bands[i];
        if (!visible(band)) {
            band.rect = RECT {};
            continue;
        }
        int need = minlength(bar, band);
        if (rows.empty() || (band.style & RBBS_BREAK) || (!rows.back().empty() && used + need > length)) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(i);
        used += need;
    }
    std::vector<int> thicknesses;
    int widest = 0;
    for (const auto& row : rows) {
        int t = 0;
        for (size_t i : row) {
            t = std::max(t, thickness(bar.bands[i]));
        }
        thicknesses.push_back(t);
        widest = std::max(widest, t);
    }
    if (!(style & RBS_VARHEIGHT)) {
        std::fill(thicknesses.begin(), thicknesses.end(), widest);
    }

    int top = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        std::vector<int> lengths;
        int total = 0;
        for (size_t i : row) {
            const Band& band = bar.bands[i];
            lengths.push_back(std::max(minlength(bar, band), static_cast<int>(band.cx)));
            total += lengths.back();
        }
        // Too long: the bands give back down to their minimum, the last first. Too short: the
        // last band takes the rest.
        for (size_t k = row.size(); k-- > 0 && total > length;) {
            int give = std::min(total - length, lengths[k] - minlength(bar, bar.bands[row[k]]));
            lengths[k] -= give;
            total -= give;
        }
        if (total < length && !lengths.empty()) {
            lengths.back() += length - total;
        }
        int at = 0;
        int t = thicknesses[r];
        for (size_t k = 0; k < row.size(); ++k) {
            Band& band = bar.bands[row[k]];
            band.row = static_cast<int>(r);
            band.rect = oriented(bar, at, at + lengths[k], top, top + t);
            if (band.child) {
                int edge = (band.style & RBBS_CHILDEDGE) ? childedge : 0;
                int size = t - 2 * edge;
                if (band.cyMaxChild > 0) {
                    size = std::min<int>(size, static_cast<int>(band.cyMaxChild));
                }
                size = std::max<int>(size, static_cast<int>(band.cyMinChild));
                int offset = top + (t - size) / 2;
                RECT place = oriented(bar, at + header(bar, band), at + lengths[k], offset, offset + size);
                SetWindowPos(band.child, nullptr, place.left, place.top, place.right - place.left,
                    place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            at += lengths[k];
        }
        top += t + ((style & RBS_BANDBORDERS) && r + 1 < rows.size() ? bandborder : 0);
    }
    syncgrips(bar);
    InvalidateRect(bar.self, nullptr, TRUE);
    if (top != bar.height) {
        bar.height = top;
        NMHDR change {};
        notifyparent(bar.self, RBN_HEIGHTCHANGE, &change);
    }
}

void applyinfo(Band& band, const REBARBANDINFOA& info)
{
    if (info.fMask & RBBIM_STYLE) {
        band.style = info.fStyle;
    }
    if (info.fMask & RBBIM_CHILD) {
        band.child = info.hwndChild;
    }
    if (info.fMask & RBBIM_CHILDSIZE) {
        band.cxMinChild = info.cxMinChild;
        band.cyMinChild = info.cyMinChild;
        if (info.cbSize >= offsetof(REBARBANDINFOA, cxIdeal)) {
            band.cyChild = info.cyChild;
            band.cyMaxChild = info.cyMaxChild;
            band.cyIntegral = info.cyIntegral;
        }
    }
    if (info.fMask & RBBIM_SIZE) {
        band.cx = info.cx;
    }
    if (info.fMask & RBBIM_ID) {
        band.id = info.wID;
    }
    if (info.fMask & RBBIM_LPARAM) {
        band.lParam = info.lParam;
    }
    if (info.fMask & RBBIM_IDEALSIZE) {
        band.cxIdeal = info.cxIdeal;
    }
    if (info.fMask & RBBIM_HEADERSIZE) {
        band.cxHeader = info.cxHeader;
        band.headerset = true;
    }
    if (info.fMask & RBBIM_TEXT) {
        band.text = info.lpText ? info.lpText : "";
    }
    if (info.fMask & RBBIM_COLORS) {
        band.fore = info.clrFore;
        band.back = info.clrBack;
    }
}

void showchild(Rebar& bar, const Band& band)
{
    if (!band.child) {
        return;
    }
    if (GetParent(band.child) != bar.self) {
        SetParent(band.child, bar.self);
    }
    ShowWindow(band.child, visible(band) ? SW_SHOWNA : SW_HIDE);
}

BOOL getinfo(Rebar& bar, size_t index, REBARBANDINFOA* info)
{
    if (!info || index >= bar.bands.size()) {
        return FALSE;
    }
    const Band& band = bar.bands[index];
    if (info->fMask & RBBIM_STYLE) {
        info->fStyle = band.style;
    }
    if (info->fMask & RBBIM_CHILD) {
        info->hwndChild = band.child;
    }
    if (info->fMask & RBBIM_CHILDSIZE) {
        info->cxMinChild = band.cxMinChild;
        info->cyMinChild = band.cyMinChild;
        info->cyChild = band.cyChild;
        info->cyMaxChild = band.cyMaxChild;
        info->cyIntegral = band.cyIntegral;
    }
    if (info->fMask & RBBIM_SIZE) {
        const RECT& r = band.rect;
        info->cx = visible(band) ? static_cast<UINT>(vertical(bar) ? r.bottom - r.top : r.right - r.left)
                                 : band.cx;
    }
    if (info->fMask & RBBIM_ID) {
        info->wID = band.id;
    }
    if (info->fMask & RBBIM_LPARAM) {
        info->lParam = band.lParam;
    }
    if (info->fMask & RBBIM_IDEALSIZE) {
        info->cxIdeal = band.cxIdeal;
    }
    if (info->fMask & RBBIM_HEADERSIZE) {
        info->cxHeader = static_cast<UINT>(header(bar, band));
    }
    if (info->fMask & RBBIM_COLORS) {
        info->clrFore = band.fore;
        info->clrBack = band.back;
    }
    return TRUE;
}

// The band whose gripper holds the point of the client area; -1 for none.
int gripat(const Rebar& bar, tagPOINT point)
{
    for (size_t i = 0; i < bar.bands.size(); ++i) {
        RECT grip = gripperof(bar, bar.bands[i]);
        if (PtInRect(&grip, point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void moveband(Rebar& bar, size_t from, size_t to)
{
    if (from >= bar.bands.size() || to >= bar.bands.size() || from == to) {
        return;
    }
    Band band = bar.bands[from];
    bar.bands.erase(bar.bands.begin() + static_cast<ptrdiff_t>(from));
    bar.bands.insert(bar.bands.begin() + static_cast<ptrdiff_t>(to), band);
    layout(bar);
}

// A dragged band goes before the first band that starts after the point, in reading order.
void dragto(Rebar& bar, tagPOINT point)
{
    if (bar.dragging < 0 || static_cast<size_t>(bar.dragging) >= bar.bands.size()) {
        return;
    }
    size_t target = bar.bands.size() - 1;
    for (size_t i = 0; i < bar.bands.size(); ++i) {
        const Band& band = bar.bands[i];
        if (!visible(band) || static_cast<int>(i) == bar.dragging) {
            continue;
        }
        LONG rowend = vertical(bar) ? band.rect.right : band.rect.bottom;
        LONG across = vertical(bar) ? point.x : point.y;
        LONG along = vertical(bar) ? point.y : point.x;
        LONG middle
            = vertical(bar) ? (band.rect.top + band.rect.bottom) / 2 : (band.rect.left + band.rect.right) / 2;
        if (across < rowend && along < middle) {
            target = i > static_cast<size_t>(bar.dragging) ? i - 1 : i;
            break;
        }
    }
    moveband(bar, static_cast<size_t>(bar.dragging), target);
    bar.dragging = static_cast<int>(target);
}

tagPOINT dragpoint(HWND window, LPARAM position)
{
    tagPOINT point {};
    if (position == -1) {
        GetCursorPos(&point);
        ScreenToClient(window, &point);
    } else {
        point = tagPOINT { GET_X_LPARAM(position), GET_Y_LPARAM(position) };
    }
    return point;
}

void enddrag(Rebar& bar)
{
    if (bar.dragging < 0) {
        return;
    }
    NMREBAR done {};
    done.dwMask = RBNM_ID | RBNM_STYLE | RBNM_LPARAM;
    done.uBand = static_cast<UINT>(bar.dragging);
    const Band& band = bar.bands[static_cast<size_t>(bar.dragging)];
    done.fStyle = band.style;
    done.wID = band.id;
    done.lParam = band.lParam;
    bar.dragging = -1;
    notifyparent(bar.self, RBN_ENDDRAG, &done.hdr);
}

void paint(Rebar& bar)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar.self, &ps);
    if (!dc) {
        EndPaint(bar.self, &ps);
        return;
    }
    const bool down = vertical(bar);
    const bool borders = GetWindowLongA(bar.self, GWL_STYLE) & RBS_BANDBORDERS;
    HBRUSH dark = GetSysColorBrush(COLOR_BTNSHADOW);
    for (const Band& band : bar.bands) {
        if (!visible(band) || !borders) {
            continue;
        }
        const RECT& r = band.rect;
        RECT after = down ? RECT { r.left, r.bottom - 1, r.right, r.bottom }
                          : RECT { r.right - 1, r.top, r.right, r.bottom };
        FillRect(dc, &after, dark);
    }
    EndPaint(bar.self, &ps);
}

LRESULT procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Rebar* bar = rebarof(window);
    if (message == WM_NCCREATE) {
        bar = new Rebar;
        bar->self = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (!bar) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    auto* info = reinterpret_cast<REBARBANDINFOA*>(lParam);
    switch (message) {
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete bar;
        return 0;
    case RB_INSERTBANDA: {
        if (!info) {
            return FALSE;
        }
        Band band;
        applyinfo(band, *info);
        size_t at = static_cast<int>(static_cast<INT_PTR>(wParam)) < 0
            ? bar->bands.size()
            : std::min<size_t>(wParam, bar->bands.size());
        bar->bands.insert(bar->bands.begin() + static_cast<ptrdiff_t>(at), band);
        showchild(*bar, band);
        layout(*bar);
        return TRUE;
    }
    case RB_DELETEBAND: {
        if (wParam >= bar->bands.size()) {
            return FALSE;
        }
        Band band = bar->bands[wParam];
        bar->bands.erase(bar->bands.begin() + static_cast<ptrdiff_t>(wParam));
        delete band.grip.data();
        if (band.child && IsWindow(band.child)) {
            ShowWindow(band.child, SW_HIDE);
        }
        if (bar->dragging == static_cast<int>(wParam)) {
            bar->dragging = -1;
        } else if (bar->dragging > static_cast<int>(wParam)) {
            --bar->dragging;
        }
        layout(*bar);
        return TRUE;
    }
    case RB_SETBANDINFOA: {
        if (!info || wParam >= bar->bands.size()) {
            return FALSE;
        }
        Band& band = bar->bands[wParam];
        applyinfo(band, *info);
        if (info->fMask & (RBBIM_CHILD | RBBIM_STYLE)) {
            showchild(*bar, band);
        }
        layout(*bar);
        return TRUE;
    }
    case RB_GETBANDINFOA:
        return getinfo(*bar, wParam, info);
    case RB_GETBANDCOUNT:
        return static_cast<LRESULT>(bar->bands.size());
    case RB_GETBARHEIGHT:
        return bar->height;
    case RB_GETRECT: {
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (!out || wParam >= bar->bands.size()) {
            return FALSE;
        }
        *out = bar->bands[wParam].rect;
        return TRUE;
    }
    case RB_SHOWBAND: {
        if (wParam >= bar->bands.size()) {
            return FALSE;
        }
        Band& band = bar->bands[wParam];
        band.style = lParam ? (band.style & ~RBBS_HIDDEN) : (band.style | RBBS_HIDDEN);
        showchild(*bar, band);
        layout(*bar);
        return TRUE;
    }
    case RB_MAXIMIZEBAND: {
        if (wParam >= bar->bands.size()) {
            return 0;
        }
        Band& band = bar->bands[wParam];
        if (lParam && band.cxIdeal) {
            band.cx = static_cast<UINT>(header(*bar, band)) + band.cxIdeal;
        } else {
            // The band takes its row: the others of the row keep only their minimum.
            RECT client {};
            GetClientRect(window, &client);
            int length = vertical(*bar) ? client.bottom : client.right;
            int others = 0;
            for (Band& other : bar->bands) {
                if (&other != &band && visible(other) && other.row == band.row) {
                    other.cx = static_cast<UINT>(minlength(*bar, other));
                    others += minlength(*bar, other);
                }
            }
            band.cx = static_cast<UINT>(std::max(minlength(*bar, band), length - others));
        }
        layout(*bar);
        return 0;
    }
    case RB_SETBARINFO:
        if (auto* bar_info = reinterpret_cast<REBARINFO*>(lParam)) {
            bar->images = bar_info->himl;
        }
        return TRUE;
    case RB_BEGINDRAG:
        if (wParam < bar->bands.size()) {
            bar->dragging = static_cast<int>(wParam);
        }
        return 0;
    case RB_DRAGMOVE:
        dragto(*bar, dragpoint(window, lParam));
        return 0;
    case RB_ENDDRAG:
        enddrag(*bar);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (int index = gripat(*bar, tagPOINT { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }); index >= 0) {
            grab(*bar, index, message == WM_LBUTTONDBLCLK);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (bar->mousedrag && GetCapture() == window) {
            dragto(*bar, tagPOINT { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
        }
        return 0;
    case WM_LBUTTONUP:
        if (bar->mousedrag) {
            bar->mousedrag = false;
            ReleaseCapture();
            enddrag(*bar);
        }
        return 0;
    case WM_CAPTURECHANGED:
        bar->mousedrag = false;
        return 0;
    case WM_SIZE:
        layout(*bar);
        return 0;
    case WM_STYLECHANGED:
        layout(*bar);
        return 0;
    case WM_ERASEBKGND: {
        RECT client {};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT:
        paint(*bar);
        return 0;
    case WM_NOTIFY:
    case WM_COMMAND:
        return SendMessageA(GetParent(window), message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

Rebar* rebarof(HWND window)
{
    return reinterpret_cast<Rebar*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool vertical(const Rebar& bar)
{
    return GetWindowLongA(bar.self, GWL_STYLE) & CCS_VERT;
}

RECT gripperof(const Rebar& bar, const Band& band)
{
    if (!visible(band) || header(bar, band) <= headermargin) {
        return RECT {};
    }
    const RECT& r = band.rect;
    return vertical(bar) ? RECT { r.left, r.top, r.right, r.top + gripperextent() }
                         : RECT { r.left, r.top, r.left + gripperextent(), r.bottom };
}

// The rebar holds the mouse before it asks, as the parent may take the mouse for a drag of its own
// while it answers.
void grab(Rebar& bar, int index, bool twice)
{
    const HWND self = bar.self;
    if (twice && (GetWindowLongA(self, GWL_STYLE) & RBS_DBLCLKTOGGLE)) {
        SendMessageA(self, RB_MAXIMIZEBAND, static_cast<WPARAM>(index), 0);
        return;
    }
    const Band& band = bar.bands[static_cast<size_t>(index)];
    NMREBAR start {};
    start.dwMask = RBNM_ID | RBNM_STYLE | RBNM_LPARAM;
    start.uBand = static_cast<UINT>(index);
    start.fStyle = band.style;
    start.wID = band.id;
    start.lParam = band.lParam;
    bar.dragging = index;
    bar.mousedrag = true;
    SetCapture(self);
    if (!notifyparent(self, RBN_BEGINDRAG, &start.hdr) || rebarof(self) != &bar) {
        return;
    }
    bar.dragging = -1;
    bar.mousedrag = false;
    if (GetCapture() == self) {
        ReleaseCapture();
    }
}

WNDPROC rebarprocedure()
{
    return procedure;
}

} // namespace winqt
