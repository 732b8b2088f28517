#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/casq/devices.h"
#include "platform/casq/printing.h"
#include "platform/win/gdi.h"
#include "platform/win/globalmemory.h"
#include "platform/win/winerror.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr long UPI = 2540000;
constexpr int MM = 100000;

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

DEVMODEA landscapea4()
{
    DEVMODEA settings {};
    settings.dmSize = sizeof settings;
    settings.dmFields = DM_ORIENTATION | DM_PAPERSIZE;
    settings.dmOrientation = DMORIENT_LANDSCAPE;
    settings.dmPaperSize = DMPAPER_A4;
    return settings;
}

// Prints two sheets of a box and a label through the printer device, as the print run does.
int printtwosheets(HDC dc)
{
    WPDVC device(dc, RGB(255, 255, 255), UPI);
    RECT area { 0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES) };
    device.setarea(area, tagPOINT { area.right / 2, area.bottom / 2 });
    device.begin();
    device.setmapping(1, 1, 1, 0, 0);
    for (int sheet = 1; sheet <= 2; ++sheet) {
        device.setwindow(BOX(0, 0, 100 * MM, 50 * MM));
        device.drawbox(BOX(0, 0, 100 * MM, 50 * MM), GSTYLE(MM / 2, RGB(0, 0, 128), RGB(200, 200, 170)));
        device.drawtext(POINT(50 * MM, 25 * MM), sheet == 1 ? "Sheet one" : "Sheet two", 0,
            JUSTIFY_CENTRE | JUSTIFY_MIDDLE, TSTYLE("Arial", 8 * MM, int(6.4 * MM), 0, 0));
        device.endpage();
    }
    device.end();
    return device.closeoutput();
}

} // namespace

TEST(Printing, DefaultPrinterComesAsTwoBlocks)
{
    PRINTDLGA dialog {};
    dialog.lStructSize = sizeof dialog;
    dialog.Flags = PD_RETURNDEFAULT;
    ASSERT_TRUE(PrintDlgA(&dialog));
    ASSERT_GE(GlobalSize(dialog.hDevMode), sizeof(DEVMODEA));
    auto* names = static_cast<DEVNAMES*>(GlobalLock(dialog.hDevNames));
    ASSERT_NE(names, nullptr);
    const char* base = reinterpret_cast<const char*>(names);
    std::string device = base + names->wDeviceOffset;
    EXPECT_FALSE(device.empty());
    EXPECT_EQ(names->wDefault, DN_DEFAULTPRN);
    auto* settings = static_cast<DEVMODEA*>(GlobalLock(dialog.hDevMode));
    EXPECT_EQ(settings->dmSize, sizeof(DEVMODEA));
    EXPECT_EQ(settings->dmDriverVersion, PRINTERDRIVERVERSION);
    EXPECT_STREQ(reinterpret_cast<const char*>(settings->dmDeviceName), device.c_str());
    EXPECT_TRUE(settings->dmFields & DM_ORIENTATION);
    GlobalUnlock(dialog.hDevMode);
    GlobalUnlock(dialog.hDevNames);

    EXPECT_FALSE(PrintDlgA(&dialog)) << "the default is only handed out into empty handles";
    GlobalFree(dialog.hDevMode);
    GlobalFree(dialog.hDevNames);
}

TEST(Printing, PdfPrinterAnswersItsCapabilities)
{
    SetLastError(0);
    EXPECT_EQ(CreateDCA("", "No Such Printer", "", nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);

    DEVMODEA settings = landscapea4();
    HDC dc = CreateICA("PDF", PDFPRINTER, "FILE:", &settings);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 1200);
    EXPECT_GT(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)) << "landscape";
    EXPECT_NEAR(GetDeviceCaps(dc, PHYSICALWIDTH), 297 / 25.4 * 1200, 2) << "A4 across";
    EXPECT_GE(
        GetDeviceCaps(dc, PHYSICALWIDTH), GetDeviceCaps(dc, HORZRES) + GetDeviceCaps(dc, PHYSICALOFFSETX));
    EXPECT_EQ(getcolourdepth(dc), 24);
    DOCINFOA document { sizeof(DOCINFOA), "doc", "/tmp/never.pdf", nullptr, 0 };
    EXPECT_EQ(StartDocA(dc, &document), SP_ERROR) << "an information context prints nothing";
    EXPECT_TRUE(DeleteDC(dc));

    EXPECT_EQ(DeviceCapabilitiesA(PDFPRINTER, "FILE:", DC_COPIES, nullptr, nullptr), 1);
    EXPECT_EQ(DeviceCapabilitiesA(PDFPRINTER, "FILE:", DC_ORIENTATION, nullptr, nullptr), 90);
    EXPECT_EQ(DeviceCapabilitiesA("No Such Printer", "", DC_COPIES, nullptr, nullptr), -1);
}

TEST(Printing, DocumentPropertiesMergeTheCallersSettings)
{
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA(PDFPRINTER, &printer, nullptr));
    EXPECT_EQ(DocumentPropertiesA(nullptr, printer, PDFPRINTER, nullptr, nullptr, 0), LONG(sizeof(DEVMODEA)));
    DEVMODEA in = landscapea4();
    DEVMODEA out {};
    EXPECT_EQ(
        DocumentPropertiesA(nullptr, printer, PDFPRINTER, &out, &in, DM_OUT_BUFFER | DM_IN_BUFFER), IDOK);
    EXPECT_EQ(out.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(out.dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(out.dmPaperWidth, 2100);
    EXPECT_STREQ(reinterpret_cast<const char*>(out.dmDeviceName), PDFPRINTER);
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_FALSE(ClosePrinter(printer));
    EXPECT_EQ(DocumentPropertiesA(nullptr, printer, PDFPRINTER, &out, nullptr, DM_OUT_BUFFER), -1);
}

TEST(Printing, PrintToFileWritesAPdfOfEverySheet)
{
    fs::path folder = vkt::test::makeTempSubfolder("printed");
    fs::path file = folder / "printed.pdf";
    DEVMODEA settings = landscapea4();
    HDC dc = CreateDCA("PDF", PDFPRINTER, "FILE:", &settings);
    ASSERT_NE(dc, nullptr);
    DOCINFOA unnamed { sizeof(DOCINFOA), "VKT - test", nullptr, nullptr, 0 };
    EXPECT_EQ(StartDocA(dc, &unnamed), SP_ERROR) << "the PDF printer needs a file";
    std::string name = file.string();
    DOCINFOA document { sizeof(DOCINFOA), "VKT - test", name.c_str(), nullptr, 0 };
    ASSERT_GT(StartDocA(dc, &document), 0);
    EXPECT_EQ(printtwosheets(dc), FDI_OK);
    EXPECT_FALSE(fs::exists(file)) << "in place only when the document ends";
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    std::string pdf = contents(file);
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "no temporary left";
}

TEST(Printing, AbortedOrRefusedJobsLeaveNoFile)
{
    fs::path folder = vkt::test::makeTempSubfolder("aborted");
    HDC dc = CreateDCA("PDF", PDFPRINTER, "FILE:", nullptr);
    std::string name = (folder / "aborted.pdf").string();
    DOCINFOA document { sizeof(DOCINFOA), "doc", name.c_str(), nullptr, 0 };
    ASSERT_GT(StartDocA(dc, &document), 0);
    EXPECT_EQ(StartDocA(dc, &document), SP_ERROR) << "one job at a time";
    EXPECT_GT(AbortDoc(dc), 0);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    std::string refused = (folder / "missing" / "x.pdf").string();
    DOCINFOA nowhere { sizeof(DOCINFOA), "doc", refused.c_str(), nullptr, 0 };
    EXPECT_EQ(StartDocA(dc, &nowhere), SP_ERROR);
    DeleteDC(dc);
    EXPECT_TRUE(fs::is_empty(folder));

    HDC idle = CreateDCA("PDF", PDFPRINTER, "FILE:", nullptr);
    WPDVC device(idle, RGB(255, 255, 255), UPI);
    device.begin();
    device.drawline(POINT(0, 0), POINT(MM, 0), GSTYLE());
    device.end();
    EXPECT_EQ(device.closeoutput(), FDI_WRITEFAILED) << "a printer without a job cannot draw";
    DeleteDC(idle);
}
