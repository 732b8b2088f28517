#include "engines/fakes/digital.h"

#include "engines/contract/instance.h"
#include "engines/contract/models.h"
#include "engines/fakes/recorder.h"

#include <cmath>
#include <deque>

using fakes::digital;
using fakes::format;
using fakes::record;

struct PXobject {
    std::string name;
    std::string type;
    std::deque<fakes::DigitalPin> pins;
};

struct PXlink {
    std::string net;
    std::string served;  // the part a created interface serves
    bool adc = false;
};

namespace {

class BusPin final : public IBUSPIN {
};

struct Store {
    std::deque<PXobject> parts;
    std::deque<PXlink> links;
    std::deque<BusPin> buses;
};

Store& store()
{
    static Store state;
    return state;
}

PXlink* addlink(const char* net, bool adc, std::string served = {})
{
    return &store().links.emplace_back(PXlink { net ? net : "", std::move(served), adc });
}

// pallex_createadcs and pallex_createdacs: one link per part the test said the net's interfaces serve.
int interfaces(const char* function, const std::map<std::string, std::vector<std::string>>& served, bool adc,
    const char* net, PXinterface* pairs, int32_t max, int32_t* count)
{
    record(format("%s(%s)", function, net ? net : "-"));
    *count = 0;
    auto it = net ? served.find(net) : served.end();
    for (std::size_t i = 0; it != served.end() && i < it->second.size() && *count < max; ++i) {
        PXlink* link = addlink(net, adc, it->second[i]);
        pairs[(*count)++] = PXinterface { link->served.c_str(), link };
    }
    return fakes::answer(function, 1);
}

}  // namespace

namespace fakes {

int DigitalCircuit::setcallback(int64_t at, IPALLEXMODEL* model, intptr_t value)
{
    record(format("setcallback(%lld, %ld)", static_cast<long long>(at), static_cast<long>(value)));
    if (at < time)
        return 0;
    callbacks.push_back(Callback { at, model, value });
    return 1;
}

void DigitalCircuit::suspend(IINSTANCE* owner, const char* text)
{
    record(format("pallex suspend(%s, %s)", owner ? owner->getname() : "-", text ? text : "-"));
}

void DigitalCircuit::requesttime(int64_t at)
{
    record(format("requesttime(%lld)", static_cast<long long>(at)));
    requests.push_back(at);
}

Digital& digital()
{
    static Digital state;
    return state;
}

void resetdigital()
{
    digital() = Digital {};
    store() = Store {};
}

DigitalPin* digitalpin(const std::string& part, int32_t index)
{
    for (PXobject& object : store().parts) {
        if (object.name == part && index >= 0 && static_cast<std::size_t>(index) < object.pins.size())
            return &object.pins[static_cast<std::size_t>(index)];
    }
    return nullptr;
}

}  // namespace fakes

namespace {

const char* partname(const PXobject* part)
{
    return part ? part->name.c_str() : "-";
}

fakes::DigitalPin* pinof(PXobject* part, int32_t index)
{
    if (!part || index < 0 || static_cast<std::size_t>(index) >= part->pins.size())
        return nullptr;
    return &part->pins[static_cast<std::size_t>(index)];
}

}  // namespace

extern "C" {

int pallex_signon(int, ISIMLOG*, IWATCHPOPUP*)
{
    record("pallex_signon()");
    return fakes::answer("pallex_signon", 1);
}

int pallex_initialize(IOPTIONS*, IPALLEXCKT** interface)
{
    record("pallex_initialize()");
    digital().initialized = true;
    *interface = &digital().circuit;
    return fakes::answer("pallex_initialize", 1);
}

int pallex_terminate()
{
    record("pallex_terminate()");
    digital().circuit = fakes::DigitalCircuit {};
    digital().nets.clear();
    digital().initialized = false;
    store() = Store {};
    return 1;
}

int pallex_create(IINSTANCE* instance, const char* type, PROPLIST*, IPALLEXMODEL* model, PXobject** handle)
{
    const char* name = instance ? instance->getname() : "-";
    record(format("pallex_create(%s, %s)", name, type ? type : "-"));
    *handle = nullptr;
    if (!type || digital().unknowntypes.count(type))
        return 0;
    *handle = &store().parts.emplace_back(PXobject { name, type, {} });
    if (model)
        model->bindpallex(instance, &digital().circuit);
    return 1;
}

int pallex_connect(PXobject* handle, const char* name, int32_t pintype, const char* net, IPALLEXPIN2** pin)
{
    record(format("pallex_connect(%s, %s, %d, %s)", partname(handle), name ? name : "-", pintype, net ? net : "-"));
    if (pin)
        *pin = nullptr;
    if (!handle || !name || !net || !fakes::answer("pallex_connect", 1))
        return 0;
    digital().nets.try_emplace(net, STATE_FLT);
    fakes::DigitalPin& made = handle->pins.emplace_back();
    if (pin)
        *pin = &made;
    return 1;
}

int pallex_connectpower(const char* text, int32_t pintype, const char* net)
{
    record(format("pallex_connectpower(%s, %d, %s)", text ? text : "-", pintype, net ? net : "-"));
    if (net)
        digital().nets.try_emplace(net, STATE_FLT);
    return 1;
}

int pallex_getbuspin(IINSTANCE* instance, const char* bus, IPALLEXPIN2**, int32_t width, int32_t flag, IBUSPIN** out)
{
    record(format("pallex_getbuspin(%s, %s, %d, %d)", instance ? instance->getname() : "-", bus ? bus : "-", width, flag));
    *out = &store().buses.emplace_back();
    return 1;
}

int pallex_createadcs(const char* net, PXinterface* pairs, int32_t max, int32_t* count)
{
    return interfaces("pallex_createadcs", digital().adcs, true, net, pairs, max, count);
}

int pallex_createdacs(const char* net, PXinterface* pairs, int32_t max, int32_t* count)
{
    return interfaces("pallex_createdacs", digital().dacs, false, net, pairs, max, count);
}

int pallex_linkadc(const char* net, PXlink** link)
{
    record(format("pallex_linkadc(%s)", net ? net : "-"));
    *link = addlink(net, true);
    return 1;
}

int pallex_postadc(PXlink* link, STATE state)
{
    record(format("pallex_postadc(%s, %02X)", link ? link->net.c_str() : "-", state));
    return link ? 1 : 0;
}

int pallex_linkdac(const char* net, double*, PXlink** link)
{
    record(format("pallex_linkdac(%s)", net ? net : "-"));
    *link = addlink(net, false);
    return 1;
}

int pallex_polldac(PXlink* link, STATE* state, double* time)
{
    record(format("pallex_polldac(%s)", link ? link->net.c_str() : "-"));
    if (!link)
        return 0;
    // A net the test gave no state is driven by nothing.
    auto scripted = digital().dacstates.find(link->net);
    *state = scripted == digital().dacstates.end() ? STATE_NONE : scripted->second.first;
    *time = scripted == digital().dacstates.end() ? 0 : scripted->second.second;
    return 1;
}

int pallex_linknet(const char* net, STATE** state)
{
    record(format("pallex_linknet(%s)", net ? net : "-"));
    auto it = net ? digital().nets.find(net) : digital().nets.end();
    *state = it == digital().nets.end() ? nullptr : &it->second;
    return *state != nullptr;
}

int pallex_peekpin(PXobject* handle, int32_t index, STATE* state)
{
    record(format("pallex_peekpin(%s, %d)", partname(handle), index));
    fakes::DigitalPin* pin = pinof(handle, index);
    if (!pin)
        return 0;
    *state = pin->state;
    return 1;
}

int pallex_pokepin(PXobject* handle, int32_t index, double time, STATE state)
{
    record(format("pallex_pokepin(%s, %d, %g, %02X)", partname(handle), index, time, state));
    fakes::DigitalPin* pin = pinof(handle, index);
    if (!pin)
        return 0;
    pin->state = state;
    return 1;
}

int pallex_actuate(PXobject* handle, double time, int32_t closed)
{
    record(format("pallex_actuate(%s, %g, %d)", partname(handle), time, closed));
    return handle != nullptr;
}

int pallex_mergenets(const char* net1, const char* net2)
{
    record(format("pallex_mergenets(%s, %s)", net1 ? net1 : "-", net2 ? net2 : "-"));
    return 1;
}

int pallex_linkprobe(PXobject* probe, IPARTITION*, int32_t channel)
{
    record(format("pallex_linkprobe(%s, %d)", partname(probe), channel));
    return probe != nullptr;
}

int pallex_writedata(double time, PXobject* probe)
{
    record(format("pallex_writedata(%g, %s)", time, partname(probe)));
    return 1;
}

int pallex_setup()
{
    record("pallex_setup()");
    return fakes::answer("pallex_setup", 1);
}

int pallex_resume()
{
    record("pallex_resume()");
    return fakes::answer("pallex_resume", 1);
}

int pallex_bootstep(int first, int settle, int* changes)
{
    record(format("pallex_bootstep(%d, %d)", first, settle));
    *changes = fakes::answer("changes", 0);
    return fakes::answer("pallex_bootstep", 1);
}

int pallex_timestep(double time, double* next)
{
    record(format("pallex_timestep(%g)", time));
    *next = HUGE_VAL;
    return fakes::answer("pallex_timestep", 1);
}

int pallex_accept(double time, void* context, void (*request)(void* context, double time))
{
    record(format("pallex_accept(%g)", time));
    digital().circuit.time = std::llround(time / 1e-12);
    for (int64_t at : digital().circuit.requests)
        request(context, static_cast<double>(at) * 1e-12);
    digital().circuit.requests.clear();
    return fakes::answer("pallex_accept", 1);
}

int64_t getdelay(IINSTANCE* instance, const char* property, int64_t def)
{
    record(format("getdelay(%s, %s)", instance ? instance->getname() : "-", property ? property : "-"));
    double seconds = instance && property ? instance->getnumval(property, -1) : -1;
    return seconds < 0 ? def : std::llround(seconds / 1e-12);
}

int32_t getinitval(IINSTANCE* instance, const char* property, int32_t def)
{
    record(format("getinitval(%s, %s)", instance ? instance->getname() : "-", property ? property : "-"));
    return instance && property ? static_cast<int32_t>(std::lround(instance->getnumval(property, def))) : def;
}

}
