#include "engines/nerith/ckt.h"
#include "engines/nerith/output.h"
#include "engines/nerith/parameters.h"
#include "engines/nerith/report.h"
#include "engines/nerith/smallsignal.h"

#include <cmath>
#include <memory>
#include <string>

namespace nerith {

namespace {

enum : int32_t { OutPos = 1, OutNeg, OutSrc, InSrc };

// A response this small counts as none: the impedance it gives is taken as this large.
constexpr double LeastResponse = 1e-20;

struct TfSettings {
    IFnode* outpos = nullptr;
    IFnode* outneg = nullptr;
    std::string outsrc;
    std::string insrc;
};

template <IFnode* TfSettings::*Member> int setnode(TfSettings& s, const IFvalue& value)
{
    s.*Member = value.nValue;
    return 0;
}

template <std::string TfSettings::*Member> int setname(TfSettings& s, const IFvalue& value)
{
    s.*Member = value.uValue ? value.uValue : "";
    return 0;
}

constexpr auto parameters = parametertable<TfSettings>({
    settable<&setnode<&TfSettings::outpos>>("outpos", OutPos, IF_NODE, "Positive output node"),
    settable<&setnode<&TfSettings::outneg>>(
        "outneg", OutNeg, IF_NODE, "Negative output node (ground when none)"),
    settable<&setname<&TfSettings::outsrc>>(
        "outsrc", OutSrc, IF_INSTANCE, "Voltage source whose current is the output"),
    settable<&setname<&TfSettings::insrc>>("insrc", InSrc, IF_INSTANCE, "Input source"),
});

// The DC small-signal transfer function: the gain from an input source to an output voltage or
// current at the operating point, the input impedance seen by the source and the output impedance.
struct TfJob final : IFjob {
    TfSettings settings;
    std::string names[3];

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
        if (resume)
            return 0;
        IndependentSource input;
        if (int code = findsource(ckt, name.c_str(), settings.insrc, "input", false, &input))
            return code;
        IndependentSource output;
        const bool currentout = !settings.outsrc.empty();
        if (currentout) {
            if (int code = findsource(ckt, name.c_str(), settings.outsrc, "output", true, &output))
                return code;
        } else if (!settings.outpos) {
            return fail(E_BADVALUE, "%s: no output is given: a node or a voltage source", name.c_str());
        }
        const int32_t pos = settings.outpos ? settings.outpos->number : 0;
        const int32_t neg = settings.outneg ? settings.outneg->number : 0;
        if (int code = linearise(ckt, name.c_str()))
            return code;
        if (int code = factoroperatingpoint(ckt, name.c_str()))
            return code;

        std::vector<double> x(ckt.rhs.size(), 0.0);
        auto at = [&](int32_t k) -> double& { return x[static_cast<std::size_t>(k)]; };
        auto impedance = [](double current) {
            return std::fabs(current) < LeastResponse ? 1 / LeastResponse : -1 / current;
        };
        if (input.voltage) {
            at(input.branch) += 1;
        } else {
            at(input.pos) -= 1;
            at(input.neg) += 1;
        }
        ckt.matrix.solve(x.data());
        double values[3];
        values[0] = currentout ? at(output.branch) : at(pos) - at(neg);
        values[1] = input.voltage ? impedance(at(input.branch)) : at(input.neg) - at(input.pos);
        if (currentout && output.device == input.device) {
            values[2] = values[1];
        } else {
            std::fill(x.begin(), x.end(), 0.0);
            if (currentout) {
                at(output.branch) += 1;
            } else {
                at(pos) -= 1;
                at(neg) += 1;
            }
            ckt.matrix.solve(x.data());
            values[2] = currentout ? impedance(at(output.branch)) : at(neg) - at(pos);
        }

        names[0] = identifier(ckt, nullptr, "Transfer_function");
        names[1] = identifier(ckt, input.device->name, "Input_impedance");
        if (currentout) {
            names[2] = identifier(ckt, output.device->name, "Output_impedance");
        } else {
            const std::string node = std::string("V(") + settings.outpos->name
                + (neg ? std::string(",") + settings.outneg->name : std::string()) + ")";
            names[2] = identifier(ckt, nullptr, ("output_impedance_at_" + node).c_str());
        }
        IFuid uids[3] = { names[0].c_str(), names[1].c_str(), names[2].c_str() };
        Plot plot;
        if (int code = plot.begin(ckt, *this, nullptr, 3, uids, IF_REAL))
            return code;
        if (int code = plot.add(0, 3, values))
            return code;
        if (int code = plot.end())
            return code;
        return pointdone(ckt);
    }
};

std::unique_ptr<IFjob> makejob()
{
    return std::make_unique<TfJob>();
}

} // namespace

extern const AnalysisKind tfkind;
const AnalysisKind tfkind { { "TF", "Transfer function", parameters.count(), parameters.parms() }, &makejob };

} // namespace nerith
