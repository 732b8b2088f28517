#include "simulator/kernel/interactive.h"

#include "engines/nerith/nerith.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/hostlink.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "platform/hulvane/results/partition.h"

#include <algorithm>

namespace {

// The run's length when the netlist gives none: a day of simulated time.
constexpr const char* DEFAULTTSTOP = "24*3600";
// Consecutive suspended ticks the host may have before the run is reported as not real time.
constexpr uint32_t LATELIMIT = 20;
constexpr int32_t REALTIMEHELPTOPIC = 1001;

} // namespace

INTERACTIVE::INTERACTIVE(CIRCUIT* owner, IFtask* spicetask, IFjob* optionsjob)
    : TRANSIENT("TRAN", owner, spicetask, optionsjob)
{
    paced = 1;
    tstopgiven = circuit->getproperty("TSTOP") ? 1 : 0;
    if (!tstopgiven)
        circuit->setproperty("TSTOP", DEFAULTTSTOP);
}

int INTERACTIVE::beginplot(IFcircuit* spice, IFjob* plotjob, int32_t count, IFuid* names, int32_t plottype)
{
    TRANSIENT::beginplot(spice, plotjob, count, names, plottype);
    listnodenames(circuit, nodenames, count, names);
    return 0;
}

int INTERACTIVE::writedata(IFvalue* reference, IFvalue* data)
{
    if (tstopgiven)
        TRANSIENT::writedata(reference, data);
    else
        keepvalues(kept, data, datatype);
    if (target <= reference->rValue)
        pausedflag = 1;
    lastreference = reference->rValue;
    datawritten = 1;
    return 0;
}

int INTERACTIVE::suspend()
{
    int was = pausedflag;
    suspendedflag = pausedflag = 1;
    return was;
}

int INTERACTIVE::tick(int mode, double* time)
{
    pausedflag = suspendedflag = 0;
    int result = 0;
    if (mode == 0) {
        lastreference = target = 0;
        late = warnings = 0;
        result = run(1);
    } else if (*time > lastreference && !ended()) {
        target = *time;
        // A tick is where the host looks, not where the circuit changes: the engine steps on as its
        // accuracy allows and stops there with the values in between.
        CKTsetStop(circuit->spice, target);
        if (lastreference == 0) {
            // The first step is a thousandth of the largest, so that the first tick reaches its
            // target in small steps.
            double tmax = PACEDTMAX;
            circuit->getoption("TMAX", &tmax);
            double delta = spicecircuit ? spicecircuit->lowerinitialstep(tmax / 1000) : tmax / 1000;
            TRACE_OPTIONS.trace("Initial delta set to %g", delta);
        }
        result = DCtran(circuit->spice, 0);
        if (result == E_PAUSE)
            showstop();
        *time = lastreference;
    }
    postevents(mode, *time, result);
    result = pace(result);
    // Whatever stopped the tick, the file shows the run up to here.
    if (tstopgiven && runopen && !runended) {
        for (int i = 0; partitions && i < partitions->count; ++i)
            reinterpret_cast<PARTITION*>(partitions->items[i])->publishrun();
    }
    return result;
}

void INTERACTIVE::showstop()
{
    double now = lastreference;
    if (!spicecircuit || !spicecircuit->query(&now, QUERY_TIME) || now <= lastreference)
        return;
    lastreference = now;
    if (!tstopgiven)
        std::copy_n(spicecircuit->solution(), kept.size(), kept.begin());
    if (target <= now)
        pausedflag = 1;
}

void INTERACTIVE::postevents(int mode, double time, int result)
{
    DPA events(100); // the records belong to the parts
    activedatatable().count = 0;
    if (mode == 0) {
        active.count = 0;
        if (result != 0 && result != E_PAUSE && result != E_BREAK)
            return;
        for (SDF_COMPONENT* part : circuit->parts) {
            auto* component = static_cast<COMPONENT*>(part);
            if (component->activeevents(0, &events))
                active.add(component);
        }
        simlog()->ticktime = 0;
    } else if (mode == 10) {
        if (!tstopgiven)
            recordsegment();
        return;
    } else {
        for (COMPONENT* part : active)
            part->activeevents(time, &events);
        if (mode == 2)
            simlog()->ticktime = lastreference;
    }
    if (events.count)
        sendhostmessage(
            WM_HOSTEVENTS, reinterpret_cast<WPARAM>(&activedatatable()), reinterpret_cast<LPARAM>(&events));
}

int INTERACTIVE::pace(int result)
{
    if (!suspendedflag) {
        late = 0;
        return result;
    }
    if (late++ <= LATELIMIT || warnings++ != 0)
        return result;
    if (TRACE_PERFORMANCE.warning("Simulation is not running in real time due to excessive CPU load."))
        simlog()->help(REALTIMEHELPTOPIC, DEFAULTHELPFILE);
    if (TRACE_PERFORMANCE.level > 0 && TRACE_PERFORMANCE.breakflag)
        return E_BREAK;
    return result;
}

void INTERACTIVE::recordsegment()
{
    partition->rewind();
    for (COMPONENT* probe : probes)
        probe->writereal(0.0, kept.data() + 1, static_cast<int32_t>(kept.size()) - 1);
    partition->endrun();
    writewatchrecords(circuit, nodenames, kept.data(), partition);
    partition->writeheader(0);
}
