#include "core/text/alnum.h"

#include "core/text/ascii.h"

#include <cstddef>
#include <cstring>

namespace {

int sign(int v)
{
    return (v > 0) - (v < 0);
}

int bytecompare(const char* a, const char* b)
{
    return sign(std::strcmp(a, b));
}

// Length of the common prefix; stops at a's end when a is a prefix of b.
size_t exactprefix(const char* a, const char* b)
{
    size_t p = 0;
    while (a[p] != '\0' && a[p] == b[p])
        ++p;
    return p;
}

size_t foldedprefix(const char* a, const char* b)
{
    size_t p = 0;
    while (a[p] != '\0' && asciiupper(a[p]) == asciiupper(b[p]))
        ++p;
    return p;
}

// Moves p back to the start of the run of characters that `member` accepts and a and b share.
template <class Member>
size_t backoff(const char* a, size_t p, Member member)
{
    while (p > 0 && member(a[p - 1]))
        --p;
    return p;
}

// Orders two runs of decimal digits by value, exactly for any length.
int comparedigitruns(const char* a, const char* b)
{
    while (*a == '0')
        ++a;
    while (*b == '0')
        ++b;
    size_t lengthA = 0;
    while (asciidigit(a[lengthA]))
        ++lengthA;
    size_t lengthB = 0;
    while (asciidigit(b[lengthB]))
        ++lengthB;
    if (lengthA != lengthB)
        return lengthA < lengthB ? -1 : 1;
    return sign(std::memcmp(a, b, lengthA));
}

// Where the comparison is judged: the first difference, moved back to the start of the digit run
// that the strings share there ("R12" against "R105" is judged at "12" against "105").
template <class Prefix>
size_t numericpoint(const char* a, const char* b, Prefix prefix)
{
    return backoff(a, prefix(a, b), asciidigit);
}

bool numberchar(char c)
{
    return asciidigit(c) || c == '.' || c == ',';
}

// A decimal number as alnumvalcmp reads it: integer digits, then after the first '.' or ',' the
// fraction, whose digits count whatever further marks stand between them.
struct DecimalNumber {
    const char* integer;
    size_t integerLength;
    const char* fraction;  // the text behind the first mark; marks in it are skipped
    const char* end;
};

DecimalNumber readdecimal(const char* s)
{
    DecimalNumber n { s, 0, s, s };
    while (asciidigit(n.integer[n.integerLength]))
        ++n.integerLength;
    n.end = s + n.integerLength;
    n.fraction = n.end;
    if (*n.end != '.' && *n.end != ',')
        return n;
    n.fraction = ++n.end;
    while (numberchar(*n.end))
        ++n.end;
    return n;
}

// The next fraction digit at or after s before end, or '0' past the last one.
char nextfractiondigit(const char*& s, const char* end)
{
    while (s < end && !asciidigit(*s))
        ++s;
    return s < end ? *s++ : '0';
}

int comparedecimals(const DecimalNumber& a, const DecimalNumber& b)
{
    int c = comparedigitruns(a.integer, b.integer);
    if (c != 0)
        return c;
    const char* fa = a.fraction;
    const char* fb = b.fraction;
    while (fa < a.end || fb < b.end) {
        char da = nextfractiondigit(fa, a.end);
        char db = nextfractiondigit(fb, b.end);
        if (da != db)
            return da < db ? -1 : 1;
    }
    return 0;
}

// From the first difference a '.' sorts before every character but after the end; 0 when neither
// or both stand on a '.'.
int dotorder(char a, char b)
{
    if ((a == '.') == (b == '.'))
        return 0;
    if (a == '.')
        return b == '\0' ? 1 : -1;
    return a == '\0' ? -1 : 1;
}

}  // namespace

extern "C" {

int alnumcmp(const char* a, const char* b)
{
    size_t p = numericpoint(a, b, exactprefix);
    if (asciidigit(a[p]) && asciidigit(b[p])) {
        int c = comparedigitruns(a + p, b + p);
        if (c != 0)
            return c;
    }
    return bytecompare(a + p, b + p);
}

int alnumicmp(const char* a, const char* b)
{
    size_t p = numericpoint(a, b, foldedprefix);
    if (asciidigit(a[p]) && asciidigit(b[p])) {
        int c = comparedigitruns(a + p, b + p);
        if (c != 0)
            return c;
    }
    return asciicasecmp(a + p, b + p);
}

int alnumvalcmp(const char* a, const char* b)
{
    for (;;) {
        size_t p = backoff(a, exactprefix(a, b), numberchar);
        if (!numberchar(a[p]) || !numberchar(b[p]))
            return bytecompare(a + p, b + p);
        DecimalNumber na = readdecimal(a + p);
        DecimalNumber nb = readdecimal(b + p);
        int c = comparedecimals(na, nb);
        if (c != 0)
            return c;
        a = na.end;
        b = nb.end;
    }
}

int fnamecmp(const char* a, const char* b)
{
    size_t p = exactprefix(a, b);
    if (int c = dotorder(a[p], b[p]))
        return c;
    return alnumcmp(a + p, b + p);
}

int fnameicmp(const char* a, const char* b)
{
    size_t p = foldedprefix(a, b);
    if (int c = dotorder(a[p], b[p]))
        return c;
    return alnumicmp(a + p, b + p);
}
}
