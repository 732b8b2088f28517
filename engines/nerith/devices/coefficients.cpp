#include "engines/nerith/devices/coefficients.h"

namespace nerith {

double instancetemperature(const IFcircuit& ckt, const Coefficients* c)
{
    if (!c)
        return ckt.options.temp;
    return c->tempgiven ? c->temp : ckt.options.temp + c->dtemp;
}

double temperaturefactor(const IFcircuit& ckt, const Coefficients* c, const IFmodel& model)
{
    const auto& m = static_cast<const CoefficientModel&>(model);
    const double tc1 = c && c->tc1given ? c->tc1 : m.tc1;
    const double tc2 = c && c->tc2given ? c->tc2 : m.tc2;
    if (tc1 == 0 && tc2 == 0)
        return 1;
    const double difference = instancetemperature(ckt, c) - (m.tnomgiven ? m.tnom : ckt.options.tnom);
    return 1 + tc1 * difference + tc2 * difference * difference;
}

} // namespace nerith
