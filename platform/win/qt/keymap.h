#pragma once

// Toolkit keys as virtual-key codes with the extended-key flag.
// Callers: the native windows' key input (the layer).

#include <Qt>

#include "platform/win/messageparams.h"

namespace winqt {

struct VirtualKey {
    int code; // 0 when the key has no virtual-key code
    bool extended; // the key-message flag of lParam bit 24
};

// The virtual key of a toolkit key. Keypad keys are told apart by the keypad modifier: the
// dedicated navigation keys and keypad Enter are extended, their keypad twins are not.
VirtualKey virtualkey(int key, Qt::KeyboardModifiers modifiers);

// lParam of a key message: repeat count 1, scan code, extended flag, Alt, previous state, release.
LPARAM keydata(int scancode, bool extended, bool alt, bool wasdown, bool release);

} // namespace winqt
