#include "simulator/models/digital/rtdstate.h"

#include "core/text/format.h"
#include "core/text/values.h"
#include "engines/pallex/pallex.h"
#include "simulator/models/builtin/instrument.h"

#include <cctype>
#include <cstdio>

namespace {

// The state every pin takes for a keyword; STATE_NONE for a text that names no drive.
STATE keywordstate(const char* text)
{
    switch (pallex_state(text)) {
    case DS_PLO:
        return STATE_PLO;
    case DS_SLO:
        return STATE_SLO;
    case DS_WLO:
        return STATE_WLO;
    case DS_WHI:
        return STATE_WHI;
    case DS_SHI:
        return STATE_SHI;
    case DS_PHI:
        return STATE_PHI;
    default:
        return STATE_NONE;
    }
}

} // namespace

RTDSTATE::RTDSTATE(const char* name, const SDF_MODEL* model, const PROPLIST* properties)
    : PALLEXCPT(name, "DUMMY", model, properties)
{
}

void RTDSTATE::initialise(CIRCUIT* owner, void* argument)
{
    PALLEXCPT::initialise(owner, argument);
    event = eventid(this, owner);
    userevent(event, 0.0, getdefint(getproperty("STATE"), -1));
}

void RTDSTATE::userevent(int32_t id, double time, int32_t data)
{
    if (id != event)
        return;
    char property[32];
    snprintf(property, sizeof property, "S(%d)", data);
    const char* text = data == -1 ? nullptr : getstrval(property, nullptr);
    bool pattern = data != -1 && (!text || isxdigit(static_cast<unsigned char>(text[0])));
    uint32_t bits = text ? static_cast<uint32_t>(getdefhex(text, 0)) : static_cast<uint32_t>(data);
    STATE every = data == -1 || pattern ? STATE_NONE : keywordstate(text);
    for (int32_t pin = 0; pin < pins.count; ++pin) {
        STATE state = every;
        if (pattern)
            state = pin < 32 && (bits >> pin & 1) ? STATE_IHI : STATE_ILO;
        pallex_pokepin(handle, pin, time, state);
    }
}
