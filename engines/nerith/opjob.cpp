#include "engines/nerith/ckt.h"
#include "engines/nerith/output.h"
#include "engines/nerith/report.h"

#include <memory>

namespace nerith {

namespace {

// The operating point: one solution, one plot of one point, every equation in it.
struct OpJob final : IFjob {
    int set(IFtask&, int32_t, const IFvalue&) override { return E_BADPARM; }
    int ask(IFcircuit&, IFtask&, int32_t, IFvalue&) override { return E_BADPARM; }

    int run(IFcircuit& ckt, IFtask&, bool resume) override
    {
        // A stop comes only after the point was delivered: nothing is left to resume.
        if (resume)
            return 0;
        if (int code = solveoperatingpoint(ckt, name.c_str(), MODE_DCOP))
            return code;
        if (int code = plotpoint(ckt, *this, 0))
            return code;
        return pointdone(ckt);
    }
};

std::unique_ptr<IFjob> makejob()
{
    return std::make_unique<OpJob>();
}

} // namespace

extern const AnalysisKind opkind;
const AnalysisKind opkind { { "OP", "Operating point", 0, nullptr }, &makejob };

} // namespace nerith
