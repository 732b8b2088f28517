#pragma once

#include "engines/pallex/pallex.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/models/builtin/intmodel.h"

#include <string>

class PARTITION;

// VPROBE: the voltage probe (rows APROBE and VPROBE) and the logic probe (DPROBE, or a VPROBE on a
// digital net). It records the net of its first pin into a channel of a results partition: the node
// voltage of every point the SPICE engine delivers, or the pin states the digital engine records.
// It may load its net with a resistor to ground (LOAD), records noise densities, and reports its
// value to the host as an active event in the interactive run.
class VPROBE final : public INTMODEL, private IPARTITION {
public:
    VPROBE(const char* name, PRIMITIVE* row, const SDF_MODEL* model, const PROPLIST* properties);

    int isanalogpin(SDF_PIN* pin) override;
    int isdigitalpin(SDF_PIN* pin) override;
    int isdualpin(SDF_PIN* pin) override;
    // Analog (with the load resistor) or digital (a DPROBE part of the digital engine) by its row
    // and the class of its net, then the base's pin binding.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // MODDATA, then the partition: PARTITION's (made when absent), else the index's first; RECORD.
    void bindmoddata(const DPA* moddata, DIDX* partitions) override;
    // With a load, its net reaches ground.
    void adddcpaths(int all, DIDX* index, char* net) override;
    // OUTTOL, TSTEP, LOAD, SHEETID, CALLBACK.
    void initialise(CIRCUIT* circuit, void* argument) override;
    int joinnoise(char* net, int32_t type) override;
    int joinplot(IFuid* names, int32_t count, int32_t type) override;
    void writereal(double reference, const double* values, int32_t count) override;
    void writecomplex(double reference, const IFcomplex* values, int32_t count) override;
    // Output and input densities (the roots of the squared values) as one complex sample; a density
    // the plot lacks (index -1 or past the values) is 0.
    void writenoise(double frequency, const double* values, int32_t count, int32_t output, int32_t input) override;
    // With a CALLBACK id: appends the event when the value changed (always at time 0).
    int activeevents(double time, DPA* list) override;

    // The net of the first pin; null without pins.
    char* net() const;

    IFmodel* loadmodel = nullptr;
    IFinstance* loadinstance = nullptr;
    PARTITION* partition = nullptr;
    bool record = false;
    bool analog = true;
    int32_t channel = -1;
    int32_t vectorindex = -1;
    double tolerance = 1e-4;
    double tstep = 0;
    std::string load;  // the LOAD text; empty: no load
    bool hasload = false;
    IFcircuit* spice = nullptr;
    ACTIVEEVENT event {};
    std::string lasttext;

private:
    // The channel the probe records into (made when absent); -1 when the partition has no room.
    int32_t findchannel();
    // Sets the found channel for a plot of that data type; whether there is one.
    bool linkchannel(int32_t type);
    // The text of the probe's pin states: one pin's state name, else a mask, "FLT" when undefined.
    std::string statetext();
    bool rowis(const char* type) const;
    // The digital engine records the probe's pin states through the probe into its partition.
    void writedigital(double time, int32_t index, const void* data, int32_t words) override;
};

// The name of a digital state as the probes and watch records show it ("SHI", "CON", ...).
const char* statename(uint32_t state);
