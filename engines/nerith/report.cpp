#include "engines/nerith/report.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace nerith {

namespace {

std::string vformat(const char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length <= 0)
        return {};
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

} // namespace

Session& session()
{
    static Session state;
    return state;
}

int fail(int code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    session().lastText = vformat(format, args);
    va_end(args);
    session().lastCode = code;
    return code;
}

void clearerror()
{
    session().lastCode = 0;
    session().lastText.clear();
}

int note(int flags, const char* format, ...)
{
    IFfrontEnd* frontend = session().frontend;
    if (!frontend || !frontend->error)
        return 0;
    va_list args;
    va_start(args, format);
    const std::string text = vformat(format, args);
    va_end(args);
    return frontend->error(flags == ERR_WARNING ? ERR_WARNING : ERR_INFO, "%s", text.c_str());
}

} // namespace nerith
