#include "engines/mavro/deck/values.h"

#include "engines/mavro/expression_parse.h"
#include "engines/mavro/parser.h"
#include "engines/mavro/token.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace mavro {

namespace {

bool fail(std::string* message, CardReader& reader, const IFparm& parm)
{
    std::string_view bad = reader.token();
    *message = bad.empty() ? "value expected for " + std::string(parm.keyword)
                           : "bad value " + quoted(bad) + " for " + parm.keyword;
    return false;
}

// Values the engine keeps by reference or names it looks up live in the table.
bool notable(std::string* message, const IFparm& parm)
{
    *message = std::string(parm.keyword) + " needs a symbol table";
    return false;
}

std::optional<int32_t> wholenumber(double value)
{
    double rounded = std::round(value);
    if (rounded < std::numeric_limits<int32_t>::min() || rounded > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(rounded);
}

// The numbers of a vector: "(v v ...)" up to its ')', or the numbers that follow.
bool readnumbers(CardReader& reader, const IFparm& parm, std::vector<double>* numbers, std::string* message)
{
    if (reader.next() == '=')
        reader.skipnext();
    if (reader.next() != '(') {
        while (std::optional<double> number = reader.number())
            numbers->push_back(*number);
        if (numbers->empty())
            return fail(message, reader, parm);
        return true;
    }
    reader.skipnext();
    const char* close = std::strchr(reader.position(), ')');
    if (!close) {
        reader.moveto(reader.position() + std::strlen(reader.position()));
        *message = "')' expected after the values of " + std::string(parm.keyword);
        return false;
    }
    for (std::string_view token = reader.tokenbefore(close); !token.empty();
         token = reader.tokenbefore(close)) {
        std::optional<double> number = tokenvalue(token);
        if (!number) {
            reader.moveto(close + 1);
            *message = "bad value " + quoted(token) + " for " + parm.keyword;
            return false;
        }
        numbers->push_back(*number);
    }
    reader.moveto(close + 1);
    if (numbers->empty()) {
        *message = "values expected for " + std::string(parm.keyword);
        return false;
    }
    return true;
}

bool readvector(
    CardReader& reader, const IFparm& parm, const Scope& scope, IFvalue* value, std::string* message)
{
    if (!scope.table)
        return notable(message, parm);
    std::vector<double> numbers;
    if (!readnumbers(reader, parm, &numbers, message))
        return false;
    const int32_t kind = parm.dataType & 0xFF;
    value->v.numValue = static_cast<int32_t>(numbers.size());
    if (kind == IF_REAL) {
        value->v.vec.rVec = scope.table->keep(std::move(numbers));
        return true;
    }
    if (kind == IF_INTEGER || kind == IF_FLAG) {
        std::vector<int32_t> whole;
        for (double number : numbers) {
            std::optional<int32_t> integer = wholenumber(number);
            if (!integer) {
                *message = "value out of range for " + std::string(parm.keyword);
                return false;
            }
            whole.push_back(kind == IF_FLAG ? *integer != 0 : *integer);
        }
        value->v.vec.iVec = scope.table->keep(std::move(whole));
        return true;
    }
    if (kind == IF_COMPLEX) {
        std::vector<IFcomplex> pairs;
        for (std::size_t i = 0; i < numbers.size(); i += 2)
            pairs.push_back(IFcomplex { numbers[i], i + 1 < numbers.size() ? numbers[i + 1] : 0 });
        value->v.numValue = static_cast<int32_t>(pairs.size());
        value->v.vec.cVec = scope.table->keep(std::move(pairs));
        return true;
    }
    *message = std::string(parm.keyword) + " cannot be given on a card";
    return false;
}

bool readtree(
    CardReader& reader, const IFparm& parm, const Scope& scope, IFvalue* value, std::string* message)
{
    if (!scope.table)
        return notable(message, parm);
    if (reader.next() == '=')
        reader.skipnext();
    const char* text = reader.position();
    reader.moveto(text + std::strlen(text));
    ParseError error;
    std::unique_ptr<Expression> expression = parseexpression(text, scope.ckt, scope.table, &error);
    if (!expression) {
        *message = "expression of " + std::string(parm.keyword) + ": " + error.message;
        return false;
    }
    value->tValue = scope.table->keep(std::move(expression));
    return true;
}

} // namespace

void skipvalue(CardReader& reader)
{
    const bool equals = reader.next() == '=';
    if (equals)
        reader.skipnext();
    if (reader.next() == '(') {
        reader.skipnext();
        const char* close = std::strchr(reader.position(), ')');
        reader.moveto(close ? close + 1 : reader.position() + std::strlen(reader.position()));
        return;
    }
    if (equals)
        reader.token();
    while (reader.number())
        ;
}

const IFparm* findparm(ParmTable table, std::string_view keyword)
{
    for (int32_t i = 0; i < table.count; ++i) {
        if (table.parms[i].keyword && sameletters(table.parms[i].keyword, keyword))
            return &table.parms[i];
    }
    return nullptr;
}

int32_t finddevice(std::string_view name)
{
    const IFsimulator* descriptor = session().descriptor;
    if (!descriptor || !descriptor->devices)
        return -1;
    for (int32_t i = 0; i < descriptor->numDevices; ++i) {
        const IFdevice* device = descriptor->devices[i];
        if (device && device->name && sameletters(device->name, name))
            return i;
    }
    return -1;
}

bool readvalue(
    CardReader& reader, const IFparm& parm, const Scope& scope, IFvalue* value, std::string* message)
{
    if (parm.dataType & IF_POINTER) {
        *message = std::string(parm.keyword) + " cannot be given on a card";
        return false;
    }
    if (parm.dataType & IF_VECTOR)
        return readvector(reader, parm, scope, value, message);
    switch (parm.dataType & 0xFF) {
    case IF_FLAG: {
        if (reader.next() != '=') {
            value->iValue = 1;
            return true;
        }
        reader.skipnext();
        std::optional<double> number = reader.number();
        if (!number)
            return fail(message, reader, parm);
        value->iValue = *number != 0;
        return true;
    }
    case IF_INTEGER: {
        std::optional<double> number = reader.number();
        if (!number)
            return fail(message, reader, parm);
        std::optional<int32_t> integer = wholenumber(*number);
        if (!integer) {
            *message = "value out of range for " + std::string(parm.keyword);
            return false;
        }
        value->iValue = *integer;
        return true;
    }
    case IF_REAL: {
        std::optional<double> number = reader.number();
        if (!number)
            return fail(message, reader, parm);
        value->rValue = *number;
        return true;
    }
    case IF_COMPLEX: {
        std::optional<double> real = reader.number();
        if (!real)
            return fail(message, reader, parm);
        value->cValue = IFcomplex { *real, reader.number().value_or(0) };
        return true;
    }
    case IF_NODE: {
        if (!scope.table)
            return notable(message, parm);
        std::string_view name = reader.token();
        if (name.empty())
            return fail(message, reader, parm);
        if (int code = cardnode(scope.ckt, name, scope.table, &value->nValue)) {
            *message = "node " + quoted(name) + ": " + errormessage(code);
            return false;
        }
        return true;
    }
    case IF_STRING: {
        std::string_view text = reader.token();
        if (text.empty())
            return fail(message, reader, parm);
        value->sValue = heapcopy(text);
        if (!value->sValue) {
            *message = errormessage(E_NOMEM);
            return false;
        }
        return true;
    }
    case IF_INSTANCE: {
        if (!scope.table)
            return notable(message, parm);
        std::string_view name = reader.token();
        if (name.empty())
            return fail(message, reader, parm);
        value->uValue = scope.table->enter(name)->name;
        return true;
    }
    case IF_PARSETREE:
        return readtree(reader, parm, scope, value, message);
    default:
        *message = std::string(parm.keyword) + " cannot be given on a card";
        return false;
    }
}

void readparameters(CardReader& reader, ParmTable table, const Scope& scope, CardReport& report,
    const char* what, const std::function<int(const IFparm&, IFvalue*)>& set,
    const std::function<bool(std::string_view keyword)>& special)
{
    for (std::string_view keyword = reader.peek(); !keyword.empty(); keyword = reader.peek()) {
        reader.token();
        if (tokenvalue(keyword)) {
            report.add("unexpected value " + quoted(keyword));
            continue;
        }
        // A keyword never starts like a number: this is one that does not read (1e999, 1.2.3).
        if (std::strchr("0123456789.+-", keyword.front())) {
            report.add("bad number " + quoted(keyword));
            continue;
        }
        if (special && special(keyword))
            continue;
        const IFparm* parm = findparm(table, keyword);
        if (!parm || !(parm->dataType & IF_SET)) {
            report.add((parm ? std::string(what) + " " + quoted(keyword) + " cannot be set"
                             : "unknown " + std::string(what) + " " + quoted(keyword)));
            skipvalue(reader);
            continue;
        }
        IFvalue value {};
        std::string message;
        if (!readvalue(reader, *parm, scope, &value, &message)) {
            report.add(message);
            continue;
        }
        if (int code = set(*parm, &value))
            report.add("cannot set " + std::string(parm->keyword) + ": " + errormessage(code));
    }
}

} // namespace mavro
