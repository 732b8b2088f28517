// Loads one packed record from arbitrary bytes in both word widths and walks it the way
// unpackers do: strings, nested records, fixed fields, until the cursor stops.
#include "core/containers/dpkb.h"
#include "core/files/ramfile.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (DPKB_MODE mode : { DPKB_WORD16, DPKB_WORD32 }) {
        RAMFILE f(const_cast<uint8_t*>(data), static_cast<int>(size));
        DPKB b(0u, mode);
        b.read(f);
        if (b.size < b.wordsize() || b.getptr != b.base)
            __builtin_trap();
        b.get(b.wordsize());
        char text[64];
        for (unsigned step = 0; b.getptr < b.base + b.size; ++step) {
            unsigned kind = *b.getptr % 3;
            if (kind == 0)
                b.getstr(text, 63);
            else if (kind == 1)
                b.get(0xFFFFFFFF);
            else
                b.get(step % 7);
        }
    }
    return 0;
}
