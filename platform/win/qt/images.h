#pragma once

// Images of the layer as Qt images, icons and cursors.
// Callers: the process object's images (framework).

#include <QCursor>
#include <QIcon>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

namespace winqt {

// Decodes an image resource for LoadImageA.
HANDLE loadresourceimage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags);
// The toolkit cursor of a cursor handle: a system shape, an image with its hot spot, or none.
QCursor cursorof(HCURSOR cursor);
QIcon qiconof(HICON icon);

} // namespace winqt
