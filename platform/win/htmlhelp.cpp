#include "platform/win/htmlhelp.h"

#include <map>
#include <mutex>
#include <string>

namespace {

std::mutex helpmutex;
HTMLHELPHOOK displayhook = nullptr;
std::map<std::string, HH_WINTYPE> windowtypes;
HH_WINTYPE answered {};

std::string typekey(const char* file)
{
    std::string key = file ? file : "";
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return key;
}

} // namespace

HTMLHELPHOOK sethtmlhelphook(HTMLHELPHOOK hook)
{
    std::lock_guard lock(helpmutex);
    HTMLHELPHOOK previous = displayhook;
    displayhook = hook;
    return previous;
}

HWND HtmlHelpA(HWND caller, const char* file, UINT command, DWORD_PTR data)
{
    HTMLHELPHOOK hook = nullptr;
    {
        std::lock_guard lock(helpmutex);
        switch (command) {
        case HH_INITIALIZE:
            if (data)
                *reinterpret_cast<DWORD_PTR*>(data) = 1;
            return nullptr;
        case HH_UNINITIALIZE:
        case HH_CLOSE_ALL:
            return nullptr;
        case HH_GET_WIN_TYPE: {
            auto found = windowtypes.find(typekey(file));
            if (!data || found == windowtypes.end())
                return nullptr;
            answered = found->second;
            *reinterpret_cast<HH_WINTYPE**>(data) = &answered;
            return reinterpret_cast<HWND>(&answered);
        }
        case HH_SET_WIN_TYPE:
            if (!data)
                return nullptr;
            windowtypes[typekey(file)] = *reinterpret_cast<const HH_WINTYPE*>(data);
            return reinterpret_cast<HWND>(&windowtypes[typekey(file)]);
        default:
            hook = displayhook;
        }
    }
    return hook ? hook(caller, file, command, data) : nullptr;
}
