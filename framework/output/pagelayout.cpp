// The geometry of the page preview.

#include "framework/output/pagelayout.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int BORDER = 5;

// A position between low and high, where low wins when they cross.
int between(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

} // namespace

void PAGELAYOUT::setpage(int width, int height, int left, int top, int right, int bottom)
{
    pagewidth = std::max(1, width);
    pageheight = std::max(1, height);
    printermargins = { left, top, right, bottom };
    recompute();
    clampoutput();
}

void PAGELAYOUT::setuseprintermargins(int use)
{
    useprintermargins = use;
    recompute();
}

void PAGELAYOUT::recompute()
{
    margins = useprintermargins ? printermargins : RECT {};
    setclient(areawidth + 2 * BORDER, areaheight + 2 * BORDER);
}

void PAGELAYOUT::setoutputsize(int x, int y, int width, int height)
{
    outwidth = width;
    outheight = height;
    if (x != -1 && y != -1) {
        outx = x;
        outy = y;
        clampoutput();
    }
}

void PAGELAYOUT::setoutputcentre(double cx, double cy)
{
    outx = int(margins.left - outwidth / 2 + cx);
    outy = int(margins.top - outheight / 2 + cy);
}

double PAGELAYOUT::outputcentrex() const
{
    return outx + outwidth / 2 - margins.left;
}

double PAGELAYOUT::outputcentrey() const
{
    return outy + outheight / 2 - margins.top;
}

void PAGELAYOUT::centreoutput()
{
    outx = (margins.left - outwidth - margins.right + pagewidth) / 2;
    outy = (margins.top - outheight - margins.bottom + pageheight) / 2;
}

int PAGELAYOUT::clampoutput()
{
    int x = outx;
    int y = outy;
    outx = std::max<int>(printermargins.left, std::min<int>(outx, pagewidth - outwidth - printermargins.right));
    outy = std::max<int>(printermargins.top, std::min<int>(outy, pageheight - outheight - printermargins.bottom));
    return outx != x || outy != y;
}

bool PAGELAYOUT::fits() const
{
    return outx >= margins.left && outy >= margins.top && outx + outwidth <= pagewidth - margins.right
        && outy + outheight <= pageheight - margins.bottom;
}

void PAGELAYOUT::placetop()
{
    outy = margins.top;
}

void PAGELAYOUT::placebottom()
{
    outy = pageheight - outheight - margins.bottom;
}

void PAGELAYOUT::placeleft()
{
    outx = margins.left;
}

void PAGELAYOUT::placeright()
{
    outx = pagewidth - outwidth - margins.right;
}

void PAGELAYOUT::drag(int dx, int dy)
{
    outx = between(outx + dx, margins.left, pagewidth - outwidth - margins.right);
    outy = between(outy + dy, margins.top, pageheight - outheight - margins.bottom);
}

int PAGELAYOUT::distance(char edge) const
{
    switch (edge) {
    case 'L':
        return outx;
    case 'T':
        return outy;
    case 'R':
        return pagewidth - outwidth - outx;
    default:
        return pageheight - outheight - outy;
    }
}

void PAGELAYOUT::setdistance(char edge, int pixels)
{
    switch (edge) {
    case 'L':
        outx = pixels;
        break;
    case 'T':
        outy = pixels;
        break;
    case 'R':
        outx = pagewidth - outwidth - pixels;
        break;
    default:
        outy = pageheight - outheight - pixels;
        break;
    }
    // The margin at the edge measured from wins when the output does not fit.
    int xlow = margins.left;
    int xhigh = pagewidth - outwidth - margins.right;
    int ylow = margins.top;
    int yhigh = pageheight - outheight - margins.bottom;
    if (edge == 'R')
        outx = std::min(std::max(outx, xlow), xhigh);
    else if (edge == 'B')
        outy = std::min(std::max(outy, ylow), yhigh);
    else {
        outx = between(outx, xlow, xhigh);
        outy = between(outy, ylow, yhigh);
    }
}

void PAGELAYOUT::setclient(int width, int height)
{
    areawidth = std::max(1, width - 2 * BORDER);
    areaheight = std::max(1, height - 2 * BORDER);
    if (pageheight / areaheight < pagewidth / areawidth) {
        scalepage = pagewidth;
        scalearea = areawidth;
    } else {
        scalepage = pageheight;
        scalearea = areaheight;
    }
    scalepage = std::max(1, scalepage);
    scalearea = std::max(1, scalearea);
}

tagPOINT PAGELAYOUT::toclient(tagPOINT page) const
{
    return { LONG(int64_t(page.x) * scalearea / scalepage + BORDER),
        LONG(int64_t(page.y) * scalearea / scalepage + BORDER) };
}

tagPOINT PAGELAYOUT::topage(tagPOINT client) const
{
    return { LONG(int64_t(client.x - BORDER) * scalepage / scalearea),
        LONG(int64_t(client.y - BORDER) * scalepage / scalearea) };
}
