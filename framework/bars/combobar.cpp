#include "framework/bars/combobar.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "framework/bars/barmessages.h"
#include "framework/context/windowmessages.h"
#include "platform/drelm/combobox.h"
#include "platform/drelm/dialoglook.h"
#include "platform/drelm/form.h"
#include "platform/ombrel/stringlist.h"
#include "platform/win/gdi.h"
#include "platform/win/paint.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/window.h"

namespace {

constexpr int comboid = 1;
constexpr int widestcontrol = 200;
constexpr int edges = 3;

// The pointer entering the list control, which covers the bar: the list's widget takes the mouse,
// so the bar sees no WM_SETCURSOR of its own there.
class ENTERWATCH : public QObject {
public:
    ENTERWATCH(QWidget* widget, HWND bar)
        : QObject(widget)
        , bar(bar)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Enter)
            SendMessageA(bar, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return false;
    }

private:
    HWND bar;
};

} // namespace

COMBOBARSET::~COMBOBARSET()
{
    for (COMBOBAR* bar : *this)
        bar->set = nullptr;
}

void COMBOBARSET::setitemlist(const STRINGLIST& items)
{
    for (COMBOBAR* bar : *this)
        bar->setitems(items);
}

void COMBOBARSET::setcurrentitem(int index)
{
    for (COMBOBAR* bar : *this)
        bar->selectitem(index);
}

void COMBOBARSET::setvisible(int visible)
{
    for (COMBOBAR* bar : *this)
        bar->show(visible);
}

COMBOBAR::COMBOBAR(BASEHWND* owner, unsigned hints, unsigned id, COMBOBARSET* barset)
    : CTRLBAR(owner, id, 0)
    , window(owner ? owner->gethwnd() : nullptr)
    , combo(new COMBOBOX(hwnd, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWNLIST, comboid))
    , set(barset)
    , hintcontext(hints)
{
    if (set)
        set->add(this);
    combo->setfont(dlg_globalfont);
    combo->setreadonly(1);
    if (QWidget* widget = combo->getwidget())
        new ENTERWATCH(widget, hwnd);
}

COMBOBAR::~COMBOBAR()
{
    if (set)
        set->remove(this);
    delete combo;
}

void COMBOBAR::setitems(const STRINGLIST& items)
{
    combo->setredraw(0);
    combo->clearitems();
    for (int i = 0; i < items.count; ++i)
        combo->additem(items.get(i), i);
    combo->setredraw(1);
    combo->setvalue(0);
    resize();
}

void COMBOBAR::selectitem(int index)
{
    const int count = numitems();
    if (index >= 0 && index < count)
        combo->setvalue(index);
    else if (count > 0)
        combo->setvalue(0);
}

int COMBOBAR::numitems() const
{
    return combo->numitems();
}

int COMBOBAR::currentitem() const
{
    return static_cast<int>(combo->getvalue());
}

void COMBOBAR::close()
{
    combo->closedropdown();
}

BOX COMBOBAR::resize()
{
    int widest = 0;
    if (HDC dc = GetDC(hwnd)) {
        HGDIOBJ old = SelectObject(dc, dlg_globalfont);
        char text[512];
        for (int i = 0; i < numitems(); ++i) {
            const int length = combo->getitemtext(i, text, sizeof text);
            SIZE size {};
            GetTextExtentPoint32A(dc, text, length, &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
    }
    const int height = GetSystemMetrics(SM_CYHSCROLL) + 4;
    const int width = widest + GetSystemMetrics(SM_CXVSCROLL) + height;
    MoveWindow(combo->gethwnd(), 0, 0, width, height, TRUE);
    sizeto(width + edges, height, SWP_NOACTIVATE);
    return CTRLBAR::resize();
}

void COMBOBAR::attach(REBAR* rebar, int position)
{
    const int shown = isVisible();
    CTRLBAR::attach(rebar, position);
    if (!shown)
        show(0);
}

// Every bar of the set shows the choice; the frame hears of it once.
void COMBOBAR::chose(int index)
{
    if (set)
        set->setcurrentitem(index);
    if (index < COMMANDITEMS) {
        const WPARAM command = static_cast<WPARAM>(GetDlgCtrlID(hwnd)) + static_cast<WPARAM>(index) * 4096;
        SendMessageA(GetAncestor(window, GA_ROOT), WM_COMMAND, command, reinterpret_cast<LPARAM>(hwnd));
        return;
    }
    if (set && set->chosen)
        set->chosen(index);
}

LRESULT COMBOBAR::msghlr(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case DLGM_UPDATE:
        if (LOWORD(wParam) == comboid && lParam >= 0 && lParam < numitems())
            chose(static_cast<int>(lParam));
        return 0;
    case WM_SETCURSOR: {
        // The hint and tip are those of the bar's command, which the command tables describe.
        const LPARAM command = MAKELONG(GetDlgCtrlID(bar), hintcontext);
        SendMessageA(window, WM_COMMANDTIP, wParam, command);
        SendMessageA(window, WM_COMMANDHINT, reinterpret_cast<WPARAM>(window), command);
        break;
    }
    case WM_SIZE:
        MoveWindow(combo->gethwnd(), 0, 0, std::min(static_cast<int>(LOWORD(lParam)) - edges, widestcontrol),
            HIWORD(lParam), TRUE);
        return 0;
    default:
        break;
    }
    return CTRLBAR::msghlr(bar, message, wParam, lParam);
}
