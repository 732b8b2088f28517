#include "engines/nerith/ckt.h"
#include "engines/nerith/output.h"
#include "engines/nerith/smallsignal.h"

#include <memory>
#include <numbers>

namespace nerith {

namespace {

struct AcSettings : SweepSettings { };

constexpr auto sweep = sweeprows<AcSettings>("fstart", "fstop", 1);
constexpr auto parameters
    = parametertable<AcSettings>({ sweep[0], sweep[1], sweep[2], sweep[3], sweep[4], sweep[5] });

// The AC analysis: the complex solution of the circuit linearised at its operating point, every
// source excited by its AC value, at each frequency of the sweep.
struct AcJob final : IFjob {
    AcSettings settings;
    std::vector<double> points;
    std::size_t next = 0; // the point the run goes on with after a stop
    Plot plot;
    std::vector<IFcomplex> data;

    AcJob() { parameters.defaults(settings); }

    int set(IFtask&, int32_t id, const IFvalue& value) override
    {
        return parameters.set(settings, id, value);
    }
    int ask(IFcircuit& ckt, IFtask&, int32_t id, IFvalue& value) override
    {
        return parameters.ask(ckt, settings, id, value);
    }

    int run(IFcircuit& ckt, IFtask&, bool resume) override
    {
        if (!resume) {
            next = 0;
            plot = Plot {};
            if (int code = frequencies(name.c_str(), settings, ckt.options.reltol, &points))
                return code;
        }
        if (finished())
            return 0;
        // A stop leaves the circuit to the caller: it is linearised afresh.
        if (int code = linearise(ckt, name.c_str()))
            return code;
        if (!plot.open()) {
            if (int code = plot.begin(ckt, *this, "frequency", ckt.size(), ckt.plotnames.data(), IF_COMPLEX))
                return code;
        }
        data.resize(static_cast<std::size_t>(ckt.size()));
        while (next < points.size()) {
            const double frequency = points[next++];
            if (int code
                = factorsmallsignal(ckt, name.c_str(), 2 * std::numbers::pi * frequency, Excitation::Ac))
                return code;
            solvesmallsignal(ckt);
            for (std::size_t k = 0; k < data.size(); ++k)
                data[k] = { ckt.rhs[k + 1], ckt.irhs[k + 1] };
            if (int code = plot.add(frequency, ckt.size(), data.data()))
                return code;
            if (next == points.size()) {
                if (int code = plot.end())
                    return code;
            }
            if (int code = pointdone(ckt))
                return code;
        }
        return 0;
    }

    bool finished() const override { return next >= points.size(); }
};

std::unique_ptr<IFjob> makejob()
{
    return std::make_unique<AcJob>();
}

} // namespace

extern const AnalysisKind ackind;
const AnalysisKind ackind { { "AC", "AC small-signal analysis", parameters.count(), parameters.parms() },
    &makejob };

} // namespace nerith
