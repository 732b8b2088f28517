// Feeds arbitrary bytes to the design database's image reader. Run: build-fuzz/bin/hulvane_image_fuzz
// on a copy of platform/hulvane/tests/damaged/cdb with platform/hulvane/tests/fixtures/design.cdb.
#include "core/files/ramfile.h"
#include "platform/hulvane/cdbcore.h"

#include <cstdint>
#include <string>

namespace {

std::string image(CDBCORE& core)
{
    RAMFILE file;
    if (!core.save(file))
        __builtin_trap();
    return std::string(reinterpret_cast<const char*>(file.buffer), static_cast<size_t>(file.length));
}

int load(CDBCORE& core, const void* data, size_t size, std::string& reason)
{
    RAMFILE file;
    file.write(data, static_cast<int>(size));
    file.rewind();
    return core.load(file, &reason);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CDBCORE core;
    core.newdatabase("KEPT.CDB");
    core.newdesign();
    core.addrootsheet(1, "kept", 0);
    const std::string before = image(core);
    std::string reason;
    if (!load(core, data, size, reason)) {
        // Refused whole, with its reason.
        if (reason.empty() || image(core) != before)
            __builtin_trap();
        return 0;
    }
    // What was read saves, and reads back as the same image.
    const std::string saved = image(core);
    CDBCORE again;
    if (!load(again, saved.data(), saved.size(), reason) || image(again) != saved)
        __builtin_trap();
    return 0;
}
