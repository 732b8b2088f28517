#pragma once

#include "simulator/models/parts/spicecpt.h"

#include <vector>

// GENERATOR: the independent stimulus source, a voltage or current source of the SPICE engine
// driven by one time function chosen by the row's kind: DC, sine, pulse, exponential,
// single-frequency FM or piecewise linear. Its properties (keys with alias names, values that are
// expressions over the circuit's variables) become the vector the engine's source takes; it can be
// the frequency reference of small-signal analyses and limits the transient's step and breakpoint
// spacing to what its waveform needs. The supply generators the circuit makes are DC generators.

class GENERATOR final : public SPICECPT {
public:
    using SPICECPT::SPICECPT;

    // 10: a part with exactly two pins binds them as every SPICE part. A one-pin generator puts its
    // net on terminal 1 and ground on terminal 2 for a voltage source, ground on 1 and the net on 2
    // for a current source (which so drives positive current into the net); not reported on failure.
    void bindpins(IFcircuit* circuit) override;
    // 17: sets the engine's "dc" from DC (default 0), then the waveform parameter (the row's value
    // keyword) from the kind's loader; "Failed load generator value" when the device has no such
    // parameter or refuses the value (the waveform it held before stays, with the vector it uses).
    void initialise(CIRCUIT* circuit, void* models) override;
    // 18: when name is this part's (without regard to case): AC magnitude 1, phase 0 and both
    // distortion inputs 1 where the device has them, and the message "%s selected as frequency
    // reference". Other names: nothing.
    void setreference(const char* name, IFcircuit* circuit) override;
    // 19: lowers *tmax to a thirtieth of the period of a sine (of the shorter period of an FM
    // source) and *minbreak to half the shorter edge of a pulse or half the closest spacing of
    // piecewise-linear points, from the last waveform read; other limits are left alone.
    void limitsteps(double* tmax, double* minbreak) override;

    // The value of the first key of a comma-separated list ("VO,OFFSET") that is present (with a
    // text that is not empty) and evaluates against the circuit's variables: 1 with *out set. A key whose
    // text is "?" or
    // "[NULL]", or does not evaluate, is warned about ("Value expected for property '%s' in '%s'")
    // and the next key is tried. 0 with *out = def when no key gives a value.
    int getparam(const char* keys, CIRCUIT* owner, double* out, double def);

    // The waveform vector the engine holds by reference (empty for DC); kept alive until the
    // engine takes another or the part goes, which is after the engine's circuit.
    std::vector<double> coefficients;

private:
    // The loaders of the six kinds: the value the engine's waveform parameter takes.
    double loaddc(CIRCUIT* owner);
    std::vector<double> loadsine(CIRCUIT* owner);
    std::vector<double> loadpulse(CIRCUIT* owner);
    std::vector<double> loadexp(CIRCUIT* owner);
    std::vector<double> loadsffm(CIRCUIT* owner);
    std::vector<double> loadpwl(CIRCUIT* owner);
    // VA of a sine or FM source: VA or AMP, else half of PEAK (peak to peak), else RMS times the
    // square root of 2, else 1.
    double amplitude(CIRCUIT* owner);

    // The distortion inputs of a frequency reference; the engine holds them by reference.
    double distortion[2] { 1, 1 };
};
