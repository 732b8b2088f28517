// Feeds arbitrary text to the property-definition reader. Run: build-fuzz/bin/hulvane_propdef_fuzz
// on a copy of platform/hulvane/tests/damaged/propdefs with platform/hulvane/tests/fixtures/propdefs.
#include "platform/hulvane/propdef.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<PROPDEF> defs(1);
    std::ostringstream messages;
    if (!parse_propdefs(text, "STRING", defs, &messages)) {
        // Refused with where and why, and the definitions held before kept.
        if (messages.str().rfind("line ", 0) != 0 || defs.size() != 1)
            __builtin_trap();
        return 0;
    }
    // What was read is written, and reads back as the same text.
    const std::string written = format_propdefs(defs);
    std::vector<PROPDEF> again;
    if (!parse_propdefs(written, "STRING", again, nullptr) || format_propdefs(again) != written)
        __builtin_trap();
    return 0;
}
