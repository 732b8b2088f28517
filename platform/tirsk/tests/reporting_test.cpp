#include "platform/tirsk/reporting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/windows/crashreport.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string readall(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::pair<int, std::string>> seen;
void record(int kind, const char* text)
{
    seen.emplace_back(kind, text);
}

// Points the process's log and reports into a folder of the test, silent, and back afterwards.
class Reporting : public testing::Test {
protected:
    void SetUp() override
    {
        saved = crashreport;
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        const std::string windows = towindowspath(folder.string()) + "\\";
        std::strcpy(crashreport.reportsfolder, windows.c_str());
        std::strcpy(crashreport.logfile, (windows + "logfile.txt").c_str());
        std::strcpy(crashreport.prefix, "vkt");
        excp.setsilent(1);
        seen.clear();
    }
    void TearDown() override
    {
        setstatushook(nullptr);
        crashreport = saved;
    }
    CRASHREPORT saved;
    fs::path folder;
};

TEST_F(Reporting, SilentErrorsGoToTheLogAndReportsCarryIt)
{
    excp.log("Autosave verification process did not exit.");
    errorbox("Command table for context %04X is misaligned.", 0x120);
    error("Invalid Angle");
    error(0xE00CUL); // no string table: the number stands in
    EXPECT_EQ(readall(folder / "logfile.txt"),
        "Autosave verification process did not exit.\nCommand table for context 0120 is misaligned.\n"
        "Invalid Angle\nError E00C\n");

    excp.reportlog("Autosave verify failed/Hang");
    excp.reportlog("Autosave verify failed/Crash");
    std::vector<std::string> reports;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != "logfile.txt")
            reports.push_back(readall(entry.path()));
    ASSERT_EQ(reports.size(), 2u);
    for (const std::string& report : reports) {
        EXPECT_EQ(report.find("Autosave verify failed/"), 0u);
        EXPECT_NE(report.find("\nAutosave verification process did not exit.\n"), std::string::npos);
    }
}

TEST_F(Reporting, LogIsNeverWrittenThroughALink)
{
    const fs::path elsewhere = folder / "elsewhere.txt";
    std::ofstream(elsewhere) << "kept";
    fs::create_symlink(elsewhere, folder / "logfile.txt");
    excp.log("line");
    EXPECT_EQ(readall(elsewhere), "kept");
}

TEST_F(Reporting, StatusCallsReachTheHook)
{
    prompt("Drag box to select area of sheet to view.");
    EXPECT_TRUE(seen.empty()); // no hook: nothing happens
    EXPECT_EQ(setstatushook(record), nullptr);
    prompt("Choose a file");
    status(0xF1E2UL);
    status(static_cast<const char*>(nullptr));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_pair(0, std::string("Choose a file")));
    EXPECT_EQ(seen[1], std::make_pair(1, std::string("Error F1E2")));
    EXPECT_EQ(seen[2], std::make_pair(1, std::string()));
}

} // namespace
