#pragma once

#include <cstdint>

namespace nerith {

enum class Method : int32_t { Trapezoidal, Gear };

// The settings of a task, set through its "options" analysis, whose parameter table holds their
// defaults and units. Tolerances follow the usual SPICE meaning; settings of analyses and devices
// not built yet are kept for them.
struct Options {
    Options(); // every setting at its default

    double abstol; // absolute current tolerance
    double chgtol;
    double pivtol; // a pivot below this, relative to its row, counts as zero
    double reltol;
    double vntol; // absolute voltage tolerance
    double pivrel; // partial-pivoting threshold
    double gmin; // smallest conductance; the end point of gmin stepping
    double trangmin;
    double rshunt; // a resistor from every node to ground; 0: none
    double defad;
    double defas;
    double defl;
    double defw;
    bool badmos3;
    bool oldlimit;
    int32_t srcsteps; // most steps source stepping may take; 0: none
    int32_t gminsteps; // most steps gmin stepping may take; 0: none
    int32_t itl1; // Newton iterations of one operating-point solution
    int32_t itl2;
    int32_t itl4;
    bool noopiter; // go straight to gmin stepping
    Method method = Method::Trapezoidal;
    int32_t maxord;
    bool trytocompact;
    bool bypass;
    double temp; // degrees Celsius
    double tnom;
    double trtol;
    double tmin;
    double minbreak; // smallest spacing of break points; 0: the transient chooses
};

} // namespace nerith
