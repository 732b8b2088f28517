#include "simulator/models/builtin/tape.h"

#include "core/containers/dpa.h"
#include "platform/hulvane/results/partition.h"

#include <memory>

void TAPE::bindmoddata(const DPA* moddata, DIDX* partitions)
{
    INTMODEL::bindmoddata(moddata, partitions);
    if (const char* play = given("PLAY")) {
        partitionname = play;
        probename.clear();
    } else {
        const char* named = given("PARTITION");
        if (!named)
            fatal("Must specify a partition in tape %s", name);
        const char* probe = given("PROBE");
        if (!probe)
            fatal("Must specify a probe in tape %s", name);
        partitionname = named;
        probename = probe;
    }
    partition = partitions ? reinterpret_cast<PARTITION*>((*partitions)[partitionname.c_str()]) : nullptr;
    // A recording of an earlier run stays the tape's own: in the run's index it would be the
    // partition of the probes that name none, whenever its name sorts first.
    if (!partition && (!recording || partitionname != recording->name)) {
        recording = std::make_unique<PARTITION>(partitionname.c_str());
        if (!recording->open(PARTITION::MODE_READHEADER))
            recording.reset();
    }
    if (!partition)
        partition = recording.get();
    iterator = !partition   ? nullptr
        : probename.empty() ? firstchannel()
                            : partition->getiterator(probename.c_str(), 0);
    if (!iterator)
        fatal("Could not find probe named %s in %s", probename.empty() ? label() : probename.c_str(),
            partitionname.c_str());
    frequencies = dynamic_cast<FREQUENCY_ITERATOR*>(iterator) != nullptr;
}

CHANNEL_ITERATOR* TAPE::firstchannel()
{
    DPA channels(0);
    int runs = 0;
    partition->getchannels(channels, &runs);
    for (int i = 0; i < channels.count; ++i) {
        auto* channel = static_cast<PARTITION::CHANNEL*>(channels.items[i]);
        if (CHANNEL_ITERATOR* found = partition->getiterator(channel->name, 0))
            return found;
    }
    return nullptr;
}

void TAPE::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    trise = getnumval("TRISE", 1e-9);
    tfall = getnumval("TFALL", 0);
    if (tfall <= 0)
        tfall = trise;
    if (trise <= 0 || tfall <= 0)
        fatal("Cannot have zero edge time in %s!", name);
    if (iterator)
        iterator->setedges(trise, tfall);
}

void TAPE::restart()
{
    if (timedomain())
        iterator->rewind(0);
}

double TAPE::startvalue()
{
    return timedomain() ? iterator->getvalue(0) : 0;
}

bool TAPE::nextpoint(SOURCEPOINT* point)
{
    if (!timedomain() || iterator->atend)
        return false;
    double time = iterator->currenttime;
    *point = { time, iterator->getvalue(time) };
    return true;
}

void TAPE::loadac(double omega, double* rhsreal, double* rhsimag)
{
    source.load();
    if (!iterator || !frequencies || !source.branch)
        return;
    double frequency = omega / 6.283185307179586;
    rhsreal[source.branch] += iterator->getreal(frequency);
    rhsimag[source.branch] += iterator->getimag(frequency);
}
