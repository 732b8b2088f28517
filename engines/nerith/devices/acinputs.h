#pragma once

#include "engines/nerith/parameters.h"

#include <array>
#include <cstdint>

struct IFcircuit;

// What an independent source adds to the small-signal analyses: its AC value and its distortion
// inputs at the frequencies F1 and F2, each a magnitude and a phase in degrees.

namespace nerith {

// The phasor a source adds to a small-signal solution with the circuit's present excitation: its AC
// value, 1 when it is the noise analysis's input, half its distortion input of that tone (the
// e^(jwt) half of a cosine), else 0.
struct SourceInputs {
    double acmag = 0;
    double acphase = 0;
    std::array<double, 2> tone1 {}; // distof1: magnitude, phase
    std::array<double, 2> tone2 {};
    bool tone1given = false;
    bool tone2given = false;
};
IFcomplex excitation(const IFcircuit& ckt, const IFinstance& source, const SourceInputs& inputs);

template <class Instance, std::array<double, 2> SourceInputs::*Tone, bool SourceInputs::*Given>
int settone(Instance& source, const IFvalue& value)
{
    const int32_t count = value.v.numValue;
    if (count < 1 || count > 2 || !value.v.vec.rVec)
        return E_BADVALUE;
    const double magnitude = value.v.vec.rVec[0];
    const double phase = count == 2 ? value.v.vec.rVec[1] : 0;
    if (!std::isfinite(magnitude) || !std::isfinite(phase))
        return E_BADVALUE;
    source.inputs.*Tone = { magnitude, phase };
    source.inputs.*Given = true;
    return 0;
}

template <class Instance, double SourceInputs::*Member> int setinput(Instance& source, const IFvalue& value)
{
    if (!std::isfinite(value.rValue))
        return E_BADVALUE;
    source.inputs.*Member = value.rValue;
    return 0;
}

template <class Instance, double SourceInputs::*Member> double askinput(IFcircuit&, const Instance& source)
{
    return source.inputs.*Member;
}

// The rows of a source's inputs with the ids first (ACMAG), first + 1 (ACPHASE), first + 2 and 3
// (DISTOF1, DISTOF2). An `Instance` keeps them in its member `inputs`.
template <class Instance>
constexpr std::array<Parameter<Instance>, 4> inputrows(int32_t first, const char* unit)
{
    auto real = [](const char* keyword, int32_t id, const char* description, auto set, auto ask) {
        Parameter<Instance> row = rows::basic<Instance>(keyword, id, IF_REAL | IF_SET | IF_ASK, description);
        row.set = set;
        row.ask = ask;
        return row;
    };
    return {
        real("acmag", first, "AC magnitude", &rows::setby<&setinput<Instance, &SourceInputs::acmag>>,
            &rows::askcomputed<&askinput<Instance, &SourceInputs::acmag>>)
            .in(unit),
        real("acphase", first + 1, "AC phase", &rows::setby<&setinput<Instance, &SourceInputs::acphase>>,
            &rows::askcomputed<&askinput<Instance, &SourceInputs::acphase>>)
            .in("deg"),
        settable<&settone<Instance, &SourceInputs::tone1, &SourceInputs::tone1given>>(
            "distof1", first + 2, IF_REAL | IF_VECTOR, "Distortion input at F1: magnitude [phase]"),
        settable<&settone<Instance, &SourceInputs::tone2, &SourceInputs::tone2given>>(
            "distof2", first + 3, IF_REAL | IF_VECTOR, "Distortion input at F2: magnitude [phase]"),
    };
}

} // namespace nerith
