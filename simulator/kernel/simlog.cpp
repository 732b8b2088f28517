#include "simulator/kernel/simlog.h"

#include "core/containers/proplist.h"
#include "core/files/pathopen.h"
#include "core/text/scan.h"
#include "core/text/values.h"
#include "core/windows/crashreport.h"
#include "engines/nerith/circuit.h"
#include "engines/pallex/circuit.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/hostlink.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/spicedeck/decklog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

TRACEFLAG traceflags[16];

namespace {

// The kernel's channel table, in registration order.
const TRACEFLAGINFO kernelchannels[] = {
    { 0, "TRACE_SPICELINK", nullptr },
    { 2, "TRACE_DCPATHS", nullptr },
    { 3, "TRACE_NETTYPES", nullptr },
    { 4, "TRACE_ITFMODS", nullptr },
    { 5, "TRACE_CONTENTIONS", nullptr },
    { 1, "TRACE_OPTIONS", nullptr },
    { 6, "TRACE_PERFORMANCE", nullptr },
    { 7, "TRACE_CONVERGENCE", nullptr },
    { 8, "DEBUG_BUILD", "BUILD" },
    { 9, "DEBUG_LOAD", "LOAD" },
    { 10, "DEBUG_ANALYSE", "ANALYSE" },
    { 11, "DEBUG_DCOP", "DCOP" },
};

constexpr int LOGGINGSTOPPEDTOPIC = 1000;

SIMLOG* currentlog = nullptr;

bool alwayslogged(int cls)
{
    return cls == 'E' || cls == 'F' || cls == 'X' || cls == 0;
}

// The deck code logs through whichever log is current.
void makecurrent(SIMLOG* log)
{
    currentlog = log;
    binddecklog({ log, &TRACE_SPICELINK, &TRACE_CONVERGENCE });
}

int vlogclass(int cls, const char* format, va_list args)
{
    return simlog()->log(cls, format, args);
}

}  // namespace

SIMLOG::SIMLOG(int breakpoints)
    : logstop(std::numeric_limits<double>::infinity())
    , breakpoints(breakpoints)
{
}

SIMLOG::~SIMLOG()
{
    rows.zap();
    links.zap();
}

int SIMLOG::log(int cls, const char* format, va_list args)
{
    char text[LOGBUFFER];
    vsnprintf(text, sizeof text, format ? format : "", args);
    return logtext(cls, text);
}

int SIMLOG::logtext(int cls, const char* text)
{
    int logged = write(cls, text);
    if (cls == 'F')
        throwfatal(crashreport, 1, "FATAL");
    return logged;
}

int SIMLOG::write(int cls, const char* text)
{
    double time = simulationtime();
    lasttime = time;
    bool known = time >= 0;
    bool logged = !known || (time >= logstart && time <= logstop) || alwayslogged(cls);
    FILE* out = modulestdout();
    if (logged) {
        if (cls == 0)
            fprintf(out, "%s\n", text);
        else if (cls == 'D' || !known)
            fprintf(out, "#%c:%s\n", cls, text);
        else
            fprintf(out, "#%c:%s\n%%T=%.9lg\n", cls, text, time);
    } else if (time > logstop && logstop != 0) {
        fprintf(out,
            "#I:Logging stopped - check times specified in Configure Diagnostics dialogue form.\n%%T=%.9lg\n",
            logstop);
        fprintf(out, "%%H=%s,%04X\n", DEFAULTHELPFILE, LOGGINGSTOPPEDTOPIC);
        logstop = 0;
    }
    lastlogged = logged;
    switch (cls) {
    case 'W':
        raisestatus(1);
        break;
    case 'E':
        if (simstatus <= 1)
            simstatus = 3;
        ++errorcount;
        break;
    case 'F':
        if (simstatus <= 1)
            simstatus = 3;
        break;
    case 'X':
        simstatus = 3;
        break;
    default:
        break;
    }
    return logged;
}

int SIMLOG::trace(TRACEFLAG* channel, int cls, const char* format, va_list args)
{
    char text[LOGBUFFER];
    int used = 0;
    if (channel->info && channel->info->label)
        used = std::clamp(snprintf(text, sizeof text, "[%s]", channel->info->label), 0, LOGBUFFER - 1);
    vsnprintf(text + used, sizeof text - used, format ? format : "", args);
    int logged = logtext(cls, text);
    if (logged && breakpoints && channel->level > 0 && channel->breakflag) {
        const char* key = channel->info ? channel->info->key : "";
        if (lasttime >= 0)
            hostprintf("Diagnostic breakpoint at time %g [%s]", lasttime, key);
        else
            hostprintf("Diagnostic breakpoint at startup [%s]", key);
        if (spicecircuit)
            spicecircuit->suspend(nullptr, text);
        if (pallexcircuit)
            pallexcircuit->suspend(nullptr, text);
    }
    return logged;
}

void SIMLOG::registerchannels(const TRACEFLAGINFO* table, TRACEFLAG* records, int32_t count, PROPLIST* properties,
    ITRACEOWNER* owner)
{
    int32_t fallback = 0;
    if (const char* text = properties ? (*properties)["TRACE_DEFAULT"] : nullptr) {
        char* p = const_cast<char*>(text);
        getsint(&p, &fallback);
    }
    if (!table) {
        table = kernelchannels;
        count = static_cast<int32_t>(std::size(kernelchannels));
    }
    for (int32_t row = 0; row < count; ++row) {
        TRACEFLAG& record = records[table[row].channel];
        int32_t value = fallback;
        if (const char* text = properties ? (*properties)[table[row].key] : nullptr) {
            char* p = const_cast<char*>(text);
            int32_t given;
            int32_t index;
            if (getint(&p, &given)) {
                value = given;
                if (chkchr(&p, ',') && getint(&p, &index))
                    links.add(new TRACEFLAGLINK { &record, index });
            }
        }
        auto* copy = new TRACEFLAGINFO(table[row]);
        rows.add(copy);
        record.info = copy;
        record.owner = owner ? owner : this;
        record.level = static_cast<uint8_t>(value & 3);
        record.breakflag = static_cast<uint8_t>(value & 4);
    }
}

void SIMLOG::setlevels(const int32_t* flags)
{
    if (!flags)
        return;
    for (TRACEFLAGLINK* link : links) {
        link->record->level = static_cast<uint8_t>(flags[link->index] & 3);
        link->record->breakflag = static_cast<uint8_t>(flags[link->index] & 4);
    }
}

void SIMLOG::source(const char* name, int32_t element)
{
    if (!lastlogged)
        return;
    if (element)
        fprintf(modulestdout(), "%%S=%s\n%%E=%04X\n", name, static_cast<unsigned>(element));
    else
        fprintf(modulestdout(), "%%S=%s\n", name);
}

void SIMLOG::help(int32_t topic, const char* file)
{
    if (lastlogged)
        fprintf(modulestdout(), "%%H=%s,%04X\n", file ? file : DEFAULTHELPFILE, static_cast<unsigned>(topic));
}

void SIMLOG::setlogwindow(double start, double stop)
{
    logstart = start;
    logstop = stop;
}

SIMLOG* simlog()
{
    if (!currentlog)
        makecurrent(new SIMLOG(0));
    return currentlog;
}

SIMLOG* setsimlog(SIMLOG* log)
{
    SIMLOG* previous = currentlog;
    makecurrent(log);
    return previous;
}

int siminfo(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int logged = vlogclass('I', format, args);
    va_end(args);
    return logged;
}

int simwarning(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int logged = vlogclass('W', format, args);
    va_end(args);
    return logged;
}

int simerror(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int logged = vlogclass('E', format, args);
    va_end(args);
    return logged;
}

void simfatal(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vlogclass('F', format, args);
    va_end(args);
    throwfatal(crashreport, 1, "FATAL");
}

double simulationtime()
{
    if (!currentanalysis)
        return -1;
    double time = -1;
    if (!currentanalysis->gettime(&time))
        time = -1;
    if (pallexcircuit)
        time = std::max(time, static_cast<double>(pallexcircuit->gettime()) * 1e-12);
    return time;
}
