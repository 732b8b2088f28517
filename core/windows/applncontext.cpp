#include "core/windows/applncontext.h"

namespace {
APPLNCONTEXT emptycontext {};
thread_local APPLNCONTEXT* threadcontext = nullptr;
} // namespace

APPLNCONTEXT* defaultapplncontext = &emptycontext;

APPLNCONTEXT* getapplncontext()
{
    return threadcontext ? threadcontext : defaultapplncontext;
}

APPLNCONTEXT* setapplncontext(APPLNCONTEXT* context)
{
    APPLNCONTEXT* previous = threadcontext;
    threadcontext = context;
    return previous;
}
