#include "simulator/models/spice/spiceerrors.h"

#include "engines/mavro/mavro.h"
#include "engines/nerith/nerith.h"
#include "simulator/kernel/spicedeck/decklog.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int MESSAGEBUFFER = 1024; // at most 1023 characters

// The help topics of the run-ending codes that are warnings; 0 for the other codes.
int32_t helptopic(int code)
{
    switch (code) {
    case E_BADMATRIX:
        return 2001;
    case E_SINGULAR:
        return 2002;
    case E_ITERLIM:
        return 2003;
    case E_TIMESTEP:
        return 2004;
    default:
        return 0;
    }
}

} // namespace

int spiceerrorcallback(int flags, const char* format, ...)
{
    char text[MESSAGEBUFFER] = "Unspecified Error";
    if (format) {
        va_list args;
        va_start(args, format);
        vsnprintf(text, sizeof text, format, args);
        va_end(args);
    }
    int level = decktraceconvergence().level;
    if (flags == ERR_INFO) {
        if (level >= 2)
            decklogf('I', "[SPICE] %s", text);
    } else if (flags == ERR_WARNING) {
        if (level >= 1)
            decklogf('W', "[SPICE] %s", text);
    } else {
        decklogf('F', "[SPICE] %s", text);
    }
    return level >= 2 ? 1 : 0;
}

void reportspiceerror(int code)
{
    const char* text = simerrmsg(code);
    if (int32_t topic = helptopic(code)) {
        // The engine names the node or device where it can; its parser's text for the code else.
        decklogf('W', "[SPICE] %s.", text ? text : inperrmsg(code));
        deckhelp(topic, nullptr);
        return;
    }
    if (text)
        decklogf('E', "[SPICE] Error %d - %s.", code, text);
    else if (code < E_PRIVATE)
        decklogf('E', "[SPICE] Error %d - %s.", code, inperrmsg(code));
}
