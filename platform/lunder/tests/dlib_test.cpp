#include "platform/lunder/dlib.h"

#include "core/containers/dpkb.h"
#include "core/text/proptext.h"
#include "platform/lunder/libcounter.h"
#include "platform/lunder/tests/libtest.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* NAND
    = "*INDEX\nCAT=TTL 74 Series\nSUBCAT=Gates\nMFR=Texas\nCODE=SN7400N\nDESC=Quad 2-input NAND\n"
      "*COMPONENT\nPACKAGE=DIL14\nMODFILE=7400.MDF\n";
constexpr const char* RESISTOR
    = "*INDEX\nCAT= Resistors \nDESC=Generic resistor\n*COMPONENT\nPRIMITIVE=ANALOGUE\n";

int classify(const PROPTEXT& text)
{
    return (text.exists("COMPONENT", "MODFILE") ? LIBCLASS_MODEL : 0)
        | (text.exists("COMPONENT", "PACKAGE") ? LIBCLASS_PACKAGING : 0);
}

std::string windows(const fs::path& path)
{
    return towindowspath(path.string());
}

// An open device library at folder/name, with the given entries added.
std::unique_ptr<DLIB> devicelibrary(const fs::path& folder, const char* name, uint32_t capacity = 100)
{
    std::string error;
    std::string path = windows(folder / name);
    EXPECT_TRUE(DLIB::create(path.c_str(), "DEVICE LIBRARY", capacity, error)) << error;
    auto library = std::make_unique<DLIB>(path.c_str(), 1, classify);
    EXPECT_EQ(library->open("DEVICE LIBRARY", "", error), DLIB::OPENED) << error;
    return library;
}

void add(DLIB& library, const char* name, const char* drawing, const char* properties)
{
    auto data = packed(name, drawing, properties);
    library.add(name, *data);
}

std::string drawingof(DLIB& library, const char* name)
{
    uint32_t created = 0;
    std::string error;
    std::unique_ptr<DPKB> data(library.read(name, created, error));
    if (!data)
        return "(" + error + ")";
    TESTENTRY entry(name);
    return entry.unpack(*data) ? entry.drawing.text : "(damaged)";
}

} // namespace

TEST(DLIB, StoresEntriesAndIndexesTheirKeywords)
{
    fs::path folder = vkt::test::makeTempSubfolder("stores");
    auto library = devicelibrary(folder, "TTL.LIB");
    uint32_t before = libcounter();
    add(*library, "R10", "ten", RESISTOR);
    add(*library, "7400", "nand", NAND);
    add(*library, "R2", "two", RESISTOR);
    EXPECT_GT(libcounter(), before);

    ASSERT_EQ(library->count(), 3);
    EXPECT_STREQ(library->indexbase()[0]->name, "7400");
    EXPECT_STREQ(library->indexbase()[1]->name, "R2");
    EXPECT_STREQ(library->indexbase()[2]->name, "R10");
    const DLIB_INDEX_ENTRY* nand = library->entry("7400");
    ASSERT_NE(nand, nullptr);
    EXPECT_STREQ(nand->category, "TTL 74 Series");
    EXPECT_EQ(nand->type, nullptr);
    EXPECT_STREQ(nand->subcategory, "Gates");
    EXPECT_STREQ(nand->manufacturer, "Texas");
    EXPECT_STREQ(nand->stockcode, "SN7400N");
    EXPECT_STREQ(nand->description, "Quad 2-input NAND");
    EXPECT_EQ(nand->classes, LIBCLASS_MODEL | LIBCLASS_PACKAGING);
    EXPECT_STREQ(library->entry("r10")->category, "Resistors");
    EXPECT_EQ(library->entry("R10")->classes, 0);
    EXPECT_NEAR(double(nand->created), double(time(nullptr)), 5);

    EXPECT_EQ(drawingof(*library, "r2"), "two");
    EXPECT_EQ(drawingof(*library, "7400"), "nand");

    // A second reader of the same file sees the same index.
    std::string error;
    DLIB again(library->path, 1, classify);
    ASSERT_EQ(again.open("DEVICE LIBRARY", "", error), DLIB::OPENED) << error;
    EXPECT_EQ(again.count(), 3);
    EXPECT_STREQ(again.entry("7400")->description, "Quad 2-input NAND");
    EXPECT_EQ(again.open("SYMBOL LIBRARY", "", error), DLIB::OTHERKIND);
    EXPECT_EQ(again.count(), 0);
}

TEST(DLIB, ReplacesAnEntryOfTheSameNameWhateverItsCase)
{
    fs::path folder = vkt::test::makeTempSubfolder("replaces");
    auto library = devicelibrary(folder, "TTL.LIB");
    add(*library, "7400", "old", NAND);
    add(*library, "7400.dm", "other", NAND);
    add(*library, "7400.DM", "new", RESISTOR);
    ASSERT_EQ(library->count(), 2);
    EXPECT_STREQ(library->entry(1)->name, "7400.DM");
    EXPECT_STREQ(library->entry("7400.dm")->category, "Resistors");
    EXPECT_EQ(drawingof(*library, "7400.DM"), "new");
    EXPECT_EQ(drawingof(*library, "7400"), "old");
    EXPECT_EQ(library->entry("7400")->classes, LIBCLASS_MODEL | LIBCLASS_PACKAGING);
}

TEST(DLIB, RefusesWritesThatCannotBeStoredAndLeavesTheFileAsItWas)
{
    fs::path folder = vkt::test::makeTempSubfolder("refuses");
    auto library = devicelibrary(folder, "SMALL.LIB", 2);
    add(*library, "A", "a", NAND);
    add(*library, "B", "b", NAND);
    const std::vector<uint8_t> before = filebytes(folder / "SMALL.LIB");

    struct CASE {
        const char* name;
        const char* expected;
    };
    const std::string long64(64, 'X');
    for (const CASE& c : { CASE { "C", "is full" }, CASE { "", "1 to 63 characters" },
             CASE { long64.c_str(), "1 to 63 characters" } }) {
        try {
            add(*library, c.name, "c", NAND);
            ADD_FAILURE() << c.name;
        } catch (const LIBERROR& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("SMALL.LIB"), std::string::npos) << e.what();
        }
    }
    // Replacing an entry of a full library is no growth.
    add(*library, "b", "b2", NAND);
    EXPECT_EQ(drawingof(*library, "B"), "b2");
    EXPECT_NE(filebytes(folder / "SMALL.LIB"), before);

    for (const auto& file : fs::directory_iterator(folder))
        EXPECT_EQ(file.path().filename(), "SMALL.LIB");
}

TEST(DLIB, ReadOnlyLibraryIsNeverWrittenAndSaysSo)
{
    fs::path folder = vkt::test::makeTempSubfolder("readonly");
    {
        auto library = devicelibrary(folder, "SYSTEM.LIB");
        add(*library, "7400", "nand", NAND);
    }
    fs::permissions(
        folder / "SYSTEM.LIB", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::vector<uint8_t> before = filebytes(folder / "SYSTEM.LIB");
    std::string error;
    DLIB library(windows(folder / "SYSTEM.LIB").c_str(), 1, classify);
    ASSERT_EQ(library.open("DEVICE LIBRARY", "", error), DLIB::OPENED) << error;
    EXPECT_TRUE(library.isreadonly());
    try {
        add(library, "7404", "not", NAND);
        ADD_FAILURE();
    } catch (const LIBERROR& e) {
        EXPECT_NE(std::string(e.what()).find("SYSTEM.LIB' is read only"), std::string::npos) << e.what();
    }
    EXPECT_EQ(filebytes(folder / "SYSTEM.LIB"), before);
    EXPECT_EQ(library.count(), 1);
}

TEST(DLIB, FollowsAFileChangedBehindIt)
{
    fs::path folder = vkt::test::makeTempSubfolder("changed");
    auto library = devicelibrary(folder, "TTL.LIB");
    add(*library, "7400", "nand", NAND);
    std::string error;
    DLIB other(library->path, 1, classify);
    ASSERT_EQ(other.open("DEVICE LIBRARY", "", error), DLIB::OPENED);
    add(other, "7404", "not", NAND);
    EXPECT_TRUE(library->changed());
    EXPECT_EQ(library->entry("7404"), nullptr);
    EXPECT_EQ(drawingof(*library, "7404"), "not");
    EXPECT_FALSE(library->changed());
    EXPECT_STREQ(library->entry("7404")->description, "Quad 2-input NAND");
    // A write through the first reader keeps what the second one added.
    add(*library, "7408", "and", NAND);
    EXPECT_EQ(library->count(), 3);
}

TEST(DLIB, OpeningReadsTheIndexNotTheEntries)
{
    fs::path folder = vkt::test::makeTempSubfolder("lazy");
    std::vector<uint8_t> good = record("GOOD", "good", NAND);
    std::vector<uint8_t> bad = record("BAD", "bad", NAND);
    bad[0] ^= 1; // its length word no longer agrees with the directory
    writelibrary(folder / "MIXED.LIB", "SYMBOL LIBRARY", { { "BAD", 1, bad }, { "GOOD", 2, good } });

    std::string error;
    DLIB symbols(windows(folder / "MIXED.LIB").c_str(), 0, nullptr);
    ASSERT_EQ(symbols.open("SYMBOL LIBRARY", "", error), DLIB::OPENED) << error;
    EXPECT_EQ(symbols.count(), 2);
    EXPECT_EQ(drawingof(symbols, "GOOD"), "good");
    std::string message = drawingof(symbols, "BAD");
    EXPECT_NE(message.find("MIXED.LIB' is damaged"), std::string::npos) << message;
    EXPECT_NE(drawingof(symbols, "NONE").find("holds no entry 'NONE'"), std::string::npos);

    // Indexing leaves the damaged entry without keywords and goes on.
    DLIB devices(windows(folder / "MIXED.LIB").c_str(), 1, classify);
    ASSERT_EQ(devices.open("SYMBOL LIBRARY", "", error), DLIB::OPENED) << error;
    EXPECT_EQ(devices.entry("BAD")->category, nullptr);
    EXPECT_STREQ(devices.entry("GOOD")->category, "TTL 74 Series");
}

TEST(DLIB, PinoutScriptsCarryNoKeywords)
{
    fs::path folder = vkt::test::makeTempSubfolder("pinouts");
    auto library = devicelibrary(folder, "TTL.LIB");
    add(*library, "[DIL14]", "script", NAND);
    EXPECT_EQ(library->entry("[DIL14]")->category, nullptr);
    EXPECT_EQ(library->entry("[DIL14]")->classes, 0);
}

TEST(DLIB, IndexEntryFromPackedData)
{
    auto data = packed("7400", "nand", NAND);
    DLIB_INDEX_ENTRY entry("7400", *data);
    EXPECT_EQ(entry.length, static_cast<uint32_t>(data->putptr - data->base));
    EXPECT_EQ(entry.mode, 1);
    DLIB library("X.LIB", 1, classify);
    PROPTEXT text;
    ASSERT_EQ(library.index_keywords(entry, *data, text), 1);
    EXPECT_STREQ(entry.manufacturer, "Texas");
    EXPECT_EQ(entry.classes, LIBCLASS_MODEL | LIBCLASS_PACKAGING);
    EXPECT_STREQ(text.get("INDEX", "CODE"), "SN7400N");

    DPKB empty(16, DPKB_WORD32);
    empty.alloc(4);
    EXPECT_EQ(library.index_keywords(entry, empty, text), 0);
}

TEST(DLIB, WritersInSeveralProcessesLoseNothing)
{
    fs::path folder = vkt::test::makeTempSubfolder("writers");
    auto library = devicelibrary(folder, "SHARED.LIB");
    std::vector<pid_t> children;
    for (int process = 0; process < 4; ++process) {
        pid_t child = fork();
        if (child == 0) {
            int failures = 0;
            for (int i = 0; i < 10; ++i) {
                std::string name = "P" + std::to_string(process) + "E" + std::to_string(i);
                try {
                    add(*library, name.c_str(), "x", RESISTOR);
                } catch (const LIBERROR& e) {
                    fprintf(stderr, "%s\n", e.what());
                    ++failures;
                }
            }
            _exit(failures);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::string error;
    DLIB reread(library->path, 1, classify);
    ASSERT_EQ(reread.open("DEVICE LIBRARY", "", error), DLIB::OPENED) << error;
    EXPECT_EQ(reread.count(), 40);
}
