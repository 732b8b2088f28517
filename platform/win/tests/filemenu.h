#pragma once

#include "platform/win/menu.h"

namespace wintest {

// File: Open (101), a separator, Recent > (A 201, B 202), Exit (103, greyed).
struct FileMenu {
    HMENU recent = CreatePopupMenu();
    HMENU file = CreatePopupMenu();
    FileMenu()
    {
        AppendMenuA(recent, MF_STRING, 201, "&A");
        AppendMenuA(recent, MF_STRING, 202, "&B");
        AppendMenuA(file, MF_STRING, 101, "&Open\tCtrl+O");
        AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
        AppendMenuA(file, MF_STRING | MF_GRAYED, 103, "E&xit");
    }
    ~FileMenu() { DestroyMenu(file); }
};

} // namespace wintest
