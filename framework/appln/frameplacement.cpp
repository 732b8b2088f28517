// Where a frame stands: its placement kept per monitor, and its element of the workspace with the
// windows it holds.

#include <QByteArray>
#include <cstdio>
#include <cstring>

#include "core/windows/windowpos.h"
#include "framework/appln/applnframe.h"
#include "framework/appln/applnprocess.h"
#include "framework/context/windowmessages.h"
#include "framework/xml/xmlelement.h"
#include "platform/win/messagequeue.h"
#include "platform/win/modules.h"
#include "platform/win/window.h"

namespace {

// The name of a monitor's placement: its rectangle, not its work area.
struct MONITORKEY {
    explicit MONITORKEY(HMONITOR monitor)
    {
        MONITORINFO info {};
        info.cbSize = sizeof info;
        GetMonitorInfoA(monitor, &info);
        const RECT& area = info.rcMonitor;
        std::snprintf(text, sizeof text, "Monitor_%d_%d_%d_%d", static_cast<int>(area.left),
            static_cast<int>(area.top), static_cast<int>(area.right), static_cast<int>(area.bottom));
    }
    char text[64];
};

} // namespace

void APPLNFRAME::savewindowplacement(HMONITOR monitor)
{
    if (!monitor || !process || process->numframesonmonitor(monitor) != 1)
        return;
    MODULESCOPE scope(process);
    savewindowpos(hwnd, MONITORKEY(monitor).text);
}

int APPLNFRAME::restorewindowplacement(HMONITOR monitor)
{
    if (!hwnd)
        return 0;
    if (!monitor)
        monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY);
    MODULESCOPE scope(process);
    return loadwindowpos(hwnd, MONITORKEY(monitor).text);
}

int APPLNFRAME::savesettings(XML::ELEMENT& element)
{
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    GetWindowPlacement(hwnd, &placement);
    element.setbinary("PLACEMENT", QByteArray(reinterpret_cast<const char*>(&placement), sizeof placement));
    element.setinteger("activewindow", windows.find(active));
    for (APPLNWINDOW* window : windows) {
        XML::ELEMENT child = element.appendchild("WINDOW");
        child.setattribute("type", window->getwindowtype());
        APPLNMODULE* module = window->getparentmodule();
        child.setattribute("module", module ? module->getapplnname() : "");
        window->savesettings(child);
    }
    return 1;
}

int APPLNFRAME::loadsettings(XML::ELEMENT& element)
{
    QByteArray bytes;
    if (element.getbinary("PLACEMENT", bytes) && bytes.size() == sizeof(WINDOWPLACEMENT)) {
        WINDOWPLACEMENT placement {};
        std::memcpy(&placement, bytes.constData(), sizeof placement);
        SetWindowPlacement(hwnd, &placement);
    }
    int restored = 0;
    for (QDomElement each = element.firstChildElement("WINDOW"); !each.isNull();
         each = each.nextSiblingElement("WINDOW")) {
        XML::ELEMENT child(each);
        if (!child.hasAttribute("module") || !process)
            continue;
        const QByteArray name = child.attribute("module").toUtf8();
        // A name the file gives loads only a module the program has: one it lacks would end the run.
        if (!process->findmodule(name.constData()) && !moduleexists(name.constData()))
            continue;
        IMODULE* found = process->getmoduleinterface(name.constData(), 0);
        auto* module = found ? static_cast<APPLNMODULE*>(static_cast<IWINDOWMODULE*>(found)) : nullptr;
        APPLNWINDOW* window = module ? module->restorewindow(this, child) : nullptr;
        if (!window)
            continue;
        module->pumpmessages(window, 0);
        ++restored;
    }
    if (!restored)
        return 0;
    const int index = element.getinteger("activewindow", -1);
    PostMessageA(hwnd, WM_SELECTWINDOW, reinterpret_cast<WPARAM>(hwnd),
        MAKELPARAM(index >= 0 && index < windows.count ? index : 0, 0xFFFF));
    return 1;
}
