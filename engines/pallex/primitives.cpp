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

// Fixed pins of the kinds that have them, inputs then outputs, each list ending in null.
struct Pins {
    const char* inputs[6];
    const char* outputs[3];
};

const Pins* pinsof(Kind kind)
{
    static constexpr Pins tri { { "A", "EN", nullptr }, { "Q", nullptr } };
    static constexpr Pins dff { { "D", "CLK", "S", "R", nullptr }, { "Q", "!Q", nullptr } };
    static constexpr Pins jkff { { "J", "K", "CLK", "S", "R", nullptr }, { "Q", "!Q", nullptr } };
    static constexpr Pins dlatch { { "D", "EN", "S", "R", nullptr }, { "Q", "!Q", nullptr } };
    static constexpr Pins srlatch { { "S", "R", nullptr }, { "Q", "!Q", nullptr } };
    static constexpr Pins counter { { "CLK", "EN", "RST", nullptr }, { "CO", nullptr } };
    static constexpr Pins clock { { nullptr }, { "Q", nullptr } };
    static constexpr Pins pattern { { nullptr }, { nullptr } };
    static constexpr Pins swtch { { "A", "B", "EN", nullptr }, { "A", "B", nullptr } };
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

// The bit of an indexed output "Q<n>" (n from 0 to MAXWIDTH - 1); NOROLE for any other name.
int32_t indexedoutput(const char* name)
{
    if ((name[0] != 'Q' && name[0] != 'q') || name[1] < '0' || name[1] > '9')
        return NOROLE;
    char* end = nullptr;
    long bit = std::strtol(name + 1, &end, 10);
    if (*end || bit >= MAXWIDTH || (name[1] == '0' && name[2]))
        return NOROLE;
    return static_cast<int32_t>(bit);
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
    return pins ? count(pins->inputs) : 0;
}

int32_t fixedoutputs(Kind kind)
{
    if (kind <= Kind::XNOR)
        return 1;
    const Pins* pins = pinsof(kind);
    int32_t outputs = pins ? count(pins->outputs) : 0;
    return kind == Kind::COUNTER || kind == Kind::PATTERN ? outputs + MAXWIDTH : outputs;
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
    int32_t output = find(pins->outputs, name);
    int32_t bit = kind == Kind::PATTERN && strcasecmp(name, "Q") == 0 ? 0 : NOROLE;
    if (kind == Kind::COUNTER || kind == Kind::PATTERN)
        bit = bit == NOROLE ? indexedoutput(name) : bit;
    if (bit != NOROLE)
        output = count(pins->outputs) + bit;
    role.known = input != NOROLE || output != NOROLE;
    role.input = input != NOROLE;
    role.output = output != NOROLE;
    role.slot = role.input ? input : output;
    return role;
}

}  // namespace pallex
