#include "platform/win/modules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win/handles.h"
#include "platform/win/resources.h"
#include "platform/win/toolhelp.h"
#include "platform/win/version.h"
#include "platform/win/winerror.h"

namespace {

std::string text(const void* data, DWORD size)
{
    return std::string(static_cast<const char*>(data), size);
}

std::string stringtable(const char* content)
{
    // tag 0, number 1, flags 0, the text, the end tag
    return std::string("\0\x01\0\0\0\0\0", 7) + content + '\0' + '\x02';
}

} // namespace

TEST(Modules, LoadsByWindowsNameFromTheProgramFolder)
{
    HMODULE module = LoadLibraryA("VKTTESTMODULE.DLL");
    ASSERT_NE(module, nullptr) << moduleloaderror();
    EXPECT_EQ(LoadLibraryA("vkttestmodule"), module) << "a second load gives the same handle";
    EXPECT_EQ(GetModuleHandleA("VktTestModule.dll"), module);

    auto answer = reinterpret_cast<int (*)()>(GetProcAddress(module, "testmodule_answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    auto marker = reinterpret_cast<const char*>(GetProcAddress(module, "testmodule_marker"));
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(modulefromaddress(marker), module);
    EXPECT_EQ(GetProcAddress(module, "missing_export"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(module, "malloc"), nullptr) << "only the module's own exports";

    char path[300];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    ASSERT_GT(length, 0u);
    EXPECT_STREQ(path + length - strlen("\\vkttestmodule.so"), "\\vkttestmodule.so");
    char cut[6];
    EXPECT_EQ(GetModuleFileNameA(module, cut, sizeof cut), sizeof cut);
    EXPECT_EQ(strlen(cut), sizeof cut - 1);

    HRSRC found = FindResourceA(module, "modulestrings", RT_RCDATA);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(text(LockResource(LoadResource(module, found)), SizeofResource(module, found)),
        stringtable("from the module"));

    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("vkttestmodule"), module) << "loaded twice, freed once";
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleA("vkttestmodule"), nullptr);
    EXPECT_EQ(FindResourceA(module, "MODULESTRINGS", RT_RCDATA), nullptr)
        << "resources leave with their module";
    EXPECT_FALSE(FreeLibrary(module));
}

TEST(Modules, MissingModulesAndTheProgramItself)
{
    EXPECT_EQ(LoadLibraryA("NOSUCHMODULE.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(std::string(moduleloaderror()), "");
    EXPECT_EQ(GetModuleHandleA("NOSUCHMODULE.DLL"), nullptr);

    HMODULE program = GetModuleHandleA(nullptr);
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(GetModuleHandleA("platform_win_tests"), program);
    EXPECT_EQ(modulefromaddress(reinterpret_cast<const void*>(&GetModuleHandleA)), GetModuleHandleA("core"));
    char path[300];
    ASSERT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 0u);
    EXPECT_NE(strstr(path, "\\platform_win_tests"), nullptr);
    EXPECT_EQ(path[0], '\\');
}

TEST(Resources, FoundByModuleTypeAndName)
{
    HRSRC found = FindResourceA(nullptr, "ProgramStrings", RT_RCDATA);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(text(LockResource(LoadResource(nullptr, found)), SizeofResource(nullptr, found)),
        stringtable("from the program"));
    EXPECT_EQ(FindResourceA(nullptr, "MODULESTRINGS", RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(FindResourceA(nullptr, "PROGRAMSTRINGS", MAKEINTRESOURCEA(4)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_VERSION), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "1", RT_VERSION), nullptr) << "an id is not a name";

    static const char bytes[] = "abc";
    static const RESOURCEENTRY extra[] = { { "CUSTOM", MAKEINTRESOURCEA(7), bytes, 3 } };
    HMODULE program = GetModuleHandleA(nullptr);
    registerresources(program, extra, 1);
    found = FindResourceA(program, MAKEINTRESOURCEA(7), "custom");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(program, found), 3u);
    unregisterresources(program, extra);
    EXPECT_EQ(FindResourceA(program, MAKEINTRESOURCEA(7), "custom"), nullptr);
}

TEST(Version, ReadFromTheModuleFile)
{
    char path[300];
    ASSERT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 0u);
    DWORD handle = 1;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GE(size, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(handle, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
    void* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &info, &length));
    auto* fixed = static_cast<VS_FIXEDFILEINFO*>(info);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010002u);
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo", &info, &length));

    char library[300];
    ASSERT_GT(GetModuleFileNameA(GetModuleHandleA("core"), library, sizeof library), 0u);
    EXPECT_EQ(GetFileVersionInfoSizeA(library, &handle), 0u) << "a module without a version resource";
    EXPECT_EQ(GetFileVersionInfoSizeA("\\no\\such\\file", &handle), 0u);
}

TEST(Toolhelp, SnapshotListsTheModulesHoldingAnAddress)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
    MODULEENTRY32 entry {};
    entry.dwSize = sizeof entry;
    auto address = reinterpret_cast<BYTE*>(&CreateToolhelp32Snapshot);
    std::string holder;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry))
        if (entry.modBaseAddr < address && entry.modBaseAddr + entry.modBaseSize > address)
            holder = entry.szModule;
    EXPECT_EQ(holder, "libcore.so");
    entry.dwSize = 4;
    EXPECT_FALSE(Module32First(snapshot, &entry));
    EXPECT_TRUE(CloseHandle(snapshot));
    EXPECT_FALSE(CloseHandle(snapshot));
}
