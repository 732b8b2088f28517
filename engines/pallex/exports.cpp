#include "engines/contract/instance.h"
#include "engines/contract/models.h"
#include "engines/pallex/engine.h"
#include "engines/pallex/options.h"
#include "engines/pallex/pallex.h"

#include <cmath>
#include <cstring>
#include <memory>

using pallex::Engine;
using pallex::NONE;

namespace {

int64_t picoseconds(double seconds)
{
    if (!(seconds > 0))
        return 0;
    return seconds >= 9.2e6 ? INT64_MAX / 4 : std::llround(seconds * 1e12);
}

double seconds(int64_t picoseconds)
{
    return static_cast<double>(picoseconds) * 1e-12;
}

// The interfaces of one mixed net: one link per part that reads it (ADCs) or drives it (DACs).
int interfaces(const char* net, PXinterface* pairs, int32_t max, int32_t* count, bool adcs)
{
    Engine* engine = pallex::engine();
    *count = 0;
    if (!engine || !net || !pairs || max < 0)
        return 0;
    uint32_t index = engine->findnet(net);
    if (index == NONE)
        return 1;
    for (PXobject* part : engine->partson(index, adcs)) {
        if (*count >= max)
            break;
        std::string served = part->instance ? part->instance->getname() : "";
        PXlink* link = adcs ? engine->linkadc(index, std::move(served))
                            : engine->linkdac(index, nullptr, std::move(served), engine->driversof(part, index));
        pairs[(*count)++] = PXinterface { link->served.c_str(), link };
    }
    return 1;
}

}  // namespace

extern "C" {

int pallex_signon(int output, ISIMLOG* log, IWATCHPOPUP* watch)
{
    pallex::simlog() = log;
    return 1;
}

int pallex_initialize(IOPTIONS* circuit, IPALLEXCKT** interface)
{
    pallex::setengine(std::make_unique<Engine>(circuit));
    pallex::options() = pallex::Options {};
    if (interface)
        *interface = pallex::engine();
    return 1;
}

int pallex_terminate()
{
    pallex::setengine(nullptr);
    return 1;
}

int pallex_create(IINSTANCE* instance, const char* type, PROPLIST* properties, IPALLEXMODEL* model, PXobject** handle)
{
    if (handle)
        *handle = nullptr;
    Engine* engine = pallex::engine();
    pallex::Kind kind;
    if (!engine || !handle || !pallex::kindof(type, &kind))
        return 0;
    *handle = engine->create(instance, kind, type, model);
    if (model)
        model->bindpallex(instance, engine);
    return 1;
}

int pallex_connect(PXobject* handle, const char* name, int32_t pintype, const char* net, IPALLEXPIN2** pin)
{
    if (pin)
        *pin = nullptr;
    Engine* engine = pallex::engine();
    if (!engine || !handle || !name || !net)
        return 0;
    return engine->connect(handle, name, pintype, net, pin);
}

int pallex_connectpower(const char* text, int32_t pintype, const char* net)
{
    Engine* engine = pallex::engine();
    if (!engine || !text || !net)
        return 0;
    return engine->connectpower(text, net);
}

int pallex_getbuspin(IINSTANCE* instance, const char* bus, IPALLEXPIN2** pins, int32_t width, int32_t flag,
    IBUSPIN** out)
{
    if (out)
        *out = nullptr;
    Engine* engine = pallex::engine();
    if (!engine || !out || !pins || width <= 0)
        return 0;
    for (int32_t bit = 0; bit < width; ++bit) {
        if (!pins[bit])
            return 0;
    }
    pallex::Bus& made = engine->buses.emplace_back();
    made.pins.assign(pins, pins + width);
    made.name = bus ? bus : "";
    *out = &made;
    return 1;
}

int pallex_createadcs(const char* net, PXinterface* pairs, int32_t max, int32_t* count)
{
    return interfaces(net, pairs, max, count, true);
}

int pallex_createdacs(const char* net, PXinterface* pairs, int32_t max, int32_t* count)
{
    return interfaces(net, pairs, max, count, false);
}

int pallex_linkadc(const char* net, PXlink** link)
{
    *link = nullptr;
    Engine* engine = pallex::engine();
    uint32_t index = engine ? engine->findnet(net) : NONE;
    if (index == NONE)
        return 0;
    *link = engine->linkadc(index, "");
    return 1;
}

int pallex_postadc(PXlink* link, STATE state)
{
    Engine* engine = pallex::engine();
    if (!engine || !link || !link->adc)
        return 0;
    engine->post(link->driver, state, engine->now);
    return 1;
}

int pallex_linkdac(const char* net, double* edge, PXlink** link)
{
    *link = nullptr;
    Engine* engine = pallex::engine();
    uint32_t index = engine ? engine->findnet(net) : NONE;
    if (index == NONE)
        return 0;
    *link = engine->linkdac(index, edge, "", {});
    return 1;
}

int pallex_polldac(PXlink* link, STATE* state, double* time)
{
    Engine* engine = pallex::engine();
    if (!engine || !link || link->adc)
        return 0;
    *state = engine->linkstate(link);
    *time = seconds(engine->linkchanged(link));
    return 1;
}

int pallex_linknet(const char* net, STATE** state)
{
    *state = nullptr;
    Engine* engine = pallex::engine();
    uint32_t index = engine ? engine->findnet(net) : NONE;
    if (index == NONE)
        return 0;
    *state = engine->netcell(index);
    return 1;
}

int pallex_peekpin(PXobject* handle, int32_t index, STATE* state)
{
    Engine* engine = pallex::engine();
    pallex::Pin* pin = engine ? engine->pinof(handle, index) : nullptr;
    if (!pin || !state)
        return 0;
    *state = pin->getstate();
    return 1;
}

int pallex_pokepin(PXobject* handle, int32_t index, double time, STATE state)
{
    Engine* engine = pallex::engine();
    pallex::Pin* pin = engine ? engine->pinof(handle, index) : nullptr;
    if (!pin)
        return 0;
    return pin->setstate(picoseconds(time), state);
}

int pallex_actuate(PXobject* handle, double time, int32_t closed)
{
    Engine* engine = pallex::engine();
    if (!engine || !handle)
        return 0;
    return engine->actuate(handle, picoseconds(time), closed != 0);
}

int pallex_mergenets(const char* net1, const char* net2)
{
    Engine* engine = pallex::engine();
    if (!engine || !net1 || !net2)
        return 0;
    return engine->mergenets(net1, net2);
}

int pallex_linkprobe(PXobject* probe, IPARTITION* partition, int32_t channel)
{
    Engine* engine = pallex::engine();
    if (!engine || !probe || !partition || probe->kind != pallex::Kind::DPROBE)
        return 0;
    engine->linkprobe(probe, partition, channel);
    return 1;
}

int pallex_writedata(double time, PXobject*)
{
    Engine* engine = pallex::engine();
    if (!engine)
        return 0;
    engine->writedata(std::llround(time * 1e12));
    return 1;
}

int pallex_setup()
{
    Engine* engine = pallex::engine();
    return engine ? engine->setup() : 0;
}

int pallex_resume()
{
    return pallex::engine() ? 1 : 0;
}

int pallex_bootstep(int first, int settle, int* changes)
{
    *changes = 0;
    Engine* engine = pallex::engine();
    return engine ? engine->bootstep(first != 0, settle != 0, changes) : 0;
}

int pallex_timestep(double time, double* next)
{
    *next = HUGE_VAL;
    Engine* engine = pallex::engine();
    if (!engine)
        return 0;
    int64_t pending = engine->nextevent();
    if (engine->analogreads() && pending != INT64_MAX)
        *next = seconds(pending);
    return 1;
}

int pallex_accept(double time, void* context, void (*request)(void* context, double time))
{
    Engine* engine = pallex::engine();
    if (!engine || !request)
        return 0;
    return engine->accept(std::llround(time * 1e12), context, request);
}

int64_t getdelay(IINSTANCE* instance, const char* property, int64_t def)
{
    return pallex::delayof(instance, property, def, false);
}

int32_t getinitval(IINSTANCE* instance, const char* property, int32_t def)
{
    return pallex::initvalof(instance, property, def);
}

}
