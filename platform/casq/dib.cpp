#include "platform/casq/dib.h"

#include <cstdint>
#include <cstring>

namespace casq {
namespace {

constexpr DWORD BI_BITFIELDS = 3;

// The value of a masked field scaled to 0..255.
uint32_t channel(uint32_t pixel, uint32_t mask)
{
    if (!mask) {
        return 0;
    }
    int shift = __builtin_ctz(mask);
    uint32_t maximum = mask >> shift;
    return ((pixel & mask) >> shift) * 255 / maximum;
}

uint32_t opaque(uint32_t red, uint32_t green, uint32_t blue)
{
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

} // namespace

bool decodedib(const BITMAPINFO* info, const void* bits, size_t size, PIXELS& pixels)
{
    if (!info || !bits) {
        return false;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    int bpp = h.biBitCount;
    bool known = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    bool fields = h.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > 124 || h.biPlanes != 1 || !known
        || (h.biCompression != BI_RGB && !fields)) {
        return false;
    }
    int64_t width = h.biWidth;
    int64_t height = h.biHeight < 0 ? -int64_t { h.biHeight } : h.biHeight;
    if (width < 1 || height < 1 || width > DIBMAXSIDE || height > DIBMAXSIDE) {
        return false;
    }
    int64_t stride = (width * bpp + 31) / 32 * 4;
    if (uint64_t(stride * height) > size) {
        return false;
    }
    uint32_t colours = bpp <= 8 ? (h.biClrUsed ? h.biClrUsed : 1u << bpp) : 0;
    if (colours > (1u << (bpp <= 8 ? bpp : 0))) {
        return false;
    }
    const auto* base = reinterpret_cast<const unsigned char*>(info);
    const auto* table = reinterpret_cast<const RGBQUAD*>(base + h.biSize);
    uint32_t masks[3] = { 0x7C00, 0x03E0, 0x001F };
    if (bpp == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }
    if (fields) {
        std::memcpy(masks, base + sizeof(BITMAPINFOHEADER), sizeof masks);
    }

    PIXELS decoded;
    decoded.width = int(width);
    decoded.height = int(height);
    decoded.argb.resize(size_t(width * height));
    const auto* rows = static_cast<const unsigned char*>(bits);
    for (int64_t y = 0; y < height; ++y) {
        const unsigned char* row = rows + stride * (h.biHeight < 0 ? y : height - 1 - y);
        uint32_t* out = decoded.argb.data() + y * width;
        for (int64_t x = 0; x < width; ++x) {
            if (bpp <= 8) {
                int perbyte = 8 / bpp;
                unsigned byte = row[x / perbyte];
                unsigned index = (byte >> (8 - bpp * (x % perbyte + 1))) & ((1u << bpp) - 1);
                RGBQUAD entry = index < colours ? table[index] : RGBQUAD { 0, 0, 0, 0 };
                out[x] = opaque(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
            } else if (bpp == 24) {
                const unsigned char* p = row + x * 3;
                out[x] = opaque(p[2], p[1], p[0]);
            } else {
                uint32_t value = 0;
                std::memcpy(&value, row + x * (bpp / 8), size_t(bpp / 8));
                out[x] = opaque(channel(value, masks[0]), channel(value, masks[1]), channel(value, masks[2]));
            }
        }
    }
    pixels = std::move(decoded);
    return true;
}

} // namespace casq
