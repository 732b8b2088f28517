#pragma once

// One command of a module's command table: its id in a command context, its flags, and the texts,
// help id and image that menus, toolbars, hints, tooltips and the key-map editor show for it.
// Texts and images are shared by every entry that shows them (a reference entry shows its
// target's, a copied table its source's) and freed with the last of them.

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/win/handletypes.h"
#include "platform/win/rc/cmdflags.h"

// A text held by the entries that show it; null when there is none.
class CMDTEXT {
public:
    CMDTEXT() = default;
    // A copy of text; null stays null.
    explicit CMDTEXT(const char* text);
    // Takes a heap text (released with free); null stays null.
    static CMDTEXT adopt(char* text);

    const char* get() const { return text ? text->c_str() : nullptr; }
    operator const char*() const { return get(); }

private:
    std::shared_ptr<const std::string> text;
};

// A bitmap held by the entries that show it, deleted with the last of them; null when none.
class CMDIMAGE {
public:
    CMDIMAGE() = default;
    // Takes the bitmap over; null stays null.
    explicit CMDIMAGE(HBITMAP bitmap);

    HBITMAP get() const { return bitmap.get(); }
    operator HBITMAP() const { return get(); }

private:
    std::shared_ptr<std::remove_pointer_t<HBITMAP>> bitmap;
};

struct CMDINFO {
    uint16_t context = 0; // the exact context the entry was loaded or added for
    uint16_t id = 0; // 0 in separators and submenu records
    uint16_t flags = 0;
    CMDTEXT text; // with its "&" mnemonic; null for separators and submenu ends
    uint16_t helpid = 0; // 0: none
    CMDTEXT hint; // the status-bar hint; null: none, or see hintcode
    uint16_t hintcode = CMDHINT_NONE; // CMDHINT_ASKWINDOW: the hint is the main window's
    CMDIMAGE bitmap; // the image strip for menus and toolbars; null: none
    int32_t refindex = -1; // a reference entry's target; -1 when none

    bool isseparator() const { return flags & CMDF_SEPARATOR; }
    bool issubmenu() const { return flags == CMDF_SUBMENU; }
    bool issubmenuend() const { return (flags & CMDF_SUBMENU) && flags != CMDF_SUBMENU && !isseparator(); }
    bool isreference() const { return !isseparator() && !(flags & CMDF_SUBMENU) && (flags & CMDF_REFERENCE); }
    // Whether the entry answers to id: its own, or with CMDF_ARGUMENT any argument of it.
    bool matches(unsigned short command) const
    {
        return id == command || ((flags & CMDF_ARGUMENT) && id == commandof(command));
    }
};
