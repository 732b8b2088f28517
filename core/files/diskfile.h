#pragma once

#include "core/files/vfile.h"

#include <cstdio>

// A VFILE over an open C stream. The stream is the caller's: this class neither opens nor
// closes it. Bit 0 of the flags reads as set on every disk file.
class DISKFILE : public VFILE {
public:
    explicit DISKFILE(FILE* stream)
        : fp(stream)
    {
    }

    int getc() override; // fgetc
    int putc(int c) override; // the character written, or -1
    int read(void* buf, int n) override; // fread; 0 when n <= 0
    int write(const void* buf, int n) override; // fwrite; 0 when n <= 0
    int seek(long offset, int origin) override; // fseek: 0 on success
    long tell() override; // ftell
    int printf(const char* fmt, ...) override __attribute__((format(printf, 2, 3))); // no length limit
    int testflags(unsigned mask) override;

    FILE* fp; // borrowed from the caller
};
