#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace nerith {

namespace {

enum : int32_t {
    Length = 1,
    Lumps,
};

enum : int32_t {
    Propagation = 1,
    MaximumFrequency,
    ResistancePerLength,
    CapacitancePerLength,
    SaturationPerLength,
    DiodeResistancePerLength,
    ModelFlag,
};

// The uniformly distributed RC line between its ends (terminals 1 and 2) over a reference
// (terminal 3), as lumped sections whose resistances and capacitances grow by the factor K from
// both ends towards the middle, so that the short sections at the ends follow the line up to FMAX.
// Section i of N: a resistor R1 K^(i-1) on each side, each followed by a capacitance C1 K^(i-1) to
// the reference, the two sides meeting in one node and one capacitance in the middle; R1 and C1
// make the sections' totals the line's R L and C L.
struct Urc {
    static constexpr bool Linear = true;

    struct Model : IFmodel {
        double k, fmax, rperl, cperl, isperl, rsperl;
        bool isgiven = false;
        bool flag = false;
    };

    // The sections vary in number: the instance holds their places and cells.
    struct Instance;
    struct Hot {
        Instance* line;
        std::array<int32_t, 0> cells;
    };

    // A section's resistor between two equations, and a capacitor from an equation to the
    // reference; `places` from the binding, `cells` the entries of the analysed matrix.
    struct Resistor {
        double conductance;
        std::array<int32_t, 4> places;
        int32_t a, b;
        std::string name; // "rlo1", "rhi1", ...: its noise's in a report
        std::array<int32_t, 4> cells {};
    };
    struct Capacitor {
        double capacitance;
        double history;
        int32_t node;
        int32_t state; // charge; current at state + 1
        std::array<int32_t, 4> places;
        std::array<int32_t, 4> cells {};
    };

    struct Instance : Bindable<Hot> {
        double length;
        bool lengthgiven = false;
        int32_t lumps;
        bool lumpsgiven = false;
        int32_t made = 0; // the sections the equations were made for
        int32_t reference = 0;
        // The internal nodes lo1 .. lo(N-1) and hi1 .. hiN, kept by their names across set-ups.
        std::vector<Node*> lonodes;
        std::vector<Node*> hinodes;
        std::vector<Resistor> resistors;
        std::vector<Capacitor> capacitors;
    };

    static constexpr auto modelparameters = parametertable<Model>({
        field<&Model::k>("k", Propagation, "Propagation constant: the growth of the sections").initially(1.5),
        field<&Model::fmax>("fmax", MaximumFrequency, "Maximum frequency of interest")
            .in("Hz")
            .initially(1e9),
        field<&Model::rperl>("rperl", ResistancePerLength, "Resistance per unit length")
            .in("ohm/m")
            .initially(1000),
        field<&Model::cperl>("cperl", CapacitancePerLength, "Capacitance per unit length")
            .in("F/m")
            .initially(1e-12),
        field<&Model::isperl, &Model::isgiven>(
            "isperl", SaturationPerLength, "Saturation current per unit length")
            .in("A/m"),
        field<&Model::rsperl>("rsperl", DiodeResistancePerLength, "Diode resistance per unit length")
            .in("ohm/m"),
        field<&Model::flag>("urc", ModelFlag, "Uniform R.C. line model"),
    });

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::length, &Instance::lengthgiven>("l", Length, "Length of the line").in("m"),
        field<&Instance::lumps, &Instance::lumpsgiven>("n", Lumps, "Number of lumps"),
    });

    static const Model& model(const Instance& u) { return static_cast<const Model&>(*u.model); }

    // The sections of the line: N when given, else as many as make the shortest reach FMAX, at
    // least 3; 0 when the values do not make a line.
    static int32_t sections(const Instance& u)
    {
        const Model& m = model(u);
        if (u.lumpsgiven)
            return u.lumps;
        const double wnorm = 2 * std::numbers::pi * m.fmax * u.length * m.rperl * u.length * m.cperl;
        const double shrink = (m.k - 1) / m.k;
        const double n = std::log(wnorm * shrink * shrink) / std::log(m.k);
        if (!std::isfinite(wnorm) || wnorm < 35 || !(n > 3))
            return 3;
        return static_cast<int32_t>(std::min(n, 1e4));
    }

    static int valid(const Instance& u)
    {
        const Model& m = model(u);
        if (m.isgiven)
            return fail(E_BADDEVICE, "uniform RC line %s: the diode-loaded line (ISPERL) cannot be simulated",
                u.name);
        if (!u.lengthgiven || !(u.length > 0) || !std::isfinite(u.length))
            return fail(E_BADDEVICE, "uniform RC line %s needs a length L above 0", u.name);
        if (!(m.k > 1) || !std::isfinite(m.k) || !(m.rperl > 0) || !std::isfinite(m.rperl) || !(m.cperl > 0)
            || !std::isfinite(m.cperl) || !(m.fmax > 0) || !std::isfinite(m.fmax))
            return fail(E_BADDEVICE,
                "uniform RC line %s: its model needs K above 1 and RPERL, CPERL and FMAX above 0",
                u.name);
        if (u.lumpsgiven && (u.lumps < 1 || u.lumps > 10000))
            return fail(E_BADDEVICE, "uniform RC line %s: N must lie from 1 to 10000, not %d", u.name,
                u.lumps);
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& u, Hot& h)
    {
        if (int code = valid(u))
            return code;
        h.line = &u;
        int32_t ends[3];
        if (int code = terminalnumbers(ckt, u, 3, ends))
            return code;
        const int32_t n = sections(u);
        u.made = n;
        u.reference = ends[2];
        const auto count = static_cast<std::size_t>(n);
        u.lonodes.resize(std::max(u.lonodes.size(), count - 1), nullptr);
        u.hinodes.resize(std::max(u.hinodes.size(), count), nullptr);
        std::vector<int32_t> lo(count), hi(count);
        for (std::size_t k = 0; k < count; ++k) {
            const std::string number = std::to_string(k + 1);
            hi[k] = internalnode(ckt, u, u.hinodes[k], ("hi" + number).c_str());
            lo[k] = k + 1 < count ? internalnode(ckt, u, u.lonodes[k], ("lo" + number).c_str()) : hi[k];
        }
        u.resistors.clear();
        u.capacitors.clear();
        int32_t left = ends[0];
        int32_t right = ends[1];
        for (int32_t i = 0; i < n; ++i) {
            const auto k = static_cast<std::size_t>(i);
            const std::string number = std::to_string(i + 1);
            u.resistors.push_back(
                { 0, conductanceplaces(ckt.matrix, left, lo[k]), left, lo[k], "rlo" + number });
            u.resistors.push_back(
                { 0, conductanceplaces(ckt.matrix, hi[k], right), hi[k], right, "rhi" + number });
            // The middle node, where the two sides meet, has one capacitance.
            for (int32_t node : i + 1 < n ? std::vector { lo[k], hi[k] } : std::vector { hi[k] }) {
                const int32_t state = ckt.models.allocstates(2);
                if (state < 0)
                    return fail(E_NOMEM, "out of memory for the states of %s", u.name);
                u.capacitors.push_back({ 0, 0, node, state, conductanceplaces(ckt.matrix, node, ends[2]) });
            }
            left = lo[k];
            right = hi[k];
        }
        return 0;
    }

    // The sections' values from the line's totals.
    static int check(IFcircuit&, Instance& u, Hot&)
    {
        if (int code = valid(u))
            return code;
        const int32_t n = sections(u);
        if (n != u.made)
            return fail(E_BADDEVICE,
                "uniform RC line %s: its %d sections became %d after the circuit was set up", u.name,
                u.made, n);
        const Model& m = model(u);
        const double p = m.k;
        const double r1 = u.length * m.rperl * (p - 1) / (2 * std::pow(p, n) - 2);
        const double c1 = u.length * m.cperl * (p - 1) / (std::pow(p, n - 1) * (p + 1) - 2);
        if (!(r1 > 0) || !(c1 > 0) || !std::isfinite(r1) || !std::isfinite(c1))
            return fail(E_BADDEVICE,
                "uniform RC line %s: its sections have no finite resistance and capacitance", u.name);
        // The resistors come in pairs and the capacitors too but for the middle one, section by section.
        double scale = 1;
        for (std::size_t k = 0; k < u.resistors.size(); ++k) {
            u.resistors[k].conductance = 1 / (r1 * scale);
            if (k % 2 == 1)
                scale *= p;
        }
        scale = 1;
        for (std::size_t k = 0; k < u.capacitors.size(); ++k) {
            u.capacitors[k].capacitance = c1 * scale;
            if (k % 2 == 1)
                scale *= p;
        }
        return 0;
    }

    static void unbind(Instance& u) { u.made = 0; }

    static void attach(Instance& u, const SparseMatrix& matrix)
    {
        for (Resistor& r : u.resistors) {
            for (std::size_t j = 0; j < 4; ++j)
                r.cells[j] = matrix.entry(r.places[j]);
        }
        for (Capacitor& c : u.capacitors) {
            for (std::size_t j = 0; j < 4; ++j)
                c.cells[j] = matrix.entry(c.places[j]);
        }
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        double* a = ckt.matrix.stamps();
        const bool transient = ckt.mode & MODE_TRAN;
        const double* x = ckt.solution.data();
        double* rhs = ckt.rhs.data();
        const double slope = ckt.integration.slope();
        for (const Hot& h : list) {
            Instance& u = *h.line;
            for (const Resistor& r : u.resistors)
                stampconductance(a, r.cells.data(), r.conductance);
            if (!transient)
                continue;
            const int32_t reference = u.reference;
            for (Capacitor& c : u.capacitors) {
                if (ckt.mode & MODE_INITTRAN) {
                    const auto q = static_cast<std::size_t>(c.state);
                    ckt.states[1][q] = c.capacitance * (x[c.node] - x[reference]);
                    ckt.states[1][q + 1] = 0;
                }
                c.history = history(ckt, c.state);
                stampconductance(a, c.cells.data(), slope * c.capacitance);
                rhs[c.node] -= c.history;
                rhs[reference] += c.history;
            }
        }
    }

    static void settle(IFcircuit& ckt, std::span<Hot> list, TruncationTest* test)
    {
        const double* x = ckt.solution.data();
        double* state = ckt.states[0].data();
        const double slope = ckt.integration.slope();
        for (const Hot& h : list) {
            const int32_t reference = h.line->reference;
            for (const Capacitor& c : h.line->capacitors) {
                const double q = c.capacitance * (x[c.node] - x[reference]);
                state[c.state] = q;
                state[c.state + 1] = slope * q + c.history;
                if (test)
                    test->add(c.state, ckt.options.abstol);
            }
        }
    }

    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        for (const Hot& h : list) {
            for (const Capacitor& c : h.line->capacitors)
                test.add(c.state, ckt.options.abstol);
        }
    }

    static void acload(IFcircuit& ckt, const Instance& u, const Hot&)
    {
        for (const Resistor& r : u.resistors)
            stampconductance(ckt.matrix.stamps(), r.cells.data(), r.conductance);
        for (const Capacitor& c : u.capacitors)
            stampconductance(ckt.matrix.imaginary(), c.cells.data(), ckt.omega * c.capacitance);
    }

    static void noise(IFcircuit& ckt, const Instance& u, const Hot&, NoiseSources& sources)
    {
        const double kelvin = ckt.options.temp + KelvinOffset;
        std::vector<NoiseGenerator> generators;
        for (const Resistor& r : u.resistors)
            generators.push_back({ r.name.c_str(), r.a, r.b, thermalnoise(kelvin, r.conductance), 0 });
        sources.add(u, generators);
    }

    static void topology(Topology& topology, const Instance& u, const Hot&)
    {
        for (const Resistor& r : u.resistors)
            topology.conducts(r.a, r.b);
    }
};

} // namespace

extern const DeviceKind urckind;
constexpr DeviceKind urckind = devicekind<Urc>("URC", "Uniform R.C. line", 3);

} // namespace nerith
