#pragma once

#include "simulator/kernel/activeevent.h"
#include "simulator/models/builtin/intmodel.h"

#include <cstdint>

// What the real-time instruments of the interactive run share: their identity towards the host,
// the reading they show, the rule by which they report it, and the analog stamps of a conductance
// and of a zero-volt ammeter between their first two pins.

class CIRCUIT;
class ISPICECKT;

// The run mode of a paused run: instruments keep their tick's buffers and mostly report nothing.
constexpr int32_t RUNMODE_PAUSED = 2;

// The record of a probe: sheet id and object id from the part carrying ACTIVE (the probe itself or
// its closest owner), the element from the probe's own ELEMENT; false (sheet id 0xFFFFFFFF, object
// id 0: the probe never reports) when no part carries ACTIVE.
bool setidentity(ACTIVEEVENT& event, COMPONENT* probe, CIRCUIT* circuit);
// The event id of a switch or state source: the EID (hexadecimal) of the part carrying ACTIVE;
// -1 when none does.
int32_t eventid(COMPONENT* instrument, CIRCUIT* circuit);

// A reading as shown: times scale when scale is not 0, else normalised from [min, max] to [0, 1]
// (0 below the smaller end, 1 above the larger).
double shownreading(double value, double scale, double min, double max);
// Sets the record's value and appends it to list when time is 0 (the first tick) or the value
// differs from the one last reported (compared exactly; NaN never equals).
void reportvalue(ACTIVEEVENT& event, double time, double value, DPA* list);
// A buffer record of the tick, appended without a change test: the number of time points and of
// channels, and the ids of the time points and of the samples (channels per time point).
void reportbuffer(ACTIVEEVENT& event, int32_t kind, size_t points, size_t channels, const void* times,
    const void* samples, DPA* list);
// Sets a 32-bit state or pattern in words[0] and appends it by the change rule.
void reportstate(ACTIVEEVENT& event, double time, uint32_t state, DPA* list);
// Sheet id, object id and element from a property of hexadecimal numbers separated by ':'
// ("3:1A:2"); what the text lacks stays as the record had it.
void readidentity(ACTIVEEVENT& event, const char* text);

// The matrix cells of a conductance between two nodes, fetched once at set-up.
struct CONDUCTANCESTAMP {
    double* pp = nullptr;
    double* qq = nullptr;
    double* pq = nullptr;
    double* qp = nullptr;

    void fetch(ISPICECKT* circuit, int32_t p, int32_t q);
    void load(double conductance) const;
};

// A zero-volt ammeter between two nodes: a branch row whose value is the current entering at p.
struct AMMETERSTAMP {
    int32_t branch = 0; // 0: none
    double* pb = nullptr;
    double* bp = nullptr;
    double* qb = nullptr;
    double* bq = nullptr;

    // Makes the branch (named after the instance and "branch") when there is none, then fetches
    // the cells.
    void fetch(ISPICECKT* circuit, IINSTANCE* owner, int32_t p, int32_t q);
    void load() const;
};

// The voltage across the first two pins of an instrument (the first pin's alone when it has one);
// 0 without a solution.
double pinvoltage(const INTMODEL& instrument, const double* solution);
