// Loads arbitrary bytes as a string-table resource, translated and not, and looks its entries up:
// every record must be read within the resource's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/windows/stringtable.h"
#include "platform/win/modules.h"
#include "platform/win/resources.h"

namespace {

struct Echo : ITRANSLATE {
    char* translate(const char* text, const char*) override { return strdup(text); }
    char* translate(const char* text, const char* context, const char*) override
    {
        return translate(text, context);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A copy of exactly size bytes, so that reading past the end is caught.
    std::vector<uint8_t> bytes(data, data + size);
    RESOURCEENTRY entry { RT_RCDATA, "FUZZED", bytes.data(), static_cast<DWORD>(size) };
    HMODULE program = GetModuleHandleA(nullptr);
    registerresources(program, &entry, 1);
    Echo echo;
    for (ITRANSLATE* translator : { static_cast<ITRANSLATE*>(nullptr), static_cast<ITRANSLATE*>(&echo) }) {
        STRINGTABLE table;
        table.settranslator(translator, nullptr);
        table.load("FUZZED", program);
        unsigned long id = 0;
        const char* text = nullptr;
        for (int i = 0; table.item(i, &id, &text); ++i)
            if (!table.string(id) || !text)
                __builtin_trap();
        char field[8];
        char* fields[] = { field, field, field };
        table.split(id, fields, 7, 3, ',');
        table.getgroup(id, fields, 3, 7);
        table.string(reinterpret_cast<unsigned long>("NAME"));
    }
    unregisterresources(program, &entry);
    return 0;
}
