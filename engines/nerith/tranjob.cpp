#include "engines/nerith/ckt.h"
#include "engines/nerith/nerith.h"
#include "engines/nerith/parameters.h"
#include "engines/nerith/report.h"
#include "engines/nerith/transient.h"

#include <memory>

namespace nerith {

namespace {

constexpr int32_t TranTstop = 2;
constexpr int32_t TranTstep = 3;
constexpr int32_t TranUic = 6;

template <auto Member> constexpr auto time(const char* keyword, int32_t id, const char* description)
{
    return field<Member>(keyword, id, description).in("s").atleast(0);
}

constexpr auto parameters = parametertable<TranSettings>({
    time<&TranSettings::tstart>("tstart", TRAN_TSTART, "Time the output starts"),
    time<&TranSettings::tstop>("tstop", TranTstop, "Time the analysis ends"),
    time<&TranSettings::tstep>("tstep", TranTstep, "Output step"),
    time<&TranSettings::tmax>("tmax", TRAN_TMAX, "Largest time step"),
    field<&TranSettings::uic>("uic", TranUic, "Start from initial conditions, without an operating point"),
});

// The transient analysis: its parameters, and the run it holds between a stop and its resume.
struct TranJob final : IFjob {
    TranSettings settings;
    std::unique_ptr<Transient> running;

    TranJob() { parameters.defaults(settings); }

    int set(IFtask&, int32_t id, const IFvalue& value) override
    {
        return parameters.set(settings, id, value);
    }

    int ask(IFcircuit& ckt, IFtask&, int32_t id, IFvalue& value) override
    {
        return parameters.ask(ckt, settings, id, value);
    }

    bool transient() const override { return true; }

    int run(IFcircuit& ckt, IFtask&, bool resume) override
    {
        if (resume)
            return running ? running->resume() : 0;
        running = std::make_unique<Transient>(ckt, *this, settings);
        return running->start();
    }

    bool finished() const override { return !running || running->finished(); }
};

std::unique_ptr<IFjob> makejob()
{
    return std::make_unique<TranJob>();
}

} // namespace

extern const AnalysisKind trankind;
const AnalysisKind trankind { { "TRAN", "Transient analysis", parameters.count(), parameters.parms() },
    &makejob };

} // namespace nerith
