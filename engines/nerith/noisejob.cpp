#include "engines/nerith/ckt.h"
#include "engines/nerith/noise.h"
#include "engines/nerith/output.h"
#include "engines/nerith/report.h"
#include "engines/nerith/smallsignal.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>

namespace nerith {

namespace {

enum : int32_t { Output = 1, OutputRef, Input, Sweep, PointsPerSummary = 10 };

// The gain below this (its square) counts as this, so that the input-referred noise stays finite.
constexpr double LeastGain = 1e-20;

struct NoiseSettings : SweepSettings {
    IFnode* output = nullptr;
    IFnode* outputref = nullptr;
    std::string input;
    int32_t ptspersum;
};

int setoutput(NoiseSettings& s, const IFvalue& value)
{
    s.output = value.nValue;
    return 0;
}

int setoutputref(NoiseSettings& s, const IFvalue& value)
{
    s.outputref = value.nValue;
    return 0;
}

int setinput(NoiseSettings& s, const IFvalue& value)
{
    s.input = value.uValue ? value.uValue : "";
    return 0;
}

constexpr auto sweep = sweeprows<NoiseSettings>("fstart", "fstop", Sweep);
constexpr auto parameters = parametertable<NoiseSettings>({
    settable<&setoutput>("output", Output, IF_NODE, "Output node"),
    settable<&setoutputref>(
        "outputref", OutputRef, IF_NODE, "Reference node of the output (ground when none)"),
    settable<&setinput>("input", Input, IF_INSTANCE, "Input source the noise is referred to"),
    sweep[0],
    sweep[1],
    sweep[2],
    sweep[3],
    sweep[4],
    sweep[5],
    field<&NoiseSettings::ptspersum>(
        "ptspersum", PointsPerSummary, "Every how many points each generator's share is reported (0: never)"),
});

// The noise analysis: at each frequency every device's noise generators carried to the output
// through the adjoint of the small-signal system and summed as squared densities, referred to the
// input by the gain from the input source; then their integrals over the sweep. The first plot
// holds the spectra, the second the integrated totals.
struct NoiseJob final : IFjob {
    NoiseSettings settings;
    std::vector<double> points;
    std::size_t next = 0; // the point the run goes on with after a stop
    NoiseSources sources;
    Plot plot;
    // The vectors of the two plots; they live as long as the job, as the front end may keep them.
    std::vector<std::string> spectrumnames;
    std::vector<std::string> totalnames;
    std::vector<IFuid> uids;
    std::vector<double> values;
    bool referred = false; // with an input source
    std::vector<double> densities; // of each generator at the point before
    std::vector<double> onoise; // the integrals so far of each generator at the output
    std::vector<double> inoise; // and referred to the input

    NoiseJob() { parameters.defaults(settings); }

    int set(IFtask&, int32_t id, const IFvalue& value) override
    {
        return parameters.set(settings, id, value);
    }
    int ask(IFcircuit& ckt, IFtask&, int32_t id, IFvalue& value) override
    {
        return parameters.ask(ckt, settings, id, value);
    }

    int input(IFcircuit& ckt)
    {
        ckt.input = nullptr;
        referred = !settings.input.empty();
        if (!referred)
            return 0;
        IndependentSource source;
        if (int code = findsource(ckt, name.c_str(), settings.input, "input", false, &source))
            return code;
        ckt.input = source.device;
        return 0;
    }

    int beginplot(IFcircuit& ckt, const char* reference, const std::vector<std::string>& names)
    {
        uids.clear();
        for (const std::string& text : names)
            uids.push_back(text.c_str());
        values.assign(names.size(), 0.0);
        return plot.begin(ckt, *this, reference, static_cast<int32_t>(uids.size()), uids.data(), IF_REAL);
    }

    int start(IFcircuit& ckt)
    {
        if (int code = frequencies(name.c_str(), settings, ckt.options.reltol, &points))
            return code;
        if (!settings.output)
            return fail(E_BADVALUE, "%s: no output node is given", name.c_str());
        if (settings.ptspersum < 0)
            return fail(
                E_BADVALUE, "%s: PTSPERSUM must be 0 or more, not %d", name.c_str(), settings.ptspersum);
        if (int code = input(ckt))
            return code;
        if (int code = linearise(ckt, name.c_str()))
            return code;
        sources = NoiseSources {};
        for (auto& family : ckt.families)
            family->noise(ckt, sources);
        const std::size_t count = sources.generators().size();
        densities.assign(count, 0.0);
        onoise.assign(count, 0.0);
        inoise.assign(count, 0.0);
        std::vector<std::string>& names = spectrumnames;
        names.clear();
        if (settings.ptspersum > 0) {
            for (const std::string& entry : sources.entries())
                names.push_back("onoise_" + entry);
        }
        names.push_back("onoise_spectrum");
        if (referred)
            names.push_back("inoise_spectrum");
        next = 0;
        return beginplot(ckt, "frequency", names);
    }

    // The spectrum at point `k`; its integral from the point before added up.
    int point(IFcircuit& ckt, std::size_t k)
    {
        const double frequency = points[k];
        const int32_t pos = settings.output->number;
        const int32_t neg = settings.outputref ? settings.outputref->number : 0;
        const Excitation excitation = referred ? Excitation::Input : Excitation::None;
        if (int code = factorsmallsignal(ckt, name.c_str(), 2 * std::numbers::pi * frequency, excitation))
            return code;
        double inverse = 0; // of the squared gain
        if (referred) {
            solvesmallsignal(ckt);
            const double re = ckt.rhs[static_cast<std::size_t>(pos)] - ckt.rhs[static_cast<std::size_t>(neg)];
            const double im
                = ckt.irhs[static_cast<std::size_t>(pos)] - ckt.irhs[static_cast<std::size_t>(neg)];
            inverse = 1 / std::max(re * re + im * im, LeastGain);
        }
        // The adjoint: the transfer from a unit current between any two nodes to the output.
        std::fill(ckt.rhs.begin(), ckt.rhs.end(), 0.0);
        std::fill(ckt.irhs.begin(), ckt.irhs.end(), 0.0);
        ckt.rhs[static_cast<std::size_t>(pos)] += 1;
        ckt.rhs[static_cast<std::size_t>(neg)] -= 1;
        solvesmallsignal(ckt, true);
        const std::vector<NoiseGenerator>& generators = sources.generators();
        std::vector<double> now(generators.size());
        double total = 0;
        for (std::size_t g = 0; g < generators.size(); ++g) {
            const NoiseGenerator& n = generators[g];
            const auto a = static_cast<std::size_t>(n.a);
            const auto b = static_cast<std::size_t>(n.b);
            const double re = ckt.rhs[a] - ckt.rhs[b];
            const double im = ckt.irhs[a] - ckt.irhs[b];
            now[g] = (re * re + im * im) * (n.white + n.flicker / frequency);
            total += now[g];
            if (k > 0) {
                const double integral = powerintegral(points[k - 1], densities[g], frequency, now[g]);
                onoise[g] += integral;
                inoise[g] += integral * inverse;
            }
        }
        densities = now;
        const int32_t every = settings.ptspersum;
        if (every > 0 && k % static_cast<std::size_t>(every) != 0)
            return 0;
        std::size_t at = 0;
        if (every > 0) {
            sources.report(now.data(), values.data());
            at = sources.entries().size();
        }
        values[at++] = total;
        if (referred)
            values[at] = total * inverse;
        return plot.add(frequency, static_cast<int32_t>(values.size()), values.data());
    }

    int totals(IFcircuit& ckt)
    {
        if (points.front() == points.back())
            return 0;
        const std::vector<std::string>& entries = sources.entries();
        std::vector<double> out(entries.size());
        std::vector<double> in(entries.size());
        sources.report(onoise.data(), out.data());
        sources.report(inoise.data(), in.data());
        std::vector<std::string>& names = totalnames;
        names.clear();
        std::vector<double> list;
        if (settings.ptspersum > 0) {
            for (std::size_t k = 0; k < entries.size(); ++k) {
                names.push_back("onoise_total_" + entries[k]);
                list.push_back(out[k]);
                if (referred) {
                    names.push_back("inoise_total_" + entries[k]);
                    list.push_back(in[k]);
                }
            }
        }
        double output = 0;
        double referredtotal = 0;
        for (std::size_t g = 0; g < onoise.size(); ++g) {
            output += onoise[g];
            referredtotal += inoise[g];
        }
        names.push_back("onoise_total");
        list.push_back(output);
        if (referred) {
            names.push_back("inoise_total");
            list.push_back(referredtotal);
        }
        if (int code = beginplot(ckt, nullptr, names))
            return code;
        if (int code = plot.add(0, static_cast<int32_t>(list.size()), list.data()))
            return code;
        return plot.end();
    }

    int run(IFcircuit& ckt, IFtask&, bool resume) override
    {
        if (!resume) {
            plot = Plot {};
            points.clear();
            if (int code = start(ckt))
                return code;
        } else if (finished()) {
            return 0;
        } else if (int code = linearise(ckt, name.c_str())) {
            return code;
        }
        while (next < points.size()) {
            if (int code = point(ckt, next++))
                return code;
            if (next == points.size()) {
                if (int code = plot.end())
                    return code;
                if (int code = totals(ckt))
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
    return std::make_unique<NoiseJob>();
}

} // namespace

extern const AnalysisKind noisekind;
const AnalysisKind noisekind { { "NOISE", "Noise analysis", parameters.count(), parameters.parms() },
    &makejob };

} // namespace nerith
