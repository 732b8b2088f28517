#include "platform/kelmar/textlayout.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "platform/casq/textmetrics.h"
#include "platform/casq/vgdvc.h"

namespace {

constexpr int HORIZONTALCODES[] = { JUSTIFY_LEFT, JUSTIFY_CENTRE, JUSTIFY_RIGHT };
constexpr int VERTICALCODES[] = { JUSTIFY_TOP, JUSTIFY_MIDDLE, JUSTIFY_BOTTOM };

int flipvertical(int justification)
{
    int vertical = justification & 0xC;
    int flipped = vertical == JUSTIFY_TOP ? JUSTIFY_BOTTOM : vertical == JUSTIFY_BOTTOM ? JUSTIFY_TOP : vertical;
    return (justification & ~0xC) | flipped;
}

int fliphorizontal(int justification)
{
    int horizontal = justification & 3;
    int flipped = horizontal == JUSTIFY_LEFT ? JUSTIFY_RIGHT : horizontal == JUSTIFY_RIGHT ? JUSTIFY_LEFT : horizontal;
    return (justification & ~3) | flipped;
}

int normalangle(int angle)
{
    angle %= 3600;
    return angle < 0 ? angle + 3600 : angle;
}

// Where line i of count stands relative to the anchor, before the turn, and how it is justified
// on its own.
POINT lineoffset(int i, int count, const TEXTPLACE& place, const TSTYLE& style)
{
    double pitch = LINEPITCH * style.height;
    double steps = 0;
    switch (place.justification & 0xC) {
    case JUSTIFY_TOP:
        steps = -i;
        break;
    case JUSTIFY_MIDDLE:
        steps = (count - 1) / 2.0 - i;
        break;
    default:
        steps = count - 1 - i;
        break;
    }
    return POINT(0, clampcoord(std::llround(steps * pitch)));
}

// The point turned by the angle (tenths of a degree) about the origin, rounded.
POINT turn(POINT p, int angle)
{
    if (angle % 900 == 0) {
        return CTS(POINT(), angle).turn(p);
    }
    double radians = angle * std::numbers::pi / 1800.0;
    double c = std::cos(radians);
    double s = std::sin(radians);
    return POINT(clampcoord(std::llround(p.x * c - p.y * s)), clampcoord(std::llround(p.x * s + p.y * c)));
}

bool shows(const std::string& line)
{
    return line.find_first_not_of(' ') != std::string::npos;
}

} // namespace

TEXTPLACE readable(const CTS& cts, int justification)
{
    bool mirrorx = cts.mirror_word & 1;
    bool mirrory = cts.mirror_word & 2;
    TEXTPLACE place;
    place.at = cts.offset();
    place.angle = normalangle(cts.angle + (mirrorx ? 1800 : 0));
    place.justification = mirrorx != mirrory ? flipvertical(justification) : justification;
    if (place.angle > 900 && place.angle <= 2700) {
        place.angle -= 1800;
        place.justification = fliphorizontal(flipvertical(place.justification));
    }
    place.angle = normalangle(place.angle);
    return place;
}

std::vector<std::string> shownlines(const char* text)
{
    std::vector<std::string> lines;
    if (!text) {
        return lines;
    }
    std::string line;
    bool hidden = false;
    bool hadbraces = false;
    for (const char* p = text;; ++p) {
        if (*p == '\n' || *p == '\0') {
            if (!(hadbraces && !shows(line)) && !(*p == '\0' && line.empty() && !hadbraces)) {
                lines.push_back(line);
            }
            if (*p == '\0') {
                break;
            }
            line.clear();
            hidden = false;
            hadbraces = false;
        } else if ((*p == '{' || *p == '}') && p[1] == *p) {
            if (!hidden) {
                line += *p;
            }
            ++p;
        } else if (*p == '{' || *p == '}') {
            hidden = *p == '{';
            hadbraces = true;
        } else if (!hidden && *p != '\r') {
            line += *p;
        }
    }
    return lines;
}

std::vector<std::string> plainlines(const char* text)
{
    std::vector<std::string> lines;
    std::string line;
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (*p != '\r') {
            line += *p;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

BOX linesbox(const std::vector<std::string>& lines, const TEXTPLACE& place, const TSTYLE& style)
{
    BOX area;
    int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
        BOX box = textbox(lines[i].c_str(), place.justification & 0xF, style);
        if (box.isvoid()) {
            continue;
        }
        POINT offset = lineoffset(i, count, place, style);
        for (POINT corner : { POINT(box.x1, box.y1), POINT(box.x2, box.y1), POINT(box.x1, box.y2), POINT(box.x2, box.y2) }) {
            area |= place.at + turn(corner + offset, place.angle);
        }
    }
    return area;
}

void drawlines(
    VGDVC* device, const std::vector<std::string>& lines, const TEXTPLACE& place, const TSTYLE& style, DWORD word)
{
    int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
        if (!lines[i].empty()) {
            POINT at = place.at + turn(lineoffset(i, count, place, style), place.angle);
            device->drawtext(at, lines[i].c_str(), place.angle, place.justification & 0xF, style, word);
        }
    }
}

int32_t boxdistance(const BOX& box, POINT p)
{
    if (box.isvoid()) {
        return std::numeric_limits<int32_t>::max();
    }
    int64_t dx = p.x < box.x1 ? int64_t(box.x1) - p.x : p.x > box.x2 ? int64_t(p.x) - box.x2 : 0;
    int64_t dy = p.y < box.y1 ? int64_t(box.y1) - p.y : p.y > box.y2 ? int64_t(p.y) - box.y2 : 0;
    return clampcoord(std::llround(std::hypot(double(dx), double(dy))));
}

int gethjust(int justification)
{
    for (int i = 0; i < 3; ++i) {
        if ((justification & 3) == HORIZONTALCODES[i]) {
            return i;
        }
    }
    return 0;
}

int getvjust(int justification)
{
    for (int i = 0; i < 3; ++i) {
        if ((justification & 0xC) == VERTICALCODES[i]) {
            return i;
        }
    }
    return 0;
}

int gettjust(int horizontal, int vertical)
{
    int h = horizontal >= 0 && horizontal < 3 ? HORIZONTALCODES[horizontal] : HORIZONTALCODES[0];
    int v = vertical >= 0 && vertical < 3 ? VERTICALCODES[vertical] : VERTICALCODES[0];
    return h | v;
}
