#include "framework/appln/formattedtext.h"

#include <cstdio>

#include "core/text/strutil.h"

namespace {

constexpr int textsize = 1024;

} // namespace

std::string formattedtext(const char* format, va_list arguments)
{
    // Room for the rest of a character that crosses the limit, so that the cut can see it whole.
    char text[textsize + 3];
    vsnprintf(text, sizeof text, format ? format : "", arguments);
    text[utf8prefix(text, textsize - 1)] = 0;
    return text;
}
