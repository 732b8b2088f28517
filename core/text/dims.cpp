#include "core/text/dims.h"

#include <cmath>
#include <cstring>

#include "core/text/ascii.h"
#include "core/text/scan.h"
#include "core/text/strutil.h"
#include "core/text/values.h"

namespace {

// Steps of 10 nm in one unit, in the order of the keyword table.
const char* const unitWords[] = { "m", "cm", "mm", "um", "nm", "yd", "ft", "in", "th", "mil", nullptr };
constexpr double unitSteps[]
    = { 100000000, 1000000, 100000, 100, 0.1, 91440000, 30480000, 2540000, 2540, 2540 };
constexpr double footSteps = 30480000;
constexpr double inchSteps = 2540000;
constexpr int maxUnitWord = 51;

bool issign(char c)
{
    return c == '+' || c == '-';
}

bool inidentifier(char c)
{
    return c == '_' || asciidigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// After blanks, reads a unit word into steps. Returns 1 when found, 0 when no word follows (the
// cursor then stands after the blanks), -1 for a word that is not a unit (consumed).
int readunit(char** p, double& steps)
{
    char word[maxUnitWord + 1];
    if (!getnztok(p, word, maxUnitWord))
        return 0;
    if (inidentifier(**p)) {
        while (inidentifier(**p))
            ++*p;
        return -1;
    }
    int index = keywordp(word, unitWords);
    if (index < 0)
        return -1;
    steps = unitSteps[index];
    return 1;
}

// Value of a component of a colour: decimal, or hexadecimal after 0x directly at s.
int readcomponent(char*& s, uint32_t& component)
{
    int32_t value = 0;
    int read;
    if (s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        s += 2;
        read = gethex(&s, &value);
    } else {
        read = getint(&s, &value);
    }
    component = static_cast<uint32_t>(value);
    return read;
}

int hexdigit(char c)
{
    if (asciidigit(c))
        return c - '0';
    unsigned char upper = asciiupper(c);
    return upper >= 'A' && upper <= 'F' ? upper - 'A' + 10 : -1;
}

} // namespace

int getdim(char** p, int* v, int unit, int div)
{
    enum State { start, mantissa, feet, inchfraction, exponent, done };
    State state = start;
    REALFIELDS n;
    n.multiplier = unit;
    // Inches after a feet mark count apart from the feet, as a fraction of a foot at the end.
    double inches = 0;
    double inchscale = 1;
    skipspaces(p);
    char*& s = *p;
    for (bool reading = true; reading;) {
        char c = *s;
        switch (state) {
        case start:
            if (issign(c)) {
                n.sign = c == '-' ? -1 : 1;
                ++s;
            } else if (c == '.') {
                ++s;
                state = mantissa;
            } else if (asciidigit(c)) {
                for (; asciidigit(*s); ++s)
                    n.intdigit(*s);
                state = mantissa;
            } else {
                return 0;
            }
            continue;
        case mantissa:
            if (asciidigit(c)) {
                n.fracdigit(c);
                ++s;
            } else if (c == '.') {
                ++s;
            } else if (c == 'E' || c == 'e') {
                ++s;
                state = exponent;
            } else if (issign(c)) {
                reading = false;
            } else {
                break;
            }
            continue;
        case feet:
        case inchfraction:
            if (asciidigit(c)) {
                if (state == feet) {
                    inches = inches * 10 + (c - '0');
                } else {
                    inchscale *= 10;
                    inches += (c - '0') / inchscale;
                }
                ++s;
            } else if (c == '.') {
                ++s;
                state = inchfraction;
            } else if (issign(c)) {
                reading = false;
            } else {
                break;
            }
            continue;
        case exponent:
            if (issign(c)) {
                n.esign = c == '-' ? -1 : 1;
                ++s;
                continue;
            }
            if (!asciidigit(c))
                return 0;
            for (; asciidigit(*s); ++s)
                n.expdigit(*s);
            if (n.e >= 1000)
                return 0;
            state = done;
            continue;
        case done:
            if (c == '.') {
                ++s;
                state = mantissa;
            } else if (issign(c)) {
                reading = false;
            } else {
                break;
            }
            continue;
        }

        // A unit, a mark or the end of the number.
        reading = false;
        if (c == '\'') {
            ++s;
            n.multiplier = footSteps;
            if (state == mantissa) {
                state = feet;
                reading = true;
            }
        } else if (c == '"') {
            ++s;
            if (state != feet && state != inchfraction)
                n.multiplier = inchSteps;
        } else if (readunit(p, n.multiplier) < 0) {
            return 0;
        }
    }
    n.f += inches / 12;
    double r = std::round(n.value() / div);
    if (!(std::fabs(r) < 2147483647))
        return 0;
    *v = static_cast<int>(r);
    return 1;
}

int getdefdim(const char* s, int def, int unit, int div)
{
    if (!s)
        return def;
    char* cursor = const_cast<char*>(s);
    int v = def;
    return getdim(&cursor, &v, unit, div) ? v : def;
}

int getrgb(char** p, uint32_t* rgb)
{
    char* s = *p;
    if (!chkchr(&s, '('))
        return 0;
    uint32_t colour = 0;
    const char separators[] = { ',', ',', ')' };
    for (int i = 0; i < 3; ++i) {
        uint32_t component;
        if (!readcomponent(s, component) || !chkchr(&s, separators[i]))
            return 0;
        colour |= component << (8 * i);
    }
    *rgb = colour;
    *p = s;
    return 1;
}

uint32_t getdefrgb(const char* s, uint32_t def)
{
    if (!s)
        return def;
    char* cursor = const_cast<char*>(s);
    uint32_t rgb = def;
    return getrgb(&cursor, &rgb) ? rgb : def;
}

unsigned char* gethexblock(
    const char* hex, unsigned char* buf, unsigned int* len, const void* raw, unsigned int rawlen)
{
    unsigned int capacity = len ? *len : ~0u;
    unsigned int written = 0;
    if (len)
        *len = 0;
    if (!buf || (!hex && !raw))
        return nullptr;
    if (hex) {
        for (; written < capacity && hex[0] && hex[1]; hex += 2) {
            int high = hexdigit(hex[0]);
            int low = hexdigit(hex[1]);
            if (high < 0 || low < 0)
                break;
            buf[written++] = static_cast<unsigned char>(high << 4 | low);
        }
    } else {
        written = rawlen < capacity ? rawlen : capacity;
        std::memcpy(buf, raw, written);
    }
    if (len)
        *len = written;
    return buf;
}
