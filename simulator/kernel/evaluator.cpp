#include "simulator/kernel/evaluator.h"

#include "core/text/scan.h"
#include "core/text/strutil.h"
#include "core/text/values.h"

#include <cctype>
#include <iterator>

namespace {

const char* const errortexts[] = { "", "Close bracket found but no matching open bracket", "Open bracket '(' expected",
    "Close bracket ')' expected", "Close chevron '>' expected", "Too many brackets", "Division by zero",
    "Variable name expected", "Variable not found", "Numeric literal expected", "Too few arguments for function",
    "Unimplemented function", "Operator expected", "Comma and function argument expected" };

constexpr int VARIABLENOTFOUND = 8;
constexpr int NUMERICEXPECTED = 9;
constexpr int OPERATOREXPECTED = 12;

}  // namespace

template <class T>
VARIABLE<T>::VARIABLE(const char* variablename, T variablevalue)
    : value(variablevalue)
{
    strnzcpy(name, variablename, sizeof name - 1);
}

template struct VARIABLE<double>;

int evalexpr(const char* text, const VARIABLES& variables, double* value)
{
    char* p = const_cast<char*>(text);
    if (!skipspaces(&p))
        return NUMERICEXPECTED;
    if (isalpha(static_cast<unsigned char>(*p)) || *p == '_') {
        char name[64];
        getnztok(&p, name, 63);
        VARIABLE<double>* variable = variables[name];
        if (!variable)
            return VARIABLENOTFOUND;
        *value = variable->value;
    } else if (!getval(&p, value)) {
        return NUMERICEXPECTED;
    }
    return skipspaces(&p) ? OPERATOREXPECTED : 0;
}

const char* evalerrortext(int code)
{
    return code > 0 && code < static_cast<int>(std::size(errortexts)) ? errortexts[code] : "";
}
