#include "engines/nerith/devices/family.h"

namespace nerith {

int terminalnumbers(const IFcircuit& ckt, const IFinstance& instance, int32_t count, int32_t* numbers)
{
    for (int32_t i = 0; i < count; ++i) {
        const Node* node = ckt.terminal(instance, static_cast<std::size_t>(i));
        if (!node || node->deleted)
            return fail(E_BADDEVICE, "%s: terminal %d is not connected", instance.name, i + 1);
        numbers[i] = node->number;
    }
    return 0;
}

} // namespace nerith
