#pragma once

// A top-level window's place with the window manager's frame around it: the layer places the
// window's inside (its Qt geometry), while what must stay on the screen is the frame, title bar
// included. Callers: the native windows of the layer.

#include <QMargins>
#include <QRect>

// The inside of a window whose frame (margins around the inside) lies within available: moved in
// where the frame fits, and made smaller by what it sticks out where it does not.
QRect insideonscreen(const QRect& inside, const QMargins& frame, const QRect& available);

// The inside of a maximised window: available less the frame.
inline QRect maximisedinside(const QMargins& frame, const QRect& available)
{
    return available.marginsRemoved(frame);
}
