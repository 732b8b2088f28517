#include "simulator/kernel/nodehooks.h"

#include "simulator/kernel/netlist.h"
#include "simulator/kernel/runstate.h"

#include <cstdlib>

namespace {

const SDF_NETLIST* hooknetlist = nullptr;

} // namespace

void setnodehooknetlist(const SDF_NETLIST* netlist)
{
    hooknetlist = netlist;
}

int spicenewnode(IFcircuit* ckt, IFnode** node, IFuid name)
{
    if (!name || name[0] != '$')
        return spicesimulator->newNode(ckt, node, name);
    char* end = nullptr;
    unsigned long id = std::strtoul(name + 1, &end, 16);
    const char* net = hooknetlist && end != name + 1 && *end == '\0' && id <= INT32_MAX
        ? hooknetlist->netbyid(static_cast<int32_t>(id))
        : nullptr;
    return spicesimulator->findNode(ckt, node, net ? net : name);
}

int spicegroundnode(IFcircuit* ckt, IFnode** node, IFuid name)
{
    if (spicesimulator->groundNode(ckt, node, nullptr) == E_EXISTS)
        return 0;
    return spicesimulator->groundNode(ckt, node, name);
}
