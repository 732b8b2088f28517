#include "engines/nerith/devices/control.h"
#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/noise.h"

#include <cmath>

namespace nerith {

namespace {

constexpr int32_t Threshold = 1;
constexpr int32_t Hysteresis = 2;
constexpr int32_t OnResistance = 3;
constexpr int32_t OffResistance = 4;
constexpr int32_t TypeFlag = 5;
constexpr int32_t Controller = 1;
constexpr int32_t StartsOn = 2;
constexpr int32_t StartsOff = 3;
constexpr int32_t Current = 10;
constexpr int32_t Power = 11;

// A switch's state: on beyond threshold + hysteresis, off below threshold - hysteresis, unchanged
// in between.
inline double switchstate(double control, double threshold, double hysteresis, double before)
{
    if (control > threshold + hysteresis)
        return 1;
    if (control < threshold - hysteresis)
        return 0;
    return before;
}

// What a switch is called and what its model's thresholds are named.
struct Wording {
    const char* what;
    const char* threshold;
    const char* hysteresis;
    const char* unit;
    const char* flag; // the model type word
    // A step whose control heads for the threshold is cut so that it moves at most 3/4 of the way
    // plus this much: the switching point is approached, not overshot by a whole step.
    double margin;
};

constexpr Wording voltageswitch { "voltage-controlled switch", "vt", "vh", "V", "sw", 0.05 };
constexpr Wording currentswitch { "current-controlled switch", "it", "ih", "A", "csw", 5e-5 };

// The switches of SPICE3: a resistance RON or ROFF between the outputs, chosen by the control
// against a threshold with hysteresis. States: 0 the switch (0 off, 1 on), 1 the control. Within an
// operating point the state follows the control's iterate (starting from the instance's ON flag
// where the control lies in the hysteresis band); a transient point starts from the last accepted
// state, and a change within the iterations asks for one more.
template <class Control, const Wording& words> struct Switch {
    static constexpr bool Linear = false;

    struct Model : IFmodel {
        double threshold, hysteresis, ron, roff;
        bool rongiven = false;
        bool roffgiven = false;
        bool flag;
    };

    struct Hot {
        double gon; // the conductances of the run
        double goff;
        double threshold;
        double hysteresis;
        double conductance; // of the last load
        double start; // the state the instance's flag gives: 1 on, 0 off
        int32_t state;
        int32_t columns[Control::Columns];
        std::array<int32_t, 4> cells; // conductanceplaces()
    };

    struct Instance : Bindable<Hot>, Control::Fields {
        bool on;
        int32_t nodes[Control::Terminals] {};
    };

    static int setoff(Instance& s, const IFvalue& value)
    {
        if (value.iValue != 0 && value.iValue != 1)
            return E_BADTYPE;
        s.on = value.iValue == 0;
        return 0;
    }
    static double current(IFcircuit& ckt, const Instance& s)
    {
        const auto& x = ckt.solution;
        return s.bound ? s.hot->conductance
                * (x[static_cast<std::size_t>(s.nodes[0])] - x[static_cast<std::size_t>(s.nodes[1])])
                       : 0;
    }
    static double power(IFcircuit& ckt, const Instance& s)
    {
        const double i = current(ckt, s);
        return s.bound && s.hot->conductance > 0 ? i * i / s.hot->conductance : 0;
    }

    static constexpr auto parameters = parametertable<Instance>(
        {
            field<&Instance::on>("on", StartsOn, "Starts closed"),
            settable<&setoff>("off", StartsOff, IF_FLAG, "Starts open"),
            computed<&current>("i", Current, "Current").in("A"),
            computed<&power>("p", Power, "Power dissipated").in("W"),
        },
        Control::template rows<Instance>(Controller));
    static constexpr auto modelparameters = parametertable<Model>({
        field<&Model::threshold>(words.threshold, Threshold, "Threshold").in(words.unit),
        field<&Model::hysteresis>(words.hysteresis, Hysteresis, "Hysteresis").in(words.unit),
        field<&Model::ron, &Model::rongiven>("ron", OnResistance, "On resistance").in("ohm"),
        field<&Model::roff, &Model::roffgiven>("roff", OffResistance, "Off resistance").in("ohm"),
        field<&Model::flag>(words.flag, TypeFlag, "Switch model"),
    });

    static int bind(IFcircuit& ckt, Instance& s, Hot& h)
    {
        if (int code = terminalnumbers(ckt, s, Control::Terminals, s.nodes))
            return code;
        if (int code = Control::resolve(ckt, words.what, s, s.nodes, h.columns))
            return code;
        if ((h.state = ckt.models.allocstates(2)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", s.name);
        h.cells = conductanceplaces(ckt.matrix, s.nodes[0], s.nodes[1]);
        h.conductance = 0;
        return 0;
    }

    static int check(IFcircuit& ckt, const Instance& s, Hot& h)
    {
        const auto& m = static_cast<const Model&>(*s.model);
        // Unless given, a switch closes through 1 ohm and opens to GMIN.
        const double ron = m.rongiven ? m.ron : 1;
        const double roff = m.roffgiven ? m.roff : 1 / ckt.options.gmin;
        if (!(ron > 0 && roff > 0 && std::isfinite(ron) && std::isfinite(roff)))
            return fail(E_BADDEVICE, "%s %s: RON and ROFF must be finite resistances above 0, not %g and %g",
                words.what, s.name, ron, roff);
        if (!std::isfinite(m.threshold) || !std::isfinite(m.hysteresis))
            return fail(
                E_BADDEVICE, "%s %s has no finite threshold or hysteresis", words.what, s.name);
        h.gon = 1 / ron;
        h.goff = 1 / roff;
        h.threshold = m.threshold;
        h.hysteresis = m.hysteresis;
        h.start = s.on ? 1 : 0;
        return Control::check(words.what, s);
    }

    static void unbind(Instance& s) { Control::unbind(s); }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const uint32_t mode = ckt.mode;
        const double* x = ckt.solution.data();
        double* now = ckt.states[0].data();
        const double* last = ckt.states[1].data();
        double* a = ckt.matrix.stamps();
        for (Hot& s : list) {
            const double control = controlvalue<Control>(s.columns, x);
            const double present = now[s.state];
            double before;
            if (mode & (MODE_INITJCT | MODE_INITFIX))
                before = s.start;
            else if (mode & MODE_INITSMSIG)
                before = present;
            else if (mode & MODE_INITTRAN)
                // The first point follows the operating point, or with UIC the instance's flag.
                before = mode & MODE_UIC ? s.start : last[s.state];
            else if (mode & MODE_INITPRED)
                before = last[s.state];
            else
                before = present;
            const double state
                = mode & MODE_INITSMSIG ? before : switchstate(control, s.threshold, s.hysteresis, before);
            if ((mode & MODE_INITFLOAT) && state != present)
                ++ckt.noncon;
            now[s.state] = state;
            now[s.state + 1] = control;
            s.conductance = state != 0 ? s.gon : s.goff;
            stampconductance(a, s.cells.data(), s.conductance);
        }
    }

    // About the operating point a switch is the conductance of its state.
    static void acload(IFcircuit& ckt, const Instance&, const Hot& s)
    {
        stampconductance(ckt.matrix.stamps(), s.cells.data(), s.conductance);
    }

    static void noise(IFcircuit& ckt, const Instance& s, const Hot& h, NoiseSources& sources)
    {
        sources.add(s,
            { { "", s.nodes[0], s.nodes[1], thermalnoise(ckt.options.temp + KelvinOffset, h.conductance) } });
    }

    // Its conductance is constant about the state: no distortion products.
    static void distortion(IFcircuit&, const Instance&, const Hot&, Distortion&) { }

    // The step after a point whose control moved towards the threshold that would switch it: at the
    // same rate, at most 3/4 of the remaining way plus the margin.
    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        const double* now = ckt.states[0].data();
        const double* last = ckt.states[1].data();
        const double step = ckt.integration.step();
        for (const Hot& s : list) {
            const double control = now[s.state + 1];
            const double change = control - last[s.state + 1];
            const bool on = now[s.state] != 0;
            const double target = on ? s.threshold - s.hysteresis : s.threshold + s.hysteresis;
            const bool heading = on ? control > target && change < 0 : control < target && change > 0;
            if (heading)
                test.limit(((target - control) * 0.75 + (on ? -words.margin : words.margin)) / change * step);
        }
    }

    static void settle(IFcircuit& ckt, std::span<Hot> list, TruncationTest* test)
    {
        if (test)
            truncation(ckt, list, *test);
    }

    // The accepted states become the past of the next point; the operating point's too, which the
    // first point starts from.
    static void accept(IFcircuit& ckt, std::span<const Hot> list)
    {
        for (const Hot& s : list) {
            const auto k = static_cast<std::size_t>(s.state);
            ckt.states[1][k] = ckt.states[0][k];
            ckt.states[1][k + 1] = ckt.states[0][k + 1];
        }
    }

    static void topology(Topology& topology, const Instance& s, const Hot&)
    {
        topology.conducts(s.nodes[0], s.nodes[1]);
    }
};

} // namespace

extern const DeviceKind switchkind;
constexpr DeviceKind switchkind
    = devicekind<Switch<VoltageControl, voltageswitch>>("Switch", "Voltage controlled switch", 4);
extern const DeviceKind cswitchkind;
constexpr DeviceKind cswitchkind
    = devicekind<Switch<CurrentControl, currentswitch>>("Cswitch", "Current controlled switch", 2);

} // namespace nerith
