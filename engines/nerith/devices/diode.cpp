#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/distortion.h"
#include "engines/nerith/noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nerith {

namespace {

// Instance parameter ids.
constexpr int32_t Area = 1;
constexpr int32_t Off = 2;
constexpr int32_t InitialVoltage = 3;
constexpr int32_t Temperature = 4;
constexpr int32_t Voltage = 10;
constexpr int32_t Current = 11;
constexpr int32_t CurrentAlias = 12;
constexpr int32_t Conductance = 13;
constexpr int32_t Capacitance = 14;
constexpr int32_t Charge = 15;
constexpr int32_t ChargeCurrent = 16;
constexpr int32_t Power = 17;
constexpr int32_t ThermalNoise = 18;
constexpr int32_t ShotNoise = 19;
constexpr int32_t FlickerNoise = 20;
constexpr int32_t Perimeter = 21;
constexpr int32_t Multiplier = 22;

// A grading coefficient above this is limited to it, with a warning, as the reference simulator does.
constexpr double MostGrading = 0.9;

// Model parameter ids.
constexpr int32_t SaturationCurrent = 101;
constexpr int32_t SaturationCurrentAlias = 102;
constexpr int32_t SeriesResistance = 103;
constexpr int32_t Emission = 104;
constexpr int32_t TransitTime = 105;
constexpr int32_t JunctionCapacitance = 106;
constexpr int32_t JunctionCapacitanceAlias = 107;
constexpr int32_t JunctionCapacitanceAlias2 = 108;
constexpr int32_t JunctionPotential = 109;
constexpr int32_t JunctionPotentialAlias = 110;
constexpr int32_t Grading = 111;
constexpr int32_t GradingAlias = 112;
constexpr int32_t EnergyGap = 113;
constexpr int32_t SaturationExponent = 114;
constexpr int32_t FlickerCoefficient = 115;
constexpr int32_t FlickerExponent = 116;
constexpr int32_t DepletionCorner = 117;
constexpr int32_t BreakdownVoltage = 118;
constexpr int32_t BreakdownCurrent = 119;
constexpr int32_t NominalTemperature = 120;
constexpr int32_t SeriesConductance = 121;
constexpr int32_t SidewallCurrent = 122;
constexpr int32_t SidewallEmission = 123;
constexpr int32_t SidewallCapacitance = 124;
constexpr int32_t SidewallCapacitanceAlias = 125;
constexpr int32_t SidewallPotential = 126;
constexpr int32_t SidewallGrading = 127;
constexpr int32_t SidewallCorner = 128;
constexpr int32_t BreakdownEmission = 129;
constexpr int32_t ModelArea = 130;
constexpr int32_t ModelPerimeter = 131;

// Iterations that fit the breakdown knee to its current.
constexpr int BreakdownFitIterations = 25;

// A junction diode: the exponential current with reverse breakdown, series resistance on an
// internal anode node, depletion and diffusion charge, all scaled by area and temperature; a
// sidewall of its own saturation current and depletion charge scaled by the perimeter.
struct Diode {
    static constexpr bool Linear = false;

    struct Model : IFmodel {
        double is, rs, n, tt, cjo, vj, m, eg, xti, kf, af, fc, bv, ibv, tnom;
        double jsw, ns, cjsw, php, mjsw, fcs, nbv, area, pj;
        bool bvgiven = false;
        bool tnomgiven = false;
        bool jswgiven = false;
        bool nsgiven = false;
        bool nbvgiven = false;
        mutable bool gradingnoted = false; // the limiting of M was reported
        mutable bool sidewallgradingnoted = false; // and of MJSW
    };

    // Cells: the junction's conductance between the inner anode and the cathode
    // (conductanceplaces()), then the series conductance between the anode and the inner anode.
    enum : std::size_t { Junction = 0, Series = 4 };

    struct Hot {
        const Model* model;
        // At the run's temperature, scaled by area (the sidewall's by perimeter).
        double vte; // n kT/q
        double csat;
        double cj;
        double vj;
        double grading; // M, at most MostGrading
        // A sidewall current of its own emission coefficient NS; without NS its saturation current
        // joins the bottom's in csat and csatsw is 0.
        double vtesw;
        double csatsw;
        double cjsw;
        double vjsw;
        double gradingsw; // MJSW, at most MostGrading
        double breakdown; // the knee voltage that gives the breakdown current; 0: none
        double vtebrk; // NBV kT/q, the slope of the breakdown current
        double vcrit;
        double gspr; // series conductance; 0: no internal node
        double kelvin;
        double ic;
        bool off;
        // The last iterate.
        double vd = 0;
        double id = 0; // junction current, charge current included
        double gd = 0;
        double capacitance = 0;
        int32_t anode;
        int32_t cathode;
        int32_t inner; // the anode behind the series resistance
        int32_t state; // charge; its current at state + 1
        std::array<int32_t, 8> cells;
    };

    struct Instance : Bindable<Hot> {
        double area, pj, multiplier, ic, temp;
        bool off = false;
        bool areagiven = false;
        bool pjgiven = false;
        bool tempgiven = false;
        Node* innernode = nullptr;
    };

    static const Model& modelof(const Instance& d) { return static_cast<const Model&>(*d.model); }

    // The values the last solution holds: its junction voltage, and the current of the junction as
    // linearised there, which is the one the solved equations balance.
    static double voltage(IFcircuit& ckt, const Instance& d)
    {
        if (!d.bound)
            return 0;
        const double* x = ckt.solution.data();
        return x[d.hot->inner] - x[d.hot->cathode];
    }
    static double current(IFcircuit& ckt, const Instance& d)
    {
        return d.bound ? d.hot->id + d.hot->gd * (voltage(ckt, d) - d.hot->vd) : 0;
    }
    static double charge(IFcircuit& ckt, const Instance& d)
    {
        return d.bound && !ckt.states[0].empty() ? ckt.states[0][static_cast<std::size_t>(d.hot->state)] : 0;
    }
    static double chargecurrent(IFcircuit& ckt, const Instance& d)
    {
        return d.bound && (ckt.mode & MODE_TRAN) ? ckt.states[0][static_cast<std::size_t>(d.hot->state) + 1]
                                                 : 0;
    }
    static double power(IFcircuit& ckt, const Instance& d)
    {
        const double i = current(ckt, d);
        return d.bound ? i * voltage(ckt, d) + (d.hot->gspr > 0 ? i * i / d.hot->gspr : 0) : 0;
    }
    // Noise current densities (A^2/Hz): the series resistance's thermal noise, the junction's shot
    // noise and its flicker noise at 1 Hz.
    static double thermalnoise(IFcircuit&, const Instance& d)
    {
        return d.bound ? 4 * Boltzmann * d.hot->kelvin * d.hot->gspr : 0;
    }
    static double shotnoise(IFcircuit& ckt, const Instance& d)
    {
        return 2 * ElectronCharge * std::fabs(current(ckt, d));
    }
    static double flickernoise(IFcircuit& ckt, const Instance& d)
    {
        const Model& m = modelof(d);
        return m.kf * std::pow(std::fabs(current(ckt, d)), m.af);
    }

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::area, &Instance::areagiven>("area", Area, "Area factor").initially(1),
        field<&Instance::pj, &Instance::pjgiven>("pj", Perimeter, "Perimeter factor"),
        field<&Instance::multiplier>("m", Multiplier, "Parallel multiplier").initially(1),
        field<&Instance::off>("off", Off, "Initially off"),
        field<&Instance::ic>("ic", InitialVoltage, "Initial diode voltage").in("V"),
        field<&Instance::temp, &Instance::tempgiven>("temp", Temperature, "Instance temperature").in("degC"),
        computed<&voltage>("vd", Voltage, "Diode voltage").in("V"),
        computed<&current>("id", Current, "Diode current").in("A"),
        computed<&current>("c", CurrentAlias, "Diode current").in("A"),
        recorded<Instance, &Hot::gd>("gd", Conductance, "Diode conductance").in("S"),
        recorded<Instance, &Hot::capacitance>("cd", Capacitance, "Diode capacitance").in("F"),
        computed<&charge>("charge", Charge, "Diode capacitor charge").in("C"),
        computed<&chargecurrent>("capcur", ChargeCurrent, "Diode capacitor current").in("A"),
        computed<&power>("p", Power, "Diode power").in("W"),
        computed<&thermalnoise>("thermalnoise", ThermalNoise, "Series resistance noise density").in("A2/Hz"),
        computed<&shotnoise>("shotnoise", ShotNoise, "Shot noise density").in("A2/Hz"),
        computed<&flickernoise>("flickernoise", FlickerNoise, "Flicker noise density at 1 Hz").in("A2/Hz"),
    });

    static constexpr auto modelparameters = parametertable<Model>({
        field<&Model::is>("is", SaturationCurrent, "Saturation current").in("A").initially(1e-14),
        field<&Model::is>("js", SaturationCurrentAlias, "Saturation current").in("A").initially(1e-14),
        field<&Model::rs>("rs", SeriesResistance, "Ohmic resistance").in("ohm"),
        field<&Model::n>("n", Emission, "Emission coefficient").initially(1),
        field<&Model::tt>("tt", TransitTime, "Transit time").in("s"),
        field<&Model::cjo>("cjo", JunctionCapacitance, "Junction capacitance").in("F"),
        field<&Model::cjo>("cj0", JunctionCapacitanceAlias, "Junction capacitance").in("F"),
        field<&Model::cjo>("cj", JunctionCapacitanceAlias2, "Junction capacitance").in("F"),
        field<&Model::vj>("vj", JunctionPotential, "Junction potential").in("V").initially(1),
        field<&Model::vj>("pb", JunctionPotentialAlias, "Junction potential").in("V").initially(1),
        field<&Model::m>("m", Grading, "Grading coefficient").initially(0.5),
        field<&Model::m>("mj", GradingAlias, "Grading coefficient").initially(0.5),
        field<&Model::eg>("eg", EnergyGap, "Activation energy").in("eV").initially(1.11),
        field<&Model::xti>("xti", SaturationExponent, "Saturation current temperature exponent").initially(3),
        field<&Model::kf>("kf", FlickerCoefficient, "Flicker noise coefficient"),
        field<&Model::af>("af", FlickerExponent, "Flicker noise exponent").initially(1),
        field<&Model::fc>("fc", DepletionCorner, "Forward bias junction fit parameter").initially(0.5),
        field<&Model::bv, &Model::bvgiven>("bv", BreakdownVoltage, "Reverse breakdown voltage").in("V"),
        field<&Model::ibv>("ibv", BreakdownCurrent, "Current at reverse breakdown voltage")
            .in("A")
            .initially(1e-3),
        field<&Model::tnom, &Model::tnomgiven>(
            "tnom", NominalTemperature, "Parameter measurement temperature")
            .in("degC"),
        computed<&seriesconductance<&Model::rs>>("cond", SeriesConductance, "Ohmic conductance").in("S"),
        field<&Model::jsw, &Model::jswgiven>("jsw", SidewallCurrent, "Sidewall saturation current").in("A"),
        field<&Model::ns, &Model::nsgiven>("ns", SidewallEmission, "Sidewall emission coefficient").initially(1),
        field<&Model::cjsw>("cjp", SidewallCapacitance, "Sidewall junction capacitance").in("F"),
        field<&Model::cjsw>("cjsw", SidewallCapacitanceAlias, "Sidewall junction capacitance").in("F"),
        field<&Model::php>("php", SidewallPotential, "Sidewall junction potential").in("V").initially(1),
        field<&Model::mjsw>("mjsw", SidewallGrading, "Sidewall grading coefficient").initially(0.33),
        field<&Model::fcs>("fcs", SidewallCorner, "Forward bias sidewall junction fit parameter").initially(0.5),
        field<&Model::nbv, &Model::nbvgiven>("nbv", BreakdownEmission, "Breakdown emission coefficient")
            .initially(1),
        field<&Model::area>("area", ModelArea, "Area factor").initially(1),
        field<&Model::pj>("pj", ModelPerimeter, "Perimeter factor"),
    });

    // A model value outside what the equations take, named; null when all are sound.
    static const char* unsound(const Model& m)
    {
        auto bad = [](double v) { return !std::isfinite(v); };
        if (bad(m.is) || m.is <= 0)
            return "saturation current IS";
        if (bad(m.n) || m.n <= 0)
            return "emission coefficient N";
        if (bad(m.rs) || m.rs < 0)
            return "series resistance RS";
        if (bad(m.tt) || m.tt < 0)
            return "transit time TT";
        if (bad(m.cjo) || m.cjo < 0)
            return "junction capacitance CJO";
        if (bad(m.vj) || m.vj <= 0)
            return "junction potential VJ";
        if (bad(m.m) || m.m < 0)
            return "grading coefficient M";
        if (bad(m.fc) || m.fc < 0 || m.fc >= 1)
            return "coefficient FC";
        if (bad(m.jsw) || m.jsw < 0)
            return "sidewall saturation current JSW";
        if (bad(m.ns) || m.ns <= 0)
            return "sidewall emission coefficient NS";
        if (bad(m.cjsw) || m.cjsw < 0)
            return "sidewall capacitance CJSW";
        if (bad(m.php) || m.php <= 0)
            return "sidewall potential PHP";
        if (bad(m.mjsw) || m.mjsw < 0)
            return "sidewall grading coefficient MJSW";
        if (bad(m.fcs) || m.fcs < 0 || m.fcs >= 1)
            return "coefficient FCS";
        if (m.nbvgiven && (bad(m.nbv) || m.nbv <= 0))
            return "breakdown emission coefficient NBV";
        if (bad(m.eg) || m.eg <= 0 || bad(m.xti) || bad(m.kf) || m.kf < 0 || bad(m.af) || m.af <= 0)
            return "temperature or noise coefficient";
        if (m.bvgiven && (bad(m.bv) || m.bv <= 0))
            return "breakdown voltage BV";
        if (bad(m.ibv) || m.ibv <= 0)
            return "breakdown current IBV";
        return nullptr;
    }

    // The knee voltage at which the reverse current reaches IBV (vt the thermal voltage, vtebrk the
    // breakdown current's slope).
    static double breakdownknee(const Model& m, double csat, double vt, double vtebrk, double reltol)
    {
        const double target = m.ibv * (csat / m.is);
        if (target < csat * m.bv / vt)
            return m.bv;
        double knee = m.bv - vtebrk * std::log(1 + target / csat);
        for (int i = 0; i < BreakdownFitIterations; ++i) {
            knee = m.bv - vtebrk * std::log(target / csat + 1 - knee / vt);
            const double reached = csat * (std::exp((m.bv - knee) / vtebrk) - 1 + knee / vt);
            if (std::fabs(reached - target) <= reltol * target)
                break;
        }
        return knee;
    }

    // A grading coefficient limited to MostGrading, reported once for the model.
    static double limitedgrading(const Model& m, double grading, const char* name, bool& noted)
    {
        if (grading > MostGrading && !noted) {
            noted = true;
            note(ERR_WARNING, "diode model %s: grading coefficient %s = %g too large, limited to %g",
                m.name.c_str(), name, grading, MostGrading);
        }
        return std::min(grading, MostGrading);
    }

    static int check(IFcircuit& ckt, const Instance& d, Hot& h)
    {
        const Model& m = modelof(d);
        const double nominal = nominalkelvin(ckt, m.tnomgiven, m.tnom);
        // Parallel copies widen both the area and the perimeter.
        const double area = (d.areagiven ? d.area : m.area) * d.multiplier;
        const double perimeter = (d.pjgiven ? d.pj : m.pj) * d.multiplier;
        if (int code = junctionfault("diode", d.name, m.name.c_str(), nominal, unsound(m), area))
            return code;
        if (!std::isfinite(perimeter) || perimeter < 0)
            return fail(E_BADDEVICE, "diode %s has a negative perimeter factor PJ", d.name);
        if (!std::isfinite(d.ic))
            return fail(E_BADDEVICE, "diode %s has no finite initial voltage", d.name);
        h.model = &m;
        h.ic = d.ic;
        h.off = d.off;
        h.kelvin = devicekelvin(ckt, d.tempgiven, d.temp);
        if (h.kelvin == 0)
            return fail(E_BADDEVICE, "diode %s has a temperature below absolute zero", d.name);
        const double vt = thermalvoltage(h.kelvin);
        h.vte = m.n * vt;
        h.csat = saturationtemperature(m.is, m.eg, m.xti, m.n, nominal, h.kelvin) * area;
        h.grading = limitedgrading(m, m.m, "M", m.gradingnoted);
        const JunctionTemperature junction = junctiontemperature(m.vj, m.cjo, h.grading, nominal, h.kelvin);
        h.vj = junction.potential;
        h.cj = junction.capacitance * area;
        h.vcrit = criticalvoltage(h.vte, h.csat);
        h.vtebrk = (m.nbvgiven ? m.nbv : m.n) * vt;
        h.breakdown = m.bvgiven ? breakdownknee(m, h.csat, vt, h.vtebrk, ckt.options.reltol) : 0;

        const double sidewall
            = m.jswgiven ? saturationtemperature(m.jsw, m.eg, m.xti, m.ns, nominal, h.kelvin) * perimeter : 0;
        h.vtesw = m.nsgiven ? m.ns * vt : 0;
        h.csatsw = m.nsgiven ? sidewall : 0;
        if (!m.nsgiven)
            h.csat += sidewall;
        h.gradingsw = limitedgrading(m, m.mjsw, "MJSW", m.sidewallgradingnoted);
        const JunctionTemperature wall = junctiontemperature(m.php, m.cjsw, h.gradingsw, nominal, h.kelvin);
        h.vjsw = wall.potential;
        h.cjsw = wall.capacitance * perimeter;

        h.gspr = m.rs > 0 ? area / m.rs : 0;
        if (!std::isfinite(h.csat) || h.csat <= 0 || !std::isfinite(h.vcrit) || !std::isfinite(h.vj)
            || h.vj <= 0 || !std::isfinite(h.csatsw) || !std::isfinite(h.vjsw) || h.vjsw <= 0)
            return fail(E_BADDEVICE, "diode %s: model %s gives no usable junction at %g K", d.name,
                m.name.c_str(), h.kelvin);
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& d, Hot& h)
    {
        int32_t nodes[2];
        if (int code = terminalnumbers(ckt, d, 2, nodes))
            return code;
        h.anode = nodes[0];
        h.cathode = nodes[1];
        h.inner = modelof(d).rs > 0 ? internalnode(ckt, d, d.innernode, "internal") : h.anode;
        if ((h.state = ckt.models.allocstates(2)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", d.name);
        const auto junction = conductanceplaces(ckt.matrix, h.inner, h.cathode);
        const auto series = conductanceplaces(ckt.matrix, h.anode, h.inner);
        std::copy(junction.begin(), junction.end(), h.cells.begin() + Junction);
        std::copy(series.begin(), series.end(), h.cells.begin() + Series);
        return 0;
    }

    // The junction voltage this iteration starts from: the initial-junction guesses, the initial
    // voltage at the first point of a transient with UIC (which solves no operating point), or the
    // solution limited against the last iterate.
    static double junctionvoltage(IFcircuit& ckt, const Hot& d, bool& limited)
    {
        limited = false;
        const uint32_t mode = ckt.mode;
        if ((mode & MODE_INITTRAN) && (mode & MODE_UIC))
            return d.ic;
        if (mode & MODE_INITJCT)
            return d.off ? 0 : d.vcrit;
        if ((mode & MODE_INITFIX) && d.off)
            return 0;
        const double* x = ckt.solution.data();
        const double proposed = x[d.inner] - x[d.cathode];
        if (d.breakdown > 0 && proposed < std::min(0.0, -d.breakdown + 10 * d.vtebrk)) {
            // Limit the reverse voltage beyond the knee as a forward junction mirrored there.
            const double mirrored
                = pnjlim(-(proposed + d.breakdown), -(d.vd + d.breakdown), d.vtebrk, d.vcrit, limited);
            return -(mirrored + d.breakdown);
        }
        return pnjlim(proposed, d.vd, d.vte, d.vcrit, limited);
    }

    // The current and conductance at `vd` of a junction of saturation current `csat` and slope
    // `vte`, breaking down past the knee.
    static void junctioncurrent(const Hot& d, double csat, double vte, double vd, double& cd, double& gd)
    {
        if (vd >= -3 * vte) {
            const double e = std::exp(vd / vte);
            cd = csat * (e - 1);
            gd = csat * e / vte;
        } else if (d.breakdown == 0 || vd >= -d.breakdown) {
            // Reverse: the current tends to -csat along a cubic that joins the exponential.
            const double a = 3 * vte / (vd * std::numbers::e);
            const double cube = a * a * a;
            cd = -csat * (1 + cube);
            gd = csat * 3 * cube / vd;
        } else {
            const double e = std::exp(-(d.breakdown + vd) / d.vtebrk);
            cd = -csat * e;
            gd = csat * e / d.vtebrk;
        }
    }

    // The bottom's and the sidewall's current and conductance at `vd`, without GMIN.
    static void junctioncurrent(const Hot& d, double vd, double& cd, double& gd)
    {
        junctioncurrent(d, d.csat, d.vte, vd, cd, gd);
        if (d.csatsw > 0) {
            double wall;
            double wallconductance;
            junctioncurrent(d, d.csatsw, d.vtesw, vd, wall, wallconductance);
            cd += wall;
            gd += wallconductance;
        }
    }

    // The stored charge and its capacitance at `vd`: the bottom's and the sidewall's depletion plus
    // the diffusion charge TT * cd.
    static Depletion storage(const Hot& d, double vd, double cd, double gd)
    {
        const Model& m = *d.model;
        Depletion stored = depletion(vd, d.cj, d.vj, d.grading, m.fc);
        const Depletion wall = depletion(vd, d.cjsw, d.vjsw, d.gradingsw, m.fcs);
        stored.charge += wall.charge + m.tt * cd;
        stored.capacitance += wall.capacitance + m.tt * gd;
        return stored;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const double gmin = ckt.options.gmin;
        const bool transient = ckt.mode & MODE_TRAN;
        const bool first = ckt.mode & MODE_INITTRAN;
        const double slope = transient ? ckt.integration.slope() : 0;
        double* rhs = ckt.rhs.data();
        double* a = ckt.matrix.stamps();
        for (Hot& d : list) {
            bool limited = false;
            const double vd = junctionvoltage(ckt, d, limited);
            double cd;
            double gd;
            junctioncurrent(d, vd, cd, gd);
            cd += gmin * vd;
            gd += gmin;

            if (transient || (ckt.mode & MODE_INITSMSIG)) {
                const Depletion stored = storage(d, vd, cd, gd);
                const double q = stored.charge;
                d.capacitance = stored.capacitance;
                if (transient) {
                    const double flow = integratestate(ckt, d.state, q, first);
                    gd += slope * d.capacitance;
                    cd += flow;
                }
            } else {
                d.capacitance = storage(d, vd, cd, gd).capacitance;
            }

            if (limited)
                ++ckt.noncon;
            d.vd = vd;
            d.id = cd;
            d.gd = gd;

            const double equivalent = cd - gd * vd;
            rhs[d.inner] -= equivalent;
            rhs[d.cathode] += equivalent;
            stampconductance(a, d.cells.data() + Junction, gd);
            stampconductance(a, d.cells.data() + Series, d.gspr);
        }
    }

    static void acload(IFcircuit& ckt, const Instance&, const Hot& d)
    {
        stampconductance(ckt.matrix.stamps(), d.cells.data() + Junction, d.gd);
        stampconductance(ckt.matrix.imaginary(), d.cells.data() + Junction, ckt.omega * d.capacitance);
        stampconductance(ckt.matrix.stamps(), d.cells.data() + Series, d.gspr);
    }

    // Noise currents: the series resistance's thermal noise, the junction's shot and flicker noise.
    static void noise(IFcircuit& ckt, const Instance& instance, const Hot& d, NoiseSources& sources)
    {
        sources.add(instance,
            { { "rs", d.inner, d.anode, thermalnoise(ckt, instance) },
                { "id", d.inner, d.cathode, shotnoise(ckt, instance) },
                { "1overf", d.inner, d.cathode, 0, flickernoise(ckt, instance) } });
    }

    // The current of junctioncurrent() as a polynomial of its voltage.
    static Taylor junctioncurrent(const Hot& d, double csat, double vte, const Taylor& v)
    {
        const double vd = v.value();
        if (vd >= -3 * vte)
            return csat * (exp(v * (1 / vte)) - 1);
        if (d.breakdown == 0 || vd >= -d.breakdown) {
            const Taylor a = 3 * vte / std::numbers::e * v.reciprocal();
            return -csat * (1 + a * a * a);
        }
        return -csat * exp(-(d.breakdown + v) * (1 / d.vtebrk));
    }
    static Taylor junctioncurrent(IFcircuit& ckt, const Hot& d, const Taylor& v)
    {
        Taylor current = junctioncurrent(d, d.csat, d.vte, v) + ckt.options.gmin * v;
        if (d.csatsw > 0)
            current = current + junctioncurrent(d, d.csatsw, d.vtesw, v);
        return current;
    }

    // The distortion of the junction's current and of its depletion and diffusion charges.
    static void distortion(IFcircuit& ckt, const Instance&, const Hot& d, Distortion& products)
    {
        const Model& m = *d.model;
        const Taylor v = Taylor::variable(0, d.vd);
        const Taylor current = junctioncurrent(ckt, d, v);
        const Taylor charge = depletioncharge(v, d.cj, d.vj, d.grading, m.fc)
            + depletioncharge(v, d.cjsw, d.vjsw, d.gradingsw, m.fcs) + m.tt * current;
        products.current(current, { { d.inner, d.cathode } }, d.inner, d.cathode);
        products.charge(charge, { { d.inner, d.cathode } }, d.inner, d.cathode);
    }

    // Whether the current the linearisation predicts at the new solution matches the last one.
    static bool converged(IFcircuit& ckt, std::span<const Hot> list)
    {
        const double* x = ckt.solution.data();
        const Options& o = ckt.options;
        for (const Hot& d : list) {
            const double predicted = d.id + d.gd * (x[d.inner] - x[d.cathode] - d.vd);
            const double tolerance = o.reltol * std::max(std::fabs(predicted), std::fabs(d.id)) + o.abstol;
            if (std::fabs(predicted - d.id) > tolerance)
                return false;
        }
        return true;
    }

    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        for (const Hot& d : list)
            test.add(d.state, ckt.options.abstol);
    }

    static void topology(Topology& topology, const Instance&, const Hot& d)
    {
        topology.conducts(d.anode, d.inner);
        topology.conducts(d.inner, d.cathode);
    }
};

} // namespace

extern const DeviceKind diodekind;
constexpr DeviceKind diodekind = devicekind<Diode>("Diode", "Junction diode model", 2);

} // namespace nerith
