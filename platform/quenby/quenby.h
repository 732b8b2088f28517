#pragma once

#include <cstdint>

// The firmware image loaders: a model of a processor (or any model with a memory) has an image file
// loaded into its memory through IINSTANCE::loadmemory, which picks the loader by the file's
// extension. Three formats: Intel HEX (.HEX), Motorola S-records (.S19, also with S2 and S3
// records) and raw binary images (.BIN, loaded from address 0). Every file is checked whole before
// any byte is written: a damaged image, or a record that runs past its line, its image or its
// address space, is refused with a message through the instance and writes nothing.
//
// Callers: IINSTANCE::loadmemory (simulator/kernel/instanceservices.cpp).

class IINSTANCE;

// What a loader writes an image into: a processor model's memory, or a plain buffer.
class ICPU {
public:
    // 0: the number of memory spaces beyond the first; 0 for a single memory.
    virtual int32_t extraspaces() = 0;
    // 1: takes `count` bytes for `address` onwards of memory `space`; `flags` are the loader's
    // caller's, passed through. Bytes the target has no room for are its to drop.
    virtual void writeblock(
        int32_t space, int32_t flags, uint32_t address, const uint8_t* bytes, int32_t count)
        = 0;
    // 2: the start address the image gives.
    virtual void setstart(uint32_t address) = 0;
    // 3: copies `count` bytes from `address` of memory `space`; the count copied, 0 when the
    // target cannot be read back.
    virtual int32_t readblock(int32_t space, uint32_t address, uint8_t* bytes, int32_t count) = 0;
    // 4: the highest address of memory `space`; 0 when the target does not say.
    virtual uint32_t highestaddress(int32_t space) = 0;

protected:
    ~ICPU() = default;
};

// Each loads the image `file` into `target` (memory `space`, `flags` passed on to the target):
// 1 when loaded, 0 when the file cannot be read or is refused (the reason through `instance`'s
// error, when there is an instance).
int load_bin(const char* file, IINSTANCE* instance, int32_t space, int32_t flags, ICPU* target);
int load_hex(const char* file, IINSTANCE* instance, int32_t space, int32_t flags, ICPU* target);
int load_s19(const char* file, IINSTANCE* instance, int32_t space, int32_t flags, ICPU* target);
