#include "engines/nerith/ckt.h"
#include "engines/nerith/names.h"
#include "engines/nerith/nerith.h"
#include "engines/nerith/parameters.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace nerith {

namespace {

enum : int32_t {
    Abstol = 1,
    Chgtol,
    Pivtol,
    Reltol,
    Vntol,
    Pivrel,
    Gmin,
    Trangmin,
    Rshunt,
    Defad,
    Defas,
    Defl,
    Defw,
    Badmos3,
    Oldlimit,
    Srcsteps,
    Gminsteps,
    Itl1,
    Itl2,
    Itl4,
    Noopiter,
    MethodId = 26,
    Maxord,
    Trytocompact,
    Bypass,
    Temp,
    Tnom,
    Trtol,
    Tmin,
};

constexpr double AbsoluteZero = -273.15;

int setmethod(Options& o, const IFvalue& value)
{
    char* text = value.sValue;
    const std::string name = text ? text : "";
    std::free(text);
    if (sameletters(name, "trapezoidal") || sameletters(name, "trap")) {
        o.method = Method::Trapezoidal;
        return 0;
    }
    if (sameletters(name, "gear")) {
        o.method = Method::Gear;
        return 0;
    }
    return E_BADVALUE;
}

int32_t iterations(IFcircuit& ckt, const Options&)
{
    return ckt.statistics.iterations;
}
int32_t steps(IFcircuit& ckt, const Options&)
{
    return ckt.statistics.steps;
}
int32_t goodsteps(IFcircuit& ckt, const Options&)
{
    return ckt.statistics.goodsteps;
}
int32_t badsteps(IFcircuit& ckt, const Options&)
{
    return ckt.statistics.badsteps;
}

// Options are set, never asked: only the run statistics answer.
template <auto Member> constexpr auto option(const char* keyword, int32_t id, const char* description)
{
    return field<Member>(keyword, id, description).setonly();
}

constexpr auto parameters = parametertable<Options>({
    option<&Options::abstol>("abstol", Abstol, "Absolute current tolerance")
        .in("A")
        .initially(1e-12)
        .above(0),
    option<&Options::chgtol>("chgtol", Chgtol, "Charge tolerance").in("C").initially(1e-14).above(0),
    option<&Options::pivtol>("pivtol", Pivtol, "Absolute pivot tolerance").initially(1e-13).above(0),
    option<&Options::reltol>("reltol", Reltol, "Relative tolerance").initially(1e-3).above(0),
    option<&Options::vntol>("vntol", Vntol, "Voltage tolerance").in("V").initially(1e-6).above(0),
    option<&Options::pivrel>("pivrel", Pivrel, "Relative pivot tolerance").initially(1e-3).above(0).atmost(1),
    option<&Options::gmin>("gmin", Gmin, "Minimum conductance").in("S").initially(1e-12).atleast(0),
    option<&Options::trangmin>("trangmin", Trangmin, "Minimum conductance in transient")
        .in("S")
        .initially(1e-9)
        .atleast(0),
    option<&Options::rshunt>("rshunt", Rshunt, "Shunt resistance from every node to ground")
        .in("ohm")
        .atleast(0),
    option<&Options::defad>("defad", Defad, "Default drain area").in("m^2").atleast(0),
    option<&Options::defas>("defas", Defas, "Default source area").in("m^2").atleast(0),
    option<&Options::defl>("defl", Defl, "Default channel length").in("m").initially(1e-4).above(0),
    option<&Options::defw>("defw", Defw, "Default channel width").in("m").initially(1e-4).above(0),
    option<&Options::badmos3>("badmos3", Badmos3, "Older level 3 MOSFET"),
    option<&Options::oldlimit>("oldlimit", Oldlimit, "Older MOSFET limiting"),
    option<&Options::srcsteps>("srcsteps", Srcsteps, "Source steps").initially(120).atleast(0),
    option<&Options::gminsteps>("gminsteps", Gminsteps, "Gmin steps").initially(120).atleast(0),
    option<&Options::itl1>("itl1", Itl1, "Operating point iteration limit").initially(100).atleast(1),
    option<&Options::itl2>("itl2", Itl2, "DC transfer curve iteration limit").initially(50).atleast(1),
    option<&Options::itl4>("itl4", Itl4, "Transient iteration limit").initially(10).atleast(1),
    option<&Options::noopiter>("noopiter", Noopiter, "Go straight to gmin stepping"),
    computed<&iterations>("iterations", OPT_ITERATIONS, "Newton iterations"),
    computed<&steps>("steps", OPT_STEPS, "Time steps"),
    computed<&goodsteps>("goodsteps", OPT_GOODSTEPS, "Accepted time steps"),
    computed<&badsteps>("badsteps", OPT_BADSTEPS, "Rejected time steps"),
    settable<&setmethod>("method", MethodId, IF_STRING, "Integration method"),
    option<&Options::maxord>("maxord", Maxord, "Maximum integration order").initially(2).atleast(1).atmost(6),
    option<&Options::trytocompact>("trytocompact", Trytocompact, "Compact lossy lines"),
    option<&Options::bypass>("bypass", Bypass, "Bypass unchanging devices").initially(1),
    option<&Options::temp>("temp", Temp, "Operating temperature")
        .in("degC")
        .initially(27)
        .above(AbsoluteZero),
    option<&Options::tnom>("tnom", Tnom, "Nominal temperature").in("degC").initially(27).above(AbsoluteZero),
    option<&Options::trtol>("trtol", Trtol, "Truncation error factor").initially(7).above(0),
    option<&Options::tmin>("tmin", Tmin, "Smallest time step").in("s").initially(1e-18).atleast(0),
    option<&Options::minbreak>("minbreak", OPT_MINBREAK, "Smallest spacing of break points")
        .in("s")
        .atleast(0),
});

// The options of a task: each set changes the task's options, which its runs then use.
struct OptionsJob final : IFjob {
    bool runs() const override { return false; }
    int run(IFcircuit&, IFtask&, bool) override { return 0; }

    int set(IFtask& task, int32_t id, const IFvalue& value) override
    {
        return parameters.set(task.options, id, value);
    }

    int ask(IFcircuit& ckt, IFtask& task, int32_t id, IFvalue& value) override
    {
        return parameters.ask(ckt, task.options, id, value);
    }
};

std::unique_ptr<IFjob> makejob()
{
    return std::make_unique<OptionsJob>();
}

} // namespace

extern const AnalysisKind optionskind;
const AnalysisKind optionskind { { "options", "Task options", parameters.count(), parameters.parms() },
    &makejob };

Options::Options()
{
    parameters.defaults(*this);
}

} // namespace nerith
