#pragma once

// Desktop services: a yes/no switch of the user's profile, a most-recently-used list of names,
// and filling the gaps between outline pixels of a shape.

#include "platform/win/handletypes.h"
#include "platform/win/colour.h"

// The switch in the profile (its first word of at most 6 characters): YES, ON, TRUE or 1 give 1;
// NO, OFF, FALSE or 0 give 0 (ASCII case ignored); anything else, or nothing, gives def.
int getprofilebool(const char* section, const char* key, int def);
// Makes item the first of list[0 .. *count - 1] (heap copies, most recent first, at most max):
// moved up when present (compared exactly), else copied in, the oldest freed when the list is
// full. The list holds max pointers; nothing happens for max < 1 or a null item.
void addtomrulist(const char* item, char** list, int* count, int max);
// In each row from top to bottom - 1, paints the pixels from just after a pixel of the colour
// that ends a run of it, up to and including the next pixel of the colour; a gap with no closing
// pixel before right - 1 stays as it is.
void fillrowgaps(HDC dc, int left, int top, int right, int bottom, COLORREF colour);
