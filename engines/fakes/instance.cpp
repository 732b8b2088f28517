#include "engines/fakes/instance.h"

#include "engines/mavro/token.h"
#include "engines/pallex/pallex.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fakes {

namespace {

std::string vformat(const char* format, va_list args)
{
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    return text;
}

}  // namespace

Instance::Instance(std::string name, std::map<std::string, std::string> properties)
    : name(std::move(name))
    , properties(std::move(properties))
{
}

const char* Instance::text(const char* key) const
{
    auto it = properties.find(key);
    if (it == properties.end() || it->second.rfind("[NULL]", 0) == 0 || it->second.rfind("?", 0) == 0)
        return nullptr;
    return it->second.c_str();
}

const char* Instance::getname()
{
    return name.c_str();
}

const char* Instance::getvalue()
{
    return text("VALUE");
}

const char* Instance::getstrval(const char* key, const char* def)
{
    const char* value = text(key);
    return value ? value : def;
}

double Instance::getnumval(const char* key, double def)
{
    const char* value = text(key);
    if (!value)
        return def;
    const char* cursor = value;
    auto number = mavro::tokenvalue(mavro::nexttoken(cursor, true));
    if (!number) {
        messages.push_back(std::string("W bad number ") + value + " for " + key);
        return def;
    }
    return *number;
}

int Instance::getboolval(const char* key, int def)
{
    const char* value = text(key);
    if (!value)
        return def;
    for (const char* yes : { "TRUE", "T", "ON", "YES", "1" }) {
        if (mavro::sameletters(value, yes))
            return 1;
    }
    for (const char* no : { "FALSE", "F", "OFF", "NO", "0" }) {
        if (mavro::sameletters(value, no))
            return 0;
    }
    messages.push_back(std::string("W bad boolean ") + value + " for " + key);
    return def;
}

uint32_t Instance::gethexval(const char* key, uint32_t def)
{
    const char* value = text(key);
    char* end = nullptr;
    unsigned long number = value ? std::strtoul(value, &end, 16) : 0;
    return value && end != value ? static_cast<uint32_t>(number) : def;
}

int32_t Instance::getinitval(const char* key, int32_t def)
{
    return ::getinitval(this, key, def);
}

int64_t Instance::getdelay(const char* key, int64_t def)
{
    return ::getdelay(this, key, def);
}

int Instance::message(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    messages.push_back("I " + vformat(format, args));
    va_end(args);
    return 1;
}

int Instance::warning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    messages.push_back("W " + vformat(format, args));
    va_end(args);
    return 1;
}

int Instance::error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    messages.push_back("E " + vformat(format, args));
    va_end(args);
    return 1;
}

void Instance::fatal(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    messages.push_back("F " + text);
    throw Fatal(text);
}

int Instance::log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    messages.push_back("L " + vformat(format, args));
    va_end(args);
    return 0;
}

int Instance::logmessage(int cls, const char* format, va_list args)
{
    messages.push_back(std::string(1, static_cast<char>(cls)) + " " + vformat(format, args));
    return 1;
}

int Instance::trace(TRACEFLAG*, int cls, const char* format, va_list args)
{
    return logmessage(cls, format, args);
}

}  // namespace fakes
