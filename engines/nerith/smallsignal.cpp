#include "engines/nerith/smallsignal.h"

#include "engines/nerith/ckt.h"
#include "engines/nerith/devices/control.h"
#include "engines/nerith/newton.h"
#include "engines/nerith/output.h"
#include "engines/nerith/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace nerith {

int frequencies(const char* analysis, const SweepSettings& sweep, double reltol, std::vector<double>* out)
{
    out->clear();
    if (sweep.spacing == Spacing::None)
        return fail(E_BADVALUE, "%s: no sweep is chosen: DEC, OCT or LIN", analysis);
    if (sweep.points <= 0)
        return fail(E_BADVALUE, "%s: the number of points must be 1 or more, not %d", analysis, sweep.points);
    if (!(std::isfinite(sweep.start) && sweep.start > 0))
        return fail(E_BADVALUE, "%s: the start frequency must be above 0 Hz, not %g", analysis, sweep.start);
    if (!(std::isfinite(sweep.stop) && sweep.stop >= sweep.start))
        return fail(E_BADVALUE, "%s: the stop frequency %g Hz lies below the start frequency %g Hz", analysis,
            sweep.stop, sweep.start);
    if (sweep.spacing == Spacing::Linear) {
        const int32_t n = sweep.points;
        const double step = n > 1 ? (sweep.stop - sweep.start) / (n - 1) : 0;
        for (int32_t k = 0; k < n; ++k)
            out->push_back(k + 1 == n && n > 1 ? sweep.stop : sweep.start + k * step);
        return 0;
    }
    const double base = sweep.spacing == Spacing::Decade ? 10 : 2;
    const double ratio = std::log(base) / sweep.points;
    // A last point past the stop by less than RELTOL of a step still counts.
    const double reach = std::log(sweep.stop * (1 + reltol * std::exp(ratio)) / sweep.start) / ratio;
    const auto count = static_cast<std::size_t>(std::floor(reach)) + 1;
    out->reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        out->push_back(sweep.start * std::exp(static_cast<double>(k) * ratio));
    return 0;
}

namespace {

// 0 for a factored matrix; otherwise fail() naming the analysis, `where` the matrix was factored
// ("at the operating point") and the status.
int factorstatus(IFcircuit& ckt, const char* analysis, const char* where, SparseMatrix::Result result)
{
    switch (result.status) {
    case SparseMatrix::Status::Ok:
        return 0;
    case SparseMatrix::Status::Singular:
        return fail(E_SINGULAR, "%s: the circuit's matrix is singular %s, at %s", analysis, where,
            ckt.describe(result.equation).c_str());
    case SparseMatrix::Status::NotFinite:
        return fail(E_BADMATRIX, "%s: the circuit's matrix holds a value that is no number %s, at %s",
            analysis, where, ckt.describe(result.equation).c_str());
    case SparseMatrix::Status::NoMemory:
        break;
    }
    return fail(
        E_NOMEM, "%s: out of memory while factoring the circuit matrix (%d equations)", analysis, ckt.size());
}

} // namespace

int findsource(IFcircuit& ckt, const char* analysis, const std::string& wanted, const char* role,
    bool voltageonly, IndependentSource* out)
{
    IFinstance* device = wanted.empty() ? nullptr : ckt.instancenames.find(wanted);
    const char* type = device && !device->deleted
        ? devicekinds()[static_cast<std::size_t>(device->type)]->description.name
        : "";
    const bool voltage = !std::strcmp(type, "Vsource");
    if (!voltage && (voltageonly || std::strcmp(type, "Isource")))
        return fail(E_BADVALUE, "%s: the %s %s is no %s", analysis, role,
            wanted.empty() ? "(none given)" : wanted.c_str(),
            voltageonly ? "voltage source" : "voltage or current source");
    out->device = device;
    out->voltage = voltage;
    const Node* pos = ckt.terminal(*device, 0);
    const Node* neg = ckt.terminal(*device, 1);
    out->pos = pos ? pos->number : 0;
    out->neg = neg ? neg->number : 0;
    out->branch = voltage ? sourcebranch(ckt, *device) : 0;
    return 0;
}

int factoroperatingpoint(IFcircuit& ckt, const char* analysis)
{
    return factorstatus(ckt, analysis, "at the operating point",
        ckt.matrix.factor(ckt.options.pivtol, ckt.options.pivrel, false));
}

int linearise(IFcircuit& ckt, const char* analysis)
{
    if (int code = solveoperatingpoint(ckt, analysis, MODE_DCOP))
        return code;
    ckt.mode = MODE_DCOP | MODE_INITSMSIG;
    return load(ckt);
}

int factorsmallsignal(IFcircuit& ckt, const char* analysis, double omega, Excitation excitation)
{
    if (int code = order(ckt))
        return code;
    SparseMatrix& m = ckt.matrix;
    ckt.mode = MODE_AC;
    ckt.omega = omega;
    ckt.excitation = excitation;
    m.clear();
    m.clearimaginary();
    std::fill(ckt.rhs.begin(), ckt.rhs.end(), 0.0);
    // Only the small-signal analyses use an imaginary part: it is made here, not at every set-up.
    ckt.irhs.assign(ckt.rhs.size(), 0.0);
    for (auto& family : ckt.families) {
        if (int code = family->acload(ckt))
            return code;
    }
    shunt(ckt);
    const SparseMatrix::Result result = m.factorcomplex(ckt.options.pivtol, ckt.options.pivrel);
    if (result.status == SparseMatrix::Status::Ok)
        return 0;
    char where[64];
    std::snprintf(where, sizeof where, "at %g Hz", omega / (2 * std::numbers::pi));
    return factorstatus(ckt, analysis, where, result);
}

void solvesmallsignal(IFcircuit& ckt, bool transposed)
{
    ckt.matrix.solvecomplex(ckt.rhs.data(), ckt.irhs.data(), transposed);
}

} // namespace nerith
