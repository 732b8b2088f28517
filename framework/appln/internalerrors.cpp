// Internal errors: faults of the program itself (a missing resource), collected for the user and
// the log.

#include <cstdarg>
#include <cstdio>

#include "framework/appln/errorhandler.h"
#include "platform/tirsk/exceptionhandler.h"

namespace {

constexpr int textsize = 1024;

std::vector<std::string>& lines()
{
    static std::vector<std::string> collected;
    return collected;
}

} // namespace

void APPLNERRORHANDLER::showierror(const char* format, ...)
{
    char text[textsize];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format ? format : "", arguments);
    va_end(arguments);
    lines().emplace_back(text);
    excp.log(text);
}

const std::vector<std::string>& APPLNERRORHANDLER::internalerrors()
{
    return lines();
}
