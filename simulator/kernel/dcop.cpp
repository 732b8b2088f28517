#include "simulator/kernel/analyses.h"

#include "simulator/kernel/circuit.h"
#include "simulator/kernel/runstate.h"
#include "simulator/results/partition.h"

DCOP::DCOP(CIRCUIT* owner, IFtask* spicetask, IFjob* optionsjob)
    : ANALYSIS("OP", owner, spicetask, optionsjob)
{
}

int DCOP::beginplot(IFcircuit* spice, IFjob* plotjob, int32_t count, IFuid* names, int32_t plottype)
{
    ANALYSIS::beginplot(spice, plotjob, count, names, plottype);
    nodenames.count = 0;
    nodenames.grow(count + 1);
    IFnode* ground = circuit->groundnode;
    if (!ground)
        spicesimulator->groundNode(circuit->spice, &ground, nullptr);
    nodenames.add(const_cast<char*>(ground ? ground->name : ""), -1);
    for (int32_t i = 0; i < count; ++i)
        nodenames.add(const_cast<char*>(names[i]), -1);
    return 0;
}

int DCOP::writedata(IFvalue* reference, IFvalue* data)
{
    ANALYSIS::writedata(reference, data);
    const IFvector& vector = data->v;
    values.assign(1, 0.0);
    if (datatype == IF_REAL && vector.vec.rVec)
        values.insert(values.end(), vector.vec.rVec, vector.vec.rVec + vector.numValue);
    return 0;
}

int DCOP::endplot()
{
    ANALYSIS::endplot();
    partition->beginrun();
    for (SDF_COMPONENT* part : circuit->parts)
        static_cast<COMPONENT*>(part)->watchpopup(&nodenames, values.data(), circuit->spice, partition);
    partition->endrecords();
    return 0;
}
