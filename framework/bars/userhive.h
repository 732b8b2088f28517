#pragma once

// The bars keep their layout in the current user's hive, whatever root the context's registry
// calls read from: the root is switched for the life of this object.
// Callers: the rebars and the sizing bars.

#include "core/windows/registry.h"
#include "platform/win/winreg.h"

struct USERHIVE {
    USERHIVE()
        : previous(reg_setrootkey(HKEY_CURRENT_USER))
    {
    }
    ~USERHIVE() { reg_setrootkey(previous); }
    USERHIVE(const USERHIVE&) = delete;
    USERHIVE& operator=(const USERHIVE&) = delete;

    HKEY previous;
};
