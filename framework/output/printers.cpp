// The printer of the process: chosen, remembered in the calling module's settings, and found again.

#include <cstdio>
#include <cstring>
#include <string>

#include "core/windows/registry.h"
#include "framework/context/applncontext.h"
#include "framework/output/applnprint.h"
#include "framework/output/outputmessages.h"
#include "platform/casq/printing.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/globalmemory.h"
#include "platform/win/input.h"

HGLOBAL APPLNPRINT::devnames = nullptr;
HGLOBAL APPLNPRINT::devmode = nullptr;

namespace {

constexpr const char* PRINTERSKEY = "Printers";
constexpr const char* LASTPRINTER = "Last Printer";

// The text at offset of a DEVNAMES block of size bytes; null when it does not lie inside it.
const char* devnamestext(const DEVNAMES* names, size_t size, WORD offset)
{
    if (offset < sizeof(DEVNAMES) || offset >= size)
        return nullptr;
    const char* text = reinterpret_cast<const char*>(names) + offset;
    return std::memchr(text, 0, size - offset) ? text : nullptr;
}

// The driver, device and output names of a block, checked; false for a damaged block.
struct NAMES {
    const char* driver = nullptr;
    const char* device = nullptr;
    const char* output = nullptr;
};

bool namesof(const DEVNAMES* names, size_t size, NAMES& out)
{
    if (!names || size < sizeof(DEVNAMES))
        return false;
    out.driver = devnamestext(names, size, names->wDriverOffset);
    out.device = devnamestext(names, size, names->wDeviceOffset);
    out.output = devnamestext(names, size, names->wOutputOffset);
    return out.driver && out.device && out.output;
}

// The value under which the printer's settings are kept: "<device> (<output>)", at most 199
// characters.
std::string settingsname(const NAMES& names)
{
    char name[200];
    std::snprintf(name, sizeof name, "%s (%s)", names.device, names.output);
    return name;
}

// Replaces what a handle holds.
void replace(HGLOBAL* handle, HGLOBAL block)
{
    if (*handle)
        GlobalFree(*handle);
    *handle = block;
}

// The remembered settings of the printer, when they still suit the driver's.
bool suits(const DEVMODEA& remembered, size_t size, const DEVMODEA& driver)
{
    return size >= sizeof(DEVMODEA) && remembered.dmSpecVersion == driver.dmSpecVersion
        && remembered.dmDriverVersion == driver.dmDriverVersion && remembered.dmSize == driver.dmSize
        && remembered.dmDriverExtra == driver.dmDriverExtra && size == size_t(remembered.dmSize) + remembered.dmDriverExtra;
}

// The names of a block the process made or checked.
NAMES trustednames(const DEVNAMES* names)
{
    const char* base = reinterpret_cast<const char*>(names);
    return { base + names->wDriverOffset, base + names->wDeviceOffset, base + names->wOutputOffset };
}

} // namespace

HGLOBAL APPLNPRINT::getdevmode(const DEVNAMES* names)
{
    if (!names)
        return nullptr;
    NAMES text = trustednames(names);
    HANDLE printer = nullptr;
    if (!OpenPrinterA(text.device, &printer, nullptr))
        return nullptr;
    HGLOBAL block = nullptr;
    LONG size = DocumentPropertiesA(nullptr, printer, text.device, nullptr, nullptr, 0);
    if (size >= LONG(sizeof(DEVMODEA)) && (block = GlobalAlloc(GMEM_MOVEABLE, size))) {
        auto* settings = static_cast<DEVMODEA*>(GlobalLock(block));
        LONG done = DocumentPropertiesA(nullptr, printer, text.device, settings, nullptr, DM_OUT_BUFFER);
        GlobalUnlock(block);
        if (done < 0) {
            GlobalFree(block);
            block = nullptr;
        }
    }
    ClosePrinter(printer);
    return block;
}

int APPLNPRINT::getqjsettings(const DEVNAMES* names, HGLOBAL* settings)
{
    HGLOBAL driver = getdevmode(names);
    std::string value = settingsname(trustednames(names));
    int size = reg_size(PRINTERSKEY, value.c_str());
    if (size <= 0) {
        *settings = driver;
        return 0;
    }
    HGLOBAL remembered = GlobalAlloc(GMEM_MOVEABLE, size);
    bool keep = false;
    if (void* bytes = remembered ? GlobalLock(remembered) : nullptr) {
        keep = reg_getbin(PRINTERSKEY, value.c_str(), bytes, size) == size && driver
            && suits(*static_cast<DEVMODEA*>(bytes), size_t(size), *static_cast<DEVMODEA*>(GlobalLock(driver)));
        if (driver)
            GlobalUnlock(driver);
        GlobalUnlock(remembered);
    }
    if (keep) {
        GlobalFree(driver);
        *settings = remembered;
    } else {
        if (remembered)
            GlobalFree(remembered);
        *settings = driver;
    }
    return 1;
}

int APPLNPRINT::getqjprinter(HGLOBAL* names, HGLOBAL* settings)
{
    int size = reg_size(PRINTERSKEY, LASTPRINTER);
    if (size > 0) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        auto* read = block ? static_cast<DEVNAMES*>(GlobalLock(block)) : nullptr;
        NAMES checked;
        HGLOBAL found = nullptr;
        if (read && reg_getbin(PRINTERSKEY, LASTPRINTER, read, size) == size && namesof(read, size_t(size), checked))
            getqjsettings(read, &found);
        if (read)
            GlobalUnlock(block);
        if (found) {
            replace(names, block);
            replace(settings, found);
            return 1;
        }
        if (block)
            GlobalFree(block);
    }
    return getdefprinter(names, settings);
}

int APPLNPRINT::setqjprinter(HGLOBAL names, HGLOBAL settings, int savelast)
{
    if (!names)
        return 0;
    auto* block = static_cast<const DEVNAMES*>(GlobalLock(names));
    if (savelast)
        reg_putbin(PRINTERSKEY, LASTPRINTER, block, int(GlobalSize(names)));
    if (settings) {
        std::string value = settingsname(trustednames(block));
        reg_putbin(PRINTERSKEY, value.c_str(), GlobalLock(settings), int(GlobalSize(settings)));
        GlobalUnlock(settings);
        char text[512];
        std::snprintf(text, sizeof text, getapplnmessage(MSG_PRINTERSAVED), value.c_str(), getapplnname());
        status(text);
    }
    GlobalUnlock(names);
    return 1;
}

int APPLNPRINT::getdefprinter(HGLOBAL* names, HGLOBAL* settings)
{
    PRINTDLGA dialog {};
    dialog.lStructSize = sizeof dialog;
    dialog.Flags = PD_RETURNDEFAULT;
    dialog.hInstance = getapplnlanguageinstance();
    int result = PrintDlgA(&dialog);
    if (result) {
        replace(names, dialog.hDevNames);
        replace(settings, dialog.hDevMode);
    }
    return result;
}

HDC APPLNPRINT::getcontext(int infoonly, int usedevmode)
{
    if ((!devnames || !devmode) && !getqjprinter(&devnames, &devmode))
        return nullptr;
    NAMES names = trustednames(static_cast<const DEVNAMES*>(GlobalLock(devnames)));
    const DEVMODEA* settings = usedevmode ? static_cast<const DEVMODEA*>(GlobalLock(devmode)) : nullptr;
    HDC dc = infoonly ? CreateICA(names.driver, names.device, names.output, settings)
                      : CreateDCA(names.driver, names.device, names.output, settings);
    if (settings)
        GlobalUnlock(devmode);
    GlobalUnlock(devnames);
    return dc;
}

int APPLNPRINT::op_printdlg(PRINTDLGA& dialog)
{
    if ((!devnames || !devmode) && !getqjprinter(&devnames, &devmode)) {
        error(MSG_NOPRINTER);
        return 0;
    }
    dialog.hInstance = getapplnlanguageinstance();
    if (!dialog.hDevNames)
        dialog.hDevNames = devnames;
    if (!dialog.hDevMode)
        dialog.hDevMode = devmode;
    if (!dialog.hwndOwner)
        dialog.hwndOwner = GetActiveWindow();
    int result = PrintDlgA(&dialog);
    devnames = dialog.hDevNames;
    devmode = dialog.hDevMode;
    return result;
}

int APPLNPRINT::op_printer_setup()
{
    PRINTDLGA dialog {};
    dialog.lStructSize = sizeof dialog;
    dialog.Flags = PD_PRINTSETUP;
    int result = op_printdlg(dialog);
    if (result)
        setqjprinter(devnames, devmode, 1);
    return result;
}

int APPLNPRINT::op_printer_reset()
{
    replace(&devnames, nullptr);
    replace(&devmode, nullptr);
    return 1;
}
