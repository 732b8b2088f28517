#include "core/text/evaluator.h"

#include "core/text/ascii.h"
#include "core/text/evalfuncs.h"
#include "core/text/scan.h"
#include "core/text/values.h"

#include <cmath>
#include <complex>
#include <limits>

const char* const evalerrors[EVALERRORCOUNT] = {
    nullptr,
    "Close bracket found but no matching open bracket",
    "Open bracket '(' expected",
    "Close bracket ')' expected",
    "Close chevron '>' expected",
    "Too many brackets",
    "Division by zero",
    "Variable name expected",
    "Variable not found",
    "Numeric literal expected",
    "Too few arguments for function",
    "Unimplemented function",
    "Operator expected",
    "Comma and function argument expected",
};

namespace {

constexpr int BRACKETDEPTHMAX = 10;

// What the grammar needs of a number type beyond + - * and negation.
template <class T> struct EVALNUMBER;

template <> struct EVALNUMBER<double> {
    // A decimal literal by getval; false (value NaN, or infinite) when none can be read.
    static bool literal(char** p, double* value) { return getval(p, value) != 0; }
    static double word(uint32_t value) { return value; }
    static bool zerodivisor(double d) { return d == 0; }
    // The divisor of '%' is its whole part.
    static bool zeromodulus(double d) { return d > -1 && d < 1; }
    // Remainder of the 64-bit truncations with the sign of the dividend. Values whose whole part
    // does not fit have no truncation, so they (and NaN) give NaN; by -1 the remainder is 0, where
    // the machine division would trap.
    static double remainder(double a, double b)
    {
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (!(a >= -limit && a < limit && b >= -limit && b < limit))
            return std::numeric_limits<double>::quiet_NaN();
        auto dividend = static_cast<int64_t>(a);
        auto divisor = static_cast<int64_t>(b);
        return divisor == -1 ? 0.0 : static_cast<double>(dividend % divisor);
    }
    static double power(double a, double b) { return std::pow(a, b); }
};

// Phasors: a literal followed by 'j' (blanks between allowed) is imaginary; no letters are skipped
// after a literal, so a unit letter is an error here.
template <> struct EVALNUMBER<std::complex<double>> {
    using complex = std::complex<double>;
    static bool literal(char** p, complex* value)
    {
        double v;
        if (!getval(p, &v, '.')) {
            *value = { std::nan(""), std::nan("") };
            return false;
        }
        skipspaces(p);
        bool imaginary = **p == 'j';
        if (imaginary)
            ++*p;
        *value = imaginary ? complex(0, v) : complex(v, 0);
        return true;
    }
    static complex word(uint32_t value) { return { static_cast<double>(value), 0 }; }
    static bool zerodivisor(complex d) { return d.real() == 0 && d.imag() == 0; }
    static bool zeromodulus(complex d) { return EVALNUMBER<double>::zeromodulus(d.real()); }
    static complex remainder(complex a, complex b)
    {
        return { EVALNUMBER<double>::remainder(a.real(), b.real()), 0 };
    }
    // exp(b ln a) with the principal logarithm, as written: 0^b comes out of the exponential.
    static complex power(complex a, complex b) { return std::exp(b * std::log(a)); }
};

constexpr const char* IDENTIFIERCHARS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";

} // namespace

template <class T>
T EVALUATOR<T>::evaluate(char** text, const DIDX& variables, int tolerance, int chevronnames)
{
    vars = &variables;
    tolerant = tolerance;
    chevrons = chevronnames;
    error = EVAL_OK;
    depth = 0;
    calls = 0;
    T value = sum(text);
    if (error)
        return value;
    if (**text == ')')
        fail(EVAL_UNMATCHEDCLOSE);
    else if (**text)
        fail(EVAL_OPERATOREXPECTED);
    return value;
}

template <class T> T EVALUATOR<T>::fail(int32_t code)
{
    if (!error)
        error = code;
    return T {};
}

template <class T> T EVALUATOR<T>::sum(char** p)
{
    T value = term(p);
    while (!error) {
        if (**p == '+') {
            ++*p;
            value = value + term(p);
        } else if (**p == '-') {
            ++*p;
            value = value - term(p);
        } else {
            break;
        }
    }
    return value;
}

template <class T> T EVALUATOR<T>::term(char** p)
{
    T value = power(p);
    while (!error) {
        char op = **p;
        if (op == '*') {
            ++*p;
            value = value * power(p);
            continue;
        }
        if (op != '/' && op != '%')
            break;
        ++*p;
        T divisor = power(p);
        if (error)
            break;
        if (op == '/' ? EVALNUMBER<T>::zerodivisor(divisor) : EVALNUMBER<T>::zeromodulus(divisor)) {
            if (tolerant)
                continue;
            return fail(EVAL_DIVISIONBYZERO);
        }
        value = op == '/' ? value / divisor : EVALNUMBER<T>::remainder(value, divisor);
    }
    return value;
}

template <class T> T EVALUATOR<T>::power(char** p)
{
    T value = factor(p);
    while (!error && **p == '^') {
        ++*p;
        T exponent = factor(p);
        if (error)
            break;
        value = EVALNUMBER<T>::power(value, exponent);
    }
    return value;
}

// A '-' directly at the factor negates it; after a blank the sign belongs to a decimal literal.
template <class T> T EVALUATOR<T>::factor(char** p)
{
    if (error)
        return T {};
    bool negate = **p == '-';
    if (negate)
        ++*p;
    skipspaces(p);
    T value = primary(p);
    if (error)
        return value;
    skipspaces(p);
    return negate ? -value : value;
}

template <class T> T EVALUATOR<T>::primary(char** p)
{
    char* s = *p;
    int32_t word;
    if (*s == '(')
        return group(p);
    if (asciialpha(*s))
        return name(p);
    if (*s == '<' && chevrons)
        return chevron(p);
    bool binary = *s == '%' || (s[0] == '0' && (s[1] == 'b' || s[1] == 'B'));
    bool hexadecimal = *s == '$' || (s[0] == '0' && (s[1] == 'x' || s[1] == 'X'));
    if (!binary && !hexadecimal)
        return literal(p);
    *p += s[0] == '0' ? 2 : 1;
    if (!(binary ? getbin(p, &word) : gethex(p, &word)))
        return fail(EVAL_NUMBEREXPECTED);
    return EVALNUMBER<T>::word(static_cast<uint32_t>(word));
}

template <class T> T EVALUATOR<T>::group(char** p)
{
    if (depth >= BRACKETDEPTHMAX)
        return fail(EVAL_TOOMANYBRACKETS);
    ++*p;
    ++depth;
    T value = sum(p);
    if (error)
        return value;
    if (**p != ')')
        return fail(EVAL_CLOSEEXPECTED);
    ++*p;
    --depth;
    return value;
}

// Reads an identifier into the buffer; one longer than the buffer is read whole and marked cut.
template <class T> bool EVALUATOR<T>::identifierat(char** p)
{
    if (!getnztok(p, identifier, IDENTIFIERMAX))
        return false;
    char* rest = *p;
    skipover(p, IDENTIFIERCHARS);
    cut = *p != rest;
    return true;
}

// A function when the table knows the name, else a variable.
template <class T> T EVALUATOR<T>::name(char** p)
{
    char* start = *p;
    identifierat(p);
    int row = cut ? -1 : findevalfunc(identifier);
    return row >= 0 ? call(p, row, start) : variable(p, start);
}

template <class T> T EVALUATOR<T>::chevron(char** p)
{
    ++*p;
    char* start = *p;
    if (!identifierat(p))
        return fail(EVAL_NAMEEXPECTED);
    if (**p != '>')
        return fail(EVAL_CHEVRONEXPECTED);
    ++*p;
    return variable(p, start);
}

// The variable named by the identifier read from start. A cut identifier names none: stored
// names are far shorter than the buffer.
template <class T> T EVALUATOR<T>::variable(char** p, char* start)
{
    auto* found = cut ? nullptr : reinterpret_cast<VARIABLE<T>*>((*vars)[identifier]);
    if (found)
        return found->value;
    if (tolerant)
        return T {};
    *p = start;
    return fail(EVAL_VARIABLENOTFOUND);
}

// The brackets of a call do not count as groups; the nesting of calls has a bound of its own.
template <class T> T EVALUATOR<T>::call(char** p, int row, char* start)
{
    skipspaces(p);
    if (**p != '(')
        return fail(EVAL_OPENEXPECTED);
    if (calls >= CALLDEPTHMAX)
        return fail(EVAL_TOOMANYBRACKETS);
    ++*p;
    ++calls;
    T args[EVALFUNCMAXARGS] {};
    const int argc = evalfuncs[row].argc;
    for (int n = 0;;) {
        args[n++] = sum(p);
        if (error)
            return T {};
        if (n == argc)
            break;
        if (**p != ',')
            return fail(EVAL_ARGUMENTEXPECTED);
        ++*p;
    }
    if (**p != ')')
        return fail(EVAL_CLOSEEXPECTED);
    ++*p;
    --calls;
    EVALCOMPUTATION<T> compute = evalcomputation<T>(row);
    if (!compute) {
        *p = start;
        return fail(EVAL_UNIMPLEMENTED);
    }
    return compute(args);
}

template <class T> T EVALUATOR<T>::literal(char** p)
{
    T value;
    if (!EVALNUMBER<T>::literal(p, &value))
        fail(EVAL_NUMBEREXPECTED);
    return value;
}

template class EVALUATOR<double>;
template class EVALUATOR<std::complex<double>>;

namespace {

thread_local EVALUATOR<double> shared;

} // namespace

double evaluate(char** text, const DIDX& vars)
{
    return shared.evaluate(text, vars, 0, 0);
}

int eval_err()
{
    return shared.error;
}
