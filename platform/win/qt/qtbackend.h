#pragma once

// The toolkit side of the layer, for the layer's own widgets.
// Callers: the native windows (the layer).

#include <QImage>

#include "platform/win/handletypes.h"

namespace winqt {

// The pointer left a widget: a window waiting for WM_MOUSELEAVE gets it once the pointer is over
// none of the layer's windows.
void leftwindow(HWND window);
// The window manager activated a top-level window (not at the layer's request).
void activatedbytoolkit(HWND window);

} // namespace winqt
