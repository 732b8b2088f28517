// The editor's graphics modes: 0 plain drawing, 1 double buffering, 2 OpenGL, 3 the other
// accelerated mode. The screen device offers the first two here, so a choice of the others falls
// back to double buffering while the mode asked for is still what the settings keep.

#include <cstdio>

#include "core/windows/registry.h"
#include "framework/appln/applnprocess.h"
#include "framework/context/applncontext.h"
#include "framework/editor/applneditor.h"
#include "platform/drelm/messageboxes.h"
#include "platform/tirsk/exceptionhandler.h"

namespace {

constexpr const char* DEFAULTMODE = "Default Graphics Mode";

void logmode(const char* format, const char* name, int mode)
{
    char line[160];
    std::snprintf(line, sizeof line, format, name, mode);
    excp.log(line);
}

} // namespace

int APPLNEDITOR::getcurrentgraphicsmode()
{
    if (!maindevice)
        return 0;
    if (maindevice->isopengl())
        return 2;
    if (maindevice->isdirect2d())
        return 3;
    return maindevice->isgdidoublebuffer() ? 1 : 0;
}

int APPLNEDITOR::getsupportedgraphicsmodes()
{
    if (!maindevice)
        return 3;
    int modes = 3;
    if (maindevice->testopenglsupport())
        modes |= 4;
    if (maindevice->testdirect2d())
        modes |= 8;
    if (maindevice->getmultisamplingmask())
        modes |= 16;
    return modes;
}

void APPLNEDITOR::applygraphicsmode(int mode)
{
    if (!maindevice)
        return;
    if (mode == 2 && maindevice->enableopengl())
        maindevice->setmultisampling(multisampling);
    else if (mode == 3)
        maindevice->enabledirect2d();
    // Plain drawing, or double buffering where an accelerated mode is not to be had.
    maindevice->setgdidoublebuffer(mode != 0 && !maindevice->isopengl() && !maindevice->isdirect2d());
}

void APPLNEDITOR::choosegraphicsmode()
{
    if (graphicsmode == -1) {
        MODULESCOPE scope(getprocess());
        graphicsmode = int(reg_getdw(nullptr, DEFAULTMODE, DWORD(-1)));
        if (graphicsmode < 0 || graphicsmode > 3) {
            graphicsmode = maindevice && maindevice->testdirect2d() ? 3 : 1;
            if (maindevice && maindevice->testopenglsupport())
                infbox(getapplnmessage(0xE008));
            reg_putval(nullptr, DEFAULTMODE, DWORD(graphicsmode));
        }
    }
    applygraphicsmode(graphicsmode);
    logmode("%s graphics mode: %i", getapplnname(), graphicsmode);
}

void APPLNEDITOR::setgraphicsmode(int mode)
{
    if (maindevice && mode == 2 && !maindevice->isopengl()) {
        if (maindevice->isdirect2d())
            maindevice->disabledirect2d();
        graphicsmode = 2;
        applygraphicsmode(2);
        infbox(getapplnmessage(0xE009));
    } else if (maindevice && mode == 2) {
        maindevice->setmultisampling(multisampling);
    } else if (maindevice && mode == 3 && !maindevice->isdirect2d()) {
        if (maindevice->isopengl())
            maindevice->disableopengl();
        graphicsmode = 3;
        applygraphicsmode(3);
        infbox(getapplnmessage(0xE00B));
    } else if (mode != 2 && mode != 3) {
        if (maindevice) {
            maindevice->disableopengl();
            maindevice->disabledirect2d();
            maindevice->setgdidoublebuffer(mode == 1);
        }
        graphicsmode = mode;
    }
    MODULESCOPE scope(getprocess());
    reg_putval(nullptr, DEFAULTMODE, DWORD(mode));
    logmode("%s new graphics mode: %i", getapplnname(), graphicsmode);
}
