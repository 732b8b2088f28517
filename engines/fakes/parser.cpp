#include "engines/fakes/parser.h"

#include "engines/fakes/recorder.h"
#include "engines/mavro/parser.h"

#include <cstdlib>
#include <cstring>

using fakes::format;
using fakes::record;

namespace {

int cards(const SPICECARD* deck)
{
    int count = 0;
    for (; deck; deck = deck->next)
        ++count;
    return count;
}

}  // namespace

namespace fakes {

Parser& parser()
{
    static Parser state;
    return state;
}

void resetparser()
{
    parser() = Parser {};
    mavro::killmodels();
}

}  // namespace fakes

extern "C" {

int inpinit(IFfrontEnd* frontend, IFsimulator* descriptor)
{
    record("inpinit()");
    return mavro::init(frontend, descriptor);
}

INPtables* INPtabInit(int32_t size)
{
    record(format("INPtabInit(%d)", size));
    return mavro::tabinit(size);
}

void INPtabEnd(INPtables* table)
{
    record("INPtabEnd()");
    mavro::tabend(table);
}

void INPkillMods()
{
    record("INPkillMods()");
    mavro::killmodels();
}

int INPpas1(IFcircuit*, SPICECARD* deck, INPtables*)
{
    record(format("INPpas1(%d cards)", cards(deck)));
    return fakes::answer("INPpas1", 0);
}

int INPpas2(IFcircuit*, SPICECARD* deck, INPtables*, IFtask* task, IFjob* options)
{
    record(format("INPpas2(%d cards, %s, %s)", cards(deck), task ? "task" : "-", options ? "options" : "-"));
    return fakes::answer("INPpas2", 0);
}

int INPtermInsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node)
{
    record(format("INPtermInsert(%s)", name && *name ? *name : "-"));
    return mavro::terminsert(ckt, name, table, node);
}

int INPgndInsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node)
{
    record(format("INPgndInsert(%s)", name && *name ? *name : "-"));
    return mavro::gndinsert(ckt, name, table, node);
}

int INPinsert(char** name, INPtables* table)
{
    record(format("INPinsert(%s)", name && *name ? *name : "-"));
    return mavro::insert(name, table);
}

int INPgetTok(char** line, char** token, int gobble)
{
    int result = mavro::gettoken(line, token, gobble);
    record(format("INPgetTok() -> %s", token && *token ? *token : "-"));
    return result;
}

double INPevaluate(char** line, int* error, int gobble)
{
    int failed = 0;
    double value = mavro::evaluate(line, &failed, gobble);
    record(failed ? std::string("INPevaluate() -> none") : format("INPevaluate() -> %g", value));
    if (error)
        *error = failed;
    return value;
}

void INPfree(void* text)
{
    std::free(text);
}

char* INPgetMod(IFcircuit*, char* name, INPmodel** model, INPtables*)
{
    record(format("INPgetMod(%s)", name ? name : "-"));
    auto it = name ? fakes::parser().models.find(name) : fakes::parser().models.end();
    if (model)
        *model = it == fakes::parser().models.end() ? nullptr : &it->second;
    if (it != fakes::parser().models.end())
        return nullptr;
    return strdup(format("unable to find definition of model %s", name ? name : "").c_str());
}

char* INPfindLev(char* line, int* level)
{
    record("INPfindLev()");
    return mavro::findlevel(line, level);
}

int INPgetTree(char** line, IFparseTree** tree, IFcircuit*, INPtables*)
{
    std::string text = line && *line ? *line : "";
    record("INPgetTree(" + text + ")");
    if (tree)
        *tree = nullptr;
    if (int failure = fakes::answer("INPgetTree", 0))
        return failure;
    if (tree)
        *tree = &fakes::parser().trees.emplace_back(text);
    if (line && *line)
        *line += std::strlen(*line);
    return 0;
}

const char* inperrmsg(int code)
{
    return mavro::errormessage(code);
}

}
