#include "engines/pallex/options.h"

#include "engines/contract/instance.h"
#include "engines/pallex/pallex.h"

#include <cmath>
#include <cstring>
#include <strings.h>

namespace pallex {

namespace {

bool israndom(const char* text)
{
    return text && strcasecmp(text, "RANDOM") == 0;
}

// A seed option: its number when it is one, else the fixed seed.
uint32_t seedof(IOPTIONS* circuit, const char* name)
{
    double value = 0;
    if (israndom(circuit->getoptiontext(name)) || !circuit->getoption(name, &value))
        return 1;
    return static_cast<uint32_t>(static_cast<int64_t>(value));
}

uint64_t mix(uint64_t value)
{
    value += 0x9E3779B97F4A7C15ull;
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    return value ^ (value >> 31);
}

uint64_t hashtext(uint64_t hash, const char* text)
{
    for (const char* c = text ? text : ""; *c; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 0x100000001B3ull;
    return hash;
}

uint64_t draw(uint32_t seed, IINSTANCE* instance, const char* property)
{
    uint64_t hash = hashtext(0xCBF29CE484222325ull, instance ? instance->getname() : nullptr);
    hash = hashtext(hash ^ 0xFF, property);
    return mix(hash ^ mix(seed));
}

int64_t topicoseconds(double seconds)
{
    double ps = seconds * 1e12;
    if (ps >= 9.2e18)
        return INT64_MAX / 2;
    return std::llround(ps);
}

}  // namespace

Options Options::read(IOPTIONS* circuit)
{
    Options result;
    if (!circuit)
        return result;
    const char* init = circuit->getoptiontext("INITSEED");
    if (init && !israndom(init))
        result.initseed = seedof(circuit, "INITSEED");
    if (israndom(circuit->getoptiontext("TDSCALE"))) {
        result.scatter = true;
        result.delayseed = seedof(circuit, "TDSEED");
    } else {
        circuit->getoption("TDSCALE", &result.scale);
    }
    circuit->getoption("TDLOWER", &result.lower);
    circuit->getoption("TDUPPER", &result.upper);
    return result;
}

Options& options()
{
    static Options current;
    return current;
}

int64_t delayof(IINSTANCE* instance, const char* property, int64_t def, bool scaledefault)
{
    double seconds = std::nan("");
    if (instance && property && instance->getstrval(property, nullptr))
        seconds = instance->getnumval(property, std::nan(""));
    if (seconds < 0) {
        instance->warning("Negative delay %s=%g ignored.", property, seconds);
        seconds = std::nan("");
    }
    if (std::isnan(seconds)) {
        if (!scaledefault)
            return def;
        seconds = static_cast<double>(def) * 1e-12;
    }
    const Options& used = options();
    if (!used.scatter)
        return topicoseconds(seconds * used.scale);
    double unit = static_cast<double>(draw(used.delayseed, instance, property) >> 11) * 0x1p-53;
    return topicoseconds(seconds * (used.lower + unit * (used.upper - used.lower)));
}

uint32_t randominit(IINSTANCE* instance, const char* property)
{
    return static_cast<uint32_t>(draw(options().initseed, instance, property) >> 32);
}

int32_t initvalof(IINSTANCE* instance, const char* property, int32_t def)
{
    const char* text = instance && property ? instance->getstrval(property, nullptr) : nullptr;
    if (!text)
        return def;
    if (israndom(text))
        return static_cast<int32_t>(randominit(instance, property));
    double value = instance->getnumval(property, std::nan(""));
    if (std::isnan(value) || std::fabs(value) > 4294967295.0)
        return def;
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::llround(value))));
}

}  // namespace pallex
