#include "platform/lunder/rlib.h"

#include "core/files/ramfile.h"
#include "platform/lunder/libcounter.h"
#include "platform/lunder/mlib.h"
#include "platform/lunder/tests/libtest.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace fs = std::filesystem;

namespace {

const char* const DEVICE = "DEVICE LIBRARY";

// Two device libraries, A and B, both holding 7400 (B's the newer).
class LoadedEntries : public testing::Test {
protected:
    void SetUp() override
    {
        fs::path folder = vkt::test::makeTempSubfolder("loaded");
        writelibrary(folder / "A.LIB", DEVICE,
            { { "7400", 100, record("7400", "a7400", "") }, { "7404", 100, record("7404", "a7404", "") } });
        writelibrary(folder / "B.LIB", DEVICE, { { "7400", 200, record("7400", "b7400", "") } });
        ASSERT_EQ(set.openidx(towindowspath(folder.string()).c_str(), nullptr, "*.LIB", DEVICE), 2);
    }

    static std::string drawing(RLIB_ENTRY* entry)
    {
        auto* test = static_cast<TESTENTRY*>(entry);
        return test && test->drawing.text ? test->drawing.text : "";
    }

    MLIB set { 50, 1, nullptr };
};

TESTENTRY* at(const TESTLIB& library, int i)
{
    return static_cast<TESTENTRY*>(library.ptr(i));
}

// Loaded entries named name with the drawing drawing.
void fill(TESTLIB& library, std::initializer_list<std::pair<const char*, const char*>> entries)
{
    for (const auto& [name, drawing] : entries) {
        auto* entry = new TESTENTRY(name, drawing, "*INDEX\nCAT=X\n");
        entry->created = 1000 + static_cast<uint32_t>(library.count);
        library.add(entry);
    }
}

} // namespace

TEST_F(LoadedEntries, GetLoadsFromTheLibrariesOnDemand)
{
    TESTLIB loaded(&set);
    uint32_t before = libcounter();
    TESTENTRY* newest = loaded.get("7400");
    ASSERT_NE(newest, nullptr);
    EXPECT_GT(libcounter(), before);
    EXPECT_EQ(drawing(newest), "b7400");
    EXPECT_EQ(newest->created, 200u);
    EXPECT_EQ(newest->library, set.rdlib(1)->number);
    EXPECT_EQ(loaded.count, 1);
    EXPECT_EQ(loaded.get("7400", set.rdlib(0), 0), newest);
    EXPECT_EQ(loaded.get("7404", set.rdlib(1), 0), nullptr);
    EXPECT_NE(loaded.error.find("holds no entry '7404'"), std::string::npos);

    // Flag 1: a fresh copy of a library's version, the caller's.
    std::unique_ptr<TESTENTRY> fresh(loaded.get("7400", set.rdlib(0), 1));
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh.get(), newest);
    EXPECT_EQ(drawing(fresh.get()), "a7400");
    EXPECT_EQ(fresh->created, 100u);
    EXPECT_EQ(loaded.count, 1);

    EXPECT_EQ(loaded.get("NONE"), nullptr);
    EXPECT_EQ(loaded.error, "No library holds 'NONE'.");

    TESTLIB bare(nullptr);
    EXPECT_EQ(bare.get("7400"), nullptr);
}

TEST_F(LoadedEntries, BrowseDrawsTheEntryOfTheLibraryOrTheLoadedOne)
{
    TESTLIB loaded(&set);
    fill(loaded, { { "7400", "design" } });
    char text[256] = "old";
    LIBBROWSEINFO info;
    EXPECT_EQ(loaded.browse("7400", nullptr, nullptr, &info, text), 1);
    EXPECT_STREQ(text, "drawn design");
    EXPECT_EQ(info.packagings, (std::vector<std::string> { "DIL14", "SO14" }));
    EXPECT_EQ(loaded.browse("7400", set.rdlib(0), nullptr, nullptr, text), 1);
    EXPECT_STREQ(text, "drawn a7400");
    EXPECT_EQ(loaded.browse("7404", nullptr, nullptr, nullptr, text), 1);
    EXPECT_STREQ(text, "drawn a7404");
    EXPECT_EQ(loaded.count, 1);
    EXPECT_EQ(loaded.browse("NONE", nullptr, nullptr, nullptr, text), 0);
    EXPECT_STREQ(text, "");
}

TEST(RLIB, WriteAndReadKeepEveryEntryWithItsTimeStamp)
{
    for (DPKB_MODE mode : { DPKB_WORD32, DPKB_WORD16 }) {
        TESTLIB written(nullptr);
        fill(written, { { "R10", "ten" }, { "$PINDEFAULT", "pin" }, { "[SO8]", "script" } });
        RAMFILE file;
        ASSERT_EQ(written.write(file, mode), 1) << written.error;
        file.puts("after");
        file.rewind();

        TESTLIB read(nullptr);
        ASSERT_EQ(read.read(file), 1) << read.error;
        char after[8] = {};
        file.read(after, 5);
        EXPECT_STREQ(after, "after");
        ASSERT_EQ(read.count, 3);
        for (int i = 0; i < 3; ++i) {
            auto* a = at(written, i);
            auto* b = at(read, i);
            EXPECT_STREQ(a->name, b->name);
            EXPECT_EQ(a->created, b->created);
            EXPECT_STREQ(a->drawing.text, b->drawing.text);
            EXPECT_STREQ(a->properties.text, b->properties.text);
            EXPECT_EQ(b->converted, mode == DPKB_WORD16 ? 1 : 0);
            EXPECT_EQ(b->temporary, 1);
            EXPECT_EQ(b->library, -1);
        }
        read.reset();
        EXPECT_EQ(at(read, 0)->temporary, 0);
    }
}

TEST(RLIB, ExportedEntriesMergeWithoutReplacingLoadedOnes)
{
    TESTLIB source(nullptr);
    fill(source, { { "A", "source a" }, { "B", "source b" }, { "C", "source c" } });
    DIDX used;
    used.add(const_cast<char*>("C"));
    used.add(const_cast<char*>("a"));
    used.add(const_cast<char*>("MISSING"));
    RAMFILE file;
    ASSERT_EQ(source.exportentries(file, used, DPKB_WORD32), 1);
    file.rewind();

    TESTLIB target(nullptr);
    fill(target, { { "A", "target a" } });
    ASSERT_EQ(target.read(file), 1) << target.error;
    ASSERT_EQ(target.count, 2);
    EXPECT_STREQ(at(target, 0)->drawing.text, "target a");
    EXPECT_EQ(at(target, 0)->temporary, 0);
    EXPECT_STREQ(at(target, 1)->drawing.text, "source c");
    EXPECT_EQ(at(target, 1)->temporary, 1);

    DPA listed;
    EXPECT_EQ(target.sync(listed), 2);
    EXPECT_EQ(listed.count, 2);

    uint32_t before = libcounter();
    DIDX keep;
    keep.add(const_cast<char*>("C"));
    EXPECT_EQ(target.tidy(keep), 1);
    EXPECT_GT(libcounter(), before);
    ASSERT_EQ(target.count, 1);
    EXPECT_STREQ(at(target, 0)->name, "C");
}

TEST(RLIB, DamagedBlocksKeepWhatWasReadAndSayWhy)
{
    TESTLIB source(nullptr);
    fill(source, { { "A", "a" }, { "B", "b" } });
    RAMFILE file;
    ASSERT_EQ(source.write(file, DPKB_WORD32), 1);
    const int size = static_cast<int>(file.tell());
    std::vector<uint8_t> block(size);
    file.rewind();
    file.read(block.data(), size);
    // The second entry's name starts after the head (10 bytes), the first entry's record fields
    // (name "A": 4 bytes, created, mode, length: 9) and its data.
    uint32_t first = 0;
    std::memcpy(&first, block.data() + 10 + 4 + 5, 4);
    const size_t second = 10 + 4 + 9 + first;

    struct CASE {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* expected;
        int kept;
    };
    std::vector<CASE> cases;
    cases.push_back({ "cut", std::vector<uint8_t>(block.begin(), block.end() - 3), "damaged", 1 });
    CASE later { "later version", block, "format version 2", 0 };
    later.bytes[4] = 2;
    cases.push_back(later);
    CASE count { "count past the end", block, "is damaged", 2 };
    count.bytes[6] = 200;
    cases.push_back(count);
    CASE name { "name without terminator", block, "its name lacks its terminator", 1 };
    name.bytes[second + 3] = 'X';
    cases.push_back(name);
    CASE huge { "length beyond any file", block, "more than a file may hold", 0 };
    huge.bytes[3] = 0x7F;
    cases.push_back(huge);

    for (const CASE& c : cases) {
        RAMFILE damaged;
        damaged.write(c.bytes.data(), static_cast<int>(c.bytes.size()));
        damaged.rewind();
        TESTLIB read(nullptr);
        EXPECT_EQ(read.read(damaged), 0) << c.what;
        EXPECT_NE(read.error.find(c.expected), std::string::npos) << c.what << ": " << read.error;
        EXPECT_EQ(read.count, c.kept) << c.what;
    }
}
