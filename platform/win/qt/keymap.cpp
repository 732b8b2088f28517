#include "platform/win/qt/keymap.h"

#include "platform/win/keys.h"
#include "platform/win/messages.h"

namespace winqt {
namespace {

struct Entry {
    int key;
    int code;
    bool extended;
};

// Keys whose code does not follow from their character. The US layout decides the punctuation.
constexpr Entry table[] = {
    { Qt::Key_Backspace, VK_BACK, false },
    { Qt::Key_Tab, VK_TAB, false },
    { Qt::Key_Backtab, VK_TAB, false },
    { Qt::Key_Clear, VK_CLEAR, false },
    { Qt::Key_Return, VK_RETURN, false },
    { Qt::Key_Enter, VK_RETURN, true },
    { Qt::Key_Shift, VK_SHIFT, false },
    { Qt::Key_Control, VK_CONTROL, false },
    { Qt::Key_Alt, VK_MENU, false },
    { Qt::Key_AltGr, VK_MENU, true },
    { Qt::Key_Pause, VK_PAUSE, false },
    { Qt::Key_CapsLock, VK_CAPITAL, false },
    { Qt::Key_Escape, VK_ESCAPE, false },
    { Qt::Key_Space, VK_SPACE, false },
    { Qt::Key_PageUp, VK_PRIOR, true },
    { Qt::Key_PageDown, VK_NEXT, true },
    { Qt::Key_End, VK_END, true },
    { Qt::Key_Home, VK_HOME, true },
    { Qt::Key_Left, VK_LEFT, true },
    { Qt::Key_Up, VK_UP, true },
    { Qt::Key_Right, VK_RIGHT, true },
    { Qt::Key_Down, VK_DOWN, true },
    { Qt::Key_Print, VK_SNAPSHOT, true },
    { Qt::Key_Insert, VK_INSERT, true },
    { Qt::Key_Delete, VK_DELETE, true },
    { Qt::Key_Help, VK_HELP, false },
    { Qt::Key_Meta, VK_LWIN, true },
    { Qt::Key_Super_L, VK_LWIN, true },
    { Qt::Key_Super_R, VK_RWIN, true },
    { Qt::Key_Menu, VK_APPS, true },
    { Qt::Key_NumLock, VK_NUMLOCK, true },
    { Qt::Key_ScrollLock, VK_SCROLL, false },
    { Qt::Key_Semicolon, VK_OEM_1, false },
    { Qt::Key_Colon, VK_OEM_1, false },
    { Qt::Key_Equal, VK_OEM_PLUS, false },
    { Qt::Key_Plus, VK_OEM_PLUS, false },
    { Qt::Key_Comma, VK_OEM_COMMA, false },
    { Qt::Key_Less, VK_OEM_COMMA, false },
    { Qt::Key_Minus, VK_OEM_MINUS, false },
    { Qt::Key_Underscore, VK_OEM_MINUS, false },
    { Qt::Key_Period, VK_OEM_PERIOD, false },
    { Qt::Key_Greater, VK_OEM_PERIOD, false },
    { Qt::Key_Slash, VK_OEM_2, false },
    { Qt::Key_Question, VK_OEM_2, false },
    { Qt::Key_QuoteLeft, VK_OEM_3, false },
    { Qt::Key_AsciiTilde, VK_OEM_3, false },
    { Qt::Key_BracketLeft, VK_OEM_4, false },
    { Qt::Key_BraceLeft, VK_OEM_4, false },
    { Qt::Key_Backslash, VK_OEM_5, false },
    { Qt::Key_Bar, VK_OEM_5, false },
    { Qt::Key_BracketRight, VK_OEM_6, false },
    { Qt::Key_BraceRight, VK_OEM_6, false },
    { Qt::Key_Apostrophe, VK_OEM_7, false },
    { Qt::Key_QuoteDbl, VK_OEM_7, false },
    { Qt::Key_Exclam, '1', false },
    { Qt::Key_At, '2', false },
    { Qt::Key_NumberSign, '3', false },
    { Qt::Key_Dollar, '4', false },
    { Qt::Key_Percent, '5', false },
    { Qt::Key_AsciiCircum, '6', false },
    { Qt::Key_Ampersand, '7', false },
    { Qt::Key_Asterisk, '8', false },
    { Qt::Key_ParenLeft, '9', false },
    { Qt::Key_ParenRight, '0', false },
};

// Keys of the numeric keypad that are not navigation keys.
VirtualKey keypadkey(int key)
{
    switch (key) {
    case Qt::Key_Asterisk:
        return { VK_MULTIPLY, false };
    case Qt::Key_Plus:
        return { VK_ADD, false };
    case Qt::Key_Minus:
        return { VK_SUBTRACT, false };
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return { VK_DECIMAL, false };
    case Qt::Key_Slash:
        return { VK_DIVIDE, true };
    case Qt::Key_Enter:
    case Qt::Key_Return:
        return { VK_RETURN, true };
    default:
        break;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return { VK_NUMPAD0 + (key - Qt::Key_0), false };
    }
    return { 0, false };
}

} // namespace

VirtualKey virtualkey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (keypad) {
        VirtualKey found = keypadkey(key);
        if (found.code) {
            return found;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return { key, false };
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return { VK_F1 + (key - Qt::Key_F1), false };
    }
    for (const Entry& e : table) {
        if (e.key == key) {
            // The keypad's navigation keys (Num Lock off) are the plain, non-extended codes.
            return { e.code, e.extended && !keypad };
        }
    }
    return { 0, false };
}

LPARAM keydata(int scancode, bool extended, bool alt, bool wasdown, bool release)
{
    auto data = static_cast<uint32_t>(1 | ((scancode & 0xff) << 16));
    if (extended) {
        data |= static_cast<uint32_t>(KF_EXTENDED_BIT);
    }
    if (alt) {
        data |= static_cast<uint32_t>(KF_ALTDOWN_BIT);
    }
    if (wasdown || release) {
        data |= static_cast<uint32_t>(KF_REPEAT_BIT);
    }
    if (release) {
        data |= 0x80000000u;
    }
    return static_cast<LPARAM>(static_cast<int32_t>(data));
}

} // namespace winqt
