#include "engines/mavro/parser.h"
#include "engines/mavro/symtab.h"
#include "engines/mavro/token.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace mavro {

int init(IFfrontEnd* frontend, IFsimulator* descriptor)
{
    session() = Session { frontend, descriptor };
    return 0;
}

INPtables* tabinit(int32_t size)
{
    return new (std::nothrow) INPtables(size > 0 ? static_cast<std::size_t>(size) : 0);
}

void tabend(INPtables* table)
{
    delete table;
}

int terminsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node)
{
    return insertnode(ckt, name, table, node, false);
}

int gndinsert(IFcircuit* ckt, char** name, INPtables* table, IFnode** node)
{
    return insertnode(ckt, name, table, node, true);
}

int insert(char** name, INPtables* table)
{
    if (!name || !*name || !table)
        return E_BADVALUE;
    bool added = false;
    *name = table->enter(*name, &added)->name;
    return added ? 0 : E_EXISTS;
}

int gettoken(char** line, char** token, int gobble)
{
    if (token)
        *token = nullptr;
    if (!line || !*line || !token)
        return E_BADVALUE;
    const char* cursor = *line;
    std::string_view text = nexttoken(cursor, gobble != 0);
    *token = heapcopy(text);
    if (!*token)
        return E_NOMEM;
    *line += cursor - *line;
    return text.empty() ? E_NOTFOUND : 0;
}

double evaluate(char** line, int* error, int gobble)
{
    int ignored = 0;
    int& failed = error ? *error : ignored;
    failed = E_SYNTAX;
    if (!line || !*line)
        return 0;
    const char* cursor = *line;
    std::optional<double> value = tokenvalue(nexttoken(cursor, gobble != 0));
    if (!value)
        return 0;
    *line += cursor - *line;
    failed = 0;
    return *value;
}

const char* errormessage(int code)
{
    switch (code) {
    case 0:
        return "no error";
    case E_PAUSE:
        return "paused";
    case E_BREAK:
        return "break point";
    case E_BADPARM:
        return "unknown parameter";
    case E_EXISTS:
        return "already exists";
    case E_NOTFOUND:
        return "not found";
    case E_NOMEM:
        return "out of memory";
    case E_BADTYPE:
        return "wrong type";
    case E_NOTERM:
        return "no such terminal";
    case E_BADVALUE:
        return "value out of range";
    case E_NOTBUILT:
        return "not supported yet";
    case E_SYNTAX:
        return "syntax error";
    case E_NOMODEL:
        return "model not found";
    case E_NOCKT:
        return "no circuit";
    case E_BADMATRIX:
        return "ill-formed matrix";
    case E_SINGULAR:
        return "singular matrix";
    case E_ITERLIM:
        return "iteration limit reached";
    case E_TIMESTEP:
        return "time step too small";
    default:
        return "unknown error";
    }
}

}  // namespace mavro
