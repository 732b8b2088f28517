#include "simulator/models/builtin/instrument.h"

#include "core/text/values.h"
#include "engines/nerith/circuit.h"
#include "simulator/kernel/circuit.h"

#include <algorithm>

bool setidentity(ACTIVEEVENT& event, COMPONENT* probe, CIRCUIT* circuit)
{
    COMPONENT* owner = circuit ? circuit->getactive(probe) : nullptr;
    event.second = static_cast<uint32_t>(getdefint(probe->getproperty("ELEMENT"), 0));
    if (!owner) {
        event.sheet = 0xFFFFFFFF;
        event.first = 0;
        return false;
    }
    event.sheet = static_cast<uint32_t>(getdefhex(owner->getproperty("SHEETID"), -1));
    event.first = static_cast<uint32_t>(getdefhex(owner->getproperty("ACTIVE"), 0));
    return true;
}

int32_t eventid(COMPONENT* instrument, CIRCUIT* circuit)
{
    COMPONENT* owner = circuit ? circuit->getactive(instrument) : nullptr;
    return owner ? getdefhex(owner->getproperty("EID"), -1) : -1;
}

double shownreading(double value, double scale, double min, double max)
{
    if (scale != 0)
        return value * scale;
    if (value < std::min(min, max))
        return 0.0;
    if (value > std::max(min, max))
        return 1.0;
    return (value - min) / (max - min);
}

void reportvalue(ACTIVEEVENT& event, double time, double value, DPA* list)
{
    if (time != 0 && value == event.value)
        return;
    event.value = value;
    list->add(&event, -1);
}

void reportbuffer(ACTIVEEVENT& event, int32_t kind, size_t points, size_t channels, const void* times,
    const void* samples, DPA* list)
{
    event.kind = kind;
    event.words[0] = static_cast<uint32_t>(points);
    event.words[1] = static_cast<uint32_t>(channels);
    event.ids[0] = activedata(times);
    event.ids[1] = activedata(samples);
    list->add(&event, -1);
}

void reportstate(ACTIVEEVENT& event, double time, uint32_t state, DPA* list)
{
    if (time != 0 && state == event.words[0])
        return;
    event.words[0] = state;
    list->add(&event, -1);
}

void readidentity(ACTIVEEVENT& event, const char* text)
{
    uint32_t* fields[] = { &event.sheet, &event.first, &event.second };
    char* p = const_cast<char*>(text ? text : "");
    for (uint32_t* field : fields) {
        int32_t value = 0;
        if (!gethex(&p, &value))
            return;
        *field = static_cast<uint32_t>(value);
        if (*p++ != ':')
            return;
    }
}

void CONDUCTANCESTAMP::fetch(ISPICECKT* circuit, int32_t p, int32_t q)
{
    pp = circuit->element(p, p);
    qq = circuit->element(q, q);
    pq = circuit->element(p, q);
    qp = circuit->element(q, p);
}

void CONDUCTANCESTAMP::load(double conductance) const
{
    if (!pp || !qq || !pq || !qp)
        return;
    *pp += conductance;
    *qq += conductance;
    *pq -= conductance;
    *qp -= conductance;
}

void AMMETERSTAMP::fetch(ISPICECKT* circuit, IINSTANCE* owner, int32_t p, int32_t q)
{
    if (branch == 0)
        branch = circuit->newbranch(owner, "branch");
    if (branch == 0)
        return;
    pb = circuit->element(p, branch);
    bp = circuit->element(branch, p);
    qb = circuit->element(q, branch);
    bq = circuit->element(branch, q);
}

void AMMETERSTAMP::load() const
{
    if (!pb || !bp || !qb || !bq)
        return;
    *pb += 1;
    *bp += 1;
    *qb -= 1;
    *bq -= 1;
}

double pinvoltage(const INTMODEL& instrument, const double* solution)
{
    if (!solution || instrument.nodes.empty())
        return 0.0;
    double first = solution[instrument.nodes[0]];
    return instrument.nodes.size() > 1 ? first - solution[instrument.nodes[1]] : first;
}
