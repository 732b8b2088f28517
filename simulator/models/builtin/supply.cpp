#include "simulator/models/builtin/supply.h"

#include "engines/nerith/circuit.h"

void BATTERY::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    value = getnumval("VALUE", 0);
    rint = getnumval("RINT", 0);
}

void BATTERY::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    source.fetch(circuit, instance, pinnode(0), pinnode(1));
    resistance = rint != 0 && source.branch ? circuit->element(source.branch, source.branch) : nullptr;
}

void BATTERY::loadmatrix() const
{
    source.load();
    if (resistance)
        *resistance -= rint;
}

void BATTERY::loaddc(double, uint32_t mode, const double*, double* rhs)
{
    loadmatrix();
    if (!source.branch)
        return;
    rhs[source.branch] += mode & (MODE_DCOP | MODE_DCTRANCURVE) ? value * sourcefactor() : value;
}

void BATTERY::loadac(double, double*, double*)
{
    loadmatrix();
}

int PWRITF::powerinterface(COMPONENT** self)
{
    *self = this;
    return 1;
}

void PWRITF::bindmodel(INPtables*, IFcircuit* circuit)
{
    bindanalog(circuit);
    if (pins.count != 2) {
        warning("V+/V- pins not specified for power interface - check ITFMOD properties.");
        return;
    }
    bindpins(circuit);
}

void PWRITF::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    voltage = getnumval("VOLTAGE", 5);
    double rint = getnumval("RINT", voltage == 0 ? 1000 : 0.001);
    conductance = rint == 0 ? 0 : 1 / rint;
}

void PWRITF::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    if (nodes.size() != 2 || conductance == 0)
        return;
    // The supply's pins are V+ and V-; other names go by pin order.
    positive = getspicenode("V+", 0) >= 0 ? getspicenode("V+", 0) : nodes[0];
    negative = getspicenode("V-", 0) >= 0 ? getspicenode("V-", 0) : nodes[1];
    stamp.fetch(circuit, positive, negative);
}

void PWRITF::loaddc(double, uint32_t, const double*, double* rhs)
{
    if (!stamp.pp)
        return;
    stamp.load(conductance);
    rhs[positive] += voltage * conductance;
    rhs[negative] -= voltage * conductance;
}

void PWRITF::loadac(double, double*, double*)
{
    stamp.load(conductance);
}
