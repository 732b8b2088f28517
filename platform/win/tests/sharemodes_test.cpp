#include "platform/win/sharemodes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/winerror.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string readall(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A second process that opens the file deny-all, says so through a pipe and waits to be killed.
pid_t holdinanotherprocess(const fs::path& file)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        FILE* held = _fsopen(file.c_str(), "r+b", _SH_DENYRW);
        const char answer = held ? '1' : '0';
        if (write(ready[1], &answer, 1) != 1)
            _exit(2);
        for (;;)
            pause();
    }
    close(ready[1]);
    char answer = 0;
    const bool ok = read(ready[0], &answer, 1) == 1 && answer == '1';
    close(ready[0]);
    if (!ok) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    return pid;
}

TEST(ShareModes, ExclusiveOpenFailsWhileAnotherProcessHoldsItAndWorksAfterItIsKilled)
{
    const fs::path file = vkt::test::makeTempSubfolder("share-kill") / "VKT0000.ASV";
    std::ofstream(file, std::ios::binary) << "data";
    const pid_t holder = holdinanotherprocess(file);
    ASSERT_GT(holder, 0);

    EXPECT_EQ(_fsopen(file.c_str(), "r+b", _SH_DENYRW), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(_fsopen(file.c_str(), "rb", _SH_DENYWR), nullptr);
    EXPECT_EQ(_fsopen(file.c_str(), "rb", _SH_DENYNO), nullptr);
    // Refused "w" leaves the file whole, and a held file is never deleted.
    EXPECT_EQ(_fsopen(file.c_str(), "w+bc", _SH_DENYRW), nullptr);
    EXPECT_FALSE(DeleteFileA(file.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(readall(file), "data");

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    FILE* mine = _fsopen(file.c_str(), "r+b", _SH_DENYRW);
    ASSERT_NE(mine, nullptr);
    fclose(mine);
    EXPECT_TRUE(DeleteFileA(file.c_str()));
    EXPECT_FALSE(fs::exists(file));
}

TEST(ShareModes, OpensInOneProcessExcludeEachOtherAsOnWindows)
{
    const fs::path file = vkt::test::makeTempSubfolder("share-modes") / "a.bin";
    FILE* writer = _fsopen(file.c_str(), "w+bc", _SH_DENYRW);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(fputs("abcd", writer), 1);
    EXPECT_EQ(fflush(writer), 0);
    EXPECT_EQ(_fsopen(file.c_str(), "rb", _SH_DENYWR), nullptr);
    EXPECT_FALSE(DeleteFileA(file.c_str()));
    fclose(writer);

    // Deny-write readers share; a writer, even one that denies nothing, waits for them.
    FILE* reader1 = _fsopen(file.c_str(), "rb", _SH_DENYWR);
    FILE* reader2 = _fsopen(file.c_str(), "rb", _SH_DENYWR);
    ASSERT_NE(reader1, nullptr);
    ASSERT_NE(reader2, nullptr);
    EXPECT_EQ(_fsopen(file.c_str(), "r+b", _SH_DENYNO), nullptr);
    FILE* plainreader = _fsopen(file.c_str(), "rb", _SH_DENYNO);
    ASSERT_NE(plainreader, nullptr);
    char text[5] = {};
    EXPECT_EQ(fread(text, 1, 4, plainreader), 4u);
    EXPECT_STREQ(text, "abcd");
    fclose(plainreader);
    fclose(reader1);
    fclose(reader2);
    EXPECT_TRUE(DeleteFileA(file.c_str()));
}

TEST(ShareModes, BadArgumentsAndMissingFilesFailCleanly)
{
    const fs::path folder = vkt::test::makeTempSubfolder("share-bad");
    EXPECT_EQ(_fsopen((folder / "none").c_str(), "rb", _SH_DENYRW), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(_fsopen(folder.c_str(), "rb", _SH_DENYRW), nullptr);
    EXPECT_EQ(_fsopen((folder / "x").c_str(), "q", _SH_DENYRW), nullptr);
    EXPECT_EQ(_fsopen((folder / "x").c_str(), "wb", 0x99), nullptr);
    EXPECT_EQ(_fsopen(nullptr, "rb", _SH_DENYRW), nullptr);
    EXPECT_FALSE(fs::exists(folder / "x"));
    EXPECT_FALSE(DeleteFileA((folder / "none").c_str()));
    EXPECT_FALSE(DeleteFileA(folder.c_str()));
    EXPECT_TRUE(fs::exists(folder));
}

TEST(ShareModes, CopyReplacesWholeButNeverAHeldOrKeptFile)
{
    const fs::path folder = vkt::test::makeTempSubfolder("share-copy");
    std::ofstream(folder / "project.vktprj", std::ios::binary) << "new contents";
    std::ofstream(folder / "backup.vktprj", std::ios::binary) << "old";
    const std::string source = (folder / "project.vktprj").string();
    const std::string target = (folder / "backup.vktprj").string();

    EXPECT_FALSE(CopyFileA(source.c_str(), target.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    FILE* held = _fsopen(target.c_str(), "rb", _SH_DENYWR);
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(CopyFileA(source.c_str(), target.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    fclose(held);
    EXPECT_EQ(readall(target), "old");

    EXPECT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE));
    EXPECT_EQ(readall(target), "new contents");
    EXPECT_TRUE(CopyFileA(source.c_str(), (folder / "fresh.vktprj").c_str(), TRUE));
    EXPECT_FALSE(CopyFileA((folder / "none").c_str(), target.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(CopyFileA(folder.c_str(), target.c_str(), FALSE));
    EXPECT_EQ(readall(target), "new contents");
}

} // namespace
