#pragma once

// The demo editor's drawing: a sheet of cells in rows, each a wire-like line and a label, as many
// as asked for, so that a view can be tried on a handful of primitives or timed on tens of
// thousands.

#include <string>
#include <vector>

#include "platform/ombrel/box.h"
#include "platform/ombrel/shapes.h"

class VGDVC;

struct DEMOLABEL {
    POINT at;
    std::string text;
};

class DEMODRAWING {
public:
    // cells lines and cells labels in cells of one tenth of an inch, laid out about as many rows
    // as columns.
    explicit DEMODRAWING(int cells);

    // What lies in the area, drawn on the device.
    void draw(VGDVC& device, const BOX& area) const;
    // The area every primitive lies in.
    BOX extent() const { return bounds; }
    int primitives() const { return int(lines.size() + labels.size()); }

private:
    std::vector<LINE> lines;
    std::vector<DEMOLABEL> labels;
    BOX bounds;
};
