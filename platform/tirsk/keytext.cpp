#include "platform/tirsk/keytext.h"

#include <string>

#include "platform/win/keynames.h"

const char* getkeytext(unsigned long key)
{
    thread_local std::string text;
    return (text = win::keyname(static_cast<int>(key & 0xFF))).c_str();
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
