#pragma once

// The link between a pin of a placed object and the end of a wire: every pin that can take a wire
// has one. A wire always runs between two object pins (wires join each other only through junction
// dots), so the records of both its end pins name the same wire.

#include <cstdint>

#include "platform/ombrel/point.h"

class WIRE;

// Pins within this distance of the best found so far still count as nearer (0.025 inch), so that
// among pins on one node the later one is taken.
constexpr int PINNEARNESS = 63500;

class PINCONN {
public:
    // Takes the wire when the pin is free; 1 when it was free. A null wire only asks.
    int attach(WIRE* newwire);
    // Lets go of the wire when it is this one; 1 when it was.
    int detach(WIRE* oldwire);
    int isfree() const { return wire == nullptr; }
    WIRE* getwire() const { return wire; }

    WIRE* wire = nullptr; // not owned
    uint32_t tagged = 0; // the wire is tagged together with the object
    int32_t visited = 0; // by the netlist walk
};

// Whether the pin at pinpoint is no farther from point than the best distance plus PINNEARNESS;
// when it is, its distance becomes the best.
int testnearer(POINT point, POINT pinpoint, int* best);
