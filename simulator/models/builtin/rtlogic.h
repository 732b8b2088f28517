#pragma once

#include "simulator/models/builtin/instrument.h"

#include "engines/pallex/state.h"

#include <vector>

// RTDPROBE and RTDBREAK: digital instruments of the interactive run, simulated by the digital
// engine as its models. The logic probe shows the bit pattern of its pins each tick (-1 while a
// pin is neither high nor low), or with MODE CONTINUOUS every state of the tick; the digital
// breakpoint stops the run each time its pins arrive at the pattern VALUE (not before AFTER).

class RTDPROBE final : public INTMODEL {
public:
    using INTMODEL::INTMODEL;

    int isdigitalpin(SDF_PIN*) override { return 1; }
    // Identity (the record kind says whether it has ELEMENT) and MODE.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // Unless paused, a new tick: the buffers emptied.
    void setrunmode(int32_t mode) override;
    void runmode(int32_t mode) override { setrunmode(mode); }
    // CONTINUOUS: the tick's states sampled up to the tick, as a buffer (nothing while paused);
    // else the pattern by the change rule. 0 for a probe that reports nothing.
    int activeevents(double time, DPA* list) override;
    // CONTINUOUS: the pins' states at each first call and evaluation of the tick.
    void simulate(int64_t time, uint32_t mode) override;

    ACTIVEEVENT event {};
    bool active = false;
    bool continuous = false;
    int32_t run = 0;
    std::vector<int64_t> times; // picoseconds
    std::vector<STATE> states; // one per pin per time point

private:
    uint32_t pattern() const;
};

class RTDBREAK final : public INTMODEL {
public:
    using INTMODEL::INTMODEL;

    int isdigitalpin(SDF_PIN*) override { return 1; }
    // VALUE (with a radix prefix; masked to the pins) and AFTER.
    void initialise(CIRCUIT* circuit, void* argument) override;
    void bindpallex(IINSTANCE* owner, IPALLEXCKT* circuit) override;
    // The first call asks for a callback at AFTER; each evaluation tests the pattern.
    void simulate(int64_t time, uint32_t mode) override;
    void callback(int64_t time, intptr_t value) override;

    uint32_t trigger = 0;
    int64_t after = 0; // picoseconds
    bool fired = false;
};
