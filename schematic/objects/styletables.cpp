#include "schematic/objects/styletables.h"

namespace {

constexpr COLORREF NONE = NOCOLOUR;
constexpr int THIN = 20320;
constexpr int NORMAL = 40640;

GSTYLE_ENTRY graphic(const char* name, int width, COLORREF line, COLORREF fill)
{
    return GSTYLE_ENTRY(name, GSTYLE(width, line, fill), XS_BUILTIN);
}

TSTYLE_ENTRY text(const char* name, const char* face, int height, int width, COLORREF colour)
{
    return TSTYLE_ENTRY(name, TSTYLE(face, height, width, colour, 0), XS_BUILTIN);
}

} // namespace

const GSTYLE_ENTRY builtingraphicstyles[BUILTINGRAPHICSTYLES + 1] = {
    graphic("COMPONENT", NORMAL, RGB(128, 0, 0), RGB(200, 200, 170)),
    graphic("PIN", NORMAL, RGB(128, 0, 0), NONE),
    graphic("PORT", NORMAL, RGB(0, 64, 0), NONE),
    graphic("MARKER", THIN, RGB(0, 0, 64), NONE),
    graphic("ACTUATOR", THIN, RGB(255, 0, 0), RGB(64, 0, 0)),
    graphic("INDICATOR", THIN, RGB(0, 255, 0), RGB(0, 64, 0)),
    graphic("VPROBE", THIN, RGB(0, 0, 192), NONE),
    graphic("IPROBE", THIN, RGB(0, 0, 192), NONE),
    graphic("TAPE", THIN, RGB(0, 0, 192), NONE),
    graphic("GENERATOR", THIN, RGB(0, 0, 192), NONE),
    graphic("TERMINAL", NORMAL, RGB(0, 64, 0), NONE),
    graphic("SUBCIRCUIT", 81280, RGB(0, 0, 128), RGB(200, 200, 170)),
    graphic("2D GRAPHIC", NORMAL, RGB(0, 0, 0), NONE),
    graphic("WIRE DOT", NORMAL, RGB(0, 64, 0), RGB(0, 64, 0)),
    graphic("WIRE", NORMAL, RGB(0, 64, 0), NONE),
    graphic("BUS WIRE", 152400, RGB(0, 0, 192), NONE),
    {},
};

const TSTYLE_ENTRY builtintextstyles[BUILTINTEXTSTYLES + 1] = {
    text("COMPONENT ID", DEFAULT_FONT_FACE, 381000, 203200, RGB(0, 0, 0)),
    text("SUBCKT ID", DEFAULT_FONT_FACE, 381000, 203200, RGB(0, 0, 0)),
    text("COMPONENT VALUE", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 0)),
    text("PROPERTIES", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 0)),
    text("TERMINAL LABEL", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 0)),
    text("WIRE LABEL", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 0)),
    text("SUBCKT NAME", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 0)),
    text("SCRIPT", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 0)),
    text("PIN NAME", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 0)),
    text("PIN NUMBER", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 0)),
    text("VPROBE LABEL", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 192)),
    text("IPROBE LABEL", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 192)),
    text("GENERATOR LABEL", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 192)),
    text("TAPE LABEL", DEFAULT_FONT_FACE, 254000, 203200, RGB(0, 0, 192)),
    text("ACTIVE READOUT", "Arial", 254000, 127000, RGB(0, 255, 0)),
    text("ACTIVE REGION", "Arial", 254000, 127000, RGB(0, 0, 192)),
    {},
};

XSTYLE_MANAGER<GSTYLE>& graphicstyles()
{
    static XSTYLE_MANAGER<GSTYLE> table;
    return table;
}

XSTYLE_MANAGER<TSTYLE>& textstyles()
{
    static XSTYLE_MANAGER<TSTYLE> table;
    return table;
}

void resetstyles()
{
    graphicstyles().reset(builtingraphicstyles, -1);
    textstyles().reset(builtintextstyles, -1);
}
