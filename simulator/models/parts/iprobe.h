#pragma once

#include "simulator/kernel/activeevent.h"
#include "simulator/models/parts/spicecpt.h"

class PARTITION;

// IPROBE: the current probe. It is a SPICE voltage source of its row's device type held at 0 V in
// series with the measured wire, so that the engine solves the wire's current as the source's
// branch; the probe records that current into a channel of a results partition as the voltage probe
// records a node voltage, and reports it to the host as an active event in the interactive run.
// Current flowing through the probe from the net of its pin 1 (+) to the net of its pin 2 (-) is
// positive. Its pins bind (slot 10) and its branch is asked (slot 20) as every SPICE part's. It
// takes no part in noise analyses.
class IPROBE final : public SPICECPT {
public:
    IPROBE(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

    // 9: the source (its model named after the row, its instance after the part), its pins, a DC
    // value of 0 and its branch. Refusals of the engine are reported and leave it without a branch.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 11: MODDATA, then the partition PARTITION names (made when absent); without PARTITION the
    // probe records nothing (it does not fall back to the run's partition).
    void bindmoddata(const DPA* moddata, DIDX* partitions) override;
    // 17: OUTTOL, SHEETID and CALLBACK. No engine parameter is set from the properties: the source
    // stays at 0 V.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // 22: whether the probe has a branch (the data names are not looked at: the branch indexes the
    // data). With a partition it links its channel, or warns "Could not link to net %s in probe %s"
    // when it has no branch.
    int joinplot(IFuid* names, int32_t count, int32_t type) override;
    // 23, 24: the branch's value of the point into the channel; nothing without a channel. A branch
    // past the point's values reads as 0.
    void writereal(double reference, const double* values, int32_t count) override;
    void writecomplex(double reference, const IFcomplex* values, int32_t count) override;
    // 31: with a CALLBACK id, appends the event when the current changed (always at time 0); 0
    // without one.
    int activeevents(double time, DPA* list) override;

    PARTITION* partition = nullptr; // the index's; not owned; null: records nothing
    int32_t channel = -1; // -1 until linked
    int32_t branchindex = -1; // the branch equation - 1, which indexes a plot's data; -1: none
    double tolerance = 1e-4;
    ACTIVEEVENT event {};
};
