#include "core/files/diskfile.h"

#include <cstdarg>

int DISKFILE::getc()
{
    return std::fgetc(fp);
}

int DISKFILE::putc(int c)
{
    return std::fputc(c, fp) == EOF ? -1 : c & 0xff;
}

int DISKFILE::read(void* buf, int n)
{
    if (n <= 0)
        return 0;
    return static_cast<int>(std::fread(buf, 1, static_cast<size_t>(n), fp));
}

int DISKFILE::write(const void* buf, int n)
{
    if (n <= 0)
        return 0;
    return static_cast<int>(std::fwrite(buf, 1, static_cast<size_t>(n), fp));
}

int DISKFILE::seek(long offset, int origin)
{
    return std::fseek(fp, offset, origin);
}

long DISKFILE::tell()
{
    return std::ftell(fp);
}

int DISKFILE::printf(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    int n = std::vfprintf(fp, fmt, args);
    va_end(args);
    return n;
}

int DISKFILE::testflags(unsigned mask)
{
    return ((flags | 1u) & mask) ? 1 : 0;
}
