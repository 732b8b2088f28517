#include "platform/win/childprocess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/system.h"
#include "platform/win/winerror.h"

namespace {

TEST(ChildProcess, CommandLineSplitsByWindowsRules)
{
    struct Case {
        const char* line;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        { "VKT.EXE -a \"C:\\Temp\\VKT0000.DAZOD\"", { "VKT.EXE", "-a", "C:\\Temp\\VKT0000.DAZOD" } },
        { "  a\t b  ", { "a", "b" } },
        { "\"a b\"c d", { "a bc", "d" } },
        { "a\\\\\"b c\" d", { "a\\b c", "d" } }, // two backslashes: one, and the quote groups
        { "a\\\"b", { "a\"b" } }, // three (one here): a literal quote
        { "a\\b\\", { "a\\b\\" } }, // backslashes before anything else stay
        { "\"\"", { "" } },
        { "", {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(splitcommandline(c.line), c.words) << c.line;
}

PROCESS_INFORMATION start(const char* commandline)
{
    std::string line = commandline;
    STARTUPINFOA startup { sizeof(STARTUPINFOA) };
    PROCESS_INFORMATION info {};
    EXPECT_TRUE(CreateProcessA(
        "/bin/sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    return info;
}

TEST(ChildProcess, ExitCodeIsReadBackAfterStillActiveWhileItRuns)
{
    PROCESS_INFORMATION info = start("sh -c \"exec sleep 30\"");
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 20), WAIT_TIMEOUT);
    // Closing the handle leaves the child running; it is ended here only to keep the run short.
    TerminateChildProcess(info.hProcess, 1);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);

    info = start("sh -c \"exit 7\"");
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 5000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 7u);
    CloseHandle(info.hThread);
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_FALSE(GetExitCodeProcess(info.hProcess, &code)); // closed
}

TEST(ChildProcess, TerminatedChildReportsTheGivenCode)
{
    PROCESS_INFORMATION info = start("sh -c \"exec sleep 30\"");
    EXPECT_TRUE(TerminateProcess(info.hProcess, 1));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 1u);
    EXPECT_TRUE(TerminateChildProcess(info.hProcess, 5)); // already ended: the code stays
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(code, 1u);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

TEST(ChildProcess, MissingProgramAndForeignHandlesFail)
{
    std::string line = "VKT.EXE -a x";
    STARTUPINFOA startup { sizeof(STARTUPINFOA) };
    PROCESS_INFORMATION info { reinterpret_cast<HANDLE>(1), nullptr, 1, 1 };
    EXPECT_FALSE(CreateProcessA(
        "C:\\nowhere\\VKT.EXE", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(info.hProcess, nullptr);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeProcess(nullptr, &code));
    EXPECT_EQ(WaitForSingleObject(nullptr, 10), WAIT_FAILED);
    EXPECT_FALSE(TerminateProcess(nullptr, 1));
}

} // namespace
