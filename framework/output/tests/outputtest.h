#pragma once

// What the output tests share: a print mix-in that draws the demo editor's drawing.

#include "framework/output/applnprint.h"
#include "framework/tests/demoeditor/demodrawing.h"
#include "platform/casq/devices.h"

namespace outputtest {

class DEMOPRINT : public APPLNPRINT {
public:
    explicit DEMOPRINT(int cells = 40)
        : drawing(cells)
    {
    }
    void op_initocs(OCS& settings) override
    {
        if (!settings.initialised) {
            settings.initialised = 1;
            settings.colour_bpp = 1;
            settings.xcomp = settings.ycomp = 1;
            for (int& layer : settings.layers)
                layer = 1;
        }
        settings.area = drawing.extent();
        settings.scope = OCS_SCOPE_SHEET;
        settings.scope_emask = 1 << OCS_SCOPE_SHEET;
    }

    // The whole drawing at the chosen scale and turn, on one page.
    int op_drawocs(OCS& settings, VGDVC* device, char* filename) override
    {
        static constexpr long numerators[] = { 1, 2, 1, 1, 1 };
        static constexpr long denominators[] = { 1, 3, 2, 3, 4 };
        ++draws;
        lastpreview = settings.preview;
        if (filename)
            device->openoutput(filename);
        if (!device->begin())
            return 0;
        int rotation = settings.rot ? 900 : 0;
        if (settings.scale == OCS_SCALE_FIT)
            device->setmapping(1, 1, 1, rotation, settings.onlyshrink ? 2 : 1);
        else {
            int choice = settings.scale >= 0 && settings.scale < 5 ? settings.scale : 0;
            device->setmapping(numerators[choice], numerators[choice], denominators[choice], rotation, 0);
        }
        device->setwindow(drawing.extent());
        drawing.draw(*device, drawing.extent());
        device->end();
        return 1;
    }

    void op_generatesvg(OCS& settings, SSVGDVC* device, char* filename) override
    {
        op_drawocs(settings, device, filename);
    }

    DEMODRAWING drawing;
    int draws = 0;
    int lastpreview = -1;
};

} // namespace outputtest
