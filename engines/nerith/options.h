#pragma once

#include <cstdint>

namespace nerith {

enum class Method : int32_t { Trapezoidal, Gear };

// The settings of a task, set through its "options" analysis. Tolerances follow the usual SPICE
// meaning; settings of analyses and devices not built yet are kept for them.
struct Options {
    double abstol = 1e-12; // absolute current tolerance (A)
    double chgtol = 1e-14; // charge tolerance (C)
    double pivtol = 1e-13; // a pivot below this, relative to its row, counts as zero
    double reltol = 1e-3;
    double vntol = 1e-6; // absolute voltage tolerance (V)
    double pivrel = 1e-3; // partial-pivoting threshold
    double gmin = 1e-12; // smallest conductance (S); the end point of gmin stepping
    double trangmin = 1e-9;
    double rshunt = 0; // a resistor from every node to ground (ohm); 0: none
    double defad = 0;
    double defas = 0;
    double defl = 1e-4;
    double defw = 1e-4;
    bool badmos3 = false;
    bool oldlimit = false;
    int32_t srcsteps = 120; // most steps source stepping may take; 0: none
    int32_t gminsteps = 120; // most steps gmin stepping may take; 0: none
    int32_t itl1 = 100; // Newton iterations of one operating-point solution
    int32_t itl2 = 50;
    int32_t itl4 = 10;
    bool noopiter = false; // go straight to gmin stepping
    Method method = Method::Trapezoidal;
    int32_t maxord = 2;
    bool trytocompact = false;
    bool bypass = true;
    double temp = 27; // degrees Celsius
    double tnom = 27;
    double trtol = 7;
    double tmin = 1e-18;
    double minbreak = 0; // smallest spacing of break points (s); 0: the transient chooses
};

} // namespace nerith
