// The batch run and the other non-interactive exports.
#include "core/files/pathopen.h"
#include "core/text/scan.h"
#include "core/text/values.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/exports.h"
#include "simulator/kernel/frontend.h"
#include "simulator/kernel/guard.h"
#include "simulator/kernel/kernelrun.h"
#include "simulator/kernel/runlimits.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/signon.h"
#include "simulator/kernel/simlog.h"
#include "simulator/models/spice/spiceerrors.h"

#include <ctime>

namespace {

// Every step of a sweep is a whole analysis: more steps than this would run for days.
constexpr int32_t MOSTSWEEPSTEPS = 10000;

struct SWEEP {
    char name[64] = "";
    double start = 0;
    double stop = 0;
    int32_t steps = 1;
};

// The SWEEP property "name,start,stop,steps"; no sweep without it. A value that does not read
// whole (or has no steps, or too many) is reported and the run goes on without a sweep.
SWEEP readsweep(const CIRCUIT* circuit)
{
    SWEEP sweep;
    const char* text = circuit->getproperty("SWEEP");
    if (!text)
        return sweep;
    char* p = const_cast<char*>(text);
    SWEEP read;
    bool valid = getnztok(&p, read.name, 63);
    valid = valid && (skipspaces(&p) == 0 || *p == ',');
    skippast(&p, ',');
    valid = getval(&p, &read.start) && valid;
    skippast(&p, ',');
    valid = getval(&p, &read.stop) && valid;
    skippast(&p, ',');
    valid = getint(&p, &read.steps) && valid;
    skippast(&p, ',');
    if (valid && read.steps > MOSTSWEEPSTEPS) {
        simwarning("SWEEP property '%s' has more than %d steps; the simulation runs without a sweep.", text,
            MOSTSWEEPSTEPS);
        return sweep;
    }
    if (valid && read.steps > 0)
        return read;
    simwarning("Invalid SWEEP property '%s'; the simulation runs without a sweep.", text);
    return sweep;
}

// Sets the sweep value, the options and runs the analysis once per step of the SWEEP property (once
// without it); then the run status from what the analysis reached.
void runsweep(KERNELRUN& run)
{
    ANALYSIS* analysis = run.analysis;
    CIRCUIT* circuit = run.circuit;
    analysis->setupresults(&run.moddata, &run.partitions);
    SWEEP sweep = readsweep(circuit);
    analysis->setup(sweep.name);
    int32_t passes = sweep.name[0] ? sweep.steps + 1 : 1;
    for (int32_t i = 0; i < passes; ++i) {
        double value = sweep.start + (sweep.stop - sweep.start) * (static_cast<double>(i) / sweep.steps);
        circuit->setsweepvalue(sweep.name, value);
        analysis->setoptions(value);
        int result = analysis->run(1);
        // Stopped where its results reached their limit, which the analysis reported.
        if (analysis->resultsfull())
            break;
        if (result == E_PAUSE)
            siminfo("User interruption - ESC pressed");
        else if (result == E_BREAK)
            siminfo("Breakpoint encountered");
        else if (result != 0)
            reportspiceerror(result);
    }
    if (!analysis->started()) {
        simstatus = 3;
    } else if (!analysis->ended()) {
        analysis->endplot();
        simstatus = 2;
    }
    analysis->finish();
}

}  // namespace

int simulate(const char* netlist, intptr_t output, HWND host)
{
    clock_t start = clock();
    // Every run reports its own status, also when an earlier run in this process failed.
    simstatus = 0;
    stallseconds = stalllimit();
    KERNELRUN run;
    bool notloaded = false;
    bool finished = guarded([&] {
        // A batch run answers ESC, a vanished host window and signalabort, also after an
        // interactive run put its own pause test into the table.
        setpausetest(esctest);
        simsignon(output, host, 0);
        if (!run.load(netlist)) {
            notloaded = true;
            return;
        }
        run.analysis = createanalysis(run.circuit, run.task, run.options);
        if (simstatus <= 1)
            runsweep(run);
        run.closepartitions();
        if (simstatus == 3)
            simwarning("Simulation failed to start.");
        else if (simstatus == 2)
            simwarning("Simulation failed to complete.");
        if (simstatus != 3) {
            run.logstatistics();
            TRACE_PERFORMANCE.trace(
                "HELIXSIM took %.2f seconds.", static_cast<double>(clock() - start) / CLOCKS_PER_SEC);
        }
        run.teardown();
    });
    if (notloaded)
        return 3;
    if (!finished) {
        // Ended by a fatal message or a fault: the engines and files are released all the same,
        // so the next run in this process starts clean and no results file is left half-written.
        guarded([&] { run.teardown(); });
        simstatus = 3;
    }
    return simstatus;
}

void signalabort()
{
    simabort = 1;
}

void dumptables(intptr_t output)
{
    guarded([&] {
        simsignon(output, nullptr, 0);
        FILE* out = modulestdout();
        auto settable = [out](int32_t count, const IFparm* parameters) {
            for (int32_t i = 0; i < count; ++i) {
                if (parameters[i].dataType & IF_SET)
                    fprintf(out, "\t%s - %s\n", parameters[i].keyword, parameters[i].description);
            }
        };
        fputs("ANALYSIS TYPES\n~~~~~~~~~~~~~~\n", out);
        for (int32_t i = 0; i < spicesimulator->numAnalyses; ++i) {
            const IFanalysis* analysis = spicesimulator->analyses[i];
            fprintf(out, "%s - %s\n", analysis->name, analysis->description);
            settable(analysis->numParms, analysis->analysisParms);
            fputs("\n", out);
        }
        fputs("\n", out);
        fputs("DEVICE TYPES\n~~~~~~~~~~~~\n", out);
        for (int32_t i = 0; i < spicesimulator->numDevices; ++i) {
            const IFdevice* device = spicesimulator->devices[i];
            fprintf(out, "%s - %s\n", device->name, device->description);
            settable(device->numInstanceParms, device->instanceParms);
            fputs("\n", out);
            settable(device->numModelParms, device->modelParms);
            fputs("\n\n", out);
        }
        fputs("NODE PARAMETERS\n~~~~~~~~~~~~~~~\n", out);
        settable(spicesimulator->numNodeParms, spicesimulator->nodeParms);
        fputs("\n", out);
    });
}
