#include "engines/nerith/ckt.h"
#include "engines/nerith/newton.h"
#include "engines/nerith/output.h"
#include "engines/nerith/parameters.h"
#include "engines/nerith/report.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace nerith {

namespace {

// The sweep of one device: its name and values.
struct Sweep {
    std::string name; // empty: none
    double start;
    double stop;
    double step;
};

struct DcSettings {
    Sweep sweeps[2]; // the inner sweep first
};

template <std::size_t K> int setname(DcSettings& s, const IFvalue& value)
{
    s.sweeps[K].name = value.uValue ? value.uValue : "";
    return 0;
}

template <std::size_t K> int askname(IFcircuit&, DcSettings& s, IFvalue& value)
{
    value.uValue = s.sweeps[K].name.c_str();
    return 0;
}

template <std::size_t K, double Sweep::*Member> int setvalue(DcSettings& s, const IFvalue& value)
{
    s.sweeps[K].*Member = value.rValue;
    return 0;
}

template <std::size_t K, double Sweep::*Member> int askvalue(IFcircuit&, DcSettings& s, IFvalue& value)
{
    value.rValue = s.sweeps[K].*Member;
    return 0;
}

template <std::size_t K>
constexpr std::array<Parameter<DcSettings>, 4> sweeprows(const char* const keywords[4])
{
    auto row
        = [](const char* keyword, int32_t id, int32_t type, const char* description, auto set, auto ask) {
              Parameter<DcSettings> made
                  = rows::basic<DcSettings>(keyword, id, type | IF_SET | IF_ASK, description);
              made.set = set;
              made.ask = ask;
              return made;
          };
    const auto first = static_cast<int32_t>(4 * K + 1);
    return {
        row(keywords[0], first, IF_INSTANCE, "Swept source or resistor", &rows::setby<&setname<K>>,
            &askname<K>),
        row(keywords[1], first + 1, IF_REAL, "Start value", &rows::setby<&setvalue<K, &Sweep::start>>,
            &askvalue<K, &Sweep::start>),
        row(keywords[2], first + 2, IF_REAL, "Stop value", &rows::setby<&setvalue<K, &Sweep::stop>>,
            &askvalue<K, &Sweep::stop>),
        row(keywords[3], first + 3, IF_REAL, "Step", &rows::setby<&setvalue<K, &Sweep::step>>,
            &askvalue<K, &Sweep::step>),
    };
}

constexpr const char* innerkeywords[] = { "name1", "start1", "stop1", "step1" };
constexpr const char* outerkeywords[] = { "name2", "start2", "stop2", "step2" };
constexpr auto innerrows = sweeprows<0>(innerkeywords);
constexpr auto parameters = parametertable<DcSettings>(
    { innerrows[0], innerrows[1], innerrows[2], innerrows[3] }, sweeprows<1>(outerkeywords));

// A swept device while the analysis runs: the parameter the sweep sets and what restores it.
struct Swept {
    IFinstance* device = nullptr;
    int32_t parameter = 0;
    std::function<void()> restore;
    int64_t points = 1;
    const Sweep* sweep = nullptr;

    double value(int64_t k) const { return k + 1 == points ? sweep->stop : sweep->start + k * sweep->step; }
};

// The parameter a sweep sets on a device of that type: a source's DC value or a resistance.
const char* sweptparameter(const char* type)
{
    if (!std::strcmp(type, "Vsource") || !std::strcmp(type, "Isource"))
        return "dc";
    if (!std::strcmp(type, "Resistor"))
        return "resistance";
    return nullptr;
}

// The DC transfer curve: operating points with one source or resistor stepped from its start to
// its stop, and with a second one stepped around that sweep, each of its values a domain of the plot.
struct DcJob final : IFjob {
    DcSettings settings;
    Swept swept[2];
    int64_t inner = 0; // the point the run goes on with after a stop
    int64_t outer = 0;
    bool solved = false; // a point of this run was solved: the next one starts from it
    Plot plot;

    DcJob() { parameters.defaults(settings); }

    int set(IFtask&, int32_t id, const IFvalue& value) override
    {
        return parameters.set(settings, id, value);
    }
    int ask(IFcircuit& ckt, IFtask&, int32_t id, IFvalue& value) override
    {
        return parameters.ask(ckt, settings, id, value);
    }

    // Finds the device of sweep `k` and checks its values; 0, or fail()'s E_BADVALUE.
    int prepare(IFcircuit& ckt, std::size_t k)
    {
        const Sweep& sweep = settings.sweeps[k];
        Swept& s = swept[k];
        s = Swept {};
        s.sweep = &sweep;
        if (sweep.name.empty())
            return k == 0 ? fail(E_BADVALUE, "%s: no source or resistor to sweep is given", name.c_str()) : 0;
        IFinstance* device = ckt.instancenames.find(sweep.name);
        if (!device || device->deleted)
            return fail(E_BADVALUE, "%s: there is no device %s to sweep", name.c_str(), sweep.name.c_str());
        const IFdevice& type = devicekinds()[static_cast<std::size_t>(device->type)]->description;
        const char* keyword = sweptparameter(type.name);
        if (!keyword)
            return fail(E_BADVALUE, "%s: %s is not a voltage source, a current source or a resistor",
                name.c_str(), sweep.name.c_str());
        for (int32_t i = 0; i < type.numInstanceParms; ++i) {
            if (!std::strcmp(type.instanceParms[i].keyword, keyword))
                s.parameter = type.instanceParms[i].id;
        }
        if (!std::isfinite(sweep.start) || !std::isfinite(sweep.stop) || !std::isfinite(sweep.step))
            return fail(E_BADVALUE, "%s: the sweep of %s has a value that is no number", name.c_str(),
                sweep.name.c_str());
        if (sweep.step == 0 || (sweep.stop - sweep.start) / sweep.step < 0)
            return fail(E_BADVALUE, "%s: a step of %g does not lead %s from %g to %g", name.c_str(),
                sweep.step, sweep.name.c_str(), sweep.start, sweep.stop);
        // A last step that overshoots the stop by a rounding error still counts.
        s.points = static_cast<int64_t>(std::floor((sweep.stop - sweep.start) / sweep.step + 1e-9)) + 1;
        s.device = device;
        return 0;
    }

    int setvalue(IFcircuit& ckt, const Swept& s, double value)
    {
        IFvalue v {};
        v.rValue = value;
        DeviceFamily& family = *ckt.families[static_cast<std::size_t>(s.device->type)];
        ckt.setupcurrent = false;
        if (int code = family.setinstance(*s.device, s.parameter, v))
            return fail(code, "%s: %s cannot take the value %g", name.c_str(), s.device->name, value);
        return 0;
    }

    void restore()
    {
        for (Swept& s : swept) {
            if (s.restore)
                s.restore();
            s.restore = nullptr;
        }
    }

    // The operating point with the present values: the first of the run from scratch, the others
    // from the point before, then from scratch when that does not settle.
    int solve(IFcircuit& ckt)
    {
        if (int code = setup(ckt))
            return code;
        if (!solved)
            return solveoperatingpoint(ckt, name.c_str(), MODE_DCTRANCURVE);
        ckt.mode = MODE_DCTRANCURVE | MODE_INITFLOAT;
        int code = iterate(ckt, ckt.options.itl2);
        if (code == E_ITERLIM)
            code = operatingpoint(ckt, MODE_DCTRANCURVE);
        if (code)
            return code;
        return settledigital(ckt, MODE_DCTRANCURVE, false);
    }

    int sweepall(IFcircuit& ckt)
    {
        const Swept& in = swept[0];
        const Swept& out = swept[1];
        for (; outer < out.points; ++outer, inner = 0) {
            if (out.device) {
                if (int code = setvalue(ckt, out, out.value(outer)))
                    return code;
                if (inner == 0) {
                    if (int code = plot.domain(out.device->name, out.value(outer)))
                        return code;
                }
            }
            while (inner < in.points) {
                const double value = in.value(inner++);
                if (int code = setvalue(ckt, in, value))
                    return code;
                if (int code = solve(ckt))
                    return code;
                solved = true;
                if (int code = plot.add(value, ckt.size(), ckt.solution.data() + 1))
                    return code;
                if (inner == in.points && out.device) {
                    if (int code = plot.enddomain())
                        return code;
                }
                if (inner == in.points && outer + 1 == out.points) {
                    if (int code = plot.end())
                        return code;
                }
                if (int code = pointdone(ckt))
                    return code;
            }
        }
        return 0;
    }

    int run(IFcircuit& ckt, IFtask&, bool resume) override
    {
        if (!resume) {
            restore();
            inner = outer = 0;
            solved = false;
            plot = Plot {};
            for (std::size_t k = 0; k < 2; ++k) {
                if (int code = prepare(ckt, k))
                    return code;
            }
            for (Swept& s : swept) {
                if (s.device)
                    s.restore = ckt.families[static_cast<std::size_t>(s.device->type)]->preserve(*s.device);
            }
            ckt.time = 0;
            if (int code = plot.begin(ckt, *this, "sweep", ckt.size(), ckt.plotnames.data(), IF_REAL)) {
                restore();
                return code;
            }
        }
        if (finished())
            return 0;
        const int code = sweepall(ckt);
        // The devices keep their swept values only while the run may go on.
        if (code != E_PAUSE && code != E_BREAK)
            restore();
        return code;
    }

    bool finished() const override { return outer >= swept[1].points; }
};

std::unique_ptr<IFjob> makejob()
{
    return std::make_unique<DcJob>();
}

} // namespace

extern const AnalysisKind dckind;
const AnalysisKind dckind { { "DC", "DC transfer curve", parameters.count(), parameters.parms() }, &makejob };

} // namespace nerith
