#include "platform/casq/vgdvc.h"

#include <algorithm>
#include <cmath>

#include "platform/casq/mapping.h"

using casq::DPOINT;

namespace {

// The exact middle of a box, unrounded.
void middle(const BOX& box, double& x, double& y)
{
    x = (double(box.x1) + double(box.x2)) / 2;
    y = (double(box.y1) + double(box.y2)) / 2;
}

} // namespace

VGDVC::VGDVC(long upi, double dpi, COLORREF colour, int erase)
    : background(colour & DF_COLOURMASK)
    , eraseonpage(erase != 0)
    , unitsperinch(upi > 0 ? upi : 2540000)
    , deviceperinch(dpi > 0 ? dpi : 1)
    , map(std::make_unique<casq::MAPPING>())
{
    remap();
}

VGDVC::~VGDVC()
{
    if (ended && !closed) {
        closeoutput();
    }
}

int VGDVC::begin()
{
    begun = true;
    ended = false;
    closed = false;
    page = 1;
    pass = 1;
    return geterror() == FDI_OK;
}

int VGDVC::end()
{
    if (!begun || ended) {
        return geterror() == FDI_OK;
    }
    if (pageopen || page == 1) {
        // A document has at least one page, drawn on or not.
        active();
        closepage();
    }
    if (!cannotdraw()) {
        finishdocument();
    }
    ended = true;
    return geterror() == FDI_OK;
}

int VGDVC::openoutput(const char* filename)
{
    if (filename && *filename) {
        output.settarget(filename);
    }
    return geterror();
}

int VGDVC::closeoutput()
{
    if (begun && !ended) {
        end();
    }
    if (!closed) {
        closed = true;
        if (output.hastarget() && geterror() == FDI_OK) {
            output.commit();
        }
        for (auto& file : pagefiles) {
            if (geterror() == FDI_OK) {
                file->commit();
            }
        }
        onclosed(geterror());
    }
    return geterror();
}

void VGDVC::abort()
{
    output.abort();
    for (auto& file : pagefiles) {
        file->abort();
    }
}

int VGDVC::geterror() const
{
    if (output.geterror() != FDI_OK) {
        return output.geterror();
    }
    for (const auto& file : pagefiles) {
        if (file->geterror() != FDI_OK) {
            return file->geterror();
        }
    }
    return FDI_OK;
}

void VGDVC::enddrawing()
{
    end();
}

casq::OUTPUTFILE& VGDVC::pagefile(int number)
{
    if (number <= 1) {
        return output;
    }
    pagefiles.push_back(std::make_unique<casq::OUTPUTFILE>(casq::pagefilename(output.gettarget(), number)));
    return *pagefiles.back();
}

int VGDVC::nextpass()
{
    return 0;
}

void VGDVC::endpage()
{
    if (!begun || ended) {
        return;
    }
    active();
    closepage();
    ++page;
}

void VGDVC::closepage()
{
    if (!pageopen) {
        return;
    }
    pageopen = false;
    if (current) {
        current->endpage();
        current = nullptr;
    }
    finishpage();
    pass = 1;
}

int VGDVC::needspaperchange()
{
    return 0;
}

bool VGDVC::cannotdraw() const
{
    return geterror() != FDI_OK;
}

casq::RENDERER* VGDVC::active()
{
    if (cannotdraw()) {
        return nullptr;
    }
    if (!pageopen) {
        DPOINT size = pagesize();
        current = startpage(size.x, size.y);
        pageopen = true;
        if (current) {
            current->beginpage(size.x, size.y, background, eraseonpage);
            if (clipbox.isvalid()) {
                setclipbox(clipbox);
            }
        }
    }
    return current;
}

int VGDVC::setmapping(long xscale, long yscale, long units, int mirror)
{
    if (xscale <= 0 || yscale <= 0 || units <= 0) {
        return 0;
    }
    xnum = xscale;
    ynum = yscale;
    denominator = units;
    rotation = 0;
    flip = mirror != 0;
    fitmode = 0;
    fitfactor = 1;
    remap();
    return 1;
}

int VGDVC::setmapping(long xscale, long yscale, long units, int turn, int fit)
{
    if (!setmapping(xscale, yscale, units, 0)) {
        return 0;
    }
    rotation = turn;
    fitmode = fit;
    remap();
    return 1;
}

void VGDVC::setwindow(const BOX& world)
{
    window = world;
    hasorigin = false;
    if (fitmode) {
        fittopage(world, fitmode == 2);
        return;
    }
    remap();
}

void VGDVC::fittopage(const BOX& world, int onlyshrink)
{
    window = world;
    hasorigin = false;
    fitfactor = 1;
    remap();
    if (world.isvoid() || !hasarea) {
        return;
    }
    DPOINT natural = map->extent(double(world.width()), double(world.height()));
    double width = double(area.right) - area.left;
    double height = double(area.bottom) - area.top;
    double factor = 0;
    if (natural.x > 0 && natural.y > 0) {
        factor = std::min(width / natural.x, height / natural.y);
    } else if (natural.x > 0 || natural.y > 0) {
        factor = natural.x > 0 ? width / natural.x : height / natural.y;
    }
    if (factor > 0 && std::isfinite(factor)) {
        fitfactor = onlyshrink ? std::min(1.0, factor) : factor;
    }
    remap();
}

void VGDVC::setarea(const RECT& rect, tagPOINT centre)
{
    hasarea = rect.right > rect.left && rect.bottom > rect.top;
    area = rect;
    areacentre = centre;
    remap();
}

void VGDVC::setcompensation(double x, double y)
{
    auto held = [](double c) { return std::isfinite(c) && c > 0 ? std::clamp(c, 0.001, 100.0) : 1.0; };
    xcomp = held(x);
    ycomp = held(y);
    remap();
}

void VGDVC::setorigin(POINT world)
{
    setorigin(double(world.x), double(world.y));
}

void VGDVC::setorigin(double x, double y)
{
    originx = x;
    originy = y;
    hasorigin = true;
    remap();
}

POINT VGDVC::getorigin() const
{
    return POINT(clampcoord(std::llround(map->getoriginx())), clampcoord(std::llround(map->getoriginy())));
}

void VGDVC::remap()
{
    double unit = deviceperinch / double(unitsperinch);
    map->set(xnum / denominator * unit * xcomp * fitfactor, ynum / denominator * unit * ycomp * fitfactor,
        rotation, flip);
    double x = originx;
    double y = originy;
    if (!hasorigin) {
        middle(window.isvalid() ? window : BOX(0, 0, 0, 0), x, y);
    }
    map->setorigin(x, y);
    map->setanchor(anchor());
}

DPOINT VGDVC::anchor() const
{
    if (hasarea) {
        return DPOINT { double(areacentre.x), double(areacentre.y) };
    }
    DPOINT size = pagesize();
    return DPOINT { size.x / 2, size.y / 2 };
}

DPOINT VGDVC::pagesize() const
{
    if (hasarea) {
        return DPOINT { double(area.right) - area.left, double(area.bottom) - area.top };
    }
    DPOINT extent
        = window.isvoid() ? DPOINT {} : map->extent(double(window.width()), double(window.height()));
    return DPOINT { std::max(1.0, extent.x), std::max(1.0, extent.y) };
}

RECT VGDVC::pagearea() const
{
    if (hasarea) {
        return area;
    }
    DPOINT size = pagesize();
    return RECT { 0, 0, LONG(std::ceil(size.x)), LONG(std::ceil(size.y)) };
}

SIZE VGDVC::getextent() const
{
    if (window.isvoid()) {
        return SIZE { 0, 0 };
    }
    DPOINT size = map->extent(double(window.width()), double(window.height()));
    auto whole = [](double v) { return LONG(std::min(std::ceil(v - 1e-9), 1e9)); };
    return SIZE { whole(size.x), whole(size.y) };
}

void VGDVC::setbackground(COLORREF colour)
{
    background = colour & DF_COLOURMASK;
}

double VGDVC::brightness() const
{
    return (0.299 * GetRValue(background) + 0.587 * GetGValue(background) + 0.114 * GetBValue(background))
        / 255.0;
}

void VGDVC::setcolourmode(int mode)
{
    colourmode = std::clamp(mode, 0, 7);
}

void VGDVC::setdrawcolour(int index, DWORD word)
{
    if (index >= 1 && index <= 7) {
        drawcolours[index] = word;
    }
}

DWORD VGDVC::getdrawcolour(int index) const
{
    return index >= 0 && index <= 7 ? drawcolours[index] : 0;
}

void VGDVC::setdrawmode(int mode, int alpha)
{
    drawmode = mode == DRAWMODE_XOR ? DRAWMODE_XOR : DRAWMODE_COPY;
    drawalpha = std::clamp(alpha, 0, 255);
}

void VGDVC::beginlayer(int alpha, COLORREF colour)
{
    layeralpha = std::clamp(alpha, 0, 255);
}

void VGDVC::endlayer()
{
    layeralpha = 255;
}

void VGDVC::setclipbox(const BOX& world)
{
    clipbox = world;
    if (!pageopen || !current) {
        return;
    }
    if (world.isvoid()) {
        current->clip(nullptr);
        return;
    }
    DPOINT a = map->map(POINT(world.x1, world.y1));
    DPOINT b = map->map(POINT(world.x2, world.y2));
    casq::DRECT rect { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y) };
    current->clip(&rect);
}

BOX VGDVC::getclipbox() const
{
    RECT page = pagearea();
    double x1, y1, x2, y2;
    map->unmap(DPOINT { double(page.left), double(page.top) }, x1, y1);
    map->unmap(DPOINT { double(page.right), double(page.bottom) }, x2, y2);
    BOX shown(POINT(clampcoord(std::llround(x1)), clampcoord(std::llround(y1))),
        POINT(clampcoord(std::llround(x2)), clampcoord(std::llround(y2))));
    if (clipbox.isvalid()) {
        shown &= clipbox;
    }
    return shown;
}

double VGDVC::thinline() const
{
    return deviceperinch * 0.1 / 25.4; // a tenth of a millimetre
}

int VGDVC::isinteractive()
{
    return 0;
}

unsigned VGDVC::getcaps() const
{
    return DC_FILLS | DC_BITMAPS | DC_ALPHA;
}
