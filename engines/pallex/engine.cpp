#include "engines/pallex/engine.h"

#include "engines/contract/instance.h"
#include "engines/contract/models.h"
#include "engines/contract/simlog.h"
#include "engines/pallex/options.h"
#include "engines/pallex/resolve.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <strings.h>

namespace pallex {

namespace {

constexpr uint32_t DRIVER = 0u << 30;
constexpr uint32_t TIMER = 1u << 30;
constexpr uint32_t ASKED = 2u << 30;
constexpr uint32_t INDEX = (1u << 30) - 1;

// Steps at one time before the run is taken to oscillate without delay.
constexpr int MAXDELTAS = 100000;

std::unique_ptr<Engine>& current()
{
    static std::unique_ptr<Engine> made;
    return made;
}

}  // namespace

Engine* engine()
{
    return current().get();
}

void setengine(std::unique_ptr<Engine> made)
{
    current() = std::move(made);
}

ISIMLOG*& simlog()
{
    static ISIMLOG* log = nullptr;
    return log;
}

void logf(int cls, const char* format, ...)
{
    if (!simlog())
        return;
    va_list args;
    va_start(args, format);
    simlog()->log(cls, format, args);
    va_end(args);
}

void NetTable::grow(uint32_t count)
{
    while (chunks.size() << SHIFT < count) {
        chunks.push_back(std::make_unique<Net[]>(std::size_t { 1 } << SHIFT));
        std::fill_n(chunks.back().get(), std::size_t { 1 } << SHIFT, Net { STATE_FLT, 0, 0, 0, 0, 0, 0, 0 });
    }
}

STATE Pin::getstate()
{
    return engine->nets[engine->root(net)].state;
}

int Pin::ishigh()
{
    return (getstate() & STATE_LEVEL) == STATE_HIGH;
}

int Pin::setstate(int64_t time, STATE state)
{
    if (driver == NONE)
        return 0;
    engine->post(driver, state, time);
    return 1;
}

Engine::Engine(IOPTIONS* options)
    : circuit(options)
{
}

uint32_t Engine::findnet(const char* name) const
{
    auto it = name ? netindex.find(name) : netindex.end();
    return it == netindex.end() ? NONE : root(it->second);
}

uint32_t Engine::net(const char* name)
{
    auto [it, made] = netindex.try_emplace(name, static_cast<uint32_t>(netnames.size()));
    if (!made)
        return root(it->second);
    netnames.emplace_back(name);
    aliases.push_back(it->second);
    nets.grow(static_cast<uint32_t>(netnames.size()));
    compiled = false;
    return it->second;
}

uint32_t Engine::root(uint32_t index) const
{
    while (aliases[index] != index)
        index = aliases[index];
    return index;
}

STATE* Engine::netcell(uint32_t index)
{
    return &nets[index].state;
}

uint32_t Engine::newdriver(uint32_t netindex_, STATE state)
{
    drivers.push_back(Driver { state, NOPENDING, netindex_, 0, 0 });
    driverinitial.push_back(state);
    compiled = false;
    return static_cast<uint32_t>(drivers.size() - 1);
}

PXobject* Engine::create(IINSTANCE* instance, Kind kind, const char* type, IPALLEXMODEL* model)
{
    auto part = std::make_unique<PXobject>();
    part->id = static_cast<uint32_t>(parts.size());
    part->kind = kind;
    part->type = type;
    part->instance = instance;
    part->model = model;
    if (model)
        modelled.push_back(part.get());
    parts.push_back(std::move(part));
    compiled = false;
    return parts.back().get();
}

int Engine::connect(PXobject* part, const char* name, int32_t pintype, const char* netname, IPALLEXPIN2** out)
{
    PinRole role = roleof(part->kind, name, pintype);
    if (!role.known)
        return 0;
    int32_t freeinputs = 0;
    for (uint32_t index : part->pins) {
        const PinRole& other = pins[index].role;
        if (role.slot != NOROLE && other.slot == role.slot && other.input == role.input && other.output == role.output)
            return 0;
        freeinputs += other.input && other.slot == NOROLE;
    }
    if ((part->kind == Kind::BUFFER || part->kind == Kind::INVERTER) && role.input && freeinputs > 0)
        return 0;
    Pin& pin = pins.emplace_back();
    pin.engine = this;
    pin.name = name;
    pin.pintype = pintype;
    pin.part = part->id;
    pin.net = net(netname);
    pin.role = role;
    if (role.output)
        pin.driver = newdriver(pin.net, STATE_NONE);
    part->pins.push_back(static_cast<uint32_t>(pins.size() - 1));
    compiled = false;
    if (out)
        *out = &pin;
    return 1;
}

int Engine::connectpower(const char* text, const char* netname)
{
    STATE state = STATE_NONE;
    if (text[0] == '+' || strcasecmp(text, "VCC") == 0 || strcasecmp(text, "VDD") == 0)
        state = STATE_PHI;
    else if (text[0] == '-' || strcasecmp(text, "GND") == 0 || strcasecmp(text, "VSS") == 0)
        state = STATE_PLO;
    if (state == STATE_NONE)
        return 0;
    newdriver(net(netname), state);
    return 1;
}

int Engine::mergenets(const char* first, const char* second)
{
    uint32_t keep = net(first);
    uint32_t gone = net(second);
    if (keep != gone)
        aliases[gone] = keep;
    compiled = false;
    return 1;
}

Pin* Engine::pinof(PXobject* part, int32_t index)
{
    if (!part || index < 0 || static_cast<std::size_t>(index) >= part->pins.size())
        return nullptr;
    return &pins[part->pins[static_cast<std::size_t>(index)]];
}

void Engine::compile()
{
    uint32_t count = static_cast<uint32_t>(netnames.size());
    mirrors.assign(count, {});
    for (uint32_t index = 0; index < count; ++index) {
        Net& record = nets[index];
        record.dirty = record.mirrored = 0;
        record.drivers = record.readers = 0;
        if (root(index) != index)
            mirrors[root(index)].push_back(index);
    }
    for (uint32_t index = 0; index < count; ++index)
        nets[index].mirrored = !mirrors[index].empty();
    for (Driver& driver : drivers) {
        driver.net = root(driver.net);
        ++nets[driver.net].drivers;
    }
    for (Pin& pin : pins)
        pin.net = root(pin.net);

    // Readers: every part with an input pin on the net, once.
    std::vector<std::pair<uint32_t, uint32_t>> reads;
    for (const Pin& pin : pins) {
        if (pin.role.input)
            reads.emplace_back(pin.net, pin.part);
    }
    std::sort(reads.begin(), reads.end());
    reads.erase(std::unique(reads.begin(), reads.end()), reads.end());
    for (const auto& read : reads)
        ++nets[read.first].readers;
    modelnets.clear();
    for (const Pin& pin : pins) {
        if (parts[pin.part]->model)
            modelnets.push_back(pin.net);
    }
    std::sort(modelnets.begin(), modelnets.end());
    modelnets.erase(std::unique(modelnets.begin(), modelnets.end()), modelnets.end());

    uint32_t firstdriver = 0;
    uint32_t firstreader = 0;
    for (uint32_t index = 0; index < count; ++index) {
        Net& record = nets[index];
        record.firstdriver = firstdriver;
        record.firstreader = firstreader;
        firstdriver += record.drivers;
        firstreader += record.readers;
        record.drivers = record.readers = 0;
    }
    netdrivers.resize(firstdriver);
    netreaders.resize(firstreader);
    for (uint32_t index = 0; index < drivers.size(); ++index) {
        Net& record = nets[drivers[index].net];
        netdrivers[record.firstdriver + record.drivers++] = index;
    }
    for (const auto& read : reads) {
        Net& record = nets[read.first];
        netreaders[record.firstreader + record.readers++] = read.second;
    }

    components.assign(parts.size(), Component {});
    componentinputs.clear();
    componentoutputs.clear();
    for (const auto& part : parts) {
        Component& component = components[part->id];
        component.kind = part->kind;
        component.part = part->id;
        component.lastclock = NOCLOCK;
        std::vector<uint32_t> inputs(static_cast<std::size_t>(fixedinputs(part->kind)), NONE);
        std::vector<uint32_t> outputs(static_cast<std::size_t>(fixedoutputs(part->kind)), NONE);
        std::size_t used = outputs.size() - static_cast<std::size_t>(indexedoutputs(part->kind));
        for (uint32_t index : part->pins) {
            const Pin& pin = pins[index];
            if (pin.role.input && pin.role.slot == NOROLE)
                inputs.push_back(pin.net);
            else if (pin.role.input)
                inputs[static_cast<std::size_t>(pin.role.slot)] = pin.net;
            if (pin.role.output && pin.role.slot == NOROLE)
                outputs.push_back(pin.driver);
            else if (pin.role.output)
                outputs[static_cast<std::size_t>(pin.role.slot)] = pin.driver;
            if (pin.role.output && pin.role.slot != NOROLE)
                used = std::max(used, static_cast<std::size_t>(pin.role.slot) + 1);
        }
        if (indexedoutputs(part->kind))
            outputs.resize(used);
        component.firstinput = static_cast<uint32_t>(componentinputs.size());
        component.inputs = static_cast<uint32_t>(inputs.size());
        component.firstoutput = static_cast<uint32_t>(componentoutputs.size());
        component.outputs = static_cast<uint32_t>(outputs.size());
        componentinputs.insert(componentinputs.end(), inputs.begin(), inputs.end());
        componentoutputs.insert(componentoutputs.end(), outputs.begin(), outputs.end());
    }
    compiled = true;
}

int Engine::setup()
{
    options() = Options::read(circuit);
    if (!compiled)
        compile();
    now = 0;
    breakasked = false;
    started = true;
    events.clear();
    asked.clear();
    freeasked.clear();
    dirtynets.clear();
    evaluations.clear();
    requests.clear();
    staged.clear();
    statistics = Statistics {};
    for (std::size_t index = 0; index < drivers.size(); ++index) {
        drivers[index].applied = driverinitial[index];
        drivers[index].pending = NOPENDING;
        drivers[index].changed = 0;
    }
    for (const auto& part : parts) {
        part->sampletimes.clear();
        part->samples.clear();
        Component& component = components[part->id];
        component.queued = 0;
        readproperties(part.get(), component);
        start(part.get(), component);
    }
    for (uint32_t index = 0; index < netnames.size(); ++index) {
        if (root(index) != index)
            continue;
        Resolver resolver;
        Net& record = nets[index];
        for (uint32_t at = 0; at < record.drivers; ++at)
            resolver.add(drivers[netdrivers[record.firstdriver + at]].applied);
        record.state = resolver.result();
        record.changed = 0;
        for (uint32_t mirror : mirrors[index])
            nets[mirror].state = record.state;
    }
    for (const Asked& entry : prerun)
        commit(entry);
    for (PXobject* part : modelled)
        part->model->simulate(0, SIM_FIRST);
    // Every primitive looks at its inputs once at time 0, when the run first reaches it.
    for (const auto& part : parts) {
        if (part->kind != Kind::MODEL && part->kind != Kind::DUMMY)
            queue(part->id);
    }
    return 1;
}

void Engine::schedule(uint32_t index, STATE state, int64_t time)
{
    Driver& driver = drivers[index];
    if (driver.pending != NOPENDING) {
        if (driver.pending == state)
            return;
        ++driver.generation;
        driver.pending = NOPENDING;
    }
    if (state == driver.applied)
        return;
    driver.pending = state;
    events.push(Event { time < now ? now : time, DRIVER | index, driver.generation });
}

void Engine::ask(Asked entry)
{
    if (!started)
        return prerun.push_back(entry);
    if (staging)
        return staged.push_back(entry);
    commit(entry);
}

void Engine::commit(Asked entry)
{
    entry.time = entry.time < now ? now : entry.time;
    entry.sequence = sequence++;
    uint32_t slot;
    if (freeasked.empty()) {
        slot = static_cast<uint32_t>(asked.size());
        asked.push_back(entry);
    } else {
        slot = freeasked.back();
        freeasked.pop_back();
        asked[slot] = entry;
    }
    events.push(Event { entry.time, ASKED | slot, 0 });
}

void Engine::post(uint32_t driver, STATE state, int64_t time)
{
    ask(Asked { time, Request::DRIVE, nullptr, 0, NONE, driver, state & (STATE_LEVEL | STATE_STRENGTH), 0 });
}

int Engine::setcallback(int64_t time, IPALLEXMODEL* model, intptr_t value)
{
    if (time < now || !model)
        return 0;
    ask(Asked { time, Request::CALLBACK, model, value, NONE, NONE, 0, 0 });
    return 1;
}

int Engine::actuate(PXobject* part, int64_t time, bool closed)
{
    if (part->kind != Kind::SWITCH)
        return 0;
    ask(Asked { time, Request::ACTUATE, nullptr, closed, part->id, NONE, 0, 0 });
    return 1;
}

void Engine::suspend(IINSTANCE* owner, const char* text)
{
    breakasked = true;
}

void Engine::requesttime(int64_t time)
{
    requests.push_back(time);
}

void Engine::timer(uint32_t index, int64_t time)
{
    events.push(Event { time, TIMER | index, 0 });
}

void Engine::apply(uint32_t index, STATE state)
{
    Driver& driver = drivers[index];
    if (driver.pending != NOPENDING) {
        ++driver.generation;
        driver.pending = NOPENDING;
    }
    if (driver.applied == state)
        return;
    driver.applied = state;
    driver.changed = now;
    ++statistics.events;
    Net& record = nets[driver.net];
    if (!record.dirty) {
        record.dirty = 1;
        dirtynets.push_back(driver.net);
    }
}

void Engine::resolve(uint32_t index)
{
    Net& record = nets[index];
    record.dirty = 0;
    STATE state;
    if (record.drivers == 1) {
        state = drivers[netdrivers[record.firstdriver]].applied;
        if (strengthof(state) == 0)
            state = STATE_FLT;
    } else {
        Resolver resolver;
        for (uint32_t at = 0; at < record.drivers; ++at)
            resolver.add(drivers[netdrivers[record.firstdriver + at]].applied);
        state = resolver.result();
    }
    if (record.state == state)
        return;
    record.state = state;
    record.changed = now;
    if (record.mirrored) {
        for (uint32_t mirror : mirrors[index])
            nets[mirror].state = state;
    }
    const uint32_t* reader = netreaders.data() + record.firstreader;
    for (uint32_t at = 0; at < record.readers; ++at)
        queue(reader[at]);
}

void Engine::applydrives()
{
    if (duecalls.empty())
        return;
    std::sort(duecalls.begin(), duecalls.end(),
        [this](uint32_t a, uint32_t b) { return asked[a].sequence < asked[b].sequence; });
    std::size_t kept = 0;
    for (uint32_t slot : duecalls) {
        if (asked[slot].what != Request::DRIVE) {
            duecalls[kept++] = slot;
            continue;
        }
        apply(asked[slot].driver, asked[slot].state);
        freeasked.push_back(slot);
    }
    duecalls.resize(kept);
}

void Engine::runcallbacks()
{
    if (duecalls.empty())
        return;
    scratch.swap(duecalls);
    duecalls.clear();
    for (uint32_t slot : scratch) {
        Asked due = asked[slot];
        freeasked.push_back(slot);
        if (due.what == Request::CALLBACK) {
            due.model->callback(now, due.value);
            continue;
        }
        Component& component = components[due.part];
        component.flags = static_cast<uint8_t>(due.value ? component.flags | CLOSED : component.flags & ~CLOSED);
        queue(due.part);
    }
    scratch.clear();
}

bool Engine::step()
{
    for (int delta = 0;; ++delta) {
        while (!events.empty() && events.top().time <= now) {
            Event event = events.top();
            events.pop();
            uint32_t index = event.target & INDEX;
            switch (event.target & ~INDEX) {
            case DRIVER: {
                const Driver& driver = drivers[index];
                if (driver.generation == event.tag && driver.pending != NOPENDING)
                    apply(index, driver.pending);
                break;
            }
            case TIMER:
                if (components[index].kind == Kind::CLOCK)
                    evaluateclock(components[index], index);
                else
                    evaluatepattern(components[index], index);
                break;
            default:
                duecalls.push_back(index);
                break;
            }
        }
        applydrives();
        for (uint32_t index : dirtynets)
            resolve(index);
        dirtynets.clear();
        runcallbacks();
        if (!evaluations.empty()) {
            scratch.swap(evaluations);
            for (uint32_t index : scratch) {
                components[index].queued = 0;
                ++statistics.evaluations;
                evaluate(index);
            }
            scratch.clear();
        }
        if ((events.empty() || events.top().time > now) && evaluations.empty())
            return true;
        if (delta == MAXDELTAS) {
            logf('E', "The digital circuit oscillates without delay at %.12g s.", static_cast<double>(now) * 1e-12);
            breakasked = true;
            return false;
        }
    }
}

void Engine::run(int64_t time, bool settle)
{
    if (!compiled)
        compile();
    settling = settle;
    bool resting = true;
    if (!evaluations.empty() || !dirtynets.empty() || (!events.empty() && events.top().time <= now))
        resting = step();
    while (resting && !events.empty() && events.top().time <= time) {
        now = events.top().time;
        resting = step();
    }
    if (resting && time > now)
        now = time;
    settling = false;
}

int64_t Engine::nextevent()
{
    if (!evaluations.empty())
        return now;
    return events.empty() ? INT64_MAX : events.top().time;
}

}  // namespace pallex
