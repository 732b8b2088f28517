#include "core/text/format.h"

#include "core/text/ascii.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

std::atomic<int> dimunit { 0 };

namespace {

// The texts are at most 23 characters; every write is bounded by the callers' 24 bytes.
constexpr size_t textsize = 24;

thread_local char fmtvalbuffer[132];
thread_local char fmtdimbuffer[132];

struct PREFIX {
    double divisor;
    char letter;
};

constexpr PREFIX prefixes[] = {
    { 1e12, 'T' },
    { 1e9, 'G' },
    { 1e6, 'M' },
    { 1e3, 'k' },
    { 1, 0 },
    { 1e-3, 'm' },
    { 1e-6, 'u' },
    { 1e-9, 'n' },
    { 1e-12, 'p' },
    { 1e-15, 'f' },
};

// Display units in steps per unit.
constexpr int metre = 100000000;
constexpr int centimetre = 1000000;
constexpr int millimetre = 100000;
constexpr int micrometre = 100;
constexpr int nanometre = 1;
constexpr int yard = 91440000;
constexpr int foot = 30480000;
constexpr int inch = 2540000;
constexpr int thou = 2540;

const char* suffixof(int unit)
{
    switch (unit) {
    case metre:
        return "m";
    case centimetre:
        return "cm";
    case millimetre:
        return "mm";
    case micrometre:
        return "um";
    case nanometre:
        return "nm";
    case yard:
        return "yd";
    case foot:
        return "ft";
    case inch:
        return "in";
    case thou:
        return "th";
    default:
        return "";
    }
}

// Field width and precision of the mantissa m (1 <= m < 1000) for about digits significant digits.
void widthandprecision(double m, int digits, int& width, int& precision)
{
    bool large = m >= 99.99, middle = !large && m >= 9.999;
    if (digits >= 3) {
        width = large ? digits : digits + 1;
        precision = large ? digits - 3 : middle ? digits - 2 : digits - 1;
        return;
    }
    width = middle ? 2 : 3;
    precision = large || middle ? 0 : 1;
}

// The length rounds to a larger step in the imperial system than in the metric one.
bool isimperial(double length, int scale)
{
    double t = length + scale / 2;
    int imperialstep = 0;
    for (int d : { 2540000, 254000, 25400, 2540, 254 }) {
        if (d < scale)
            break;
        if (std::fmod(t, d) < scale) {
            imperialstep = d;
            break;
        }
    }
    int metricstep = 0;
    for (int m = 100000000; m >= 100 && m >= scale; m /= 10) {
        if (std::fmod(t, m) < scale) {
            metricstep = m;
            break;
        }
    }
    if (metricstep && (!imperialstep || imperialstep <= metricstep))
        return false;
    return imperialstep != 0;
}

int defaultunit(int scale)
{
    if (scale >= 2 && scale <= 99)
        return micrometre;
    if (scale >= 101 && scale <= 2539)
        return thou;
    if (scale >= 2541 && scale <= 99999)
        return millimetre;
    return scale;
}

int chooseunit(int value, int scale, int setting)
{
    double magnitude = std::fabs(static_cast<double>(value));
    if (setting == -1)
        return magnitude < 254000 ? thou : inch;
    if (setting == -2)
        return magnitude < 10000 ? micrometre : millimetre;
    if (setting)
        return setting;
    if (magnitude < 100)
        return defaultunit(scale);
    double length = magnitude * scale;
    if (isimperial(length, scale))
        return length < 254000 ? thou : inch;
    return length < 10000 ? micrometre : millimetre;
}

// The step, in internal units, to which a length shown in unit is rounded.
int resolution(int setting, int unit, double length, int scale)
{
    switch (setting) {
    case thou:
        return 254;
    case inch:
        return 2540;
    case -1:
        return length < 254000 ? 254 : unit / 1000;
    case micrometre:
    case millimetre:
    case centimetre:
        return 100;
    case metre:
        return 100000;
    case -2:
        return length < 100000 ? 100 : unit / 1000;
    default:
        return scale;
    }
}

} // namespace

char* fmtval(double value, int digits, int pointprefix, char* buf)
{
    if (!buf)
        buf = fmtvalbuffer;
    if (!std::isfinite(value)) {
        std::snprintf(buf, textsize, "%g", value);
        return buf;
    }
    if (digits > 15)
        digits = 15;
    double magnitude = std::fabs(value);
    size_t index = 0;
    constexpr size_t count = sizeof prefixes / sizeof prefixes[0];
    while (index < count && magnitude / prefixes[index].divisor < 0.999999999999999)
        ++index;
    if (index == count) {
        std::snprintf(buf, textsize, "0.00");
        return buf;
    }
    const PREFIX& prefix = prefixes[index];
    double m = magnitude / prefix.divisor;
    if (m >= 1000) {
        // Beyond the largest prefix every integer digit would be printed; an exponent form keeps
        // the text short and reads back with getval.
        std::snprintf(buf, textsize, "%.*e", digits >= 3 ? digits - 1 : 1, value);
        return buf;
    }
    int width, precision;
    widthandprecision(m, digits, width, precision);
    std::snprintf(buf, textsize, "%*.*f", width, precision, value / prefix.divisor);
    if (!prefix.letter)
        return buf;
    if (char* point = pointprefix ? std::strchr(buf, '.') : nullptr) {
        *point = prefix.letter;
        return buf;
    }
    size_t len = std::strlen(buf);
    if (len + 1 < textsize) {
        buf[len] = prefix.letter;
        buf[len + 1] = 0;
    }
    return buf;
}

char* fmtdim(int value, char* buf)
{
    return fmtdim(value, nullptr, 1, buf);
}

char* fmtdim(int value, int* unit, int scale, char* buf)
{
    if (!buf)
        buf = fmtdimbuffer;
    if (scale < 1)
        scale = 1;
    int setting = dimunit.load(std::memory_order_relaxed);
    int chosen = chooseunit(value, scale, setting);
    if (unit)
        *unit = chosen;
    if (!value) {
        std::snprintf(buf, textsize, "0");
        return buf;
    }
    double length = std::fabs(static_cast<double>(value)) * scale;
    int step = resolution(setting, chosen, length, scale);
    int decimals = 0;
    for (int perunit = step > 0 ? chosen / step : 0; perunit >= 10; perunit /= 10)
        ++decimals;
    double s = std::pow(10.0, decimals);
    double x = static_cast<double>(value) * scale * (chosen == nanometre ? 10 : 1);
    std::snprintf(buf, textsize, "%g%s", std::round(x / chosen * s) / s, suffixof(chosen));
    return buf;
}

int getdimunit(int value, int scale)
{
    return chooseunit(value, scale < 1 ? 1 : scale, dimunit.load(std::memory_order_relaxed));
}

void fmtrgb(char* buf, uint32_t colour, int hex)
{
    unsigned red = colour & 0xff, green = (colour >> 8) & 0xff, blue = (colour >> 16) & 0xff;
    std::snprintf(buf, 17, hex ? "(0x%02X,0x%02X,0x%02X)" : "(%u,%u,%u)", red, green, blue);
}

namespace {

bool isanyof(const char* keyword, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (asciicasecmp(keyword, name) == 0)
            return true;
    return false;
}

constexpr const char* statekeywords[] = { "PLO", "SLO", "WLO", "FLOAT", "WHI", "SHI", "PHI" };

} // namespace

DSTATES pallex_state(const char* keyword)
{
    if (!keyword)
        return DS_NONE;
    char first = keyword[0];
    if (isanyof(keyword, { "PLO", "ILO" }))
        return DS_PLO;
    if (first == 'L' || first == 'l' || first == '0' || isanyof(keyword, { "SLO" }))
        return DS_SLO;
    if (isanyof(keyword, { "WLO" }))
        return DS_WLO;
    if (isanyof(keyword, { "FLOAT" }))
        return DS_FLOAT;
    if (isanyof(keyword, { "WHI" }))
        return DS_WHI;
    if (first == 'H' || first == 'h' || first == '1' || isanyof(keyword, { "SHI" }))
        return DS_SHI;
    if (isanyof(keyword, { "PHI", "IHI" }))
        return DS_PHI;
    return DS_NONE;
}

const char* pallex_state(DSTATES level)
{
    if (level < DS_PLO || level > DS_PHI)
        return nullptr;
    return statekeywords[level];
}
