#include "simulator/kernel/frontend.h"

#include "core/files/pathopen.h"
#include "engines/pallex/pallex.h"
#include "platform/win/keys.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/hostlink.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "simulator/kernel/stallwatch.h"
#include "simulator/models/spice/spiceerrors.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// The engine takes its two flags as 0 or 1.
int bootstep(int first, int settle, int* changes)
{
    return pallex_bootstep(first != 0, settle != 0, changes);
}

int newuid(IFcircuit*, IFuid* out, IFuid old, const char* suffix, int32_t)
{
    char* text = nullptr;
    if (old) {
        if (asprintf(&text, "#%s#%s", old, suffix ? suffix : "") < 0)
            text = nullptr;
    } else {
        text = strdup(suffix ? suffix : "");
    }
    *out = text;
    return 0;
}

int deleteuid(IFcircuit*, IFuid uid, int32_t)
{
    free(const_cast<char*>(uid));
    return 0;
}

double seconds()
{
    return static_cast<double>(clock()) / CLOCKS_PER_SEC;
}

int beginplot(IFcircuit* circuit, IFjob* job, IFuid, IFuid, int32_t, int32_t count, IFuid* names, int32_t type,
    IFplot** plot)
{
    *plot = reinterpret_cast<IFplot*>(currentanalysis);
    if (!currentanalysis)
        return E_NOTFOUND;
    if (DEBUG_ANALYSE.level >= 3) {
        for (int32_t i = 0; i < count; ++i)
            fprintf(modulestdout(), "Name %d=%s\n", i, names[i] ? names[i] : "");
    }
    return currentanalysis->beginplot(circuit, job, count, names, type);
}

ANALYSIS* plotanalysis(IFplot* plot)
{
    return reinterpret_cast<ANALYSIS*>(plot);
}

int appenddata(IFplot* plot, IFvalue* reference, IFvalue* data)
{
    noteprogress();
    return plot ? plotanalysis(plot)->writedata(reference, data) : E_NOTFOUND;
}

int endplot(IFplot* plot)
{
    return plot ? plotanalysis(plot)->endplot() : E_NOTFOUND;
}

int begindomain(IFplot* plot, IFuid reference, int32_t, IFvalue* outer)
{
    DEBUG_ANALYSE.trace("Begin Domain %s, Outer Value = %g", reference ? reference : "", outer ? outer->rValue : 0.0);
    return plot ? plotanalysis(plot)->beginrun() : E_NOTFOUND;
}

int enddomain(IFplot* plot)
{
    DEBUG_ANALYSE.trace("End domain");
    return plot ? plotanalysis(plot)->endrun() : E_NOTFOUND;
}

int attributes(IFplot*, IFuid, int32_t, IFvalue*)
{
    DEBUG_ANALYSE.tracedetail("PSOUT Attributes called");
    return 0;
}

}  // namespace

IFfrontEnd spicefrontend { newuid, deleteuid, esctest, seconds, spiceerrorcallback, beginplot, appenddata, nullptr, nullptr,
    nullptr, nullptr, endplot, begindomain, enddomain, attributes, nullptr, nullptr, nullptr, nullptr, nullptr };

int esctest()
{
    if (!hostrootwindow)
        return simabort;
    const HOSTLINK& link = hostlink();
    if (!link.iswindow(hostwindow))
        simabort = 1;
    if ((link.getasynckeystate(VK_ESCAPE) & 0x8000) && link.getforegroundwindow() == hostrootwindow) {
        simabort = 1;
        return 1;
    }
    return simabort;
}

void setpausetest(int (*test)())
{
    spicefrontend.pauseTest = test;
}

void setdigitalhooks(bool digital)
{
    spicefrontend.digitalSetup = digital ? pallex_setup : nullptr;
    spicefrontend.digitalResume = digital ? pallex_resume : nullptr;
    spicefrontend.digitalBootStep = digital ? bootstep : nullptr;
    spicefrontend.digitalTimeStep = digital ? pallex_timestep : nullptr;
    spicefrontend.digitalAccept = digital ? pallex_accept : nullptr;
}
