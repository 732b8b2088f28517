#include "framework/appln/applnvars.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/text/strutil.h"
#include "core/windows/registry.h"
#include "framework/appln/registrytext.h"

namespace {

int typesize(int type)
{
    switch (type) {
    case APPLNVAR_BOOL:
        return sizeof(int);
    case APPLNVAR_BYTE:
        return 1;
    case APPLNVAR_WORD:
        return 2;
    case APPLNVAR_DWORD:
    case APPLNVAR_INT:
    case APPLNVAR_COLOUR:
        return 4;
    default:
        return 0;
    }
}

std::vector<unsigned char> contents(const APPLNVARINFO& variable)
{
    const auto* bytes = static_cast<const unsigned char*>(variable.address);
    return { bytes, bytes + variable.size };
}

// Numbers are kept in the variable's own width (the low bytes of the 32-bit value).
uint32_t number(const APPLNVARINFO& variable)
{
    uint32_t value = 0;
    memcpy(&value, variable.address, std::min<size_t>(static_cast<size_t>(variable.size), sizeof value));
    return value;
}

void setnumber(APPLNVARINFO& variable, uint32_t value)
{
    memcpy(variable.address, &value, std::min<size_t>(static_cast<size_t>(variable.size), sizeof value));
}

void read(APPLNVARINFO& variable, const char* section)
{
    switch (variable.type) {
    case APPLNVAR_BOOL:
        setnumber(variable, reg_getbool(section, variable.name, number(variable) != 0) ? 1 : 0);
        return;
    case APPLNVAR_TEXT: {
        std::string text;
        if (!reg_getstring(section, variable.name, text))
            return;
        auto* buffer = static_cast<char*>(variable.address);
        const size_t length = utf8prefix(text.c_str(), static_cast<size_t>(variable.size) - 1);
        memcpy(buffer, text.data(), length);
        buffer[length] = 0;
        return;
    }
    case APPLNVAR_BINARY:
        if (reg_getsize(section, variable.name) == variable.size)
            reg_getbin(section, variable.name, variable.address, variable.size);
        return;
    default:
        setnumber(variable, reg_getdw(section, variable.name, number(variable)));
        return;
    }
}

int write(const APPLNVARINFO& variable, const char* section)
{
    switch (variable.type) {
    case APPLNVAR_BOOL:
        return reg_putbool(section, variable.name, number(variable) != 0);
    case APPLNVAR_TEXT: {
        const auto* text = static_cast<const char*>(variable.address);
        return reg_putstr(section, variable.name,
            std::string(text, strnlen(text, static_cast<size_t>(variable.size))).c_str());
    }
    case APPLNVAR_BINARY:
        return reg_putbin(section, variable.name, variable.address, variable.size);
    default:
        return reg_putval(section, variable.name, number(variable));
    }
}

} // namespace

int APPLNVARS::register_applnvar(const char* name, int type, void* address, int size)
{
    if (!name || !address || type < APPLNVAR_BOOL || type > APPLNVAR_BINARY)
        return 0;
    if (!size)
        size = typesize(type);
    if (size <= 0)
        return 0;
    records.push_back({ name, type, size, address, {}, {} });
    return 1;
}

void APPLNVARS::load_applnvars(const char* section)
{
    for (APPLNVARINFO& variable : records) {
        if (variable.defaultcopy.empty())
            variable.defaultcopy = contents(variable);
        read(variable, section);
        variable.loadedcopy = contents(variable);
    }
}

void APPLNVARS::save_applnvars(const char* section)
{
    for (APPLNVARINFO& variable : records) {
        std::vector<unsigned char> now = contents(variable);
        if (!variable.loadedcopy.empty() && now == variable.loadedcopy)
            continue;
        if (write(variable, section))
            variable.loadedcopy = std::move(now);
    }
}

void APPLNVARS::restore_applnvars()
{
    for (APPLNVARINFO& variable : records)
        if (!variable.defaultcopy.empty())
            memcpy(variable.address, variable.defaultcopy.data(), variable.defaultcopy.size());
}
