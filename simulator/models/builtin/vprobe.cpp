#include "simulator/models/builtin/vprobe.h"

#include "engines/nerith/circuit.h"
#include "engines/nerith/nerith.h"
#include "engines/pallex/pallex.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/primitives.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "simulator/models/parts/probesetting.h"
#include "platform/hulvane/results/partition.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

const char* statename(uint32_t state)
{
    if (state & 0x20)
        return "CON";
    switch (state & 0x1F) {
    case 2: return "FLT";
    case 4: return "WUD";
    case 5: return "WLO";
    case 7: return "WHI";
    case 12: return "SUD";
    case 13: return "SLO";
    case 15: return "SHI";
    case 21: return "ILO";
    case 23: return "IHI";
    case 29: return "PLO";
    case 31: return "PHI";
    default: return "UND";
    }
}

VPROBE::VPROBE(const char* partname, PRIMITIVE* primitive, const SDF_MODEL* model, const PROPLIST* list)
    : INTMODEL(partname, primitive, model, list)
{
    if (const char* text = getstrval("LOAD", nullptr)) {
        load = text;
        hasload = true;
    }
    event.sheet = 0xFFFFFFFF;
    // No value was reported yet: the first one always differs.
    event.value = std::nan("");
}

bool VPROBE::rowis(const char* type) const
{
    return row && row->name && strcmp(row->name, type) == 0;
}

void VPROBE::writedigital(double time, int32_t index, const void* data, int32_t words)
{
    if (partition)
        partition->writedigital(time, index, data, words);
}

int VPROBE::isanalogpin(SDF_PIN*)
{
    return rowis("APROBE");
}

int VPROBE::isdigitalpin(SDF_PIN*)
{
    return rowis("DPROBE");
}

int VPROBE::isdualpin(SDF_PIN*)
{
    return rowis("VPROBE");
}

char* VPROBE::net() const
{
    SDF_PIN* first = pins.ptr(0);
    return first ? first->net : nullptr;
}

void VPROBE::bindmodel(INPtables*, IFcircuit* circuit)
{
    spice = circuit;
    if (pins.count == 0)
        return;
    if (rowis("APROBE"))
        analog = true;
    else if (rowis("DPROBE"))
        analog = false;
    else {
        analog = false;
        for (SDF_PIN* pin : pins)
            analog = analog || (pin->net && (netflags(pin->net) & (NET_ANALOG | NET_POWER)));
    }
    const char* value = getvalue();
    char* probed = net();
    if (analog) {
        TRACE_NETTYPES.trace("VPROBE %s [%s] on net {N:%s} is analog.", value ? value : "", name, probed ? probed : "");
        if (hasload && circuit && spicesimulator) {
            int32_t type = -1;
            findspicedevice("resistor", &type);
            spicesimulator->newModel(circuit, type, &loadmodel, "VPROBE_LOAD");
            spicesimulator->newInstance(circuit, loadmodel, &loadinstance, name);
            IFnode* node = nullptr;
            IFnode* ground = nullptr;
            spicesimulator->findNode(circuit, &node, probed);
            spicesimulator->bindNode(circuit, loadinstance, 1, node);
            spicesimulator->groundNode(circuit, &ground, nullptr);
            spicesimulator->bindNode(circuit, loadinstance, 2, ground);
        }
    } else {
        TRACE_NETTYPES.trace("VPROBE %s [%s] on net {%s} is digital.\n", value ? value : "", name, probed ? probed : "");
        pallex_create(this, "DPROBE", &properties, nullptr, &pallexmodel);
    }
    bindpins(circuit);
}

void VPROBE::bindmoddata(const DPA* moddata, DIDX* partitions)
{
    COMPONENT::bindmoddata(moddata, partitions);
    const char* named = getproperty("PARTITION");
    if (named && *named)
        partition = resultspartition(partitions, named, name);
    else
        partition = partitions && partitions->count > 0 ? reinterpret_cast<PARTITION*>(partitions->items[0]) : nullptr;
    const char* text = getproperty("RECORD");
    record = text && (text[0] == 'T' || text[0] == 't' || text[0] == '1' || strcasecmp(text, "ON") == 0);
}

void VPROBE::adddcpaths(int all, DIDX* index, char* other)
{
    char* probed = net();
    if (all && hasload && probed && probed != other && index->idxn(probed) < 0)
        index->add(probed, probed);
}

void VPROBE::initialise(CIRCUIT* owner, void* argument)
{
    COMPONENT::initialise(owner, argument);
    tolerance = outputtolerance(this, owner);
    tstep = probesetting(this, owner, "TSTEP", 0);
    if (loadinstance && owner) {
        IFvalue resistance {};
        owner->evalproperty("LOAD", name, getproperty("LOAD"), &resistance.rValue, 1.0);
        spicesimulator->setInstanceParm(spice, loadinstance, RES_RESISTANCE, &resistance, nullptr);
    }
    event.sheet = gethexval("SHEETID", 0xFFFFFFFF);
    event.first = gethexval("CALLBACK", 0);
    event.second = 0;
    lasttext.clear();
}

int32_t VPROBE::findchannel()
{
    const char* label = getvalue();
    return partition->addchannel(record ? simtypetext() : name, label ? label : "");
}

bool VPROBE::linkchannel(int32_t type)
{
    channel = findchannel();
    if (channel >= 0)
        partition->setchannel(channel, type == IF_COMPLEX ? PARTITION::KIND_COMPLEX : PARTITION::KIND_ANALOG, 1, tolerance);
    return channel >= 0;
}

int VPROBE::joinplot(IFuid* names, int32_t count, int32_t type)
{
    if (!analog) {
        if (type == IF_REAL && partition) {
            channel = findchannel();
            if (channel >= 0)
                partition->setchannel(channel, PARTITION::KIND_DIGITAL, std::min(pins.count, 32), tolerance);
            pallex_linkprobe(pallexmodel, this, channel);
        }
        return channel >= 0;
    }
    IFnode* node = nullptr;
    char* probed = net();
    if (probed && spice && spicesimulator->findNode(spice, &node, probed) == 0 && node) {
        for (int32_t i = 0; i < count; ++i) {
            if (names[i] == node->name) {
                vectorindex = i;
                break;
            }
        }
    }
    if (!partition)
        return 0;
    if (vectorindex < 0) {
        warning("Could not link to net %s in probe %s", probed ? probed : "", name);
        channel = -1;
        return 0;
    }
    return linkchannel(type);
}

int VPROBE::joinnoise(char* noisenet, int32_t type)
{
    if (!partition || !analog)
        return channel >= 0;
    if (noisenet != net()) {
        channel = -1;
        return 0;
    }
    return linkchannel(type);
}

void VPROBE::writereal(double reference, const double* values, int32_t count)
{
    if (!partition)
        return;
    if (!analog) {
        pallex_writedata(reference, pallexmodel);
        return;
    }
    if (channel < 0)
        return;
    double value = vectorindex >= 0 && vectorindex < count ? values[vectorindex] : 0.0;
    partition->writeanalog(reference, channel, value, 0);
}

void VPROBE::writecomplex(double reference, const IFcomplex* values, int32_t count)
{
    if (!partition || channel < 0)
        return;
    PARTITIONCOMPLEX value { 0, 0 };
    if (vectorindex >= 0 && vectorindex < count)
        value = { values[vectorindex].real, values[vectorindex].imag };
    partition->writecomplex(reference, channel, value);
}

void VPROBE::writenoise(double frequency, const double* values, int32_t count, int32_t output, int32_t input)
{
    if (!partition || channel < 0)
        return;
    auto density = [&](int32_t index) { return index >= 0 && index < count ? std::sqrt(values[index]) : 0.0; };
    partition->writecomplex(frequency, channel, { density(output), density(input) });
}

std::string VPROBE::statetext()
{
    if (pins.count == 1) {
        STATE state = 0;
        pallex_peekpin(pallexmodel, 0, &state);
        return statename(state);
    }
    uint32_t mask = 0;
    for (int32_t i = 0; i < pins.count && i < 32; ++i) {
        STATE state = 0;
        pallex_peekpin(pallexmodel, i, &state);
        if ((state & 3) == 3)
            mask |= 1u << i;
        else if ((state & 3) != 1)
            return "FLT";
    }
    int digits = pins.count <= 8 ? 2 : pins.count <= 16 ? 4 : pins.count <= 24 ? 6 : 8;
    char text[16];
    snprintf(text, sizeof text, "0x%0*X", digits, mask);
    return text;
}

int VPROBE::activeevents(double time, DPA* list)
{
    if (event.first == 0)
        return 0;
    if (analog) {
        const double* solution = spicecircuit ? spicecircuit->solution() : nullptr;
        double value = solution && vectorindex >= 0 ? solution[vectorindex + 1] : 0.0;
        if (time != 0 && event.kind == ACTIVEEVENT::KIND_VALUE && value == event.value)
            return 1;
        event.kind = ACTIVEEVENT::KIND_VALUE;
        event.value = value;
    } else {
        std::string text = statetext();
        if (time != 0 && text == lasttext)
            return 1;
        lasttext = text;
        event.kind = ACTIVEEVENT::KIND_TEXT;
        event.words[0] = activedata(lasttext.c_str());
    }
    list->add(&event);
    return 1;
}
