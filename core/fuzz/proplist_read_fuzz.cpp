// Loads a stored property list from arbitrary bytes; whatever was kept must be well-formed items
// that write out and read back the same.
#include "core/containers/proplist.h"
#include "core/files/ramfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RAMFILE f(const_cast<uint8_t*>(data), static_cast<int>(size));
    PROPLIST list(0, 1);
    list.read(f);

    RAMFILE out;
    list.write(out);
    out.seek(0, 0);
    PROPLIST back(0, 1);
    if (!back.read(out) || !back.equals(list))
        __builtin_trap();
    return 0;
}
