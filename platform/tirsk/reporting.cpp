#include "platform/tirsk/reporting.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "core/windows/applncontext.h"
#include "core/windows/stringtable.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/messagebox.h"

namespace {

std::atomic<STATUSHOOK> statushook { nullptr };

std::string textof(unsigned long code)
{
    const STRINGTABLE* table = getapplncontext()->stringtable;
    const char* text = table && code < 0x10000 ? table->string(code) : "";
    if (*text)
        return text;
    char fallback[32];
    std::snprintf(fallback, sizeof fallback, "Error %04lX", code);
    return fallback;
}

void tostatus(int kind, const char* text)
{
    if (const STATUSHOOK hook = statushook.load())
        hook(kind, text ? text : "");
}

} // namespace

STATUSHOOK setstatushook(STATUSHOOK hook)
{
    return statushook.exchange(hook);
}

void errorbox(const char* format, ...)
{
    char text[1024] = "";
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(text, sizeof text, format, arguments);
        va_end(arguments);
    }
    if (excp.issilent()) {
        excp.log(text);
        return;
    }
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONERROR);
}

void error(const char* text)
{
    errorbox("%s", text ? text : "");
}

void error(unsigned long code)
{
    errorbox("%s", textof(code).c_str());
}

void prompt(const char* text)
{
    tostatus(0, text);
}

void prompt(unsigned long code)
{
    tostatus(0, textof(code).c_str());
}

void status(const char* text)
{
    tostatus(1, text);
}

void status(unsigned long code)
{
    tostatus(1, textof(code).c_str());
}
