#include "engines/nerith/ckt.h"
#include "engines/nerith/distortion.h"
#include "engines/nerith/output.h"
#include "engines/nerith/report.h"
#include "engines/nerith/smallsignal.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace nerith {

namespace {

enum : int32_t { Sweep = 1, Ratio = 7 };

struct DistoSettings : SweepSettings {
    double f2overf1; // 0: the harmonics of F1 alone
};

constexpr auto sweep = sweeprows<DistoSettings>("start", "stop", Sweep);
constexpr auto parameters = parametertable<DistoSettings>({
    sweep[0],
    sweep[1],
    sweep[2],
    sweep[3],
    sweep[4],
    sweep[5],
    field<&DistoSettings::f2overf1>(
        "f2overf1", Ratio, "F2 over the start frequency: the intermodulation of F1 with F2 (0: harmonics)"),
});

using Solution = Distortion::Solution;

// The distortion analysis: the response of the circuit linearised at its operating point to the
// currents its nonlinear devices draw at the harmonics of the sources' distortion inputs at F1
// (2 F1, 3 F1), or, with F2OVERF1, at their intermodulation with the inputs at F2 = F2OVERF1 times
// the start frequency (F1 + F2, F1 - F2, 2 F1 - F2), one plot each over the sweep of F1. Each
// phasor is the amplitude of its product, twice the response to the e^(jwt) half of the inputs.
struct DistoJob final : IFjob {
    DistoSettings settings;
    std::vector<double> points;
    std::vector<std::vector<Solution>> plots; // by plot, by point
    std::size_t plotnext = 0; // where the output goes on after a stop
    std::size_t pointnext = 0;
    Plot plot;
    std::vector<IFcomplex> data;

    DistoJob() { parameters.defaults(settings); }

    int set(IFtask&, int32_t id, const IFvalue& value) override
    {
        return parameters.set(settings, id, value);
    }
    int ask(IFcircuit& ckt, IFtask&, int32_t id, IFvalue& value) override
    {
        return parameters.ask(ckt, settings, id, value);
    }

    // The response at `omega` to the sources' inputs or, with Excitation::None, to the devices'
    // currents of `product` from the lower orders in `from`; 0 or fail()'s code.
    int respond(IFcircuit& ckt, double omega, Excitation excitation, Product product, const Distortion& from,
        Solution* out)
    {
        if (int code = factorsmallsignal(ckt, name.c_str(), omega, excitation))
            return code;
        if (excitation == Excitation::None) {
            Distortion products(ckt, product, omega);
            products.tone1 = from.tone1;
            products.tone2 = from.tone2;
            products.harmonic = from.harmonic;
            products.difference = from.difference;
            for (auto& family : ckt.families) {
                if (int code = family->distortion(ckt, products))
                    return code;
            }
        }
        solvesmallsignal(ckt);
        out->resize(ckt.rhs.size());
        for (std::size_t k = 0; k < out->size(); ++k)
            (*out)[k] = { ckt.rhs[k], ckt.irhs[k] };
        return 0;
    }

    static bool silent(const Solution& x)
    {
        for (const std::complex<double>& v : x) {
            if (v != 0.0)
                return false;
        }
        return true;
    }

    // The products at one frequency of F1, appended to the plots.
    int point(IFcircuit& ckt, double f1)
    {
        const double w1 = 2 * std::numbers::pi * f1;
        const bool intermodulation = settings.f2overf1 != 0;
        Distortion from(ckt, Product::SecondHarmonic, 0);
        Solution a;
        Solution h2;
        if (int code = respond(ckt, w1, Excitation::FirstTone, Product::SecondHarmonic, from, &a))
            return code;
        if (silent(a))
            return fail(E_BADVALUE, "%s: no source has a distortion input at F1 (DISTOF1)", name.c_str());
        from.tone1 = &a;
        if (int code = respond(ckt, 2 * w1, Excitation::None, Product::SecondHarmonic, from, &h2))
            return code;
        from.harmonic = &h2;
        std::vector<Solution> products;
        if (!intermodulation) {
            Solution h3;
            if (int code = respond(ckt, 3 * w1, Excitation::None, Product::ThirdHarmonic, from, &h3))
                return code;
            products = { h2, h3 };
        } else {
            const double w2 = 2 * std::numbers::pi * settings.f2overf1 * settings.start;
            Solution b;
            if (int code = respond(ckt, w2, Excitation::SecondTone, Product::Sum, from, &b))
                return code;
            if (silent(b))
                return fail(E_BADVALUE, "%s: no source has a distortion input at F2 (DISTOF2)", name.c_str());
            from.tone2 = &b;
            Solution sum;
            Solution difference;
            Solution third;
            if (int code = respond(ckt, w1 + w2, Excitation::None, Product::Sum, from, &sum))
                return code;
            if (int code = respond(ckt, w1 - w2, Excitation::None, Product::Difference, from, &difference))
                return code;
            from.difference = &difference;
            if (int code
                = respond(ckt, 2 * w1 - w2, Excitation::None, Product::Intermodulation, from, &third))
                return code;
            products = { sum, difference, third };
        }
        plots.resize(products.size());
        for (std::size_t k = 0; k < products.size(); ++k)
            plots[k].push_back(std::move(products[k]));
        return 0;
    }

    // The plots from where a stop left them.
    int deliver(IFcircuit& ckt)
    {
        data.resize(static_cast<std::size_t>(ckt.size()));
        for (; plotnext < plots.size(); ++plotnext, pointnext = 0) {
            if (!plot.open()) {
                if (int code
                    = plot.begin(ckt, *this, "frequency", ckt.size(), ckt.plotnames.data(), IF_COMPLEX))
                    return code;
            }
            const std::vector<Solution>& list = plots[plotnext];
            while (pointnext < list.size()) {
                const Solution& x = list[pointnext];
                for (std::size_t k = 0; k < data.size(); ++k)
                    data[k] = { 2 * x[k + 1].real(), 2 * x[k + 1].imag() };
                if (int code = plot.add(points[pointnext++], ckt.size(), data.data()))
                    return code;
                if (pointnext == list.size()) {
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
            plot = Plot {};
            plots.clear();
            plotnext = pointnext = 0;
            if (int code = frequencies(name.c_str(), settings, ckt.options.reltol, &points))
                return code;
            if (!std::isfinite(settings.f2overf1) || settings.f2overf1 < 0)
                return fail(
                    E_BADVALUE, "%s: F2OVERF1 must be 0 or more, not %g", name.c_str(), settings.f2overf1);
            if (int code = linearise(ckt, name.c_str()))
                return code;
            for (double f1 : points) {
                if (int code = point(ckt, f1)) {
                    plots.clear();
                    return code;
                }
            }
        }
        return deliver(ckt);
    }

    bool finished() const override { return plotnext >= plots.size(); }
};

std::unique_ptr<IFjob> makejob()
{
    return std::make_unique<DistoJob>();
}

} // namespace

extern const AnalysisKind distokind;
const AnalysisKind distokind { { "DISTO", "Distortion analysis", parameters.count(), parameters.parms() },
    &makejob };

} // namespace nerith
