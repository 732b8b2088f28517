#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/casq/outputfile.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> reported;

int recordreport(char* text)
{
    reported.push_back(text);
    return 0;
}

struct Handler {
    Handler()
    {
        reported.clear();
        previous = fdi_seterrorhandler(recordreport);
    }
    ~Handler() { fdi_seterrorhandler(previous); }
    FDIERRORHANDLER previous;
};

std::string contents(const fs::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

size_t entries(const fs::path& folder)
{
    return size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

TEST(OutputFile, AppearsOnlyWhenCommitted)
{
    fs::path folder = vkt::test::makeTempSubfolder("commit");
    fs::path target = folder / "page.eps";
    {
        casq::OUTPUTFILE file(target.string());
        ASSERT_TRUE(file.write("%!PS\n"));
        EXPECT_FALSE(fs::exists(target)) << "nothing in place while writing";
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(contents(target), "%!PS\n");
    {
        casq::OUTPUTFILE dropped(target.string());
        dropped.write("half a drawing");
    }
    EXPECT_EQ(contents(target), "%!PS\n") << "an output never committed leaves the old file whole";
    EXPECT_EQ(entries(folder), 1u) << "and no temporary beside it";
}

TEST(OutputFile, FaultsAreReportedOnceAndStick)
{
    Handler handler;
    fs::path folder = vkt::test::makeTempSubfolder("faults");
    casq::OUTPUTFILE missing((folder / "no such folder" / "page.dxf").string());
    EXPECT_FALSE(missing.write("0\nSECTION\n"));
    EXPECT_FALSE(missing.write("more"));
    EXPECT_FALSE(missing.commit());
    EXPECT_EQ(missing.geterror(), FDI_CANNOTCREATE);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("Cannot create the file"), std::string::npos);
    EXPECT_NE(reported[0].find("page.dxf"), std::string::npos);

    casq::OUTPUTFILE unnamed;
    EXPECT_FALSE(unnamed.write("x"));
    EXPECT_EQ(unnamed.geterror(), FDI_CANNOTCREATE);

    casq::OUTPUTFILE aborted((folder / "aborted.plt").string());
    aborted.write("IN;");
    aborted.abort();
    EXPECT_FALSE(aborted.commit());
    EXPECT_EQ(aborted.geterror(), FDI_ABORTED);
    EXPECT_EQ(reported.size(), 2u) << "an abort is the user's doing: nothing to report";
    EXPECT_EQ(entries(folder), 0u);
}

TEST(OutputFile, FullDiskIsItsOwnCode)
{
    EXPECT_EQ(casq::fdi_errorcode(ENOSPC), FDI_DISKFULL);
    EXPECT_EQ(casq::fdi_errorcode(EDQUOT), FDI_DISKFULL);
    EXPECT_EQ(casq::fdi_errorcode(EIO), FDI_WRITEFAILED);
}

TEST(OutputFile, WriteThatFailsLeavesNoPartialFile)
{
    fs::path folder = vkt::test::makeTempSubfolder("limit");
    fs::path target = folder / "big.emf";
    {
        std::ofstream old(target);
        old << "old file";
    }
    // A child whose files may not grow beyond 4 KB fails half-way, as on a full disk.
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 4096, 4096 };
        setrlimit(RLIMIT_FSIZE, &limit);
        casq::OUTPUTFILE file(target.string());
        std::string block(1024, 'x');
        for (int i = 0; i < 64; ++i) {
            file.write(block);
        }
        bool committed = file.commit();
        _exit(!committed && file.geterror() == FDI_WRITEFAILED ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the fault was reported";
    EXPECT_EQ(contents(target), "old file");
    EXPECT_EQ(entries(folder), 1u);
}

TEST(OutputFile, LaterPagesGetNumberedFiles)
{
    EXPECT_EQ(casq::pagefilename("/a/plot.eps", 1), "/a/plot.eps");
    EXPECT_EQ(casq::pagefilename("/a/plot.eps", 3), "/a/plot-3.eps");
    EXPECT_EQ(casq::pagefilename("/a.b/plot", 2), "/a.b/plot-2");
}
