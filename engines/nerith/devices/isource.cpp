#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/waveform.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t SourceDc = 1;
constexpr int32_t SourceVoltage = 21;
constexpr int32_t SourcePower = 22;

const IFparm parameters[] = {
    { "dc", SourceDc, IF_REAL | IF_SET | IF_ASK, "DC value" },
    { "sine", SourceSine, WaveformVector, "Sine source: IO IA FREQ TD THETA" },
    { "pulse", SourcePulse, WaveformVector, "Pulse source: I1 I2 TD TR TF PW PER" },
    { "exp", SourceExp, WaveformVector, "Exponential source: I1 I2 TD1 TAU1 TD2 TAU2" },
    { "sffm", SourceSffm, WaveformVector, "Single frequency FM source: IO IA FC MDI FS" },
    { "pwl", SourcePwl, WaveformVector, "Piecewise linear source: T1 I1 T2 I2 ..." },
    { "v", SourceVoltage, IF_REAL | IF_ASK, "Voltage across" },
    { "p", SourcePower, IF_REAL | IF_ASK, "Power delivered" },
};

// An independent current source: its current flows from the positive terminal through the source
// to the negative one, so it leaves the circuit at the positive node and enters it at the negative.
struct Isource : LinearDevice {
    struct Instance : IFinstance {
        double dc = 0;
        bool dcgiven = false;
        Waveform wave;
        double present = 0; // the value of the last load
        int32_t pos = 0;
        int32_t neg = 0;
    };

    static int set(Instance& i, int32_t id, const IFvalue& value)
    {
        if (id == SourceDc) {
            i.dc = value.rValue;
            i.dcgiven = true;
            return 0;
        }
        const Waveform::Shape shape = waveformshape(id);
        return shape == Waveform::Shape::None ? E_BADPARM : i.wave.set(shape, value.v);
    }

    static int ask(IFcircuit& ckt, Instance& i, int32_t id, IFvalue& value)
    {
        const double across
            = ckt.solution[static_cast<std::size_t>(i.pos)] - ckt.solution[static_cast<std::size_t>(i.neg)];
        switch (id) {
        case SourceDc:
            value.rValue = i.dc;
            return 0;
        case SourceVoltage:
            value.rValue = across;
            return 0;
        case SourcePower:
            value.rValue = -across * (i.wave.given() ? i.present : i.dc);
            return 0;
        default:
            return E_BADPARM;
        }
    }

    static int check(IFcircuit&, Instance& i)
    {
        if (!std::isfinite(i.dc))
            return fail(E_BADDEVICE, "current source %s has no finite value", i.name.c_str());
        return 0;
    }

    static int bind(IFcircuit&, Instance& i)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(i, 2, nodes))
            return code;
        i.pos = nodes[0];
        i.neg = nodes[1];
        return 0;
    }

    static void unbind(Instance&) { }

    static void load(IFcircuit& ckt, std::deque<Instance>& list)
    {
        double* rhs = ckt.rhs.data();
        const double factor = ckt.srcfact;
        for (Instance& i : list) {
            if (i.deleted)
                continue;
            i.present = sourcevalue(ckt, i.wave, i.dc, i.dcgiven);
            const double value = factor * i.present;
            rhs[i.pos] -= value;
            rhs[i.neg] += value;
        }
    }

    static void begin(IFcircuit& ckt, std::deque<Instance>& list)
    {
        for (Instance& i : list) {
            if (!i.deleted)
                startwaveform(ckt, i.wave);
        }
    }

    static void accept(IFcircuit& ckt, std::deque<Instance>& list)
    {
        for (const Instance& i : list) {
            if (!i.deleted)
                breakahead(ckt, i.wave);
        }
    }

    static void topology(Topology&, const Instance&) { }
};

} // namespace

extern const DeviceKind isourcekind;
const DeviceKind isourcekind { { "Isource", "Independent current source", 2, count(parameters), parameters, 0,
                                   nullptr },
    &makefamily<Isource> };

} // namespace nerith
