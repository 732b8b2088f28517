#pragma once

// Widgets shown in the layer's windows: a form's widgets, a library control's widget, a text
// viewer's lines lie over the client area of their window, inside the window's own widget.
// Not for callers outside the library.

#include "platform/win/handletypes.h"

class QWidget;

namespace drelm {

// Makes the widget a child of the window's widget covering its client area; false when the
// window has no widget (no window layer on Qt).
bool host(QWidget* widget, HWND window);
// Places the widget over the window's client area again (after WM_SIZE).
void fitclient(QWidget* widget, HWND window);

} // namespace drelm
