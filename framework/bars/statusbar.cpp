#include "framework/bars/statusbar.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/text/strutil.h"
#include "framework/bars/screendpi.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/gdi.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

constexpr UINT_PTR messagetimer = 1;
constexpr int maxboxes = 10;

bool onuithread()
{
    QCoreApplication* application = QCoreApplication::instance();
    return !application || QThread::currentThread() == application->thread();
}

} // namespace

STATUSBAR::STATUSBAR(BASEHWND* parent, unsigned id)
    : CTRLBAR(parent, id, 0)
    , background(dlg_bkcolour)
{
    messagebackground = background;
    LOGFONTA font {};
    GetObjectA(dlg_buttonfont ? static_cast<HGDIOBJ>(dlg_buttonfont) : GetStockObject(DEFAULT_GUI_FONT),
        sizeof font, &font);
    normalfont = CreateFontIndirectA(&font);
    font.lfWeight = FW_HEAVY;
    boldfont = CreateFontIndirectA(&font);
    if (HDC dc = GetDC(hwnd)) {
        HGDIOBJ old = SelectObject(dc, normalfont);
        SIZE digits {};
        GetTextExtentPoint32A(dc, "0123456789", 10, &digits);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        digitwidth = std::max<int>(1, digits.cx / 10);
    }
}

STATUSBAR::~STATUSBAR()
{
    DeleteObject(normalfont);
    DeleteObject(boldfont);
}

void STATUSBAR::starttimer(unsigned milliseconds)
{
    SetTimer(hwnd, messagetimer, milliseconds, nullptr);
}

void STATUSBAR::stoptimer()
{
    KillTimer(hwnd, messagetimer);
}

void STATUSBAR::synctimer()
{
    long pending = -1;
    {
        std::lock_guard guard(lock);
        std::swap(pending, pendingtimer);
    }
    if (pending > 0)
        starttimer(static_cast<unsigned>(pending));
    else if (pending == 0)
        stoptimer();
}

void STATUSBAR::changed(bool repaint)
{
    HWND window = hwnd;
    auto apply = [window, repaint] {
        auto* bar = dynamic_cast<STATUSBAR*>(BASEWIN::fromhandle(window));
        if (!bar)
            return;
        bar->synctimer();
        if (repaint) {
            InvalidateRect(window, nullptr, TRUE);
            UpdateWindow(window);
        }
    };
    if (onuithread())
        apply();
    else
        QMetaObject::invokeMethod(QCoreApplication::instance(), apply, Qt::QueuedConnection);
}

// Under the lock.
void STATUSBAR::removemessage()
{
    if (!messagetext)
        return;
    if (timerrunning) {
        timerrunning = 0;
        pendingtimer = 0;
    }
    messagetext.reset();
    messagebackground = background;
    kind = 0;
}

void STATUSBAR::message(char newkind, const char* newtext, int newbold, unsigned flags, COLORREF textcolour,
    COLORREF back, int timeout)
{
    {
        std::lock_guard guard(lock);
        removemessage();
        if (newtext) {
            messagetext = newtext;
            messageflags = flags;
            bold = newbold;
            kind = newkind;
            if (textcolour != STATUSBAR_KEEPCOLOUR)
                messagecolour = textcolour;
            messagebackground = back == STATUSBAR_KEEPCOLOUR ? background : back;
            tabbed = std::strchr(newtext, '\t') != nullptr;
            timerexpired = 0;
            protect = timeout < 0;
            if (timeout != 0) {
                timerrunning = 1;
                pendingtimer = 1000L * (timeout < 0 ? -timeout : timeout);
            }
        }
    }
    changed(true);
}

char STATUSBAR::message()
{
    std::lock_guard guard(lock);
    return kind;
}

void STATUSBAR::sethint(const char* text)
{
    bool repaint = false;
    {
        std::lock_guard guard(lock);
        if (!text && !hint)
            return;
        if (text)
            hint = text;
        else
            hint.reset();
        repaint = !messagetext;
    }
    changed(repaint);
}

void STATUSBAR::setdeftext(unsigned flags, COLORREF colour, const char* format, ...)
{
    bool repaint = false;
    {
        std::lock_guard guard(lock);
        defaultflags = flags;
        defaultcolour = colour;
        if (format) {
            char formatted[4096];
            va_list arguments;
            va_start(arguments, format);
            std::vsnprintf(formatted, sizeof formatted, format, arguments);
            va_end(arguments);
            defaulttext = formatted;
        } else {
            defaulttext.reset();
        }
        repaint = !messagetext && !hint;
    }
    changed(repaint);
}

void STATUSBAR::reset(int clearhint)
{
    if (clearhint)
        sethint(nullptr);
    bool shielded = false;
    {
        std::lock_guard guard(lock);
        shielded = timerrunning && !timerexpired;
    }
    if (!shielded)
        message(0, nullptr, 0, 0, STATUSBAR_KEEPCOLOUR, STATUSBAR_KEEPCOLOUR, 0);
}

// The time-out ran out: a message it does not shield goes; a shielded one now waits for reset.
void STATUSBAR::expire()
{
    bool remove = false;
    {
        std::lock_guard guard(lock);
        timerexpired = 1;
        remove = messagetext && !protect;
        if (!remove) {
            timerrunning = 0;
            pendingtimer = 0;
        }
    }
    if (remove)
        message(0, nullptr, 0, 0, STATUSBAR_KEEPCOLOUR, STATUSBAR_KEEPCOLOUR, 0);
    else
        changed(false);
}

void STATUSBAR::settabboxes(const char* letters, const int* widths)
{
    std::lock_guard guard(lock);
    boxcount = 0;
    if (!letters || !*letters)
        return;
    sunken = letters[0] == 'S';
    for (const char* letter = letters + 1; *letter && boxcount < maxboxes; ++letter) {
        TABBOX& box = boxes[boxcount];
        box.type = *letter == 'C' ? 1 : *letter == 'R' ? 2 : *letter == 'P' ? 0x80 : 0;
        box.text[0] = 0;
        box.width = static_cast<short>(tabwidth(widths[boxcount]));
        ++boxcount;
    }
}

int STATUSBAR::tabwidth(int width) const
{
    // A font with wider digits widens the boxes too, so that the coordinates they were laid out
    // for still fit.
    return width * std::max(screendpi() * 6, 96 * digitwidth) / (96 * 6);
}

int STATUSBAR::istabbed()
{
    std::lock_guard guard(lock);
    return tabbed;
}

int STATUSBAR::showmessage()
{
    std::lock_guard guard(lock);
    return messagetext.has_value();
}

int STATUSBAR::showhint()
{
    std::lock_guard guard(lock);
    return !messagetext && hint;
}

int STATUSBAR::showdefault()
{
    std::lock_guard guard(lock);
    return !messagetext && !hint;
}

const char* STATUSBAR::text()
{
    std::lock_guard guard(lock);
    return messagetext ? messagetext->c_str() : nullptr;
}

void STATUSBAR::setbkcolour(COLORREF colour)
{
    std::lock_guard guard(lock);
    background = colour;
}

void STATUSBAR::setmsgcolour(COLORREF colour)
{
    std::lock_guard guard(lock);
    messagecolour = colour;
}

void STATUSBAR::sethintcolour(COLORREF colour)
{
    std::lock_guard guard(lock);
    hintcolour = colour;
}

LRESULT STATUSBAR::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == messagetimer) {
            expire();
            return 0;
        }
        break;
    case WM_SIZE:
        show(1);
        break;
    default:
        if (reportclick(message, STATUSBAR_LBUTTONDOWN))
            return 0;
        break;
    }
    return CTRLBAR::msghlr(window, message, wParam, lParam);
}
