#pragma once

// The design: the schematic module's one document (one for the module's life, reset for each
// project), with the named style tables its objects draw with and the sheet being edited.

#include "framework/documents/applndocument.h"
#include "platform/ombrel/box.h"

// The sheet of a new design: A4 landscape, centred on the origin (2,540,000 units to the inch).
constexpr int32_t DEFAULTSHEETWIDTH = 25400000;
constexpr int32_t DEFAULTSHEETHEIGHT = 17780000;

class DESIGN : public APPLNDOCUMENT {
public:
    DESIGN();

    // Back to a new design: the built-in styles and one empty sheet of the default size.
    void reset();

    DIDX* getgstyles() override;
    DIDX* gettstyles() override;

    // The current sheet's area.
    const BOX& getsheetbox() const { return sheetbox; }

private:
    BOX sheetbox;
};

// The module's design.
DESIGN& getdesign();
