#include "platform/win/dialogmessage.h"

#include "platform/win/window.h"

BOOL IsDialogMessageA(HWND dialog, MSG* message)
{
    if (!message || !IsWindow(dialog) || (message->hwnd != dialog && !IsChild(dialog, message->hwnd)))
        return FALSE;
    TranslateMessage(message);
    DispatchMessageA(message);
    return TRUE;
}
