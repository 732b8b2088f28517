#include "engines/nerith/transient.h"

#include "engines/nerith/ckt.h"
#include "engines/nerith/newton.h"
#include "engines/nerith/output.h"
#include "engines/nerith/report.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nerith {

namespace {

constexpr double Never = std::numeric_limits<double>::infinity();
// Without a MINBREAK option, break points closer than this share of TMAX merge.
constexpr double MinbreakShare = 5e-5;
// The transient gives up below this share of TMAX (or TMIN, when larger).
constexpr double FloorShare = 1e-9;
// The first step is this share of the smallest of TSTEP (or TMAX), a hundredth of TSTOP and the
// time to the first break point.
constexpr double FirstShare = 0.01;
// A step whose truncation error asks for less than this share of it is taken again.
constexpr double RejectBelow = 0.9;
// Steps grow by at most this factor from one point to the next.
constexpr double MostGrowth = 2;
// After a break point the step is at most this share of the step before and of the gap ahead.
constexpr double AfterBreak = 0.1;
// A step that does not converge is taken again this many times shorter.
constexpr double NewtonCut = 8;
// A change of order must promise a step longer by this factor.
constexpr double OrderGain = 1.05;
// Retakes of one step the digital side may ask for.
constexpr int32_t MostRetakes = 20;

void collect(void* context, double time)
{
    static_cast<std::vector<double>*>(context)->push_back(time);
}

} // namespace

Transient::Transient(IFcircuit& circuit, IFjob& analysis, const TranSettings& given)
    : ckt(circuit)
    , job(analysis)
    , settings(given)
{
}

int Transient::start()
{
    const TranSettings& s = settings;
    if (!(std::isfinite(s.tstop) && s.tstop > 0))
        return fail(
            E_BADVALUE, "transient %s: TSTOP must be a time after 0, not %g", job.name.c_str(), s.tstop);
    if (!(s.tstart >= 0 && s.tstart < s.tstop))
        return fail(E_BADVALUE, "transient %s: TSTART %g is not between 0 and TSTOP %g", job.name.c_str(),
            s.tstart, s.tstop);
    const double span = s.tstop - s.tstart;
    tmax = s.tmax > 0 ? s.tmax : std::min(s.tstep > 0 ? s.tstep : Never, span / 50);
    minbreak = ckt.options.minbreak > 0 ? ckt.options.minbreak : MinbreakShare * tmax;
    ckt.options.minbreak = minbreak;
    ckt.stepfloor = std::max(ckt.options.tmin, FloorShare * tmax);
    ckt.sourcestep = s.tstep > 0 ? s.tstep : tmax;
    ckt.sourcestop = s.tstop;
    equations = ckt.size();

    Integration& in = ckt.integration;
    in = Integration {};
    in.method = ckt.options.method;
    maxorder = in.method == Method::Trapezoidal ? std::min(ckt.options.maxord, 2) : ckt.options.maxord;
    maxorder = std::clamp(maxorder, 1, MaxOrder);
    stepsatorder = 0;
    afterbreak = false;
    for (auto& states : ckt.states)
        states.assign(static_cast<std::size_t>(ckt.statecount), 0.0);
    for (auto& solution : ckt.solutions)
        solution.assign(ckt.solution.size(), 0.0);

    ckt.time = 0;
    if (s.tstart > 0)
        addbreak(ckt, s.tstart);
    for (auto& family : ckt.families)
        family->begin(ckt);
    // A start from initial conditions is seldom a settled state, and the trapezoidal rule would carry
    // its first steep derivatives on as a ringing: a break point one output step in starts the
    // integration afresh once that has passed.
    if (s.uic)
        addbreak(ckt, ckt.sourcestep);
    double first = FirstShare * std::min({ ckt.sourcestep, s.tstop / 100, nextbreak() });
    if (ckt.initialstep > 0)
        first = std::min(first, ckt.initialstep);
    ckt.initialstep = first;
    following = first;

    if (int code = initialsolution())
        return code;
    IFfrontEnd* frontend = session().frontend;
    if (frontend && frontend->beginPlot && frontend->appendData && frontend->endPlot) {
        if (int code = frontend->beginPlot(&ckt, &job, job.name.c_str(), "time", IF_REAL, ckt.size(),
                ckt.plotnames.data(), IF_REAL, &plot))
            return fail(code, "the front end refused the plot of %s", job.name.c_str());
    }
    // The initial solution is the first accepted point.
    ckt.solutions[1] = ckt.solution;
    in.accepted = 1;
    started = true;
    for (auto& family : ckt.families)
        family->accept(ckt);
    if (int code = deliver(0))
        return code;
    return steps();
}

int Transient::resume()
{
    if (done || !started)
        return 0;
    if (ckt.size() != equations)
        return fail(E_BADDEVICE, "transient %s cannot go on: the circuit changed while it was stopped",
            job.name.c_str());
    ckt.options.minbreak = minbreak;
    IFfrontEnd* frontend = session().frontend;
    if (frontend && frontend->digitalResume && !frontend->digitalResume())
        return fail(E_DIGITAL, "the digital engine could not go on with transient %s", job.name.c_str());
    return steps();
}

// The operating point the run starts from, or with UIC the nodes' initial conditions and 0 elsewhere.
int Transient::initialsolution()
{
    IFfrontEnd* frontend = session().frontend;
    if (frontend && frontend->digitalSetup && !frontend->digitalSetup())
        return fail(E_DIGITAL, "the digital engine could not be set up for transient %s", job.name.c_str());
    if (!settings.uic) {
        if (int code = operatingpoint(ckt, MODE_TRANOP))
            return code;
        return settledigital(ckt, MODE_TRANOP);
    }
    std::fill(ckt.solution.begin(), ckt.solution.end(), 0.0);
    for (const auto& [number, value] : ckt.initialconditions)
        ckt.solution[static_cast<std::size_t>(number)] = value;
    consistentstart();
    ckt.mode = MODE_TRAN | MODE_UIC;
    // Without an operating point only the digital events due at 0 run.
    if (frontend && frontend->digitalBootStep) {
        int changes = 0;
        if (!frontend->digitalBootStep(1, 0, &changes))
            return fail(
                E_DIGITAL, "the digital engine failed at the start of transient %s", job.name.c_str());
    }
    return 0;
}

// With UIC the point at 0 is the circuit with each capacitor held at its initial voltage and each
// inductor at its initial current: a first-order step of the shortest length the run allows
// solves it, its companion models being those sources to within that length. Should it not
// settle, the run and its point at 0 start from the initial conditions as given.
void Transient::consistentstart()
{
    const std::vector<double> given = ckt.solution;
    Integration& in = ckt.integration;
    in.order = 1;
    in.times[0] = 0;
    in.times[1] = -ckt.stepfloor;
    in.prepare();
    ckt.mode = MODE_TRAN | MODE_UIC | MODE_INITTRAN;
    if (iterate(ckt, ckt.options.itl4))
        ckt.solution = given;
    in.times[1] = 0;
    for (auto& states : ckt.states)
        std::fill(states.begin(), states.end(), 0.0);
}

int Transient::steps()
{
    while (!done) {
        if (int code = step())
            return code;
    }
    return 0;
}

// One accepted point: steps that fail to converge, whose truncation error is too large or that the
// digital side retakes are taken again shorter. A step that passes a stop waits there unaccepted.
int Transient::step()
{
    Integration& in = ckt.integration;
    double wanted = following;
    double forced = Never;
    int32_t retakes = 0;
    bool solved = false;
    if (ckt.holding) {
        if (int failed = release(&solved))
            return failed;
        if (!solved)
            wanted = held.plan.wanted;
    }
    for (bool retry = false;; retry = true) {
        Solved point;
        if (solved) {
            point = held;
        } else {
            if (int failed = plan(wanted, forced, retry, &point.plan))
                return failed;
            const double target = point.plan.target;
            const double h = target - ckt.time;
            const int code = solve(target);
            if (code == E_ITERLIM) {
                restore();
                ++ckt.statistics.badsteps;
                in.order = 1;
                stepsatorder = 0;
                wanted = h / NewtonCut;
                forced = Never;
                if (wanted < ckt.stepfloor)
                    return stepfailure(target, true);
                continue;
            }
            if (code)
                return code;
            // The first step of the run has no error estimate; should the order in use ever outrun
            // the points, the highest order they allow judges it, which overstates the error.
            int32_t judged = in.order;
            while (judged > 0 && !in.estimable(judged))
                --judged;
            point.estimable = judged > 0;
            // The states of the point and, in the same pass, the step their truncation error allows.
            TruncationTest test(ckt, judged);
            for (auto& family : ckt.families)
                family->settle(ckt, point.estimable ? &test : nullptr);
            point.truncation = test.step();
            if (point.estimable && point.truncation < RejectBelow * h) {
                restore();
                ++ckt.statistics.badsteps;
                wanted = point.truncation;
                forced = Never;
                if (wanted < ckt.stepfloor)
                    return stepfailure(target, false);
                continue;
            }
        }
        solved = false;
        const Plan& next = point.plan;
        const auto& stops = ckt.stops;
        if (auto stop = std::upper_bound(stops.begin(), stops.end(), in.times[1]);
            stop != stops.end() && *stop < next.target)
            return hold(point, *stop);
        double retake = Never;
        if (int failed = acceptdigital(next.target, &retake))
            return failed;
        if (retake < Never) {
            restore();
            if (++retakes > MostRetakes)
                return fail(E_TIMESTEP,
                    "time step too small at %g s: the digital side retook the step %d times", ckt.time,
                    MostRetakes);
            forced = retake;
            wanted = retake - ckt.time;
            continue;
        }
        following = nextstep(next, point.truncation, point.estimable);
        commit(next.target);
        if (next.onbreak) {
            // Past the break point the slope of a source may change: a short step of the first order.
            in.order = 1;
            afterbreak = true;
            stepsatorder = 0;
            following = std::min(following, AfterBreak * std::min(next.wanted, nextbreak() - ckt.time));
        }
        return deliver(next.target);
    }
}

// Keeps the solved step past `stop` and stops there: until the run goes on, the circuit shows the
// stop's time and its solution interpolated. E_PAUSE.
int Transient::hold(const Solved& point, double stop)
{
    held = point;
    heldsolution = ckt.solution;
    ckt.holding = true;
    interpolate(stop);
    ckt.time = stop;
    auto& stops = ckt.stops;
    stops.erase(stops.begin(), std::upper_bound(stops.begin(), stops.end(), stop));
    return E_PAUSE;
}

// Goes on with the step held past a stop: *stands, with the circuit at that step again, when no
// break point and no digital change came due before its end; else the step is dropped as rejected
// and the circuit is back at the last accepted point. 0, or fail()'s code.
int Transient::release(bool* stands)
{
    ckt.holding = false;
    restore();
    const double target = held.plan.target;
    *stands = nextbreak() >= target;
    IFfrontEnd* frontend = session().frontend;
    if (*stands && frontend && frontend->digitalTimeStep) {
        double change = Never;
        if (!frontend->digitalTimeStep(target, &change))
            return fail(E_DIGITAL, "the digital engine failed before the step to %g s", target);
        *stands = !(change > ckt.time && change < target);
    }
    if (!*stands) {
        ++ckt.statistics.badsteps;
        return 0;
    }
    ckt.solution.swap(heldsolution);
    ckt.time = target;
    return 0;
}

// The solution at `time` between the last accepted point and the held step: the polynomial through
// both and, when the step was of the second order or higher (a smooth stretch), the point before.
void Transient::interpolate(double time)
{
    const Integration& in = ckt.integration;
    const double* t = in.times;
    const bool quadratic = in.order >= 2 && in.accepted >= 2;
    double w[3] = { (time - t[1]) / (t[0] - t[1]), 0, 0 };
    w[1] = 1 - w[0];
    if (quadratic) {
        w[0] = (time - t[1]) * (time - t[2]) / ((t[0] - t[1]) * (t[0] - t[2]));
        w[1] = (time - t[0]) * (time - t[2]) / ((t[1] - t[0]) * (t[1] - t[2]));
        w[2] = (time - t[0]) * (time - t[1]) / ((t[2] - t[0]) * (t[2] - t[1]));
    }
    const double* solved = heldsolution.data();
    const double* last = ckt.solutions[1].data();
    const double* before = ckt.solutions[2].data();
    double* x = ckt.solution.data();
    const std::size_t size = ckt.solution.size();
    for (std::size_t n = 1; n < size; ++n)
        x[n] = w[0] * solved[n] + w[1] * last[n] + (quadratic ? w[2] * before[n] : 0.0);
}

// The time of the next point: the wanted step cut by TMAX, the first-step limit, the models'
// proposals and limits, a forced time, the next break point and the digital side's next change.
// A retry of a rejected step never reaches further than asked: snapping it forward onto a near
// break point could retake the very step that was rejected, for ever.
// 0, or fail()'s code when the digital side failed.
int Transient::plan(double wanted, double forced, bool retry, Plan* next)
{
    Plan& p = *next;
    const double now = ckt.time;
    double step = std::min(wanted, tmax);
    if (ckt.integration.accepted == 1 && ckt.initialstep > 0)
        step = std::min(step, ckt.initialstep);
    if (ckt.proposedstep > 0)
        step = std::min(step, ckt.proposedstep);
    ckt.proposedstep = 0;
    for (auto& family : ckt.families)
        family->limitstep(ckt, step);
    p.wanted = step;
    p.target = now + step;
    const double limit = nextbreak();
    if (forced < Never && forced <= p.target) {
        p.target = forced;
    } else if (p.target >= limit - (retry ? 0 : minbreak)) {
        // A point that would fall just short of the break point lands on it instead.
        p.target = limit;
        p.onbreak = true;
    }
    IFfrontEnd* frontend = session().frontend;
    if (frontend && frontend->digitalTimeStep) {
        double change = Never;
        if (!frontend->digitalTimeStep(p.target, &change))
            return fail(E_DIGITAL, "the digital engine failed before the step to %g s", p.target);
        if (change > now && change < p.target) {
            p.target = change;
            p.onbreak = false;
        }
    }
    return 0;
}

// Solves the point at `target` from the last accepted one: 0, E_ITERLIM when Newton did not
// settle, or another code of the solver.
int Transient::solve(double target)
{
    Integration& in = ckt.integration;
    const bool first = in.accepted == 1;
    ckt.time = target;
    in.times[0] = target;
    in.prepare();
    if (ckt.nonlinear && !first)
        predict(ckt);
    ckt.mode = MODE_TRAN | (settings.uic ? MODE_UIC : 0) | (first ? MODE_INITTRAN : MODE_INITPRED);
    ++ckt.statistics.steps;
    return iterate(ckt, ckt.options.itl4);
}

// The lock-step at a converged point: 0 with *retake the earliest time the digital side asks the
// step to end at instead, or Never; fail()'s code when the digital side failed.
int Transient::acceptdigital(double target, double* retake)
{
    IFfrontEnd* frontend = session().frontend;
    requests.clear();
    if (!frontend || !frontend->digitalAccept)
        return 0;
    const int answer = frontend->digitalAccept(target, &requests, collect);
    if (answer == 2) {
        const double previous = ckt.integration.times[1];
        for (double time : requests) {
            if (time > previous && time < target)
                *retake = std::min(*retake, time);
        }
        if (*retake == Never)
            return fail(E_DIGITAL,
                "the digital side asked to retake the step to %g s without a time inside it", target);
        return 0;
    }
    if (answer == 3) {
        ckt.breakasked = true;
        ckt.breaktext = "the digital side asked to break";
    } else if (answer != 1) {
        return fail(E_DIGITAL, "the digital engine failed at %g s", target);
    }
    return 0;
}

// The step after an accepted one: what its truncation error allows, at most twice the step. The
// first point of the run has no estimate: the next step is as long and of the first order too.
// After a first-order step the order rises to the second when that promises a step longer by
// OrderGain. The trapezoidal rule's first step past a break point is followed at once by one of the
// second order, twice as long: the short first step has shown the new slope, and steps that track
// the established SPICE sequence put steep edges where users' reference runs have them. Gear's
// higher orders rise, or fall where the truncation error limits the step, by the same test.
double Transient::nextstep(const Plan& p, double truncation, bool estimable)
{
    Integration& in = ckt.integration;
    const double h = p.target - in.times[1];
    const double grown = MostGrowth * h;
    const bool restarting = afterbreak;
    afterbreak = false;
    if (!estimable)
        return h;
    const int32_t order = in.order;
    if (order == 1) {
        if (maxorder < 2 || !in.estimable(2))
            return std::min(truncation, grown);
        if (restarting && in.method == Method::Trapezoidal) {
            in.order = 2;
            stepsatorder = 0;
            return grown;
        }
        const double raised = std::min(allowedstep(2), grown);
        if (raised > OrderGain * h) {
            in.order = 2;
            stepsatorder = 0;
            return raised;
        }
        return std::min(truncation, grown);
    }
    ++stepsatorder;
    if (stepsatorder >= order && order < maxorder && in.estimable(order + 1)) {
        const double raised = allowedstep(order + 1);
        if (raised > OrderGain * truncation) {
            in.order = order + 1;
            stepsatorder = 0;
            truncation = raised;
        }
    } else if (in.method == Method::Gear && stepsatorder >= order && truncation < std::min(grown, tmax)) {
        // Only a step the truncation error limits may grow by a lower order.
        const double lowered = allowedstep(order - 1);
        if (lowered > OrderGain * truncation) {
            in.order = order - 1;
            stepsatorder = 0;
            truncation = lowered;
        }
    }
    return std::min(truncation, grown);
}

// The largest step the truncation error of every device allows at that order.
double Transient::allowedstep(int32_t order)
{
    TruncationTest test(ckt, order);
    if (!test.possible())
        return Never;
    for (auto& family : ckt.families)
        family->truncation(ckt, test);
    return test.step();
}

// Makes the solved point the last accepted one and shifts the history.
void Transient::commit(double target)
{
    Integration& in = ckt.integration;
    std::rotate(std::begin(ckt.states), std::end(ckt.states) - 1, std::end(ckt.states));
    ckt.states[0] = ckt.states[1];
    std::rotate(std::begin(ckt.solutions) + 1, std::end(ckt.solutions) - 1, std::end(ckt.solutions));
    ckt.solutions[1] = ckt.solution;
    for (int32_t j = HistoryPoints - 1; j > 0; --j)
        in.times[j] = in.times[j - 1];
    in.accepted = std::min(in.accepted + 1, HistoryPoints - 1);
    ckt.time = target;
    ckt.initialstep = 0;
    ++ckt.statistics.goodsteps;
    for (double time : requests) {
        if (time > target)
            addbreak(ckt, time);
    }
    auto& breaks = ckt.breaks;
    breaks.erase(breaks.begin(), std::upper_bound(breaks.begin(), breaks.end(), target + ckt.stepfloor));
    for (auto& family : ckt.families)
        family->accept(ckt);
}

// Hands the accepted point at `target` to the front end (from TSTART on), ends the plot at TSTOP,
// then asks the pause test; E_PAUSE at a stop.
int Transient::deliver(double target)
{
    IFfrontEnd* frontend = session().frontend;
    if (plot && target >= settings.tstart) {
        IFvalue at {};
        at.rValue = target;
        IFvalue data {};
        data.v.numValue = ckt.size();
        data.v.vec.rVec = ckt.solution.data() + 1;
        if (int code = frontend->appendData(plot, &at, &data))
            return fail(code, "the front end refused a point of %s", job.name.c_str());
    }
    if (target >= settings.tstop - ckt.stepfloor) {
        done = true;
        if (plot) {
            IFplot* ended = plot;
            plot = nullptr;
            if (int code = frontend->endPlot(ended))
                return fail(code, "the front end could not end the plot of %s", job.name.c_str());
        }
    }
    auto& stops = ckt.stops;
    const auto passed = std::upper_bound(stops.begin(), stops.end(), target);
    const bool stop = passed != stops.begin();
    stops.erase(stops.begin(), passed);
    const int code = pointdone(ckt);
    return code == 0 && stop && !done ? E_PAUSE : code;
}

void Transient::restore()
{
    ckt.time = ckt.integration.times[1];
    ckt.solution = ckt.solutions[1];
}

// The next break point after the present time; TSTOP is always one.
double Transient::nextbreak() const
{
    const auto& breaks = ckt.breaks;
    auto after = std::upper_bound(breaks.begin(), breaks.end(), ckt.time);
    return after != breaks.end() ? std::min(*after, settings.tstop) : settings.tstop;
}

int Transient::stepfailure(double target, bool newton)
{
    if (!newton)
        return fail(E_TIMESTEP,
            "time step too small at %g s: the truncation error stays too large up to %g s", ckt.time, target);
    const std::string where = ckt.describe(ckt.trouble);
    ckt.nonconvergence = where;
    return fail(E_TIMESTEP, "time step too small at %g s: %s did not settle in a step to %g s", ckt.time,
        where.c_str(), target);
}

} // namespace nerith
