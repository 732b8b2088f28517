#include "platform/hulvane/netlog.h"

#include <cstdarg>
#include <cstdio>
#include <ostream>

namespace {

const char* const prefixes[] = { "", "WARNING: ", "ERROR: " };

} // namespace

void NETLOG::add(int kind, const char* fmt, va_list args)
{
    char text[4096];
    std::vsnprintf(text, sizeof text, fmt, args);
    LINE line { kind, prefixes[kind], {}, {} };
    if (kind != INFO && !contexts.empty()) {
        const CONTEXT& context = contexts.back();
        line.context = context.text;
        line.area = context.area;
        line.text += (context.label ? "Label '" : "Object '") + context.text + "': ";
    }
    line.text += text;
    if (output)
        *output << line.text << '\n';
    errorcount += kind == ERROR;
    warningcount += kind == WARNING;
    kept.push_back(std::move(line));
}

void NETLOG::loginfo(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    add(INFO, fmt, args);
    va_end(args);
}

void NETLOG::logwarning(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    add(WARNING, fmt, args);
    va_end(args);
}

void NETLOG::logerror(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    add(ERROR, fmt, args);
    va_end(args);
}

void NETLOG::pushobjectctx(const char* text, const BOX& area)
{
    contexts.push_back({ text ? text : "", area, 0 });
}

void NETLOG::pushlabelctx(const char* text, const BOX& area)
{
    contexts.push_back({ text ? text : "", area, 1 });
}

void NETLOG::popctx()
{
    if (!contexts.empty())
        contexts.pop_back();
}

void NETLOG::writecontext(int kind, int options)
{
    loginfo("Netlist kind %d, options 0x%X.", kind, options);
}
