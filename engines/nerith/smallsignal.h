#pragma once

#include "engines/nerith/parameters.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct IFcircuit;
struct IFinstance;

namespace nerith {

enum class Excitation : int32_t;

// How a frequency sweep spaces its points.
enum class Spacing : int32_t { None, Decade, Octave, Linear };

// A frequency sweep of the small-signal analyses.
struct SweepSettings {
    double start; // Hz
    double stop;
    int32_t points; // per decade or octave, or in all
    Spacing spacing = Spacing::None;
};

// The frequencies of a sweep: `points` per decade or octave from start up to stop (the last within
// RELTOL of a step past it), or `points` evenly spaced from start to stop. 0, or fail()'s
// E_BADVALUE naming the `analysis` and what is wrong with the sweep.
int frequencies(const char* analysis, const SweepSettings& sweep, double reltol, std::vector<double>* out);

// The operating point of the analysis linearised: solved (with the digital side settled), then
// loaded once more in MODE_INITSMSIG so that every device records its small-signal values there.
// 0, or fail()'s code.
int linearise(IFcircuit& ckt, const char* analysis);

// An independent source of the circuit and where a unit excitation of it enters the right-hand side.
struct IndependentSource {
    const IFinstance* device = nullptr;
    bool voltage = false;
    int32_t branch = 0; // of a voltage source
    int32_t pos = 0;
    int32_t neg = 0;
};

// The source named `wanted` that `analysis` takes as its `role` ("input", "output"): 0, or fail()'s
// E_BADVALUE when there is no such voltage or current source, or only a current source where
// `voltageonly`.
int findsource(IFcircuit& ckt, const char* analysis, const std::string& wanted, const char* role,
    bool voltageonly, IndependentSource* out);

// Factors the real system loaded by linearise(). 0, or fail()'s code naming the analysis.
int factoroperatingpoint(IFcircuit& ckt, const char* analysis);

// Loads the complex system at angular frequency `omega` with the sources `excitation` selects and
// factors it; solvesmallsignal() then solves it. 0, or fail()'s code naming the analysis.
int factorsmallsignal(IFcircuit& ckt, const char* analysis, double omega, Excitation excitation);
// The solution of the system factored last for the right-hand side in ckt.rhs and ckt.irhs, left in
// them; `transposed` solves the transposed system (the adjoint of the noise analysis).
void solvesmallsignal(IFcircuit& ckt, bool transposed = false);

template <class Owner, Spacing Kind> int setspacing(Owner& owner, const IFvalue& value)
{
    if (value.iValue != 0 && value.iValue != 1)
        return E_BADTYPE;
    if (value.iValue)
        owner.spacing = Kind;
    else if (owner.spacing == Kind)
        owner.spacing = Spacing::None;
    return 0;
}

template <class Owner, Spacing Kind> int askspacing(IFcircuit&, Owner& owner, IFvalue& value)
{
    value.iValue = owner.spacing == Kind ? 1 : 0;
    return 0;
}

// The row of one spacing's flag: setting it chooses that spacing.
template <class Owner, Spacing Kind>
constexpr Parameter<Owner> spacingrow(const char* keyword, int32_t id, const char* description)
{
    Parameter<Owner> row = rows::basic<Owner>(keyword, id, IF_FLAG | IF_SET | IF_ASK, description);
    row.set = &rows::setby<&setspacing<Owner, Kind>>;
    row.ask = &askspacing<Owner, Kind>;
    return row;
}

// A row of a member of the sweep in an analysis's settings (`Owner` derives from SweepSettings).
template <class Owner, auto Member>
constexpr Parameter<Owner> sweeprow(const char* keyword, int32_t id, const char* description)
{
    using T = typename MemberOf<decltype(Member)>::Type;
    Parameter<Owner> row = rows::basic<Owner>(keyword, id, kindof<T>() | IF_SET | IF_ASK, description);
    row.set = &rows::setmember<Member, nullptr, Owner>;
    row.ask = &rows::askmember<Member, Owner>;
    row.reset = &rows::resetmember<Member, Owner>;
    return row;
}

// The rows of a sweep, ids from `first` on: start, stop, points and the DEC, OCT and LIN flags.
template <class Owner>
constexpr std::array<Parameter<Owner>, 6> sweeprows(const char* start, const char* stop, int32_t first)
{
    return {
        sweeprow<Owner, &SweepSettings::start>(start, first, "Start frequency").in("Hz"),
        sweeprow<Owner, &SweepSettings::stop>(stop, first + 1, "Stop frequency").in("Hz"),
        sweeprow<Owner, &SweepSettings::points>(
            "numsteps", first + 2, "Points per decade or octave, or in all"),
        spacingrow<Owner, Spacing::Decade>("dec", first + 3, "Points spaced by decades"),
        spacingrow<Owner, Spacing::Octave>("oct", first + 4, "Points spaced by octaves"),
        spacingrow<Owner, Spacing::Linear>("lin", first + 5, "Points spaced evenly"),
    };
}

} // namespace nerith
