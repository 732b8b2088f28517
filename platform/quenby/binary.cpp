#include "platform/quenby/image.h"

bool readbinary(const uint8_t* bytes, size_t size, FIRMWAREIMAGE& image, std::string& error)
{
    if (uint64_t(size) > 0x100000000ull) {
        error = "larger than the 32-bit address space";
        return false;
    }
    if (size > 0)
        image.blocks.push_back({ 0, std::vector<uint8_t>(bytes, bytes + size) });
    return true;
}
