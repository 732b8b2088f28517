#include "simulator/models/parts/probesetting.h"

#include "simulator/kernel/circuit.h"

double probesetting(COMPONENT* probe, CIRCUIT* circuit, const char* name, double def)
{
    double value;
    if (circuit && circuit->evalproperty(name, probe->name, probe->getproperty(name), &value, def))
        return value;
    return circuit && circuit->getoption(name, &value) ? value : def;
}

double outputtolerance(COMPONENT* probe, CIRCUIT* circuit)
{
    double relative;
    double fallback = circuit && circuit->getoption("RELTOL", &relative) ? relative / 10 : 0.0001;
    return probesetting(probe, circuit, "OUTTOL", fallback);
}
