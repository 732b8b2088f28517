// Loads arbitrary bytes as the command-table resource of a context and looks its entries up and
// into a context menu: every record must be read within the resource's bytes. Seed corpus:
// tests/fixtures/*.bin and tests/damaged/cmdtable/.
#include <QApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/commands/cmdinfotable.h"
#include "platform/win/menu.h"
#include "platform/win/messagebox.h"
#include "platform/win/modules.h"
#include "platform/win/resources.h"

// Context menus are Qt menus: the application object stands before the first input, offscreen
// unless a platform is named.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const MESSAGEBOXHOOK silent
        = setmessageboxhook([](HWND, const char*, const char*, UINT) { return 1; });
    (void)silent;
    // A copy of exactly size bytes, so that reading past the end is caught.
    std::vector<uint8_t> bytes(data, data + size);
    RESOURCEENTRY entry { RT_RCDATA, MAKEINTRESOURCEA(0x110), bytes.data(), static_cast<DWORD>(size) };
    HMODULE program = GetModuleHandleA(nullptr);
    registerresources(program, &entry, 1);
    {
        CMDINFOTABLE table;
        table.load(0x110, program);
        table.load(0x110, program);
        for (int i = 0; const CMDINFO* item = table.item(i); ++i) {
            if (table.find(item->context, item->id) == nullptr && item->id)
                __builtin_trap();
            table.gethinttext(item->context, item->id);
        }
        HMENU menu = CreatePopupMenu();
        GSLIST<unsigned short> contexts;
        contexts.append(0x110);
        table.appendcontextmenus(menu, contexts);
        DestroyMenu(menu);
        table.removecommands(0x110);
        if (table.count())
            __builtin_trap();
    }
    unregisterresources(program, &entry);
    return 0;
}
