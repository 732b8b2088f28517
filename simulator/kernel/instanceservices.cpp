// The IINSTANCE services that read properties, find pins and talk to the host.
#include "simulator/kernel/instance.h"

#include "core/files/pathopen.h"
#include "core/text/values.h"
#include "engines/pallex/pallex.h"
#include "platform/quenby/quenby.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/hostlink.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <string>
#include <vector>
#include <strings.h>

const char* INSTANCE::presenttext(const char* property) const
{
    const char* text = getproperty(property);
    if (!text || strncmp(text, "[NULL]", 6) == 0 || text[0] == '?')
        return nullptr;
    return text;
}

const char* INSTANCE::getstrval(const char* property, const char* def)
{
    const char* text = presenttext(property);
    return text ? text : def;
}

double INSTANCE::getnumval(const char* property, double def)
{
    const char* text = presenttext(property);
    if (!text)
        return def;
    if (!circuit)
        return getdefdbl(text, def);
    double value;
    circuit->evalproperty(property, name, text, &value, def);
    return value;
}

int INSTANCE::getboolval(const char* property, int def)
{
    const char* text = presenttext(property);
    if (!text)
        return def;
    char* p = const_cast<char*>(text);
    int value = 0;
    if (getbool(&p, &value))
        return value;
    warning("Bad boolean value [%s] for property [%s].", text, property);
    return def;
}

uint32_t INSTANCE::gethexval(const char* property, uint32_t def)
{
    const char* text = presenttext(property);
    if (!text)
        return def;
    char* p = const_cast<char*>(text);
    while (*p == ' ' || *p == '\t')
        ++p;
    bool prefixed = *p == '$' || *p == '%' || (p[0] == '0' && (p[1] == 'x' || p[1] == 'X' || p[1] == 'b' || p[1] == 'B'));
    int32_t value = 0;
    if (prefixed ? getradixint(&p, &value) : gethex(&p, &value))
        return static_cast<uint32_t>(value);
    return def;
}

int64_t INSTANCE::getdelay(const char* property, int64_t def)
{
    return ::getdelay(this, property, def);
}

uint32_t INSTANCE::getactiveid()
{
    COMPONENT* owner = circuit ? circuit->getactive(this) : (getproperty("ACTIVE") ? this : nullptr);
    const char* text = owner ? owner->getproperty("ACTIVE") : nullptr;
    const char* colon = text ? strchr(text, ':') : nullptr;
    if (!colon)
        return 0;
    char* p = const_cast<char*>(colon + 1);
    int32_t value = 0;
    return gethex(&p, &value) ? static_cast<uint32_t>(value) : 0;
}

int INSTANCE::getmoddata(const void** data, int32_t* length)
{
    if (!moddata)
        return 0;
    *data = moddata;
    *length = moddatalength;
    return 1;
}

PININFO* INSTANCE::findpininfo(const GDIDX<PININFO>& index, const char* pinnames) const
{
    char names[256];
    snprintf(names, sizeof names, "%s", pinnames ? pinnames : "");
    char* rest = nullptr;
    for (char* piece = strtok_r(names, ", ", &rest); piece; piece = strtok_r(nullptr, ", ", &rest)) {
        if (PININFO* info = index[piece])
            return info;
    }
    return nullptr;
}

int32_t INSTANCE::getspicenode(const char* pin, int required)
{
    if (PININFO* info = findpininfo(analogpins, pin))
        return info->node;
    if (required)
        error("Pin '%s' not found.", pin ? pin : "");
    return -1;
}

IPALLEXPIN2* INSTANCE::getpallexpin(const char* pin, int required)
{
    if (PININFO* info = findpininfo(digitalpins, pin))
        return info->digital;
    if (required)
        error("Pin '%s' not found.", pin ? pin : "");
    return nullptr;
}

int INSTANCE::log(const char* format, ...)
{
    char text[HOSTTEXTBUFFER] = "";
    if (format) {
        va_list args;
        va_start(args, format);
        vsnprintf(text, sizeof text, format, args);
        va_end(args);
    }
    if (interactiverun)
        hostprintf("[%s] %s", name, text);
    else
        fprintf(modulestdout(), "[%s] %s\n", name, text);
    return interactiverun;
}

void* INSTANCE::createpopup(void* record)
{
    if (!interactiverun || !hostwindow || !record)
        return nullptr;
    COMPONENT* source = this;
    uint32_t element = gethexval("EID", 0);
    std::string owner = name;
    for (size_t cut = owner.rfind('_'); element == 0 && circuit && cut != std::string::npos; cut = owner.rfind('_')) {
        owner.resize(cut);
        if (COMPONENT* found = circuit->findcomponent(owner.c_str())) {
            source = found;
            element = static_cast<uint32_t>(getdefhex(found->getproperty("EID"), 0));
        }
    }
    if (element == 0) {
        warning("No EID found for createpopup.");
        return nullptr;
    }
    auto* popup = static_cast<POPUPRECORD*>(record);
    const char* caption = popup->caption;
    std::string shown;
    if (!strchr(source->name, '#')) {
        shown = std::string(caption ? caption : "") + " - " + source->name;
        popup->caption = shown.c_str();
    }
    LRESULT answer = ::sendhostmessage(WM_HOSTPOPUP, element, reinterpret_cast<LPARAM>(record));
    popup->caption = caption;
    return reinterpret_cast<void*>(answer);
}

void INSTANCE::sendelementmessage(intptr_t data)
{
    ::sendhostmessage(WM_HOSTELEMENT, gethexval("EID", 0), data);
}

intptr_t INSTANCE::sendhostmessage(uint32_t value)
{
    return ::sendhostmessage(WM_HOSTMESSAGE, value, 0);
}

namespace {

// The memory a firmware image is loaded into: `cells` bytes for the addresses from `base` on, one
// cell every 2^shift addresses (those of base's alignment); bytes for other addresses are dropped,
// so nothing lands outside the buffer.
class BYTEWISE_MEMORY final : public ICPU {
public:
    BYTEWISE_MEMORY(uint8_t* buffer, int32_t cells, uint32_t base, int32_t shift)
        : buffer(buffer)
        , cells(buffer && shift >= 0 && shift < 32 ? std::max(cells, 0) : 0)
        , base(base)
        , shift(shift)
    {
    }
    int32_t extraspaces() override { return 0; }
    void writeblock(int32_t, int32_t, uint32_t address, const uint8_t* bytes, int32_t count) override
    {
        if (cells == 0)
            return; // also a shift too wide for the address
        const uint32_t mask = (uint32_t(1) << shift) - 1;
        for (int32_t i = 0; i < count; ++i) {
            uint32_t at = address + static_cast<uint32_t>(i);
            if ((at & mask) != (base & mask) || at < base
                || ((at - base) >> shift) >= static_cast<uint32_t>(cells))
                continue;
            buffer[(at - base) >> shift] = bytes[i];
        }
    }
    void setstart(uint32_t) override { }
    int32_t readblock(int32_t, uint32_t, uint8_t*, int32_t) override { return 0; }
    uint32_t highestaddress(int32_t) override { return 0; }

private:
    uint8_t* buffer;
    int32_t cells;
    uint32_t base;
    int32_t shift;
};

} // namespace

int INSTANCE::loadmemory(const char* file, uint8_t* buffer, int32_t cells, uint32_t base, int32_t shift)
{
    const char* extension = file ? strrchr(file, '.') : nullptr;
    const struct {
        const char* extension;
        int (*loader)(const char*, IINSTANCE*, int32_t, int32_t, ICPU*);
    } formats[] = { { ".BIN", load_bin }, { ".HEX", load_hex }, { ".S19", load_s19 } };
    for (const auto& format : formats) {
        if (extension && strcasecmp(extension, format.extension) == 0) {
            BYTEWISE_MEMORY memory(buffer, cells, base, shift);
            return format.loader(file, this, 0, 0, &memory);
        }
    }
    error("Unsupported file extension in '%s'. Must be .BIN, .HEX. or .S19 format.", file ? file : "");
    return 0;
}

IBUSPIN* INSTANCE::getbuspin(const char* bus, IPALLEXPIN2** handles, int32_t count)
{
    IBUSPIN* result = nullptr;
    return pallex_getbuspin(this, bus, handles, count, 1, &result) ? result : nullptr;
}

IBUSPIN* INSTANCE::getbuspinbyname(const char* base, int32_t first, int32_t width, int required)
{
    std::string piece = base ? base : "";
    piece.resize(piece.find_first_of(", ") == std::string::npos ? piece.size() : piece.find_first_of(", "));
    std::vector<IPALLEXPIN2*> handles;
    for (int32_t i = first; i < first + width; ++i) {
        char candidates[300];
        snprintf(candidates, sizeof candidates, "%s%d,%s[%d]", piece.c_str(), i, piece.c_str(), i);
        IPALLEXPIN2* handle = getpallexpin(candidates, 0);
        PININFO* info = findpininfo(digitalpins, candidates);
        if (!info) {
            if (required)
                error("Bus pin '%s' not found.", piece.c_str());
            return nullptr;
        }
        handles.push_back(handle);
    }
    std::string busname = base ? base : "";
    busname.resize(std::min<size_t>(busname.find(',') == std::string::npos ? busname.size() : busname.find(','), 19));
    char text[64];
    snprintf(text, sizeof text, "%s[%d..%d]", busname.c_str(), first, first + width);
    IBUSPIN* result = nullptr;
    return pallex_getbuspin(this, text, handles.data(), width, 0, &result) ? result : nullptr;
}
