#pragma once

#include "core/containers/valloc.h"

#include <cstdint>

class VFILE;

// Width of the length word that starts a packed record: 0 for 16 bits, any other value 32 bits.
using DPKB_MODE = int32_t;
constexpr DPKB_MODE DPKB_WORD16 = 0;
constexpr DPKB_MODE DPKB_WORD32 = 1;

// A packed byte buffer: one record that begins with its own length word (little-endian, counting
// the word itself), filled at the write position and read back through a cursor. Records may
// nest; a reader can skip a nested record whole. Reading never leaves the buffer's size bytes.
class DPKB : public VALLOC<unsigned char> {
public:
    // An empty buffer of size bytes; the packer reserves the length word with alloc first.
    DPKB(unsigned int size, DPKB_MODE mode);
    // Adopts a malloc'ed record; its size comes from its length word. The buffer frees it.
    DPKB(void* record, DPKB_MODE mode);
    DPKB(const DPKB&) = delete;
    DPKB& operator=(const DPKB&) = delete;
    ~DPKB() override;

    unsigned wordsize() const { return mode == DPKB_WORD16 ? 2 : 4; }

    // n zeroed bytes reserved at the write position. A full buffer grows by exactly n, and then
    // the read cursor returns to the start.
    void* alloc(unsigned int n);
    // The cursor, advanced by n bytes; with n = 0xFFFFFFFF by the length word at the cursor
    // (skipping one nested record). Null when the bytes pass the end of the buffer or the nested
    // length is shorter than its own word; the cursor then stands at the end.
    void* get(unsigned int n);
    // Copies the string at the cursor into dst (at most max characters and a NUL; dst needs
    // max + 1 bytes, a null dst only skips) and moves the cursor past its NUL. 0 when the buffer
    // ends before the NUL: dst then holds what was there and the cursor stands at the end.
    int getstr(char* dst, int max);
    // Packs s with its NUL (a null s as an empty string).
    void putstr(const char* s);

    // Loads one record from f: its length word, then the rest. 1 when the whole record was read;
    // 0 when the length is shorter than its word or the file ends early. The buffer then holds a
    // consistent record of what was read (its length word rewritten to match). Read and write
    // positions stand at the start.
    int read(VFILE& f);
    // Stores put - base as the length word at the start and writes that many bytes. 0, with
    // nothing written, when the length word was not reserved or the length does not fit a 16-bit
    // word; 0 also when the file took fewer bytes.
    int write(VFILE& f);

    DPKB_MODE mode;
    int32_t reserved;
    uint32_t size; // bytes allocated for the record
    unsigned char* base; // start of the record; owned
    unsigned char* putptr; // write position: the end of what has been packed
    unsigned char* getptr; // read cursor
};
