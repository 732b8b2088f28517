// Keys turned into commands for a window, and key names written into menus.

#include <deque>
#include <string>

#include "core/text/ascii.h"
#include "framework/commands/keytranslator.h"
#include "framework/menus/menu.h"
#include "framework/menus/menuitems.h"
#include "platform/tirsk/keytext.h"
#include "platform/win/input.h"
#include "platform/win/menu.h"
#include "platform/win/messagequeue.h"
#include "platform/win/messages.h"
#include "platform/win/styles.h"
#include "platform/win/window.h"

namespace {

struct SCROLL {
    UINT message;
    WPARAM code;
};

// The scroll each argument of the scroll command stands for; message 0 for none.
constexpr SCROLL scrolls[16]
    = { {}, { WM_VSCROLL, SB_TOP }, { WM_VSCROLL, SB_PAGEUP }, { WM_VSCROLL, SB_LINEUP },
          { WM_VSCROLL, SB_LINEDOWN }, { WM_VSCROLL, SB_PAGEDOWN }, { WM_VSCROLL, SB_BOTTOM }, {},
          { WM_HSCROLL, SB_LEFT }, { WM_HSCROLL, SB_PAGELEFT }, { WM_HSCROLL, SB_LINELEFT },
          { WM_HSCROLL, SB_LINERIGHT }, { WM_HSCROLL, SB_PAGERIGHT }, { WM_HSCROLL, SB_RIGHT }, {}, {} };

// Sends the command to the window through a one-key accelerator, as the system would for a key
// bound in a menu; the system's answer.
int sendaccelerated(HWND window, unsigned long key, unsigned short command, MSG* msg)
{
    BYTE flags = FVIRTKEY;
    if (key & KEY_ALT)
        flags |= FALT;
    if (key & KEY_SHIFT)
        flags |= FSHIFT;
    if (key & KEY_CTRL)
        flags |= FCONTROL;
    ACCEL accelerator { flags, static_cast<WORD>(msg->wParam), command };
    HACCEL table = CreateAcceleratorTableA(&accelerator, 1);
    int result = TranslateAcceleratorA(window, table, msg);
    DestroyAcceleratorTable(table);
    return result;
}

// An Alt+letter of the window's menu bar opens that menu; 1 when it did.
int openmenuofletter(HWND window, MSG* msg)
{
    if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)
        return 0;
    const std::string letters = MENU::get_accelerators(GetMenu(window));
    const unsigned char letter = asciiupper(static_cast<char>(msg->wParam));
    for (char c : letters) {
        if (asciiupper(c) != letter)
            continue;
        HWND previous = SetActiveWindow(window);
        SendMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, letter);
        SetActiveWindow(previous);
        return 1;
    }
    return 0;
}

} // namespace

int KEYTRANSLATOR::translate_and_dispatch(HWND window, unsigned short context, unsigned long key, MSG* msg)
{
    if (!msg)
        return 0;
    const unsigned short command = find_key(context, key, 0)->command;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return command != 0;
    if (command && commandof(command) != scrollcmd)
        return sendaccelerated(window, key, command, msg);
    if (command) {
        const SCROLL& scroll = scrolls[command >> 12];
        if (scroll.message)
            PostMessageA(window, scroll.message, scroll.code, 0);
        return 1;
    }
    return msg->message == WM_SYSKEYDOWN ? openmenuofletter(window, msg) : 0;
}

void KEYTRANSLATOR::sync_menu(unsigned short context, HMENU menu, int keepunbound)
{
    std::deque<HMENU> queue { menu };
    int queued = 0;
    for (; !queue.empty(); queue.pop_front()) {
        HMENU current = queue.front();
        const int count = GetMenuItemCount(current);
        for (int position = 0; position < count; ++position) {
            if (HMENU submenu = GetSubMenu(current, position)) {
                if (queued++ < MENU::MAXQUEUED)
                    queue.push_back(submenu);
                continue;
            }
            const UINT id = GetMenuItemID(current, position);
            if (!id || isseparatoritem(current, position))
                continue;
            const std::string read = menutext(current, position);
            std::string text = read;
            text.resize(std::min(text.size(), text.find('\t')));
            const KEYCMD* binding = find_cmd(context, static_cast<unsigned short>(id));
            if (binding != &dummycmd)
                text = text + "\t" + getshiftkeytext(binding->key, "+", "WCAS") + getkeytext(binding->key);
            else if (keepunbound)
                continue;
            if (text == read)
                continue;
            MENUITEMINFOA info {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_STRING;
            info.dwTypeData = text.data();
            SetMenuItemInfoA(current, position, TRUE, &info);
        }
    }
}

void KEYTRANSLATOR::sync_menu(GSLIST<unsigned short>& contexts, HMENU menu)
{
    int keepunbound = 0;
    for (unsigned short context : contexts) {
        sync_menu(context, menu, keepunbound);
        keepunbound = 1;
    }
}
