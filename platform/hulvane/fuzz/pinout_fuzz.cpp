// Feeds arbitrary text to the pinout script compiler. Run: build-fuzz/bin/hulvane_pinout_fuzz on a
// copy of platform/hulvane/tests/damaged/pinout with platform/hulvane/tests/fixtures/pinout.
#include "platform/hulvane/pinout.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    PINOUT pinout("FUZZ");
    std::ostringstream messages;
    if (!pinout.compile(text, &messages)) {
        // Refused with where and why, and nothing kept.
        if (messages.str().rfind("line ", 0) != 0 || !pinout.getscript().empty())
            __builtin_trap();
        return 0;
    }
    // What compiled compiles again from its own script, and every pin answers for every element.
    PINOUT again("FUZZ");
    if (pinout.consumed() > text.size() || !again.compile(pinout.getscript(), nullptr)
        || again.getelements() != pinout.getelements())
        __builtin_trap();
    std::vector<std::string> pins;
    pinout.getvirtualpins(pins);
    for (const std::string& pin : pins) {
        for (int i = 0; pinout.getvirtualpinnum(pin.c_str(), i); ++i) {
        }
    }
    return 0;
}
