#pragma once

// A picture drawn off screen and then copied where it shows, so that a bar never flickers: a
// memory context over a bitmap of the size, compatible with a device context.
// Callers: the bars' painting, the rebars' background, the toolbar buttons the bars draw.

#include "platform/win/geometry.h"
#include "platform/win/handletypes.h"

class OFFSCREEN {
public:
    OFFSCREEN(HDC like, int width, int height);
    ~OFFSCREEN();
    OFFSCREEN(const OFFSCREEN&) = delete;
    OFFSCREEN& operator=(const OFFSCREEN&) = delete;

    // The context to draw on; null when none could be made.
    HDC dc() const { return memory; }
    // Copies the part (picture coordinates) to the same place of the target shifted by (x, y).
    void copyto(HDC target, int x, int y, const RECT& part) const;

private:
    HDC memory;
    HBITMAP picture;
    HGDIOBJ previous = nullptr;
};
