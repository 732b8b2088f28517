#include "platform/win/messagebox.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

#include "platform/win/faults.h"

namespace {

void writeall(const char* text)
{
    size_t left = text ? strlen(text) : 0;
    while (left > 0) {
        ssize_t n = write(STDERR_FILENO, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= static_cast<size_t>(n);
    }
}

// Only write(2): it may run inside a signal handler.
int tostderr(HWND, const char* text, const char* caption, UINT)
{
    writeall(caption);
    writeall(": ");
    writeall(text);
    writeall("\n");
    return IDOK;
}

void silent(UINT)
{
}

std::atomic<MESSAGEBOXHOOK> boxHook { tostderr };
std::atomic<MESSAGEBEEPHOOK> beepHook { silent };

} // namespace

MESSAGEBOXHOOK setmessageboxhook(MESSAGEBOXHOOK hook)
{
    MESSAGEBOXHOOK previous = boxHook.exchange(hook ? hook : tostderr);
    return previous == tostderr ? nullptr : previous;
}

MESSAGEBEEPHOOK setmessagebeephook(MESSAGEBEEPHOOK hook)
{
    MESSAGEBEEPHOOK previous = beepHook.exchange(hook ? hook : silent);
    return previous == silent ? nullptr : previous;
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT style)
{
    if (infaulthandler())
        return tostderr(owner, text, caption, style);
    return boxHook.load()(owner, text, caption, style);
}

BOOL MessageBeep(UINT type)
{
    if (!infaulthandler())
        beepHook.load()(type);
    return TRUE;
}
