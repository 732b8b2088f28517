#include "simulator/kernel/netlist.h"

#include "core/text/strutil.h"

#include <cstddef>
#include <cstring>
#include <new>

namespace {

char* newnet(const char* name, int32_t id)
{
    size_t length = strlen(name);
    void* block = ::operator new(sizeof(SDF_NETHEAD) + length + 1);
    auto* head = new (block) SDF_NETHEAD;
    head->id = id;
    head->flags = 0;
    char* handle = reinterpret_cast<char*>(head + 1);
    memcpy(handle, name, length + 1);
    return handle;
}

void deletenet(char* net)
{
    SDF_NETHEAD* head = nethead(net);
    head->~SDF_NETHEAD();
    ::operator delete(head);
}

}  // namespace

SDF_NETLIST::SDF_NETLIST() = default;

SDF_NETLIST::~SDF_NETLIST()
{
    models.zap();
    parts.zap();
    scripts.zap();
    for (int i = 0; i < netorder.count; ++i)
        deletenet(static_cast<char*>(netorder.items[i]));
}

void SDF_NETLIST::setproperty(const char* name, const char* value)
{
    properties.add(name, value);
}

SDF_MODEL* SDF_NETLIST::addmodel(const char* name, const PROPLIST* list)
{
    char key[MODELNAMESIZE];
    strnzcpy(key, name, MODELNAMESIZE - 1);
    if (models[key])
        return nullptr;
    auto* model = new SDF_MODEL;
    strnzcpy(model->name, key, MODELNAMESIZE - 1);
    if (list)
        model->properties.merge(*list);
    models.add(model);
    return model;
}

SDF_SCRIPT* SDF_NETLIST::addscript(const char* name, const char* text)
{
    size_t length = text ? strlen(text) : 0;
    auto* script = static_cast<SDF_SCRIPT*>(::operator new(offsetof(SDF_SCRIPT, text) + length + 1));
    strnzcpy(script->name, name, SCRIPTNAMESIZE - 1);
    if (length)
        memcpy(script->text, text, length);
    script->text[length] = 0;
    scripts.add(script);
    return script;
}

SDF_COMPONENT* SDF_NETLIST::addcomponent(const char* name, const char* device, const PROPLIST* list)
{
    auto* part = new SDF_COMPONENT(name, list);
    part->setproperty("DEVICE", device);
    parts.add(part);
    return part;
}

SDF_COMPONENT* SDF_NETLIST::findpart(const char* name) const
{
    if (!name)
        return nullptr;
    for (int i = 0; i < parts.locked && i < parts.count; ++i)
        if (parts.compare(name, parts.items[i]) == 0)
            return parts.ptr(i);
    int low = parts.locked;
    int high = parts.count;
    while (low < high) {
        int middle = low + (high - low) / 2;
        int order = parts.compare(name, parts.items[middle]);
        if (order == 0)
            return parts.ptr(middle);
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return nullptr;
}

char* SDF_NETLIST::getnet(const char* name)
{
    char* net = nets[name];
    if (!net) {
        net = newnet(name, netorder.count);
        netorder.add(net);
        nets.add(net);
    }
    currentnet = net;
    return net;
}

void SDF_NETLIST::setnetproperty(const char* name, const char* value)
{
    if (currentnet)
        netproperties(currentnet).add(name, value);
}

SDF_PIN* SDF_NETLIST::addpin(char* net, SDF_COMPONENT* part, const char* pin, SDF_PINTYPE type)
{
    return part ? part->addpin(pin, type, net) : nullptr;
}

SDF_PIN* SDF_NETLIST::connect(char*, const char*, SDF_PINTYPE)
{
    return nullptr;
}

void SDF_NETLIST::endnet(char*)
{
    if (currentnet)
        netproperties(currentnet).shrink();
    currentnet = nullptr;
}
