#include "core/files/vfile.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
constexpr int printfLimit = 4096;
constexpr int copyBlock = 65536;
constexpr int countedStringMax = 255;
} // namespace

void VFILE::rewind()
{
    seek(0, 0);
}

int VFILE::read(void* buf, int n)
{
    auto* out = static_cast<unsigned char*>(buf);
    int done = 0;
    for (; done < n; ++done) {
        int c = getc();
        if (c == -1)
            break;
        out[done] = static_cast<unsigned char>(c);
    }
    return done;
}

int VFILE::write(const void* buf, int n)
{
    const auto* in = static_cast<const unsigned char*>(buf);
    int done = 0;
    for (; done < n; ++done)
        if (putc(in[done]) == -1)
            break;
    return done;
}

int VFILE::getline(char* buf, int size)
{
    if (size < 2)
        return 1;
    int stored = 0;
    int result = 1;
    while (stored < size - 1) {
        int c = getc();
        if (c == -1) {
            result = 0;
            break;
        }
        if (c == '\n')
            break;
        buf[stored++] = static_cast<char>(c);
    }
    buf[stored] = '\0';
    return result;
}

int VFILE::puts(const char* s)
{
    if (!s)
        return 0;
    int n = 0;
    for (; s[n]; ++n)
        putc(static_cast<unsigned char>(s[n]));
    return n;
}

int VFILE::printf(const char* fmt, ...)
{
    char text[printfLimit];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    return puts(text);
}

int VFILE::testflags(unsigned mask)
{
    return (flags & mask) ? 1 : 0;
}

void vfputstr(const char* s, VFILE& f)
{
    if (!s) {
        f.putc(0);
        return;
    }
    int length = static_cast<int>(std::min(std::strlen(s), static_cast<size_t>(countedStringMax)));
    f.putc(length);
    f.write(s, length);
}

char* vfgetstr(char* buf, VFILE& f)
{
    int length = f.getc();
    if (length == -1)
        return buf;
    if (!buf) {
        buf = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
        if (!buf)
            return nullptr;
    }
    int got = f.read(buf, length);
    buf[got] = '\0';
    return buf;
}

int vfcopy(VFILE& src, VFILE& dst)
{
    std::vector<char> block(copyBlock);
    int total = 0;
    for (;;) {
        int got = src.read(block.data(), copyBlock);
        if (got <= 0)
            break;
        int taken = std::max(dst.write(block.data(), got), 0);
        if (taken < got)
            src.seek(taken - got, 1);
        if (taken == 0)
            break;
        total += taken;
    }
    return total;
}
