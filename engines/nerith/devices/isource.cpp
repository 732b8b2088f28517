#include "engines/nerith/devices/acinputs.h"
#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/waveform.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t SourceDc = 1;
constexpr int32_t SourceAc = 7;
constexpr int32_t SourceVoltage = 21;
constexpr int32_t SourcePower = 22;

// An independent current source: its current flows from the positive terminal through the source
// to the negative one, so it leaves the circuit at the positive node and enters it at the negative.
struct Isource : LinearDevice {
    struct Hot {
        Waveform* wave;
        double dc;
        double present; // the value of the last load
        bool dcgiven;
        int32_t pos;
        int32_t neg;
        std::array<int32_t, 0> cells;
    };

    struct Instance : Bindable<Hot> {
        double dc;
        bool dcgiven = false;
        Waveform wave;
        SourceInputs inputs;
        int32_t pos = 0;
        int32_t neg = 0;
    };

    static double across(IFcircuit& ckt, const Instance& i)
    {
        return ckt.solution[static_cast<std::size_t>(i.pos)] - ckt.solution[static_cast<std::size_t>(i.neg)];
    }
    static double power(IFcircuit& ckt, const Instance& i)
    {
        return -across(ckt, i) * (i.wave.given() && i.bound ? i.hot->present : i.dc);
    }

    using Shape = Waveform::Shape;
    static constexpr auto parameters = parametertable<Instance>(
        {
            field<&Instance::dc, &Instance::dcgiven>("dc", SourceDc, "DC value").in("A"),
            waveform<&Instance::wave, Shape::Sine>("sine", SourceSine, "Sine source: IO IA FREQ TD THETA"),
            waveform<&Instance::wave, Shape::Pulse>(
                "pulse", SourcePulse, "Pulse source: I1 I2 TD TR TF PW PER"),
            waveform<&Instance::wave, Shape::Exp>(
                "exp", SourceExp, "Exponential source: I1 I2 TD1 TAU1 TD2 TAU2"),
            waveform<&Instance::wave, Shape::Sffm>(
                "sffm", SourceSffm, "Single frequency FM source: IO IA FC MDI FS"),
            waveform<&Instance::wave, Shape::Pwl>(
                "pwl", SourcePwl, "Piecewise linear source: T1 I1 T2 I2 ..."),
            pwldelay<&Instance::wave>(),
            pwlrepeat<&Instance::wave>(),
            computed<&across>("v", SourceVoltage, "Voltage across").in("V"),
            computed<&power>("p", SourcePower, "Power delivered").in("W"),
        },
        inputrows<Instance>(SourceAc, "A"));

    static int bind(IFcircuit& ckt, Instance& i, Hot& h)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(ckt, i, 2, nodes))
            return code;
        i.pos = h.pos = nodes[0];
        i.neg = h.neg = nodes[1];
        h.wave = &i.wave;
        h.present = 0;
        return 0;
    }

    static int check(IFcircuit&, const Instance& i, Hot& h)
    {
        if (!std::isfinite(i.dc))
            return fail(E_BADDEVICE, "current source %s has no finite value", i.name);
        h.dc = i.dc;
        h.dcgiven = i.dcgiven;
        return 0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        double* rhs = ckt.rhs.data();
        const double factor = ckt.srcfact;
        for (Hot& i : list) {
            i.present = sourcevalue(ckt, *i.wave, i.dc, i.dcgiven);
            const double value = factor * i.present;
            rhs[i.pos] -= value;
            rhs[i.neg] += value;
        }
    }

    static void acload(IFcircuit& ckt, const Instance& i, const Hot& h)
    {
        const IFcomplex value = excitation(ckt, i, i.inputs);
        ckt.rhs[static_cast<std::size_t>(h.pos)] -= value.real;
        ckt.rhs[static_cast<std::size_t>(h.neg)] += value.real;
        ckt.irhs[static_cast<std::size_t>(h.pos)] -= value.imag;
        ckt.irhs[static_cast<std::size_t>(h.neg)] += value.imag;
    }

    static void begin(IFcircuit& ckt, std::span<Hot> list)
    {
        for (const Hot& i : list)
            startwaveform(ckt, *i.wave);
    }

    static void accept(IFcircuit& ckt, std::span<const Hot> list)
    {
        for (const Hot& i : list)
            breakahead(ckt, *i.wave);
    }

    static void topology(Topology&, const Instance&, const Hot&) { }
};

} // namespace

extern const DeviceKind isourcekind;
constexpr DeviceKind isourcekind = devicekind<Isource>("Isource", "Independent current source", 2);

} // namespace nerith
