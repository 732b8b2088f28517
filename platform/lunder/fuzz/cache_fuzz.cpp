// Feeds arbitrary bytes to the index cache reader. Run: build-fuzz/bin/lunder_cache_fuzz on a copy
// of platform/lunder/tests/damaged/cache.
#include "platform/lunder/dlib.h"
#include "platform/lunder/libcache.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LIBCACHE cache;
    std::string error;
    if (!readlibcache(data, size, "FUZZ.IDX", cache, error)) {
        if (error.find("FUZZ.IDX") == std::string::npos)
            __builtin_trap();
        return 0;
    }
    // What a cache promises must fit the library it describes.
    for (const auto& entry : cache.entries) {
        if (uint64_t(entry->offset) + entry->length > cache.size)
            __builtin_trap();
    }
    return 0;
}
