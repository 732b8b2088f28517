#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/files/ramfile.h"
#include "core/windows/registry.h"
#include "framework/output/capsdump.h"
#include "framework/output/tests/outputtest.h"
#include "platform/casq/printing.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/winreg.h"

namespace {

std::string text(const RAMFILE& file)
{
    return std::string(reinterpret_cast<const char*>(file.buffer), file.length);
}

struct CapsDump : drelmtest::Started, testing::Test {
    CapsDump()
    {
        reg_init(HKEY_CURRENT_USER, "Software\\Venthorne Electronics\\Caps Tests");
        outputtest::DEMOPRINT().op_printer_reset();
    }
    ~CapsDump() override { outputtest::DEMOPRINT().op_printer_reset(); }
};

} // namespace

TEST_F(CapsDump, ReportsTheCurrentPrinterWhole)
{
    RAMFILE file;
    char device[PATHBUFFER] = "unchanged";
    ASSERT_EQ(op_dumpcaps(file, device), 1);
    std::string report = text(file);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.back(), '\0') << "ends with a NUL";
    EXPECT_EQ(report.rfind(std::string(110, '=') + "\nGeneral Information\n", 0), 0u);
    EXPECT_NE(report.find("Printer Device Name.....: \"" + std::string(device) + "\".\n"), std::string::npos);
    EXPECT_NE(report.find("Physical Page Size......: "), std::string::npos);
    EXPECT_NE(report.find("(TECHNOLOGY)"), std::string::npos);
    EXPECT_NE(report.find("Raster printer (2)\n"), std::string::npos);
    EXPECT_NE(report.find("   Can draw PATHS..."), std::string::npos);
    EXPECT_NE(report.find("Dump of Device Mode"), std::string::npos);
    EXPECT_NE(report.find("initialised by the device.\n"), std::string::npos);
    if (std::string(device) == PDFPRINTER) {
        EXPECT_NE(report.find("no printer of its own"), std::string::npos) << "said plainly";
    }

    // Every capability row lines up: the value starts in the same column.
    size_t technology = report.find("Device technology");
    size_t version = report.find("Device driver version");
    EXPECT_EQ(report.find(": ", technology) - technology, report.find(": ", version) - version);
    std::ofstream(VKT_ARTIFACTS_DIR "/printer-capabilities.txt") << report.substr(0, report.size() - 1);
}

TEST(DevmodeDump, FieldsByTheirFormats)
{
    DEVMODEA settings {};
    settings.dmSpecVersion = 0x0401;
    settings.dmDriverVersion = 100;
    settings.dmSize = sizeof settings;
    settings.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PRINTQUALITY | DM_DISPLAYFLAGS | DM_FORMNAME | DM_COLOR;
    settings.dmOrientation = 7;
    settings.dmPaperSize = DMPAPER_USER;
    settings.dmPaperLength = 2970;
    settings.dmPaperWidth = 2100;
    settings.dmPrintQuality = 600;
    settings.dmDisplayFlags = 0x1 | 0x4 | 0x40;
    std::memcpy(settings.dmFormName, "A4 exactly thirty-two bytes long", 32);
    settings.dmColor = DMCOLOR_COLOR;
    settings.dmCopies = 3;
    RAMFILE file;
    dump_devmode(file, &settings);
    std::string report = text(file);
    for (const char* expected : {
             "Driver Version",
             ": 1.00\n",
             ": 156 bytes\n",
             ": Assigned but none-standard (7).\n",
             ": Specified by Paper Width/Height\n",
             "Paper length (tenths of mm)",
             ": 2970 \n", // assigned by the user paper size
             ": 600 DPI\n",
             ": Grayscale, Text Mode, Unknown (0x00000040)\n",
             ": 'A4 exactly thirty-two bytes long'\n",
             ": Colour\n",
             ": Not assigned.\n",
         })
        EXPECT_NE(report.find(expected), std::string::npos) << expected << "\n" << report;
    EXPECT_EQ(report.find("3 \n"), std::string::npos) << "copies not assigned";

    settings.dmPaperSize = DMPAPER_A4;
    settings.dmPrintQuality = -1;
    RAMFILE again;
    dump_devmode(again, &settings);
    report = text(again);
    EXPECT_NE(report.find(": Not assigned but field contains: 2970 \n"), std::string::npos) << report;
    EXPECT_NE(report.find(": A4 210 x 297 mm\n"), std::string::npos);
    EXPECT_NE(report.find(": Draft resolution\n"), std::string::npos);
}
