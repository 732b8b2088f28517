#include "engines/nerith/output.h"

#include "engines/nerith/ckt.h"
#include "engines/nerith/newton.h"
#include "engines/nerith/report.h"

namespace nerith {

int plotpoint(IFcircuit& ckt, IFjob& job, double reference)
{
    IFfrontEnd* frontend = session().frontend;
    if (!frontend || !frontend->beginPlot || !frontend->appendData || !frontend->endPlot)
        return 0;
    IFplot* plot = nullptr;
    if (int code = frontend->beginPlot(
            &ckt, &job, job.name.c_str(), nullptr, IF_REAL, ckt.size(), ckt.plotnames.data(), IF_REAL, &plot))
        return fail(code, "the front end refused the plot of %s", job.name.c_str());
    IFvalue at {};
    at.rValue = reference;
    IFvalue data {};
    data.v.numValue = ckt.size();
    data.v.vec.rVec = ckt.solution.data() + 1;
    if (int code = frontend->appendData(plot, &at, &data))
        return fail(code, "the front end refused a point of %s", job.name.c_str());
    if (int code = frontend->endPlot(plot))
        return fail(code, "the front end could not end the plot of %s", job.name.c_str());
    return 0;
}

int pointdone(IFcircuit& ckt)
{
    if (ckt.breakasked) {
        ckt.breakasked = false;
        return fail(E_BREAK, "%s", ckt.breaktext.empty() ? "break requested" : ckt.breaktext.c_str());
    }
    IFfrontEnd* frontend = session().frontend;
    if (frontend && frontend->pauseTest && frontend->pauseTest())
        return E_PAUSE;
    return 0;
}

int settledigital(IFcircuit& ckt, uint32_t dcmode)
{
    IFfrontEnd* frontend = session().frontend;
    if (!frontend || !frontend->digitalBootStep)
        return 0;
    int changes = 0;
    if (!frontend->digitalBootStep(1, 1, &changes))
        return fail(E_DIGITAL, "the digital engine failed at the operating point");
    for (int32_t round = 0; changes > 0; ++round) {
        if (round >= ckt.options.itl1) {
            ckt.nonconvergence = "the digital side";
            return fail(E_ITERLIM,
                "no convergence in the operating point: the digital side still changed after %d solutions",
                ckt.options.itl1);
        }
        ckt.mode = dcmode | MODE_INITFLOAT;
        int code = iterate(ckt, ckt.options.itl1);
        if (code == E_ITERLIM)
            code = operatingpoint(ckt, dcmode);
        if (code)
            return code;
        changes = 0;
        if (!frontend->digitalBootStep(0, 1, &changes))
            return fail(E_DIGITAL, "the digital engine failed at the operating point");
    }
    return 0;
}

} // namespace nerith
