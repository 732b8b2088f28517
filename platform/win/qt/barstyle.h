#pragma once

// The look and metrics of the bars (rebar grippers, toolbar buttons and separators) from the
// application's Qt style, so that they match the style's own toolbars at every scale.
// Callers: the rebar and toolbar controls (the layer).

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"

namespace winqt {

// The length of a rebar band's gripper and of a toolbar separator.
int grippersize();
int separatorsize();

// Draws into a window's device context (nothing for another kind of context).
void drawgripper(HDC dc, const RECT& area, bool vertical);
void drawseparator(HDC dc, const RECT& area, bool vertical);
// A tool button's panel: raised when hot, sunken when pressed or checked.
void drawbuttonpanel(HDC dc, const RECT& area, bool hot, bool pressed, bool checked);

} // namespace winqt
