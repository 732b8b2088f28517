#include "platform/casq/printing.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>

#include "platform/casq/printerdc.h"
#include "platform/win/gdi.h"
#include "platform/win/globalmemory.h"
#include "platform/win/winerror.h"

using casq::PRINTERDC;
using casq::PRINTERINFO;

namespace {

// Printer handles of OpenPrinterA: the printer they name, kept until ClosePrinter.
struct OPENED {
    std::mutex mutex;
    std::set<PRINTERINFO*> live;
};

OPENED& opened()
{
    static OPENED* instance = new OPENED;
    return *instance;
}

PRINTERINFO* openedprinter(HANDLE handle)
{
    auto& all = opened();
    std::lock_guard lock(all.mutex);
    auto* printer = static_cast<PRINTERINFO*>(handle);
    return all.live.count(printer) ? printer : nullptr;
}

HDC createcontext(LPCSTR device, const DEVMODEA* settings, bool infoonly)
{
    std::optional<PRINTERINFO> printer = casq::findprinter(device);
    if (!printer) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return nullptr;
    }
    bool usable = settings && settings->dmSize == sizeof(DEVMODEA);
    return (new PRINTERDC(*printer, usable ? settings : nullptr, infoonly))->handle();
}

// The settings of a DEVMODE block when it is whole; none otherwise.
std::optional<DEVMODEA> settingsofblock(HGLOBAL block)
{
    if (GlobalSize(block) < sizeof(DEVMODEA)) {
        return std::nullopt;
    }
    DEVMODEA settings;
    std::memcpy(&settings, GlobalLock(block), sizeof settings);
    GlobalUnlock(block);
    if (settings.dmSize != sizeof(DEVMODEA)) {
        return std::nullopt;
    }
    return settings;
}

void replaceblocks(PRINTDLGA* dialog, const PRINTERINFO& printer, const DEVMODEA& settings)
{
    HGLOBAL names = casq::makedevnames(printer);
    HGLOBAL mode = casq::makedevmode(settings);
    if (!names || !mode) {
        GlobalFree(names);
        GlobalFree(mode);
        return;
    }
    GlobalFree(dialog->hDevNames);
    GlobalFree(dialog->hDevMode);
    dialog->hDevNames = names;
    dialog->hDevMode = mode;
}

} // namespace

BOOL PrintDlgA(PRINTDLGA* dialog)
{
    if (!dialog) {
        return FALSE;
    }
    if (dialog->Flags & PD_RETURNDEFAULT) {
        if (dialog->hDevNames || dialog->hDevMode) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        for (const PRINTERINFO& printer : casq::printers()) {
            if (printer.isdefault) {
                replaceblocks(dialog, printer, casq::defaultsettings(printer));
                return dialog->hDevNames != nullptr;
            }
        }
        return FALSE;
    }
    std::optional<PRINTERINFO> printer
        = dialog->hDevNames ? casq::printerofdevnames(dialog->hDevNames) : std::nullopt;
    if (!printer) {
        for (const PRINTERINFO& candidate : casq::printers()) {
            if (candidate.isdefault) {
                printer = candidate;
            }
        }
    }
    if (!printer || !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return FALSE;
    }
    PRINTERDC context(*printer, nullptr, true);
    if (std::optional<DEVMODEA> settings = settingsofblock(dialog->hDevMode)) {
        casq::applysettings(context.printer, *settings);
    }
    std::unique_ptr<QDialog> shown;
    if (dialog->Flags & PD_PRINTSETUP) {
        shown = std::make_unique<QPageSetupDialog>(&context.printer);
    } else {
        shown = std::make_unique<QPrintDialog>(&context.printer);
    }
    if (shown->exec() != QDialog::Accepted) {
        return FALSE;
    }
    std::string chosen = context.printer.outputFormat() == QPrinter::PdfFormat
        ? std::string(PDFPRINTER)
        : context.printer.printerName().toStdString();
    std::optional<PRINTERINFO> result = casq::findprinter(chosen.c_str());
    if (!result) {
        return FALSE;
    }
    replaceblocks(dialog, *result, casq::settingsof(context.printer, result->name));
    return TRUE;
}

HDC CreateDCA(LPCSTR, LPCSTR device, LPCSTR, const DEVMODEA* settings)
{
    return createcontext(device, settings, false);
}

HDC CreateICA(LPCSTR, LPCSTR device, LPCSTR, const DEVMODEA* settings)
{
    return createcontext(device, settings, true);
}

int StartDocA(HDC dc, const DOCINFOA* document)
{
    PRINTERDC* printer = PRINTERDC::of(dc);
    if (!printer || !document) {
        SetLastError(ERROR_INVALID_HANDLE);
        return SP_ERROR;
    }
    return printer->startdoc(*document);
}

int EndDoc(HDC dc)
{
    PRINTERDC* printer = PRINTERDC::of(dc);
    return printer ? printer->enddoc() : SP_ERROR;
}

int AbortDoc(HDC dc)
{
    PRINTERDC* printer = PRINTERDC::of(dc);
    return printer ? printer->abortdoc() : SP_ERROR;
}

int StartPage(HDC dc)
{
    PRINTERDC* printer = PRINTERDC::of(dc);
    return printer ? printer->startpage() : SP_ERROR;
}

int EndPage(HDC dc)
{
    PRINTERDC* printer = PRINTERDC::of(dc);
    return printer ? printer->endpage() : SP_ERROR;
}

BOOL OpenPrinterA(LPCSTR name, HANDLE* handle, void*)
{
    std::optional<PRINTERINFO> printer = casq::findprinter(name);
    if (!printer || !handle) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    auto* kept = new PRINTERINFO(*printer);
    auto& all = opened();
    std::lock_guard lock(all.mutex);
    all.live.insert(kept);
    *handle = kept;
    return TRUE;
}

BOOL ClosePrinter(HANDLE handle)
{
    auto& all = opened();
    std::lock_guard lock(all.mutex);
    auto* printer = static_cast<PRINTERINFO*>(handle);
    if (!all.live.erase(printer)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete printer;
    return TRUE;
}

LONG DocumentPropertiesA(HWND, HANDLE handle, LPCSTR, DEVMODEA* out, const DEVMODEA* in, DWORD mode)
{
    PRINTERINFO* printer = openedprinter(handle);
    if (!printer) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    if (!(mode & DM_OUT_BUFFER)) {
        return sizeof(DEVMODEA);
    }
    if (!out) {
        return -1;
    }
    PRINTERDC context(*printer, nullptr, true);
    if ((mode & DM_IN_BUFFER) && in && in->dmSize == sizeof(DEVMODEA)) {
        casq::applysettings(context.printer, *in);
    }
    *out = casq::settingsof(context.printer, printer->name);
    return IDOK;
}

int DeviceCapabilitiesA(LPCSTR device, LPCSTR, WORD capability, LPSTR, const DEVMODEA*)
{
    std::optional<PRINTERINFO> printer = casq::findprinter(device);
    if (!printer) {
        return -1;
    }
    switch (capability) {
    case DC_COPIES: {
        // A file takes one copy; a queue makes as many as asked.
        PRINTERDC context(*printer, nullptr, true);
        return printer->driver == "PDF" || !context.printer.supportsMultipleCopies() ? 1 : 999;
    }
    case DC_ORIENTATION:
        return 90;
    default:
        return -1;
    }
}

int getcolourdepth(HDC dc)
{
    return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
}
