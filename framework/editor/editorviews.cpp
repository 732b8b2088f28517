// The view window's answers that depend on its editor, beside the editor: whether a modal edit
// runs, the context object, and the messages a secondary view passes on to its editor's window.

#include "framework/context/windowmessages.h"
#include "framework/editor/applneditor.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

void APPLNVIEWWIN::setmodal(int on)
{
    if (editor)
        editor->geteditstatus().modal += on ? 1 : -1;
    if (owner)
        owner->setmodal(on);
}

int APPLNVIEWWIN::ismodal()
{
    if (editor)
        return editor->geteditstatus().modal > 0;
    return owner ? owner->ismodal() : 0;
}

APPLNOBJECT* APPLNVIEWWIN::getctxobj()
{
    return editor ? editor->geteditstatus().ctxobject : nullptr;
}

LRESULT APPLNVIEWWIN::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    APPLNWINDOW* main = editor;
    switch (message) {
    case WM_ENABLE:
        if (!editor || main == this)
            break;
        EnableWindow(main->gethwnd(), BOOL(wParam));
        return 0;
    case WM_HELPREQUEST:
    case WM_GETEDITORCOLOUR:
        return editor ? SendMessageA(main->gethwnd(), message, wParam, lParam) : 0;
    default:
        break;
    }
    return APPLNWINDOW::msghlr(window, message, wParam, lParam);
}
