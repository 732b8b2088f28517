#include "simulator/models/builtin/rtlogic.h"

#include "core/text/values.h"
#include "engines/contract/models.h"
#include "engines/pallex/circuit.h"

#include <cmath>
#include <cstdio>
#include <strings.h>

namespace {

constexpr uint32_t NOPATTERN = 0xFFFFFFFF;

} // namespace

void RTDPROBE::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    active = setidentity(event, this, owner);
    event.kind = getproperty("ELEMENT") ? ACTIVEEVENT::KIND_LOGICELEMENT : ACTIVEEVENT::KIND_LOGIC;
    event.words[0] = NOPATTERN;
    const char* mode = getproperty("MODE");
    continuous = mode && strcasecmp(mode, "CONTINUOUS") == 0;
}

void RTDPROBE::setrunmode(int32_t mode)
{
    run = mode;
    if (mode == RUNMODE_PAUSED)
        return;
    times.clear();
    states.clear();
}

uint32_t RTDPROBE::pattern() const
{
    uint32_t bits = 0;
    for (size_t i = 0; i < digital.size() && i < 32; ++i) {
        STATE state = digital[i] ? digital[i]->getstate() : 0;
        if ((state & 3) == 3)
            bits |= 1u << i;
        else if ((state & 3) != 1)
            return NOPATTERN;
    }
    return bits;
}

void RTDPROBE::simulate(int64_t time, uint32_t mode)
{
    if (!continuous || !(mode & (SIM_FIRST | SIM_EVALUATE)))
        return;
    if (!times.empty() && time <= times.back()) {
        if (time == times.back()) {
            size_t first = states.size() - digital.size();
            for (size_t i = 0; i < digital.size(); ++i)
                states[first + i] = digital[i] ? digital[i]->getstate() : 0;
        }
        return;
    }
    times.push_back(time);
    for (IPALLEXPIN2* pin : digital)
        states.push_back(pin ? pin->getstate() : 0);
}

int RTDPROBE::activeevents(double time, DPA* list)
{
    if (!active)
        return 0;
    if (!continuous) {
        reportstate(event, time, pattern(), list);
        return 1;
    }
    if (run == RUNMODE_PAUSED)
        return 1;
    simulate(static_cast<int64_t>(std::floor(time / 1e-12)), SIM_EVALUATE);
    reportbuffer(event, ACTIVEEVENT::KIND_LOGICBUFFER, times.size(), digital.size(), times.data(), states.data(), list);
    return 1;
}

void RTDBREAK::initialise(CIRCUIT* owner, void* argument)
{
    INTMODEL::initialise(owner, argument);
    char* text = const_cast<char*>(getvalue() ? getvalue() : "");
    int32_t value = 0;
    if (getradixint(&text, &value)) {
        trigger = static_cast<uint32_t>(value);
        if (pins.count < 32)
            trigger &= (1u << pins.count) - 1;
    } else {
        warning("syntax error in trigger value.");
        trigger = 0;
    }
    after = std::llround(getnumval("AFTER", 0) / 1e-12);
}

void RTDBREAK::bindpallex(IINSTANCE* instance, IPALLEXCKT* circuit)
{
    INTMODEL::bindpallex(instance, circuit);
    fired = false;
}

void RTDBREAK::simulate(int64_t time, uint32_t mode)
{
    if ((mode & SIM_FIRST) && after != 0 && pallexckt)
        pallexckt->setcallback(after, this, 0);
    if (!(mode & SIM_EVALUATE) || time < after)
        return;
    uint32_t input = 0;
    for (size_t i = 0; i < digital.size() && i < 32; ++i)
        if (digital[i] && digital[i]->ishigh())
            input |= 1u << i;
    if (input != trigger) {
        fired = false;
        return;
    }
    if (fired)
        return;
    char text[32];
    snprintf(text, sizeof text, "INPUT=%08X", input);
    message("Digital breakpoint triggered: %s", text);
    if (pallexckt)
        pallexckt->suspend(this, text);
    fired = true;
}

void RTDBREAK::callback(int64_t time, intptr_t)
{
    simulate(time, SIM_EVALUATE);
}
