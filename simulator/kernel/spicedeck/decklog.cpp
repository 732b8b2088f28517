#include "simulator/kernel/spicedeck/decklog.h"

#include <cstdlib>

namespace {

DECKLOG bound;
TRACEFLAG silent;

} // namespace

DECKLOG binddecklog(const DECKLOG& log)
{
    DECKLOG previous = bound;
    bound = log;
    return previous;
}

TRACEFLAG& decktracelink()
{
    return bound.spicelink ? *bound.spicelink : silent;
}

TRACEFLAG& decktraceconvergence()
{
    return bound.convergence ? *bound.convergence : silent;
}

int decklogf(int cls, const char* format, ...)
{
    int logged = 0;
    if (bound.log) {
        va_list args;
        va_start(args, format);
        logged = bound.log->log(cls, format, args);
        va_end(args);
    }
    // A fatal message must not come back to a caller that cannot go on.
    if (cls == 'F')
        std::abort();
    return logged;
}

void deckhelp(int32_t topic, const char* file)
{
    if (bound.log)
        bound.log->help(topic, file);
}
