#include "framework/bars/screendpi.h"

#include "platform/win/monitors.h"

int screendpi()
{
    for (const win::Monitor& monitor : win::monitors())
        if (monitor.primary)
            return monitor.dpi > 0 ? monitor.dpi : 96;
    return 96;
}
