// The bars' image and padding sizes for the screen: 16-pixel images up to a scale of 1.25, 24 up
// to 1.5, 32 above, with paddings that grow alongside.

#include <cstdio>

#include "core/text/strutil.h"
#include "framework/bars/ctrlbar.h"
#include "framework/bars/screendpi.h"
#include "framework/context/applncontext.h"
#include "platform/win/images.h"
#include "platform/win/resources.h"

namespace {

struct SIZES {
    int bitmap;
    int vertical;
    int horizontal;
};

constexpr SIZES small { 16, 5, 6 };
constexpr SIZES medium { 24, 6, 8 };
constexpr SIZES large { 32, 7, 9 };
constexpr SIZES largest { 32, 10, 12 };

SIZES sizesfor(double scale)
{
    if (scale < 1.249)
        return small;
    if (scale < 1.499)
        return medium;
    return scale < 1.999 ? large : largest;
}

} // namespace

void CTRLBAR::configuresize(const char* name, double scale)
{
    SIZES sizes {};
    if (scale > 0) {
        sizes = sizesfor(scale);
    } else {
        switch (getsizing()) {
        case 16:
            scale = 1.0;
            sizes = small;
            break;
        case 24:
            scale = 1.3;
            sizes = medium;
            break;
        case 32:
            scale = 1.7;
            sizes = large;
            break;
        default:
            scale = screendpi() / 96.0;
            sizes = sizesfor(scale);
            break;
        }
    }
    bitmapsize = buttonsize = sizes.bitmap;
    verticalpadding = sizes.vertical;
    horizontalpadding = sizes.horizontal;
    if (!name) {
        bitmapname[0] = 0;
        return;
    }
    if (scale <= 1.001)
        strnzcpy(bitmapname, name, sizeof bitmapname - 1);
    else
        std::snprintf(bitmapname, sizeof bitmapname, "%s%d", name, bitmapsize);
    if (!FindResourceA(getapplngraphicsinstance(), bitmapname, RT_BITMAP) && scale > 1.0)
        configuresize(name, scale - 0.2);
}
