#include "engines/nerith/spiceckt.h"

#include "engines/contract/instance.h"
#include "engines/nerith/ckt.h"

namespace nerith {

namespace {

const char* ownername(IINSTANCE* owner)
{
    return owner ? owner->getname() : nullptr;
}

} // namespace

int SpiceCircuit::modetest(uint32_t bits)
{
    return (ckt.mode & bits) != 0;
}

int SpiceCircuit::query(double* out, int code)
{
    switch (code) {
    case QUERY_TIME:
        *out = ckt.time;
        return 1;
    case QUERY_STEP:
        *out = ckt.mode & MODE_TRAN ? ckt.integration.step() : 0;
        return 1;
    case QUERY_GMIN:
        *out = ckt.options.gmin;
        return 1;
    case QUERY_STEPFLOOR:
        *out = ckt.stepfloor > 0 ? ckt.stepfloor : ckt.options.tmin;
        return 1;
    case QUERY_MINSTEP:
        *out = ckt.options.minbreak;
        return 1;
    case QUERY_SRCFACT:
        *out = ckt.srcfact;
        return 1;
    case QUERY_ORDER:
        *out = ckt.integration.order;
        return 1;
    default:
        return 0;
    }
}

double* SpiceCircuit::state(int32_t which, int32_t index)
{
    if (which < 0 || which > 1 || index < 0 || index >= ckt.statecount)
        return nullptr;
    return &ckt.states[which][static_cast<std::size_t>(index)];
}

void SpiceCircuit::suspend(IINSTANCE* owner, const char* text)
{
    ckt.breakasked = true;
    ckt.breaktext = text ? text : "";
    if (owner)
        ckt.breaktext = std::string(owner->getname()) + ": " + ckt.breaktext;
}

double* SpiceCircuit::solution()
{
    return ckt.solution.data();
}

double SpiceCircuit::lowerinitialstep(double limit)
{
    if (limit > 0 && (ckt.initialstep == 0 || limit < ckt.initialstep))
        ckt.initialstep = limit;
    return ckt.initialstep;
}

int32_t SpiceCircuit::newnode(IINSTANCE* owner, const char* name)
{
    if (!name)
        return 0;
    Node& node = ckt.newnode(identifier(ckt, ownername(owner), name));
    ckt.nodenames.insert(&node);
    return ckt.addnode(node);
}

int32_t SpiceCircuit::newbranch(IINSTANCE* owner, const char* name)
{
    return name ? ckt.addbranch(nullptr, ownername(owner), name) : 0;
}

double* SpiceCircuit::element(int32_t row, int32_t column)
{
    return ckt.matrix.element(row, column);
}

int SpiceCircuit::setbreak(double time)
{
    return addbreak(ckt, time) ? 1 : 0;
}

int32_t SpiceCircuit::allocstates(int32_t count)
{
    if (count < 0)
        return -1;
    const int32_t first = ckt.statecount;
    ckt.statecount += count;
    for (auto& vector : ckt.states)
        vector.resize(static_cast<std::size_t>(ckt.statecount), 0.0);
    return first;
}

void SpiceCircuit::proposestep(double step)
{
    if (step > 0 && (ckt.proposedstep == 0 || step < ckt.proposedstep))
        ckt.proposedstep = step;
}

} // namespace nerith
