#pragma once

#include "core/containers/dpa.h"
#include "engines/contract/simlog.h"

#include <cstdarg>
#include <cstdint>

// The simulation log: every message of the kernel and its models goes out as lines on the module's
// standard output, which the sign-on binds unbuffered to the host's handle.
//
//   #<class>:<text>        one message (classes: 'I' 'W' 'E' 'F' 'T' 'X' 'D'; see ISIMLOG)
//   %T=<time>              after a message when the simulation time is known (%.9lg)
//   %S=<part> [%E=<elem>]  the part a message came from, its element number in 4 hex digits
//   %H=<file>,<topic>      a help reference, topic in 4 hex digits
//
// Messages expand into 4096 bytes (at most 4095 characters; a trace message's expansion is cut to
// what its label leaves); host texts into 1024 (at most 1023 characters).

class PROPLIST;

// The kernel's sixteen channel records (zero until registered); the log uses the first twelve.
extern TRACEFLAG traceflags[16];
inline TRACEFLAG& TRACE_SPICELINK = traceflags[0];
inline TRACEFLAG& TRACE_OPTIONS = traceflags[1];
inline TRACEFLAG& TRACE_DCPATHS = traceflags[2];
inline TRACEFLAG& TRACE_NETTYPES = traceflags[3];
inline TRACEFLAG& TRACE_ITFMODS = traceflags[4];
inline TRACEFLAG& TRACE_CONTENTIONS = traceflags[5];
inline TRACEFLAG& TRACE_PERFORMANCE = traceflags[6];
inline TRACEFLAG& TRACE_CONVERGENCE = traceflags[7];
inline TRACEFLAG& DEBUG_BUILD = traceflags[8];
inline TRACEFLAG& DEBUG_LOAD = traceflags[9];
inline TRACEFLAG& DEBUG_ANALYSE = traceflags[10];
inline TRACEFLAG& DEBUG_DCOP = traceflags[11];

constexpr int LOGBUFFER = 4096;
constexpr int HOSTTEXTBUFFER = 1024;
constexpr const char* DEFAULTHELPFILE = "WUNO.HLP";

class SIMLOG final : public ISIMLOG {
public:
    // breakpoints: the interactive flag of the sign-on (diagnostic breakpoints fire only then).
    explicit SIMLOG(int breakpoints);
    SIMLOG(const SIMLOG&) = delete;
    SIMLOG& operator=(const SIMLOG&) = delete;
    ~SIMLOG();

    int trace(TRACEFLAG* channel, int cls, const char* format, va_list args) override;
    void registerchannels(const TRACEFLAGINFO* table, TRACEFLAG* records, int32_t count, PROPLIST* properties,
        ITRACEOWNER* owner) override;
    void setlevels(const int32_t* flags) override;
    int log(int cls, const char* format, va_list args) override;
    void source(const char* name, int32_t element) override;
    void help(int32_t topic, const char* file) override;

    // Logs text as it stands (no formatting), with the class's rules; the logged flag.
    int logtext(int cls, const char* text);
    // Writes text as logtext does, but a fatal message does not end the run here: the caller
    // writes its source line first and then ends the run itself.
    int write(int cls, const char* text);
    // The window outside which only errors are logged.
    void setlogwindow(double start, double stop);

    double logstart = 0;
    double logstop;  // +infinity until set
    double lasttime = -1;  // the simulation time of the last message; negative when unknown
    double ticktime = 0;   // written by the interactive run
    int breakpoints;
    int lastlogged = 0;
    int errorcount = 0;

private:
    struct TRACEFLAGLINK {
        TRACEFLAG* record;
        int32_t index;
    };
    GDPA<TRACEFLAGINFO> rows;
    GDPA<TRACEFLAGLINK> links;
};

// The module's current log (made by the sign-on; made on first use before the first sign-on).
SIMLOG* simlog();
// Makes log the current one; returns the previous one (null when there was none).
SIMLOG* setsimlog(SIMLOG* log);

// Messages through the current log, printf-style; each returns the logged flag.
int siminfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
int simwarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
int simerror(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Logs a fatal message and ends the run: never returns.
[[noreturn]] void simfatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The simulation time of a message: the current analysis's time, or the digital engine's when that
// is later; negative when unknown.
double simulationtime();
