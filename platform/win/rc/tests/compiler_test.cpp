#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/win/rc/emit.h"
#include "platform/win/rc/source.h"
#include "testsupport/temp_folder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytes(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

Bytes operator+(Bytes a, const std::string& text)
{
    a.insert(a.end(), text.begin(), text.end());
    a.push_back(0);
    return a;
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string failure(const std::string& source)
{
    try {
        rc::compiletext(source, "t.rc");
    } catch (const rc::CompileError& error) {
        return error.what();
    }
    return "<compiled>";
}

} // namespace

TEST(ResourceCompiler, StringTableRecordsAreExact)
{
    rc::Compiled compiled = rc::compiletext(R"(
        #define IDS_SAVE 0x20
        /* numbered, named and flagged entries */
        STRINGTABLE "Appln Strings" {
            1 "Open"
            IDS_SAVE "Save" " as..."     // adjacent texts join
            -32768 "lowest"
            10 flags 8 "Context"
            named "TARGET" 0x12345678 "Tab\there\x41"
            65535 "\"quoted\" \\ back"
        }
        stringtable 7 { }
    )",
        "t.rc");
    ASSERT_EQ(compiled.resources.size(), 2u);
    const rc::Resource& table = compiled.resources[0];
    EXPECT_EQ(table.type, (rc::NameOrId { {}, 10 }));
    EXPECT_EQ(table.name, (rc::NameOrId { "Appln Strings", 0 }));
    Bytes expected = bytes({ 0, 1, 0, 0, 0, 0, 0 }) + "Open";
    expected = expected + bytes({ 0, 0x20, 0, 0, 0, 0, 0 }) + "Save as...";
    expected = expected + bytes({ 0, 0x00, 0x80, 0, 0, 0, 0 }) + "lowest";
    expected = expected + bytes({ 0, 10, 0, 8, 0, 0, 0 }) + "Context";
    expected = (expected + bytes({ 1 }) + "TARGET") + bytes({ 0x78, 0x56, 0x34, 0x12 }) + "Tab\thereA";
    expected = expected + bytes({ 0, 0xff, 0xff, 0, 0, 0, 0 }) + "\"quoted\" \\ back";
    expected = expected + bytes({ 2 });
    EXPECT_EQ(table.data, expected);
    EXPECT_EQ(compiled.resources[1].name, (rc::NameOrId { {}, 7 }));
    EXPECT_EQ(compiled.resources[1].data, bytes({ 2 }));
}

TEST(ResourceCompiler, CommandTablesAreRecordsOfIdFlagsAndTheirFields)
{
    rc::Compiled compiled = rc::compiletext(R"(
        #define CTX_SHARED 0x110
        cmdtable CTX_SHARED {
            command 0x200 "&New" help 1 image "GTB_MAIN:0" hint "Start."
            command 0x1146 "&Left" argument nomenu flags 0x400 hint same
            separator mergepoint reference 0x105
            submenu "&Sub" { command 5 "x" toggle hint window }
        }
    )",
        "t.rc");
    ASSERT_EQ(compiled.resources.size(), 1u);
    EXPECT_EQ(compiled.resources[0].type, (rc::NameOrId { {}, 10 }));
    EXPECT_EQ(compiled.resources[0].name, (rc::NameOrId { {}, 0x110 }));
    Bytes expected = bytes({ 0x00, 0x02, 0, 0 }) + "&New";
    expected = (expected + bytes({ 1, 0 }) + "GTB_MAIN:0") + "Start.";
    expected = (expected + bytes({ 0x46, 0x11, 0x04, 0x05 }) + "&Left") + bytes({ 0, 0, 0, 2, 0 });
    expected = expected + bytes({ 0, 0, 8, 0, 0, 0, 0x18, 0, 0x05, 0x01, 1, 0 });
    expected = (expected + bytes({ 0, 0, 0x20, 0 }) + "&Sub") + bytes({ 5, 0, 0x40, 0 });
    expected = (expected + "x") + bytes({ 0, 0, 0, 3, 0, 0, 0, 0x21, 0 });
    EXPECT_EQ(compiled.resources[0].data, expected);
}

TEST(ResourceCompiler, KeyTablesNameTheirKeysAsMenusShowThem)
{
    rc::Compiled compiled = rc::compiletext(R"(
        keytable KEYS {
            0x100 "Ctrl+N" 0x200
            0x110 "shift+ctrl+page up" 0x217D
            0x110 "Alt+Win+F12" 1
            0x110 "Num +" 2
            0x110 "Ctrl+Enter" 3
            0x120 0x00022041 4
        }
    )",
        "t.rc");
    ASSERT_EQ(compiled.resources.size(), 1u);
    EXPECT_EQ(compiled.resources[0].name, (rc::NameOrId { "KEYS", 0 }));
    EXPECT_EQ(compiled.resources[0].data,
        bytes({ 0x00, 0x01, 0x4E, 0x20, 0x02, 0x00, 0x00, 0x02, // Ctrl+N
            0x10, 0x01, 0x21, 0x31, 0x03, 0x00, 0x7D, 0x21, // Ctrl+Shift+Page Up, extended
            0x10, 0x01, 0x7B, 0xC0, 0x0C, 0x00, 0x01, 0x00, // Alt+Win+F12
            0x10, 0x01, 0x6B, 0x00, 0x00, 0x00, 0x02, 0x00, // Num +
            0x10, 0x01, 0x0D, 0x20, 0x02, 0x00, 0x03, 0x00, // Enter is never extended
            0x20, 0x01, 0x41, 0x20, 0x02, 0x00, 0x04, 0x00 }));
}

TEST(ResourceCompiler, VersionInfoIsTheFixedFileInformation)
{
    rc::Compiled compiled
        = rc::compiletext("versioninfo 1 { productversion 9,8,7,6 fileversion 1, 2, 3, 0x10 }", "v.rc");
    ASSERT_EQ(compiled.resources.size(), 1u);
    EXPECT_EQ(compiled.resources[0].type, (rc::NameOrId { {}, 16 }));
    Bytes expected = bytes({ 0xbd, 0x04, 0xef, 0xfe, 0, 0, 1, 0, 2, 0, 1, 0, 0x10, 0, 3, 0, 8, 0, 9, 0, 6, 0,
        7, 0, 0x3f, 0, 0, 0 });
    expected.resize(52, 0);
    EXPECT_EQ(compiled.resources[0].data, expected);
    EXPECT_NE(rc::emitcpp(compiled, "v.rc").find("section(\"vkt_version\")"), std::string::npos);
}

TEST(ResourceCompiler, FaultsAreReportedWithTheirLine)
{
    struct {
        const char* source;
        const char* message;
    } cases[] = {
        { "stringtable S {\n 1 \"a\"\n 1 \"b\" }", "t.rc:3: number 1 is used twice" },
        { "stringtable S {\n 65536 \"a\" }", "t.rc:2: an entry number out of range: 65536" },
        { "stringtable S { 1 \"a\\0\" }", "t.rc:1: unknown escape \\0" },
        { "stringtable S { 1 \"a\\x00\" }", "t.rc:1: a text cannot hold a NUL character" },
        { "stringtable S { named \"ABCDEFGHIJKLMNOPQRSTUVWXYZ123456\" 1 \"x\" }",
            "a name has 1 to 31 characters" },
        { "stringtable S { named \"n\" 1 \"x\" named \"N\" 2 \"y\" }", "name 'N' is used twice" },
        { "stringtable S { IDS_NOPE \"x\" }", "'IDS_NOPE' is not defined" },
        { "stringtable S { 010 \"x\" }", "no leading zeros" },
        { "stringtable S { 1 \"open\n\" }", "t.rc:1: unterminated text" },
        { "stringtable S {\n 1 \"x\"\n", "t.rc:3: missing '}' at the end" },
        { "stringtable S { 1 \"x\" }\nstringtable s { }",
            "t.rc:2: a resource of this kind and name is defined twice" },
        { "menu M { }", "unknown resource kind 'menu'" },
        { "cmdtable T { }", "t.rc:1: this kind of resource is named by a number, not 'T'" },
        { "cmdtable 0x110 {\n command 0 \"x\" }", "t.rc:2: a command id out of range: 0" },
        { "cmdtable 0x110 { command 1 \"x\" hint \"\" }", "an empty hint is written hint none" },
        { "cmdtable 0x110 { command 1 \"x\" hint \"\\x01\" }", "would read as a hint code" },
        { "cmdtable 0x110 { command 1 \"x\" hint none hint same }", "a command has one hint" },
        { "cmdtable 0x110 { command 1 \"x\" flags 0x28 }",
            "cannot hold the separator, submenu or reference" },
        { "cmdtable 0x110 { command 1 \"x\" image \"\" }", "an image is named" },
        { "cmdtable 0x110 { submenu \"x\" { separator }", "missing '}' at the end" },
        { "cmdtable 0x110 { popup }", "expected command, separator, mergepoint, reference or submenu" },
        { "keytable K { 0x100 \"Ctrl+Banana\" 1 }", "no key is named 'Banana'" },
        { "keytable K { 0x100 \"Ctrl+\" 1 }", "no key is named 'Ctrl+'" },
        { "keytable K { 0x100 \"N\" }", "expected a command id" },
        { "keytable K { 0x10000 \"N\" 1 }", "a command context out of range" },
        { "stringtable 0 { }", "a resource id lies between 1 and 65535" },
        { "versioninfo 1 { }", "a versioninfo needs a fileversion" },
        { "versioninfo 1 { fileversion 1, 2, 3 }", "expected ','" },
        { "#pragma once", "unknown directive '#pragma once'" },
        { "stringtable S { } #define X 1", "a directive must begin its line" },
        { "/* open", "unterminated comment" },
    };
    for (const auto& c : cases)
        EXPECT_NE(failure(c.source).find(c.message), std::string::npos)
            << c.source << "\n -> " << failure(c.source);
}

TEST(ResourceCompiler, IncludesTakeTheDefinesOfAHeader)
{
    auto folder = vkt::test::makeTempSubfolder("include");
    std::ofstream(folder / "ids.h")
        << "#pragma once\n#define IDS_A 5\n#define IDS_B (0x10)\n#define NAME \"text\"\n"
           "constexpr int ignored = 1;\n";
    std::ofstream(folder / "table.rc") << "#include \"ids.h\"\nstringtable S { IDS_A \"a\" IDS_B \"b\" }\n";
    rc::Compiled compiled = rc::compilesource((folder / "table.rc").string());
    ASSERT_EQ(compiled.resources.size(), 1u);
    EXPECT_EQ(compiled.resources[0].data,
        (bytes({ 0, 5, 0, 0, 0, 0, 0 }) + "a") + (bytes({ 0, 0x10, 0, 0, 0, 0, 0 }) + "b") + bytes({ 2 }));
    EXPECT_EQ(rc::emitdepfile(compiled, "out dir/t.cpp"),
        "out\\ dir/t.cpp: " + (folder / "table.rc").string() + " " + (folder / "ids.h").string() + "\n");
    EXPECT_NE(failure("#include \"missing.h\""), "<compiled>");
}

TEST(ResourceCompiler, IconsBitmapsAndFormsAreTheirFilesAndTheFilesAreInputs)
{
    auto folder = vkt::test::makeTempSubfolder("files");
    std::ofstream(folder / "app.png", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\1", 10);
    std::ofstream(folder / "box.ui") << "<ui/>";
    std::ofstream(folder / "empty.png");
    std::ofstream(folder / "files.rc")
        << "icon APPICON { \"app.png\" }\nbitmap APPICON { \"app.png\" }\nform STATUSBOX { \"box.ui\" }\n";
    rc::Compiled compiled = rc::compilesource((folder / "files.rc").string());
    ASSERT_EQ(compiled.resources.size(), 3u);
    EXPECT_EQ(compiled.resources[0].type, (rc::NameOrId { {}, 14 }));
    EXPECT_EQ(compiled.resources[1].type, (rc::NameOrId { {}, 2 }));
    EXPECT_EQ(compiled.resources[1].data, compiled.resources[0].data);
    EXPECT_EQ(compiled.resources[0].data, bytes({ 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 1 }));
    EXPECT_EQ(compiled.resources[2].type, (rc::NameOrId { {}, 5 }));
    EXPECT_EQ(compiled.resources[2].name, (rc::NameOrId { "STATUSBOX", 0 }));
    EXPECT_EQ(compiled.resources[2].data, bytes({ '<', 'u', 'i', '/', '>' }));
    EXPECT_EQ(compiled.inputs.back(), (folder / "box.ui").string());

    std::ofstream(folder / "bad.rc") << "icon A { \"empty.png\" }\nicon B { \"none.png\" }\n";
    EXPECT_THROW(rc::compilesource((folder / "bad.rc").string()), rc::CompileError);
    EXPECT_NE(failure("icon A { \"\" }").find("not an empty name"), std::string::npos);
    EXPECT_NE(failure("form A { \"\" }").find("not an empty name"), std::string::npos);
}
