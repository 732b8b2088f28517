// The devices of the formats written by the suite's own writers: DXF, PostScript and the
// pen-plotter languages.

#include "platform/casq/devices.h"
#include "platform/casq/dxfwriter.h"
#include "platform/casq/epswriter.h"
#include "platform/casq/plotterwriter.h"

namespace {

constexpr double POINTSPERINCH = 72;

double plotterresolution(int language, int plotunits)
{
    if (language == PLOTTER_HI80) {
        return 200;
    }
    if (language == PLOTTER_DMPL) {
        return 1000;
    }
    return plotunits > 0 ? plotunits / 25.0 : 1016;
}

} // namespace

DXDVC::DXDVC(const char* devicetext, long upi, int option)
    : VGDVC(upi, option & 1 ? 1.0 : 25.4, RGB(255, 255, 255), 0)
    , writer(std::make_unique<casq::DXFWRITER>(option & 1 ? 1.0 : 25.4))
{
}

DXDVC::~DXDVC() = default;

unsigned DXDVC::getcaps() const
{
    return DC_FILLS;
}

casq::RENDERER* DXDVC::startpage(double width, double height)
{
    writer->setfile(&pagefile(getpage()));
    return writer.get();
}

PSDVC::PSDVC(const char* devicetext, const char* title, int eps, long upi, int deviceoption)
    : VGDVC(upi, POINTSPERINCH, RGB(255, 255, 255), 0)
    , writer(std::make_unique<casq::EPSWRITER>(
          title ? title : "", eps != 0, !(deviceoption & DEVICEOPTION_TEXT)))
    , encapsulated(eps != 0)
{
}

PSDVC::~PSDVC() = default;

unsigned PSDVC::getcaps() const
{
    return DC_FILLS | DC_BITMAPS;
}

casq::RENDERER* PSDVC::startpage(double width, double height)
{
    writer->setfile(&pagefile(encapsulated ? getpage() : 1));
    return writer.get();
}

void PSDVC::finishdocument()
{
    writer->finishdocument();
}

PPDVC::PPDVC(int code, int plotunits, HDC dc, int plotoption, long upi)
    : VGDVC(upi, plotterresolution(code, plotunits), RGB(255, 255, 255), 0)
    , writer(std::make_unique<casq::PLOTTERWRITER>(code, plotterresolution(code, plotunits), plotoption & 1))
    , language(code)
    , printer(dc)
{
}

PPDVC::~PPDVC() = default;

unsigned PPDVC::getcaps() const
{
    // Only HP-GL fills; DM/PL plotters draw outlines.
    return language == PLOTTER_HPGL || language == PLOTTER_HPGLCENTRED ? DC_FILLS : 0;
}

int PPDVC::needspaperchange()
{
    return printer != nullptr;
}

casq::RENDERER* PPDVC::startpage(double width, double height)
{
    writer->setfile(&output);
    return writer.get();
}

void PPDVC::finishdocument()
{
    writer->finishdocument();
}
