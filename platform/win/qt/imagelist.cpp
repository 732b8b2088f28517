// Image lists: images of one size, kept as icons (colour with alpha, and mask).

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/win/devicecontext.h"
#include "platform/win/images.h"
#include "platform/win/qt/controls.h"

namespace {

struct ImageList {
    int width;
    int height;
    std::vector<win::Icon> images;
};

std::mutex listmutex;
std::unordered_set<ImageList*> lists;

ImageList* listof(HIMAGELIST handle)
{
    auto* list = reinterpret_cast<ImageList*>(handle);
    std::lock_guard lock(listmutex);
    return lists.count(list) ? list : nullptr;
}

HIMAGELIST adopt(ImageList* list)
{
    std::lock_guard lock(listmutex);
    lists.insert(list);
    return reinterpret_cast<HIMAGELIST>(list);
}

// One image of the list from a part of a strip: transparent where the mask says so (a white
// mask pixel, or the mask colour), opaque elsewhere unless the strip has alpha of its own.
win::Icon cut(win::Bitmap& strip, win::Bitmap* mask, COLORREF maskcolour, int left, int width, int height)
{
    win::Icon icon;
    icon.colour = std::make_shared<win::Bitmap>(width, height);
    icon.colour->alpha = true;
    icon.mask = std::make_shared<win::Bitmap>(width, height);
    icon.mask->monochrome = true;
    const uint32_t key = maskcolour == CLR_NONE ? 0 : win::pixelofcolour(maskcolour) & 0xFFFFFF;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool inside = left + x < strip.width && y < strip.height;
            uint32_t pixel = inside ? strip.at(left + x, y) : 0;
            if (!strip.alpha) {
                pixel |= 0xFF000000u;
            }
            bool transparent = !inside || (mask && (mask->at(left + x, y) & 0xFFFFFF) != 0)
                || (maskcolour != CLR_NONE && (pixel & 0xFFFFFF) == key) || (pixel >> 24) == 0;
            icon.colour->at(x, y) = transparent ? 0u : pixel;
            icon.mask->at(x, y) = transparent ? 0xFFFFFFFFu : 0xFF000000u;
        }
    }
    return icon;
}

int addstrip(ImageList& list, HBITMAP image, HBITMAP mask, COLORREF maskcolour)
{
    auto* strip = win::objectas<win::Bitmap>(image, OBJ_BITMAP);
    if (!strip || list.width <= 0) {
        return -1;
    }
    auto* masks = win::objectas<win::Bitmap>(mask, OBJ_BITMAP);
    if (maskcolour == CLR_DEFAULT) {
        maskcolour = win::colourofpixel(strip->at(0, 0));
    }
    int first = static_cast<int>(list.images.size());
    for (int left = 0; left + list.width <= strip->width; left += list.width) {
        list.images.push_back(cut(*strip, masks, maskcolour, left, list.width, list.height));
    }
    return first;
}

win::Icon copy(const win::Icon& icon)
{
    win::Icon copied = icon;
    copied.colour = std::make_shared<win::Bitmap>(*icon.colour);
    copied.mask = std::make_shared<win::Bitmap>(*icon.mask);
    return copied;
}

} // namespace

HIMAGELIST ImageList_LoadImageA(
    HINSTANCE instance, LPCSTR name, int width, int, COLORREF mask, UINT type, UINT flags)
{
    if (type != IMAGE_BITMAP) {
        return nullptr;
    }
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, flags));
    auto* bitmap = win::objectas<win::Bitmap>(strip, OBJ_BITMAP);
    if (!bitmap || width <= 0) {
        DeleteObject(strip);
        return nullptr;
    }
    auto* list = new ImageList { width, bitmap->height, {} };
    addstrip(*list, strip, nullptr, mask);
    DeleteObject(strip);
    return adopt(list);
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST handle)
{
    ImageList* list = listof(handle);
    if (!list) {
        return nullptr;
    }
    auto* duplicate = new ImageList { list->width, list->height, {} };
    for (const auto& image : list->images) {
        duplicate->images.push_back(copy(image));
    }
    return adopt(duplicate);
}

BOOL ImageList_Destroy(HIMAGELIST handle)
{
    ImageList* list = listof(handle);
    if (!list) {
        return FALSE;
    }
    {
        std::lock_guard lock(listmutex);
        lists.erase(list);
    }
    delete list;
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST handle)
{
    ImageList* list = listof(handle);
    return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* width, int* height)
{
    ImageList* list = listof(handle);
    if (!list || !width || !height) {
        return FALSE;
    }
    *width = list->width;
    *height = list->height;
    return TRUE;
}

int ImageList_ReplaceIcon(HIMAGELIST handle, int index, HICON icon)
{
    ImageList* list = listof(handle);
    win::Icon* source = win::iconof(icon);
    if (!list || !source || !source->colour || index < -1 || index >= static_cast<int>(list->images.size())) {
        return -1;
    }
    win::Bitmap* mask = source->mask.get();
    bool masked = mask
        && std::all_of(source->colour->pixels.begin(), source->colour->pixels.end(),
            [](uint32_t p) { return (p >> 24) == 0xFF || (p >> 24) == 0; });
    win::Icon image = cut(*source->colour, masked ? mask : nullptr, CLR_NONE, 0, list->width, list->height);
    if (index == -1) {
        list->images.push_back(image);
        return static_cast<int>(list->images.size()) - 1;
    }
    list->images[static_cast<size_t>(index)] = image;
    return index;
}

HICON ImageList_GetIcon(HIMAGELIST handle, int index, UINT)
{
    ImageList* list = listof(handle);
    if (!list || index < 0 || index >= static_cast<int>(list->images.size())) {
        return nullptr;
    }
    return win::adopticon(new win::Icon(copy(list->images[static_cast<size_t>(index)])));
}

BOOL ImageList_Draw(HIMAGELIST handle, int index, HDC dc, int x, int y, UINT)
{
    ImageList* list = listof(handle);
    win::DeviceContext* context = win::DeviceContext::of(dc);
    if (!list || !context || index < 0 || index >= static_cast<int>(list->images.size())) {
        return FALSE;
    }
    return context->drawicon(RECT { x, y, x + list->width, y + list->height },
               list->images[static_cast<size_t>(index)], DI_NORMAL)
        ? TRUE
        : FALSE;
}
