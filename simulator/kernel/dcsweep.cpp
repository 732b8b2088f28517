#include "simulator/kernel/analyses.h"

DCSWEEP::DCSWEEP(CIRCUIT* owner, IFtask* spicetask, IFjob* optionsjob)
    : ANALYSIS("OP", owner, spicetask, optionsjob)
{
}

int DCSWEEP::setup(const char* sweep)
{
    ANALYSIS::setup(sweep);
    sweepname = sweep ? sweep : "";
    return 0;
}

void DCSWEEP::setoptions(double value)
{
    ANALYSIS::setoptions(value);
    sweepvalue = value;
}

int DCSWEEP::beginplot(IFcircuit* spice, IFjob* plotjob, int32_t count, IFuid* names, int32_t plottype)
{
    if (plotbegun)
        return 0;
    return ANALYSIS::beginplot(spice, plotjob, count, names, plottype);
}

int DCSWEEP::writedata(IFvalue*, IFvalue* data)
{
    IFvalue reference {};
    reference.rValue = sweepvalue;
    return ANALYSIS::writedata(&reference, data);
}

int DCSWEEP::endplot()
{
    plotended = 1;
    return 0;
}

void DCSWEEP::finish()
{
    ANALYSIS::endplot();
}
