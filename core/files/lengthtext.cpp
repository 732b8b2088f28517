#include "core/files/lengthtext.h"

#include <cstdint>
#include <cstring>

#include "core/files/littleendian.h"

int fputl(long value, FILE* stream)
{
    const auto bits = static_cast<uint32_t>(value);
    const unsigned char bytes[4] = { static_cast<unsigned char>(bits), static_cast<unsigned char>(bits >> 8),
        static_cast<unsigned char>(bits >> 16), static_cast<unsigned char>(bits >> 24) };
    return stream && std::fwrite(bytes, 1, sizeof bytes, stream) == sizeof bytes;
}

int fputlstr(const char* text, FILE* stream)
{
    const size_t length = text ? std::strlen(text) : 0;
    if (length > UINT32_MAX || !fputl(static_cast<long>(length), stream))
        return 0;
    return length == 0 || std::fwrite(text, 1, length, stream) == length;
}

long fgetlstr(char* buffer, size_t size, FILE* stream)
{
    if (buffer && size)
        *buffer = '\0';
    unsigned char bytes[4];
    if (!stream || !buffer || !size || std::fread(bytes, 1, sizeof bytes, stream) != sizeof bytes)
        return -1;
    const uint32_t length = readle32(bytes);
    if (length > size - 1 || std::fread(buffer, 1, length, stream) != length) {
        *buffer = '\0';
        return -1;
    }
    buffer[length] = '\0';
    return static_cast<long>(length);
}
