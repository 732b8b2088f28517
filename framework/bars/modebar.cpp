#include "framework/bars/modebar.h"

#include <vector>

#include "platform/win/messagequeue.h"

namespace {

constexpr int groups = 3;
constexpr int separatorwidth = 4;

bool ismode(unsigned command)
{
    return command >= MODEBAR_FIRSTCOMMAND && command < MODEBAR_FIRSTCOMMAND + 16 * groups;
}

} // namespace

MODEBAR::MODEBAR(BASEHWND* parent, int id, const char* bitmap, const unsigned short* masks)
    : TOOLBAR(parent, static_cast<unsigned>(id), "Mode", bitmap, 1)
{
    setcmdctx(0x130);
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (int group = 0; masks && group < groups && masks[group]; ++group) {
        if (group > 0)
            buttons.push_back(TBBUTTON { separatorwidth, 0, 0, BTNS_SEP | BTNS_GROUP, {}, 0, 0 });
        for (int bit = 0; bit < 16; ++bit)
            if (masks[group] & (1u << bit))
                buttons.push_back(
                    TBBUTTON { image++, static_cast<int>(MODEBAR_FIRSTCOMMAND) + 16 * group + bit,
                        TBSTATE_ENABLED, BTNS_CHECKGROUP | BTNS_AUTOSIZE, {}, 0, 0 });
    }
    addbuttons(buttons.data(), static_cast<int>(buttons.size()));
    checkbutton(MODEBAR_FIRSTCOMMAND, 1);
}

void MODEBAR::setmode(int newmode)
{
    checkbutton(MODEBAR_FIRSTCOMMAND + static_cast<unsigned>(mode), 0);
    checkbutton(MODEBAR_FIRSTCOMMAND + static_cast<unsigned>(newmode), 1);
    mode = newmode;
}

void MODEBAR::enable(const unsigned short* masks)
{
    for (int group = 0; group < groups; ++group)
        for (int bit = 0; bit < 16; ++bit)
            enablebutton(MODEBAR_FIRSTCOMMAND + 16 * group + bit, !masks || (masks[group] & (1u << bit)));
}

int MODEBAR::mode_enabled(int which)
{
    return isbuttonenabled(MODEBAR_FIRSTCOMMAND + static_cast<unsigned>(which == -1 ? mode : which));
}

LRESULT MODEBAR::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && ismode(LOWORD(wParam))) {
        setmode(LOWORD(wParam) - static_cast<int>(MODEBAR_FIRSTCOMMAND));
        lastcommand = MODEBAR_CHANGED;
        SendMessageA(parentwindow, WM_COMMAND, MODEBAR_CHANGED, lParam);
        return 0;
    }
    return TOOLBAR::msghlr(window, message, wParam, lParam);
}
