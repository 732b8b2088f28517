#include "framework/tests/demoeditor/demodrawing.h"

#include <algorithm>
#include <cmath>

#include "platform/casq/vgdvc.h"

namespace {

constexpr int32_t CELL = 254000; // a tenth of an inch in database units

} // namespace

DEMODRAWING::DEMODRAWING(int cells)
    : bounds(VOIDBOX)
{
    int perrow = std::max(1, int(std::ceil(std::sqrt(double(cells)))));
    lines.reserve(size_t(cells));
    labels.reserve(size_t(cells));
    for (int i = 0; i < cells; ++i) {
        int32_t x = (i % perrow) * CELL;
        int32_t y = -(i / perrow) * CELL;
        // Wires run right or up by turns, as on a sheet; every label names its cell.
        POINT from(x + CELL / 10, y + CELL / 10);
        POINT to = i % 2 ? POINT(x + CELL / 10, y + CELL * 9 / 10) : POINT(x + CELL * 9 / 10, y + CELL / 10);
        lines.push_back(LINE { from, to });
        labels.push_back(DEMOLABEL { POINT(x + CELL / 5, y + CELL / 2), "R" + std::to_string(i + 1) });
        bounds |= BOX(x, y, x + CELL, y + CELL);
    }
}

void DEMODRAWING::draw(VGDVC& device, const BOX& area) const
{
    const GSTYLE wire(CELL / 50, RGB(0, 90, 160), NOCOLOUR);
    const TSTYLE label("Arial", CELL / 4, CELL / 5, RGB(120, 20, 20), 0);
    for (const LINE& line : lines)
        if (area.intersects(BOX(line.p1, line.p2)))
            device.drawline(line, wire);
    for (const DEMOLABEL& text : labels) {
        int32_t width = int32_t(text.text.size()) * label.width;
        BOX place(text.at.x, text.at.y - label.height / 2, text.at.x + width, text.at.y + label.height / 2);
        if (area.intersects(place))
            device.drawtext(text.at, text.text.c_str(), 0, JUSTIFY_LEFT | JUSTIFY_MIDDLE, label);
    }
}
