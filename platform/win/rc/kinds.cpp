#include "platform/win/rc/kinds.h"

#include <strings.h>

namespace rc {

const ResourceKind* findkind(const std::string& keyword)
{
    static const struct {
        const char* keyword;
        const ResourceKind& kind;
    } kinds[] = {
        { "stringtable", stringtablekind() },
        { "icon", iconkind() },
        { "bitmap", bitmapkind() },
        { "cmdtable", cmdtablekind() },
        { "keytable", keytablekind() },
        { "form", formkind() },
        { "versioninfo", versioninfokind() },
    };
    for (const auto& entry : kinds)
        if (strcasecmp(entry.keyword, keyword.c_str()) == 0)
            return &entry.kind;
    return nullptr;
}

void put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

} // namespace rc
