// The autosave end to end: the vkt binary saves a changed project into its autosave file, has a
// child run of itself (vkt -a FILE) check it, and after a crash the next start offers the work.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/pathboundary.h"
#include "shell/main/tests/vktrun.h"
#include "shell/project/vktarchive.h"
#include "testsupport/command.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

using namespace vkttest;

std::string readfile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> lines(const fs::path& path)
{
    std::ifstream in(path);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);)
        all.push_back(line);
    return all;
}

// The design text of the project file at path ("" when it does not load).
std::string designof(const fs::path& path)
{
    VKTARCHIVE archive;
    if (!archive.beginload(towindowspath(path.string()).c_str(), 1))
        return "";
    const char* text = archive.getfiletext("ROOT.DSN", nullptr);
    const std::string design = text ? text : "";
    archive.endload();
    return design;
}

// Each test keeps its autosave files in a temporary folder of its own.
class VktAutosave : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        report = folder / "report.txt";
        previouscache = std::getenv("XDG_CACHE_HOME");
        setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
        autosaves = folder / "cache" / "vkt" / "tmp";
    }
    void TearDown() override { setenv("XDG_CACHE_HOME", previouscache.c_str(), 1); }

    // An autosave file as the program writes it: the project's path, then the project file.
    fs::path autosavefile(const char* name, const std::string& project, const std::string& description)
    {
        const fs::path zip = folder / "project.vktprj";
        VKTARCHIVE archive;
        EXPECT_TRUE(archive.beginsave(towindowspath(zip.string()).c_str()));
        for (auto [entry, text] : { std::pair { "PROJECT.XML", description }, std::pair { "ROOT.DSN", std::string("U1 U2") } }) {
            VFILE& file = archive.openfile(entry, nullptr);
            file.write(text.data(), static_cast<int>(text.size()));
            EXPECT_TRUE(archive.closefile(file, 0));
        }
        EXPECT_TRUE(archive.endsave());
        const std::string windows = towindowspath(project);
        const uint32_t length = static_cast<uint32_t>(windows.size());
        std::string bytes { static_cast<char>(length), static_cast<char>(length >> 8),
            static_cast<char>(length >> 16), static_cast<char>(length >> 24) };
        const fs::path file = folder / name;
        std::ofstream(file, std::ios::binary) << bytes << windows << readfile(zip);
        return file;
    }

    static vkt::test::COMMANDRUN verify(const fs::path& file)
    {
        return vkt::test::runcommand(
            "env QT_QPA_PLATFORM=offscreen timeout 60 " + quoted(VKT_TEST_PROGRAM) + " -a " + quoted(file.string()));
    }

    fs::path folder;
    fs::path report;
    fs::path autosaves;
    std::string previouscache;
};

constexpr const char* currentversion = "<ROOT><TIMESTAMP FILEVER='830' RELEASE='812'/></ROOT>";

TEST_F(VktAutosave, TheVerifierPassesAFileThatLoadsAndLeavesItsCopiesAndFailsOneThatDoesNot)
{
    const fs::path good = autosavefile("VKT0007.DAZOD", (folder / "b.vktprj").string(), currentversion);
    const std::string bytes = readfile(good);
    vkt::test::COMMANDRUN run = verify(good);
    EXPECT_EQ(run.exitcode, 0) << run.output;
    EXPECT_FALSE(fs::exists(good));
    EXPECT_EQ(readfile(folder / "VKT0007.VASV"), bytes);
    // The checked copy, header and all, opens as a project in the backup folder.
    const fs::path copy = folder / "Project Backups" / "b [Autosaved].vktprj";
    EXPECT_EQ(readfile(copy), bytes);
    EXPECT_EQ(designof(copy), "U1 U2");

    struct CASE {
        const char* name;
        std::string bytes;
    };
    const std::string whole = readfile(autosavefile("whole", (folder / "c.vktprj").string(), currentversion));
    const CASE damaged[] = {
        { "truncated", whole.substr(0, whole.size() / 2) },
        { "empty path", std::string(4, '\0') + whole.substr(4 + towindowspath((folder / "c.vktprj").string()).size()) },
        { "length past the end", std::string("\xFF\xFF\xFF\x7F", 4) + whole.substr(4) },
        { "later version",
            readfile(autosavefile("later", (folder / "c.vktprj").string(),
                "<ROOT><TIMESTAMP FILEVER='831' RELEASE='900'/></ROOT>")) },
    };
    for (const CASE& c : damaged) {
        const fs::path file = folder / "VKT0008.DAZOD";
        std::ofstream(file, std::ios::binary) << c.bytes;
        run = verify(file);
        EXPECT_NE(run.exitcode, 0) << c.name << run.output;
        EXPECT_EQ(readfile(file), c.bytes) << c.name << ": left for a look";
        EXPECT_FALSE(fs::exists(folder / "VKT0008.VASV")) << c.name;
        EXPECT_FALSE(fs::exists(folder / "Project Backups" / "c [Autosaved].vktprj")) << c.name;
    }
    run = verify(folder / "none.DAZOD");
    EXPECT_NE(run.exitcode, 0) << run.output;
}

TEST_F(VktAutosave, WorkLostToACrashIsOfferedAtTheNextStartAndRecoveredWithTheEditInIt)
{
    const fs::path project = folder / "amp.vktprj";
    RUN crashed = runvkt("",
        "design v1; save " + project.string() + "; design v2; autosave; checked; report " + report.string() + "; kill",
        report);
    ASSERT_EQ(crashed.snapshots.size(), 1u) << crashed.output;
    EXPECT_NE(crashed.exitcode, 0);
    EXPECT_EQ(value(crashed.snapshots[0], "autosave"), (autosaves / "VKT0000.ASV").string());
    EXPECT_EQ(value(crashed.snapshots[0], "dirty"), "1");
    EXPECT_TRUE(fs::exists(autosaves / "VKT0000.ASV"));
    EXPECT_TRUE(fs::exists(autosaves / "VKT0000.VASV"));
    EXPECT_EQ(designof(project), "v1");
    EXPECT_EQ(designof(folder / "Project Backups" / "amp [Autosaved].vktprj"), "v2");

    // The user agrees to every box, then closes the frame (the stand-in goes into the program only:
    // timeout, a plain program, cannot load the sanitizer build's copy of it).
    const fs::path boxlog = folder / "boxes.txt";
    vkt::test::COMMANDRUN next = vkt::test::runcommand("timeout 60 env QT_QPA_PLATFORM=offscreen LD_PRELOAD="
        + quoted(VKT_TEST_BOXANSWERER) + " VKT_TEST_BOXLOG=" + quoted(boxlog.string())
        + " VKT_TEST_CLOSE_MS=500 " + quoted(VKT_TEST_PROGRAM) + " -q");
    EXPECT_EQ(next.exitcode, 0) << next.output;
    EXPECT_EQ(lines(boxlog),
        (std::vector<std::string> { "Recover autosaved project '" + project.string() + "'?",
            "Save changes to current project?" }));
    EXPECT_EQ(designof(project), "v2");
    // A clean end takes the autosave files with it.
    EXPECT_TRUE(fs::is_empty(autosaves));
}

TEST_F(VktAutosave, AnAutosaveThatDoesNotLoadEndsTheRunTellingWhyAndKeepsEveryCopy)
{
    const fs::path project = folder / "amp.vktprj";
    const fs::path boxlog = folder / "boxes.txt";
    // A design that saves but never loads back: its autosave fails in the verifier.
    vkt::test::COMMANDRUN run = vkt::test::runcommand("timeout 60 env QT_QPA_PLATFORM=offscreen LD_PRELOAD="
        + quoted(VKT_TEST_BOXANSWERER) + " VKT_TEST_BOXLOG=" + quoted(boxlog.string()) + " "
        + quoted(VKT_TEST_PROGRAM) + " -q "
        + quoted("{VKTPROBE design v1; save " + project.string() + "; design UNLOADABLE; autosave; wait 6000; autosave; wait 20000}"));
    EXPECT_NE(run.exitcode, 124) << "ended by itself, not at the time limit: " << run.output;
    EXPECT_EQ(lines(boxlog),
        std::vector<std::string> { "Your project has become corrupted so Corvane will now close. Please load either the "
                                   "Autosave file or a Backup file (System Menu > System Settings)|Please restart "
                                   "Corvane to attempt recovery from the autosave or last loaded file.||We are sorry "
                                   "for the inconvenience caused." });
    EXPECT_EQ(designof(project), "v1");
    // What the autosave held lies beside the project, and the autosave files stay.
    ASSERT_TRUE(fs::exists(autosaves / "VKT0000.ASV"));
    EXPECT_EQ(readfile(folder / "amp.vktbad"), readfile(autosaves / "VKT0000.ASV"));
    EXPECT_TRUE(fs::exists(autosaves / "VKT0000.DAZOD"));
    EXPECT_FALSE(fs::exists(folder / "Project Backups" / "amp [Autosaved].vktprj"));
}

} // namespace
