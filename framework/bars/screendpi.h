#pragma once

// The primary screen's logical horizontal dots per inch, 96 without a screen: the bars size their
// images, tab boxes and gaps by it.
// Callers: the bars' sizing, the status bar's tab boxes, the coordinate box.

int screendpi();
