#pragma once

// Small drawing helpers of the window library: boxed status texts, file paths shortened to a
// width for menus and lists, and colours lightened or darkened for hover states.
// Callers: the status bar, the menu model and the toolbar images (framework), printing (framework).

#include <functional>
#include <string>

#include "platform/win/colour.h"
#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"

// Fills rect with the background colour of dc (unless its background mode is TRANSPARENT) and
// draws text on one line inside it, vertically centred and clipped to it: format 0 left-aligned,
// 1 centred, 2 right-aligned. '&' is plain text.
void drawfftext(HDC dc, const char* text, const RECT* rect, int format);
// Shortens path in place so that its text is at most width pixels wide on dc: middle folders give
// way to "..." first ("C:\...\Projects\amp.vktprj"), then the start of the file name
// ("...mp.vktprj"). A path that fits stays as it is; the result is never longer than the path.
char* drawfilepath(HDC dc, char* path, int width);
// The shortening of drawfilepath with the text measured by measure (in pixels).
std::string shortenpath(
    const std::string& path, int width, const std::function<int(const std::string&)>& measure);
// c lightened by percent of its distance to white, or for a negative percent darkened towards
// black; percent is held to -100..100.
COLORREF adjust_colour(COLORREF c, int percent);
