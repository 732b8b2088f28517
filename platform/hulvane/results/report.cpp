#include "platform/hulvane/results/report.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {

constexpr int errorLimit = 1024;

std::atomic<RESULTSASSERTHOOK> assertHook { nullptr };
std::atomic<RESULTSERRORHOOK> errorHook { nullptr };

}  // namespace

RESULTSASSERTHOOK setresultsasserthook(RESULTSASSERTHOOK hook)
{
    return assertHook.exchange(hook);
}

RESULTSERRORHOOK setresultserrorhook(RESULTSERRORHOOK hook)
{
    return errorHook.exchange(hook);
}

void resultsassert(const char* expression, const char* source, int line)
{
    if (RESULTSASSERTHOOK hook = assertHook.load()) {
        hook(expression, source, line);
        return;
    }
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, source, line);
}

void resultserror(const char* format, ...)
{
    char text[errorLimit];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (RESULTSERRORHOOK hook = errorHook.load()) {
        hook(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text);
}
