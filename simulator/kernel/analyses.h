#pragma once

#include "simulator/kernel/analysis.h"

#include <cstdint>
#include <string>
#include <vector>

// The analyses that SIMTYPE selects beyond the plain ANALYSIS: the transient (start time, step
// limits, break points, a progress bar for the host), the DC sweep (one operating point per sweep
// step, all in one run against the sweep value), the noise analysis (one engine run per net that a
// probe watches, with a printed report) and the operating point (every part's watch record).

// The largest step of a run the host paces when the netlist gives no TMAX: such a run is as long as
// the host keeps it going, so neither its steps nor the spacing of its break points (the ticks)
// can be shares of its length.
inline constexpr double PACEDTMAX = 0.025;

// Milliseconds of a steady clock; the progress bar's throttle reads it (tests may replace it).
extern int64_t (*analysisclock)();

class TRANSIENT : public ANALYSIS {
public:
    TRANSIENT(const char* name, CIRCUIT* circuit, IFtask* task, IFjob* options);
    // The base options, then TSTART and TSTOP, the largest step (TMAX, NUMSTEPS) and the break
    // point spacing (MINBREAK, TTOL of the circuit and its nets, the analog parts' own limits).
    // NUMSTEPS outside 1 to 100000 is capped with a warning; a run of more than 1e8 time steps is
    // fatal, unless the host paces it.
    void setoptions(double value) override;
    // The base; a break point just after TSTART when that is above 0.
    int beginplot(IFcircuit* spice, IFjob* job, int32_t count, IFuid* names, int32_t type) override;
    // Records only from TSTART on; moves the progress bar.
    int writedata(IFvalue* reference, IFvalue* data) override;
    // The last reference time once data was written (the flag), else -1.
    int gettime(double* time) override;

    double tstart = 0;
    double tstop = 1.0;
    double lastreference = 0;

protected:
    // Sends the host a bar of the percentage of TSTOP that time reached, when it grew and more
    // than 100 ms passed since the last one.
    void progress(double time);

    // The host advances the run tick by tick (the interactive run): it ends the run when it
    // will, so the run's length is no reason to refuse it.
    int32_t paced = 0;
};

class DCSWEEP : public ANALYSIS {
public:
    DCSWEEP(CIRCUIT* circuit, IFtask* task, IFjob* options);
    // The base; keeps the sweep variable's name.
    int setup(const char* sweep) override;
    // The base options; keeps the sweep value of this step.
    void setoptions(double value) override;
    // Only the first step's plot begins the run.
    int beginplot(IFcircuit* spice, IFjob* job, int32_t count, IFuid* names, int32_t type) override;
    // The point goes out against the sweep value.
    int writedata(IFvalue* reference, IFvalue* data) override;
    // Marks the plot ended; the run stays open for the next step.
    int endplot() override;
    // Ends the plot and the run once, after the last step.
    void finish() override;

    std::string sweepname;
    double sweepvalue = 0;
};

class NOISE : public ANALYSIS {
public:
    // LOGTOTAL and LOGSPECTRAL (each "TRUE" without regard to case) choose the report's detail.
    NOISE(CIRCUIT* circuit, IFtask* task, IFjob* options);
    // One engine run per net that a probe watches; the engine's error code at once, else 0.
    int run(int restart) override;
    // Plot 1 is the spectrum, plot 2 the integrated totals; the first begins the run.
    int beginplot(IFcircuit* spice, IFjob* job, int32_t count, IFuid* names, int32_t type) override;
    // Prints the report; the spectrum's points go to the probes.
    int writedata(IFvalue* reference, IFvalue* data) override;
    // Counts the plot and ends the run once.
    int endplot() override;

    int32_t logtotal = 0;
    int32_t logspectral = 0;
    std::vector<std::string> names;  // of the current plot (the engine's array lives only for the call)
    int32_t onoise = -1;  // index of "onoise_spectrum" among the names
    int32_t inoise = -1;  // index of "inoise_spectrum" among the names

private:
    void printreport(const double* values, int32_t count, bool totals);
};

class DCOP : public ANALYSIS {
public:
    DCOP(CIRCUIT* circuit, IFtask* task, IFjob* options);
    // The base; the node names: the ground node's, then the plot's.
    int beginplot(IFcircuit* spice, IFjob* job, int32_t count, IFuid* names, int32_t type) override;
    // The base; keeps the point's values (index 0: ground).
    int writedata(IFvalue* reference, IFvalue* data) override;
    // The base; then every part writes its watch record into a record run of the own partition.
    int endplot() override;

    DPA nodenames { 0 };  // IFuid items, not owned
    std::vector<double> values { 0.0 };
};

// The node names of the records of an operating point or snapshot: the ground node's name, then
// the plot's data names.
void listnodenames(CIRCUIT* circuit, DPA& list, int32_t count, IFuid* names);
// Keeps a real data point's values, after a 0 for ground.
void keepvalues(std::vector<double>& values, const IFvalue* data, int32_t type);
// Every part's watch record (their node names, the values of those nodes) as one record run of
// the partition.
void writewatchrecords(CIRCUIT* circuit, const DPA& names, const double* values, PARTITION* partition);
