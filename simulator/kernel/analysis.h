#pragma once

#include "core/containers/didx.h"
#include "core/containers/dpa.h"
#include "engines/nerith/descriptor.h"
#include "simulator/kernel/component.h"

#include <cstdint>

// ANALYSIS: one SPICE analysis job of the circuit. It is made by the analysis factory from the
// circuit's properties, starts the SPICE engine, and receives the front end's plot callbacks,
// which it turns into runs of the results partitions and data points for the components that
// joined the plot. The batch and interactive runs drive it through its slots.
//
// The SIMTYPE classes (transient, DC sweep, noise, operating point) derive from it in analyses.h;
// any other SPICE analysis runs as this class.

class CIRCUIT;
class COMPONENT;
class PARTITION;

constexpr int ANALYSISNAMESIZE = 20;  // at most 19 characters

class ANALYSIS {
public:
    // Becomes the current analysis; finds the engine's analysis type of that name (exactly) and
    // makes the job in the task. Fatal "Invalid analysis type %s!" without such a type (or for a
    // name too long for the field), "Failed to create analysis %s" when the engine refuses; a SPICE
    // analysis the engine declares but has not built (or does not declare) is fatal with "The %s
    // analysis is not supported by the engine yet.".
    ANALYSIS(const char* name, CIRCUIT* circuit, IFtask* task, IFjob* options);
    ANALYSIS(const ANALYSIS&) = delete;
    ANALYSIS& operator=(const ANALYSIS&) = delete;
    // Clears the current analysis when it is this one.
    virtual ~ANALYSIS();

    // 0: the results partition named by PARTITION (made and opened when the index lacks it), then
    // every component's set-up before the run, and the limit of the results files. Fatal "No
    // results partition specified." without the property, or when its name is refused or its file
    // cannot be written. From here on the results code reports its errors as errors of the log.
    virtual void setupresults(DPA* moddata, DIDX* partitions);
    // 1: clears the run flags and the progress state; 0.
    virtual int setup(const char* sweep);
    // 2: the SPICE options and the job's parameters from the circuit's properties (value: the
    // sweep value, unused here). Values that do not convert are warnings; refusals of the engine
    // are warnings of TRACE_OPTIONS.
    virtual void setoptions(double value);
    // 3: runs the task (doAnalyses); the engine's result: 0, E_PAUSE, E_BREAK or an error code.
    virtual int run(int restart);
    // 4: after the last run; nothing here.
    virtual void finish();
    // 5: collects the components that join the plot, begins a run; 0.
    virtual int beginplot(IFcircuit* circuit, IFjob* job, int32_t count, IFuid* names, int32_t type);
    // 6: begins a run in every partition.
    virtual int beginrun();
    // 7: hands a data point to the components of the plot, then checks the results limit; 0.
    virtual int writedata(IFvalue* reference, IFvalue* data);
    // 8: ends the run in every partition, once per run; 0.
    virtual int endrun();
    // 9: marks the plot ended and ends the run; 0.
    virtual int endplot();
    // 10: 0 here (the time is unknown); time-domain analyses give the last reference value.
    virtual int gettime(double* time);

    // Sets the job's parameter of that keyword (exact); nothing when the job has none.
    void setparam(const char* keyword, IFvalue* value);

    // The analysis wrote its first data point.
    bool started() const { return datawritten != 0; }
    // The results files outgrew the limit of the run, which was then stopped.
    bool resultsfull() const { return limitreached != 0; }
    // The analysis ran to its end.
    bool ended() const { return plotended != 0; }

    char name[ANALYSISNAMESIZE] {};
    CIRCUIT* circuit;
    IFtask* task;
    IFjob* options;
    DIDX* partitions = nullptr;
    const IFanalysis* type = nullptr;
    IFjob* job = nullptr;
    PARTITION* partition = nullptr;
    GDPA<COMPONENT> probes { 100 };  // not owned
    int32_t datatype = IF_REAL;
    int32_t plotbegun = 0;
    int32_t runopen = 0;
    int32_t datawritten = 0;
    int32_t runended = 0;
    int32_t plotended = 0;
    int32_t lastpercent = -1;
    int64_t lasttick = 0;
    int64_t limitbytes = 0; // of the results files together, from the results set-up
    int32_t limitreached = 0;

protected:
    // Once the partitions have grown past the limit: reports it and stops the run at its next
    // pause test.
    void checkresultslimit();
};

// The analysis the circuit's ANALYSIS property names, else the one its SIMTYPE selects; fatal "No
// ANALYSIS type specified." when neither does. Never returns null.
ANALYSIS* createanalysis(CIRCUIT* circuit, IFtask* task, IFjob* options);

// The SIMTYPE text of the last results set-up; "TRANSIENT" before.
const char* simtypetext();

// The partition of that name in the index, else a new one on its results file (resultsname.h),
// opened for writing and added to the index. Null, with a warning naming the name and its owner
// (a part's name, or "the design"), for a name that would leave the results folder; null when the
// file cannot be written (the results code reports why).
PARTITION* resultspartition(DIDX* index, const char* name, const char* owner);

// Converts a property text for a settable parameter by its value kind: flag, integer, real
// (an expression over the circuit's variables; "?" and "[NULL]" count as not given), node (a net of
// the circuit that the engine has), string (*out holds a malloc'ed copy) or instance (a part of the
// circuit). False, mostly with a warning naming the keyword and owner ("OPTIONS" or "ANALYSIS"),
// when no value was produced; a kind it cannot convert is fatal.
bool parsespicevalue(CIRCUIT* circuit, const char* owner, const IFparm* parameter, const char* text, IFvalue* out);
