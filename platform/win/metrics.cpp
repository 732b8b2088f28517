// System metrics and colours: the classic desktop's values at 96 dots per inch, scaled for the
// primary screen, unless the backend knows better.

#include <cmath>

#include "platform/win/backend.h"
#include "platform/win/monitors.h"

using namespace win;

namespace {

struct Metric {
    int index;
    int value; // at 96 dots per inch
    bool scaled;
};

constexpr Metric defaults[] = {
    { SM_CXVSCROLL, 17, true },
    { SM_CYHSCROLL, 17, true },
    { SM_CYCAPTION, 23, true },
    { SM_CXBORDER, 1, false },
    { SM_CYBORDER, 1, false },
    { SM_CXICON, 32, true },
    { SM_CYICON, 32, true },
    { SM_CXCURSOR, 32, true },
    { SM_CYCURSOR, 32, true },
    { SM_CYMENU, 20, true },
    { SM_CXDOUBLECLK, 4, false },
    { SM_CYDOUBLECLK, 4, false },
    { SM_CXSMICON, 16, true },
    { SM_CYSMICON, 16, true },
    { SM_CXDRAG, 4, false },
    { SM_CYDRAG, 4, false },
    { SM_CXMENUCHECK, 15, true },
    { SM_CYMENUCHECK, 15, true },
};

int scale(int value, int dpi)
{
    return static_cast<int>(std::lround(value * dpi / 96.0));
}

COLORREF classiccolour(int index)
{
    switch (index) {
    case COLOR_SCROLLBAR:
        return RGB(200, 200, 200);
    case COLOR_BACKGROUND:
        return RGB(0, 0, 0);
    case COLOR_ACTIVECAPTION:
        return RGB(153, 180, 209);
    case COLOR_INACTIVECAPTION:
        return RGB(191, 205, 219);
    case COLOR_MENU:
    case COLOR_BTNFACE:
    case COLOR_3DLIGHT:
    case COLOR_MENUBAR:
        return RGB(240, 240, 240);
    case COLOR_WINDOW:
    case COLOR_BTNHIGHLIGHT:
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME:
        return RGB(100, 100, 100);
    case COLOR_MENUTEXT:
    case COLOR_WINDOWTEXT:
    case COLOR_CAPTIONTEXT:
    case COLOR_BTNTEXT:
    case COLOR_INFOTEXT:
        return RGB(0, 0, 0);
    case COLOR_ACTIVEBORDER:
        return RGB(180, 180, 180);
    case COLOR_INACTIVEBORDER:
        return RGB(244, 247, 252);
    case COLOR_APPWORKSPACE:
        return RGB(171, 171, 171);
    case COLOR_HIGHLIGHT:
    case COLOR_MENUHILIGHT:
        return RGB(0, 120, 215);
    case COLOR_BTNSHADOW:
        return RGB(160, 160, 160);
    case COLOR_GRAYTEXT:
        return RGB(109, 109, 109);
    case COLOR_INACTIVECAPTIONTEXT:
        return RGB(0, 0, 0);
    case COLOR_3DDKSHADOW:
        return RGB(105, 105, 105);
    case COLOR_INFOBK:
        return RGB(255, 255, 225);
    case COLOR_HOTLIGHT:
        return RGB(0, 102, 204);
    case COLOR_GRADIENTACTIVECAPTION:
        return RGB(185, 209, 234);
    case COLOR_GRADIENTINACTIVECAPTION:
        return RGB(215, 228, 242);
    default:
        return 0;
    }
}

} // namespace

int GetSystemMetrics(int index)
{
    int answer = backend().metric(index);
    if (answer >= 0) {
        return answer;
    }
    auto list = monitors();
    Monitor primary {};
    for (const auto& m : list) {
        if (m.primary) {
            primary = m;
        }
    }
    switch (index) {
    case SM_CXSCREEN:
        return primary.area.right - primary.area.left;
    case SM_CYSCREEN:
        return primary.area.bottom - primary.area.top;
    case SM_CMONITORS:
        return static_cast<int>(list.size());
    default:
        break;
    }
    int dpi = primary.dpi > 0 ? primary.dpi : 96;
    for (const Metric& m : defaults) {
        if (m.index == index) {
            return m.scaled ? scale(m.value, dpi) : m.value;
        }
    }
    return 0;
}

DWORD GetSysColor(int index)
{
    COLORREF answer = backend().colour(index);
    return answer != CLR_INVALID ? answer : classiccolour(index);
}
