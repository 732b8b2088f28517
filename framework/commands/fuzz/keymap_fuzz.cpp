// Reads arbitrary bytes as a key-map file into a key translator over a small command table: a
// file is either read whole or refused with the map kept as it was. Seed corpus:
// tests/damaged/keymap/.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "framework/commands/keytranslator.h"
#include "platform/win/messagebox.h"
#include "platform/win/pathboundary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const MESSAGEBOXHOOK silent
        = setmessageboxhook([](HWND, const char*, const char*, UINT) { return 1; });
    (void)silent;
    static const std::string path = "/tmp/keymap_fuzz." + std::to_string(getpid()) + ".kmf";
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    CMDINFOTABLE table;
    table.addcommand(0x110, 0x105, "&Copy", nullptr);
    table.addcommand(0x120, 0x106, "&copy", nullptr);
    KEYTRANSLATOR keys(table, KEYTRANSLATOR::SCROLLCOMMAND);
    keys.assign(0x110, 0x105, 0x22043);
    const KEYTRANSLATOR before(keys);
    if (!keys.importfile(towindowspath(path).c_str()) && !(keys == before))
        __builtin_trap();
    keys.validate();
    remove(path.c_str());
    return 0;
}
