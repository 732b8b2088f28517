#include "simulator/kernel/analyses.h"

#include "core/files/pathopen.h"
#include "core/text/format.h"
#include "engines/nerith/nerith.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

bool startswith(const char* text, const char* prefix)
{
    return text && strncmp(text, prefix, strlen(prefix)) == 0;
}

// A density or total as the report shows it: the root of the squared value, three digits.
const char* noisetext(double squared)
{
    return fmtval(std::sqrt(squared), 3, 0, nullptr);
}

}  // namespace

NOISE::NOISE(CIRCUIT* owner, IFtask* spicetask, IFjob* optionsjob)
    : ANALYSIS("NOISE", owner, spicetask, optionsjob)
{
    const char* total = circuit->getproperty("LOGTOTAL");
    const char* spectral = circuit->getproperty("LOGSPECTRAL");
    logtotal = total && strcasecmp(total, "TRUE") == 0;
    logspectral = spectral && strcasecmp(spectral, "TRUE") == 0;
}

int NOISE::run(int)
{
    FILE* out = modulestdout();
    for (int i = 0; i < circuit->nets.count; ++i) {
        auto* net = static_cast<char*>(circuit->nets.items[i]);
        probes.count = 0;
        for (COMPONENT* part : circuit->analogparts)
            if (part->joinnoise(net, IF_COMPLEX))
                probes.add(part);
        if (probes.count == 0)
            continue;

        fprintf(out, "#I:NOISE analysis for %s", probes.count == 1 ? "probe" : "probes");
        for (int p = 0; p < probes.count; ++p) {
            const char* value = static_cast<COMPONENT*>(probes.items[p])->getvalue();
            fprintf(out, "%c%s", p == 0 ? ' ' : ',', value ? value : "");
        }
        fputc('\n', out);

        IFvalue setting {};
        if (spicesimulator->findNode(circuit->spice, &setting.nValue, net) == 0)
            setparam("output", &setting);
        setting.nValue = circuit->groundnode;
        setparam("outputref", &setting);
        setting.iValue = logtotal || logspectral ? 1 : 0;
        setparam("ptspersum", &setting);

        const char* input = circuit->getproperty("INPUT");
        if (COMPONENT* source = input ? circuit->findcomponent(input) : nullptr)
            source->setreference(input, circuit->spice);

        plotbegun = plotended = 0;
        int result = spicesimulator->doAnalyses(circuit->spice, 1, task);
        if (result != 0) {
            const char* text = simerrmsg(result);
            fprintf(out, "Error %d - %s\n", result, text ? text : "");
            return result;
        }
    }
    return 0;
}

int NOISE::beginplot(IFcircuit*, IFjob*, int32_t count, IFuid* plotnames, int32_t)
{
    plotbegun += 1;
    if (plotbegun == 1) {
        DEBUG_ANALYSE.trace("%s - beginplot %d", name, plotbegun);
        onoise = inoise = -1;
        for (int32_t i = 0; i < count; ++i) {
            if (plotnames[i] && strcmp(plotnames[i], "onoise_spectrum") == 0)
                onoise = i;
            else if (plotnames[i] && strcmp(plotnames[i], "inoise_spectrum") == 0)
                inoise = i;
        }
        beginrun();
    }
    names.assign(count, std::string());
    for (int32_t i = 0; i < count; ++i)
        names[i] = plotnames[i] ? plotnames[i] : "";
    datatype = IF_REAL;
    return 0;
}

int NOISE::writedata(IFvalue* reference, IFvalue* data)
{
    const double* values = data->v.vec.rVec;
    int32_t count = std::min(static_cast<int32_t>(names.size()), data->v.numValue);
    if (plotbegun == 1) {
        if (logspectral) {
            siminfo("Noise Contributions at %sHz", fmtval(reference->rValue, 3, 0, nullptr));
            printreport(values, count, false);
        }
        for (COMPONENT* probe : probes)
            probe->writenoise(reference->rValue, values, count, onoise, inoise);
        datawritten = 1;
        checkresultslimit();
    } else if (plotbegun == 2) {
        siminfo("Total Noise Contributions");
        printreport(values, count, true);
    }
    return 0;
}

void NOISE::printreport(const double* values, int32_t count, bool totals)
{
    FILE* out = modulestdout();
    const char* summary = totals ? "_total" : "_spectrum";
    const char* unit = totals ? "Volts" : "V/sqrt(Hz)";
    size_t cut = totals ? 13 : 7;
    for (const char* side : { "onoise", "inoise" }) {
        bool output = side[0] == 'o';
        for (int32_t i = 0; i < count; ++i) {
            const char* entry = names[i].c_str();
            if (!startswith(entry, side))
                continue;
            if (strcmp(entry + 6, summary) == 0) {
                if (totals)
                    fprintf(out, output ? "  Total Output Noise : %s %s\n" : "   Total Input Noise : %s %s\n",
                        noisetext(values[i]), unit);
                else
                    fprintf(out, output ? "Plotted Output Noise : %s %s\n" : "Plotted Input Noise : %s %s\n",
                        noisetext(values[i]), unit);
            } else if (!totals || logtotal) {
                fprintf(out, "%20s : %s %s\n", strlen(entry) > cut ? entry + cut : "", noisetext(values[i]), unit);
            }
        }
    }
}

int NOISE::endplot()
{
    DEBUG_ANALYSE.trace("%s - endplot", name);
    plotended += 1;
    endrun();
    return 0;
}
