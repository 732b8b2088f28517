// Feeds arbitrary bytes to the two readers of library entries from outside: as a library file
// (head, directory, then every entry's data) and as a block of loaded entries in a design or on
// the clipboard. Run: build-fuzz/bin/lunder_library_fuzz on a copy of
// platform/lunder/tests/damaged/library.
#include "core/containers/dpkb.h"
#include "core/files/ramfile.h"
#include "platform/lunder/dlib.h"
#include "platform/lunder/libfile.h"
#include "platform/lunder/rlib.h"

#include <cstdint>
#include <string>

namespace {

// An entry that reads its whole record as bytes.
class ENTRY : public RLIB_ENTRY {
public:
    using RLIB_ENTRY::RLIB_ENTRY;
    int pack(DPKB& b) override { return b.alloc(4) != nullptr; }
    int unpack(DPKB& b) override { return b.get(b.size) != nullptr; }
    RLIB_ENTRY* duplicate() override { return nullptr; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LIBFILEHEAD head;
    std::string kind;
    LIBENTRIES entries;
    std::string error;
    if (readlibhead(data, size < LIBHEADSIZE ? size : LIBHEADSIZE, size, "FUZZ.LIB", head, error)
        && readlibindex(data, head, size, "FUZZ.LIB", kind, entries, error)) {
        for (const auto& entry : entries) {
            if (uint64_t(entry->offset) + entry->length > size)
                __builtin_trap();
            checkrecord(data + entry->offset, entry->length, entry->mode);
        }
    } else if (error.find("FUZZ.LIB") == std::string::npos) {
        __builtin_trap();
    }

    RAMFILE file(const_cast<uint8_t*>(data), static_cast<int>(size));
    RLIB<ENTRY> loaded(nullptr);
    loaded.read(file);
    return 0;
}
