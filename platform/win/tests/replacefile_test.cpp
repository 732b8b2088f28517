#include "platform/win/replacefile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string readtext(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writetext(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::set<std::string> names(const fs::path& folder)
{
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        found.insert(entry.path().filename().string());
    return found;
}

// The id of a process that has ended and been reaped.
pid_t goneprocess()
{
    pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

fs::path testfolder()
{
    return vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
}

} // namespace

TEST(ReplaceFile, TemporariesOfGoneProcessesAreSweptAtTheNextWriteOfTheirTarget)
{
    const fs::path folder = testfolder();
    const fs::path target = folder / "user.reg";
    writetext(target, "old");
    const std::string gone = std::to_string(goneprocess());
    const std::string alive = std::to_string(getppid());
    // Ended but not reaped yet: gone all the same.
    pid_t zombie = fork();
    if (zombie == 0)
        _exit(0);
    siginfo_t ended {};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(zombie), &ended, WEXITED | WNOWAIT), 0);
    const struct {
        std::string name;
        bool swept;
    } files[] = {
        { "user.reg.tmp" + gone, true }, { "user.reg.tmp" + gone + "-4", true },
        { "user.reg.tmp" + std::to_string(zombie) + "-2", true },
        { "user.reg.tmp" + alive + "-1", false }, // its process still runs
        { "user.reg.tmp" + gone + "x", false }, { "user.reg.tmp" + gone + "-", false },
        { "user.reg.tmpx", false }, { "other.reg.tmp" + gone, false }, // another target's
    };
    std::set<std::string> expected { "user.reg" };
    for (const auto& file : files) {
        writetext(folder / file.name, "x");
        if (!file.swept)
            expected.insert(file.name);
    }

    ASSERT_TRUE(replacefilewith(target.string(), "new", 3));
    waitpid(zombie, nullptr, 0);
    EXPECT_EQ(readtext(target), "new");
    EXPECT_EQ(names(folder), expected);
}

TEST(ReplaceFile, TerminationRemovesTheProcessesOwnTemporariesOnly)
{
    for (int signal : { SIGTERM, SIGINT }) {
        const fs::path folder = testfolder();
        const std::string target = (folder / "run.PDF").string();
        writetext(target, "old");
        std::string parents;
        FILE* parent = openbeside(target, parents);
        ASSERT_NE(parent, nullptr);

        int channel[2];
        ASSERT_EQ(pipe(channel), 0);
        pid_t child = fork();
        if (child == 0) {
            // The test runner may have started us with these ignored; a user's shell does not.
            ::signal(SIGTERM, SIG_DFL);
            ::signal(SIGINT, SIG_DFL);
            std::string temporary;
            FILE* stream = openbeside(target, temporary);
            char reply = stream && std::fputs("partial", stream) >= 0 && std::fflush(stream) == 0 ? 'y' : 'n';
            if (write(channel[1], &reply, 1) != 1)
                _exit(2);
            for (;;)
                pause();
        }
        char reply = 0;
        ASSERT_EQ(read(channel[0], &reply, 1), 1);
        ASSERT_EQ(reply, 'y');
        close(channel[0]);
        close(channel[1]);
        EXPECT_EQ(names(folder).size(), 3u) << "the target and two temporaries";

        kill(child, signal);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(
            names(folder), (std::set<std::string> { "run.PDF", fs::path(parents).filename().string() }));
        EXPECT_EQ(readtext(target), "old");
        discardbeside(parent, parents);
        EXPECT_EQ(names(folder), std::set<std::string> { "run.PDF" });
    }
}

TEST(ReplaceFile, CopiesAreReplacedWholeThroughLinksAndLeaveNoTemporary)
{
    fs::path folder = testfolder();
    writetext(folder / "real.idx", "old");
    fs::create_symlink("real.idx", folder / "link.idx");
    for (auto replace : { replacefilewith, replacecopywith }) {
        ASSERT_TRUE(replace((folder / "link.idx").string(), "new contents", 12));
        EXPECT_EQ(readtext(folder / "real.idx"), "new contents");
        EXPECT_TRUE(fs::is_symlink(folder / "link.idx"));
        EXPECT_EQ(names(folder), (std::set<std::string> { "link.idx", "real.idx" }));
        writetext(folder / "real.idx", "old");
    }
    EXPECT_FALSE(replacecopywith((folder / "missing" / "x.idx").string(), "x", 1));
}
