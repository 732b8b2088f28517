#pragma once

#include "engines/nerith/parameters.h"

#include <cmath>
#include <cstdint>

struct IFcircuit;

namespace nerith {

// The time function of an independent source, from the vector set on its "pulse", "sine", "exp",
// "sffm" or "pwl" parameter. The vector is kept by reference (its owner keeps it alive), so the
// source reads the caller's array; values left out, or given as 0 where 0 means nothing, take
// their defaults from the transient's step and stop time:
//   pulse V1 V2 TD TR TF PW PER   TR, TF: the step; PW, PER: the stop time (PER: no repetition)
//   sine  VO VA FREQ TD THETA PHASE  FREQ: 1 / stop time; PHASE in degrees
//   exp   V1 V2 TD1 TAU1 TD2 TAU2 TD1, TAU1, TAU2: the step; TD2: TD1 + the step
//   sffm  VO VA FC MDI FS         FC, FS: 1 / stop time
//   pwl   T1 V1 T2 V2 ...         times ascending; the first value before T1, the last after the end;
//                                 with TD= the points are delayed, with R= the stretch from that
//                                 point's time to the last repeats
class Waveform {
public:
    enum class Shape : int32_t { None, Pulse, Sine, Exp, Sffm, Pwl };

    // Takes the vector for `shape`: 0, or E_BADVALUE for more values than the shape has, a pwl
    // vector of an odd count, or times out of order or not finite.
    int set(Shape shape, const IFvector& vector);
    bool given() const { return shape_ != Shape::None; }
    // A pwl's delay (TD=) and the time its repetition starts from (R=; negative: none).
    void setdelay(double delay) { delay_ = delay; }
    int setrepeat(double from);
    // Takes the defaults of the run: the transient's step and stop time (0: none).
    void resolve(double step, double stop);
    // The value at `time`.
    double value(double time) const;
    // The first break point of the function after `time`; infinite when none is left.
    double nextbreak(double time) const;

private:
    double at(int32_t index) const { return index < count_ ? values_[index] : 0; }
    // A pwl's time relative to its points (delay and repetition taken out), and the time its cycle
    // starts at; `at` after the last point starts the next cycle.
    double pwltime(double time, double& base) const;
    // The index of a pwl's first point after `time` (the count of points when none is).
    int32_t firstpointafter(double time) const;

    Shape shape_ = Shape::None;
    const double* values_ = nullptr;
    int32_t count_ = 0;
    double p_[7] {}; // the resolved parameters of every shape but pwl, in vector order
    double delay_ = 0; // pwl
    double repeat_ = -1; // pwl; negative: no repetition
};

// The value of a source with waveform `wave` and DC value `dc` at the present point: the DC value
// in a DC operating point or transfer curve when it was given (or there is no waveform), else the
// waveform at the present time of a transient, at 0 otherwise.
double sourcevalue(const IFcircuit& ckt, const Waveform& wave, double dc, bool dcgiven);

// At the start of a transient: the waveform takes the run's defaults and sets its first break point.
void startwaveform(IFcircuit& ckt, Waveform& wave);
// After an accepted point: the waveform's next break point.
void breakahead(IFcircuit& ckt, const Waveform& wave);

// The parameter ids a source's waveforms share.
inline constexpr int32_t SourceSine = 2;
inline constexpr int32_t SourcePulse = 3;
inline constexpr int32_t SourceExp = 4;
inline constexpr int32_t SourceSffm = 5;
inline constexpr int32_t SourcePwl = 6;
inline constexpr int32_t SourcePwlDelay = 30;
inline constexpr int32_t SourcePwlRepeat = 31;

template <auto Wave, Waveform::Shape Shape, class Owner = typename MemberOf<decltype(Wave)>::Owner>
int setwaveform(Owner& owner, const IFvalue& value)
{
    return (owner.*Wave).set(Shape, value.v);
}

template <auto Wave, class Owner = typename MemberOf<decltype(Wave)>::Owner>
int setpwldelay(Owner& owner, const IFvalue& value)
{
    if (!std::isfinite(value.rValue))
        return E_BADVALUE;
    (owner.*Wave).setdelay(value.rValue);
    return 0;
}

template <auto Wave, class Owner = typename MemberOf<decltype(Wave)>::Owner>
int setpwlrepeat(Owner& owner, const IFvalue& value)
{
    return (owner.*Wave).setrepeat(value.rValue);
}

// The rows of a pwl's delay and repetition.
template <auto Wave> constexpr auto pwldelay()
{
    return settable<&setpwldelay<Wave>>("td", SourcePwlDelay, IF_REAL, "Delay of the piecewise linear source");
}
template <auto Wave> constexpr auto pwlrepeat()
{
    return settable<&setpwlrepeat<Wave>>(
        "r", SourcePwlRepeat, IF_REAL, "Time of the piecewise linear source it repeats from");
}

// The row of a source's waveform parameter: a vector of reals that makes `Wave` of that shape.
template <auto Wave, Waveform::Shape Shape>
constexpr auto waveform(const char* keyword, int32_t id, const char* description)
{
    return settable<&setwaveform<Wave, Shape>>(keyword, id, IF_REAL | IF_VECTOR, description);
}

} // namespace nerith
