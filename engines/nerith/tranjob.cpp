#include "engines/nerith/ckt.h"
#include "engines/nerith/nerith.h"
#include "engines/nerith/report.h"
#include "engines/nerith/transient.h"

#include <cmath>
#include <iterator>
#include <memory>

namespace nerith {

namespace {

constexpr int32_t TranTstop = 2;
constexpr int32_t TranTstep = 3;
constexpr int32_t TranUic = 6;

const IFparm parameters[] = {
    { "tstart", TRAN_TSTART, IF_REAL | IF_SET | IF_ASK, "Time the output starts" },
    { "tstop", TranTstop, IF_REAL | IF_SET | IF_ASK, "Time the analysis ends" },
    { "tstep", TranTstep, IF_REAL | IF_SET | IF_ASK, "Output step" },
    { "tmax", TRAN_TMAX, IF_REAL | IF_SET | IF_ASK, "Largest time step" },
    { "uic", TranUic, IF_FLAG | IF_SET | IF_ASK, "Start from initial conditions, without an operating point" },
};

int time(double& field, double value)
{
    if (!std::isfinite(value) || value < 0)
        return E_BADVALUE;
    field = value;
    return 0;
}

// The transient analysis: its parameters, and the run it holds between a stop and its resume.
struct TranJob final : IFjob {
    TranSettings settings;
    std::unique_ptr<Transient> running;

    int set(IFtask&, int32_t id, const IFvalue& value) override
    {
        switch (id) {
        case TRAN_TSTART:
            return time(settings.tstart, value.rValue);
        case TranTstop:
            return time(settings.tstop, value.rValue);
        case TranTstep:
            return time(settings.tstep, value.rValue);
        case TRAN_TMAX:
            return time(settings.tmax, value.rValue);
        case TranUic:
            settings.uic = value.iValue != 0;
            return 0;
        default:
            return E_BADPARM;
        }
    }

    int ask(IFcircuit&, IFtask&, int32_t id, IFvalue& value) override
    {
        switch (id) {
        case TRAN_TSTART:
            value.rValue = settings.tstart;
            return 0;
        case TranTstop:
            value.rValue = settings.tstop;
            return 0;
        case TranTstep:
            value.rValue = settings.tstep;
            return 0;
        case TRAN_TMAX:
            value.rValue = settings.tmax;
            return 0;
        case TranUic:
            value.iValue = settings.uic ? 1 : 0;
            return 0;
        default:
            return E_BADPARM;
        }
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
const AnalysisKind trankind {
    { "TRAN", "Transient analysis", static_cast<int32_t>(std::size(parameters)), parameters }, &makejob
};

} // namespace nerith
