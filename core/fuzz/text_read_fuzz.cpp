// Loads a stored text record from arbitrary bytes, then reads it as a property text: the scanner
// must account for every stored byte exactly once and the look-ups must stay inside the text.
#include "core/files/ramfile.h"
#include "core/text/propscan.h"
#include "core/text/proptext.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RAMFILE f(const_cast<uint8_t*>(data), static_cast<int>(size));
    PROPTEXT text;
    text.read(f);

    std::string covered;
    PROPSCAN scan(text);
    while (scan.next()) {
        covered += scan.raw();
        scan.header();
    }
    if (covered != (text.text ? text.text : ""))
        __builtin_trap();

    text.get("A", "B");
    text.get(nullptr, "A");
    (void)text["A"];
    text.test("B", "x", 0);
    return 0;
}
