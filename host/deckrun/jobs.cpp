#include "host/deckrun/jobs.h"

#include "engines/mavro/mavro.h"
#include "engines/nerith/nerith.h"

#include <cstring>
#include <initializer_list>
#include <utility>

namespace deckrun {

namespace {

// The engine's name of the analysis of each card.
constexpr std::pair<const char*, const char*> engineanalyses[] = { { "op", "OP" }, { "tran", "TRAN" },
    { "ac", "AC" }, { "dc", "DC" }, { "tf", "TF" }, { "noise", "NOISE" }, { "disto", "DISTO" } };

// Sets the parameters of one job by keyword.
class Setter {
public:
    Setter(IFsimulator* engine, IFcircuit* ckt, IFjob* job, const IFanalysis* kind, const std::string& card)
        : engine(engine)
        , ckt(ckt)
        , job(job)
        , kind(kind)
        , card(card)
    {
    }

    void set(const char* keyword, IFvalue value) const
    {
        const IFparm* parm = findparm(kind->analysisParms, kind->numParms, keyword);
        if (!parm)
            throw Failure("." + card + ": the engine's analysis has no parameter " + keyword);
        check(engine->setAnalysisParm(ckt, job, parm->id, &value, nullptr), "." + card + " " + keyword);
    }
    void real(const char* keyword, double number) const
    {
        IFvalue value {};
        value.rValue = number;
        set(keyword, value);
    }
    void integer(const char* keyword, int32_t number) const
    {
        IFvalue value {};
        value.iValue = number;
        set(keyword, value);
    }
    void device(const char* keyword, const std::string& name) const
    {
        int32_t type = 0;
        IFinstance* instance = nullptr;
        if (engine->findInstance(ckt, &type, &instance, name.c_str()) != 0)
            throw Failure("." + card + ": no device " + name);
        IFvalue value {};
        value.uValue = name.c_str();
        set(keyword, value);
    }
    void node(const char* keyword, const std::string& name) const
    {
        IFvalue value {};
        if (engine->findNode(ckt, &value.nValue, name.c_str()) != 0)
            throw Failure("." + card + ": no node " + name);
        set(keyword, value);
    }
    // The sweep's start and stop under the keywords given, its points and its spacing's flag.
    void sweep(const FrequencySweep& s, const char* start, const char* stop) const
    {
        real(start, s.start);
        real(stop, s.stop);
        integer("numsteps", s.points);
        integer(s.spacing.c_str(), 1);
    }
    // The output of .tf and .noise: a node, against another or ground.
    void output(const Vector& v, const char* pos, const char* neg) const
    {
        node(pos, v.first);
        node(neg, v.second.empty() ? "0" : v.second);
    }

private:
    IFsimulator* engine;
    IFcircuit* ckt;
    IFjob* job;
    const IFanalysis* kind;
    std::string card;
};

} // namespace

void check(int code, const std::string& what)
{
    if (code != 0) {
        const char* text = simerrmsg(code);
        throw Failure(what + ": " + (text ? text : inperrmsg(code)));
    }
}

const IFparm* findparm(const IFparm* parms, int32_t count, const char* keyword)
{
    for (int32_t i = 0; i < count; ++i) {
        if (std::strcmp(parms[i].keyword, keyword) == 0)
            return &parms[i];
    }
    return nullptr;
}

int32_t findanalysis(const IFsimulator* engine, const char* name)
{
    for (int32_t i = 0; name && i < engine->numAnalyses; ++i) {
        if (!std::strcmp(engine->analyses[i]->name, name))
            return i;
    }
    return -1;
}

void addanalysis(IFsimulator* engine, IFcircuit* ckt, IFtask* task, const AnalysisCard& card)
{
    const char* name = nullptr;
    for (const auto& [kind, analysis] : engineanalyses) {
        if (card.kind == kind)
            name = analysis;
    }
    const int32_t type = findanalysis(engine, name);
    if (type < 0)
        throw Failure("." + card.kind + ": the engine has no such analysis");
    IFjob* job = nullptr;
    check(engine->newAnalysis(ckt, type, card.kind.c_str(), &job, task), "." + card.kind);
    const Setter set(engine, ckt, job, engine->analyses[type], card.kind);
    if (card.kind == "tran") {
        const TranCard& t = card.tran;
        set.real("tstep", t.tstep);
        set.real("tstop", t.tstop);
        set.real("tstart", t.tstart);
        set.real("tmax", t.tmax);
        set.integer("uic", t.uic ? 1 : 0);
    } else if (card.kind == "ac") {
        set.sweep(card.sweep, "fstart", "fstop");
    } else if (card.kind == "dc") {
        for (std::size_t k = 0; k < card.sources.size(); ++k) {
            const DcSweep& s = card.sources[k];
            const std::string n = std::to_string(k + 1);
            set.device(("name" + n).c_str(), s.name);
            set.real(("start" + n).c_str(), s.start);
            set.real(("stop" + n).c_str(), s.stop);
            set.real(("step" + n).c_str(), s.step);
        }
    } else if (card.kind == "tf") {
        if (card.output.kind == 'i')
            set.device("outsrc", card.output.first);
        else
            set.output(card.output, "outpos", "outneg");
        set.device("insrc", card.input);
    } else if (card.kind == "noise") {
        set.output(card.output, "output", "outputref");
        set.device("input", card.input);
        set.sweep(card.sweep, "fstart", "fstop");
        set.integer("ptspersum", card.ptspersum);
    } else if (card.kind == "disto") {
        set.sweep(card.sweep, "start", "stop");
        if (card.f2overf1)
            set.real("f2overf1", *card.f2overf1);
    }
}

} // namespace deckrun
