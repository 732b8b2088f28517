#pragma once

// STATUSBAR: the bar at the bottom of a module window. It shows one text at a time, by priority: a
// message (a kind letter of the caller's, colours, bold or normal, an optional time-out), else a
// hint (the description of the command under the pointer), else the default text. A message with
// tab characters is split into up to ten boxes of fixed widths, each left-aligned, centred,
// right-aligned or a progress bar. Texts may be set from any thread: they are kept under a lock,
// and a setter off the user-interface thread has the repaint and the timer done there.

#include <mutex>
#include <optional>
#include <string>

#include "framework/bars/ctrlbar.h"
#include "platform/win/colour.h"

// Clicks on the bar, to its window (wParam and lParam 0).
constexpr UINT STATUSBAR_LBUTTONDOWN = 0x520;
constexpr UINT STATUSBAR_LBUTTONDBLCLK = 0x521;
constexpr UINT STATUSBAR_RBUTTONDOWN = 0x522;
constexpr UINT STATUSBAR_RBUTTONDBLCLK = 0x523;

// A colour argument that keeps the current one.
constexpr COLORREF STATUSBAR_KEEPCOLOUR = 0xFFFFFFFF;
// Bit of the message flags: the text is drawn over the bar's background, never filled.
constexpr unsigned STATUSBAR_NOFILL = 0x4;

class STATUSBAR : public CTRLBAR {
public:
    STATUSBAR(BASEHWND* parent, unsigned id);
    ~STATUSBAR() override;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    int minwidth() override { return 400; }
    // 2048 pixels wide, as high as a line of the bold font.
    BOX resize() override;
    void onpaint(HDC dc) override;

    // Replaces the message; a null text only removes it. Text colour STATUSBAR_KEEPCOLOUR keeps the
    // message colour, background STATUSBAR_KEEPCOLOUR takes the bar's. Time-out t > 0 removes the
    // message after t seconds; t < 0 shields it from `reset` for -t seconds, after which it stays
    // until the next `reset` or `message`; 0 keeps it until then.
    void message(char kind, const char* text, int bold, unsigned flags, COLORREF textcolour,
        COLORREF background, int timeout);
    // The kind letter of the message shown; 0 when none.
    char message();
    // The hint shows when no message does; null clears it.
    void sethint(const char* text);
    // The default text (printf-formatted, at most 4,095 characters; null clears it) shows when
    // neither a message nor a hint does.
    void setdeftext(unsigned flags, COLORREF colour, const char* format, ...)
        __attribute__((format(printf, 4, 5)));
    // Clears the hint with a non-zero flag, then the message unless its time-out still shields it.
    void reset(int clearhint);
    // The boxes of tabbed messages: the first of `letters` is 'S' for a sunken frame, each
    // further one a box ('C' centred, 'R' right-aligned, 'P' progress, else left-aligned, at most
    // ten), `widths` their widths at 96 dots per inch.
    void settabboxes(const char* letters, const int* widths);
    // The pixels a box of the width (pixels at 96 dots per inch of a font whose digits are 6 pixels
    // wide) takes on this screen in this bar's font.
    int tabwidth(int width) const;
    int istabbed();
    int showmessage();
    int showhint();
    int showdefault();
    // The message's text; null when none.
    const char* text();
    void setbkcolour(COLORREF colour);
    void setmsgcolour(COLORREF colour);
    void sethintcolour(COLORREF colour);
    // Erases the bar with its background; the texts stay.
    void clear();

protected:
    // The message timer: the window's timer 1.
    virtual void starttimer(unsigned milliseconds);
    virtual void stoptimer();

private:
    // A box of a tabbed message: the text it showed last (its first 31 characters), its width in
    // pixels and its kind (0 left, 1 centred, 2 right-aligned, 0x80 progress).
    struct TABBOX {
        char text[32];
        short width;
        unsigned char type;
    };

    // Brings the window in line after a change: the timer as the state wants it, and with
    // `repaint` the bar drawn again at once; off the user-interface thread this is queued there.
    void changed(bool repaint);
    void painttabs(HDC dc, const RECT& client, const std::string& text, COLORREF back);
    void paintprogress(HDC dc, const RECT& box, int width, const std::string& part, COLORREF back);
    void synctimer();
    void removemessage();
    void expire();

    std::recursive_mutex lock;
    std::optional<std::string> defaulttext;
    unsigned defaultflags = 0;
    COLORREF defaultcolour = 0;
    std::optional<std::string> messagetext;
    char kind = 0;
    int bold = 0;
    unsigned messageflags = 0;
    COLORREF messagecolour = 0;
    COLORREF messagebackground = 0;
    int tabbed = 0;
    std::optional<std::string> hint;
    COLORREF hintcolour = 0;
    COLORREF background = 0;
    int timerrunning = 0;
    int timerexpired = 0;
    int protect = 0;
    long pendingtimer = -1; // for the user-interface thread: -1 nothing, 0 stop, else start (ms)
    short boxcount = 0;
    int sunken = 0;
    TABBOX boxes[10] = {};
    HFONT normalfont; // copies of the dialog library's button font, the second heavy
    HFONT boldfont;
    int digitwidth = 6; // of the normal font, pixels
};
