// The key translator's bindings from key-table resources and to and from the registry.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/text/ascii.h"
#include "core/windows/registry.h"
#include "framework/commands/keytranslator.h"
#include "platform/win/resources.h"

namespace {

constexpr size_t keyrecordsize = 8;
constexpr const char* versionvalue = "VERSION";
constexpr const char* version = "1.0";
constexpr int keyvaluesize = 33; // 32 characters and the NUL

// A hexadecimal number of at most maximum that makes up the whole of [text, end); false otherwise.
bool parsehex(const char* text, const char* end, unsigned long maximum, unsigned long& value)
{
    if (text == end || end - text > 8)
        return false;
    value = 0;
    for (const char* c = text; c < end; ++c) {
        if (!asciixdigit(*c))
            return false;
        value
            = value * 16 + static_cast<unsigned long>(asciidigit(*c) ? *c - '0' : asciiupper(*c) - 'A' + 10);
    }
    return value <= maximum;
}

// The context and command a binding's value name gives ("0110:0146"); false when it gives none.
bool parsebindingname(const char* name, unsigned long& context, unsigned long& command)
{
    const char* colon = strchr(name, ':');
    return colon && parsehex(name, colon, 0xFFFF, context)
        && parsehex(colon + 1, colon + 1 + strlen(colon + 1), 0xFFFF, command) && command;
}

} // namespace

int KEYTRANSLATOR::rscload(const char* name, HINSTANCE instance)
{
    if (HRSRC resource = FindResourceA(instance, name, RT_RCDATA)) {
        const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(instance, resource)));
        const size_t records = SizeofResource(instance, resource) / keyrecordsize;
        for (size_t i = 0; i < records; ++i) {
            const uint8_t* record = data + i * keyrecordsize;
            const auto context = static_cast<uint16_t>(record[0] | record[1] << 8);
            const uint32_t key
                = record[2] | record[3] << 8 | record[4] << 16 | static_cast<uint32_t>(record[5]) << 24;
            const auto command = static_cast<uint16_t>(record[6] | record[7] << 8);
            assign(context, command, key);
        }
    }
    validate();
    return count();
}

int KEYTRANSLATOR::regload(const char* key)
{
    const int before = count();
    // The names are taken first: reading a value must not disturb the enumeration.
    std::vector<std::string> names;
    for (const char* value = reg_enumfirst(key, 0); value; value = reg_enumnext())
        if (asciiupper(value[0]) == 'S')
            names.emplace_back(value + 1);
    for (const std::string& name : names) {
        unsigned long context = 0;
        unsigned long command = 0;
        char text[keyvaluesize] = {};
        unsigned long binding = 0;
        if (!parsebindingname(name.c_str(), context, command)
            || reg_getstr(key, name.c_str(), text, sizeof text) <= 0
            || !parsehex(text, text + strlen(text), 0xFFFFFFFF, binding))
            continue;
        assign(static_cast<unsigned short>(context), static_cast<unsigned short>(command), binding);
    }
    validate();
    return count() - before;
}

void KEYTRANSLATOR::regsave(const char* key)
{
    reg_removekey(key);
    reg_putstr(key, versionvalue, version);
    for (const KEYCMD* binding : bycommand) {
        if (!ownentry(*binding))
            continue;
        char name[16];
        char value[16];
        snprintf(name, sizeof name, "%04X:%04X", binding->context, binding->command);
        snprintf(value, sizeof value, "%08X", binding->key);
        reg_putstr(key, name, value);
    }
}

void KEYTRANSLATOR::regclear(const char* key)
{
    reg_removekey(key);
}
