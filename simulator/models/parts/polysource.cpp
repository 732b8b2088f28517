#include "simulator/models/parts/polysource.h"

#include "core/text/ascii.h"
#include "engines/mavro/mavro.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/runstate.h"
#include "simulator/models/parts/insertedprobe.h"
#include "simulator/models/spice/spiceparams.h"

#include <cstdio>
#include <strings.h>

namespace {

// Control pin letters count from the third pin.
constexpr int FIRSTCONTROLPIN = 3;

std::string formatted(const char* format, double value)
{
    char text[64];
    snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

void POLYSOURCE::bindmodel(INPtables* parsertable, IFcircuit* circuit)
{
    table = parsertable;
    SPICECPT::bindmodel(parsertable, circuit);
}

void POLYSOURCE::bindpins(IFcircuit* circuit)
{
    for (int i = 0; i < 2 && i < pins.count; ++i) {
        const char* net = pins.ptr(i)->net;
        IFnode* node = nullptr;
        if (net && spicesimulator->findNode(circuit, &node, net) == 0 && node)
            spicesimulator->bindNode(circuit, spiceinstance, 2 - i, node);
    }
}

double POLYSOURCE::number(const char* key, double def)
{
    double value = def;
    circuit->evalproperty(key, name, getproperty(key), &value, def);
    return value;
}

std::string POLYSOURCE::voltagefactor(char letter)
{
    const int pin = letter - 'A' + FIRSTCONTROLPIN;
    if (pin < 1 || pin > pins.count)
        return {};
    return std::string("*v(\"") + pins.ptr(pin - 1)->net + "\")";
}

std::string POLYSOURCE::currentfactor(char letter)
{
    const std::string key = std::string("PROBE") + letter;
    const char* text = getproperty(key.c_str());
    if (!text && letter == 'A')
        text = getproperty("PROBE");
    COMPONENT* probe = text ? findrelative(circuit, this, text) : nullptr;
    if (!probe) {
        warning("Cannot find probe for %s in %s", key.c_str(), name);
        return {};
    }
    return std::string("*i(\"") + probe->name + "\")";
}

std::string POLYSOURCE::expressiontext()
{
    if (strcasecmp(row->name, "VCISOURCE") == 0) {
        if (pins.count < 4)
            fatal("Control pin(s) missing in %s", name);
        return formatted("%g", number("VALUE", 0)) + "*v(\"" + pins.ptr(2)->net + "\",\"" + pins.ptr(3)->net
            + "\")";
    }
    const bool currents = strcasecmp(row->name, "NLVCIS") != 0;
    std::string text = formatted("%g", number("VALUE", 0));
    for (int i = 0; i < properties.count; ++i) {
        const char* key = static_cast<const char*>(properties.items[i]);
        if (key[0] != 'C')
            continue;
        text += formatted("+%g", number(key, 0));
        for (const char* letter = key + 1; *letter; ++letter) {
            if (asciialpha(*letter))
                text += currents ? currentfactor(*letter) : voltagefactor(*letter);
        }
    }
    return text;
}

void POLYSOURCE::initialise(CIRCUIT* owner, void* models)
{
    INSTANCE::initialise(owner, models);
    if (!spiceinstance || !circuit)
        return;
    std::string text = expressiontext();
    char* cursor = text.data();
    expression = nullptr;
    INPgetTree(&cursor, &expression, spice, table);
    IFvalue tree {};
    tree.tValue = expression;
    setinstanceparm(spicesimulator, spice, spiceinstance, row->device, "i", &tree);
    if (getproperty("RPARA"))
        rpara.set(spice, spiceinstance, name, number("RPARA", 1));
}
