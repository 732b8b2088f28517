#pragma once

// The menu bar of a top-level window, drawn in its non-client band.
// Callers: the native windows' menu band (the layer).

#include <QMouseEvent>
#include <QPainter>

#include "platform/win/handletypes.h"

namespace winqt {

void paintmenubar(QPainter& painter, HWND window, const QRect& band);
// A mouse event over the menu band; true when the menu bar took it.
bool menubarmouse(HWND window, QMouseEvent* event, bool press, bool release);

} // namespace winqt
