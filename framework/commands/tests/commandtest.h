#pragma once

// What the command-table and key-translator tests share: the fixture files, resources registered
// from bytes, a module whose context (with a registry of its own) is current, and the boxes the
// code under test shows.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/windows/registry.h"
#include "framework/appln/applnmodule.h"
#include "platform/win/messagebox.h"
#include "platform/win/modules.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/resources.h"

namespace cmdtest {

using Bytes = std::vector<uint8_t>;

inline std::filesystem::path testfolder()
{
    return VKT_TEST_SOURCE_DIR;
}

inline Bytes readbytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline Bytes fixture(const char* name)
{
    return readbytes(testfolder() / "fixtures" / name);
}

inline HMODULE program()
{
    return GetModuleHandleA(nullptr);
}

// The bytes of a resource of the test program.
inline Bytes resourcebytes(const char* name)
{
    HRSRC resource = FindResourceA(program(), name, RT_RCDATA);
    if (!resource)
        return {};
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(program(), resource)));
    return Bytes(data, data + SizeofResource(program(), resource));
}

// Bytes registered as an RCDATA resource of a module of its own, for as long as it lives.
class RAWRESOURCE {
public:
    RAWRESOURCE(uint16_t id, Bytes data)
        : bytes(std::move(data))
        , entry { RT_RCDATA, MAKEINTRESOURCEA(id), bytes.data(), static_cast<DWORD>(bytes.size()) }
    {
        registerresources(module(), &entry, 1);
    }
    ~RAWRESOURCE() { unregisterresources(module(), &entry); }
    RAWRESOURCE(const RAWRESOURCE&) = delete;
    RAWRESOURCE& operator=(const RAWRESOURCE&) = delete;

    // A module handle of the tests' own, beside the program's resources.
    static HMODULE module() { return reinterpret_cast<HMODULE>(0x7E570001); }

private:
    Bytes bytes;
    RESOURCEENTRY entry;
};

// The texts of the message boxes shown while it lives; each is answered with IDOK.
class BOXES {
public:
    BOXES()
    {
        texts().clear();
        previous = setmessageboxhook(record);
    }
    ~BOXES() { setmessageboxhook(previous); }
    static std::vector<std::string>& texts()
    {
        static std::vector<std::string> shown;
        return shown;
    }

private:
    static int record(HWND, const char* text, const char*, UINT)
    {
        texts().emplace_back(text);
        return IDOK;
    }
    MESSAGEBOXHOOK previous;
};

// A module on its own whose context is current, with a registry branch of the test.
class TESTMODULE : public APPLNMODULE {
public:
    TESTMODULE()
        : APPLNMODULE(nullptr)
    {
        pushcontext();
        reg_init(REGISTRY_USERTHENMACHINE, "Software\\Venthorne Electronics\\Command Tests");
        messagetable.load("QJLIBMESSAGES", getapplnlanguageinstance());
        context.messagetable = &messagetable;
    }
    ~TESTMODULE() override
    {
        reg_term();
        popcontext();
    }
    using APPLNMODULE::cmdtable;
    using APPLNMODULE::context;
    using APPLNMODULE::keytranslator;
};

} // namespace cmdtest
