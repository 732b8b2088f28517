#include "engines/pallex/primitives.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace pallex {

namespace {

struct TypeName {
    const char* name;
    Kind kind;
};

constexpr TypeName types[] = {
    { "BUFFER", Kind::BUFFER },
    { "INVERTER", Kind::INVERTER },
    { "AND", Kind::AND },
    { "NAND", Kind::NAND },
    { "OR", Kind::OR },
    { "NOR", Kind::NOR },
    { "XOR", Kind::XOR },
    { "XNOR", Kind::XNOR },
    { "TRIBUF", Kind::TRIBUF },
    { "TRIINV", Kind::TRIINV },
    { "DFF", Kind::DFF },
    { "JKFF", Kind::JKFF },
    { "DLATCH", Kind::DLATCH },
    { "SRLATCH", Kind::SRLATCH },
    { "COUNTER", Kind::COUNTER },
    { "SHIFTREG", Kind::SHIFTREG },
    { "MUX", Kind::MUX },
    { "DECODER", Kind::DECODER },
    { "CLOCK", Kind::CLOCK },
    { "PATTERN", Kind::PATTERN },
    { "PULLUP", Kind::PULLUP },
    { "PULLDOWN", Kind::PULLDOWN },
    { "SWITCH", Kind::SWITCH },
    { "DPROBE", Kind::DPROBE },
    { "DUMMY", Kind::DUMMY },
    { "INTMODEL", Kind::MODEL },
    { "EXTMODEL", Kind::MODEL },
};

// An indexed pin family: "<prefix>0" to "<prefix><count - 1>".
struct Family {
    const char* prefix;
    int32_t count;
};

// Fixed pins of the kinds that have them: named inputs then the indexed input families, named
// outputs then the indexed outputs; name lists end in null.
struct Pins {
    const char* inputs[6];
    const char* outputs[3];
    Family families[2];
    Family indexed;
};

const Pins* pinsof(Kind kind)
{
    static constexpr Pins tri { { "A", "EN", nullptr }, { "Q", nullptr }, {}, {} };
    static constexpr Pins dff { { "D", "CLK", "S", "R", nullptr }, { "Q", "!Q", nullptr }, {}, {} };
    static constexpr Pins jkff { { "J", "K", "CLK", "S", "R", nullptr }, { "Q", "!Q", nullptr }, {}, {} };
    static constexpr Pins dlatch { { "D", "EN", "S", "R", nullptr }, { "Q", "!Q", nullptr }, {}, {} };
    static constexpr Pins srlatch { { "S", "R", nullptr }, { "Q", "!Q", nullptr }, {}, {} };
    static constexpr Pins counter { { "CLK", "EN", "RST", nullptr }, { "CO", nullptr }, {}, { "Q", MAXWIDTH } };
    static constexpr Pins shiftreg { { "D", "CLK", "EN", "RST", nullptr }, { nullptr }, {}, { "Q", MAXWIDTH } };
    static constexpr Pins mux { { "EN", nullptr }, { "Q", "!Q", nullptr }, { { "D", MAXWIDTH }, { "S", MAXSELECT } },
        {} };
    static constexpr Pins decoder { { "EN", nullptr }, { nullptr }, { { "A", MAXSELECT } }, { "Q", MAXWIDTH } };
    static constexpr Pins clock { { nullptr }, { "Q", nullptr }, {}, {} };
    static constexpr Pins pattern { { nullptr }, { nullptr }, {}, { "Q", MAXWIDTH } };
    static constexpr Pins swtch { { "A", "B", "EN", nullptr }, { "A", "B", nullptr }, {}, {} };
    switch (kind) {
    case Kind::TRIBUF:
    case Kind::TRIINV:
        return &tri;
    case Kind::DFF:
        return &dff;
    case Kind::JKFF:
        return &jkff;
    case Kind::DLATCH:
        return &dlatch;
    case Kind::SRLATCH:
        return &srlatch;
    case Kind::COUNTER:
        return &counter;
    case Kind::SHIFTREG:
        return &shiftreg;
    case Kind::MUX:
        return &mux;
    case Kind::DECODER:
        return &decoder;
    case Kind::CLOCK:
        return &clock;
    case Kind::PATTERN:
        return &pattern;
    case Kind::SWITCH:
        return &swtch;
    default:
        return nullptr;
    }
}

int32_t find(const char* const* names, const char* name)
{
    for (int32_t i = 0; names[i]; ++i) {
        if (strcasecmp(names[i], name) == 0)
            return i;
    }
    return NOROLE;
}

int32_t count(const char* const* names)
{
    int32_t n = 0;
    while (names[n])
        ++n;
    return n;
}

// The index of `name` in the family ("Q7" in Q: 7); NOROLE when it is not one of its names.
int32_t indexin(const Family& family, const char* name)
{
    if (!family.prefix)
        return NOROLE;
    std::size_t length = std::strlen(family.prefix);
    const char* digits = name + length;
    if (strncasecmp(name, family.prefix, length) != 0 || *digits < '0' || *digits > '9')
        return NOROLE;
    char* end = nullptr;
    long index = std::strtol(digits, &end, 10);
    if (*end || index >= family.count || (digits[0] == '0' && digits[1]))
        return NOROLE;
    return static_cast<int32_t>(index);
}

// The slot of an indexed input: after the named inputs and the families before its own.
int32_t indexedinput(const Pins& pins, const char* name)
{
    int32_t slot = count(pins.inputs);
    for (const Family& family : pins.families) {
        int32_t index = indexin(family, name);
        if (index != NOROLE)
            return slot + index;
        slot += family.count;
    }
    return NOROLE;
}

bool reads(int32_t pintype)
{
    return pintype != 2 && pintype != 4 && pintype != 5 && pintype != 6;
}

bool drives(int32_t pintype)
{
    return pintype >= 0 && pintype <= 6 && pintype != 1;
}

}  // namespace

bool kindof(const char* type, Kind* kind)
{
    for (const TypeName& entry : types) {
        if (type && strcasecmp(entry.name, type) == 0) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

int32_t fixedinputs(Kind kind)
{
    const Pins* pins = pinsof(kind);
    return pins ? count(pins->inputs) + pins->families[0].count + pins->families[1].count : 0;
}

int32_t fixedoutputs(Kind kind)
{
    if (kind <= Kind::XNOR)
        return 1;
    const Pins* pins = pinsof(kind);
    return pins ? count(pins->outputs) + pins->indexed.count : 0;
}

int32_t indexedoutputs(Kind kind)
{
    const Pins* pins = pinsof(kind);
    return pins ? pins->indexed.count : 0;
}

PinRole roleof(Kind kind, const char* name, int32_t pintype)
{
    PinRole role;
    // Supply pins of a part (PP, PT, PR) are the kernel's business: accepted, never simulated.
    if (pintype == 7 || pintype == 13 || pintype == 14) {
        role.known = true;
        return role;
    }
    switch (kind) {
    case Kind::BUFFER:
    case Kind::INVERTER:
    case Kind::AND:
    case Kind::NAND:
    case Kind::OR:
    case Kind::NOR:
    case Kind::XOR:
    case Kind::XNOR:
        role.known = true;
        if (strcasecmp(name, "Q") == 0) {
            role.output = true;
            role.slot = 0;
        } else {
            role.input = true;
        }
        return role;
    case Kind::PULLUP:
    case Kind::PULLDOWN:
    case Kind::DUMMY:
        role.known = role.output = true;
        return role;
    case Kind::DPROBE:
        role.known = role.input = true;
        return role;
    case Kind::MODEL:
        role.known = true;
        role.input = reads(pintype);
        role.output = drives(pintype);
        return role;
    default:
        break;
    }
    const Pins* pins = pinsof(kind);
    int32_t input = find(pins->inputs, name);
    if (input == NOROLE)
        input = indexedinput(*pins, name);
    int32_t output = find(pins->outputs, name);
    int32_t bit = indexin(pins->indexed, name);
    // A pattern source's single output Q is its Q0.
    if (kind == Kind::PATTERN && strcasecmp(name, "Q") == 0)
        bit = 0;
    if (bit != NOROLE)
        output = count(pins->outputs) + bit;
    role.known = input != NOROLE || output != NOROLE;
    role.input = input != NOROLE;
    role.output = output != NOROLE;
    role.slot = role.input ? input : output;
    return role;
}

}  // namespace pallex
