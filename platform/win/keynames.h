#pragma once

// The names of virtual keys as menus, key-map files and key-table sources show them: letters and
// digits as themselves, "F1" to "F24", "Num 0" to "Num 9", and the names of the table below. A key
// without a name is "#" and its two hexadecimal digits.
// Callers: the key texts of the window library (tirsk), the resource compiler's key tables.

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/win/keys.h"

namespace win {

struct KEYNAME {
    int key;
    const char* name;
};

inline constexpr KEYNAME keynames[] = {
    { VK_BACK, "Backspace" },
    { VK_TAB, "Tab" },
    { VK_RETURN, "Enter" },
    { VK_PAUSE, "Pause" },
    { VK_ESCAPE, "Esc" },
    { VK_SPACE, "Space" },
    { VK_PRIOR, "Page Up" },
    { VK_NEXT, "Page Down" },
    { VK_END, "End" },
    { VK_HOME, "Home" },
    { VK_LEFT, "Left" },
    { VK_UP, "Up" },
    { VK_RIGHT, "Right" },
    { VK_DOWN, "Down" },
    { VK_SNAPSHOT, "Print Screen" },
    { VK_INSERT, "Insert" },
    { VK_DELETE, "Delete" },
    { VK_APPS, "Menu" },
    { VK_MULTIPLY, "Num *" },
    { VK_ADD, "Num +" },
    { VK_SUBTRACT, "Num -" },
    { VK_DECIMAL, "Num ." },
    { VK_DIVIDE, "Num /" },
    { VK_NUMLOCK, "Num Lock" },
    { VK_SCROLL, "Scroll Lock" },
    { VK_OEM_1, ";" },
    { VK_OEM_PLUS, "=" },
    { VK_OEM_COMMA, "," },
    { VK_OEM_MINUS, "-" },
    { VK_OEM_PERIOD, "." },
    { VK_OEM_2, "/" },
    { VK_OEM_3, "`" },
    { VK_OEM_4, "[" },
    { VK_OEM_5, "\\" },
    { VK_OEM_6, "]" },
    { VK_OEM_7, "'" },
    { VK_OEM_102, "\\" },
};

// The name of the virtual key vk (0 to 255).
inline std::string keyname(int vk)
{
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= VK_F1 && vk <= VK_F24)
        return "F" + std::to_string(vk - VK_F1 + 1);
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return "Num " + std::to_string(vk - VK_NUMPAD0);
    for (const KEYNAME& entry : keynames)
        if (entry.key == vk)
            return entry.name;
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02X", vk);
    return hex;
}

// The virtual key a name gives (letters in either case); -1 when none does. Where two keys share
// a name ("\"), the lower one is meant.
inline int keybyname(std::string_view name)
{
    for (int vk = 0; vk < 256; ++vk) {
        std::string candidate = keyname(vk);
        if (candidate.size() != name.size() || candidate[0] == '#')
            continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i) {
            char c = name[i] >= 'a' && name[i] <= 'z' ? static_cast<char>(name[i] - 'a' + 'A') : name[i];
            char d = candidate[i] >= 'a' && candidate[i] <= 'z' ? static_cast<char>(candidate[i] - 'a' + 'A')
                                                                : candidate[i];
            same = c == d;
        }
        if (same)
            return vk;
    }
    return -1;
}

// Whether a key code of vk always carries the extended bit: Insert, Delete, Home, End, Page Up,
// Page Down and the arrows (Enter never does).
inline bool isextendedkey(int vk)
{
    return (vk >= VK_PRIOR && vk <= VK_DOWN) || vk == VK_INSERT || vk == VK_DELETE;
}

} // namespace win
