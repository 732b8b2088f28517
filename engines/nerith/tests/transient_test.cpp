// The transient through the descriptor: step responses against their closed forms, break points,
// stops and resumes, initial conditions, run statistics and the lock-step with a digital side.
#include "engines/nerith/tests/simulation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using nerithtest::frontend;
using nerithtest::Plot;
using nerithtest::Simulation;

namespace {

struct Method {
    const char* name;
    int32_t maxord;
};
const Method methods[] = { { "trap", 2 }, { "gear", 2 }, { "gear", 4 } };

void usemethod(Simulation& s, const Method& m)
{
    IFvalue method {};
    method.sValue = strdup(m.name);
    ASSERT_EQ(s.tranoption("method", method), 0);
    IFvalue order {};
    order.iValue = m.maxord;
    ASSERT_EQ(s.tranoption("maxord", order), 0);
}

std::string methodname(const Method& m)
{
    return std::string(m.name) + " to order " + std::to_string(m.maxord);
}

// The largest deviation of a node's curve from `exact` over the points from `from` on, relative to
// `range`.
template <class Exact>
double deviation(Simulation& s, const Plot& plot, const char* node, Exact exact, double range, double from = 0)
{
    const int column = s.column(plot, node);
    EXPECT_GE(column, 0) << node;
    double worst = 0;
    for (const auto& [time, values] : plot.points) {
        if (time >= from)
            worst = std::max(worst, std::fabs(values[static_cast<std::size_t>(column)] - exact(time)) / range);
    }
    return worst;
}

std::vector<double> times(const Plot& plot)
{
    std::vector<double> list;
    for (const auto& point : plot.points)
        list.push_back(point.first);
    return list;
}

bool has(const std::vector<double>& list, double time)
{
    return std::find(list.begin(), list.end(), time) != list.end();
}

// An RC low-pass from `in` to `out` with a time constant of 1 ms, driven by a pulse.
IFinstance* lowpass(Simulation& s, std::vector<double> pulse)
{
    auto* v1 = s.add("Vsource", "v1", { "in", "0" });
    EXPECT_EQ(s.set(v1, "pulse", std::move(pulse)), 0);
    s.add("Resistor", "r1", { "in", "out" }, { { "resistance", 1e3 } });
    s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", 1e-6 } });
    return v1;
}

} // namespace

TEST(Transient, StepResponsesMatchTheirClosedForms)
{
    // An RC low-pass driven by a 1 V step with a 1 ns rise, and by a ramp as long as half its time
    // constant, and a series RLC (Q = 5) driven by the step: within 0.1 % of the swing at every
    // point, with every method.
    const double tau = 1e-3, delay = 0.1e-3;
    for (const auto& [m, rise] : { std::pair { methods[0], 1e-9 }, std::pair { methods[1], 1e-9 },
             std::pair { methods[2], 1e-9 }, std::pair { methods[0], 0.5e-3 }, std::pair { methods[1], 0.5e-3 } }) {
        SCOPED_TRACE("RC, " + methodname(m) + ", rise " + std::to_string(rise));
        Simulation s;
        lowpass(s, { 0, 1, delay, rise, rise, 1, 2 });
        s.transient({ { "tstop", 5 * tau }, { "tmax", 5 * tau / 100 } });
        usemethod(s, m);
        ASSERT_EQ(s.runtransient(), 0) << s.message(s.runtransient());
        // The response to the ramp, then after it.
        auto exact = [&, rise = rise](double t) {
            const double u = t - delay;
            if (u <= 0)
                return 0.0;
            if (u <= rise)
                return (u - tau * -std::expm1(-u / tau)) / rise;
            return 1 - tau / rise * std::expm1(rise / tau) * std::exp(-u / tau);
        };
        EXPECT_LT(deviation(s, frontend().plots.back(), "out", exact, 1), 1e-3);
    }
    const double rise = 1e-9;
    const double l = 10e-3, c = 1e-6, r = 20;
    const double alpha = r / (2 * l), omega0 = 1 / std::sqrt(l * c);
    const double omega = std::sqrt(omega0 * omega0 - alpha * alpha), period = 2 * std::numbers::pi / omega;
    for (const Method& m : methods) {
        SCOPED_TRACE("RLC, " + methodname(m));
        Simulation s;
        auto* v1 = s.add("Vsource", "v1", { "in", "0" });
        ASSERT_EQ(s.set(v1, "pulse", { 0, 1, 0, rise, rise, 1, 2 }), 0);
        s.add("Resistor", "r1", { "in", "a" }, { { "resistance", r } });
        s.add("Inductor", "l1", { "a", "out" }, { { "inductance", l } });
        s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", c } });
        s.transient({ { "tstop", 5 * period }, { "tmax", period / 200 } });
        usemethod(s, m);
        ASSERT_EQ(s.runtransient(), 0) << s.message(s.runtransient());
        auto exact = [&](double t) {
            return 1 - std::exp(-alpha * t) * (std::cos(omega * t) + alpha / omega * std::sin(omega * t));
        };
        const double swing = 1 + std::exp(-alpha * period / 2); // 0 to the first peak
        EXPECT_LT(deviation(s, frontend().plots.back(), "out", exact, swing, 10 * rise), 1e-3);
    }
}

TEST(Transient, LandsExactlyOnBreakPoints)
{
    // Pulse corners (three periods), a break point set from outside while the run waits at time 0,
    // TSTART and TSTOP are all points of the run; nothing before TSTART is delivered.
    Simulation s;
    lowpass(s, { 0, 1, 0.1e-3, 10e-6, 20e-6, 0.3e-3, 1e-3 });
    s.transient({ { "tstart", 0.05e-3 }, { "tstop", 2.7e-3 }, { "tmax", 0.2e-3 } });
    frontend().pauseat = 1;
    ASSERT_EQ(s.runtransient(), E_PAUSE);
    EXPECT_EQ(CKTsetBreak(s.ckt, 1.234567e-3), 0);
    frontend().pauseat = 0;
    ASSERT_EQ(DCtran(s.ckt, 0), 0) << s.message(DCtran(s.ckt, 0));

    const Plot& plot = frontend().plots.back();
    EXPECT_TRUE(plot.ended);
    const std::vector<double> at = times(plot);
    ASSERT_FALSE(at.empty());
    EXPECT_EQ(at.front(), 0.05e-3);
    EXPECT_EQ(at.back(), 2.7e-3);
    EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
    EXPECT_EQ(std::adjacent_find(at.begin(), at.end()), at.end());
    EXPECT_TRUE(has(at, 1.234567e-3));
    for (double start : { 0.1e-3, 1.1e-3, 2.1e-3 }) {
        for (double corner : { 0.0, 10e-6, 310e-6, 330e-6 })
            EXPECT_TRUE(has(at, start + corner)) << start + corner;
    }
}

TEST(Transient, StartsEachSmoothStretchWithShortFirstOrderSteps)
{
    // The run starts with two steps of a hundredth of TMAX (here smaller than TSTOP / 100 and the
    // time to the first corner); the first step past a corner is a tenth of the step before it, and
    // the trapezoidal step after it twice as long. With UIC a break point at TMAX restarts the run.
    for (bool uic : { false, true }) {
        SCOPED_TRACE(uic ? "UIC" : "operating point");
        Simulation s;
        lowpass(s, { 0, 1, 0.2e-3, 1e-9, 1e-9, 1, 2 });
        s.transient({ { "tstop", 1e-3 }, { "tmax", 5e-6 } }, uic);
        ASSERT_EQ(s.runtransient(), 0) << s.message(s.runtransient());
        const std::vector<double> at = times(frontend().plots.back());
        ASSERT_GT(at.size(), 3u);
        EXPECT_DOUBLE_EQ(at[1], 5e-8);
        EXPECT_DOUBLE_EQ(at[2] - at[1], 5e-8);
        EXPECT_EQ(has(at, 5e-6), uic);
        const auto corner = std::find(at.begin(), at.end(), 0.2e-3);
        ASSERT_NE(corner, at.end());
        const double before = corner[0] - corner[-1];
        const double first = corner[1] - corner[0];
        EXPECT_LE(first, 0.1 * 5e-6 * (1 + 1e-12));
        EXPECT_LE(first, before);
        EXPECT_NEAR(corner[2] - corner[1], 2 * first, 1e-12 * first);
    }
}

TEST(Transient, StopsAndResumesWithoutChangingTheRun)
{
    // The same run straight through, then stopped by the pause test at every 7th point and by a
    // break request, each time resumed: the same points, the same statistics.
    auto build = [](Simulation& s) {
        lowpass(s, { 0, 1, 0.1e-3, 1e-6, 1e-6, 0.4e-3, 1e-3 });
        s.add("Inductor", "l1", { "out", "x" }, { { "inductance", 1e-3 } });
        s.add("Resistor", "r2", { "x", "0" }, { { "resistance", 50 } });
        s.transient({ { "tstop", 3e-3 } });
    };
    Simulation straight;
    build(straight);
    ASSERT_EQ(straight.runtransient(), 0);
    const Plot reference = frontend().plots.back();
    const int32_t steps = straight.statistic(OPT_STEPS);

    Simulation s;
    build(s);
    ISPICECKT* models = nullptr;
    ASSERT_EQ(spice_initialize(nullptr, nullptr, &models), 0);
    int stops = 0;
    int breaks = 0;
    frontend().pauseat = 7;
    int code = s.runtransient();
    while (code == E_PAUSE || code == E_BREAK) {
        ++stops;
        if (code == E_BREAK) {
            ++breaks;
            EXPECT_EQ(s.message(E_BREAK), "at the threshold");
        }
        if (stops == 10)
            models->suspend(nullptr, "at the threshold");
        frontend().pauseat = frontend().points + 7;
        code = stops % 2 ? DCtran(s.ckt, 0) : s.runtransient(0);
    }
    ASSERT_EQ(code, 0) << s.message(code);
    EXPECT_GT(stops, 10);
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(DCtran(s.ckt, 0), 0); // nothing is left to run
    const Plot& resumed = frontend().plots.back();
    ASSERT_EQ(resumed.points.size(), reference.points.size());
    for (std::size_t i = 0; i < reference.points.size(); ++i)
        ASSERT_EQ(resumed.points[i], reference.points[i]) << i;
    EXPECT_EQ(s.statistic(OPT_STEPS), steps);
}

TEST(Transient, StopsAreOutputPointsThatLeaveTheStepsAlone)
{
    // The run straight through, then stopped at every 0.1 ms (shorter and longer than its steps):
    // the same accepted points and steps, and at each stop the circuit shows the stop's time and
    // the solution there within the run's accuracy (the sine's period is 20 steps long). A break
    // point set at a stop while the step past it waits retakes that step to land on the break.
    auto build = [](Simulation& s) {
        auto* v1 = s.add("Vsource", "v1", { "in", "0" });
        EXPECT_EQ(s.set(v1, "sine", { 0, 1, 2e3 }), 0);
        s.add("Resistor", "r1", { "in", "out" }, { { "resistance", 1e3 } });
        s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", 0.1e-6 } });
        s.transient({ { "tstop", 3e-3 }, { "tmax", 25e-6 } });
    };
    // The steady state and the start's decay of the RC (0.1 ms) driven by the 2 kHz sine.
    const double w = 2 * std::numbers::pi * 2e3, tau = 0.1e-3;
    auto exact = [&](double time) {
        const double a = 1 / (1 + w * w * tau * tau);
        return a * (std::sin(w * time) - w * tau * std::cos(w * time) + w * tau * std::exp(-time / tau));
    };
    Simulation straight;
    build(straight);
    ASSERT_EQ(straight.runtransient(), 0);
    const Plot reference = frontend().plots.back();
    const int32_t steps = straight.statistic(OPT_STEPS);
    // What the stops may add to the run's own deviation from the closed form.
    const double accuracy = deviation(straight, reference, "out", exact, 1.0, 0) + 1e-3;

    for (bool breaking : { false, true }) {
        SCOPED_TRACE(breaking ? "with a break point" : "stops only");
        Simulation s;
        build(s);
        ISPICECKT* models = nullptr;
        ASSERT_EQ(spice_initialize(nullptr, nullptr, &models), 0);
        frontend().pauseat = 1;
        ASSERT_EQ(s.runtransient(), E_PAUSE);
        frontend().pauseat = 0;
        const int out = s.column(frontend().plots.back(), "out");
        int code = E_PAUSE;
        int k = 1;
        for (; code == E_PAUSE && k <= 30; ++k) {
            const double stop = k * 0.1e-3;
            ASSERT_EQ(CKTsetStop(s.ckt, stop), 0);
            if (breaking && k == 12) {
                ASSERT_EQ(CKTsetBreak(s.ckt, 1.1e-3), 0);
            }
            code = DCtran(s.ckt, 0);
            if (code != E_PAUSE)
                break;
            double now = 0;
            ASSERT_EQ(models->query(&now, QUERY_TIME), 1);
            EXPECT_EQ(now, stop);
            EXPECT_NEAR(models->solution()[out + 1], exact(stop), accuracy) << stop;
        }
        ASSERT_EQ(code, 0) << s.message(code);
        EXPECT_EQ(k, 30);
        EXPECT_EQ(CKTsetStop(s.ckt, 1e-3), E_BADVALUE);
        const Plot& stopped = frontend().plots.back();
        if (!breaking) {
            ASSERT_EQ(stopped.points.size(), reference.points.size());
            for (std::size_t i = 0; i < reference.points.size(); ++i)
                ASSERT_EQ(stopped.points[i], reference.points[i]) << i;
            EXPECT_EQ(s.statistic(OPT_STEPS), steps);
            continue;
        }
        EXPECT_TRUE(has(times(stopped), 1.1e-3));
        EXPECT_EQ(s.statistic(OPT_STEPS), s.statistic(OPT_GOODSTEPS) + s.statistic(OPT_BADSTEPS));
        EXPECT_LT(deviation(s, stopped, "out", exact, 1.0, 0), accuracy);
    }
}

TEST(Transient, StartsFromInitialConditions)
{
    // An RC (1 ms) with a source of `dc` volts; `capic` and `nodeic` are the capacitor's and its
    // node's initial voltage (NaN: none). With UIC the run starts from them; without, a node's
    // initial condition holds through the operating point and the capacitor's is ignored. The
    // point at 0 is where the run starts, the capacitor's initial voltage included.
    const double nan = std::nan("");
    struct Case {
        const char* what;
        bool uic;
        double capic;
        double nodeic;
        double dc;
        double start;
    } cases[] = {
        { "UIC, the capacitor's", true, 1, nan, 0, 1 },
        { "UIC, the capacitor's over the node's", true, 1, 0.3, 0, 1 },
        { "UIC, the node's", true, nan, 0.5, 0, 0.5 },
        { "UIC, none", true, nan, nan, 2, 0 },
        { "operating point held by the node's", false, nan, 0.25, 2, 0.25 },
        { "operating point, the capacitor's ignored", false, 0.7, nan, 2, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Simulation s;
        s.add("Vsource", "v1", { "in", "0" }, { { "dc", c.dc } });
        s.add("Resistor", "r1", { "in", "out" }, { { "resistance", 1e3 } });
        auto* c1 = s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", 1e-6 } });
        if (!std::isnan(c.capic)) {
            ASSERT_EQ(s.set(c1, "ic", c.capic), 0);
        }
        if (!std::isnan(c.nodeic)) {
            ASSERT_EQ(s.nodeparm("out", "ic", c.nodeic), 0);
        }
        s.transient({ { "tstop", 5e-3 }, { "tmax", 25e-6 } }, c.uic);
        ASSERT_EQ(s.runtransient(), 0) << s.message(s.runtransient());
        const Plot& plot = frontend().plots.back();
        auto exact = [&](double t) { return c.dc + (c.start - c.dc) * std::exp(-t / 1e-3); };
        const auto column = static_cast<std::size_t>(s.column(plot, "out"));
        EXPECT_NEAR(plot.points.front().second[column], c.start, 1e-9);
        EXPECT_LT(deviation(s, plot, "out", exact, 1, 1e-12), 1e-3);
    }

    // An LC tank started by the inductor's current alone: i = I0 cos(w t), v = -I0 sqrt(L/C) sin(w t).
    Simulation s;
    auto* l1 = s.add("Inductor", "l1", { "top", "0" }, { { "inductance", 1e-3 } });
    ASSERT_EQ(s.set(l1, "ic", 1e-3), 0);
    s.add("Capacitor", "c1", { "top", "0" }, { { "capacitance", 1e-6 } });
    const double omega = 1 / std::sqrt(1e-3 * 1e-6), period = 2 * std::numbers::pi / omega;
    s.transient({ { "tstop", 3 * period }, { "tmax", period / 400 } }, true);
    ASSERT_EQ(s.runtransient(), 0) << s.message(s.runtransient());
    const double amplitude = 1e-3 * std::sqrt(1e-3 / 1e-6);
    auto voltage = [&](double t) { return -amplitude * std::sin(omega * t); };
    EXPECT_LT(deviation(s, frontend().plots.back(), "top", voltage, amplitude), 1e-3);
    EXPECT_NEAR(s.ask(l1, "i"), 1e-3 * std::cos(omega * 3 * period), 1e-6);
}

TEST(Transient, SourcesTakeTheirDcValueInAnOperatingPointOfTheirOwn)
{
    Simulation s;
    auto* v1 = s.add("Vsource", "v1", { "a", "0" }, { { "dc", 5 } });
    ASSERT_EQ(s.set(v1, "pulse", { 1, 2, 1e-3 }), 0);
    s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1e3 } });
    ASSERT_EQ(s.run(), 0);
    EXPECT_DOUBLE_EQ(s.v("a"), 5);
    s.transient({ { "tstop", 2e-3 } });
    ASSERT_EQ(s.runtransient(), 0);
    const Plot& plot = frontend().plots.back();
    const auto column = static_cast<std::size_t>(s.column(plot, "a"));
    EXPECT_DOUBLE_EQ(plot.points.front().second[column], 1);
    EXPECT_DOUBLE_EQ(plot.points.back().second[column], 2);
}

TEST(Transient, WaveformsFollowTheirDefinitions)
{
    // Each source drives a resistor; its value is read at chosen times made break points.
    const double pi = std::numbers::pi;
    struct Case {
        const char* shape;
        std::vector<double> vector;
        std::vector<std::pair<double, double>> values; // time, value
    } cases[] = {
        { "pulse", { 0, 1, 1e-3, 0.1e-3, 0.2e-3, 0.5e-3, 2e-3 },
            { { 0.5e-3, 0 }, { 1.05e-3, 0.5 }, { 1.3e-3, 1 }, { 1.7e-3, 0.5 }, { 2e-3, 0 }, { 3.05e-3, 0.5 },
                { 3.4e-3, 1 } } },
        // TR and TF default to the step (TMAX here), PW and PER to TSTOP; the pulse holds to the end.
        { "pulse", { -1, 1 }, { { 0, -1 }, { 5e-6, 0 }, { 1e-3, 1 }, { 4e-3, 1 } } },
        // Rise and width fill the period: the value holds at its end, the next period rises again.
        { "pulse", { 0, 1, 0, 1e-3, 1e-3, 1e-3, 2e-3 }, { { 2e-3, 1 }, { 2.5e-3, 0.5 }, { 4e-3, 1 } } },
        { "sine", { 1, 2, 500, 1e-3, 100 },
            { { 0.5e-3, 1 }, { 1.5e-3, 1 + 2 * std::exp(-0.05) }, { 2.5e-3, 1 - 2 * std::exp(-0.15) } } },
        // The phase in degrees, any value, holds before the delay.
        { "sine", { 1, 2, 500, 1e-3, 0, 450 }, { { 0.5e-3, 3 }, { 1.5e-3, 1 } } },
        // FREQ defaults to 1 / TSTOP.
        { "sine", { 0, 1 }, { { 1e-3, std::sin(2 * pi * 1e-3 / 4e-3) } } },
        { "exp", { 0, 1, 1e-3, 0.5e-3, 3e-3, 1e-3 },
            { { 0.5e-3, 0 }, { 2e-3, -std::expm1(-2) }, { 4e-3, -std::expm1(-6) + std::expm1(-1) } } },
        { "sffm", { 0.5, 1, 1e3, 2, 250 },
            { { 0.1e-3, 0.5 + std::sin(2 * pi * 0.1 + 2 * std::sin(2 * pi * 0.025)) },
                { 1.3e-3, 0.5 + std::sin(2 * pi * 1.3 + 2 * std::sin(2 * pi * 0.325)) } } },
        { "pwl", { 0.5e-3, 1, 1e-3, 5, 2e-3, 0 },
            { { 0, 1 }, { 0.5e-3, 1 }, { 0.75e-3, 3 }, { 1.5e-3, 2.5 }, { 3e-3, 0 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape + std::string(" of ") + std::to_string(c.vector.size()) + " values");
        Simulation s(true);
        auto* v1 = s.add("Vsource", "v1", { "a", "0" });
        ASSERT_EQ(s.set(v1, c.shape, c.vector), 0);
        s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1e3 } });
        s.transient({ { "tstop", 4e-3 }, { "tmax", 10e-6 } });
        frontend().digitalsetup = [] { return 1; };
        frontend().bootstep = [](int, int, int*) { return 1; };
        frontend().timestep = [](double, double*) { return 1; };
        frontend().resume = [] { return 1; };
        frontend().accept = [&](double time, void* context, void (*request)(void*, double)) {
            if (time == 0)
                return 1;
            for (const auto& [at, value] : c.values) {
                if (at > time)
                    request(context, at);
            }
            return 1;
        };
        ASSERT_EQ(s.runtransient(), 0) << s.message(s.runtransient());
        const Plot& plot = frontend().plots.back();
        const auto column = static_cast<std::size_t>(s.column(plot, "a"));
        for (const auto& [at, value] : c.values) {
            auto point = std::find_if(
                plot.points.begin(), plot.points.end(), [at = at](const auto& p) { return p.first == at; });
            ASSERT_NE(point, plot.points.end()) << at;
            EXPECT_NEAR(point->second[column], value, 1e-12) << at;
        }
    }

    Simulation s;
    auto* v1 = s.add("Vsource", "v1", { "a", "0" });
    const double nan = std::nan("");
    for (const auto& [shape, vector] : std::initializer_list<std::pair<const char*, std::vector<double>>> {
             { "pwl", { 0, 1, 1e-3 } }, { "pwl", { 1e-3, 1, 0.5e-3, 2 } }, { "pwl", {} },
             { "pulse", { 0, 1, 0, 0, 0, 0, 0, 0 } }, { "sine", { 0, nan } } })
        EXPECT_EQ(s.set(v1, shape, vector), E_BADVALUE) << shape << " of " << vector.size();
}

TEST(Transient, KeepsLockStepWithTheDigitalSide)
{
    // The digital side has a change at 0.35 ms that the analog side sees, asks for the step across
    // 0.6 ms to end there, then for a point at 0.9 ms, and breaks at that point.
    Simulation s(true);
    lowpass(s, { 0, 1, 0.1e-3, 1e-6, 1e-6, 0.4e-3, 1e-3 });
    s.transient({ { "tstop", 1.5e-3 }, { "tmax", 0.1e-3 } });
    std::vector<std::pair<int, int>> boots;
    int setups = 0;
    int resumes = 0;
    double committed = -1; // the last time the digital side let pass
    std::vector<double> accepted;
    frontend().digitalsetup = [&] { return ++setups; };
    frontend().bootstep = [&](int first, int settle, int* changes) {
        boots.emplace_back(first, settle);
        *changes = 0;
        return 1;
    };
    frontend().resume = [&] { return ++resumes; };
    frontend().timestep = [&](double time, double* next) {
        EXPECT_GT(time, committed);
        *next = committed < 0.35e-3 ? 0.35e-3 : 10;
        return 1;
    };
    frontend().accept = [&](double time, void* context, void (*request)(void*, double)) {
        EXPECT_GT(time, committed);
        if (committed < 0.6e-3 && time > 0.6e-3) {
            request(context, 0.6e-3);
            return 2;
        }
        committed = time;
        accepted.push_back(time);
        if (time == 0.6e-3)
            request(context, 0.9e-3);
        return time == 0.9e-3 ? 3 : 1;
    };
    ASSERT_EQ(s.runtransient(), E_BREAK);
    EXPECT_EQ(committed, 0.9e-3);
    EXPECT_EQ(frontend().plots.back().points.back().first, 0.9e-3);
    EXPECT_EQ(resumes, 0);
    ASSERT_EQ(DCtran(s.ckt, 0), 0) << s.message(DCtran(s.ckt, 0));
    EXPECT_EQ(resumes, 1);
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(boots, (std::vector<std::pair<int, int>> { { 1, 1 } }));
    for (double time : { 0.35e-3, 0.6e-3, 0.9e-3 })
        EXPECT_TRUE(has(accepted, time)) << time;
    // Every point after the operating point went through the digital side, once.
    std::vector<double> delivered = times(frontend().plots.back());
    delivered.erase(delivered.begin());
    EXPECT_EQ(delivered, accepted);

    // Without an operating point only the events due at 0 run; a retake that never ends stops.
    Simulation u(true);
    lowpass(u, { 0, 1, 0.1e-3, 1e-6, 1e-6, 0.4e-3, 1e-3 });
    u.transient({ { "tstop", 1e-3 } }, true);
    boots.clear();
    frontend().digitalsetup = [] { return 1; };
    frontend().bootstep = [&](int first, int settle, int*) {
        boots.emplace_back(first, settle);
        return 1;
    };
    frontend().timestep = [](double, double*) { return 1; };
    frontend().accept = [](double time, void* context, void (*request)(void*, double)) {
        if (time < 0.5e-3)
            return 1;
        request(context, time * (1 - 1e-9));
        return 2;
    };
    EXPECT_EQ(u.runtransient(), E_TIMESTEP);
    EXPECT_NE(u.message(E_TIMESTEP).find("digital"), std::string::npos);
    EXPECT_EQ(boots, (std::vector<std::pair<int, int>> { { 1, 0 } }));
    // A failure of the digital side ends the run, at a point or before a step.
    frontend().accept = [](double, void*, void (*)(void*, double)) { return 0; };
    EXPECT_EQ(u.runtransient(), E_PRIVATE + 1);
    frontend().accept = [](double, void*, void (*)(void*, double)) { return 1; };
    frontend().timestep = [](double, double*) { return 0; };
    EXPECT_EQ(u.runtransient(), E_PRIVATE + 1);
}

TEST(Transient, CountsItsSteps)
{
    // A lightly damped RLC left to the truncation error rejects steps; every attempt is counted.
    Simulation s;
    auto* v1 = s.add("Vsource", "v1", { "in", "0" });
    ASSERT_EQ(s.set(v1, "pulse", { 0, 1, 0, 1e-9, 1e-9, 1, 2 }), 0);
    s.add("Resistor", "r1", { "in", "a" }, { { "resistance", 2 } });
    s.add("Inductor", "l1", { "a", "out" }, { { "inductance", 10e-3 } });
    s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", 1e-6 } });
    s.transient({ { "tstop", 5e-3 }, { "tmax", 5e-3 } });
    ASSERT_EQ(s.runtransient(), 0);
    const auto points = static_cast<int32_t>(frontend().plots.back().points.size());
    const int32_t good = s.statistic(OPT_GOODSTEPS), bad = s.statistic(OPT_BADSTEPS);
    EXPECT_EQ(good, points - 1);
    EXPECT_GT(bad, 0);
    EXPECT_EQ(s.statistic(OPT_STEPS), good + bad);
    EXPECT_GE(s.statistic(OPT_ITERATIONS), good + bad);
}

TEST(Transient, FirstStepCanBeLoweredWhileWaitingAtZero)
{
    Simulation s;
    lowpass(s, { 0, 1, 0.1e-3, 1e-6, 1e-6, 0.4e-3, 1e-3 });
    s.transient({ { "tstop", 1 } });
    ISPICECKT* models = nullptr;
    ASSERT_EQ(spice_initialize(nullptr, nullptr, &models), 0);
    frontend().pauseat = 1;
    ASSERT_EQ(s.runtransient(), E_PAUSE);
    EXPECT_DOUBLE_EQ(models->lowerinitialstep(1), 1e-6); // a hundredth of the time to the first corner
    EXPECT_DOUBLE_EQ(models->lowerinitialstep(1e-9), 1e-9);
    frontend().pauseat = 2;
    ASSERT_EQ(DCtran(s.ckt, 0), E_PAUSE);
    EXPECT_DOUBLE_EQ(frontend().plots.back().points.back().first, 1e-9);
    // The limit was spent on that step.
    EXPECT_DOUBLE_EQ(models->lowerinitialstep(0), 0);
}

TEST(Transient, RefusesWhatItCannotRun)
{
    Simulation s;
    EXPECT_EQ(DCtran(s.ckt, 1), E_PRIVATE + 2);
    EXPECT_NE(s.message(E_PRIVATE + 2).find("no transient"), std::string::npos);
    lowpass(s, { 0, 1 });
    s.transient({});
    const IFanalysis* tran = s.d->analyses[s.analysis("TRAN")];
    IFvalue negative {};
    negative.rValue = -1;
    EXPECT_EQ(s.d->setAnalysisParm(s.ckt, s.tran, nerithtest::findparm(tran->analysisParms, tran->numParms, "tmax")->id,
                  &negative, nullptr),
        E_BADVALUE);
    EXPECT_EQ(s.runtransient(), E_BADVALUE);
    EXPECT_NE(s.message(E_BADVALUE).find("TSTOP"), std::string::npos);
    EXPECT_EQ(DCtran(s.ckt, 0), 0); // nothing stopped: nothing to go on with

    // A node only capacitors reach has no operating point.
    Simulation f;
    lowpass(f, { 0, 1 });
    f.add("Capacitor", "c2", { "out", "float" }, { { "capacitance", 1e-9 } });
    f.transient({ { "tstop", 1e-3 } });
    EXPECT_EQ(f.runtransient(), E_BADMATRIX);
    EXPECT_NE(f.message(E_BADMATRIX).find("float"), std::string::npos);
}
