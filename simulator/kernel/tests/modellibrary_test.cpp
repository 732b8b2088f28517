#include "simulator/kernel/modellibrary.h"

#include "core/windows/registry.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/modellibrarybytes.h"
#include "simulator/kernel/simlog.h"
#include "testsupport/module_output.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

struct MEMBER {
    std::string name; // as stored (without its prefix)
    std::string text;
    int checksum = 1; // 1: the right sum, 0: none, other: that (wrong) value
    int32_t stamp = 1;
};

// A library file laid out by hand in any version's record form.
std::vector<uint8_t> librarybytes(int16_t version, const std::vector<MEMBER>& members,
    const std::vector<std::string>& prefixes = {}, const char* signature = SPICELIBRARYSIGNATURE,
    int16_t kind = 0)
{
    const int record = version < 200 ? 16 : version < 400 ? 32 : 80;
    const int namefield = record == 16 ? 12 : record == 32 ? 20 : 64;
    const int width = version < 300 ? 2 : 4;
    std::vector<uint8_t> bytes(32 + 8 * prefixes.size() + static_cast<size_t>(record) * members.size());
    std::memcpy(bytes.data(), signature, strlen(signature));
    putle16(&bytes[16], version);
    putle16(&bytes[18], static_cast<int32_t>(prefixes.size()));
    putle16(&bytes[20], static_cast<int32_t>(members.size()));
    putle16(&bytes[22], static_cast<int32_t>(prefixes.size()));
    putle16(&bytes[24], static_cast<int32_t>(members.size()));
    putle16(&bytes[26], kind);
    for (size_t i = 0; i < prefixes.size(); ++i)
        std::memcpy(&bytes[32 + 8 * i], prefixes[i].data(), prefixes[i].size());
    for (size_t i = 0; i < members.size(); ++i) {
        size_t at = 32 + 8 * prefixes.size() + static_cast<size_t>(record) * i;
        std::memcpy(&bytes[at], members[i].name.data(), members[i].name.size());
        int32_t offset = static_cast<int32_t>(bytes.size());
        size_t length = width + members[i].text.size();
        bytes.resize(bytes.size() + width);
        width == 2 ? putle16(&bytes[offset], static_cast<int32_t>(length))
                   : putle32(&bytes[offset], static_cast<int32_t>(length));
        bytes.insert(bytes.end(), members[i].text.begin(), members[i].text.end());
        putle32(&bytes[at + namefield], offset);
        if (record == 16)
            continue;
        putle32(&bytes[at + namefield + 4], members[i].stamp);
        int sum = members[i].checksum == 1 ? bytesum(&bytes[offset], length) : members[i].checksum;
        putle16(&bytes[at + namefield + 8], sum);
    }
    return bytes;
}

void writefile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A library path as the kernel writes paths.
std::string windows(const fs::path& path)
{
    return towindowspath(path.string());
}

// The text of a block findmodel gave (null: "(none)"); the block is freed.
std::string text(char* block)
{
    if (!block)
        return "(none)";
    int32_t length = getle32(reinterpret_cast<uint8_t*>(block));
    std::string contents(block + 4, static_cast<size_t>(length - 4));
    EXPECT_EQ(block[length], '\0');
    free(block);
    return contents;
}

class ModelLibrary : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder("models");
        reg_init(REGISTRY_USERTHENMACHINE, "Software\\Venthorne\\Models Test");
        reg_removekey("Spice Library");
        setsimlog(&log);
    }
    void TearDown() override
    {
        setsimlog(nullptr);
        reg_term();
    }
    std::string folders(std::initializer_list<const char*> names)
    {
        std::string list;
        for (const char* name : names)
            list += (list.empty() ? "" : ";") + (folder / name).string();
        return list;
    }
    std::vector<std::string> order(const MLIBMANAGER& manager)
    {
        std::vector<std::string> names;
        for (MLIB_MEMBER* member : manager.searchorder)
            names.emplace_back(member->name);
        return names;
    }

    fs::path folder;
    SIMLOG log { 0 };
};

TEST_F(ModelLibrary, FirstFolderWinsAndNamesMatchWithoutCase)
{
    writefile(folder / "a" / "BJT.SML", librarybytes(400, { { "Q1", "from a" } }));
    writefile(folder / "b" / "BJT.SML", librarybytes(400, { { "Q1", "from b" }, { "Q2", "only b" } }));
    writefile(folder / "b" / "diodes.sml", librarybytes(300, { { "D1", ".MODEL D1 D" } }));
    writefile(folder / "b" / "notes.txt", librarybytes(400, { { "X", "x" } }));
    MLIBMANAGER manager(10, 0, nullptr);
    manager.load(folders({ "a", "b" }).c_str(), SPICELIBRARYPATTERN, SPICELIBRARYSIGNATURE, 0);
    EXPECT_EQ(order(manager), (std::vector<std::string> { "BJT", "diodes" }));
    EXPECT_EQ(text(manager.findmodel("Q1", "bjt.lib")), "from a");
    EXPECT_EQ(text(manager.findmodel("Q2", "BJT")), "(none)");
    EXPECT_EQ(text(manager.findmodel("D1", "DIODES")), ".MODEL D1 D");
    EXPECT_EQ(text(manager.findmodel("D1", "nolib")), "(none)");
    EXPECT_EQ(manager.writable.count, 2);
}

TEST_F(ModelLibrary, OldVersionsReadOnlyNewerAndDamagedLibrariesAreLeftOutWithAWarning)
{
    writefile(folder / "OLD.SML", librarybytes(250, { { "M", "two-byte prefix" } }));
    writefile(folder / "OLDEST.SML", librarybytes(150, { { "N", "sixteen-byte records" } }));
    writefile(folder / "NEW.SML", librarybytes(401, { { "M", "x" } }));
    std::vector<uint8_t> damaged = librarybytes(400, { { "M", "x" } });
    putle16(&damaged[24], 2); // more members than the directory holds
    writefile(folder / "DAMAGED.SML", damaged);
    std::vector<uint8_t> cut = librarybytes(400, { { "M", "x" }, { "N", "y" } });
    cut.resize(32 + 80 + 40); // the second record runs past the end
    writefile(folder / "CUT.SML", cut);
    writefile(folder / "SYMBOLS.SML", librarybytes(400, { { "M", "x" } }, {}, "SYMBOL LIBRARY\x1a"));
    vkt::test::MODULEOUTPUT output;
    MLIBMANAGER manager(10, 0, nullptr);
    manager.load(folders({ "" }).c_str(), SPICELIBRARYPATTERN, SPICELIBRARYSIGNATURE, 0);
    EXPECT_EQ(order(manager), (std::vector<std::string> { "OLD", "OLDEST" }));
    EXPECT_EQ(manager.writable.count, 0);
    EXPECT_EQ(text(manager.findmodel("M", "OLD")), "two-byte prefix");
    EXPECT_EQ(text(manager.findmodel("N", "OLDEST")), "sixteen-byte records");
    std::string logged = output.out();
    for (const char* name : { "NEW", "DAMAGED", "CUT" })
        EXPECT_NE(logged.find(std::string(name) + ".SML"), std::string::npos) << logged;
    EXPECT_NE(logged.find("has newer version than library manager"), std::string::npos);
    EXPECT_NE(logged.find("is corrupted or not a library"), std::string::npos);
    EXPECT_EQ(logged.find("SYMBOLS"), std::string::npos);
}

// A pipe among the libraries once stopped the load for good, waiting for a writer.
TEST_F(ModelLibrary, FilesTheBoundedOpenRefusesAreLeftOutWithAWarning)
{
    writefile(folder / "GOOD.SML", librarybytes(400, { { "M", "kept" } }));
    ASSERT_EQ(mkfifo((folder / "PIPE.SML").c_str(), 0600), 0);
    writefile(folder / "HUGE.SML", librarybytes(400, { { "M", "x" } }));
    fs::resize_file(folder / "HUGE.SML", (uintmax_t { 256 } << 20) + 1);
    vkt::test::MODULEOUTPUT output;
    MLIBMANAGER manager(10, 0, nullptr);
    manager.load(folders({ "" }).c_str(), SPICELIBRARYPATTERN, SPICELIBRARYSIGNATURE, 0);
    EXPECT_EQ(order(manager), (std::vector<std::string> { "GOOD" }));
    std::string logged = output.out();
    EXPECT_NE(logged.find("PIPE.SML cannot be read: not a regular file"), std::string::npos) << logged;
    EXPECT_NE(logged.find("HUGE.SML cannot be read: larger than 256 MB"), std::string::npos) << logged;
}

TEST_F(ModelLibrary, OrderAndHiddenKeysDecideTheSearch)
{
    for (const char* name : { "A", "B", "C", "D" })
        writefile(folder / (std::string(name) + ".SML"), librarybytes(400, { { "M", name } }));
    reg_putstr("Spice Library\\Order", "000", "c");
    reg_putstr("Spice Library\\Order", "001", "B");
    reg_putstr("Spice Library\\Order", "002", "missing");
    reg_putstr("Spice Library\\Order", "004", "A"); // after the gap: never read
    reg_putstr("Spice Library\\Hidden", "000", "b");
    MLIBMANAGER manager(10, 0, nullptr);
    manager.load(folder.string().c_str(), SPICELIBRARYPATTERN, SPICELIBRARYSIGNATURE, 0);
    EXPECT_EQ(order(manager), (std::vector<std::string> { "C", "A", "D" }));
    EXPECT_EQ(text(manager.findmodel("M", "B")), "(none)");
    manager.unload();
    EXPECT_EQ(manager.libraries.count, 0);
    char name[256] = {};
    EXPECT_GT(reg_getstr("Spice Library\\Order", "001", name, sizeof name), 0);
    EXPECT_STREQ(name, "A");
    EXPECT_LE(reg_getstr("Spice Library\\Order", "003", name, sizeof name), 0);
}

TEST_F(ModelLibrary, MembersAreFoundUnderTheirPrefixAndChecked)
{
    writefile(folder / "P.SML",
        librarybytes(400,
            { { "7", "bc547" }, { "107", "bc107" }, { "BC", "whole" }, { "8", "bc548" },
                { "Z", "unchecked", 0 }, { "W", "wrong", 7 } },
            { "BC", "BC54" }));
    MLIBMANAGER manager(10, 0, nullptr);
    manager.load(folder.string().c_str(), SPICELIBRARYPATTERN, SPICELIBRARYSIGNATURE, 0);
    EXPECT_EQ(text(manager.findmodel("BC547", "P")), "bc547");
    EXPECT_EQ(text(manager.findmodel("BC548", "P")), "bc548");
    EXPECT_EQ(text(manager.findmodel("BC107", "P")), "bc107");
    EXPECT_EQ(text(manager.findmodel("BC", "P")), "whole");
    EXPECT_EQ(text(manager.findmodel("Z", "P")), "unchecked");
    EXPECT_EQ(text(manager.findmodel("W", "P")), "(none)");
}

TEST_F(ModelLibrary, KindFilterPassesKindZeroAndItsOwnKind)
{
    writefile(folder / "ANY.SML", librarybytes(400, { { "M", "x" } }));
    writefile(folder / "MINE.SML", librarybytes(400, { { "M", "x" } }, {}, SPICELIBRARYSIGNATURE, 3));
    writefile(folder / "OTHER.SML", librarybytes(400, { { "M", "x" } }, {}, SPICELIBRARYSIGNATURE, 4));
    MLIBMANAGER manager(10, 0, nullptr);
    manager.kind = 3;
    manager.load(folder.string().c_str(), SPICELIBRARYPATTERN, SPICELIBRARYSIGNATURE, 0);
    EXPECT_EQ(order(manager), (std::vector<std::string> { "ANY", "MINE" }));
}

TEST_F(ModelLibrary, WritingRaisesTheVersionAndMovesDataOutOfTheGrowingDirectory)
{
    // A version 300 library whose first block lies right after its 32-byte records.
    writefile(folder / "W.SML", librarybytes(300, { { "KEEP", "kept text" } }));
    DLIB library(0, nullptr);
    ASSERT_EQ(library.open(windows(folder / "W.SML").c_str(), SPICELIBRARYSIGNATURE, 0), 1);
    for (int i = 0; i < 120; ++i)
        ASSERT_EQ(library.putmember(("M" + std::to_string(i)).c_str(), "text", 4), 1) << i;
    ASSERT_EQ(library.putmember("M7", "replaced", 8), 1);
    library.close();

    DLIB again(0, nullptr);
    ASSERT_EQ(again.open(windows(folder / "W.SML").c_str(), SPICELIBRARYSIGNATURE, 0), 1);
    EXPECT_EQ(again.header.version, 400);
    EXPECT_EQ(again.header.directorycapacity, 201); // 1, then grown by 100 twice
    EXPECT_EQ(again.directory.size(), 121u);
    EXPECT_EQ(text(again.readmember(*again.find("KEEP"))), "kept text");
    EXPECT_EQ(text(again.readmember(*again.find("M7"))), "replaced");
    EXPECT_EQ(text(again.readmember(*again.find("M119"))), "text");
    EXPECT_GT(again.find("M7")->stamp, again.find("M119")->stamp);
    EXPECT_GE(again.find("KEEP")->offset, 32 + 80 * 201);

    writefile(folder / "R.SML", librarybytes(250, { { "M", "x" } }));
    DLIB old(0, nullptr);
    ASSERT_EQ(old.open(windows(folder / "R.SML").c_str(), SPICELIBRARYSIGNATURE, 0), 1);
    EXPECT_EQ(old.putmember("N", "y", 1), 0);
}

TEST_F(ModelLibrary, IndexCacheIsWrittenReadAndRefreshedByStamp)
{
    const std::string first = "* model\n*INDEX\nCAT=Transistors\nMFR = Acme \nDESC=NPN\n";
    writefile(folder / "IDX.SML",
        librarybytes(400,
            { { "Q1", first, 1, 5 }, { "[HIDDEN]", "*INDEX\nCAT=x\n" }, { "D1", "*INDEX\nTYPE=diode\n" } }));
    fs::path cachefolder = folder / "cache";
    fs::create_directories(cachefolder);
    const std::string library = windows(folder / "IDX.SML");
    const std::string cachepath = windows(cachefolder);
    char cachename[PATHBUFFER];
    indexcachename(cachename, library.c_str(), cachepath.c_str());
    char expected[PATHBUFFER];
    snprintf(expected, sizeof expected, "%s\\%08X#IDX.IDX", cachepath.c_str(), pathchecksum(library.c_str()));
    EXPECT_STREQ(cachename, expected);

    auto opened = [&] {
        auto made = std::make_unique<DLIB>(1, cachepath.c_str());
        EXPECT_EQ(made->open(library.c_str(), SPICELIBRARYSIGNATURE, 0), 1);
        return made;
    };
    auto texts = [](const DLIB_INDEX_ENTRY* entry) {
        std::string all;
        for (const char* t : entry->texts)
            all += std::string(t ? t : "-") + "|";
        return all;
    };
    {
        auto lib = opened();
        EXPECT_EQ(texts(lib->find("Q1")), "Transistors|-|-|Acme|-|NPN|");
        EXPECT_EQ(texts(lib->find("D1")), "-|IDX|-|-|-|-|");
        EXPECT_EQ(texts(lib->find("[HIDDEN]")), "-|-|-|-|-|-|");
    }
    const std::string cachefile = toposixpath(cachename);
    ASSERT_TRUE(fs::exists(cachefile));

    // The cache answers without reading the members: a changed member with the old stamp keeps
    // the cached texts; a new stamp is indexed anew.
    std::vector<uint8_t> changed = librarybytes(400,
        { { "Q1", "*INDEX\nCAT=Changed\n", 1, 5 }, { "[HIDDEN]", "" },
            { "D1", "*INDEX\nCAT=Diodes\n", 1, 2 } });
    writefile(folder / "IDX.SML", changed);
    {
        auto lib = opened();
        EXPECT_EQ(texts(lib->find("Q1")), "Transistors|-|-|Acme|-|NPN|");
        EXPECT_EQ(texts(lib->find("D1")), "Diodes|-|-|-|-|-|");
    }
    {
        auto lib = opened();
        EXPECT_EQ(texts(lib->find("D1")), "Diodes|-|-|-|-|-|");
    }
    // A damaged cache is rebuilt.
    writefile(cachefile, { 1, 2, 3 });
    auto lib = opened();
    EXPECT_EQ(texts(lib->find("Q1")), "Changed|-|-|-|-|-|");
}

TEST_F(ModelLibrary, AnIndexCacheNameThatWouldNotFitIsNoCache)
{
    // Cut, two libraries with long names would share one cache file.
    const std::string longlibrary = "C:\\" + std::string(500, 'L') + ".SML";
    const std::string longfolder = "C:\\" + std::string(300, 'F');
    char cachename[PATHBUFFER];
    for (const auto& [library, cachefolder] : { std::pair { longlibrary, std::string("C:\\CACHE") },
             std::pair { std::string("C:\\A.SML"), longfolder } }) {
        std::memset(cachename, 'x', sizeof cachename);
        indexcachename(cachename, library.c_str(), cachefolder.c_str());
        EXPECT_STREQ(cachename, "") << library.size() << " " << cachefolder.size();
    }
}

} // namespace
