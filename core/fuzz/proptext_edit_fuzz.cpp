// Runs the rewrite passes and readers of property texts over arbitrary text: an edit that finds
// nothing must give back every stored line, a property written must read back as written, and
// nothing may read or write outside the text.
#include "core/containers/proplist.h"
#include "core/text/propscan.h"
#include "core/text/proptext.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

struct OWNEDITEMS : GDIDX<PROPITEM> {
    ~OWNEDITEMS() override { zap(); }
};

// The text as every pass writes it back when it changes nothing.
std::string unchanged(const std::string& stored)
{
    if (stored.empty() || stored.back() == '\n')
        return stored;
    size_t lastline = stored.rfind('\n');
    std::string_view last = std::string_view(stored).substr(lastline == std::string::npos ? 0 : lastline + 1);
    return stored + (PROPSCAN::joinsnext(last) ? " \n" : "\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string stored(reinterpret_cast<const char*>(data), size);
    const char* input = stored.c_str(); // up to the first NUL, as a text holds it

    PROPTEXT text(input);
    text.remove("\x01", "\x01");
    if (unchanged(input) != text.text)
        __builtin_trap();

    text.add(nullptr, "FUZZ", "v\n*X\\", 3);
    const char* value = text.get(nullptr, "FUZZ");
    if (!value || std::string(value) != "v *X\\ ")
        __builtin_trap();

    OWNEDITEMS items;
    text.getprops(nullptr, items, 1);
    PROPLIST list(0, 1);
    text.getprops("S", list, 0, 1);
    text.setprops(nullptr, items, 1);
    text.setprops("S", list, 3, 0);
    text.hide(nullptr, nullptr, 3);
    text.rename("S", "A", "B");

    std::ostringstream block;
    text.getblock("S", 1, block);
    text.putblock("T", block.str().c_str());
    text.cleanblock(nullptr);
    text.renameblock("T", "U");
    text.removeblock("S");
    return 0;
}
