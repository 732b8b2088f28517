// The interactive real-time run's exports.
#include "engines/nerith/descriptor.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/exports.h"
#include "simulator/kernel/frontend.h"
#include "simulator/kernel/guard.h"
#include "simulator/kernel/interactive.h"
#include "simulator/kernel/kernelrun.h"
#include "simulator/kernel/runlimits.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/signon.h"
#include "simulator/kernel/simlog.h"
#include "simulator/models/spice/spiceerrors.h"

namespace {

constexpr int RESULT_BREAKPOINT = 4;
constexpr int RESULT_ENDED = 5;

// The run from rts_initialize to rts_terminate.
KERNELRUN run;

INTERACTIVE* interactive()
{
    return static_cast<INTERACTIVE*>(run.analysis);
}

// Every part of the circuit, in circuit order.
template <class Action> void eachpart(Action&& action)
{
    for (SDF_COMPONENT* part : run.circuit->parts)
        action(static_cast<COMPONENT*>(part));
}

// After a fatal message or a fault: the run is released all the same, so that the host's next run
// starts clean and no results file is left half-written.
int abandon()
{
    if (!guarded([] { run.teardown(); }))
        run.forget();
    simstatus = 3;
    return 3;
}

} // namespace

int rts_initialize(const char* netlist, intptr_t output, HWND host)
{
    if (run.circuit)
        rts_terminate();
    setpausetest(rts_pausetest);
    simstatus = 0;
    stallseconds = stalllimit();
    bool loaded = true;
    bool finished = guarded([&] {
        simsignon(output, host, 1);
        if (!run.load(netlist)) {
            loaded = false;
            return;
        }
        auto* analysis = new INTERACTIVE(run.circuit, run.task, run.options);
        run.analysis = analysis;
        analysis->setupresults(&run.moddata, &run.partitions);
        analysis->setup("");
        run.circuit->setsweepvalue("", 0);
        analysis->setoptions(0);
    });
    if (!loaded)
        return 3;
    return finished ? simstatus : abandon();
}

int rts_execute(int mode, double* time, int* flags)
{
    INTERACTIVE* analysis = interactive();
    if (!run.circuit || !analysis)
        return simstatus;
    double none = 0;
    int result = 0;
    bool finished = guarded([&] {
        if (mode != 2 && flags)
            simlog()->setlevels(flags);
        eachpart([&](COMPONENT* part) { part->setrunmode(mode); });
        int tick = analysis->tick(mode, time ? time : &none);
        if (analysis->ended()) {
            result = RESULT_ENDED;
            return;
        }
        if (tick == E_BREAK) {
            result = RESULT_BREAKPOINT;
            return;
        }
        if (tick != 0 && tick != E_PAUSE) {
            reportspiceerror(tick);
            raisestatus(analysis->started() ? 2 : 3);
            rts_terminate();
        }
        result = simstatus;
    });
    return finished ? result : abandon();
}

int rts_event(int id, double time, uint32_t argument)
{
    if (!run.circuit)
        return simstatus;
    bool finished = guarded([&] {
        eachpart([&](COMPONENT* part) { part->userevent(id, time, static_cast<int32_t>(argument)); });
    });
    return finished ? simstatus : abandon();
}

int rts_suspend()
{
    INTERACTIVE* analysis = interactive();
    if (!analysis)
        return 3;
    return analysis->suspend() ? 3 : 0;
}

int rts_pausetest()
{
    INTERACTIVE* analysis = interactive();
    return analysis && (analysis->paused() || simabort) ? -1 : 0;
}

int rts_terminate()
{
    bool finished = guarded([] {
        if (INTERACTIVE* analysis = interactive()) {
            if (!analysis->started())
                simerror("Real Time Simulation failed to start.");
            else if (!analysis->ended())
                analysis->endplot();
            analysis->finish();
            if (simstatus != 3) {
                eachpart([](COMPONENT* part) { part->setrunmode(1); });
                run.logstatistics();
            }
        }
        run.teardown();
    });
    return finished ? simstatus : abandon();
}
