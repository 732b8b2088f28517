#include "engines/nerith/ckt.h"
#include "engines/nerith/names.h"
#include "engines/nerith/nerith.h"

#include <cmath>
#include <cstdlib>
#include <iterator>
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

constexpr int32_t SetReal = IF_REAL | IF_SET;
constexpr int32_t SetFlag = IF_FLAG | IF_SET;
constexpr int32_t SetInteger = IF_INTEGER | IF_SET;
constexpr int32_t AskInteger = IF_INTEGER | IF_ASK;

const IFparm parameters[] = {
    { "abstol", Abstol, SetReal, "Absolute current tolerance" },
    { "chgtol", Chgtol, SetReal, "Charge tolerance" },
    { "pivtol", Pivtol, SetReal, "Absolute pivot tolerance" },
    { "reltol", Reltol, SetReal, "Relative tolerance" },
    { "vntol", Vntol, SetReal, "Voltage tolerance" },
    { "pivrel", Pivrel, SetReal, "Relative pivot tolerance" },
    { "gmin", Gmin, SetReal, "Minimum conductance" },
    { "trangmin", Trangmin, SetReal, "Minimum conductance in transient" },
    { "rshunt", Rshunt, SetReal, "Shunt resistance from every node to ground" },
    { "defad", Defad, SetReal, "Default drain area" },
    { "defas", Defas, SetReal, "Default source area" },
    { "defl", Defl, SetReal, "Default channel length" },
    { "defw", Defw, SetReal, "Default channel width" },
    { "badmos3", Badmos3, SetFlag, "Older level 3 MOSFET" },
    { "oldlimit", Oldlimit, SetFlag, "Older MOSFET limiting" },
    { "srcsteps", Srcsteps, SetInteger, "Source steps" },
    { "gminsteps", Gminsteps, SetInteger, "Gmin steps" },
    { "itl1", Itl1, SetInteger, "Operating point iteration limit" },
    { "itl2", Itl2, SetInteger, "DC transfer curve iteration limit" },
    { "itl4", Itl4, SetInteger, "Transient iteration limit" },
    { "noopiter", Noopiter, SetFlag, "Go straight to gmin stepping" },
    { "iterations", OPT_ITERATIONS, AskInteger, "Newton iterations" },
    { "steps", OPT_STEPS, AskInteger, "Time steps" },
    { "goodsteps", OPT_GOODSTEPS, AskInteger, "Accepted time steps" },
    { "badsteps", OPT_BADSTEPS, AskInteger, "Rejected time steps" },
    { "method", MethodId, IF_STRING | IF_SET, "Integration method" },
    { "maxord", Maxord, SetInteger, "Maximum integration order" },
    { "trytocompact", Trytocompact, SetFlag, "Compact lossy lines" },
    { "bypass", Bypass, SetFlag, "Bypass unchanging devices" },
    { "temp", Temp, SetReal, "Operating temperature" },
    { "tnom", Tnom, SetReal, "Nominal temperature" },
    { "trtol", Trtol, SetReal, "Truncation error factor" },
    { "tmin", Tmin, SetReal, "Smallest time step" },
    { "minbreak", OPT_MINBREAK, SetReal, "Smallest spacing of break points" },
};

constexpr double AbsoluteZero = -273.15;

int real(double& field, double value, double least, bool inclusive = true)
{
    if (!std::isfinite(value) || value < least || (!inclusive && value == least))
        return E_BADVALUE;
    field = value;
    return 0;
}

int integer(int32_t& field, int32_t value, int32_t least, int32_t most = INT32_MAX)
{
    if (value < least || value > most)
        return E_BADVALUE;
    field = value;
    return 0;
}

int method(Options& o, char* text)
{
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

// The options of a task: each set changes the task's options, which its runs then use.
struct OptionsJob final : IFjob {
    bool runs() const override { return false; }
    int run(IFcircuit&, IFtask&, bool) override { return 0; }

    int set(IFtask& task, int32_t id, const IFvalue& value) override
    {
        Options& o = task.options;
        const double r = value.rValue;
        const int32_t i = value.iValue;
        switch (id) {
        case Abstol:
            return real(o.abstol, r, 0, false);
        case Chgtol:
            return real(o.chgtol, r, 0, false);
        case Pivtol:
            return real(o.pivtol, r, 0, false);
        case Reltol:
            return real(o.reltol, r, 0, false);
        case Vntol:
            return real(o.vntol, r, 0, false);
        case Pivrel:
            return r > 1 ? E_BADVALUE : real(o.pivrel, r, 0, false);
        case Gmin:
            return real(o.gmin, r, 0);
        case Trangmin:
            return real(o.trangmin, r, 0);
        case Rshunt:
            return real(o.rshunt, r, 0);
        case Defad:
            return real(o.defad, r, 0);
        case Defas:
            return real(o.defas, r, 0);
        case Defl:
            return real(o.defl, r, 0, false);
        case Defw:
            return real(o.defw, r, 0, false);
        case Badmos3:
            o.badmos3 = i != 0;
            return 0;
        case Oldlimit:
            o.oldlimit = i != 0;
            return 0;
        case Srcsteps:
            return integer(o.srcsteps, i, 0);
        case Gminsteps:
            return integer(o.gminsteps, i, 0);
        case Itl1:
            return integer(o.itl1, i, 1);
        case Itl2:
            return integer(o.itl2, i, 1);
        case Itl4:
            return integer(o.itl4, i, 1);
        case Noopiter:
            o.noopiter = i != 0;
            return 0;
        case MethodId:
            return method(o, value.sValue);
        case Maxord:
            return integer(o.maxord, i, 1, 6);
        case Trytocompact:
            o.trytocompact = i != 0;
            return 0;
        case Bypass:
            o.bypass = i != 0;
            return 0;
        case Temp:
            return real(o.temp, r, AbsoluteZero, false);
        case Tnom:
            return real(o.tnom, r, AbsoluteZero, false);
        case Trtol:
            return real(o.trtol, r, 0, false);
        case Tmin:
            return real(o.tmin, r, 0);
        case OPT_MINBREAK:
            return real(o.minbreak, r, 0);
        default:
            return E_BADPARM;
        }
    }

    int ask(IFcircuit& ckt, IFtask&, int32_t id, IFvalue& value) override
    {
        const RunStatistics& s = ckt.statistics;
        switch (id) {
        case OPT_ITERATIONS:
            value.iValue = s.iterations;
            return 0;
        case OPT_STEPS:
            value.iValue = s.steps;
            return 0;
        case OPT_GOODSTEPS:
            value.iValue = s.goodsteps;
            return 0;
        case OPT_BADSTEPS:
            value.iValue = s.badsteps;
            return 0;
        default:
            return E_BADPARM;
        }
    }
};

std::unique_ptr<IFjob> makejob()
{
    return std::make_unique<OptionsJob>();
}

} // namespace

extern const AnalysisKind optionskind;
const AnalysisKind optionskind {
    { "options", "Task options", static_cast<int32_t>(std::size(parameters)), parameters }, &makejob
};

} // namespace nerith
