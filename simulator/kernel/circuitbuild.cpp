// Circuit construction: power entries while the netlist is read, then the build of the mixed
// circuit.
#include "core/files/pathopen.h"
#include "core/text/format.h"
#include "core/text/values.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/modelcatalog.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace {

bool isground(const char* text)
{
    return strcasecmp(text, "GND") == 0 || strcasecmp(text, "VSS") == 0;
}

bool issupply(const char* text)
{
    return strcasecmp(text, "VCC") == 0 || strcasecmp(text, "VDD") == 0;
}

// Adds a power pin to the part on the net unless the part has a pin of that name.
void addsupplypin(COMPONENT* part, const char* pin, char* net)
{
    if (net && !part->findpin(pin))
        part->addpin(pin, PIN_PP, net);
}

// The name that name(counter) gives, the counter then advanced; numbers whose name a netlist part
// has taken already are passed over.
template <class NAME> std::string freename(const SDF_NETLIST& netlist, int32_t* counter, NAME name)
{
    std::string text;
    do
        text = name((*counter)++);
    while (netlist.findpart(text.c_str()));
    return text;
}

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

std::string format(const char* pattern, ...)
{
    char text[PARTNAMESIZE];
    va_list args;
    va_start(args, pattern);
    vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}

} // namespace

SDF_PIN* CIRCUIT::addgenerator(char* net, const char* text)
{
    std::string name
        = freename(*this, &generators, [text](int32_t n) { return format(GENERATORNAME, n, text); });
    PROPLIST properties(0, 1);
    properties.add("VALUE", text);
    COMPONENT* generator = makemodel(name.c_str(), &ROW_PWR, nullptr, &properties);
    if (!generator)
        return nullptr;
    parts.add(generator);
    SDF_PIN* pin = generator->addpin("1", PIN_PR, net);
    netflags(net) |= NET_ANALOG;
    analogparts.add(generator);
    analog = 1;
    return pin;
}

SDF_PIN* CIRCUIT::connect(char* net, const char* text, SDF_PINTYPE type)
{
    SDF_PIN* pin = nullptr;
    if (!net || !text)
        return nullptr;
    if (type == PIN_PT || type == PIN_PR) {
        if (text[0] == '+' || text[0] == '-')
            pin = addgenerator(net, text);
        netflags(net) |= NET_POWER;
    }
    if (!groundnet && isground(text))
        groundnet = net;
    if (!supplynet && issupply(text))
        supplynet = net;
    if (digital && (net == supplynet || net == groundnet))
        pallex_connectpower(text, type, net);
    return pin;
}

void CIRCUIT::endnet(char* net)
{
    SDF_NETLIST::endnet(net);
    if (net && (net == supplynet || net == groundnet))
        netflags(net) = (netflags(net) & ~(NET_ANALOG | NET_DIGITAL)) | NET_USED | NET_POWER;
}

void CIRCUIT::build(INPtables* table)
{
    // Analogness spreads across dual pins, never onto power nets.
    for (bool changed = true; changed;) {
        changed = false;
        for (SDF_COMPONENT* part : parts)
            changed = static_cast<COMPONENT*>(part)->claimpins(NET_ANALOG, NET_POWER) || changed;
    }

    for (int i = 0; i < nets.count; ++i) {
        char* net = static_cast<char*>(nets.items[i]);
        uint32_t& flags = netflags(net);
        if (!(flags & NET_USED))
            continue;
        if (!(flags & (NET_ANALOG | NET_DIGITAL | NET_POWER)))
            flags |= analog && !digital ? NET_ANALOG : NET_DIGITAL;
        if (net == groundnet || net == supplynet) {
            TRACE_NETTYPES.trace("Net {N:%s} is a logic power rail", net);
            analognets.add(net);
            digitalnets.add(net);
        } else if ((flags & NET_ANALOG) && (flags & NET_DIGITAL)) {
            TRACE_NETTYPES.trace("Net {N:%s} is mixed.", net);
            analognets.add(net);
            digitalnets.add(net);
            flags |= NET_MIXED;
        } else if (flags & NET_ANALOG) {
            TRACE_NETTYPES.trace("Net {N:%s} is analogue.", net);
            analognets.add(net);
        } else if (flags & NET_DIGITAL) {
            TRACE_NETTYPES.trace("Net {N:%s} is digital.", net);
            digitalnets.add(net);
        }
    }

    if (!groundnet) {
        char* net = SDF_NETLIST::getnet("GND");
        analognets.add(net);
        connect(net, "GND", PIN_PR);
    }
    if (analogparts.count == 0 || analognets.count < 2) {
        if (!supplynet)
            supplynet = SDF_NETLIST::getnet("VCC");
        // The rail's generator needs the net's node, also when the net had no pins.
        analognets.add(supplynet);
        siminfo("Adding +5V power rail for %s", supplynet);
        connect(supplynet, "+5", PIN_PR);
    }
    currentnet = nullptr;

    for (int i = 0; i < analognets.count; ++i) {
        char* net = static_cast<char*>(analognets.items[i]);
        if (net == groundnet)
            continue;
        DEBUG_BUILD.tracedetail("Adding node: {N:%s}", net);
        char* name = net;
        IFnode* node = nullptr;
        INPtermInsert(spice, &name, table, &node);
    }
    char* groundname = groundnet;
    INPgndInsert(spice, &groundname, table, &groundnode);
    if (supplynet == groundnet)
        simerror("VCC and GND nets are connected - check net {N:%s}!", groundnet);
    for (COMPONENT* part : analogparts) {
        char* name = part->name;
        INPinsert(&name, table);
    }

    for (int i = 0; i < parts.count; ++i) {
        auto* part = static_cast<COMPONENT*>(parts.items[i]);
        DEBUG_BUILD.tracedetail("Adding instance: {P:%s}", part->name);
        part->bindmodel(table, spice);
    }

    for (int i = 0; i < nets.count; ++i) {
        char* net = static_cast<char*>(nets.items[i]);
        if (netflags(net) & NET_MIXED)
            createinterfaces(net);
    }

    if (digital) {
        linkpowerinterfaces();
        for (COMPONENT* part : interfaceparts) {
            part->bindmodel(table, spice);
            analogparts.add(part);
        }
    }

    if (analog)
        adddcpaths(table);
}

void CIRCUIT::createinterfaces(char* net)
{
    bool traced = TRACE_ITFMODS.trace("Analysing mixed net {N:%s}...", net) != 0;
    if (!digital)
        return;
    PROPLIST empty(0, 1);
    uint32_t flags = netflags(net);
    struct SIDE {
        bool wanted;
        int (*create)(const char*, PXinterface*, int32_t, int32_t*);
        const char* format;
        PRIMITIVE* row;
        int32_t* counter;
        SDF_PINTYPE analogtype;
        SDF_PINTYPE digitaltype;
        const char* refusal;
    } sides[] = {
        { (flags & (NET_READ | NET_POWER)) != 0, pallex_createadcs, ADCNAME, &ROW_ADC, &adcs, PIN_IP, PIN_OP,
            "Failed to create ADC interfaces on net {N:%s}!" },
        { (flags & NET_DRIVEN) && !(flags & NET_POWER), pallex_createdacs, DACNAME, &ROW_DAC, &dacs, PIN_OP,
            PIN_IP, "Failed to create DAC interfaces on net {N:%s}!" },
    };
    std::vector<PXinterface> pairs(PX_MAXINTERFACES);
    for (const SIDE& side : sides) {
        if (!side.wanted)
            continue;
        int32_t count = 0;
        if (!side.create(net, pairs.data(), PX_MAXINTERFACES, &count))
            simfatal(side.refusal, net);
        for (int32_t i = 0; i < count && i < PX_MAXINTERFACES; ++i) {
            const char* served = pairs[i].name ? pairs[i].name : "";
            std::string name
                = freename(*this, side.counter, [&](int32_t n) { return format(side.format, served, n); });
            COMPONENT* part = makeinterfacemodel(name.c_str(), side.row, nullptr, &empty, pairs[i].link);
            if (!part)
                continue;
            parts.add(part);
            part->addpin("A", side.analogtype, net);
            part->addpin("D", side.digitaltype, net);
            interfaceparts.add(part);
            if (traced)
                fprintf(modulestdout(), "Created %s\n", part->name);
        }
    }
}

void CIRCUIT::linkpowerinterfaces()
{
    for (int i = 0; i < parts.count;) {
        auto* part = static_cast<COMPONENT*>(parts.items[i]);
        COMPONENT* self = nullptr;
        if (part->powerinterface(&self) && self == part) {
            const char* cut = strrchr(part->name, '_');
            if (!cut) {
                ++i;
                continue;
            }
            size_t length = static_cast<size_t>(cut - part->name);
            int j = i + 1;
            for (; j < parts.count; ++j) {
                auto* served = static_cast<COMPONENT*>(parts.items[j]);
                if (strncmp(served->name, part->name, length) != 0)
                    break;
                if (!served->setlink(part))
                    continue;
                TRACE_ITFMODS.trace("Setting power interface of {P:%s} to {P:%s}", served->name, part->name);
                for (const char* pin : { "V+", "V-" })
                    if (SDF_PIN* source = part->findpin(pin))
                        addsupplypin(served, pin, source->net);
            }
            i = j;
            continue;
        }
        if (part->setlink(nullptr)) {
            if (supplynet && !part->findpin("V+")) {
                TRACE_ITFMODS.trace("Adding V+ pin on {P:%s}, connecting to {N:%s}", part->name, supplynet);
                addsupplypin(part, "V+", supplynet);
            }
            if (groundnet && !part->findpin("V-")) {
                TRACE_ITFMODS.trace("Adding V- pin on {P:%s}, connecting to {N:%s}", part->name, groundnet);
                addsupplypin(part, "V-", groundnet);
            }
        }
        ++i;
    }
}

void CIRCUIT::markdcpaths(char* start, std::vector<char>& marked, const std::vector<int32_t>& positions,
    const std::vector<std::vector<COMPONENT*>>& netparts) const
{
    // Depth first, on a stack of our own: a long chain of nets must not exhaust the thread's stack.
    std::vector<char*> pending { start };
    while (!pending.empty()) {
        char* net = pending.back();
        pending.pop_back();
        int32_t position = positions[static_cast<size_t>(netid(net))];
        if (position < 0 || marked[static_cast<size_t>(position)])
            continue;
        marked[static_cast<size_t>(position)] = 1;
        DIDX gathered;
        // Only from the ground net do parts join nets they have no pin on (generators to ground).
        if (net == groundnet) {
            for (SDF_COMPONENT* part : parts)
                static_cast<COMPONENT*>(part)->adddcpaths(1, &gathered, net);
        } else {
            for (COMPONENT* part : netparts[static_cast<size_t>(netid(net))])
                part->adddcpaths(0, &gathered, net);
        }
        for (int i = gathered.count - 1; i >= 0; --i)
            pending.push_back(static_cast<char*>(gathered.items[i]));
    }
}

void CIRCUIT::adddcpaths(INPtables* table)
{
    double gearth = getdefdbl(getproperty("GEARTH"), DEFAULTGEARTH);
    std::vector<int32_t> positions(static_cast<size_t>(netcount()), -1);
    for (int i = 0; i < analognets.count; ++i)
        positions[static_cast<size_t>(netid(static_cast<char*>(analognets.items[i])))] = i;

    for (int pass = 0; pass < 3; ++pass) {
        std::vector<std::vector<COMPONENT*>> netparts(static_cast<size_t>(netcount()));
        for (SDF_COMPONENT* part : parts) {
            for (SDF_PIN* pin : part->pins) {
                if (!pin->net)
                    continue;
                auto& list = netparts[static_cast<size_t>(netid(pin->net))];
                if (list.empty() || list.back() != part)
                    list.push_back(static_cast<COMPONENT*>(part));
            }
        }
        std::vector<char> marked(static_cast<size_t>(analognets.count), 0);
        markdcpaths(groundnet, marked, positions, netparts);

        bool found = false;
        for (int i = 0; i < analognets.count; ++i) {
            if (marked[static_cast<size_t>(i)])
                continue;
            char* net = static_cast<char*>(analognets.items[i]);
            if (gearth == 0) {
                TRACE_DCPATHS.warning("Net {N:%s} has no DC path to ground.", net);
                continue;
            }
            found = true;
            int32_t count = 1;
            if (pass < 2) {
                count = 0;
                for (SDF_COMPONENT* part : parts)
                    static_cast<COMPONENT*>(part)->countpins(net, pass, &count);
            }
            if (count <= 0)
                continue;
            char name[16];
            snprintf(name, sizeof name, GROUNDRESISTORNAME, i);
            if (findpart(name)) {
                simwarning(
                    "Part {P:%s} is in the netlist: net {N:%s} gets no resistor to ground.", name, net);
                continue;
            }
            PROPLIST properties(0, 1);
            properties.add("VALUE", fmtval(1.0 / (count * gearth), 3, 0, nullptr));
            COMPONENT* resistor = makemodel(name, &ROW_RESISTOR, nullptr, &properties);
            resistor->addpin("1", PIN_PS, net);
            resistor->addpin("2", PIN_PS, groundnet);
            resistor->bindmodel(table, spice);
            analogparts.add(resistor);
            parts.add(resistor);
            TRACE_DCPATHS.trace("Added %s resistor to ground for net {N:%s}.", resistor->getvalue(), net);
            // What the net reaches reaches ground now, through the new resistor.
            markdcpaths(net, marked, positions, netparts);
        }
        if (!found)
            break;
    }
}
