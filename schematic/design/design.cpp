#include "schematic/design/design.h"

#include "schematic/objects/styletables.h"

DESIGN::DESIGN()
{
    reset();
}

void DESIGN::reset()
{
    resetstyles();
    sheetbox = BOX(-DEFAULTSHEETWIDTH / 2, -DEFAULTSHEETHEIGHT / 2, DEFAULTSHEETWIDTH / 2, DEFAULTSHEETHEIGHT / 2);
}

DIDX* DESIGN::getgstyles()
{
    return &graphicstyles();
}

DIDX* DESIGN::gettstyles()
{
    return &textstyles();
}

DESIGN& getdesign()
{
    static DESIGN design;
    return design;
}
