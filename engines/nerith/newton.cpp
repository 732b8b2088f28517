#include "engines/nerith/newton.h"

#include "engines/nerith/ckt.h"
#include "engines/nerith/diagnose.h"
#include "engines/nerith/report.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nerith {

namespace {

constexpr uint32_t InitModes
    = MODE_INITFLOAT | MODE_INITJCT | MODE_INITFIX | MODE_INITSMSIG | MODE_INITTRAN | MODE_INITPRED;
// A nodeset holds its node through this conductance (S) while it applies.
constexpr double NodesetConductance = 1e10;
// Gmin stepping starts at or below this conductance from every node to ground (S) and divides it by
// at most this factor per step; from above, it rises up to the largest while even its first step fails.
constexpr double GminStart = 1e-2;
constexpr double GminLargest = 1;
constexpr double GminFactor = 10;
// Source stepping raises the sources by at most this share per step, and gives up below the least.
constexpr double SourceRaiseGrowth = 1.5;
constexpr double SourceRaiseLeast = 1e-7;

void setinit(IFcircuit& ckt, uint32_t init)
{
    ckt.mode = (ckt.mode & ~InitModes) | init;
}

bool nodesetsapply(const IFcircuit& ckt)
{
    return !ckt.nodesets.empty() && (ckt.mode & (MODE_DCOP | MODE_TRANOP))
        && (ckt.mode & (MODE_INITJCT | MODE_INITFIX));
}

// The first equation whose new value is no number or lies beyond the tolerance of the old; 0 when
// every one settled.
int32_t unsettled(const IFcircuit& ckt)
{
    const Options& o = ckt.options;
    const double* now = ckt.rhs.data();
    const double* before = ckt.solution.data();
    const uint8_t* voltage = ckt.voltage.data();
    const int32_t size = ckt.size();
    for (int32_t n = 1; n <= size; ++n) {
        const double a = now[n];
        const double b = before[n];
        const double tolerance
            = o.reltol * std::max(std::fabs(a), std::fabs(b)) + (voltage[n] ? o.vntol : o.abstol);
        if (!(std::fabs(a - b) <= tolerance))
            return n;
    }
    return 0;
}

int32_t notfinite(const IFcircuit& ckt)
{
    const int32_t size = ckt.size();
    for (int32_t n = 1; n <= size; ++n) {
        if (!std::isfinite(ckt.rhs[static_cast<std::size_t>(n)]))
            return n;
    }
    return 0;
}

bool devicesconverged(IFcircuit& ckt)
{
    for (auto& family : ckt.families) {
        if (!family->converged(ckt))
            return false;
    }
    return true;
}

// Solves the system loaded into the matrix and ckt.rhs; the new iterate goes to ckt.rhs. `again`:
// ckt.solution is the iterate of an earlier iteration of the same point, solved from ckt.loaded.
int solve(IFcircuit& ckt, bool again)
{
    // Factors are kept while the values repeat: in linear circuits at an unchanged step, and in
    // mostly linear ones whose few nonlinear devices (switches, the kernel's own models) load the
    // same stamps at every iteration of a point. Where values do change, the comparison stops at
    // the first difference, mostly where the last one was found.
    const SparseMatrix::Result result = ckt.matrix.factor(ckt.options.pivtol, ckt.options.pivrel);
    switch (result.status) {
    case SparseMatrix::Status::Ok:
        // The same matrix and right-hand side as the last iteration: the same iterate.
        if (again && result.kept && ckt.rhs == ckt.loaded) {
            std::copy(ckt.solution.begin(), ckt.solution.end(), ckt.rhs.begin());
            return 0;
        }
        ckt.loaded = ckt.rhs;
        ckt.matrix.solve(ckt.rhs.data());
        return 0;
    case SparseMatrix::Status::Singular:
        return diagnose(ckt, result.equation);
    case SparseMatrix::Status::NotFinite:
        // A device overflowed: the iterate went too far, which is non-convergence, not singularity.
        ckt.trouble = result.equation;
        return E_ITERLIM;
    case SparseMatrix::Status::NoMemory:
        break;
    }
    return fail(E_NOMEM, "out of memory while factoring the circuit matrix (%d equations)", ckt.size());
}

// Gmin stepping as the reference simulator steps it: `conductance` (ckt.diaggmin, from every node to
// ground, or the devices' GMIN across their junctions) starts at a tenth of GminStart and falls to
// `target` by a factor that grows back towards GminFactor while steps converge quickly, shrinks to
// its root when one took most of its iterations and to its fourth root when one fails, which is
// then retaken from the last solution that converged. Then a last solution with it at `last`.
int gminstepping(IFcircuit& ckt, uint32_t dcmode, double& conductance, double target, double last)
{
    const Options& o = ckt.options;
    std::fill(ckt.solution.begin(), ckt.solution.end(), 0.0);
    std::vector<double> good = ckt.solution;
    double factor = GminFactor;
    double reached = GminStart; // the last conductance that converged (GminStart before any)
    conductance = std::max(reached / factor, target);
    setinit(ckt, dcmode | MODE_INITJCT);
    for (int32_t step = 0; step < o.gminsteps; ++step) {
        const int32_t before = ckt.statistics.iterations;
        const int code = iterate(ckt, o.itl2);
        const int32_t iterations = ckt.statistics.iterations - before;
        if (code == 0) {
            setinit(ckt, dcmode | MODE_INITFLOAT);
            if (conductance <= target) {
                conductance = last;
                return iterate(ckt, o.itl1);
            }
            good = ckt.solution;
            reached = conductance;
            if (iterations <= o.itl2 / 4)
                factor = std::min(factor * std::sqrt(factor), GminFactor);
            if (iterations > 3 * o.itl2 / 4)
                factor = std::sqrt(factor);
            conductance = conductance < factor * target ? target : conductance / factor;
            continue;
        }
        if (code != E_ITERLIM)
            break;
        factor = std::sqrt(std::sqrt(factor));
        if (factor < 1.00005)
            break;
        ckt.solution = good;
        conductance = reached / factor;
    }
    conductance = last;
    return E_ITERLIM;
}

// Gmin stepping from above, where the reference's fails: a conductance from every node to ground,
// large at first and lowered step by step to GMIN, each solution starting the next; when a step fails it is retaken shorter (and when the
// first fails, it starts larger). Then a last solution without it.
int gminfromabove(IFcircuit& ckt, uint32_t dcmode)
{
    const Options& o = ckt.options;
    const double target = o.gmin > 0 ? o.gmin : Options {}.gmin;
    std::fill(ckt.solution.begin(), ckt.solution.end(), 0.0);
    std::vector<double> good;
    double reached = 0; // the last conductance that converged; 0: none yet
    double factor = GminFactor;
    double g = std::max(GminStart, target);
    setinit(ckt, dcmode | MODE_INITJCT);
    int code = E_ITERLIM;
    for (int32_t step = 0; step < o.gminsteps; ++step) {
        ckt.diaggmin = g;
        code = iterate(ckt, o.itl1);
        if (code == 0 && g <= target) {
            ckt.diaggmin = 0;
            return iterate(ckt, o.itl1);
        }
        if (code == 0) {
            good = ckt.solution;
            reached = g;
            setinit(ckt, dcmode | MODE_INITFLOAT);
            g = std::max(g / factor, target);
            continue;
        }
        if (code != E_ITERLIM)
            break;
        if (reached == 0) {
            if (g >= GminLargest)
                break;
            g *= GminFactor;
            std::fill(ckt.solution.begin(), ckt.solution.end(), 0.0);
            setinit(ckt, dcmode | MODE_INITJCT);
            continue;
        }
        factor = std::sqrt(factor);
        if (factor < 1.00005)
            break;
        ckt.solution = good;
        g = reached / factor;
    }
    ckt.diaggmin = 0;
    return code == 0 ? E_ITERLIM : code;
}

// Source stepping: every source scaled from 0 up to its full value, each solution starting the
// next; the raise grows while steps converge, and a step that fails is retaken ten times shorter.
int sourcestepping(IFcircuit& ckt, uint32_t dcmode)
{
    const Options& o = ckt.options;
    std::fill(ckt.solution.begin(), ckt.solution.end(), 0.0);
    ckt.diaggmin = 0;
    ckt.srcfact = 0;
    setinit(ckt, dcmode | MODE_INITJCT);
    int code = iterate(ckt, o.itl1);
    std::vector<double> good = ckt.solution;
    double reached = 0;
    double raise = 1.0 / o.srcsteps;
    setinit(ckt, dcmode | MODE_INITFLOAT);
    for (int32_t step = 0; code == 0 && reached < 1; ++step) {
        if (step >= o.srcsteps) {
            code = E_ITERLIM;
            break;
        }
        ckt.srcfact = std::min(1.0, reached + raise);
        code = iterate(ckt, o.itl1);
        if (code == 0) {
            reached = ckt.srcfact;
            good = ckt.solution;
            raise *= SourceRaiseGrowth;
            continue;
        }
        raise /= 10;
        if (code != E_ITERLIM || raise < SourceRaiseLeast)
            break;
        ckt.solution = good;
        code = 0;
    }
    ckt.srcfact = 1;
    return code;
}

int nonconvergence(IFcircuit& ckt)
{
    const std::string where = ckt.describe(ckt.trouble);
    ckt.nonconvergence = where;
    return fail(E_ITERLIM,
        "no convergence in the operating point: %s did not settle within %d iterations, and gmin and source "
        "stepping "
        "did not help",
        where.c_str(), ckt.options.itl1);
}

} // namespace

int order(IFcircuit& ckt)
{
    SparseMatrix& m = ckt.matrix;
    if (!m.stale())
        return 0;
    if (!m.analyse())
        return fail(E_NOMEM, "out of memory while ordering the circuit matrix (%d equations)", ckt.size());
    for (auto& family : ckt.families)
        family->attach(m);
    return 0;
}

void shunt(IFcircuit& ckt)
{
    SparseMatrix& m = ckt.matrix;
    double* a = m.stamps();
    const double conductance = ckt.diaggmin + (ckt.options.rshunt > 0 ? 1.0 / ckt.options.rshunt : 0.0);
    if (conductance > 0) {
        // Branches have no diagonal place: their share goes to the sink entry.
        for (int32_t place : ckt.diagonal)
            a[m.entry(place)] += conductance;
    }
}

int load(IFcircuit& ckt)
{
    if (int code = order(ckt))
        return code;
    SparseMatrix& m = ckt.matrix;
    m.clear();
    std::fill(ckt.rhs.begin(), ckt.rhs.end(), 0.0);
    ckt.noncon = 0;
    for (auto& family : ckt.families)
        family->load(ckt);
    shunt(ckt);
    double* a = m.stamps();
    auto diagonal = [&](int32_t number) -> double& {
        return a[m.entry(ckt.diagonal[static_cast<std::size_t>(number)])];
    };
    // Initial conditions hold their nodes through every iteration of a transient's operating point;
    // they and the nodesets scale with the sources while those are stepped.
    if (ckt.mode & MODE_TRANOP) {
        for (const auto& [number, value] : ckt.initialconditions) {
            diagonal(number) += NodesetConductance;
            ckt.rhs[static_cast<std::size_t>(number)] += NodesetConductance * value * ckt.srcfact;
        }
    }
    if (!nodesetsapply(ckt))
        return 0;
    for (const auto& [number, value] : ckt.nodesets) {
        // An initial condition on the same node wins.
        if ((ckt.mode & MODE_TRANOP)
            && ckt.giveninitials.contains(ckt.equations[static_cast<std::size_t>(number)].node()))
            continue;
        diagonal(number) += NodesetConductance;
        ckt.rhs[static_cast<std::size_t>(number)] += NodesetConductance * value * ckt.srcfact;
    }
    return 0;
}

int iterate(IFcircuit& ckt, int32_t limit)
{
    bool nodessettled = false; // at the last iteration, with no device limited
    bool released = false; // nodesets held the last iteration and no longer do
    for (int32_t iteration = 1;; ++iteration) {
        if (iteration > limit)
            return nodessettled ? 0 : E_ITERLIM;
        const bool nodesets = nodesetsapply(ckt);
        if (int code = load(ckt))
            return code;
        if (int code = solve(ckt, iteration > 1))
            return code;
        ++ckt.statistics.iterations;
        if (int32_t bad = notfinite(ckt)) {
            ckt.trouble = bad;
            return E_ITERLIM;
        }
        bool settled = false;
        if (!ckt.nonlinear && !nodesets) {
            // Stamps that do not depend on the iterate give the answer in one solution.
            settled = true;
        } else {
            const int32_t trouble = unsettled(ckt);
            if (trouble)
                ckt.trouble = trouble;
            if (ckt.mode & MODE_INITFLOAT) {
                nodessettled = ckt.noncon == 0 && iteration > 1 && trouble == 0 && !released;
                settled = nodessettled && devicesconverged(ckt);
                released = false;
            } else if (ckt.mode & MODE_INITJCT) {
                setinit(ckt, MODE_INITFIX);
            } else if (!(ckt.mode & MODE_INITFIX)) {
                setinit(ckt, MODE_INITFLOAT);
            } else if (ckt.noncon == 0 && iteration > 1 && trouble == 0) {
                // The devices held off and the nodesets stay until the nodes have settled with
                // them (an off device's currents at its held voltages are no test); released, the
                // circuit must settle again.
                setinit(ckt, MODE_INITFLOAT);
                released = nodesets;
            }
        }
        std::swap(ckt.rhs, ckt.solution);
        if (settled)
            return 0;
    }
}

int operatingpoint(IFcircuit& ckt, uint32_t dcmode)
{
    const Options& o = ckt.options;
    ckt.srcfact = 1;
    ckt.diaggmin = 0;
    ckt.trouble = 0;
    ckt.mode = dcmode | MODE_INITJCT;
    if (o.noopiter && o.gminsteps <= 0 && o.srcsteps <= 0)
        return fail(E_ITERLIM,
            "the operating point was not solved: NOOPITER is set and gmin and source stepping are off");
    int code = E_ITERLIM;
    if (!o.noopiter) {
        code = iterate(ckt, o.itl1);
        // A singular linear circuit stays singular whatever the stepping.
        if (code == 0 || code == E_NOMEM || (code != E_ITERLIM && !ckt.nonlinear))
            return code;
    }
    if (o.gminsteps > 0) {
        note(ERR_INFO, "operating point: trying gmin stepping");
        const double gmin = o.gmin > 0 ? o.gmin : Options {}.gmin;
        code = gminstepping(ckt, dcmode, ckt.diaggmin, gmin, 0);
        if (code == 0 || code == E_NOMEM)
            return code;
        // The devices' own GMIN stepped ends on the circuit as it is, where the conductance to
        // ground had to be taken away at the last. A bypassed device would keep its last GMIN.
        const double junctions = o.gmin;
        const bool bypass = o.bypass;
        ckt.options.bypass = false;
        code = gminstepping(ckt, dcmode, ckt.options.gmin, gmin, junctions);
        ckt.options.gmin = junctions;
        ckt.options.bypass = bypass;
        if (code == 0 || code == E_NOMEM)
            return code;
        code = gminfromabove(ckt, dcmode);
        if (code == 0 || code == E_NOMEM)
            return code;
    }
    if (o.srcsteps > 0) {
        note(ERR_INFO, "operating point: trying source stepping");
        code = sourcestepping(ckt, dcmode);
        if (code == 0 || code == E_NOMEM)
            return code;
    }
    // A singular matrix keeps the message that named its cause.
    return code == E_ITERLIM ? nonconvergence(ckt) : code;
}

} // namespace nerith
