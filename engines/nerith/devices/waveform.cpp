#include "engines/nerith/devices/waveform.h"

#include "engines/nerith/ckt.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace nerith {

namespace {

constexpr double Never = std::numeric_limits<double>::infinity();

int32_t capacity(Waveform::Shape shape)
{
    switch (shape) {
    case Waveform::Shape::Pulse:
        return 7;
    case Waveform::Shape::Exp:
    case Waveform::Shape::Sine:
        return 6;
    case Waveform::Shape::Sffm:
        return 5;
    default:
        return std::numeric_limits<int32_t>::max();
    }
}

double orelse(double value, double fallback)
{
    return value != 0 ? value : fallback;
}

// The earliest of `times` (each offset by `base`) after `time`.
template <std::size_t N> double earliestafter(double time, double base, const double (&times)[N])
{
    double earliest = Never;
    for (double offset : times) {
        const double at = base + offset;
        if (at > time)
            earliest = std::min(earliest, at);
    }
    return earliest;
}

} // namespace

int Waveform::set(Shape shape, const IFvector& vector)
{
    const int32_t count = vector.numValue;
    if (count < 0 || count > capacity(shape) || (count > 0 && !vector.vec.rVec))
        return E_BADVALUE;
    const double* values = vector.vec.rVec;
    for (int32_t i = 0; i < count; ++i) {
        if (!std::isfinite(values[i]))
            return E_BADVALUE;
    }
    if (shape == Shape::Pwl) {
        if (count < 2 || count % 2 != 0)
            return E_BADVALUE;
        for (int32_t i = 2; i < count; i += 2) {
            if (values[i] < values[i - 2])
                return E_BADVALUE;
        }
    }
    shape_ = shape;
    values_ = values;
    count_ = count;
    resolve(0, 0);
    return 0;
}

int Waveform::setrepeat(double from)
{
    if (!std::isfinite(from) || from < 0)
        return E_BADVALUE;
    repeat_ = from;
    return 0;
}

int32_t Waveform::firstpointafter(double time) const
{
    int32_t low = 0;
    int32_t high = count_ / 2;
    while (low < high) {
        const int32_t middle = (low + high) / 2;
        if (values_[2 * middle] > time)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

double Waveform::pwltime(double time, double& base) const
{
    base = delay_;
    double t = time - delay_;
    const double end = values_[count_ - 2];
    if (repeat_ >= 0 && end > repeat_ && t >= end) {
        const double span = end - repeat_;
        const double cycles = std::floor((t - repeat_) / span);
        base += cycles * span;
        t -= cycles * span;
    }
    return t;
}

void Waveform::resolve(double step, double stop)
{
    const double frequency = stop > 0 ? 1 / stop : 0;
    for (int32_t i = 0; i < 7; ++i)
        p_[i] = at(i);
    switch (shape_) {
    case Shape::Pulse:
        p_[3] = orelse(p_[3], step);
        p_[4] = orelse(p_[4], step);
        p_[5] = orelse(p_[5], stop);
        p_[6] = orelse(p_[6], stop);
        break;
    case Shape::Sine:
        p_[2] = orelse(p_[2], frequency);
        break;
    case Shape::Exp:
        p_[2] = orelse(p_[2], step);
        p_[3] = orelse(p_[3], step);
        p_[4] = orelse(p_[4], p_[2] + step);
        p_[5] = orelse(p_[5], step);
        break;
    case Shape::Sffm:
        p_[2] = orelse(p_[2], frequency);
        p_[4] = orelse(p_[4], frequency);
        break;
    default:
        break;
    }
}

double Waveform::value(double time) const
{
    const double* p = p_;
    switch (shape_) {
    case Shape::Pulse: {
        const double v1 = p[0], v2 = p[1], rise = p[3], fall = p[4], width = p[5], period = p[6];
        double t = time - p[2];
        if (t <= 0)
            return v1;
        // The end of a period still belongs to it: a pulse whose rise and width fill the period
        // holds its value there rather than starting the next one.
        if (period > 0 && t > period) {
            t = std::fmod(t, period);
            if (t == 0)
                t = period;
        }
        if (t < rise)
            return v1 + (v2 - v1) * t / rise;
        if (t <= rise + width)
            return v2;
        if (t < rise + width + fall)
            return v2 + (v1 - v2) * (t - rise - width) / fall;
        return v1;
    }
    case Shape::Sine: {
        // The phase is in degrees, any value; before the delay the source stands at its phase.
        const double t = std::max(time - p[3], 0.0);
        const double phase = p[5] * std::numbers::pi / 180;
        return p[0] + p[1] * std::exp(-t * p[4]) * std::sin(2 * std::numbers::pi * p[2] * t + phase);
    }
    case Shape::Exp: {
        const double v1 = p[0], v2 = p[1], delay1 = p[2], tau1 = p[3], delay2 = p[4], tau2 = p[5];
        double v = v1;
        if (time > delay1)
            v += (v2 - v1) * -std::expm1(-(time - delay1) / tau1);
        if (time > delay2)
            v += (v1 - v2) * -std::expm1(-(time - delay2) / tau2);
        return v;
    }
    case Shape::Sffm: {
        const double carrier = 2 * std::numbers::pi * p[2] * time;
        const double signal = 2 * std::numbers::pi * p[4] * time;
        return p[0] + p[1] * std::sin(carrier + p[3] * std::sin(signal));
    }
    case Shape::Pwl: {
        const int32_t points = count_ / 2;
        const double* v = values_;
        double base = 0;
        time = pwltime(time, base);
        if (time <= v[0])
            return v[1];
        if (time >= v[2 * (points - 1)])
            return v[2 * points - 1];
        // The segment [k - 1, k] holding the time: k the first point after it.
        const int32_t low = firstpointafter(time);
        const double t0 = v[2 * low - 2], v0 = v[2 * low - 1], t1 = v[2 * low], v1 = v[2 * low + 1];
        return t1 > t0 ? v0 + (v1 - v0) * (time - t0) / (t1 - t0) : v1;
    }
    case Shape::None:
        break;
    }
    return 0;
}

double Waveform::nextbreak(double time) const
{
    const double* p = p_;
    switch (shape_) {
    case Shape::Pulse: {
        const double corners[] = { 0, p[3], p[3] + p[5], p[3] + p[5] + p[4] };
        const double delay = p[2];
        const double period = p[6];
        if (time < delay || !(period > 0))
            return earliestafter(time, delay, corners);
        const double cycle = std::floor((time - delay) / period);
        return std::min(earliestafter(time, delay + cycle * period, corners),
            earliestafter(time, delay + (cycle + 1) * period, corners));
    }
    case Shape::Sine:
        return p[3] > time ? p[3] : Never;
    case Shape::Exp: {
        const double corners[] = { p[2], p[4] };
        return earliestafter(time, 0, corners);
    }
    case Shape::Pwl: {
        // The first point after the time; past the last point a repeating source goes on with the
        // first point after its repetition's start.
        double base = 0;
        const double t = pwltime(time, base);
        const int32_t next = firstpointafter(t);
        if (next < count_ / 2)
            return base + values_[2 * next];
        const double end = values_[count_ - 2];
        if (repeat_ < 0 || !(end > repeat_))
            return Never;
        const int32_t again = firstpointafter(repeat_);
        return base + (end - repeat_) + values_[2 * again];
    }
    default:
        return Never;
    }
}

void startwaveform(IFcircuit& ckt, Waveform& wave)
{
    if (!wave.given())
        return;
    wave.resolve(ckt.sourcestep, ckt.sourcestop);
    breakahead(ckt, wave);
}

void breakahead(IFcircuit& ckt, const Waveform& wave)
{
    const double next = wave.nextbreak(ckt.time);
    if (next < Never)
        addbreak(ckt, next);
}

double sourcevalue(const IFcircuit& ckt, const Waveform& wave, double dc, bool dcgiven)
{
    if (!wave.given())
        return dc;
    if ((ckt.mode & (MODE_DCOP | MODE_DCTRANCURVE)) && dcgiven)
        return dc;
    return wave.value(ckt.mode & MODE_TRAN ? ckt.time : 0);
}

} // namespace nerith
