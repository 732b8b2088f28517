#pragma once

// Where the output lies on a printer page, in printer pixels, and how the page maps onto the
// page preview's drawing area: the geometry behind the page preview control and its position
// dialog (dragging, the positioning commands, the numeric distances).
// Callers: the page preview control and the print form (framework/output).

#include "platform/win/geometry.h"

class PAGELAYOUT {
public:
    // Page size and the printer's unprintable margins; the output is kept on the page.
    void setpage(int width, int height, int left, int top, int right, int bottom);
    // The working margins are the printer's (1) or none (0).
    void setuseprintermargins(int use);
    int getuseprintermargins() const { return useprintermargins; }
    // The output size; a position of -1 keeps the position, else it is set and kept on the page.
    void setoutputsize(int x, int y, int width, int height);
    // The output's centre, from the printable area's top-left corner.
    void setoutputcentre(double cx, double cy);
    double outputcentrex() const;
    double outputcentrey() const;
    // Centres the output between the working margins.
    void centreoutput();
    // Keeps the output inside the page less the printer margins (the left and top edges win
    // over the right and bottom); non-zero when it moved.
    int clampoutput();
    // The output fully inside the working margins.
    bool fits() const;

    // The positioning commands: top, bottom, left, right between the working margins.
    void placetop();
    void placebottom();
    void placeleft();
    void placeright();
    // Moves the output by a page delta, kept between the working margins.
    void drag(int dx, int dy);
    // The output's distance from an edge ('L', 'T', 'R', 'B') and its setting from a distance,
    // kept between the near margin and the page less the output and the far margin.
    int distance(char edge) const;
    void setdistance(char edge, int pixels);

    // The drawing area in client pixels (the client area less 5 pixels each side): page points
    // map to it and back with the scale that shows the whole page.
    void setclient(int width, int height);
    tagPOINT toclient(tagPOINT page) const;
    tagPOINT topage(tagPOINT client) const;

    int pagewidth = 1;
    int pageheight = 1;
    RECT printermargins {};
    RECT margins {}; // the working margins: the printer's, or none
    int outx = 0;
    int outy = 0;
    int outwidth = 0;
    int outheight = 0;

private:
    void recompute();

    int useprintermargins = 1;
    int areawidth = 1;
    int areaheight = 1;
    int scalepage = 1; // the page pixels of scalearea client pixels
    int scalearea = 1;
};
