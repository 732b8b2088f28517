// The print command and one print job, with its status form.

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "core/text/strutil.h"
#include "framework/context/applncontext.h"
#include "framework/output/applnprint.h"
#include "framework/output/outputform.h"
#include "framework/output/outputmessages.h"
#include "platform/casq/devices.h"
#include "platform/casq/printing.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/globalmemory.h"
#include "platform/win/input.h"
#include "platform/win/winerror.h"

FORM* APPLNPRINT::printmsgbox = nullptr;
CONTROL* APPLNPRINT::printstatus = nullptr;

namespace {

constexpr long UNITSPERINCH = 2540000;

// Lets the user interface go on (and the status form's Cancel be pressed) during a job.
void dispatchpending()
{
    QCoreApplication::processEvents();
}

} // namespace

void APPLNPRINT::op_print_setup(const char* docname, FORMPROC callback)
{
    if ((!devnames || !devmode) && !getqjprinter(&devnames, &devmode)) {
        error(MSG_NOPRINTER);
        return;
    }
    op_initocs(ocs);
    setoutputfilename(ocs.filename, docname, "PRN");
    FORM form(GetActiveWindow(), "OP_PRINT", printdlghlr);
    if (form.open(DLG_MODAL, LT_VARARGS, &devnames, &devmode, this, &ocs, "Printer Files/*.prn/All Files/*.*",
            callback)
        == IDOK)
        op_print(docname, ocs);
}

int APPLNPRINT::op_print(const char* docname, OCS& settings)
{
    if ((!devnames || !devmode) && !getqjprinter(&devnames, &devmode)) {
        error(MSG_NOPRINTER);
        return 0;
    }
    HDC dc = getcontext(0, 1);
    if (!dc) {
        auto* names = static_cast<const DEVNAMES*>(GlobalLock(devnames));
        errorbox(getapplnmessage(MSG_NOPRINTERCONTEXT), reinterpret_cast<const char*>(names) + names->wDeviceOffset,
            (unsigned long)GetLastError());
        GlobalUnlock(devnames);
        return 0;
    }
    char title[1024];
    std::snprintf(title, sizeof title, "%s - %s", getapplntitle() ? getapplntitle() : "", docname ? docname : "");
    title[utf8prefix(title, 255)] = 0;
    DOCINFOA document {};
    document.cbSize = sizeof document;
    document.lpszDocName = title;
    document.lpszOutput = settings.tofile ? settings.filename : nullptr;
    int job = StartDocA(dc, &document);
    if (job <= 0) {
        errorbox(getapplnmessage(MSG_STARTDOCFAILED), job, (unsigned long)GetLastError());
        DeleteDC(dc);
        return 0;
    }
    std::unique_ptr<VGDVC> device;
    if (settings.qjplotter)
        device = std::make_unique<PPDVC>(PLOTTER_HPGL, plotunits, dc, plotoption, UNITSPERINCH);
    else
        device = std::make_unique<WPDVC>(dc, settings.invert ? RGB(0, 0, 0) : RGB(255, 255, 255), UNITSPERINCH);
    RECT area { 0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES) };
    device->setarea(area, tagPOINT { LONG(settings.ocx), LONG(settings.ocy) });
    device->setcompensation(settings.xcomp > 0 ? settings.xcomp : 1, settings.ycomp > 0 ? settings.ycomp : 1);
    prompt(MSG_PRINTING);
    openprintstatus(GetActiveWindow(), dc);
    setprintstatus(getapplnmessage(MSG_GENOUTPUT));
    FDIERRORHANDLER previous = fdi_seterrorhandler(op_fdierror);
    op_drawocs(settings, device.get(), nullptr);
    setprintstatus(getapplnmessage(MSG_ENDOFDOCUMENT));
    // A job the user cancelled, or whose drawing failed, is dropped rather than half printed.
    bool cancelled = printmsgbox && printmsgbox->getstate() != FS_RUNNING;
    int code = device->closeoutput();
    int ended = code == FDI_OK && !cancelled ? EndDoc(dc) : AbortDoc(dc);
    fdi_seterrorhandler(previous);
    bool printed = code == FDI_OK && !cancelled && ended > 0;
    if (printed)
        setprintstatus(getapplnmessage(MSG_PRINTCOMPLETE));
    closeprintstatus();
    if (code == FDI_OK && !cancelled && ended <= 0)
        errorbox(getapplnmessage(MSG_ENDDOCFAILED), ended);
    device.reset();
    DeleteDC(dc);
    return printed ? 1 : 0;
}

void APPLNPRINT::openprintstatus(HWND owner, HDC)
{
    closeprintstatus();
    auto form = std::make_unique<FORM>(owner, "PRINTMSG");
    if (!form->open(DLG_MODELESS, LT_NONE))
        return;
    printmsgbox = form.release();
    printstatus = printmsgbox->getctrl("TEXT");
}

void APPLNPRINT::setprintstatus(const char* text)
{
    if (!printmsgbox)
        return;
    if (printstatus)
        printstatus->settext(text);
    dispatchpending();
}

void APPLNPRINT::closeprintstatus()
{
    delete printmsgbox;
    printmsgbox = nullptr;
    printstatus = nullptr;
}

int APPLNPRINT::printcbf(HDC, int code)
{
    dispatchpending();
    return (code == 0 || code == SP_OUTOFDISK) && printmsgbox && printmsgbox->getstate() == FS_RUNNING ? 1 : 0;
}
