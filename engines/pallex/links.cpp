#include "engines/contract/models.h"
#include "engines/pallex/engine.h"
#include "engines/pallex/pallex.h"
#include "engines/pallex/resolve.h"

#include <algorithm>
#include <cmath>

// The engine's side of mixed nets, of recording probes and of the lock-step with the analog engine.
namespace pallex {

PXlink* Engine::linkadc(uint32_t index, std::string served)
{
    PXlink& link = links.emplace_back();
    link.adc = true;
    link.net = index;
    link.driver = newdriver(index, STATE_NONE);
    link.served = std::move(served);
    return &link;
}

PXlink* Engine::linkdac(uint32_t index, double* edge, std::string served, std::vector<uint32_t> partdrivers)
{
    PXlink& link = links.emplace_back();
    link.net = index;
    link.edge = edge;
    link.served = std::move(served);
    link.drivers = std::move(partdrivers);
    return &link;
}

std::vector<PXobject*> Engine::partson(uint32_t index, bool readers)
{
    std::vector<PXobject*> found;
    for (const auto& part : parts) {
        for (uint32_t pin : part->pins) {
            const Pin& record = pins[pin];
            if (root(record.net) == index && (readers ? record.role.input : record.role.output)) {
                found.push_back(part.get());
                break;
            }
        }
    }
    return found;
}

std::vector<uint32_t> Engine::driversof(const PXobject* part, uint32_t index)
{
    std::vector<uint32_t> found;
    for (uint32_t pin : part->pins) {
        const Pin& record = pins[pin];
        if (record.driver != NONE && root(record.net) == index)
            found.push_back(record.driver);
    }
    return found;
}

STATE Engine::linkstate(const PXlink* link)
{
    if (link->drivers.empty())
        return nets[root(link->net)].state;
    Resolver resolver;
    for (uint32_t driver : link->drivers)
        resolver.add(drivers[driver].applied);
    return resolver.result();
}

int64_t Engine::linkchanged(const PXlink* link)
{
    if (link->drivers.empty())
        return nets[root(link->net)].changed;
    int64_t latest = 0;
    for (uint32_t driver : link->drivers)
        latest = std::max(latest, drivers[driver].changed);
    return latest;
}

bool Engine::analogreads() const
{
    return !modelled.empty() || std::any_of(links.begin(), links.end(), [](const PXlink& link) { return !link.adc; });
}

void Engine::sample(PXobject* probe)
{
    if (!probe->partition)
        return;
    std::size_t width = probe->pins.size();
    if (probe->sampletimes.empty() || probe->sampletimes.back() != now) {
        probe->sampletimes.push_back(now);
        probe->samples.resize(probe->samples.size() + width);
    }
    STATE* states = probe->samples.data() + probe->samples.size() - width;
    for (std::size_t at = 0; at < width; ++at)
        states[at] = nets[pins[probe->pins[at]].net].state;
}

// A partition takes its samples in time order, so the probes' samples are merged: an earlier
// sample of one probe never follows a later one of another.
void Engine::writedata(int64_t time)
{
    struct Due {
        int64_t time;
        PXobject* probe;
        std::size_t index;
    };
    std::vector<Due> due;
    for (PXobject* probe : probes) {
        for (std::size_t at = 0; at < probe->sampletimes.size() && probe->sampletimes[at] <= time; ++at)
            due.push_back(Due { probe->sampletimes[at], probe, at });
    }
    std::stable_sort(due.begin(), due.end(), [](const Due& a, const Due& b) { return a.time < b.time; });
    for (const Due& sample : due) {
        PXobject* probe = sample.probe;
        std::size_t width = probe->pins.size();
        probe->partition->writedigital(static_cast<double>(sample.time) * 1e-12, probe->channel,
            probe->samples.data() + sample.index * width, static_cast<int32_t>(width));
    }
    for (PXobject* probe : probes) {
        std::size_t written = 0;
        while (written < probe->sampletimes.size() && probe->sampletimes[written] <= time)
            ++written;
        std::size_t width = probe->pins.size();
        probe->sampletimes.erase(probe->sampletimes.begin(), probe->sampletimes.begin() + static_cast<std::ptrdiff_t>(written));
        probe->samples.erase(probe->samples.begin(), probe->samples.begin() + static_cast<std::ptrdiff_t>(written * width));
    }
}

void Engine::linkprobe(PXobject* probe, IPARTITION* partition, int32_t channel)
{
    if (!probe->partition)
        probes.push_back(probe);
    probe->partition = partition;
    probe->channel = channel;
    // The recording starts with the state the probe sees now.
    if (started)
        sample(probe);
}

int Engine::bootstep(bool first, bool settle, int* changes)
{
    if (!compiled)
        compile();
    std::vector<STATE> before;
    for (const PXlink& link : links)
        before.push_back(link.adc ? 0 : linkstate(&link));
    for (uint32_t net : modelnets)
        before.push_back(nets[net].state);
    for (PXobject* part : modelled)
        part->model->simulate(0, SIM_ANALOG);
    run(0, settle);
    int changed = 0;
    std::size_t at = 0;
    for (const PXlink& link : links) {
        STATE was = before[at++];
        changed += !link.adc && linkstate(&link) != was;
    }
    for (uint32_t net : modelnets)
        changed += nets[net].state != before[at++];
    *changes = changed;
    bool stop = breakasked;
    breakasked = false;
    return stop ? 3 : 1;
}

int Engine::accept(int64_t time, void* context, void (*request)(void*, double))
{
    requests.clear();
    staged.clear();
    staging = true;
    for (PXobject* part : modelled)
        part->model->simulate(time, SIM_ANALOG);
    staging = false;
    bool retake = std::any_of(requests.begin(), requests.end(), [time](int64_t at) { return at < time; });
    for (int64_t at : requests)
        request(context, static_cast<double>(at) * 1e-12);
    requests.clear();
    if (retake) {
        staged.clear();
        return 2;
    }
    for (const Asked& entry : staged)
        commit(entry);
    staged.clear();
    run(std::max(time, now), false);
    for (int64_t at : requests)
        request(context, static_cast<double>(at) * 1e-12);
    requests.clear();
    bool stop = breakasked;
    breakasked = false;
    return stop ? 3 : 1;
}

}  // namespace pallex
