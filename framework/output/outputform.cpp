// The output form handler: the controls every output form may have, bound to the output settings
// and kept in step with the print form's printer.

#include "framework/output/outputform.h"

#include <cstring>
#include <strings.h>
#include <string>

#include "core/windows/registry.h"
#include "framework/context/applncontext.h"
#include "framework/output/applnprint.h"
#include "framework/output/outputmessages.h"
#include "platform/casq/printing.h"
#include "platform/drelm/control.h"
#include "platform/drelm/fileselector.h"
#include "platform/drelm/form.h"
#include "platform/drelm/messageboxes.h"
#include "platform/win/gdi.h"
#include "platform/win/globalmemory.h"
#include "platform/win/menu.h"
#include "platform/win/window.h"

namespace {

constexpr int ID_TOFILEPBTN = 157;
constexpr int ID_FILENAMEPBTN = 158;
constexpr int ID_PRINTERBUTTON = 161;
constexpr unsigned MENU_ALWAYSCOLOUR = 208;
constexpr unsigned MENU_ALWAYSPLOTTER = 209;
constexpr const char* ALWAYSCOLOUR = "Always Enable Printer Colour";
constexpr const char* ALWAYSPLOTTER = "Always Enable Plotter";

// What the print form knows of its printer.
struct PRINTERSTATE {
    std::string device;
    std::string output;
    int dpix = 0;
    int dpiy = 0;
    int physicalwidth = 0;
    int physicalheight = 0;
    int offsetx = 0;
    int offsety = 0;
    int rightmargin = 0;
    int bottommargin = 0;
    bool isfile = false;
    int colourbits = 0;
    bool plotter = false;
    int copies = -1;
    int maxcopies = 0;
    bool landscape = false;
    bool canturn = false;
};

// What the handler keeps for the life of the form.
struct FORMARGS {
    HGLOBAL* devnames = nullptr;
    HGLOBAL* devmode = nullptr;
    APPLNPRINT* print = nullptr;
    OCS* ocs = nullptr;
    const char* filter = nullptr;
    FORMPROC callback = nullptr;
    PRINTERSTATE printer;
    int alwayscolour = 0;
    int alwaysplotter = 0;
};

FORMARGS args;

DLGCODES tocallback(FORM& form, unsigned message, unsigned wparam, long lparam)
{
    return args.callback ? args.callback(form, message, wparam, lparam) : DLG_DEFAULT;
}

// The check boxes and radio groups bound to integer fields of the settings.
struct BINDING {
    const char* control;
    int OCS::*field;
};

constexpr BINDING bindings[] = {
    { "COLOURCBOX", &OCS::colour_bpp },
    { "COLOURSET", &OCS::colour_set },
    { "NUMCOLOURS", &OCS::colour_bpp },
    { "INVERTCBOX", &OCS::invert },
    { "QJPLOTTER", &OCS::qjplotter },
    { "SCALE", &OCS::scale },
    { "ONLYSHRINK", &OCS::onlyshrink },
    { "ROTATION", &OCS::rot },
    { "REFLECTION", &OCS::mir },
    { "TOFILECBOX", &OCS::tofile },
    { "SEPARATE", &OCS::separate },
};

int valueof(CONTROL* control)
{
    return control->getkind() == CK_CHECKBOX ? control->ischecked() : int(control->getvalue());
}

void setvalueof(CONTROL* control, int value)
{
    if (control->getkind() == CK_CHECKBOX)
        control->check(value != 0);
    else
        control->setvalue(value);
}

void showbindings(FORM& form)
{
    for (const BINDING& binding : bindings)
        if (CONTROL* control = form.getctrl(binding.control))
            setvalueof(control, args.ocs->*binding.field);
    if (CONTROL* x = form.getctrl("XCF"))
        x->setreal(args.ocs->xcomp);
    if (CONTROL* y = form.getctrl("YCF"))
        y->setreal(args.ocs->ycomp);
}

void takebindings(FORM& form)
{
    for (const BINDING& binding : bindings)
        if (CONTROL* control = form.getctrl(binding.control))
            args.ocs->*binding.field = valueof(control);
    int valid = 0;
    if (CONTROL* x = form.getctrl("XCF"); x && (x->getreal(&valid), valid))
        args.ocs->xcomp = float(x->getreal(&valid));
    if (CONTROL* y = form.getctrl("YCF"); y && (y->getreal(&valid), valid))
        args.ocs->ycomp = float(y->getreal(&valid));
}

void enable(FORM& form, const char* name, bool on)
{
    if (CONTROL* control = form.getctrl(name))
        control->enable(on);
}

// Copies and orientation into the printer's settings.
void writeprintersettings(FORM& form)
{
    if (!args.devmode || !*args.devmode)
        return;
    auto* settings = static_cast<DEVMODEA*>(GlobalLock(*args.devmode));
    if (CONTROL* copies = form.getctrl("COPIES"); copies && copies->isenabled()) {
        settings->dmCopies = SHORT(copies->getvalue());
        settings->dmFields |= DM_COPIES;
    }
    if (CONTROL* orientation = form.getctrl("ORIENTATION"); orientation && orientation->isenabled()) {
        settings->dmOrientation = orientation->getvalue() == 1 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        settings->dmFields |= DM_ORIENTATION;
    }
    GlobalUnlock(*args.devmode);
}

void plotterbox(FORM& form)
{
    CONTROL* box = form.getctrl("QJPLOTTER");
    if (!box)
        return;
    bool on = args.printer.plotter || args.alwaysplotter;
    box->enable(on);
    if (!on) {
        box->check(0);
        args.ocs->qjplotter = 0;
    }
}

void colourcontrols(FORM& form)
{
    int bits = args.printer.colourbits;
    bool colour = true;
    CONTROL* box = form.getctrl("COLOURCBOX");
    CONTROL* set = form.getctrl("COLOURSET");
    if (bits == 1 && !args.alwayscolour) {
        args.ocs->colour_set = 0;
        args.ocs->colour_bpp = 0;
        for (CONTROL* control : { box, set })
            if (control) {
                setvalueof(control, 0);
                control->enable(0);
            }
        colour = false;
    } else {
        for (CONTROL* control : { box, set })
            if (control)
                control->enable(1);
        if (box || set)
            colour = (box && box->ischecked()) || (set && set->getvalue() > 0);
    }
    if (CONTROL* depths = form.getctrl("NUMCOLOURS")) {
        // Choices: Mono., 16 colours, 256 colours, display.
        depths->enablechoice(0, bits != 0);
        depths->enablechoice(1, bits >= 8);
        depths->enablechoice(2, bits >= 16);
        depths->enablechoice(3, bits != 0);
        colour = bits != 0 && depths->getvalue() > 0;
    }
    enable(form, "COLOURGBOX", bits != 0);
    for (const char* name : { "BKCOLOUR", "BKCOLOURTEXT", "ERASEBKGND" })
        enable(form, name, colour);
}

void fitchoice(FORM& form)
{
    CONTROL* scale = form.getctrl("SCALE");
    enable(form, "ONLYSHRINK", scale && scale->getvalue() == OCS_SCALE_FIT);
}

void filenamedisplay(FORM& form)
{
    if (CONTROL* text = form.getctrl("FILENAMETEXT"))
        text->settext(args.ocs->filename);
    if (CONTROL* box = form.getctrl("TOFILECBOX"); box && box->isenabled())
        box->settext(args.ocs->filename);
}

void refreshprinter(FORM& form)
{
    if (!args.devnames || !*args.devnames)
        return;
    PRINTERSTATE& state = args.printer;
    auto* names = static_cast<const DEVNAMES*>(GlobalLock(*args.devnames));
    const char* base = reinterpret_cast<const char*>(names);
    state.device = base + names->wDeviceOffset;
    state.output = base + names->wOutputOffset;
    std::string driver = base + names->wDriverOffset;
    GlobalUnlock(*args.devnames);
    const DEVMODEA* settings = *args.devmode ? static_cast<const DEVMODEA*>(GlobalLock(*args.devmode)) : nullptr;
    state.copies = settings && (settings->dmFields & DM_COPIES) ? std::max<int>(1, settings->dmCopies) : 1;
    state.landscape = settings && (settings->dmFields & DM_ORIENTATION) && settings->dmOrientation != DMORIENT_PORTRAIT;
    HDC dc = CreateICA(driver.c_str(), state.device.c_str(), state.output.c_str(), settings);
    if (dc) {
        state.dpix = GetDeviceCaps(dc, LOGPIXELSX);
        state.dpiy = GetDeviceCaps(dc, LOGPIXELSY);
        state.physicalwidth = GetDeviceCaps(dc, PHYSICALWIDTH);
        state.physicalheight = GetDeviceCaps(dc, PHYSICALHEIGHT);
        state.offsetx = GetDeviceCaps(dc, PHYSICALOFFSETX);
        state.offsety = GetDeviceCaps(dc, PHYSICALOFFSETY);
        state.rightmargin = state.physicalwidth - state.offsetx - GetDeviceCaps(dc, HORZRES);
        state.bottommargin = state.physicalheight - state.offsety - GetDeviceCaps(dc, VERTRES);
        state.plotter = GetDeviceCaps(dc, TECHNOLOGY) == DT_PLOTTER;
        state.colourbits = state.plotter ? 0 : getcolourdepth(dc);
        DeleteDC(dc);
    }
    if (settings)
        GlobalUnlock(*args.devmode);
    state.isfile = strncasecmp(state.output.c_str(), "FILE", 4) == 0;
    state.maxcopies = DeviceCapabilitiesA(state.device.c_str(), state.output.c_str(), DC_COPIES, nullptr, nullptr);
    state.canturn = DeviceCapabilitiesA(state.device.c_str(), state.output.c_str(), DC_ORIENTATION, nullptr, nullptr) > 0;

    if (CONTROL* copies = form.getctrl("COPIES")) {
        copies->enable(state.maxcopies >= 2);
        if (state.maxcopies >= 2)
            copies->setrange(1, state.maxcopies);
        copies->setvalue(state.copies);
    }
    if (CONTROL* orientation = form.getctrl("ORIENTATION")) {
        orientation->setvalue(state.landscape ? 1 : 0);
        orientation->enable(state.canturn);
    }
    bool hasfilebutton = form.getctrl("FILENAMEPBTN") != nullptr;
    enable(form, "FILENAMEPBTN", state.isfile);
    if (CONTROL* tofile = form.getctrl("TOFILECBOX")) {
        args.ocs->tofile = state.isfile;
        tofile->check(state.isfile);
        tofile->enable(!state.isfile);
    }
    enable(form, "TOFILEGBOX", !(state.isfile && hasfilebutton));
    enable(form, "TOFILEPBTN", !(state.isfile && hasfilebutton));
    if (CONTROL* name = form.getctrl("PRINTERNAME")) {
        name->settext(state.device.c_str());
        name->settextcolour(RGB(0, 0, 128));
    }
    if (CONTROL* output = form.getctrl("OUTPUTNAME")) {
        std::string text = state.isfile && hasfilebutton ? "(FILE) (" + std::string(args.ocs->filename) + ")"
                                                         : "(" + state.output + ")";
        output->settext(text.c_str());
        output->settextcolour(RGB(0, 0, 128));
    }
    if (CONTROL* invert = form.getctrl("INVERTCBOX"); invert && state.plotter) {
        invert->check(0);
        invert->enable(0);
    }
    if (CONTROL* info = form.getctrl("PRINTERINFO")) {
        std::string text = std::string("(") + (state.colourbits == 1 ? "Mono." : "Colour") + " "
            + (state.plotter ? "vector" : "bitmap") + " device).";
        info->settext(text.c_str());
    }
    plotterbox(form);
}

void askfilename(FORM& form)
{
    char caption[100] = {};
    GetWindowTextA(form.gethwnd(), caption, sizeof caption);
    std::string title = std::string(caption) + " To";
    FILESELECTOR selector(title.c_str(), args.filter, nullptr, args.ocs->filename);
    if (selector.save(form.gethwnd())) {
        copyoutputname(args.ocs->filename, selector.getpath());
        if (CONTROL* tofile = form.getctrl("TOFILECBOX"); tofile && tofile->isenabled())
            tofile->check(1);
    }
    filenamedisplay(form);
}

void start(FORM& form)
{
    args.devnames = static_cast<HGLOBAL*>(form.nextarg());
    args.devmode = static_cast<HGLOBAL*>(form.nextarg());
    args.print = static_cast<APPLNPRINT*>(form.nextarg());
    args.ocs = static_cast<OCS*>(form.nextarg());
    args.filter = static_cast<const char*>(form.nextarg());
    args.callback = reinterpret_cast<FORMPROC>(form.nextarg());
    tocallback(form, DLGM_START, 0, long(reinterpret_cast<intptr_t>(args.ocs)));
    args.printer = PRINTERSTATE {};
    args.printer.colourbits = 24;
    args.alwayscolour = reg_getbool(nullptr, ALWAYSCOLOUR, 0);
    args.alwaysplotter = reg_getbool(nullptr, ALWAYSPLOTTER, 0);
    showbindings(form);
    if (args.devnames && !*args.devnames)
        APPLNPRINT::getdefprinter(args.devnames, args.devmode);
    refreshprinter(form);
    filenamedisplay(form);
    colourcontrols(form);
    fitchoice(form);
}

DLGCODES command(FORM& form, unsigned id, long state)
{
    CONTROL* control = form.getctrl(int(id));
    const char* name = control ? control->getname() : "";
    if (id == ID_TOFILEPBTN || id == ID_FILENAMEPBTN) {
        askfilename(form);
        return DLG_HANDLED;
    }
    if (id == ID_PRINTERBUTTON && args.devnames) {
        writeprintersettings(form);
        PRINTDLGA dialog {};
        dialog.lStructSize = sizeof dialog;
        dialog.Flags = PD_PRINTSETUP;
        dialog.hwndOwner = form.gethwnd();
        dialog.hDevNames = *args.devnames;
        dialog.hDevMode = *args.devmode;
        if (PrintDlgA(&dialog)) {
            *args.devnames = dialog.hDevNames;
            *args.devmode = dialog.hDevMode;
        }
        refreshprinter(form);
        return DLG_HANDLED;
    }
    if (!strcasecmp(name, "ORIENTATION")) {
        writeprintersettings(form);
        refreshprinter(form);
        fitchoice(form);
        return DLG_HANDLED;
    }
    if (!strcasecmp(name, "COLOURCBOX") || !strcasecmp(name, "NUMCOLOURS")) {
        colourcontrols(form);
        return DLG_HANDLED;
    }
    if (!strcasecmp(name, "ERASEBKGND") && state == 0) {
        errbox(getapplnmessage(MSG_TRANSPARENT));
        return DLG_HANDLED;
    }
    if (tocallback(form, DLGM_COMMAND, id, state) == DLG_HANDLED)
        return DLG_HANDLED;
    fitchoice(form);
    return DLG_HANDLED;
}

void menucommand(FORM& form, unsigned item)
{
    if (item == MENU_ALWAYSCOLOUR) {
        if (args.alwayscolour || yesno(getapplnmessage(MSG_ASKCOLOUR)))
            args.alwayscolour = !args.alwayscolour;
        colourcontrols(form);
    } else if (item == MENU_ALWAYSPLOTTER) {
        if (args.alwaysplotter || yesno(getapplnmessage(MSG_ASKPLOTTER)))
            args.alwaysplotter = !args.alwaysplotter;
        plotterbox(form);
    }
}

} // namespace

DLGCODES printdlghlr(FORM& form, unsigned message, unsigned wparam, long lparam)
{
    switch (message) {
    case DLGM_START:
        start(form);
        return DLG_DEFAULT;
    case DLGM_COMMAND:
        return command(form, wparam, lparam);
    case DLGM_UPDATE:
        if (!args.callback || args.callback(form, message, wparam, lparam) == DLG_HANDLED)
            return DLG_DEFAULT;
        colourcontrols(form);
        fitchoice(form);
        return DLG_DEFAULT;
    case DLGM_POPUPMENU:
        CheckMenuItem(HMENU(lparam), MENU_ALWAYSCOLOUR, args.alwayscolour ? MF_CHECKED : MF_UNCHECKED);
        CheckMenuItem(HMENU(lparam), MENU_ALWAYSPLOTTER, args.alwaysplotter ? MF_CHECKED : MF_UNCHECKED);
        return DLG_DEFAULT;
    case DLGM_MENUCOMMAND:
        menucommand(form, unsigned(lparam));
        return DLG_HANDLED;
    case DLGM_CLOSING:
        if (DLGCODES answer = tocallback(form, message, wparam, lparam); answer == DLG_HANDLED)
            return answer;
        writeprintersettings(form);
        reg_putbool(nullptr, ALWAYSCOLOUR, args.alwayscolour);
        reg_putbool(nullptr, ALWAYSPLOTTER, args.alwaysplotter);
        if (wparam == IDOK)
            takebindings(form);
        args.ocs->ocx = args.printer.physicalwidth / 2.0 - args.printer.offsetx;
        args.ocs->ocy = args.printer.physicalheight / 2.0 - args.printer.offsety;
        return DLG_DEFAULT;
    default:
        return tocallback(form, message, wparam, lparam);
    }
}
