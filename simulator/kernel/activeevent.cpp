#include "simulator/kernel/activeevent.h"

DPA& activedatatable()
{
    static DPA table(16);
    return table;
}

uint32_t activedata(const void* address)
{
    if (!address)
        return 0;
    DPA& table = activedatatable();
    table.add(const_cast<void*>(address), -1);
    return static_cast<uint32_t>(table.count);
}
