// Feeds arbitrary bytes to every reader of the drawing primitives' records: a label, a text block,
// the two style tables, a primitive and a symbol, each from a buffer exactly as long as the input
// (a reader that looked past the end would be caught by the address sanitizer). Instances of
// symbols find a symbol of every name, so that their reading goes on as deep as it can.
// Run: build-fuzz/bin/kelmar_records_fuzz on a copy of platform/kelmar/tests/damaged (with
// platform/kelmar/tests/fixtures beside it as a starting corpus).
#include <cstdint>
#include <cstring>
#include <memory>

#include "core/containers/dpkb.h"
#include "core/files/ramfile.h"
#include "platform/kelmar/label.h"
#include "platform/kelmar/symbol.h"
#include "platform/kelmar/textblock.h"

namespace {

SYMBOL* anysymbol(const char*)
{
    static SYMBOL symbol("ANY");
    return &symbol;
}

std::unique_ptr<DPKB> bufferof(const uint8_t* data, size_t size, DPKB_MODE mode)
{
    auto buffer = std::make_unique<DPKB>(static_cast<unsigned>(size), mode);
    if (size)
        std::memcpy(buffer->alloc(static_cast<unsigned>(size)), data, size);
    buffer->getptr = buffer->base;
    return buffer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    setsymbolfinder(anysymbol);
    auto* bytes = const_cast<uint8_t*>(data);
    int length = static_cast<int>(size);
    {
        RAMFILE file(bytes, length);
        LABEL label;
        label.read(file);
    }
    {
        RAMFILE file(bytes, length);
        TEXTBLOCK block;
        block.read(file, 50);
    }
    {
        RAMFILE file(bytes, length);
        XSTYLE_MANAGER<GSTYLE> table;
        table.read(file);
    }
    {
        RAMFILE file(bytes, length);
        XSTYLE_MANAGER<TSTYLE> table;
        table.read(file);
    }
    for (DPKB_MODE mode : { DPKB_WORD32, DPKB_WORD16 }) {
        auto buffer = bufferof(data, size, mode);
        delete PRIMITIVE::make(*buffer);
        auto again = bufferof(data, size, mode);
        SYMBOL symbol("FUZZ");
        symbol.unpack(*again);
        symbol.occa(OCCA_DRAWN);
    }
    return 0;
}
