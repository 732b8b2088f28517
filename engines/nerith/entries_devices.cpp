#include "engines/nerith/ckt.h"
#include "engines/nerith/registry.h"

namespace nerith::entries {

namespace {

bool live(const IFinstance* instance)
{
    return instance && !instance->deleted;
}

bool live(const IFmodel* model)
{
    return model && !model->deleted;
}

} // namespace

int newInstance(IFcircuit* ckt, IFmodel* model, IFinstance** instance, IFuid name)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (!live(model))
        return E_NOMODEL;
    if (!name)
        return E_BADVALUE;
    const auto place = ckt->instancenames.place(name);
    if (IFinstance* found = ckt->instancenames.itemat(place)) {
        *instance = found;
        return E_EXISTS;
    }
    return guarded([&] {
        IFinstance* made = ckt->families[static_cast<std::size_t>(model->type)]->newinstance(model, ckt->names.keep(name));
        ckt->instancenames.enter(place, made);
        *instance = made;
        return 0;
    });
}

int setInstanceParm(IFcircuit* ckt, IFinstance* instance, int32_t id, IFvalue* value, IFvalue*)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (!live(instance))
        return E_NOTFOUND;
    if (!value)
        return E_BADVALUE;
    return ckt->families[static_cast<std::size_t>(instance->type)]->setinstance(*instance, id, *value);
}

int askInstanceQuest(IFcircuit* ckt, IFinstance* instance, int32_t id, IFvalue* value, IFvalue*)
{
    if (!ours(ckt))
        return E_NOCKT;
    if (!live(instance))
        return E_NOTFOUND;
    if (!value)
        return E_BADVALUE;
    return guarded([&] {
        return ckt->families[static_cast<std::size_t>(instance->type)]->askinstance(
            *ckt, *instance, id, *value);
    });
}

int findInstance(IFcircuit* ckt, int32_t* type, IFinstance** instance, IFuid name)
{
    if (!ours(ckt))
        return E_NOCKT;
    IFinstance* found = name ? ckt->instancenames.find(name) : nullptr;
    *instance = found;
    if (!found)
        return E_NOTFOUND;
    if (type)
        *type = found->type;
    return 0;
}

int deleteInstance(IFcircuit* ckt, IFinstance* instance)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (!live(instance))
        return E_NOTFOUND;
    ckt->instancenames.erase(instance);
    ckt->families[static_cast<std::size_t>(instance->type)]->deleteinstance(instance);
    for (std::size_t n = 1; n < ckt->equations.size(); ++n) {
        if (ckt->equations[n].owner == instance)
            ckt->removeequation(static_cast<int32_t>(n));
    }
    // Its cells stay in the matrix until the structure is made afresh.
    ckt->rebuild = true;
    return 0;
}

int newModel(IFcircuit* ckt, int32_t type, IFmodel** model, IFuid name)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (type < 0 || type >= static_cast<int32_t>(devicekinds().size()))
        return E_BADTYPE;
    if (!name)
        return E_BADVALUE;
    if (IFmodel* found = ckt->modelnames.exactly(name)) {
        *model = found;
        return found->type == type ? 0 : E_EXISTS;
    }
    return guarded([&] {
        IFmodel* made = ckt->families[static_cast<std::size_t>(type)]->newmodel(name);
        ckt->modelnames.insert(made);
        *model = made;
        return 0;
    });
}

int setModelParm(IFcircuit* ckt, IFmodel* model, int32_t id, IFvalue* value, IFvalue*)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (!live(model))
        return E_NOTFOUND;
    if (!value)
        return E_BADVALUE;
    return ckt->families[static_cast<std::size_t>(model->type)]->setmodel(*model, id, *value);
}

int askModelQuest(IFcircuit* ckt, IFmodel* model, int32_t id, IFvalue* value, IFvalue*)
{
    if (!ours(ckt))
        return E_NOCKT;
    if (!live(model))
        return E_NOTFOUND;
    if (!value)
        return E_BADVALUE;
    return ckt->families[static_cast<std::size_t>(model->type)]->askmodel(*ckt, *model, id, *value);
}

int findModel(IFcircuit* ckt, int32_t* type, IFmodel** model, IFuid name)
{
    if (!ours(ckt))
        return E_NOCKT;
    IFmodel* found = name ? ckt->modelnames.find(name) : nullptr;
    *model = found;
    if (!found)
        return E_NOTFOUND;
    if (type)
        *type = found->type;
    return 0;
}

int deleteModel(IFcircuit* ckt, IFmodel* model)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (!live(model))
        return E_NOTFOUND;
    if (model->instances > 0)
        return E_BADVALUE;
    ckt->modelnames.erase(model);
    ckt->families[static_cast<std::size_t>(model->type)]->deletemodel(model);
    return 0;
}

} // namespace nerith::entries
