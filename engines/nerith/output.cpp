#include "engines/nerith/output.h"

#include "engines/nerith/ckt.h"
#include "engines/nerith/newton.h"
#include "engines/nerith/report.h"

namespace nerith {

int Plot::begin(IFcircuit& ckt, IFjob& job, const char* reference, int32_t count, IFuid* names, int32_t type)
{
    IFfrontEnd* frontend = session().frontend;
    if (!frontend || !frontend->beginPlot || !frontend->appendData || !frontend->endPlot)
        return 0;
    owner = &job;
    if (int code
        = frontend->beginPlot(&ckt, &job, job.name.c_str(), reference, IF_REAL, count, names, type, &plot))
        return fail(code, "the front end refused the plot of %s", job.name.c_str());
    return 0;
}

int Plot::add(double reference, int32_t count, const void* values)
{
    if (!plot)
        return 0;
    IFvalue at {};
    at.rValue = reference;
    IFvalue data {};
    data.v.numValue = count;
    data.v.vec.rVec = static_cast<double*>(const_cast<void*>(values));
    if (int code = session().frontend->appendData(plot, &at, &data))
        return fail(code, "the front end refused a point of %s", owner->name.c_str());
    return 0;
}

int Plot::end()
{
    if (!plot)
        return 0;
    IFplot* ended = plot;
    plot = nullptr;
    if (int code = session().frontend->endPlot(ended))
        return fail(code, "the front end could not end the plot of %s", owner->name.c_str());
    return 0;
}

int Plot::domain(const char* reference, double outer)
{
    IFfrontEnd* frontend = session().frontend;
    if (!plot || !frontend->beginDomain)
        return 0;
    IFvalue value {};
    value.rValue = outer;
    if (int code = frontend->beginDomain(plot, reference, IF_REAL, &value))
        return fail(code, "the front end refused a sweep of %s", owner->name.c_str());
    return 0;
}

int Plot::enddomain()
{
    IFfrontEnd* frontend = session().frontend;
    if (!plot || !frontend->endDomain)
        return 0;
    if (int code = frontend->endDomain(plot))
        return fail(code, "the front end refused the end of a sweep of %s", owner->name.c_str());
    return 0;
}

int plotpoint(IFcircuit& ckt, IFjob& job, double reference)
{
    Plot plot;
    if (int code = plot.begin(ckt, job, nullptr, ckt.size(), ckt.plotnames.data(), IF_REAL))
        return code;
    if (int code = plot.add(reference, ckt.size(), ckt.solution.data() + 1))
        return code;
    return plot.end();
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

int solveoperatingpoint(IFcircuit& ckt, const char* analysis, uint32_t dcmode)
{
    ckt.time = 0;
    IFfrontEnd* frontend = session().frontend;
    if (frontend && frontend->digitalSetup && !frontend->digitalSetup())
        return fail(
            E_DIGITAL, "the digital engine could not be set up for the operating point of %s", analysis);
    if (int code = operatingpoint(ckt, dcmode))
        return code;
    return settledigital(ckt, dcmode);
}

int settledigital(IFcircuit& ckt, uint32_t dcmode, bool first)
{
    IFfrontEnd* frontend = session().frontend;
    if (!frontend || !frontend->digitalBootStep)
        return 0;
    int changes = 0;
    if (!frontend->digitalBootStep(first ? 1 : 0, 1, &changes))
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
