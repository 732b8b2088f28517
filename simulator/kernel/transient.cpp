#include "simulator/kernel/analyses.h"

#include "engines/nerith/nerith.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/hostlink.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include "core/files/pathopen.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

int64_t steadymilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

double variable(CIRCUIT* circuit, const char* name, double def)
{
    double value = def;
    return circuit->getoption(name, &value) ? value : def;
}

bool given(const char* text)
{
    return text && strcmp(text, "?") != 0 && strcasecmp(text, "[NULL]") != 0;
}

constexpr int BARLENGTH = 50;

// NUMSTEPS as the settings offer it: 1 to 100000 steps over the run, 50 when not given.
constexpr double DEFAULTSTEPS = 50;
constexpr double MOSTSTEPS = 100000;
// A run of more time steps would go on for days and fill any disk: it is refused before it starts.
constexpr double MOSTPOINTS = 1e8;

// NUMSTEPS, capped to what the settings allow.
double numsteps(CIRCUIT* circuit)
{
    double steps = variable(circuit, "NUMSTEPS", DEFAULTSTEPS);
    if (steps > MOSTSTEPS) {
        simwarning("NUMSTEPS %g is more than %g: the transient takes %g steps.", steps, MOSTSTEPS, MOSTSTEPS);
        return MOSTSTEPS;
    }
    if (!(steps >= 1)) {
        simwarning(
            "NUMSTEPS %g is not a number of steps: the transient takes %g steps.", steps, DEFAULTSTEPS);
        return DEFAULTSTEPS;
    }
    return steps;
}

}  // namespace

int64_t (*analysisclock)() = steadymilliseconds;

TRANSIENT::TRANSIENT(const char* analysisname, CIRCUIT* owner, IFtask* spicetask, IFjob* optionsjob)
    : ANALYSIS(analysisname, owner, spicetask, optionsjob)
{
}

void TRANSIENT::setoptions(double value)
{
    ANALYSIS::setoptions(value);
    tstart = variable(circuit, "TSTART", 0);
    tstop = variable(circuit, "TSTOP", 1.0);

    IFvalue setting {};
    setting.rValue = 0.0;
    spicesimulator->setAnalysisParm(circuit->spice, job, TRAN_TSTART, &setting, nullptr);

    double step = (tstop - tstart) / numsteps(circuit);
    double tmax = step;
    double limit;
    if (circuit->getoption("TMAX", &limit))
        tmax = std::min(limit, step);
    else if (paced)
        tmax = std::min(PACEDTMAX, step);
    double minbreak = variable(circuit, "MINBREAK", tmax * 5e-05);
    double ttol = variable(circuit, "TTOL", 1e-09);
    if (circuit->analog && circuit->digital && ttol != 0)
        minbreak = std::min(minbreak, ttol);
    for (COMPONENT* part : circuit->analogparts)
        part->limitsteps(&tmax, &minbreak);
    for (int n = 0; n < circuit->netcount(); ++n) {
        char* net = circuit->netbyid(n);
        const char* text = netproperties(net)["TTOL"];
        double nettol;
        if (given(text) && circuit->evalproperty("TTOL", net, text, &nettol, 0))
            minbreak = std::min(nettol, minbreak);
    }
    // The engine steps from time 0 and takes at least one step per tmax.
    double points = tstop / tmax;
    if (!paced && tmax > 0 && points > MOSTPOINTS)
        simfatal("The transient would take %.3g time steps (TSTOP %g s, largest step %g s); "
                 "at most %g are allowed.",
            points, tstop, tmax, MOSTPOINTS);

    setting.rValue = tmax;
    spicesimulator->setAnalysisParm(circuit->spice, job, TRAN_TMAX, &setting, nullptr);
    setting.rValue = minbreak;
    spicesimulator->setAnalysisParm(circuit->spice, options, OPT_MINBREAK, &setting, nullptr);
    if (TRACE_OPTIONS.level >= 2) {
        fprintf(modulestdout(), "tmax = %g\n", tmax);
        fprintf(modulestdout(), "minbreak = %g\n", minbreak);
    }
    progress(0);
}

int TRANSIENT::beginplot(IFcircuit* spice, IFjob* plotjob, int32_t count, IFuid* names, int32_t plottype)
{
    ANALYSIS::beginplot(spice, plotjob, count, names, plottype);
    if (tstart > 0)
        CKTsetBreak(circuit->spice, std::nextafter(tstart, std::numeric_limits<double>::infinity()));
    return 0;
}

int TRANSIENT::writedata(IFvalue* reference, IFvalue* data)
{
    lastreference = reference->rValue;
    if (reference->rValue >= tstart)
        ANALYSIS::writedata(reference, data);
    progress(reference->rValue);
    return 0;
}

int TRANSIENT::gettime(double* time)
{
    *time = datawritten ? lastreference : -1.0;
    return datawritten;
}

void TRANSIENT::progress(double time)
{
    double fraction = tstop != 0 ? std::floor(time / tstop * 100) : 100;
    auto percent = static_cast<int32_t>(std::clamp(fraction, -1.0, 100.0));
    int64_t now = analysisclock();
    if (percent <= lastpercent || now - lasttick <= 100)
        return;
    lastpercent = percent;
    lasttick = now;
    char bar[BARLENGTH + 1];
    memset(bar, '_', BARLENGTH);
    memset(bar, '+', static_cast<size_t>(percent * BARLENGTH / 100));
    bar[BARLENGTH] = 0;
    char label[8];
    int length = snprintf(label, sizeof label, " %d%% ", percent);
    memcpy(bar + 23, label, static_cast<size_t>(length));
    hostprintf("HELIXSIM : %s", bar);
}
