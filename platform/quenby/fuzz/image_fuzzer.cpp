// Feeds arbitrary bytes to each of the three image readers. Run: build-fuzz/bin/image_fuzzer on a
// copy of platform/quenby/tests/damaged and tests/images.
#include "platform/quenby/image.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (auto reader : { readintelhex, readsrecords, readbinary }) {
        FIRMWAREIMAGE image;
        std::string error;
        reader(data, size, image, error);
        // Whatever the input, no block reaches past the 32-bit address space.
        for (const IMAGEBLOCK& block : image.blocks)
            if (uint64_t(block.address) + block.bytes.size() > 0x100000000ull)
                __builtin_trap();
    }
    return 0;
}
