// Feeds arbitrary bytes to the srecord image reader. Run: build-fuzz/bin/srecord_fuzzer on a copy of
// platform/quenby/tests/damaged.
#include "platform/quenby/image.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FIRMWAREIMAGE image;
    std::string error;
    readsrecords(data, size, image, error);
    // Whatever the input, no block reaches past the 32-bit address space.
    for (const IMAGEBLOCK& block : image.blocks)
        if (uint64_t(block.address) + block.bytes.size() > 0x100000000ull)
            __builtin_trap();
    return 0;
}
