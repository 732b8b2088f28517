#include "simulator/kernel/analyses.h"

#include "simulator/kernel/circuit.h"
#include "simulator/kernel/runstate.h"
#include "platform/hulvane/results/partition.h"

DCOP::DCOP(CIRCUIT* owner, IFtask* spicetask, IFjob* optionsjob)
    : ANALYSIS("OP", owner, spicetask, optionsjob)
{
}

void listnodenames(CIRCUIT* circuit, DPA& list, int32_t count, IFuid* names)
{
    list.count = 0;
    list.grow(count + 1);
    IFnode* ground = circuit->groundnode;
    if (!ground)
        spicesimulator->groundNode(circuit->spice, &ground, nullptr);
    list.add(const_cast<char*>(ground ? ground->name : ""), -1);
    for (int32_t i = 0; i < count; ++i)
        list.add(const_cast<char*>(names[i]), -1);
}

void keepvalues(std::vector<double>& values, const IFvalue* data, int32_t type)
{
    const IFvector& vector = data->v;
    values.assign(1, 0.0);
    if (type == IF_REAL && vector.vec.rVec)
        values.insert(values.end(), vector.vec.rVec, vector.vec.rVec + vector.numValue);
}

void writewatchrecords(CIRCUIT* circuit, const DPA& names, const double* values, PARTITION* partition)
{
    partition->beginrun();
    for (SDF_COMPONENT* part : circuit->parts)
        static_cast<COMPONENT*>(part)->watchpopup(&names, values, circuit->spice, partition);
    partition->endrecords();
}

int DCOP::beginplot(IFcircuit* spice, IFjob* plotjob, int32_t count, IFuid* names, int32_t plottype)
{
    ANALYSIS::beginplot(spice, plotjob, count, names, plottype);
    listnodenames(circuit, nodenames, count, names);
    return 0;
}

int DCOP::writedata(IFvalue* reference, IFvalue* data)
{
    ANALYSIS::writedata(reference, data);
    keepvalues(values, data, datatype);
    return 0;
}

int DCOP::endplot()
{
    ANALYSIS::endplot();
    writewatchrecords(circuit, nodenames, values.data(), partition);
    return 0;
}
