#include <gtest/gtest.h>

#include <functional>

#include "core/windows/registry.h"
#include "framework/output/outputform.h"
#include "framework/output/tests/outputtest.h"
#include "platform/casq/printing.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/globalmemory.h"
#include "platform/win/winreg.h"

using outputtest::DEMOPRINT;

namespace {

constexpr unsigned ALWAYSCOLOUR = 208;

struct OutputForm : drelmtest::Started, testing::Test {
    DEMOPRINT print;

    OutputForm()
    {
        reg_init(HKEY_CURRENT_USER, "Software\\Venthorne Electronics\\Output Form Tests");
        reg_removevalue(nullptr, "Always Enable Printer Colour");
        print.op_printer_reset();
        print.op_initocs(print.ocs);
    }
    ~OutputForm() override { print.op_printer_reset(); }

    // The default printer, in colour or black and white.
    void printer(bool colour)
    {
        ASSERT_TRUE(APPLNPRINT::getdefprinter(&APPLNPRINT::devnames, &APPLNPRINT::devmode));
        auto* settings = static_cast<DEVMODEA*>(GlobalLock(APPLNPRINT::devmode));
        settings->dmFields |= DM_COLOR;
        settings->dmColor = colour ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
        GlobalUnlock(APPLNPRINT::devmode);
    }

    // Runs the print form, acts on it once it is up, and answers how it ended.
    int run(const std::function<void(FORM&)>& act, int ending)
    {
        FORM form(nullptr, "OP_PRINT", printdlghlr);
        drelmtest::later([&] {
            act(form);
            form.end(ending);
        });
        return form.open(DLG_MODAL, LT_VARARGS, &APPLNPRINT::devnames, &APPLNPRINT::devmode, &print, &print.ocs,
            "Printer Files/*.prn/All Files/*.*", nullptr);
    }
};

int answeryes(HWND, const char*, const char*, UINT)
{
    return IDYES;
}

} // namespace

TEST_F(OutputForm, MonochromePrinterTurnsColourOffUntilAlwaysEnabled)
{
    printer(false);
    print.ocs.colour_bpp = 1;
    MESSAGEBOXHOOK previous = setmessageboxhook(answeryes);
    run(
        [&](FORM& form) {
            CONTROL* colour = form.getctrl("COLOURCBOX");
            ASSERT_NE(colour, nullptr);
            EXPECT_FALSE(colour->isenabled());
            EXPECT_FALSE(colour->ischecked());
            EXPECT_EQ(print.ocs.colour_bpp, 0);
            EXPECT_NE(form.getctrl("PRINTERINFO")->text().find("Mono."), std::string::npos);
            printdlghlr(form, DLGM_MENUCOMMAND, 0, ALWAYSCOLOUR);
            EXPECT_TRUE(colour->isenabled()) << "enabled once the user insists";
        },
        IDCANCEL);
    setmessageboxhook(previous);
    EXPECT_TRUE(reg_getbool(nullptr, "Always Enable Printer Colour", 0)) << "kept when the form closes";
}

TEST_F(OutputForm, ColourPrinterKeepsColourAndOkWritesTheChoicesBack)
{
    printer(true);
    print.ocs.colour_bpp = 1;
    print.ocs.scale = 2;
    int ended = run(
        [&](FORM& form) {
            EXPECT_TRUE(form.getctrl("COLOURCBOX")->isenabled());
            EXPECT_TRUE(form.getctrl("COLOURCBOX")->ischecked());
            EXPECT_EQ(form.getctrl("SCALE")->getvalue(), 2);
            form.getctrl("COLOURCBOX")->check(0);
        },
        IDOK);
    EXPECT_EQ(ended, IDOK);
    EXPECT_EQ(print.ocs.colour_bpp, 0) << "the box's state on OK";
    EXPECT_EQ(print.ocs.scale, 2);
    EXPECT_GT(print.ocs.ocx, 0) << "the output centred on the page";
}

TEST_F(OutputForm, FitToPageAloneEnablesOnlyShrink)
{
    printer(true);
    print.ocs.scale = 0;
    run(
        [&](FORM& form) {
            CONTROL* scale = form.getctrl("SCALE");
            CONTROL* shrink = form.getctrl("ONLYSHRINK");
            EXPECT_FALSE(shrink->isenabled());
            scale->setvalue(OCS_SCALE_FIT);
            printdlghlr(form, DLGM_COMMAND, scale->getid(), OCS_SCALE_FIT);
            EXPECT_TRUE(shrink->isenabled());
            scale->setvalue(1);
            printdlghlr(form, DLGM_COMMAND, scale->getid(), 1);
            EXPECT_FALSE(shrink->isenabled());
        },
        IDCANCEL);
}
