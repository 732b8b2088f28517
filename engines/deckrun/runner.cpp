#include "engines/deckrun/runner.h"

#include "engines/deckrun/controls.h"
#include "engines/deckrun/deck.h"
#include "engines/mavro/mavro.h"
#include "engines/nerith/nerith.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace deckrun {

namespace {

// A message of the engine or the parser that ends the run.
struct Fatal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where a printed vector's numbers come from in the plot's data: entry `plus` minus entry `minus`
// (-1: ground).
struct Column {
    int32_t plus = -1;
    int32_t minus = -1;
};

// The run the front end's callbacks serve; they are plain functions, so it is reached from here.
struct Run {
    IFsimulator* engine = nullptr;
    IFcircuit* ckt = nullptr;
    std::FILE* out = nullptr;
    std::FILE* err = nullptr;
    const Controls* controls = nullptr;
    std::vector<Column> columns;
    std::vector<double> row;
    bool sweep = false; // the plot has a reference to print first
    double stop = 0; // the transient's TSTOP while its progress is shown on a terminal; 0: none shown
    int shown = -1; // the percentage last shown
    int32_t equations = 0; // of the plot
    std::size_t points = 0; // delivered
    int32_t iterations = 0; // Newton iterations of the run
    int32_t rejected = 0; // time steps
};

// Processor time (s) and peak memory (MB) of the run's phases, for the statistics.
struct Phase {
    double seconds = 0;
    double megabytes = 0;

    static Phase now()
    {
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        return { static_cast<double>(std::clock()) / CLOCKS_PER_SEC,
            static_cast<double>(usage.ru_maxrss) / 1024 };
    }
};

struct Phases {
    Phase start, read, built, done;
};
Run* present = nullptr;

std::string formatted(const char* format, va_list args)
{
    char text[2048];
    std::vsnprintf(text, sizeof text, format ? format : "Unspecified Error", args);
    return text;
}

namespace hooks {

int newuid(IFcircuit*, IFuid* out, IFuid old, const char* suffix, int32_t)
{
    const std::string text = old ? std::string(old) + "#" + (suffix ? suffix : "") : std::string(suffix ? suffix : "");
    *out = strdup(text.c_str());
    return *out ? 0 : E_NOMEM;
}

int deleteuid(IFcircuit*, IFuid uid, int32_t)
{
    std::free(const_cast<char*>(uid));
    return 0;
}

int pausetest()
{
    return 0;
}

double seconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

int error(int flags, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string text = formatted(format, args);
    va_end(args);
    if (flags != ERR_INFO && flags != ERR_WARNING)
        throw Fatal(text);
    std::fprintf(present->err, "%s: %s\n", flags == ERR_WARNING ? "warning" : "note", text.c_str());
    return 0;
}

// The data entry of the node of that name in the plot's names; -1 for ground, -2 when absent.
int32_t nodecolumn(const std::string& name, int32_t count, IFuid* names)
{
    if (name == "0")
        return -1;
    IFnode* node = nullptr;
    if (present->engine->findNode(present->ckt, &node, name.c_str()) != 0 || node->number == 0)
        return node && node->number == 0 ? -1 : -2;
    for (int32_t i = 0; i < count; ++i) {
        if (names[i] == node->name)
            return i;
    }
    return -2;
}

int32_t branchcolumn(const std::string& device, int32_t count, IFuid* names)
{
    const std::string branch = device + "#branch";
    for (int32_t i = 0; i < count; ++i) {
        if (names[i] && branch == names[i])
            return i;
    }
    return -2;
}

int beginplot(IFcircuit*, IFjob*, IFuid, IFuid reference, int32_t, int32_t count, IFuid* names, int32_t,
    IFplot** plot)
{
    Run& run = *present;
    run.sweep = reference != nullptr;
    run.columns.clear();
    std::string header = run.sweep ? reference : "";
    auto name = [&](const std::string& text) {
        header += header.empty() ? text : " " + text;
    };
    if (run.controls->prints.empty()) {
        for (int32_t i = 0; i < count; ++i) {
            IFnode* node = nullptr;
            if (names[i] && run.engine->findNode(run.ckt, &node, names[i]) == 0 && node->name == names[i]) {
                run.columns.push_back({ i, -1 });
                name("v(" + std::string(names[i]) + ")");
            }
        }
    }
    for (const Vector& v : run.controls->prints) {
        Column column;
        column.plus = v.kind == 'i' ? branchcolumn(v.first, count, names) : nodecolumn(v.first, count, names);
        if (!v.second.empty())
            column.minus = nodecolumn(v.second, count, names);
        if (column.plus == -2 || column.minus == -2) {
            std::fprintf(run.err, "error: %s: %s\n", v.name.c_str(),
                v.kind == 'i' ? "no device of that name with a branch current" : "no node of that name");
            return E_NOTFOUND;
        }
        run.columns.push_back(column);
        name(v.name);
    }
    std::fprintf(run.out, "%s\n", header.c_str());
    run.row.resize(run.columns.size());
    run.equations = count;
    *plot = reinterpret_cast<IFplot*>(&run);
    return 0;
}

int appenddata(IFplot*, IFvalue* reference, IFvalue* data)
{
    Run& run = *present;
    ++run.points;
    const double* values = data->v.vec.rVec;
    auto at = [&](int32_t entry) { return entry < 0 ? 0.0 : values[entry]; };
    std::FILE* out = run.out;
    bool first = true;
    if (run.sweep) {
        std::fprintf(out, "%.9e", reference->rValue);
        first = false;
    }
    for (const Column& column : run.columns) {
        std::fprintf(out, first ? "%.9e" : " %.9e", at(column.plus) - at(column.minus));
        first = false;
    }
    std::fputc('\n', out);
    if (run.stop > 0) {
        const int percent = static_cast<int>(100 * reference->rValue / run.stop);
        if (percent != run.shown)
            std::fprintf(run.err, "\r%3d %%", percent);
        run.shown = percent;
    }
    return 0;
}

int endplot(IFplot*)
{
    Run& run = *present;
    if (run.shown >= 0)
        std::fputs("\r      \r", run.err);
    run.shown = -1;
    return 0;
}

} // namespace hooks

IFfrontEnd frontend()
{
    IFfrontEnd f {};
    f.newUid = hooks::newuid;
    f.deleteUid = hooks::deleteuid;
    f.pauseTest = hooks::pausetest;
    f.seconds = hooks::seconds;
    f.error = hooks::error;
    f.beginPlot = hooks::beginplot;
    f.appendData = hooks::appenddata;
    f.endPlot = hooks::endplot;
    return f;
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
    for (int32_t i = 0; i < engine->numAnalyses; ++i) {
        if (std::strcmp(engine->analyses[i]->name, name) == 0)
            return i;
    }
    return -1;
}

// The parser, the engine's circuit and the task of one run, freed in reverse order.
class Session {
public:
    Session(IFsimulator* engine)
        : engine_(engine)
    {
    }
    ~Session()
    {
        if (ckt)
            engine_->deleteCircuit(ckt);
        INPkillMods();
        INPtabEnd(table);
        spice_terminate();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    IFcircuit* ckt = nullptr;
    INPtables* table = nullptr;
    IFtask* task = nullptr;
    IFjob* options = nullptr;

private:
    IFsimulator* engine_;
};

class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Device cards handed to the parser at once.
constexpr std::size_t DeviceCardsAtOnce = 4096;

bool anymarked(const SPICECARD* cards)
{
    for (const SPICECARD* card = cards; card; card = card->next) {
        if (card->error)
            return true;
    }
    return false;
}

void check(int code, const std::string& what)
{
    if (code != 0) {
        const char* text = simerrmsg(code);
        throw Failure(what + ": " + (text ? text : inperrmsg(code)));
    }
}

void setreal(IFsimulator* engine, IFcircuit* ckt, IFjob* job, const IFanalysis* kind, const char* keyword,
    double value)
{
    const IFparm* parm = findparm(kind->analysisParms, kind->numParms, keyword);
    IFvalue v {};
    if ((parm->dataType & 0xFF) == IF_FLAG)
        v.iValue = value != 0;
    else
        v.rValue = value;
    check(engine->setAnalysisParm(ckt, job, parm->id, &v, nullptr), std::string(".tran ") + keyword);
}

// A count the options analysis keeps of the run.
int32_t askcount(IFsimulator* engine, IFcircuit* ckt, IFjob* options, const char* keyword)
{
    const IFanalysis* kind = engine->analyses[findanalysis(engine, "options")];
    IFvalue v {};
    check(engine->askAnalysisQuest(
              ckt, options, findparm(kind->analysisParms, kind->numParms, keyword)->id, &v, nullptr),
        keyword);
    return v.iValue;
}

void setnodes(Session& s, IFsimulator* engine, const std::vector<std::pair<std::string, double>>& values,
    const char* keyword)
{
    const IFparm* parm = findparm(engine->nodeParms, engine->numNodeParms, keyword);
    for (const auto& [name, value] : values) {
        IFnode* node = nullptr;
        if (engine->findNode(s.ckt, &node, name.c_str()) != 0)
            throw Failure("." + std::string(keyword) + ": no node " + name);
        IFvalue v {};
        v.rValue = value;
        check(engine->setNodeParm(s.ckt, node, parm->id, &v, nullptr), "." + std::string(keyword) + " v(" + name + ")");
    }
}

// The run after the deck was read; throws Failure with the message for standard error.
void simulate(Deck& deck, Run& run, std::vector<std::string>& errors, Phases& phases)
{
    IFfrontEnd front = frontend();
    IFsimulator* engine = nullptr;
    check(siminit(&front, &engine), "the engine did not start");
    IFsimulator parser = *engine;
    inpinit(&front, &parser);
    run.engine = engine;

    Session s(engine);
    check(engine->newCircuit(&s.ckt), "no circuit");
    run.ckt = s.ckt;
    s.table = INPtabInit(1024);
    if (!s.table)
        throw Failure("out of memory");
    char ground[] = "0";
    char* name = ground;
    IFnode* node = nullptr;
    INPgndInsert(s.ckt, &name, s.table, &node);
    check(engine->newTask(s.ckt, &s.task, "deck"), "no task");
    check(engine->newAnalysis(s.ckt, findanalysis(engine, "options"), "options", &s.options, s.task), "no options");

    // A deck with subcircuits is read as one expanded list; any other reads its device cards a
    // part at a time after the rest, each part freed once read.
    const bool whole = deck.hierarchical();
    SPICECARD* cards = whole ? deck.expanded() : deck.controls();
    if (!cards && whole)
        throw Failure("the deck's subcircuits did not expand");
    const Controls controls = readcontrols(cards, &errors);
    run.controls = &controls;
    int failed = INPpas1(s.ckt, cards, s.table);
    bool marked = false;
    const std::size_t devices = whole ? 0 : deck.devices();
    for (std::size_t from = 0; from < devices; from += DeviceCardsAtOnce) {
        SPICECARD* part = deck.devicecards(from, DeviceCardsAtOnce);
        failed += INPpas2(s.ckt, part, s.table, s.task, s.options);
        marked = marked || anymarked(part);
        Deck::freecards(part);
    }
    failed += INPpas2(s.ckt, cards, s.table, s.task, s.options);
    // A card with an error text did not read: a .model card's parameters are read when a device
    // first uses it, and their errors land on that card outside the passes' counts.
    if (failed > 0 || marked || anymarked(cards) || !errors.empty())
        throw Failure("the deck's cards did not read");
    setnodes(s, engine, controls.ics, "ic");
    setnodes(s, engine, controls.nodesets, "nodeset");
    for (const Vector& v : controls.prints) {
        int32_t type = 0;
        IFinstance* instance = nullptr;
        if (v.kind == 'i' && engine->findInstance(s.ckt, &type, &instance, v.first.c_str()) != 0)
            throw Failure(v.name + ": no device " + v.first);
    }

    IFjob* job = nullptr;
    if (controls.tran) {
        const int32_t type = findanalysis(engine, "TRAN");
        check(engine->newAnalysis(s.ckt, type, "tran", &job, s.task), "no transient");
        const IFanalysis* kind = engine->analyses[type];
        const TranCard& t = *controls.tran;
        setreal(engine, s.ckt, job, kind, "tstep", t.tstep);
        setreal(engine, s.ckt, job, kind, "tstop", t.tstop);
        setreal(engine, s.ckt, job, kind, "tstart", t.tstart);
        setreal(engine, s.ckt, job, kind, "tmax", t.tmax);
        setreal(engine, s.ckt, job, kind, "uic", t.uic ? 1 : 0);
        // A long run shows how far it is on a terminal; a file or pipe gets the messages alone.
        if (isatty(fileno(run.err)))
            run.stop = t.tstop;
    } else if (controls.op) {
        check(engine->newAnalysis(s.ckt, findanalysis(engine, "OP"), "op", &job, s.task), "no operating point");
    } else {
        throw Failure("the deck has no analysis: .tran or .op");
    }
    deck.release();
    phases.built = Phase::now();
    check(engine->doAnalyses(s.ckt, 1, s.task), "the analysis failed");
    phases.done = Phase::now();
    run.iterations = askcount(engine, s.ckt, s.options, "iterations");
    run.rejected = askcount(engine, s.ckt, s.options, "badsteps");
}

} // namespace

int run(const std::string& path, std::FILE* out, std::FILE* err, bool statistics)
{
    Phases phases;
    phases.start = Phase::now();
    Run state;
    state.out = out;
    state.err = err;
    present = &state;
    std::vector<std::string> errors;
    int status = 0;
    try {
        Deck deck;
        std::string problem;
        if (!deck.read(path, &problem))
            throw Failure(problem);
        phases.read = Phase::now();
        simulate(deck, state, errors, phases);
        if (statistics)
            std::fprintf(err,
                "statistics: processor time %.3f s reading, %.3f s building, %.3f s in the analysis; "
                "peak memory %.0f MB built, %.0f MB in all; %d equations, %zu points, %d Newton iterations, "
                "%d steps rejected\n",
                phases.read.seconds - phases.start.seconds, phases.built.seconds - phases.read.seconds,
                phases.done.seconds - phases.built.seconds, phases.built.megabytes, phases.done.megabytes,
                state.equations, state.points, state.iterations, state.rejected);
    } catch (const Failure& failure) {
        for (const std::string& error : errors)
            std::fprintf(err, "error: %s\n", error.c_str());
        std::fprintf(err, "error: %s\n", failure.what());
        status = 1;
    } catch (const Fatal& fatal) {
        std::fprintf(err, "error: %s\n", fatal.what());
        status = 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(err, "error: out of memory\n");
        status = 1;
    }
    std::fflush(out);
    present = nullptr;
    return status;
}

} // namespace deckrun
