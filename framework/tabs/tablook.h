#pragma once

// What the tab strip draws with beyond the dialog library's look: the font of inactive tabs, its
// icons, and a window's small icon asked in the window's own context.
// Callers: the tab strip.

#include "platform/win/handletypes.h"

class APPLNWINDOW;

namespace tablook {

// The dialog library's global font, the window layer's GUI font before the library starts.
HFONT textfont();
// The icon resource of the application's graphics module at the size, else the framework's own;
// null when neither has it.
HICON loadicon(const char* name, int width, int height);
// The window's small icon, with its module's context current; null when it has none.
HICON smalliconof(APPLNWINDOW* window);

} // namespace tablook
