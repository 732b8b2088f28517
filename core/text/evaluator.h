#pragma once

#include "core/containers/didx.h"
#include "core/text/strutil.h"

#include <cstdint>

// Expressions of property values, circuit variables, trace expressions and numeric fields:
// 10k, 2*VCC/3, pwr(R1,2), $FF, %1010. The text is read once, left to right, evaluating as it
// goes; nothing is allocated. Operators by rising precedence: + -, * / %, ^ (left-associative),
// a leading - of a factor; primaries are bracket groups (at most 10 open), calls of the functions
// of evalfuncs.h, variables, decimal literals with engineering letters (getval), binary literals
// (%101, 0b101) and hexadecimal literals ($FF, 0xFF) read as unsigned 32-bit words.

// Error codes; evalerrors holds their texts.
enum EVALERROR : int32_t {
    EVAL_OK = 0,
    EVAL_UNMATCHEDCLOSE = 1, // a ')' after a complete expression
    EVAL_OPENEXPECTED = 2, // a function name without '('
    EVAL_CLOSEEXPECTED = 3, // a group or a full argument list not closed by ')'
    EVAL_CHEVRONEXPECTED = 4, // a name after '<' not followed at once by '>'
    EVAL_TOOMANYBRACKETS = 5, // an eleventh open group, or calls nested too deep
    EVAL_DIVISIONBYZERO = 6, // '/' or '%' by zero without tolerance
    EVAL_NAMEEXPECTED = 7, // no name after '<'
    EVAL_VARIABLENOTFOUND = 8, // a name that is neither a function nor a variable
    EVAL_NUMBEREXPECTED = 9, // no literal where one must stand (also an empty text)
    EVAL_TOOFEWARGUMENTS = 10, // never set: a short argument list is error 13
    EVAL_UNIMPLEMENTED = 11, // a function without a computation
    EVAL_OPERATOREXPECTED = 12, // a complete expression followed by something else
    EVAL_ARGUMENTEXPECTED = 13, // an argument list ending before the function's count
};

// The error texts, indexed by error code; entry 0 is null.
constexpr int EVALERRORCOUNT = 14;
extern const char* const evalerrors[EVALERRORCOUNT];

// A named value; an index of them (GDIDX<VARIABLE<T>>) is keyed by the name, and its owner makes
// and frees the records.
template <class T> struct VARIABLE {
    char name[16]; // at most 15 characters; a longer name is cut
    T value;

    VARIABLE(const char* variablename, T variablevalue)
        : value(variablevalue)
    {
        strnzcpy(name, variablename, sizeof name - 1);
    }
};

template <class T> struct GDIDXKEY<VARIABLE<T>> : GDIDXINLINEKEY<VARIABLE<T>> {
};

template <class T> class EVALUATOR {
public:
    // Identifiers longer than this are read whole but never match a function or a variable.
    static constexpr int IDENTIFIERMAX = 63;
    // Calls nested inside one another's arguments; deeper nesting is error 5, which keeps hostile
    // text from exhausting the stack.
    static constexpr int CALLDEPTHMAX = 64;

    // Evaluates the expression at *text against vars (looked up with the index's own compare).
    // tolerant: an unknown name counts 0 and a zero divisor leaves the left operand. chevrons:
    // <name> is a variable too. Afterwards error is 0 when the value is valid; *text stands on the
    // NUL after a complete expression, on the offending character after most errors, or on the
    // first letter of a name that was not found. With an error the value means nothing.
    T evaluate(char** text, const DIDX& vars, int tolerant, int chevrons);

    int32_t tolerant = 0;
    int32_t chevrons = 0;
    int32_t error = EVAL_OK; // the first error of the last evaluate
    int32_t depth = 0; // open bracket groups
    const DIDX* vars = nullptr; // borrowed for one evaluate

private:
    T sum(char** p);
    T term(char** p);
    T power(char** p);
    T factor(char** p);
    T primary(char** p);
    T group(char** p);
    T name(char** p);
    T chevron(char** p);
    T call(char** p, int row, char* start);
    T variable(char** p, char* start);
    T literal(char** p);
    T fail(int32_t code);
    bool identifierat(char** p);

    int32_t calls = 0; // calls open inside one another
    bool cut = false; // the identifier did not fit the buffer
    char identifier[IDENTIFIERMAX + 1] = {};
};

// EVALUATOR<double>::evaluate on one shared evaluator of the thread, neither flag set.
double evaluate(char** text, const DIDX& vars);
// The error of the thread's last free evaluate; 0 for success.
int eval_err();
