#include "engines/nerith/ckt.h"
#include "engines/nerith/registry.h"

#include <cmath>

namespace nerith::entries {

int newCircuit(IFcircuit** ckt)
{
    return guarded([&] {
        *ckt = circuits().emplace_back(std::make_unique<IFcircuit>()).get();
        return 0;
    });
}

int deleteCircuit(IFcircuit* ckt)
{
    auto& list = circuits();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->get() == ckt) {
            list.erase(it);
            return 0;
        }
    }
    return E_NOCKT;
}

int newNode(IFcircuit* ckt, IFnode** node, IFuid name)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (!name)
        return E_BADVALUE;
    const auto place = ckt->nodenames.place(name);
    if (Node* found = ckt->nodenames.itemat(place)) {
        *node = found;
        return E_EXISTS;
    }
    return guarded([&] {
        Node& made = ckt->newnode(name);
        ckt->nodenames.enter(place, &made);
        ckt->addnode(made);
        *node = &made;
        return 0;
    });
}

int groundNode(IFcircuit* ckt, IFnode** node, IFuid name)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (ckt->ground) {
        *node = ckt->ground;
        return E_EXISTS;
    }
    return guarded([&] {
        Node& ground = ckt->newnode(name ? name : "0");
        ckt->nodenames.insert(&ground);
        ground.number = 0;
        ckt->ground = &ground;
        ckt->equations.front() = Equation::voltageof(ground);
        *node = &ground;
        return 0;
    });
}

int bindNode(IFcircuit* ckt, IFinstance* instance, int32_t terminal, IFnode* node)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (!instance || instance->deleted)
        return E_NOTFOUND;
    auto* target = static_cast<Node*>(node);
    if (!target || target->deleted)
        return E_BADVALUE;
    const int32_t terminals = devicekinds()[static_cast<std::size_t>(instance->type)]->description.terminals;
    if (terminal < 1 || terminal > terminals)
        return E_NOTERM;
    const auto k = static_cast<std::size_t>(terminal - 1);
    // A bound instance keeps cells of its old node: the next set-up starts afresh.
    if (instance->bound && ckt->terminal(*instance, k) != target)
        ckt->rebuild = true;
    IFcircuit::connect(*instance, k, target);
    return 0;
}

int findNode(IFcircuit* ckt, IFnode** node, IFuid name)
{
    if (!ours(ckt))
        return E_NOCKT;
    Node* found = name ? ckt->nodenames.find(name) : nullptr;
    *node = found;
    return found ? 0 : E_NOTFOUND;
}

int instToNode(IFcircuit* ckt, IFinstance* instance, int32_t terminal, IFnode** node, IFuid* name)
{
    if (!ours(ckt))
        return E_NOCKT;
    if (!instance || terminal < 1 || terminal > IFinstance::MaxTerminals)
        return E_NOTERM;
    Node* bound = ckt->terminal(*instance, static_cast<std::size_t>(terminal - 1));
    if (!bound)
        return E_NOTERM;
    *node = bound;
    if (name)
        *name = bound->name;
    return 0;
}

int setNodeParm(IFcircuit* ckt, IFnode* node, int32_t id, IFvalue* value, IFvalue*)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (id != NODE_NODESET && id != NODE_IC)
        return E_BADPARM;
    auto* target = static_cast<Node*>(node);
    if (!target || !value || target == ckt->ground || !std::isfinite(value->rValue))
        return E_BADVALUE;
    (id == NODE_IC ? ckt->giveninitials : ckt->givennodesets)[target] = value->rValue;
    return 0;
}

int askNodeQuest(IFcircuit* ckt, IFnode* node, int32_t id, IFvalue* value, IFvalue*)
{
    if (!ours(ckt))
        return E_NOCKT;
    if (id != NODE_NODESET && id != NODE_IC)
        return E_BADPARM;
    if (!node || !value)
        return E_BADVALUE;
    const auto& given = id == NODE_IC ? ckt->giveninitials : ckt->givennodesets;
    const auto found = given.find(static_cast<Node*>(node));
    value->rValue = found == given.end() ? 0 : found->second;
    return 0;
}

int deleteNode(IFcircuit* ckt, IFnode* node)
{
    if (!ours(ckt))
        return E_NOCKT;
    ckt->setupcurrent = false;
    auto* target = static_cast<Node*>(node);
    if (!target || target->deleted)
        return E_NOTFOUND;
    if (target == ckt->ground)
        return E_BADVALUE;
    for (const auto& family : ckt->families) {
        if (family->uses(target))
            return E_BADVALUE;
    }
    target->deleted = true;
    ckt->nodenames.erase(target);
    ckt->removeequation(target->number);
    return 0;
}

} // namespace nerith::entries
