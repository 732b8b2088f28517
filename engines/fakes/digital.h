#pragma once

#include "engines/pallex/pallex.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The recording fake of the digital engine: the exports of pallex.h, each recorded
// (engines/fakes/recorder.h). It keeps parts, pins, nets and interface links by name and simulates
// nothing: states change only when a test or a caller sets them.
namespace fakes {

class DigitalPin final : public IPALLEXPIN2 {
public:
    STATE getstate() override { return state; }
    int ishigh() override { return (state & STATE_LEVEL) == STATE_HIGH; }
    int setstate(int64_t, STATE value) override
    {
        state = value;
        return 1;
    }
    STATE state = STATE_FLT;
};

struct Callback {
    int64_t time;
    IPALLEXMODEL* model;
    intptr_t value;
};

class DigitalCircuit final : public IPALLEXCKT {
public:
    int64_t gettime() override { return time; }
    int setcallback(int64_t time, IPALLEXMODEL* model, intptr_t value) override;
    void suspend(IINSTANCE* owner, const char* text) override;
    void requesttime(int64_t time) override;

    int64_t time = 0;
    std::vector<Callback> callbacks;
    std::vector<int64_t> requests;
};

struct Digital {
    // Scripts.
    std::map<std::string, std::vector<std::string>> adcs;  // per net: the parts its ADCs serve
    std::map<std::string, std::vector<std::string>> dacs;  // per net: the parts its DACs serve
    std::set<std::string> unknowntypes;                    // pallex_create refuses these
    std::map<std::string, std::pair<STATE, double>> dacstates; // per net: what its DAC links read
                                                                // and since when (seconds)
    // What the fake holds.
    DigitalCircuit circuit;
    std::map<std::string, STATE> nets;  // digital nets and their live states
    bool initialized = false;
};

Digital& digital();
// Restores the fake as loaded (called by fakes::reset).
void resetdigital();
// Pin `index` of the part made for the instance named `part`; null when there is none.
DigitalPin* digitalpin(const std::string& part, int32_t index);

}  // namespace fakes
