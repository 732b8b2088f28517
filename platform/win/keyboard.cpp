// Keyboard state and accelerator tables.

#include <atomic>
#include <cstring>
#include <vector>

#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

using namespace win;

namespace {

// The newest state reported by the toolkit, whichever thread reads it.
std::atomic<BYTE> asynckeys[256];

struct AcceleratorTable {
    std::vector<ACCEL> entries;
};

int modifierkey(int key)
{
    switch (key) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return key;
    }
}

} // namespace

namespace win {

void setasynckey(int key, bool down)
{
    asynckeys[key & 0xff] = down ? 0x80 : 0;
    int general = modifierkey(key);
    if (general != key) {
        asynckeys[general] = down ? 0x80 : 0;
    }
}

} // namespace win

SHORT GetKeyState(int key)
{
    BYTE state = currentqueue()->keys[modifierkey(key) & 0xff];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

SHORT GetAsyncKeyState(int key)
{
    return static_cast<SHORT>((asynckeys[modifierkey(key) & 0xff] & 0x80) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* state)
{
    if (!state) {
        return FALSE;
    }
    std::memcpy(state, currentqueue()->keys, 256);
    return TRUE;
}

BOOL SetKeyboardState(const BYTE* state)
{
    if (!state) {
        return FALSE;
    }
    std::memcpy(currentqueue()->keys, state, 256);
    return TRUE;
}

HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count)
{
    if (!entries || count < 1) {
        return nullptr;
    }
    auto* table = new AcceleratorTable { std::vector<ACCEL>(entries, entries + count) };
    return reinterpret_cast<HACCEL>(table);
}

BOOL DestroyAcceleratorTable(HACCEL table)
{
    delete reinterpret_cast<AcceleratorTable*>(table);
    return table ? TRUE : FALSE;
}

int TranslateAcceleratorA(HWND window, HACCEL handle, MSG* message)
{
    auto* table = reinterpret_cast<AcceleratorTable*>(handle);
    if (!table || !message || !IsWindow(window)
        || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)) {
        return 0;
    }
    bool shift = GetKeyState(VK_SHIFT) & 0x8000;
    bool control = GetKeyState(VK_CONTROL) & 0x8000;
    bool alt = (GetKeyState(VK_MENU) & 0x8000) || (message->lParam & KF_ALTDOWN_BIT);
    for (const ACCEL& entry : table->entries) {
        if (!(entry.fVirt & FVIRTKEY) || entry.key != (message->wParam & 0xff)) {
            continue;
        }
        if (shift != bool(entry.fVirt & FSHIFT) || control != bool(entry.fVirt & FCONTROL)
            || alt != bool(entry.fVirt & FALT)) {
            continue;
        }
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return 1;
    }
    return 0;
}
