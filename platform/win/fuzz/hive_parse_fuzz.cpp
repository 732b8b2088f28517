// Reads arbitrary text as a registry hive file: whatever is kept must be written back in a form
// that reads to the same hive.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win/regstore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    regstore::Key root;
    bool damaged = false;
    std::string refused;
    if (regstore::parse(std::string(reinterpret_cast<const char*>(data), size), root, damaged, refused)
        != regstore::formatVersion)
        return 0;
    std::string written = regstore::serialise(root);
    regstore::Key again;
    if (regstore::parse(written, again, damaged, refused) != regstore::formatVersion || damaged || !refused.empty()
        || regstore::serialise(again) != written)
        __builtin_trap();
    return 0;
}
