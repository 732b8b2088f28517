#include "engines/nerith/devices/family.h"
#include "engines/nerith/devices/junction.h"
#include "engines/nerith/distortion.h"
#include "engines/nerith/noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nerith {

namespace {

// A grading coefficient above this is limited to it, with a warning, as the reference simulator does.
constexpr double MostGrading = 0.999;

// Instance parameter ids.
constexpr int32_t Area = 1;
constexpr int32_t Off = 2;
constexpr int32_t InitialVbe = 3;
constexpr int32_t InitialVce = 4;
constexpr int32_t InitialVoltages = 5;
constexpr int32_t Temperature = 6;
constexpr int32_t CollectorCurrent = 10;
constexpr int32_t BaseCurrent = 11;
constexpr int32_t EmitterCurrent = 12;
constexpr int32_t Power = 13;
constexpr int32_t Vbe = 14;
constexpr int32_t Vbc = 15;
constexpr int32_t Gm = 16;
constexpr int32_t Gpi = 17;
constexpr int32_t Gmu = 18;
constexpr int32_t Gx = 19;
constexpr int32_t Go = 20;
constexpr int32_t Cpi = 21;
constexpr int32_t Cmu = 22;
constexpr int32_t Cbx = 23;
constexpr int32_t Ccs = 24;
constexpr int32_t CollectorCurrentAlias = 25;
constexpr int32_t BaseCurrentAlias = 26;
constexpr int32_t ShotNoiseCollector = 27;
constexpr int32_t ShotNoiseBase = 28;
constexpr int32_t FlickerNoise = 29;
constexpr int32_t ThermalNoise = 30;

// Model parameter ids.
enum : int32_t {
    Npn = 101,
    Pnp,
    Is,
    Bf,
    Nf,
    Vaf,
    VafAlias,
    Ikf,
    IkfAlias,
    Ise,
    Ne,
    Br,
    Nr,
    Var,
    VarAlias,
    Ikr,
    Isc,
    Nc,
    Rb,
    Irb,
    Rbm,
    Re,
    Rc,
    Cje,
    Vje,
    VjeAlias,
    Mje,
    MjeAlias,
    Tf,
    Xtf,
    Vtf,
    Itf,
    Ptf,
    Cjc,
    Vjc,
    VjcAlias,
    Mjc,
    MjcAlias,
    Xcjc,
    Tr,
    Cjs,
    CjsAlias,
    Vjs,
    VjsAlias,
    Mjs,
    MjsAlias,
    Xtb,
    Eg,
    Xti,
    Kf,
    Af,
    Fc,
    Tnom,
    C2,
    C4,
    Polarity,
};

// Gummel-Poon bipolar transistor, NPN or PNP: transport currents with Early effect and high
// injection through the base charge, base-emitter and base-collector leakage, current-dependent
// base resistance, depletion and transit-time charges (the collector junction's split by XCJC),
// substrate capacitance, excess phase and temperature. Terminals: collector, base, emitter, substrate
// (ground when not connected).
struct Bjt {
    static constexpr bool Linear = false;

    struct Model : IFmodel {
        int32_t polarity = 1; // +1 NPN, -1 PNP
        double is, bf, nf, vaf, ikf, ise, ne, br, nr, var, ikr, isc, nc, rb, irb, rbm, re, rc;
        double cje, vje, mje, tf, xtf, vtf, itf, ptf, cjc, vjc, mjc, xcjc, tr, cjs, vjs, mjs;
        double xtb, eg, xti, kf, af, fc, tnom, c2, c4;
        bool rbmgiven = false, tnomgiven = false, isegiven = false, iscgiven = false;
        mutable bool gradingnoted = false; // the limiting of a grading coefficient was reported
    };

    // The states of an instance: charge pairs, then the delayed current of excess phase.
    enum : int32_t { Qbe = 0, Qbc = 2, Qbx = 4, Qcs = 6, Excess = 8, StateCount = 9 };

    // Cells, by row and column: collector c, base b, emitter e, substrate s and the internal
    // collector cp, base bp and emitter ep.
    enum : std::size_t {
        Cc,
        Bb,
        Ee,
        BpBp,
        CpCp,
        EpEp,
        CCp,
        BBp,
        EEp,
        CpC,
        CpBp,
        CpEp,
        BpB,
        BpCp,
        BpEp,
        EpE,
        EpCp,
        EpBp,
        Ss,
        SCp,
        CpS,
        BCp,
        CpB
    };

    struct Hot {
        const Model* model;
        double area, icvbe, icvce;
        bool off;
        double mje, mjc, mjs; // the grading coefficients, at most MostGrading
        // At the run's temperature, scaled by area.
        double vt;
        double kelvin;
        double csat, betaf, betar, c2, c4;
        double bepot, becap, bcpot, bccap, cspot, cscap;
        double vcrit;
        double gcpr, gepr, rbpr, rbpi;
        // The last iterate.
        double vbe, vbc, cc, cb;
        double gm, gpi, gmu, gx, go, geqcb;
        double cpi, cmu, cbx, ccs;
        int32_t c, b, e, s, cp, bp, ep;
        int32_t state;
        std::array<int32_t, 23> cells;
    };

    struct Instance : Bindable<Hot> {
        double area, icvbe, icvce, temp;
        bool off = false;
        bool tempgiven = false;
        Node* cnode = nullptr;
        Node* bnode = nullptr;
        Node* enode = nullptr;
    };

    static const Model& modelof(const Instance& q) { return static_cast<const Model&>(*q.model); }

    // Terminal currents at the last solution, from the linearisation it was solved with.
    struct Currents {
        double c = 0, b = 0;
    };
    static Currents currents(IFcircuit& ckt, const Instance& instance)
    {
        if (!instance.bound)
            return {};
        const Hot& q = *instance.hot;
        const double* x = ckt.solution.data();
        const int32_t type = q.model->polarity;
        const double vbe = type * (x[q.bp] - x[q.ep]);
        const double vbc = type * (x[q.bp] - x[q.cp]);
        const double dbe = vbe - q.vbe;
        const double dbc = vbc - q.vbc;
        return { type * (q.cc + (q.gm + q.go) * dbe - (q.go + q.gmu) * dbc),
            type * (q.cb + q.gpi * dbe + (q.gmu + q.geqcb) * dbc) };
    }
    static double collector(IFcircuit& ckt, const Instance& q) { return currents(ckt, q).c; }
    static double base(IFcircuit& ckt, const Instance& q) { return currents(ckt, q).b; }
    static double emitter(IFcircuit& ckt, const Instance& q)
    {
        const Currents i = currents(ckt, q);
        return -(i.c + i.b);
    }
    static double power(IFcircuit& ckt, const Instance& q)
    {
        const Currents i = currents(ckt, q);
        return q.bound ? terminalpower(ckt, true, { i.c, q.hot->c }, { i.b, q.hot->b }, q.hot->e) : 0;
    }
    // Noise current densities (A^2/Hz): shot noise of the collector and base currents, flicker noise
    // of the base current at 1 Hz, thermal noise of the series resistances.
    static double shotcollector(IFcircuit& ckt, const Instance& q)
    {
        return 2 * ElectronCharge * std::fabs(collector(ckt, q));
    }
    static double shotbase(IFcircuit& ckt, const Instance& q)
    {
        return 2 * ElectronCharge * std::fabs(base(ckt, q));
    }
    static double flicker(IFcircuit& ckt, const Instance& q)
    {
        const Model& m = modelof(q);
        return m.kf * std::pow(std::fabs(base(ckt, q)), m.af);
    }
    static double thermal(IFcircuit&, const Instance& q)
    {
        return q.bound ? 4 * Boltzmann * q.hot->kelvin * (q.hot->gcpr + q.hot->gepr + q.hot->gx) : 0;
    }

    static constexpr auto parameters = parametertable<Instance>({
        field<&Instance::area>("area", Area, "Area factor").initially(1),
        field<&Instance::off>("off", Off, "Device initially off"),
        field<&Instance::icvbe>("icvbe", InitialVbe, "Initial B-E voltage").in("V"),
        field<&Instance::icvce>("icvce", InitialVce, "Initial C-E voltage").in("V"),
        settable<&setinitialpair<&Instance::icvbe, &Instance::icvce>>(
            "ic", InitialVoltages, IF_REAL | IF_VECTOR, "Initial VBE and VCE"),
        field<&Instance::temp, &Instance::tempgiven>("temp", Temperature, "Instance temperature").in("degC"),
        computed<&collector>("ic", CollectorCurrent, "Collector current").in("A"),
        computed<&collector>("cc", CollectorCurrentAlias, "Collector current").in("A"),
        computed<&base>("ib", BaseCurrent, "Base current").in("A"),
        computed<&base>("cb", BaseCurrentAlias, "Base current").in("A"),
        computed<&emitter>("ie", EmitterCurrent, "Emitter current").in("A"),
        computed<&power>("p", Power, "Power dissipation").in("W"),
        recorded<Instance, &Hot::vbe>("vbe", Vbe, "B-E voltage").in("V"),
        recorded<Instance, &Hot::vbc>("vbc", Vbc, "B-C voltage").in("V"),
        recorded<Instance, &Hot::gm>("gm", Gm, "Small signal transconductance").in("S"),
        recorded<Instance, &Hot::gpi>("gpi", Gpi, "Small signal input conductance - pi").in("S"),
        recorded<Instance, &Hot::gmu>("gmu", Gmu, "Small signal conductance - mu").in("S"),
        recorded<Instance, &Hot::gx>("gx", Gx, "Conductance from base to internal base").in("S"),
        recorded<Instance, &Hot::go>("go", Go, "Small signal output conductance").in("S"),
        recorded<Instance, &Hot::cpi>("cpi", Cpi, "Internal base to emitter capacitance").in("F"),
        recorded<Instance, &Hot::cmu>("cmu", Cmu, "Internal base to collector capacitance").in("F"),
        recorded<Instance, &Hot::cbx>("cbx", Cbx, "Base to collector capacitance").in("F"),
        recorded<Instance, &Hot::ccs>("ccs", Ccs, "Collector to substrate capacitance").in("F"),
        computed<&shotcollector>("shotnoisec", ShotNoiseCollector, "Collector shot noise density")
            .in("A2/Hz"),
        computed<&shotbase>("shotnoiseb", ShotNoiseBase, "Base shot noise density").in("A2/Hz"),
        computed<&flicker>("flickernoise", FlickerNoise, "Base flicker noise density at 1 Hz").in("A2/Hz"),
        computed<&thermal>("thermalnoise", ThermalNoise, "Series resistance noise density").in("A2/Hz"),
    });

    static constexpr auto modelparameters = parametertable<Model>({
        settable<&setpolarity<Model, 1>>("npn", Npn, IF_FLAG, "NPN type device"),
        settable<&setpolarity<Model, -1>>("pnp", Pnp, IF_FLAG, "PNP type device"),
        reading<&Model::polarity>("type", Polarity, "NPN (1) or PNP (-1)"),
        field<&Model::is>("is", Is, "Saturation current").in("A").initially(1e-16),
        field<&Model::bf>("bf", Bf, "Ideal forward beta").initially(100),
        field<&Model::nf>("nf", Nf, "Forward emission coefficient").initially(1),
        field<&Model::vaf>("vaf", Vaf, "Forward Early voltage (0: none)").in("V"),
        field<&Model::vaf>("va", VafAlias, "Forward Early voltage (0: none)").in("V"),
        field<&Model::ikf>("ikf", Ikf, "Forward beta roll-off corner current (0: none)").in("A"),
        field<&Model::ikf>("ik", IkfAlias, "Forward beta roll-off corner current (0: none)").in("A"),
        field<&Model::ise, &Model::isegiven>("ise", Ise, "B-E leakage saturation current").in("A"),
        field<&Model::c2>("c2", C2, "B-E leakage saturation current over IS"),
        field<&Model::ne>("ne", Ne, "B-E leakage emission coefficient").initially(1.5),
        field<&Model::br>("br", Br, "Ideal reverse beta").initially(1),
        field<&Model::nr>("nr", Nr, "Reverse emission coefficient").initially(1),
        field<&Model::var>("var", Var, "Reverse Early voltage (0: none)").in("V"),
        field<&Model::var>("vb", VarAlias, "Reverse Early voltage (0: none)").in("V"),
        field<&Model::ikr>("ikr", Ikr, "Reverse beta roll-off corner current (0: none)").in("A"),
        field<&Model::isc, &Model::iscgiven>("isc", Isc, "B-C leakage saturation current").in("A"),
        field<&Model::c4>("c4", C4, "B-C leakage saturation current over IS"),
        field<&Model::nc>("nc", Nc, "B-C leakage emission coefficient").initially(2),
        field<&Model::rb>("rb", Rb, "Zero bias base resistance").in("ohm"),
        field<&Model::irb>("irb", Irb, "Current for base resistance = (rb + rbm) / 2 (0: none)").in("A"),
        field<&Model::rbm, &Model::rbmgiven>("rbm", Rbm, "Minimum base resistance").in("ohm"),
        field<&Model::re>("re", Re, "Emitter resistance").in("ohm"),
        field<&Model::rc>("rc", Rc, "Collector resistance").in("ohm"),
        field<&Model::cje>("cje", Cje, "Zero bias B-E depletion capacitance").in("F"),
        field<&Model::vje>("vje", Vje, "B-E built in potential").in("V").initially(0.75),
        field<&Model::vje>("pe", VjeAlias, "B-E built in potential").in("V").initially(0.75),
        field<&Model::mje>("mje", Mje, "B-E junction grading coefficient").initially(0.33),
        field<&Model::mje>("me", MjeAlias, "B-E junction grading coefficient").initially(0.33),
        field<&Model::tf>("tf", Tf, "Ideal forward transit time").in("s"),
        field<&Model::xtf>("xtf", Xtf, "Coefficient for bias dependence of TF"),
        field<&Model::vtf>("vtf", Vtf, "Voltage giving VBC dependence of TF (0: none)").in("V"),
        field<&Model::itf>("itf", Itf, "High current dependence of TF").in("A"),
        field<&Model::ptf>("ptf", Ptf, "Excess phase").in("deg"),
        field<&Model::cjc>("cjc", Cjc, "Zero bias B-C depletion capacitance").in("F"),
        field<&Model::vjc>("vjc", Vjc, "B-C built in potential").in("V").initially(0.75),
        field<&Model::vjc>("pc", VjcAlias, "B-C built in potential").in("V").initially(0.75),
        field<&Model::mjc>("mjc", Mjc, "B-C junction grading coefficient").initially(0.33),
        field<&Model::mjc>("mc", MjcAlias, "B-C junction grading coefficient").initially(0.33),
        field<&Model::xcjc>("xcjc", Xcjc, "Fraction of B-C capacitance on the internal base").initially(1),
        field<&Model::tr>("tr", Tr, "Ideal reverse transit time").in("s"),
        field<&Model::cjs>("cjs", Cjs, "Zero bias C-S capacitance").in("F"),
        field<&Model::cjs>("ccs", CjsAlias, "Zero bias C-S capacitance").in("F"),
        field<&Model::vjs>("vjs", Vjs, "Substrate junction built in potential").in("V").initially(0.75),
        field<&Model::vjs>("ps", VjsAlias, "Substrate junction built in potential").in("V").initially(0.75),
        field<&Model::mjs>("mjs", Mjs, "Substrate junction grading coefficient"),
        field<&Model::mjs>("ms", MjsAlias, "Substrate junction grading coefficient"),
        field<&Model::xtb>("xtb", Xtb, "Forward and reverse beta temperature exponent"),
        field<&Model::eg>("eg", Eg, "Energy gap for IS temperature dependency").in("eV").initially(1.11),
        field<&Model::xti>("xti", Xti, "Temperature exponent for IS").initially(3),
        field<&Model::kf>("kf", Kf, "Flicker noise coefficient"),
        field<&Model::af>("af", Af, "Flicker noise exponent").initially(1),
        field<&Model::fc>("fc", Fc, "Forward bias junction fit parameter").initially(0.5),
        field<&Model::tnom, &Model::tnomgiven>("tnom", Tnom, "Parameter measurement temperature").in("degC"),
    });

    static const char* unsound(const Model& m)
    {
        auto bad = [](double v) { return !std::isfinite(v); };
        auto negative = [&](double v) { return bad(v) || v < 0; };
        auto notpositive = [&](double v) { return bad(v) || v <= 0; };
        auto fraction = [&](double v) { return bad(v) || v < 0 || v >= 1; };
        auto grading = [&](double v) { return bad(v) || v < 0; };
        if (notpositive(m.is))
            return "saturation current IS";
        if (notpositive(m.bf) || notpositive(m.br))
            return "beta BF or BR";
        if (notpositive(m.nf) || notpositive(m.nr) || notpositive(m.ne) || notpositive(m.nc))
            return "emission coefficient";
        if (negative(m.vaf) || negative(m.var) || negative(m.ikf) || negative(m.ikr) || negative(m.irb))
            return "Early voltage or corner current";
        if (negative(m.ise) || negative(m.isc) || negative(m.c2) || negative(m.c4))
            return "leakage current";
        if (negative(m.rb) || negative(m.rbm) || negative(m.re) || negative(m.rc))
            return "series resistance";
        if (negative(m.cje) || negative(m.cjc) || negative(m.cjs))
            return "junction capacitance";
        if (notpositive(m.vje) || notpositive(m.vjc) || notpositive(m.vjs))
            return "junction potential";
        if (grading(m.mje) || grading(m.mjc) || grading(m.mjs))
            return "grading coefficient";
        if (fraction(m.fc))
            return "coefficient FC";
        if (negative(m.tf) || negative(m.tr) || negative(m.xtf) || negative(m.vtf) || negative(m.itf)
            || bad(m.ptf))
            return "transit time parameter";
        if (bad(m.xcjc) || m.xcjc < 0 || m.xcjc > 1)
            return "XCJC";
        if (bad(m.xtb) || notpositive(m.eg) || bad(m.xti) || negative(m.kf) || notpositive(m.af))
            return "temperature or noise coefficient";
        return nullptr;
    }

    static int check(IFcircuit& ckt, const Instance& instance, Hot& q)
    {
        const Model& m = modelof(instance);
        const double area = instance.area;
        const double nominal = nominalkelvin(ckt, m.tnomgiven, m.tnom);
        if (int code
            = junctionfault("transistor", instance.name, m.name.c_str(), nominal, unsound(m), area))
            return code;
        if (!(std::isfinite(instance.icvbe) && std::isfinite(instance.icvce)))
            return fail(E_BADDEVICE, "transistor %s has no finite initial voltages", instance.name);
        q.model = &m;
        q.area = area;
        q.icvbe = instance.icvbe;
        q.icvce = instance.icvce;
        q.off = instance.off;
        q.kelvin = devicekelvin(ckt, instance.tempgiven, instance.temp);
        if (q.kelvin == 0)
            return fail(
                E_BADDEVICE, "transistor %s has a temperature below absolute zero", instance.name);
        q.vt = thermalvoltage(q.kelvin);
        const double ratio = q.kelvin / nominal;
        const double logfactor = (ratio - 1) * m.eg / q.vt + m.xti * std::log(ratio);
        const double betafactor = std::exp(m.xtb * std::log(ratio));
        q.csat = m.is * std::exp(logfactor) * area;
        q.betaf = m.bf * betafactor;
        q.betar = m.br * betafactor;
        const double ise = m.isegiven ? m.ise : m.c2 * m.is;
        const double isc = m.iscgiven ? m.isc : m.c4 * m.is;
        q.c2 = ise * std::exp(logfactor / m.ne) / betafactor * area;
        q.c4 = isc * std::exp(logfactor / m.nc) / betafactor * area;
        q.mje = std::min(m.mje, MostGrading);
        q.mjc = std::min(m.mjc, MostGrading);
        q.mjs = std::min(m.mjs, MostGrading);
        if (std::max({ m.mje, m.mjc, m.mjs }) > MostGrading && !m.gradingnoted) {
            m.gradingnoted = true;
            note(ERR_WARNING, "BJT model %s: grading coefficient MJE, MJC or MJS above %g limited to it",
                m.name.c_str(), MostGrading);
        }
        const JunctionTemperature be = junctiontemperature(m.vje, m.cje, q.mje, nominal, q.kelvin);
        const JunctionTemperature bc = junctiontemperature(m.vjc, m.cjc, q.mjc, nominal, q.kelvin);
        const JunctionTemperature cs = junctiontemperature(m.vjs, m.cjs, q.mjs, nominal, q.kelvin);
        q.bepot = be.potential;
        q.becap = be.capacitance * area;
        q.bcpot = bc.potential;
        q.bccap = bc.capacitance * area;
        q.cspot = cs.potential;
        q.cscap = cs.capacitance * area;
        q.vcrit = criticalvoltage(q.vt, q.csat);
        q.gcpr = m.rc > 0 ? area / m.rc : 0;
        q.gepr = m.re > 0 ? area / m.re : 0;
        q.rbpr = (m.rbmgiven ? m.rbm : m.rb) / area;
        q.rbpi = m.rb / area - q.rbpr;
        if (!std::isfinite(q.csat) || q.csat <= 0 || !std::isfinite(q.vcrit) || !(q.bepot > 0)
            || !(q.bcpot > 0) || !(q.cspot > 0) || !std::isfinite(q.c2) || !std::isfinite(q.c4)
            || !std::isfinite(q.betaf))
            return fail(E_BADDEVICE, "transistor %s: model %s gives no usable junctions at %g K",
                instance.name, m.name.c_str(), q.kelvin);
        return 0;
    }

    static int bind(IFcircuit& ckt, Instance& instance, Hot& q)
    {
        int32_t nodes[3];
        if (int code = terminalnumbers(ckt, instance, 3, nodes))
            return code;
        q.c = nodes[0];
        q.b = nodes[1];
        q.e = nodes[2];
        const Node* substrate = ckt.terminal(instance, 3);
        q.s = substrate && !substrate->deleted ? substrate->number : 0;
        const Model& m = modelof(instance);
        q.cp = m.rc > 0 ? internalnode(ckt, instance, instance.cnode, "collector") : q.c;
        q.bp = m.rb > 0 ? internalnode(ckt, instance, instance.bnode, "base") : q.b;
        q.ep = m.re > 0 ? internalnode(ckt, instance, instance.enode, "emitter") : q.e;
        if ((q.state = ckt.models.allocstates(StateCount)) < 0)
            return fail(E_NOMEM, "out of memory for the states of %s", instance.name);
        SparseMatrix& x = ckt.matrix;
        q.cells = { x.place(q.c, q.c), x.place(q.b, q.b), x.place(q.e, q.e), x.place(q.bp, q.bp),
            x.place(q.cp, q.cp), x.place(q.ep, q.ep), x.place(q.c, q.cp), x.place(q.b, q.bp),
            x.place(q.e, q.ep), x.place(q.cp, q.c), x.place(q.cp, q.bp), x.place(q.cp, q.ep),
            x.place(q.bp, q.b), x.place(q.bp, q.cp), x.place(q.bp, q.ep), x.place(q.ep, q.e),
            x.place(q.ep, q.cp), x.place(q.ep, q.bp), x.place(q.s, q.s), x.place(q.s, q.cp),
            x.place(q.cp, q.s), x.place(q.b, q.cp), x.place(q.cp, q.b) };
        return 0;
    }

    // The junction voltages this iteration starts from (type-corrected): the initial-junction
    // guesses, the initial voltages at the first point of a transient with UIC (which solves no
    // operating point), or the solution limited against the last iterate. `limited` when limiting
    // changed one.
    static void junctionvoltages(IFcircuit& ckt, const Hot& q, double& vbe, double& vbc, bool& limited)
    {
        limited = false;
        const uint32_t mode = ckt.mode;
        if ((mode & MODE_INITTRAN) && (mode & MODE_UIC)) {
            vbe = q.icvbe;
            vbc = q.icvbe - q.icvce;
            return;
        }
        if (mode & MODE_INITJCT) {
            vbe = q.off ? 0 : q.vcrit;
            vbc = 0;
            return;
        }
        if ((mode & MODE_INITFIX) && q.off) {
            vbe = vbc = 0;
            return;
        }
        const double* x = ckt.solution.data();
        const int32_t type = q.model->polarity;
        bool first = false;
        bool second = false;
        vbe = pnjlim(type * (x[q.bp] - x[q.ep]), q.vbe, q.vt, q.vcrit, first);
        vbc = pnjlim(type * (x[q.bp] - x[q.cp]), q.vbc, q.vt, q.vcrit, second);
        limited = first || second;
    }

    // A junction's ideal current and the leakage beside it, with their conductances.
    struct Junction {
        double i = 0, g = 0, leak = 0, gleak = 0;
    };
    static Junction junction(double v, double csat, double vtn, double leaksat, double vtl, double gmin)
    {
        Junction j;
        if (v > -5 * vtn) {
            const double e = std::exp(v / vtn);
            j.i = csat * (e - 1) + gmin * v;
            j.g = csat * e / vtn + gmin;
            if (leaksat != 0) {
                const double el = std::exp(v / vtl);
                j.leak = leaksat * (el - 1);
                j.gleak = leaksat * el / vtl;
            }
        } else {
            j.g = -csat / v + gmin;
            j.i = j.g * v;
            j.gleak = -leaksat / v;
            j.leak = j.gleak * v;
        }
        return j;
    }

    // Integrates the charge pair at `index` of the instance: the current into it and its
    // conductance from the capacitance.
    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        const double gmin = ckt.options.gmin;
        const uint32_t mode = ckt.mode;
        const bool transient = mode & MODE_TRAN;
        const bool first = mode & MODE_INITTRAN;
        const bool charges = transient || (mode & MODE_INITSMSIG);
        const double slope = transient ? ckt.integration.slope() : 0;
        double* rhs = ckt.rhs.data();
        const double* x = ckt.solution.data();
        double* a = ckt.matrix.stamps();
        for (Hot& q : list) {
            const Model& m = *q.model;
            const int32_t type = m.polarity;
            double vbe;
            double vbc;
            bool limited;
            junctionvoltages(ckt, q, vbe, vbc, limited);
            const double vbx = type * (x[q.b] - x[q.cp]);
            const double vcs = type * (x[q.s] - x[q.cp]);

            const Junction fe = junction(vbe, q.csat, m.nf * q.vt, q.c2, m.ne * q.vt, gmin);
            const Junction re = junction(vbc, q.csat, m.nr * q.vt, q.c4, m.nc * q.vt, gmin);

            // The base charge: Early effect and high injection.
            const double invvaf = m.vaf > 0 ? 1 / m.vaf : 0;
            const double invvar = m.var > 0 ? 1 / m.var : 0;
            const double oik = m.ikf > 0 ? 1 / (m.ikf * q.area) : 0;
            const double oikr = m.ikr > 0 ? 1 / (m.ikr * q.area) : 0;
            const double q1 = 1 / (1 - invvaf * vbc - invvar * vbe);
            double qb;
            double dqbdve;
            double dqbdvc;
            if (oik == 0 && oikr == 0) {
                qb = q1;
                dqbdve = q1 * qb * invvar;
                dqbdvc = q1 * qb * invvaf;
            } else {
                const double q2 = oik * fe.i + oikr * re.i;
                const double arg = std::max(0.0, 1 + 4 * q2);
                const double root = arg != 0 ? std::sqrt(arg) : 1;
                qb = q1 * (1 + root) / 2;
                dqbdve = q1 * (qb * invvar + oik * fe.g / root);
                dqbdvc = q1 * (qb * invvaf + oikr * re.g / root);
            }

            // Excess phase: the forward current delayed through a second-order filter.
            double cc = 0;
            double cex = fe.i;
            double gex = fe.g;
            const double delay = m.ptf * std::numbers::pi / 180 * m.tf;
            const auto excess = static_cast<std::size_t>(q.state + Excess);
            if (transient && delay != 0) {
                const double step = ckt.integration.step();
                const double before = ckt.integration.accepted >= 2
                    ? ckt.integration.times[1] - ckt.integration.times[2]
                    : step;
                double a1 = step / delay;
                const double a2 = 3 * a1;
                a1 = a2 * a1;
                const double denom = 1 + a1 + a2;
                const double a3 = a1 / denom;
                if (first) {
                    ckt.states[1][excess] = fe.i / qb;
                    ckt.states[2][excess] = ckt.states[1][excess];
                }
                cc = (ckt.states[1][excess] * (1 + step / before + a2)
                         - ckt.states[2][excess] * step / before)
                    / denom;
                cex = fe.i * a3;
                gex = fe.g * a3;
                ckt.states[0][excess] = cc + cex / qb;
            }
            cc += (cex - re.i) / qb - re.i / q.betar - re.leak;
            double cb = fe.i / q.betaf + fe.leak + re.i / q.betar + re.leak;

            // Base resistance, lowered by the current where IRB is given.
            double gx = q.rbpr + q.rbpi / qb;
            if (m.irb > 0) {
                const double a1 = std::max(cb / (m.irb * q.area), 1e-9);
                const double a2 = (-1 + std::sqrt(1 + 14.59025 * a1)) / 2.4317 / std::sqrt(a1);
                const double t = std::tan(a2);
                gx = q.rbpr + 3 * q.rbpi * (t - a2) / a2 / t / t;
            }
            if (gx != 0)
                gx = 1 / gx;
            double gpi = fe.g / q.betaf + fe.gleak;
            double gmu = re.g / q.betar + re.gleak;
            const double go = (re.g + (cex - re.i) * dqbdvc / qb) / qb;
            const double gm = (gex - (cex - re.i) * dqbdve / qb) / qb - go;

            double geqcb = 0;
            double gccs = 0;
            double geqbx = 0;
            double cqbx = 0;
            double cqcs = 0;
            if (charges) {
                // Forward transit time, raised by XTF with VBC and the current.
                double cbe = fe.i;
                double gbe = fe.g;
                if (m.tf != 0 && vbe > 0) {
                    double argtf = 0;
                    double arg2 = 0;
                    double arg3 = 0;
                    const double ovtf = m.vtf > 0 ? 1 / (1.44 * m.vtf) : 0;
                    if (m.xtf != 0) {
                        argtf = m.xtf;
                        if (ovtf != 0)
                            argtf *= std::exp(vbc * ovtf);
                        arg2 = argtf;
                        if (m.itf != 0) {
                            const double share = cbe / (cbe + m.itf * q.area);
                            argtf *= share * share;
                            arg2 = argtf * (3 - 2 * share);
                        }
                        arg3 = cbe * argtf * ovtf;
                    }
                    cbe = cbe * (1 + argtf) / qb;
                    gbe = (gbe * (1 + arg2) - cbe * dqbdve) / qb;
                    geqcb = m.tf * (arg3 - cbe * dqbdvc) / qb;
                }
                const Depletion be = depletion(vbe, q.becap, q.bepot, q.mje, m.fc);
                const Depletion bc = depletion(vbc, q.bccap * m.xcjc, q.bcpot, q.mjc, m.fc);
                const Depletion bx = depletion(vbx, q.bccap * (1 - m.xcjc), q.bcpot, q.mjc, m.fc);
                const Depletion cs = substrate(vcs, q.cscap, q.cspot, q.mjs);
                q.cpi = m.tf * gbe + be.capacitance;
                q.cmu = m.tr * re.g + bc.capacitance;
                q.cbx = bx.capacitance;
                q.ccs = cs.capacitance;
                if (transient) {
                    const double cqbe = integratestate(ckt, q.state + Qbe, m.tf * cbe + be.charge, first);
                    const double cqbc = integratestate(ckt, q.state + Qbc, m.tr * re.i + bc.charge, first);
                    cqbx = integratestate(ckt, q.state + Qbx, bx.charge, first);
                    cqcs = integratestate(ckt, q.state + Qcs, cs.charge, first);
                    geqcb *= slope;
                    gpi += slope * q.cpi;
                    gmu += slope * q.cmu;
                    geqbx = slope * q.cbx;
                    gccs = slope * q.ccs;
                    cb += cqbe + cqbc;
                    cc -= cqbc;
                }
            }

            if (limited)
                ++ckt.noncon;
            q.vbe = vbe;
            q.vbc = vbc;
            q.cc = cc;
            q.cb = cb;
            q.gm = gm;
            q.gpi = gpi;
            q.gmu = gmu;
            q.gx = gx;
            q.go = go;
            q.geqcb = geqcb;

            const double ceqcs = type * (cqcs - vcs * gccs);
            const double ceqbx = type * (cqbx - vbx * geqbx);
            const double ceqbe = type * (cc + cb - vbe * (gm + go + gpi) + vbc * (go - geqcb));
            const double ceqbc = type * (-cc + vbe * (gm + go) - vbc * (gmu + go));
            rhs[q.b] -= ceqbx;
            rhs[q.cp] += ceqcs + ceqbx + ceqbc;
            rhs[q.bp] += -ceqbe - ceqbc;
            rhs[q.ep] += ceqbe;
            rhs[q.s] -= ceqcs;

            a[q.cells[Cc]] += q.gcpr;
            a[q.cells[Bb]] += gx + geqbx;
            a[q.cells[Ee]] += q.gepr;
            a[q.cells[BpBp]] += gx + gpi + gmu + geqcb;
            a[q.cells[CpCp]] += gmu + go + q.gcpr + gccs + geqbx;
            a[q.cells[EpEp]] += gpi + q.gepr + gm + go;
            a[q.cells[CCp]] -= q.gcpr;
            a[q.cells[BBp]] -= gx;
            a[q.cells[EEp]] -= q.gepr;
            a[q.cells[CpC]] -= q.gcpr;
            a[q.cells[CpBp]] += gm - gmu;
            a[q.cells[CpEp]] -= gm + go;
            a[q.cells[BpB]] -= gx;
            a[q.cells[BpCp]] -= gmu + geqcb;
            a[q.cells[BpEp]] -= gpi;
            a[q.cells[EpE]] -= q.gepr;
            a[q.cells[EpCp]] += geqcb - go;
            a[q.cells[EpBp]] -= gpi + gm + geqcb;
            a[q.cells[Ss]] += gccs;
            a[q.cells[SCp]] -= gccs;
            a[q.cells[CpS]] -= gccs;
            a[q.cells[BCp]] -= geqbx;
            a[q.cells[CpB]] -= geqbx;
        }
    }

    // The small-signal admittances: the conductances of the operating point, the capacitances times
    // omega, and the transconductance delayed by the excess phase.
    static void acload(IFcircuit& ckt, const Instance&, const Hot& q)
    {
        const double omega = ckt.omega;
        double gm = q.gm;
        double xgm = 0;
        const double delay = q.model->ptf * std::numbers::pi / 180 * q.model->tf;
        if (delay != 0) {
            const double total = q.gm + q.go;
            xgm = -total * std::sin(omega * delay);
            gm = total * std::cos(omega * delay) - q.go;
        }
        const double gpi = q.gpi;
        const double gmu = q.gmu;
        const double go = q.go;
        const double gx = q.gx;
        const double xcpi = omega * q.cpi;
        const double xcmu = omega * q.cmu;
        const double xcbx = omega * q.cbx;
        const double xccs = omega * q.ccs;
        const double xcmcb = omega * q.geqcb;
        double* a = ckt.matrix.stamps();
        double* x = ckt.matrix.imaginary();
        a[q.cells[Cc]] += q.gcpr;
        a[q.cells[Bb]] += gx;
        x[q.cells[Bb]] += xcbx;
        a[q.cells[Ee]] += q.gepr;
        a[q.cells[BpBp]] += gx + gpi + gmu;
        x[q.cells[BpBp]] += xcpi + xcmu + xcmcb;
        a[q.cells[CpCp]] += gmu + go + q.gcpr;
        x[q.cells[CpCp]] += xcmu + xccs + xcbx;
        a[q.cells[EpEp]] += gpi + q.gepr + gm + go;
        x[q.cells[EpEp]] += xcpi + xgm;
        a[q.cells[CCp]] -= q.gcpr;
        a[q.cells[BBp]] -= gx;
        a[q.cells[EEp]] -= q.gepr;
        a[q.cells[CpC]] -= q.gcpr;
        a[q.cells[CpBp]] += gm - gmu;
        x[q.cells[CpBp]] += xgm - xcmu;
        a[q.cells[CpEp]] -= gm + go;
        x[q.cells[CpEp]] -= xgm;
        a[q.cells[BpB]] -= gx;
        a[q.cells[BpCp]] -= gmu;
        x[q.cells[BpCp]] -= xcmu + xcmcb;
        a[q.cells[BpEp]] -= gpi;
        x[q.cells[BpEp]] -= xcpi;
        a[q.cells[EpE]] -= q.gepr;
        a[q.cells[EpCp]] -= go;
        x[q.cells[EpCp]] += xcmcb;
        a[q.cells[EpBp]] -= gpi + gm;
        x[q.cells[EpBp]] -= xcpi + xgm + xcmcb;
        x[q.cells[Ss]] += xccs;
        x[q.cells[SCp]] -= xccs;
        x[q.cells[CpS]] -= xccs;
        x[q.cells[BCp]] -= xcbx;
        x[q.cells[CpB]] -= xcbx;
    }

    // Noise currents: the series resistances' thermal noise, the shot noise of the collector and
    // base currents and the base current's flicker noise.
    static void noise(IFcircuit& ckt, const Instance& instance, const Hot& q, NoiseSources& sources)
    {
        sources.add(instance,
            { { "rc", q.cp, q.c, thermalnoise(q.kelvin, q.gcpr) },
                { "rb", q.bp, q.b, thermalnoise(q.kelvin, q.gx) },
                { "re", q.ep, q.e, thermalnoise(q.kelvin, q.gepr) },
                { "ic", q.cp, q.ep, shotcollector(ckt, instance) },
                { "ib", q.bp, q.ep, shotbase(ckt, instance) },
                { "1overf", q.bp, q.ep, 0, flicker(ckt, instance) } });
    }

    // A junction's current of junction() (with GMIN) or its leakage beside it (`gmin` 0) as a
    // polynomial of its voltage; reverse-biased, both are linear.
    static Taylor junctioncurrent(const Taylor& v, double csat, double vtn, double gmin)
    {
        if (v.value() > -5 * vtn)
            return csat * (exp(v * (1 / vtn)) - 1) + gmin * v;
        return gmin * v - csat;
    }

    // The distortion of the transport current, the junctions' currents, the base resistance and
    // the charges, in the junction voltages as the load has them; the excess phase delays the
    // small-signal transconductance alone.
    static void distortion(IFcircuit& ckt, const Instance&, const Hot& q, Distortion& products)
    {
        const Model& m = *q.model;
        const double type = m.polarity;
        const double gmin = ckt.options.gmin;
        const Taylor vbe = Taylor::variable(0, q.vbe);
        const Taylor vbc = Taylor::variable(1, q.vbc);
        const Taylor fe = junctioncurrent(vbe, q.csat, m.nf * q.vt, gmin);
        const Taylor re = junctioncurrent(vbc, q.csat, m.nr * q.vt, gmin);
        const Taylor feleak = junctioncurrent(vbe, q.c2, m.ne * q.vt, 0);
        const Taylor releak = junctioncurrent(vbc, q.c4, m.nc * q.vt, 0);
        const double invvaf = m.vaf > 0 ? 1 / m.vaf : 0;
        const double invvar = m.var > 0 ? 1 / m.var : 0;
        const double oik = m.ikf > 0 ? 1 / (m.ikf * q.area) : 0;
        const double oikr = m.ikr > 0 ? 1 / (m.ikr * q.area) : 0;
        const Taylor q1 = (1 - invvaf * vbc - invvar * vbe).reciprocal();
        Taylor qb = q1;
        if (oik != 0 || oikr != 0) {
            const Taylor arg = 1 + 4 * (oik * fe + oikr * re);
            qb = q1 * (1 + (arg.value() > 0 ? sqrt(arg) : Taylor(1))) * 0.5;
        }
        const Distortion::Control be { q.bp, q.ep, type };
        const Distortion::Control bc { q.bp, q.cp, type };
        const Taylor base = fe * (1 / q.betaf) + feleak + re * (1 / q.betar) + releak;
        products.current((fe - re) / qb, { be, bc }, q.cp, q.ep, type);
        products.current(fe * (1 / q.betaf) + feleak, { be, bc }, q.bp, q.ep, type);
        products.current(re * (1 / q.betar) + releak, { be, bc }, q.bp, q.cp, type);

        const double* x = ckt.solution.data();
        if (q.gx != 0) {
            Taylor rbb = q.rbpr + q.rbpi * qb.reciprocal();
            if (m.irb > 0) {
                const Taylor scaled = base * (1 / (m.irb * q.area));
                const Taylor a1 = scaled.value() > 1e-9 ? scaled : Taylor(1e-9);
                const Taylor a2 = (sqrt(1 + 14.59025 * a1) - 1) * (1 / 2.4317) / sqrt(a1);
                const Taylor t = tan(a2);
                rbb = q.rbpr + 3 * q.rbpi * (t - a2) / (a2 * t * t);
            }
            const Taylor vbb = Taylor::variable(2, type * (x[q.b] - x[q.bp]));
            products.current(vbb / rbb, { be, bc, { q.b, q.bp, type } }, q.b, q.bp, type);
        }

        Taylor transit = fe;
        if (m.tf != 0 && q.vbe > 0) {
            Taylor argtf = 0;
            if (m.xtf != 0) {
                argtf = m.xtf * (m.vtf > 0 ? exp(vbc * (1 / (1.44 * m.vtf))) : Taylor(1));
                if (m.itf != 0) {
                    const Taylor share = fe / (fe + m.itf * q.area);
                    argtf = argtf * share * share;
                }
            }
            transit = fe * (1 + argtf) / qb;
        }
        products.charge(m.tf * transit + depletioncharge(vbe, q.becap, q.bepot, q.mje, m.fc), { be, bc },
            q.bp, q.ep, type);
        products.charge(m.tr * re + depletioncharge(vbc, q.bccap * m.xcjc, q.bcpot, q.mjc, m.fc), { be, bc },
            q.bp, q.cp, type);
        const Taylor vbx = Taylor::variable(0, type * (x[q.b] - x[q.cp]));
        products.charge(depletioncharge(vbx, q.bccap * (1 - m.xcjc), q.bcpot, q.mjc, m.fc),
            { { q.b, q.cp, type } }, q.b, q.cp, type);
        const Taylor vcs = Taylor::variable(0, type * (x[q.s] - x[q.cp]));
        products.charge(
            depletioncharge(vcs, q.cscap, q.cspot, q.mjs, 0), { { q.s, q.cp, type } }, q.s, q.cp, type);
    }

    // The substrate junction's charge: depletion in reverse, a linear capacitance rise forward.
    static Depletion substrate(double v, double cj0, double pot, double m)
    {
        Depletion d;
        if (cj0 == 0)
            return d;
        if (v < 0) {
            const double arg = 1 - v / pot;
            const double sarg = std::exp(-m * std::log(arg));
            d.charge = pot * cj0 * (1 - arg * sarg) / (1 - m);
            d.capacitance = cj0 * sarg;
        } else {
            d.charge = v * cj0 * (1 + m * v / (2 * pot));
            d.capacitance = cj0 * (1 + m * v / pot);
        }
        return d;
    }

    static bool converged(IFcircuit& ckt, std::span<const Hot> list)
    {
        const double* x = ckt.solution.data();
        const Options& o = ckt.options;
        for (const Hot& q : list) {
            const int32_t type = q.model->polarity;
            const double dbe = type * (x[q.bp] - x[q.ep]) - q.vbe;
            const double dbc = type * (x[q.bp] - x[q.cp]) - q.vbc;
            const double cchat = q.cc + (q.gm + q.go) * dbe - (q.go + q.gmu) * dbc;
            const double cbhat = q.cb + q.gpi * dbe + q.gmu * dbc;
            if (std::fabs(cchat - q.cc) > o.reltol * std::max(std::fabs(cchat), std::fabs(q.cc)) + o.abstol)
                return false;
            if (std::fabs(cbhat - q.cb) > o.reltol * std::max(std::fabs(cbhat), std::fabs(q.cb)) + o.abstol)
                return false;
        }
        return true;
    }

    static void truncation(IFcircuit& ckt, std::span<const Hot> list, TruncationTest& test)
    {
        for (const Hot& q : list) {
            for (int32_t pair : { Qbe, Qbc, Qcs })
                test.add(q.state + pair, ckt.options.abstol);
        }
    }

    static void topology(Topology& topology, const Instance&, const Hot& q)
    {
        topology.conducts(q.c, q.cp);
        topology.conducts(q.b, q.bp);
        topology.conducts(q.e, q.ep);
        topology.conducts(q.bp, q.ep);
        topology.conducts(q.bp, q.cp);
    }
};

} // namespace

extern const DeviceKind bjtkind;
constexpr DeviceKind bjtkind = devicekind<Bjt>("BJT", "Bipolar Junction Transistor", 4);

} // namespace nerith
