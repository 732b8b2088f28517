#include "platform/win/images.h"

#include "platform/win/backend.h"
#include "platform/win/monitors.h"

using namespace win;

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags)
{
    if (!name || type > IMAGE_CURSOR) {
        return nullptr;
    }
    if ((flags & LR_DEFAULTSIZE) && type != IMAGE_BITMAP) {
        width = width ? width : GetSystemMetrics(type == IMAGE_ICON ? SM_CXICON : SM_CXCURSOR);
        height = height ? height : GetSystemMetrics(type == IMAGE_ICON ? SM_CYICON : SM_CYCURSOR);
    }
    return backend().loadimage(instance, name, type, width, height, flags);
}

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name)
{
    return static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, 0));
}
