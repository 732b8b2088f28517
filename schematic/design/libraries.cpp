#include "schematic/design/libraries.h"

#include "platform/lunder/mlib.h"

MLIB& devicelibraries()
{
    static MLIB libraries(50, 1, nullptr);
    return libraries;
}

MLIB& symbollibraries()
{
    static MLIB libraries(10, 0, nullptr);
    return libraries;
}
