#include "engines/contract/instance.h"
#include "engines/contract/models.h"
#include "engines/pallex/engine.h"
#include "engines/pallex/options.h"
#include "engines/pallex/resolve.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace pallex {

namespace {

constexpr int64_t DEFAULTDELAY = 10000;  // 10 ns

double number(IINSTANCE* instance, const char* name, double def)
{
    return instance ? instance->getnumval(name, def) : def;
}

int64_t picoseconds(double seconds)
{
    if (!(seconds > 0))
        return 0;
    return seconds >= 9.2e6 ? INT64_MAX / 4 : std::llround(seconds * 1e12);
}

Level invert(Level level)
{
    return level == UNKNOWN ? UNKNOWN : static_cast<Level>(level ^ 1);
}

// Hexadecimal words separated by blanks or commas; reading stops at anything else.
std::vector<uint32_t> words(const char* text)
{
    std::vector<uint32_t> result;
    for (const char* cursor = text ? text : ""; *cursor;) {
        if (*cursor == ' ' || *cursor == ',' || *cursor == '\t') {
            ++cursor;
            continue;
        }
        char* end = nullptr;
        unsigned long word = std::strtoul(cursor, &end, 16);
        if (end == cursor)
            break;
        result.push_back(static_cast<uint32_t>(word));
        cursor = end;
    }
    return result;
}

// The starting state of a flip-flop, latch or counter: INIT, else drawn from INITSEED.
uint64_t initial(IINSTANCE* instance)
{
    if (instance && instance->getstrval("INIT", nullptr))
        return static_cast<uint32_t>(initvalof(instance, "INIT", 0));
    return randominit(instance, "INIT");
}

}  // namespace

void Engine::readproperties(PXobject* part, Component& component)
{
    IINSTANCE* instance = part->instance;
    switch (part->kind) {
    case Kind::CLOCK: {
        double period = number(instance, "PERIOD", 1e-6);
        double frequency = number(instance, "FREQ", 0);
        if (frequency > 0)
            period = 1 / frequency;
        double duty = std::clamp(number(instance, "DUTY", 0.5), 0.0, 1.0);
        int64_t whole = picoseconds(period);
        component.rise = std::llround(static_cast<double>(whole) * duty);
        component.fall = whole - component.rise;
        component.off = picoseconds(number(instance, "TDELAY", 0));
        return;
    }
    case Kind::PATTERN:
        part->words = words(instance ? instance->getstrval("DATA", nullptr) : nullptr);
        component.aux = picoseconds(number(instance, "STEP", 1e-6));
        component.off = picoseconds(number(instance, "TDELAY", 0));
        component.flags = instance && instance->getboolval("REPEAT", 0) ? REPEAT : 0;
        return;
    case Kind::PULLUP:
    case Kind::PULLDOWN:
    case Kind::SWITCH:
    case Kind::DPROBE:
    case Kind::DUMMY:
    case Kind::MODEL:
        return;
    default:
        break;
    }
    int64_t td = delayof(instance, "TD", DEFAULTDELAY, true);
    component.rise = delayof(instance, "TDLH", td, false);
    component.fall = delayof(instance, "TDHL", td, false);
    component.off = delayof(instance, "TDZ", std::min(component.rise, component.fall), false);
}

// Sets an output's starting state; only at set-up.
void Engine::drive(uint32_t output, STATE state)
{
    if (output != NONE)
        drivers[output].applied = state;
}

void Engine::start(PXobject* part, Component& component)
{
    IINSTANCE* instance = part->instance;
    const uint32_t* outputs = componentoutputs.data() + component.firstoutput;
    component.flags &= REPEAT;
    switch (part->kind) {
    case Kind::BUFFER:
    case Kind::INVERTER:
    case Kind::AND:
    case Kind::NAND:
    case Kind::OR:
    case Kind::NOR:
    case Kind::XOR:
    case Kind::XNOR:
    case Kind::TRIBUF:
    case Kind::TRIINV: {
        bool given = instance && instance->getstrval("INIT", nullptr);
        drive(outputs[0], given ? strong(initvalof(instance, "INIT", 0) & 1 ? HIGH : LOW) : STATE_SUD);
        return;
    }
    case Kind::DFF:
    case Kind::JKFF:
    case Kind::DLATCH:
    case Kind::SRLATCH: {
        Level q = (initial(instance) & 1) ? HIGH : LOW;
        component.word = q;
        drive(outputs[0], strong(q));
        drive(outputs[1], strong(invert(q)));
        return;
    }
    case Kind::COUNTER: {
        uint32_t width = component.outputs > 0 ? component.outputs - 1 : 0;
        uint64_t mask = (uint64_t { 1 } << width) - 1;
        component.word = initial(instance) & mask;
        component.aux = -1;
        drive(outputs[0], STATE_SUD);
        for (uint32_t bit = 0; bit < width; ++bit)
            drive(outputs[1 + bit], strong((component.word >> bit) & 1 ? HIGH : LOW));
        return;
    }
    case Kind::SHIFTREG: {
        uint64_t mask = (uint64_t { 1 } << component.outputs) - 1;
        component.word = initial(instance) & mask;
        component.aux = 0;
        for (uint32_t bit = 0; bit < component.outputs; ++bit)
            drive(outputs[bit], strong((component.word >> bit) & 1 ? HIGH : LOW));
        return;
    }
    case Kind::MUX:
    case Kind::DECODER:
        for (uint32_t at = 0; at < component.outputs; ++at)
            drive(outputs[at], STATE_SUD);
        return;
    case Kind::CLOCK:
        component.word = LOW;
        drive(outputs[0], STATE_SLO);
        if (component.rise > 0 && component.fall > 0)
            timer(component.part, component.off + component.fall);
        else if (component.rise > 0)
            drive(outputs[0], STATE_SHI);
        return;
    case Kind::PATTERN: {
        component.word = 0;
        uint32_t word = part->words.empty() ? 0 : part->words[0];
        for (uint32_t bit = 0; bit < component.outputs; ++bit)
            drive(outputs[bit], (word >> bit) & 1 ? STATE_IHI : STATE_ILO);
        bool more = part->words.size() > 1;
        if (more && component.aux > 0)
            timer(component.part, component.off + component.aux);
        return;
    }
    case Kind::PULLUP:
    case Kind::PULLDOWN:
        for (uint32_t at = 0; at < component.outputs; ++at)
            drive(outputs[at], part->kind == Kind::PULLUP ? STATE_WHI : STATE_WLO);
        return;
    default:
        return;
    }
}

void Engine::schedulewithdelay(const Component& component, uint32_t slot, STATE state)
{
    uint32_t driver = componentoutputs[component.firstoutput + slot];
    if (driver == NONE)
        return;
    int64_t delay = 0;
    if (!settling) {
        if (strengthof(state) == 0)
            delay = component.off;
        else if (levelof(state) == HIGH)
            delay = component.rise;
        else if (levelof(state) == LOW)
            delay = component.fall;
        else
            delay = std::min(component.rise, component.fall);
    }
    schedule(driver, state, now + delay);
}

void Engine::evaluate(uint32_t index)
{
    Component& component = components[index];
    switch (component.kind) {
    case Kind::BUFFER:
    case Kind::INVERTER:
    case Kind::AND:
    case Kind::NAND:
    case Kind::OR:
    case Kind::NOR:
    case Kind::XOR:
    case Kind::XNOR:
        return evaluategate(component);
    case Kind::TRIBUF:
    case Kind::TRIINV:
        return evaluatetristate(component);
    case Kind::DFF:
    case Kind::JKFF:
    case Kind::SRLATCH:
        return evaluateflipflop(component);
    case Kind::DLATCH:
        return evaluatelatch(component);
    case Kind::COUNTER:
        return evaluatecounter(component);
    case Kind::SHIFTREG:
        return evaluateshifter(component);
    case Kind::MUX:
        return evaluatemux(component);
    case Kind::DECODER:
        return evaluatedecoder(component);
    case Kind::SWITCH:
        return evaluateswitch(component);
    case Kind::DPROBE:
        return sample(parts[component.part].get());
    case Kind::MODEL: {
        IPALLEXMODEL* model = parts[component.part]->model;
        if (model)
            model->simulate(now, SIM_EVALUATE);
        return;
    }
    default:
        return;
    }
}

void Engine::evaluategate(Component& component)
{
    const uint32_t* inputs = componentinputs.data() + component.firstinput;
    Level result = UNKNOWN;
    switch (component.kind) {
    case Kind::BUFFER:
    case Kind::INVERTER:
        result = component.inputs ? input(component, 0, UNKNOWN) : UNKNOWN;
        break;
    case Kind::AND:
    case Kind::NAND:
    case Kind::OR:
    case Kind::NOR: {
        // The controlling level decides alone; otherwise an unknown input leaves the result unknown.
        bool andgate = component.kind == Kind::AND || component.kind == Kind::NAND;
        Level controlling = andgate ? LOW : HIGH;
        result = component.inputs ? invert(controlling) : UNKNOWN;
        for (uint32_t at = 0; at < component.inputs; ++at) {
            Level level = levelof(nets[inputs[at]].state);
            if (level == controlling) {
                result = controlling;
                break;
            }
            if (level == UNKNOWN)
                result = UNKNOWN;
        }
        break;
    }
    default: {
        uint32_t parity = 0;
        result = component.inputs ? LOW : UNKNOWN;
        for (uint32_t at = 0; at < component.inputs && result != UNKNOWN; ++at) {
            Level level = levelof(nets[inputs[at]].state);
            if (level == UNKNOWN)
                result = UNKNOWN;
            parity ^= level;
        }
        if (result != UNKNOWN)
            result = static_cast<Level>(parity & 1);
        break;
    }
    }
    bool inverting = component.kind == Kind::INVERTER || component.kind == Kind::NAND || component.kind == Kind::NOR
        || component.kind == Kind::XNOR;
    schedulewithdelay(component, 0, strong(inverting ? invert(result) : result));
}

void Engine::evaluatetristate(Component& component)
{
    Level data = input(component, 0, UNKNOWN);
    Level enable = input(component, 1, UNKNOWN);
    if (component.kind == Kind::TRIINV)
        data = invert(data);
    STATE state = enable == HIGH ? strong(data) : enable == LOW ? STATE_NONE : STATE_SUD;
    schedulewithdelay(component, 0, state);
}

void Engine::setlevel(Component& component, Level q)
{
    component.word = q;
    schedulewithdelay(component, 0, strong(q));
    schedulewithdelay(component, 1, strong(invert(q)));
}

ClockEdge Engine::clockedge(Component& component, Level clock)
{
    uint8_t last = component.lastclock;
    if (clock == UNKNOWN) {
        if (last == NOCLOCK)
            component.lastclock = UNKNOWN;
        return ClockEdge::NONE;
    }
    component.lastclock = clock;
    if (clock == LOW)
        return ClockEdge::NONE;
    return last == LOW ? ClockEdge::RISING : last == UNKNOWN ? ClockEdge::MAYBE : ClockEdge::NONE;
}

// Edge-triggered flip-flops and the SR latch: set and reset act at once, high, and win over the clock.
void Engine::evaluateflipflop(Component& component)
{
    Level q = static_cast<Level>(component.word);
    uint32_t setslot = component.kind == Kind::DFF ? 2 : component.kind == Kind::JKFF ? 3 : 0;
    Level set = input(component, setslot, LOW);
    Level reset = input(component, setslot + 1, LOW);
    if (component.kind == Kind::SRLATCH) {
        if (set == LOW && reset == LOW)
            return;
        return setlevel(component, set == HIGH && reset == LOW ? HIGH : set == LOW && reset == HIGH ? LOW : UNKNOWN);
    }
    uint32_t clockslot = component.kind == Kind::DFF ? 1 : 2;
    Level clock = input(component, clockslot, LOW);
    ClockEdge edge = clockedge(component, clock);
    if (set != LOW || reset != LOW)
        return setlevel(component, set == HIGH && reset == LOW ? HIGH : set == LOW && reset == HIGH ? LOW : UNKNOWN);
    if (edge == ClockEdge::NONE)
        return;
    bool rising = edge == ClockEdge::RISING;
    Level next;
    if (component.kind == Kind::DFF) {
        next = input(component, 0, UNKNOWN);
    } else {
        Level j = input(component, 0, UNKNOWN);
        Level k = input(component, 1, UNKNOWN);
        if (j == UNKNOWN || k == UNKNOWN)
            next = UNKNOWN;
        else if (j == HIGH && k == HIGH)
            next = invert(q);
        else
            next = j == HIGH ? HIGH : k == HIGH ? LOW : q;
    }
    // An edge that may or may not have happened keeps only what both outcomes agree on.
    setlevel(component, rising || next == q ? next : UNKNOWN);
}

void Engine::evaluatelatch(Component& component)
{
    Level q = static_cast<Level>(component.word);
    Level set = input(component, 2, LOW);
    Level reset = input(component, 3, LOW);
    if (set != LOW || reset != LOW)
        return setlevel(component, set == HIGH && reset == LOW ? HIGH : set == LOW && reset == HIGH ? LOW : UNKNOWN);
    Level enable = input(component, 1, LOW);
    if (enable == LOW)
        return;
    Level data = input(component, 0, UNKNOWN);
    setlevel(component, enable == HIGH || data == q ? data : UNKNOWN);
}

void Engine::evaluatecounter(Component& component)
{
    Level clock = input(component, 0, LOW);
    Level enable = input(component, 1, HIGH);
    Level reset = input(component, 2, LOW);
    ClockEdge edge = clockedge(component, clock);
    uint32_t width = component.outputs > 0 ? component.outputs - 1 : 0;
    uint64_t mask = (uint64_t { 1 } << width) - 1;
    if (reset == HIGH) {
        component.word = 0;
        component.flags &= ~UNDEFINED;
    } else if (reset == UNKNOWN) {
        component.flags |= UNDEFINED;
    } else if (edge == ClockEdge::RISING && enable != LOW) {
        component.word = (component.word + 1) & mask;
        if (enable == UNKNOWN)
            component.flags |= UNDEFINED;
    } else if (edge == ClockEdge::MAYBE && enable != LOW) {
        component.flags |= UNDEFINED;
    }
    bool undefined = component.flags & UNDEFINED;
    // Most evaluations (the falling clock edge) leave every output as it was.
    int64_t outputs = static_cast<int64_t>(component.word | uint64_t { undefined } << 33 | uint64_t { enable } << 34);
    if (outputs == component.aux)
        return;
    component.aux = outputs;
    for (uint32_t bit = 0; bit < width; ++bit) {
        Level level = undefined ? UNKNOWN : static_cast<Level>((component.word >> bit) & 1);
        schedulewithdelay(component, 1 + bit, strong(level));
    }
    Level carry = LOW;
    if (undefined)
        carry = UNKNOWN;
    else if (component.word == mask && width > 0)
        carry = enable;
    schedulewithdelay(component, 0, strong(carry));
}

// A shift register keeps its bits in `word` and the bits it cannot know in `aux`.
void Engine::evaluateshifter(Component& component)
{
    Level clock = input(component, 1, LOW);
    Level enable = input(component, 2, HIGH);
    Level reset = input(component, 3, LOW);
    ClockEdge edge = clockedge(component, clock);
    uint64_t mask = (uint64_t { 1 } << component.outputs) - 1;
    uint64_t word = component.word;
    uint64_t unknown = static_cast<uint64_t>(component.aux);
    bool rising = edge == ClockEdge::RISING;
    if (reset == HIGH) {
        word = unknown = 0;
    } else if (reset == UNKNOWN) {
        unknown |= word;
    } else if (edge != ClockEdge::NONE && enable != LOW) {
        Level data = input(component, 0, UNKNOWN);
        uint64_t shifted = ((word << 1) | (data == HIGH)) & mask;
        uint64_t shiftedunknown = ((unknown << 1) | (data == UNKNOWN)) & mask;
        // A shift that may or may not have happened keeps only the bits both outcomes agree on.
        if (rising && enable == HIGH)
            unknown = shiftedunknown;
        else
            unknown |= shiftedunknown | (word ^ shifted);
        word = shifted;
    }
    word &= ~unknown;
    if (word == component.word && static_cast<int64_t>(unknown) == component.aux)
        return;
    component.word = word;
    component.aux = static_cast<int64_t>(unknown);
    for (uint32_t bit = 0; bit < component.outputs; ++bit) {
        Level level = (unknown >> bit) & 1 ? UNKNOWN : static_cast<Level>((word >> bit) & 1);
        schedulewithdelay(component, bit, strong(level));
    }
}

// The select word of the select inputs from slot `first` on: known bits in *select, undefined ones
// in *unknown; unconnected bits read low.
void Engine::selectof(const Component& component, uint32_t first, uint32_t* select, uint32_t* unknown) const
{
    *select = *unknown = 0;
    for (uint32_t bit = 0; bit < MAXSELECT; ++bit) {
        Level level = input(component, first + bit, LOW);
        if (level == HIGH)
            *select |= 1u << bit;
        else if (level == UNKNOWN)
            *unknown |= 1u << bit;
    }
}

void Engine::evaluatemux(Component& component)
{
    constexpr uint32_t DATA = 1;
    uint32_t select;
    uint32_t unknown;
    selectof(component, DATA + MAXWIDTH, &select, &unknown);
    // With undefined select bits the output is known only when every input they may pick agrees.
    Level result = input(component, DATA + select, UNKNOWN);
    for (uint32_t also = unknown; also && result != UNKNOWN; also = (also - 1) & unknown) {
        if (input(component, DATA + (select | also), UNKNOWN) != result)
            result = UNKNOWN;
    }
    Level enable = input(component, 0, HIGH);
    if (enable == LOW)
        result = LOW;
    else if (enable == UNKNOWN && result != LOW)
        result = UNKNOWN;
    schedulewithdelay(component, 0, strong(result));
    schedulewithdelay(component, 1, strong(invert(result)));
}

void Engine::evaluatedecoder(Component& component)
{
    uint32_t select;
    uint32_t unknown;
    selectof(component, 1, &select, &unknown);
    Level enable = input(component, 0, HIGH);
    Level chosen = enable == HIGH && unknown == 0 ? HIGH : UNKNOWN;
    for (uint32_t output = 0; output < component.outputs; ++output) {
        bool candidate = enable != LOW && (output & ~unknown) == select;
        schedulewithdelay(component, output, strong(candidate ? chosen : LOW));
    }
}

void Engine::evaluateclock(Component& component, uint32_t index)
{
    component.word ^= 1;
    bool high = component.word == HIGH;
    apply(componentoutputs[component.firstoutput], high ? STATE_SHI : STATE_SLO);
    timer(index, now + (high ? component.rise : component.fall));
}

void Engine::evaluatepattern(Component& component, uint32_t index)
{
    const std::vector<uint32_t>& list = parts[component.part]->words;
    component.word = component.word + 1 < list.size() ? component.word + 1 : 0;
    uint32_t word = list[component.word];
    for (uint32_t bit = 0; bit < component.outputs; ++bit) {
        uint32_t driver = componentoutputs[component.firstoutput + bit];
        if (driver != NONE)
            apply(driver, (word >> bit) & 1 ? STATE_IHI : STATE_ILO);
    }
    if (component.word + 1 < list.size() || (component.flags & REPEAT))
        timer(index, now + component.aux);
}

STATE Engine::exclude(uint32_t index, uint32_t own)
{
    if (index == NONE)
        return STATE_NONE;
    Resolver resolver;
    const Net& record = nets[index];
    for (uint32_t at = 0; at < record.drivers; ++at) {
        uint32_t driver = netdrivers[record.firstdriver + at];
        if (driver != own)
            resolver.add(drivers[driver].applied);
    }
    STATE state = resolver.result();
    return strengthof(state) ? state & ~STATE_CONTENTION : STATE_NONE;
}

// A closed switch drives each side with what the other side's own drivers give, without delay.
void Engine::evaluateswitch(Component& component)
{
    bool closed = componentinputs[component.firstinput + 2] == NONE ? (component.flags & CLOSED) != 0
                                                                     : input(component, 2, LOW) == HIGH;
    uint32_t sidea = componentoutputs[component.firstoutput];
    uint32_t sideb = componentoutputs[component.firstoutput + 1];
    if (sidea == NONE || sideb == NONE)
        return;
    STATE toa = closed ? exclude(componentinputs[component.firstinput + 1], sideb) : STATE_NONE;
    STATE tob = closed ? exclude(componentinputs[component.firstinput], sidea) : STATE_NONE;
    schedule(sidea, toa, now);
    schedule(sideb, tob, now);
}

}  // namespace pallex
