#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/windows/registry.h"
#include "framework/output/tests/outputtest.h"
#include "platform/casq/printing.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/globalmemory.h"
#include "platform/win/winreg.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;
using outputtest::DEMOPRINT;

namespace {

std::string devicename(HGLOBAL names)
{
    auto* block = static_cast<const DEVNAMES*>(GlobalLock(names));
    std::string name = reinterpret_cast<const char*>(block) + block->wDeviceOffset;
    GlobalUnlock(names);
    return name;
}

DEVMODEA settingsof(HGLOBAL settings)
{
    DEVMODEA copy;
    std::memcpy(&copy, GlobalLock(settings), sizeof copy);
    GlobalUnlock(settings);
    return copy;
}

void setorientation(HGLOBAL settings, SHORT orientation)
{
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(settings));
    mode->dmFields |= DM_ORIENTATION;
    mode->dmOrientation = orientation;
    GlobalUnlock(settings);
}

struct Printers : drelmtest::Started, testing::Test {
    drelmtest::RecordedBoxes boxes;
    HGLOBAL names = nullptr;
    HGLOBAL settings = nullptr;

    Printers()
    {
        reg_init(HKEY_CURRENT_USER, "Software\\Venthorne Electronics\\Output Tests");
        reg_removekey("Printers");
        DEMOPRINT().op_printer_reset();
    }
    ~Printers() override
    {
        GlobalFree(names);
        GlobalFree(settings);
        DEMOPRINT().op_printer_reset();
    }
};

} // namespace

TEST_F(Printers, FirstUseTakesTheDefaultPrinterAndKeepsIt)
{
    HDC dc = APPLNPRINT::getcontext(1, 1);
    ASSERT_NE(dc, nullptr);
    DeleteDC(dc);
    ASSERT_NE(APPLNPRINT::devnames, nullptr);
    ASSERT_TRUE(APPLNPRINT::getdefprinter(&names, &settings));
    EXPECT_EQ(devicename(APPLNPRINT::devnames), devicename(names));
    HGLOBAL current = APPLNPRINT::devnames;
    DeleteDC(APPLNPRINT::getcontext(1, 1));
    EXPECT_EQ(APPLNPRINT::devnames, current) << "stays current";
}

TEST_F(Printers, RememberedSettingsServeOnlyWhileTheyFitTheDriver)
{
    ASSERT_TRUE(APPLNPRINT::getdefprinter(&names, &settings));
    EXPECT_EQ(APPLNPRINT::getqjsettings(static_cast<DEVNAMES*>(GlobalLock(names)), &settings), 0)
        << "nothing remembered";
    GlobalUnlock(names);
    GlobalFree(settings);
    ASSERT_TRUE(APPLNPRINT::getdefprinter(&names, &settings));
    SHORT driverorientation = settingsof(settings).dmOrientation;
    SHORT chosen = driverorientation == DMORIENT_LANDSCAPE ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
    setorientation(settings, chosen);
    ASSERT_TRUE(APPLNPRINT::setqjprinter(names, settings, 1));
    EXPECT_EQ(APPLNPRINT::setqjprinter(nullptr, settings, 1), 0);

    HGLOBAL lastnames = nullptr;
    HGLOBAL lastsettings = nullptr;
    ASSERT_TRUE(APPLNPRINT::getqjprinter(&lastnames, &lastsettings));
    EXPECT_EQ(devicename(lastnames), devicename(names));
    EXPECT_EQ(settingsof(lastsettings).dmOrientation, chosen) << "the remembered settings";

    // The driver was updated since: its own settings replace the remembered ones.
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(settings));
    mode->dmDriverVersion += 1;
    GlobalUnlock(settings);
    APPLNPRINT::setqjprinter(names, settings, 0);
    ASSERT_TRUE(APPLNPRINT::getqjprinter(&lastnames, &lastsettings));
    EXPECT_EQ(settingsof(lastsettings).dmDriverVersion, PRINTERDRIVERVERSION);
    EXPECT_EQ(settingsof(lastsettings).dmOrientation, driverorientation);
    GlobalFree(lastnames);
    GlobalFree(lastsettings);
}

TEST_F(Printers, DamagedOrVanishedLastPrinterFallsBackToTheDefault)
{
    ASSERT_TRUE(APPLNPRINT::getdefprinter(&names, &settings));
    std::string fallback = devicename(names);
    struct {
        WORD offsets[4];
        char text[12];
    } damaged { { 8, 9, 4000, 0 }, "x\0y\0" };
    struct {
        WORD offsets[4];
        char text[24];
    } vanished { { 8, 12, 12, 0 }, "CUPS\0Nobody Here\0" };
    for (auto [data, size] : { std::pair<const void*, int> { &damaged, int(sizeof damaged) }, { &vanished, int(sizeof vanished) } }) {
        reg_putbin("Printers", "Last Printer", data, size);
        HGLOBAL lastnames = nullptr;
        HGLOBAL lastsettings = nullptr;
        ASSERT_TRUE(APPLNPRINT::getqjprinter(&lastnames, &lastsettings));
        EXPECT_EQ(devicename(lastnames), fallback);
        GlobalFree(lastnames);
        GlobalFree(lastsettings);
    }
}

TEST_F(Printers, PrintToFileWritesTheDrawing)
{
    fs::path folder = vkt::test::makeTempSubfolder("print");
    DEMOPRINT print;
    print.op_initocs(print.ocs);
    print.ocs.tofile = 1;
    print.ocs.ocx = 600;
    print.ocs.ocy = 600;
    copyoutputname(print.ocs.filename, (folder / "job.pdf").c_str());
    ASSERT_EQ(print.op_print("amp.dsn", print.ocs), 1);
    std::ifstream in(folder / "job.pdf", std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    EXPECT_EQ(print.draws, 1);
    EXPECT_TRUE(drelmtest::boxes().empty()) << drelmtest::boxes()[0].text;
    EXPECT_EQ(APPLNPRINT::printmsgbox, nullptr) << "the status form is gone";

    copyoutputname(print.ocs.filename, (folder / "missing" / "job.pdf").c_str());
    EXPECT_EQ(print.op_print("amp.dsn", print.ocs), 0);
    EXPECT_FALSE(drelmtest::boxes().empty()) << "a job that cannot start says so";
}
