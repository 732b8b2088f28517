// The parser's C exports: each forwards to its C++ name (parser.h).
#include "engines/mavro/parser.h"

#include <cstdlib>

extern "C" {

int inpinit(IFfrontEnd* frontend, IFsimulator* descriptor)
{
    return mavro::init(frontend, descriptor);
}

INPtables* INPtabInit(int32_t size)
{
    return mavro::tabinit(size);
}

void INPtabEnd(INPtables* table)
{
    mavro::tabend(table);
}

void INPkillMods()
{
    mavro::killmodels();
}

int INPpas1(IFcircuit* ckt, SPICECARD* deck, INPtables* table)
{
    return mavro::pass1(ckt, deck, table);
}

int INPpas2(IFcircuit* ckt, SPICECARD* deck, INPtables* table, IFtask* task, IFjob* options)
{
    return mavro::pass2(ckt, deck, table, task, options);
}

int INPtermInsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node)
{
    return mavro::terminsert(ckt, name, table, node);
}

int INPgndInsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node)
{
    return mavro::gndinsert(ckt, name, table, node);
}

int INPinsert(char** name, INPtables* table)
{
    return mavro::insert(name, table);
}

int INPgetTok(char** line, char** token, int gobble)
{
    return mavro::gettoken(line, token, gobble);
}

double INPevaluate(char** line, int* error, int gobble)
{
    return mavro::evaluate(line, error, gobble);
}

void INPfree(void* text)
{
    std::free(text);
}

char* INPgetMod(IFcircuit* ckt, char* name, INPmodel** model, INPtables* table)
{
    return mavro::getmodel(ckt, name, model, table);
}

char* INPfindLev(char* line, int* level)
{
    return mavro::findlevel(line, level);
}

int INPgetTree(char** line, IFparseTree** tree, IFcircuit* ckt, INPtables* table)
{
    return mavro::gettree(line, tree, ckt, table);
}

const char* inperrmsg(int code)
{
    return mavro::errormessage(code);
}

}
