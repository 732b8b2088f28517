#include "host/deckrun/runner.h"

#include "engines/mavro/mavro.h"
#include "engines/nerith/nerith.h"
#include "host/deckrun/controls.h"
#include "host/deckrun/deck.h"
#include "host/deckrun/jobs.h"
#include "host/deckrun/printer.h"
#include "simulator/kernel/spicedeck/spicedeck.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
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

// The run the front end's callbacks serve; they are plain functions, so it is reached from here.
struct Run {
    std::FILE* out = nullptr;
    std::FILE* err = nullptr;
    std::unique_ptr<Printer> printer;
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

int beginplot(IFcircuit*, IFjob*, IFuid analysis, IFuid reference, int32_t, int32_t count, IFuid* names,
    int32_t type, IFplot** plot)
{
    *plot = reinterpret_cast<IFplot*>(present);
    return present->printer->begin(analysis, reference, count, names, type);
}

int appenddata(IFplot*, IFvalue* reference, IFvalue* data)
{
    return present->printer->add(reference->rValue, *data);
}

int endplot(IFplot*)
{
    return present->printer->end();
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

    Session s(engine);
    check(engine->newCircuit(&s.ckt), "no circuit");
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
    for (const std::string& note : deck.warnings())
        std::fprintf(run.err, "warning: %s\n", note.c_str());
    for (const std::string& note : controls.notes)
        std::fprintf(run.err, "warning: %s\n", note.c_str());
    run.printer = std::make_unique<Printer>(engine, s.ckt, controls, run.out, run.err);
    int failed = INPpas1(s.ckt, cards, s.table);
    bool marked = false;
    while (SPICECARD* part = whole ? nullptr : deck.nextdevices(DeviceCardsAtOnce)) {
        failed += INPpas2(s.ckt, part, s.table, s.task, s.options);
        marked = marked || anymarked(part);
        freecards(part);
    }
    failed += INPpas2(s.ckt, cards, s.table, s.task, s.options);
    // A card with an error text did not read: a .model card's parameters are read when a device
    // first uses it, and their errors land on that card outside the passes' counts.
    errors.insert(errors.end(), deck.unread().begin(), deck.unread().end());
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

    if (controls.analyses.empty())
        throw Failure("the deck has no analysis: .op, .tran, .ac, .dc, .tf, .noise or .disto");
    for (const AnalysisCard& card : controls.analyses) {
        addanalysis(engine, s.ckt, s.task, card);
        // A long run shows how far it is on a terminal; a file or pipe gets the messages alone.
        if (card.kind == "tran" && isatty(fileno(run.err)))
            run.printer->stop = card.tran.tstop;
    }
    deck.release();
    phases.built = Phase::now();
    check(engine->doAnalyses(s.ckt, 1, s.task), "the analysis failed");
    phases.done = Phase::now();
    run.iterations = askcount(engine, s.ckt, s.options, "iterations");
    run.rejected = askcount(engine, s.ckt, s.options, "badsteps");
    for (const AnalysisCard& card : controls.analyses) {
        for (const std::string& vector : run.printer->unprinted(card.kind))
            throw Failure(vector + ": no vector of that name in the plots of ." + card.kind);
    }
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
                state.printer->equations, state.printer->points, state.iterations, state.rejected);
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
