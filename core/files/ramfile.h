#pragma once

#include "core/files/vfile.h"

// A VFILE in memory: either over a buffer it owns and grows, or over a caller's block of fixed
// size whose bytes are all data. Positions stay within 0..length; seeking past the end of an
// owned file extends it with zero bytes.
class RAMFILE : public VFILE {
public:
    RAMFILE(); // empty, owns its (not yet allocated) buffer
    RAMFILE(void* block, int size); // over the caller's block; never grows, never frees it
    ~RAMFILE() override;

    int getc() override; // -1 at the end
    int putc(int c) override; // 0, or -1 when the file cannot grow
    int read(void* buf, int n) override; // bytes read, 0 at the end
    int write(const void* buf, int n) override; // n, or 0 when it does not fit (all or nothing)
    // Origin 0 start, 1 current, 2 end with the offset counted back from the end. 1 on success;
    // 0 when the position had to stop at the end (no room to extend) or at 0, when the file has
    // no buffer yet, or for an unknown origin (the position then stays).
    int seek(long offset, int origin) override;
    long tell() override { return position; }
    // Makes room for n bytes from the position on: 1 when they fit, 0 when the buffer is the
    // caller's, cannot be allocated, or (for n <= 0) does not exist yet.
    virtual int grow(int n);

    unsigned char* buffer;
    int capacity; // bytes allocated, or the size of the caller's block
    int length; // bytes of data
    int position;
    int owned; // 1: allocated here, grown and freed here
};
