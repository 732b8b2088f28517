#pragma once

#include "simulator/kernel/analyses.h"

#include <cstdint>
#include <vector>

// INTERACTIVE: the transient of an interactive real-time run. The host advances it tick by tick to
// times it chooses; after each tick the real-time instruments and probes report what changed
// (their ACTIVEEVENT records, sent to the host with message 0x571), and the host may pause it,
// pass user events and end it. It records its waveform into the partitions only when the netlist
// sets TSTOP; otherwise it runs for a day of simulated time and keeps the last point for the
// snapshots that the host asks for.

class INTERACTIVE final : public TRANSIENT {
public:
    // The "TRAN" analysis of the circuit; a netlist without TSTOP gets TSTOP "24*3600".
    INTERACTIVE(CIRCUIT* circuit, IFtask* task, IFjob* options);

    // TRANSIENT's; then the node names of the snapshots: the ground node's, then the plot's.
    int beginplot(IFcircuit* spice, IFjob* job, int32_t count, IFuid* names, int32_t type) override;
    // Recording: TRANSIENT's. Otherwise keeps the point for the snapshots. A point at or past the
    // tick's target pauses the run (the engine stops at its next pause test).
    int writedata(IFvalue* reference, IFvalue* data) override;

    // One tick (the host's mode; *time: the time asked for in, the time reached out): mode 0 starts
    // the transient, any other advances it to *time when that is later than the time reached; the
    // events of the instruments go to the host. The engine's result: 0, E_PAUSE (the target
    // reached, or the host suspended the run), E_BREAK (a breakpoint, or the host's flags ask to
    // break when the run cannot keep real time) or an error code.
    int tick(int mode, double* time);
    // Marks the run suspended by the host; 1 when it was paused already.
    int suspend();
    // The pause test of the engine: the tick's target reached or the host's pause.
    bool paused() const { return pausedflag != 0; }

    int32_t tstopgiven = 0; // the netlist set TSTOP: the run records its waveform
    GDPA<COMPONENT> active { 100 }; // the parts that reported events at the start; not owned
    double target = 0;
    uint32_t late = 0; // consecutive ticks the host suspended
    uint32_t warnings = 0; // how often the late limit was passed

private:
    // Where the engine stopped between two of its points at the tick: the tick's time, and the
    // values there for the snapshots.
    void showstop();
    // Asks the parts for their events and sends them to the host.
    void postevents(int mode, double time, int result);
    // Counts suspended ticks and warns once when the run falls behind real time; the result,
    // E_BREAK when the warning's channel asks to break.
    int pace(int result);
    // Writes the present state into the own partition from run 0 on: the probes' values at time
    // 0, then every part's watch record.
    void recordsegment();

    int32_t pausedflag = 0;
    int32_t suspendedflag = 0;
    DPA nodenames { 0 }; // IFuid items, not owned
    std::vector<double> kept { 0.0 }; // the last point; [0] is ground
};
