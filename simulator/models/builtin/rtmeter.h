#pragma once

#include "simulator/models/builtin/instrument.h"

#include <vector>

// RTVPROBE and RTIPROBE: the meters of an interactive run. The voltage meter reads across its pins
// (its first pin against ground when it has one), with an optional load resistance (LOAD); the
// current meter is a zero-volt ammeter in series between its pins. Each tick they report to the
// host, by MODE: the reading at the tick (SNAPSHOT), the tick's peak (PEAK, over the engine's
// points and the tick), the root mean square of the readings at the engine's points in the tick
// (RMS), or every such point and the tick's own (CONTINUOUS, a buffer record of the voltage of
// every pin, or of the one current, at each point).
// Readings are shown times SCALE, or normalised between MIN and MAX when SCALE is 0. A meter no
// part with ACTIVE owns reports nothing.
class RTMETER final : public INTMODEL {
public:
    enum MODE { SNAPSHOT, PEAK, RMS, CONTINUOUS };

    RTMETER(
        bool current, const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

    int isanalogpin(SDF_PIN*) override { return 1; }
    // Identity, MODE, SCALE, MIN, MAX and (voltage) LOAD; "0" is no load, with a warning.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // Unless paused (2), a new tick: the buffers emptied, the peak back to 0.
    void setrunmode(int32_t mode) override;
    // The tick's record: a buffer without a change test (a paused voltage meter reports none), else
    // the shown reading by the change rule. 0 for a meter that reports nothing.
    int activeevents(double time, DPA* list) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    // The reading back to 0 on the first iteration of an operating point; the load or the ammeter.
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    void acceptstep(double time, const double* solution) override;
    void runmode(int32_t mode) override { setrunmode(mode); }

    bool current;
    bool active = false;
    MODE mode = SNAPSHOT;
    double scale = 0;
    double min = 0;
    double max = 1;
    double load = 0; // conductance, siemens; 0: none
    int32_t run = 0; // the run mode
    double reading = 0;
    double peak = 0;
    std::vector<double> times;
    std::vector<double> samples;
    CONDUCTANCESTAMP loadstamp;
    AMMETERSTAMP ammeter;
    ACTIVEEVENT event {};

private:
    // The reading of the tick before it is shown.
    double tickreading() const;
    // The current, or the voltage across the pins, in a solution.
    double quantity(const double* solution) const;
    // A point of the buffer: the current, or the voltage of every pin.
    void sample(double time, const double* solution);
};
