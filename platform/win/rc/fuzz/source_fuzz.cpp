// Compiles arbitrary text as a resource source: it compiles, or fails with a located message.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win/rc/emit.h"
#include "platform/win/rc/source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        rc::Compiled compiled
            = rc::compiletext(std::string(reinterpret_cast<const char*>(data), size), "fuzz.rc");
        rc::emitcpp(compiled, "fuzz.rc");
    } catch (const rc::CompileError& error) {
        if (std::string(error.what()).rfind("fuzz.rc:", 0) != 0)
            __builtin_trap();
    }
    return 0;
}
