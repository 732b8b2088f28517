#include "platform/tirsk/keytext.h"

#include <cstdio>
#include <string>

#include "platform/win/keys.h"

namespace {

struct KEYNAME {
    int key;
    const char* name;
};

const KEYNAME names[] = {
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

} // namespace

const char* getkeytext(unsigned long key)
{
    thread_local std::string text;
    const int vk = static_cast<int>(key & 0xFF);
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return (text = std::string(1, static_cast<char>(vk))).c_str();
    if (vk >= VK_F1 && vk <= VK_F24)
        return (text = "F" + std::to_string(vk - VK_F1 + 1)).c_str();
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return (text = "Num " + std::to_string(vk - VK_NUMPAD0)).c_str();
    for (const KEYNAME& entry : names)
        if (entry.key == vk)
            return (text = entry.name).c_str();
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02X", vk);
    return (text = hex).c_str();
}

const char* getshiftkeytext(unsigned long key, const char* separator, const char* letters)
{
    thread_local std::string text;
    text.clear();
    const unsigned long modifiers = ((key >> 12) | (key >> 16)) & 0xF;
    for (const char* letter = letters ? letters : ""; *letter; ++letter) {
        const char* name = nullptr;
        switch (*letter) {
        case 'W':
            name = modifiers & 8 ? "Win" : nullptr;
            break;
        case 'C':
            name = modifiers & 2 ? "Ctrl" : nullptr;
            break;
        case 'A':
            name = modifiers & 4 ? "Alt" : nullptr;
            break;
        case 'S':
            name = modifiers & 1 ? "Shift" : nullptr;
            break;
        default:
            break;
        }
        if (name) {
            text += name;
            text += separator ? separator : "";
        }
    }
    return text.c_str();
}
