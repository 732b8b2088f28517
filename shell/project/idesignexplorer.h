#pragma once

// The design explorer module's interface 9, as links into the design use it: whether it can show
// the design now, switching between the schematic and the layout, and showing an element of the
// schematic or a part of the layout by its database id.
// Callers: LinkHandler.

#include <cstdint>

#include "framework/context/interfaces.h"

class IDESIGNEXPLORER : public IMODULE {
public:
    static constexpr unsigned ID = 9;

    virtual int isavailable() = 0;
    // 0 the schematic, 1 the layout.
    virtual void switchto(int layout) = 0;
    // Selects and shows what the id names in the schematic (0) or layout (1); 0 when it cannot.
    virtual int show(int layout, uint32_t id) = 0;

protected:
    ~IDESIGNEXPLORER() = default;
};
