#include "framework/bars/offscreen.h"

#include "platform/win/gdi.h"

OFFSCREEN::OFFSCREEN(HDC like, int width, int height)
    : memory(CreateCompatibleDC(like))
    , picture(memory && width > 0 && height > 0 ? CreateCompatibleBitmap(like, width, height) : nullptr)
{
    if (!picture && memory) {
        DeleteDC(memory);
        memory = nullptr;
    }
    if (memory)
        previous = SelectObject(memory, picture);
}

OFFSCREEN::~OFFSCREEN()
{
    if (!memory)
        return;
    SelectObject(memory, previous);
    DeleteObject(picture);
    DeleteDC(memory);
}

void OFFSCREEN::copyto(HDC target, int x, int y, const RECT& part) const
{
    if (memory)
        BitBlt(target, part.left + x, part.top + y, part.right - part.left, part.bottom - part.top, memory,
            part.left, part.top, SRCCOPY);
}
