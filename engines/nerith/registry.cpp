#include "engines/nerith/registry.h"

#include "engines/nerith/ckt.h"

#include <algorithm>

namespace nerith {

std::vector<std::unique_ptr<IFcircuit>>& circuits()
{
    static std::vector<std::unique_ptr<IFcircuit>> list;
    return list;
}

bool ours(const IFcircuit* ckt)
{
    if (!ckt)
        return false;
    const auto& list = circuits();
    return std::any_of(list.begin(), list.end(), [ckt](const auto& item) { return item.get() == ckt; });
}

bool ours(const IFcircuit* ckt, const IFtask* task)
{
    if (!ours(ckt) || !task)
        return false;
    return std::any_of(
        ckt->tasks.begin(), ckt->tasks.end(), [task](const auto& item) { return item.get() == task; });
}

} // namespace nerith
