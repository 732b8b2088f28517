// Every frame of the main program carries the global toolbar: the project commands, the module
// windows and help; a button whose command may not run now is greyed.

#include "framework/bars/toolbar.h"
#include "shell/main/vktprocess.h"

namespace {

constexpr TBBUTTON button(int image, int command)
{
    return { image, command, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 };
}

constexpr TBBUTTON separator { 0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0 };

// The module buttons are command 319 with the module's number in the argument bits.
constexpr int module(int number)
{
    return 319 | number << 12;
}

constexpr TBBUTTON buttons[] = {
    button(0, 512),
    button(1, 514),
    button(2, 516),
    button(3, 518),
    separator,
    button(8, module(1)),
    button(9, module(2)),
    button(10, module(3)),
    button(11, module(4)),
    button(12, module(5)),
    button(13, module(6)),
    button(14, module(7)),
    button(15, module(8)),
    button(16, module(9)),
    separator,
    button(4, 544),
};

} // namespace

APPLNFRAME* VKTPROCESS::createnewframe(HMONITOR monitor)
{
    APPLNFRAME* frame = APPLNPROCESS::createnewframe(monitor);
    if (!frame)
        return nullptr;
    TOOLBAR* toolbar = frame->addglobaltoolbar(
        GLOBALTOOLBAR, "Global Toolbar", "gtb_main", buttons, static_cast<int>(std::size(buttons)));
    // The frame docks its global bars when it lays out a window; until then this one sits on top.
    toolbar->attach(frame);
    return frame;
}

void VKTPROCESS::updateglobaltoolbars()
{
    for (int i = 0; i < numframes(); ++i) {
        // The program's one frame-wide bar.
        TOOLBAR* toolbar = getframe(i)->getglobaltoolbar(0);
        if (!toolbar)
            continue;
        for (const TBBUTTON& button : buttons) {
            if (button.fsStyle & BTNS_SEP)
                continue;
            const auto command = static_cast<unsigned>(button.idCommand);
            const int enabled = iscommandenabled(static_cast<unsigned short>(command));
            if (!toolbar->isbuttonenabled(command) != !enabled)
                toolbar->enablebutton(command, enabled);
        }
    }
}
