#include "core/text/values.h"

#include "core/text/ascii.h"
#include "core/text/scan.h"

#include <cmath>
#include <limits>

namespace {

// Dropped digits beyond this cannot change a value that is already infinite.
constexpr int32_t droppedmax = 1000000;

char* skipblanks(char* s)
{
    while (asciispace(*s))
        ++s;
    return s;
}

uint32_t decimaldigits(char*& s)
{
    uint32_t value = 0;
    for (; asciidigit(*s); ++s)
        value = value * 10 + static_cast<uint32_t>(*s - '0');
    return value;
}

uint32_t binarydigits(char*& s)
{
    uint32_t value = 0;
    for (; *s == '0' || *s == '1'; ++s)
        value = value * 2 + static_cast<uint32_t>(*s - '0');
    return value;
}

uint32_t hexdigits(char*& s)
{
    uint32_t value = 0;
    for (; asciixdigit(*s); ++s)
        value = value * 16 + static_cast<uint32_t>(asciidigit(*s) ? *s - '0' : asciilower(*s) - 'a' + 10);
    return value;
}

int32_t as32(uint32_t value)
{
    return static_cast<int32_t>(value);
}

// A decimal number at s (after blanks) whose sign counts only directly before a digit; false with
// s after the blanks when no digit follows.
bool signeddecimal(char*& s, int32_t& v)
{
    s = skipblanks(s);
    bool negative = false;
    if ((*s == '-' || *s == '+') && asciidigit(s[1])) {
        negative = *s == '-';
        ++s;
    }
    if (!asciidigit(*s))
        return false;
    uint32_t value = decimaldigits(s);
    v = as32(negative ? 0u - value : value);
    return true;
}

bool radixint(char*& s, int32_t& v)
{
    char* t = s;
    uint32_t value;
    if ((t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) || t[0] == '$') {
        t = skipblanks(t + (t[0] == '$' ? 1 : 2));
        if (!asciixdigit(*t))
            return false;
        value = hexdigits(t);
    } else if ((t[0] == '0' && (t[1] == 'b' || t[1] == 'B')) || t[0] == '%') {
        t = skipblanks(t + (t[0] == '%' ? 1 : 2));
        if (*t != '0' && *t != '1')
            return false;
        value = binarydigits(t);
    } else {
        int32_t decimal;
        if (!signeddecimal(t, decimal))
            return false;
        value = static_cast<uint32_t>(decimal);
    }
    s = t;
    v = as32(value);
    return true;
}

double multiplierof(char c)
{
    switch (c) {
    case 'T':
        return 1e12;
    case 'G':
        return 1e9;
    case 'M':
        return 1e6;
    case 'K':
    case 'k':
        return 1e3;
    case 'm':
        return 1e-3;
    case 'U':
    case 'u':
        return 1e-6;
    case 'N':
    case 'n':
        return 1e-9;
    case 'P':
    case 'p':
        return 1e-12;
    case 'A':
    case 'a':
    case 'F':
    case 'f':
    case 'H':
    case 'h':
    case 'R':
    case 'r':
    case 'V':
    case 'v':
        return 1;
    default:
        return 0;
    }
}

bool issign(char c)
{
    return c == '+' || c == '-';
}

// Reads a real number at s (after blanks) with sep as the decimal separator; NaN after a syntax
// error, s then where reading stopped.
double readreal(char*& s, char sep)
{
    constexpr double syntaxerror = std::numeric_limits<double>::quiet_NaN();
    enum { start, mantissa, exponent, done } state = start;
    REALFIELDS n;
    auto isseparator = [sep](char c) { return c && c == sep; };
    s = skipblanks(s);
    for (;;) {
        char c = *s;
        if (state == start) {
            if (issign(c)) {
                n.sign = c == '-' ? -1 : 1;
                ++s;
            } else if (isseparator(c)) {
                ++s;
                state = mantissa;
            } else if (asciidigit(c)) {
                for (; asciidigit(*s); ++s)
                    n.intdigit(*s);
                state = mantissa;
            } else {
                return syntaxerror;
            }
            continue;
        }
        if (state == exponent) {
            if (issign(c)) {
                n.esign = c == '-' ? -1 : 1;
                ++s;
                continue;
            }
            if (!asciidigit(c))
                return syntaxerror;
            for (; asciidigit(*s); ++s)
                n.expdigit(*s);
            if (n.e >= 1000)
                return syntaxerror;
            state = done;
            continue;
        }
        if (state == mantissa && asciidigit(c)) {
            n.fracdigit(c);
            ++s;
            continue;
        }
        if (issign(c))
            break;
        if (isseparator(c)) {
            ++s;
            state = mantissa;
            continue;
        }
        if (state == mantissa && (c == 'E' || c == 'e')) {
            ++s;
            state = exponent;
            continue;
        }
        // A suffix or unit letter; a digit right after one goes on as the fraction (4k7).
        if (double multiplier = c ? multiplierof(c) : 0; multiplier != 0) {
            n.multiplier = multiplier;
            ++s;
        }
        if (state == done || !asciidigit(*s))
            break;
    }
    return n.value();
}

int realresult(double value, double* v)
{
    *v = value;
    return std::isfinite(value) ? 1 : 0;
}

} // namespace

void REALFIELDS::intdigit(char digit)
{
    if (m < 100000000) {
        m = m * 10 + static_cast<uint32_t>(digit - '0');
        return;
    }
    if (d < droppedmax)
        ++d;
}

void REALFIELDS::fracdigit(char digit)
{
    fscale *= 10;
    f += (digit - '0') / fscale;
}

void REALFIELDS::expdigit(char digit)
{
    if (e < 1000)
        e = e * 10 + (digit - '0');
}

double REALFIELDS::value() const
{
    return sign * (m * std::pow(10.0, d) + f) * multiplier * std::pow(10.0, esign * e);
}

int getint(char** p, int32_t* v)
{
    char* s = skipblanks(*p);
    *p = s;
    *v = 0;
    if (!asciidigit(*s))
        return 0;
    *v = as32(decimaldigits(s));
    *p = s;
    return 1;
}

int getsint(char** p, int32_t* v)
{
    char* s = *p;
    *v = 0;
    bool found = signeddecimal(s, *v);
    *p = s;
    return found ? 1 : 0;
}

int getbin(char** p, int32_t* v)
{
    char* s = skipblanks(*p);
    *p = s;
    *v = 0;
    if (*s != '0' && *s != '1')
        return 0;
    *v = as32(binarydigits(s));
    *p = s;
    return 1;
}

int gethex(char** p, int32_t* v)
{
    char* s = skipblanks(*p);
    *p = s;
    *v = 0;
    if (!asciixdigit(*s))
        return 0;
    *v = as32(hexdigits(s));
    *p = s;
    return 1;
}

int getradixint(char** p, int32_t* v)
{
    return radixint(*p, *v) ? 1 : 0;
}

int gethexrange(char** p, int32_t* lo, int32_t* hi)
{
    if (!p)
        return 0;
    int found = gethex(p, lo);
    char* afterfirst = *p;
    *p = skipblanks(*p);
    if (**p == '-') {
        ++*p;
    } else {
        *p = afterfirst;
        found = 0;
    }
    return gethex(p, hi) && found ? 1 : 0;
}

int getval(char** p, double* v)
{
    int result = realresult(readreal(*p, '.'), v);
    // The rest of a unit word (the z of 10Hz, the eg of 2Meg) goes with the number.
    if (!asciidigit(**p))
        while (asciialpha(**p))
            ++*p;
    return result;
}

int getval(char** p, double* v, char sep)
{
    return realresult(readreal(*p, sep), v);
}

int getbool(char** p, int* v)
{
    if (chktok(p, "TRUE") || chktok(p, "T") || chktok(p, "ON") || chktok(p, "YES") || chkchr(p, '1')) {
        *v = 1;
        return 1;
    }
    if (chktok(p, "FALSE") || chktok(p, "F") || chktok(p, "OFF") || chktok(p, "NO") || chkchr(p, '0')) {
        *v = 0;
        return 1;
    }
    return 0;
}

// The default forms read through a cursor over s; the readers never write to the text.
int getdefint(const char* s, int def)
{
    char* cursor = const_cast<char*>(s);
    int32_t value;
    return s && signeddecimal(cursor, value) ? value : def;
}

int32_t getdefhex(const char* s, int32_t def)
{
    char* cursor = const_cast<char*>(s);
    int32_t value;
    return s && gethex(&cursor, &value) ? value : def;
}

int getdefradixint(const char* s, int def)
{
    char* cursor = const_cast<char*>(s);
    int32_t value;
    return s && radixint(cursor, value) ? value : def;
}

double getdefdbl(const char* s, double def)
{
    if (!s)
        return def;
    char* cursor = const_cast<char*>(s);
    double value = readreal(cursor, '.');
    return std::isfinite(value) ? value : def;
}

int getdefbool(const char* s, int def)
{
    char* cursor = const_cast<char*>(s);
    int value;
    return s && getbool(&cursor, &value) ? value : def;
}
