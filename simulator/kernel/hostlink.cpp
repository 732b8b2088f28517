#include "simulator/kernel/hostlink.h"

#include "platform/win/messages.h"
#include "platform/win/structs.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "simulator/kernel/stallwatch.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

namespace {

std::vector<RECORDEDHOSTMESSAGE> recorded;

LRESULT recordmessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RECORDEDHOSTMESSAGE entry { window, message, wParam, lParam, {} };
    if (message == WM_HOSTTEXT && lParam)
        entry.text = reinterpret_cast<const char*>(lParam);
    if (message == WM_COPYDATA && lParam) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->lpData && data->cbData)
            entry.text.assign(static_cast<const char*>(data->lpData), data->cbData - 1);
    }
    recorded.push_back(std::move(entry));
    return 0;
}

BOOL recordediswindow(HWND window)
{
    return window != nullptr;
}

HWND recordedforeground()
{
    return nullptr;
}

SHORT recordedkeystate(int)
{
    return 0;
}

HWND recordedancestor(HWND window, UINT)
{
    return window;
}

DWORD recordedprocess(HWND window, DWORD* process)
{
    if (!window)
        return 0;
    if (process)
        *process = static_cast<DWORD>(getpid());
    return 1;
}

const HOSTLINK recorder { sizeof(HOSTLINK), recordmessage, recordediswindow, recordedforeground, recordedkeystate,
    recordedancestor, recordedprocess };

const HOSTLINK* current = nullptr;
const HOSTLINK* given = nullptr;

const HOSTLINK* lookup()
{
    using Entry = const HOSTLINK* (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(RTLD_DEFAULT, "win_hostlink"));
    const HOSTLINK* link = entry ? entry() : nullptr;
    return link && link->size >= sizeof(HOSTLINK) ? link : &recorder;
}

}  // namespace

const HOSTLINK& hostlink()
{
    if (!current)
        resolvehostlink();
    return *current;
}

void resolvehostlink()
{
    current = given ? given : lookup();
}

void sethostlink(const HOSTLINK* link)
{
    given = link;
    resolvehostlink();
}

std::vector<RECORDEDHOSTMESSAGE>& recordedhostmessages()
{
    return recorded;
}

namespace {

// The host answers in its own time: its user may keep it waiting, which is no stall of the run.
LRESULT sendtohost(UINT message, WPARAM wParam, LPARAM lParam)
{
    HOSTWAIT waiting;
    return hostlink().sendmessage(hostwindow, message, wParam, lParam);
}

} // namespace

int hostprintf(const char* format, ...)
{
    if (!hostwindow)
        return -1;
    char text[HOSTTEXTBUFFER];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length < 0)
        return -1;
    length = std::min(length, HOSTTEXTBUFFER - 1);
    if (interactiverun) {
        sendtohost(WM_HOSTTEXT, 0, reinterpret_cast<LPARAM>(text));
        return length;
    }
    COPYDATASTRUCT data { WM_HOSTTEXT, static_cast<DWORD>(length + 1), text };
    sendtohost(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    return length;
}

LRESULT sendhostmessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!interactiverun || !hostwindow)
        return 0;
    return sendtohost(message, wParam, lParam);
}
