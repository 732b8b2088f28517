#pragma once

// The flag bits, contexts and hint codes of commands, as command tables and their resources hold
// them. Constants only, so that the resource compiler writes what the framework reads.

#include <cstdint>

// Command flag bits, as the command-table resources store them.
constexpr uint16_t CMDF_REFERENCE = 0x0001; // the command of that id in the shared contexts 0x110-0x11F
constexpr uint16_t CMDF_FIXED = 0x0002; // its key binding cannot be edited
constexpr uint16_t CMDF_NOMENU = 0x0004; // toolbar only: never in menus or the key-map editor
constexpr uint16_t CMDF_SEPARATOR = 0x0008;
constexpr uint16_t CMDF_MERGEPOINT = 0x0010; // with CMDF_SEPARATOR: where later contexts merge
constexpr uint16_t CMDF_SUBMENU = 0x0020; // exactly 0x20: a submenu starts; with other bits: it ends
constexpr uint16_t CMDF_TOGGLE = 0x0040; // the menu flips the item's flag
constexpr uint16_t CMDF_TOGGLEVIEW = 0x0080; // the item shows a flag that the command flips
constexpr uint16_t CMDF_ARGUMENT = 0x0100; // bits 12-15 of the id carry an argument
constexpr uint16_t CMDF_DYNAMIC = 0x0200; // filled at run time: never in menu bars

// Command contexts: the global ones of the main program, the shared menu contexts of a module,
// and the keys that run commands while an input loop runs on a view.
constexpr uint16_t CMDCTX_GLOBAL = 0x100;
constexpr uint16_t CMDCTX_SHARED = 0x110;
constexpr uint16_t CMDCTX_INPUTLOOP = 0x300;

// The group of a context: lookups treat the sixteen contexts of a group as one.
constexpr uint16_t contextgroup(unsigned context)
{
    return static_cast<uint16_t>(context & 0xFFF0);
}

// The command of an id without its argument (bits 12-15).
constexpr uint16_t commandof(unsigned id)
{
    return static_cast<uint16_t>(id & 0x0FFF);
}

// Hint codes: a hint that is no text.
constexpr uint16_t CMDHINT_NONE = 0;
constexpr uint16_t CMDHINT_PREVIOUS = 2; // in resources only: the previous command's hint text
constexpr uint16_t CMDHINT_ASKWINDOW = 3; // asked of the main window (message 0x52B)

// The message that asks the main window for the hint of a command whose hint is CMDHINT_ASKWINDOW:
// wParam the context, lParam the id; the answer is the text (a const char*), 0 for none.
constexpr unsigned WM_COMMANDHINTTEXT = 0x52B;
