#pragma once

// The cursor a dragged tab shows: the cursor in force with the tab window's icon beside it on a
// light blue panel in a translucent black frame; its hot spot is the top left corner.
// Callers: the tab strip.

#include "platform/win/handletypes.h"

// A new cursor that the caller destroys (DestroyCursor); null when none can be made. A null icon
// leaves the panel empty.
HCURSOR makethumbnailcursor(HCURSOR current, HICON icon);
