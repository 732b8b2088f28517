#include "simulator/models/builtin/rtwatch.h"

#include "core/text/format.h"
#include "engines/nerith/circuit.h"
#include "simulator/kernel/circuit.h"

#include <cstdio>
#include <cstring>

namespace {

enum ACTION { STOP = 0, INFORM = 1, WARN = 2, REPORTERROR = 3 };

// Whether format's conversions fit (text, text, double, double) in order: each a plain
// conversion with flags, width and precision of its own (no '*', no length), %% aside.
bool fitscheckarguments(const char* format)
{
    int used = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        if (*++p == '%')
            continue;
        p += strspn(p, "-+ #0");
        p += strspn(p, "0123456789");
        if (*p == '.') {
            ++p;
            p += strspn(p, "0123456789");
        }
        bool text = *p == 's';
        bool real = *p && strchr("eEfFgG", *p);
        if (used >= 4 || (used < 2 ? !text : !real))
            return false;
        ++used;
    }
    return true;
}

} // namespace

std::string formatcheck(
    const char* format, const char* standard, const char* name, const char* value, double min, double max)
{
    const char* used = format && fitscheckarguments(format) ? format : standard;
    char text[1024];
    // The format's conversions were checked against these arguments above.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    snprintf(text, sizeof text, used, name, value, min, max);
#pragma GCC diagnostic pop
    return text;
}

RTWATCH::RTWATCH(bool currentwatch, bool rangecheck, const char* partname, PRIMITIVE* primitive,
    const SDF_MODEL* modelrecord, const PROPLIST* list)
    : INTMODEL(partname, primitive, modelrecord, list)
    , current(currentwatch)
    , check(rangecheck)
{
}

void RTWATCH::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    if (check) {
        min = getnumval("MIN", 0);
        max = getnumval("MAX", 1);
    } else {
        level = getnumval("VALUE", 0);
        after = getnumval("AFTER", 0);
    }
    ammeter.branch = 0;
}

void RTWATCH::bindspice(IINSTANCE* instance, ISPICECKT* circuit)
{
    INTMODEL::bindspice(instance, circuit);
    fired = false;
    if (current)
        ammeter.fetch(circuit, instance, nodes.size() > 0 ? nodes[0] : 0, nodes.size() > 1 ? nodes[1] : 0);
    if (check) {
        action = static_cast<int32_t>(gethexval("MODE", REPORTERROR));
        const char* text = getstrval("MSG", nullptr);
        messageformat = text ? text : "";
    }
}

void RTWATCH::loaddc(double, uint32_t, const double*, double*)
{
    if (current)
        ammeter.load();
}

void RTWATCH::acceptstep(double time, const double* solution)
{
    if (!solution)
        return;
    double quantity
        = current ? (ammeter.branch ? solution[ammeter.branch] : 0.0) : pinvoltage(*this, solution);
    if (check)
        watchrange(quantity);
    else
        watchlevel(time, quantity);
}

void RTWATCH::watchlevel(double time, double quantity)
{
    if (time < after) {
        // A point at AFTER, so that a level already passed fires at the watch's start.
        if (spiceckt)
            spiceckt->setbreak(after);
        return;
    }
    if (quantity < level) {
        fired = false;
        return;
    }
    if (fired)
        return;
    char text[64];
    snprintf(text, sizeof text, current ? "IT=%sA" : "VT=%sV", fmtval(quantity, 3, 0, nullptr));
    this->message(current ? "Current breakpoint triggered: %s" : "Voltage breakpoint triggered: %s", text);
    if (spiceckt)
        spiceckt->suspend(this, text);
    fired = true;
}

void RTWATCH::watchrange(double quantity)
{
    if (quantity >= min && quantity <= max) {
        fired = false;
        return;
    }
    if (fired)
        return;
    fired = true;
    const char* standard = current ? "'%s' (%sA) is outside specified range (%gA-%gA)"
                                   : "'%s' (%sV) is outside specified range (%gV-%gV)";
    const char* named = getvalue();
    std::string text = formatcheck(messageformat.empty() ? nullptr : messageformat.c_str(), standard,
        named ? named : "", fmtval(quantity, 3, 0, nullptr), min, max);
    switch (action) {
    case STOP:
        if (spiceckt)
            spiceckt->suspend(this, text.c_str());
        this->message("%s", text.c_str());
        break;
    case INFORM:
        this->message("%s", text.c_str());
        break;
    case WARN:
        warning("%s", text.c_str());
        break;
    case REPORTERROR:
        error("%s", text.c_str());
        break;
    default:
        break;
    }
}
