#include "core/files/ramfile.h"
#include "core/text/proptext.h"
#include "platform/lunder/mlib.h"
#include "platform/lunder/rlib.h"
#include "platform/lunder/tests/libtest.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <map>

namespace fs = std::filesystem;

namespace {

int classify(const PROPTEXT& text)
{
    return text.exists("COMPONENT", "MODFILE") ? LIBCLASS_MODEL : 0;
}

struct ORIGINAL {
    std::string drawing;
    std::string properties;
};

// Stores entries into the library at folder/file, made with DLIB::create, as the device tools store
// them: each packed into a DPKB and added.
void store(const fs::path& folder, const char* file, const char* kind,
    std::initializer_list<std::pair<const char*, const char*>> entries,
    std::map<std::string, ORIGINAL>& originals)
{
    std::string path = towindowspath((folder / file).string());
    std::string error;
    ASSERT_TRUE(DLIB::create(path.c_str(), kind, 500, error)) << error;
    DLIB library(path.c_str(), 0, nullptr);
    ASSERT_EQ(library.open(kind, "", error), DLIB::OPENED) << error;
    for (const auto& [name, properties] : entries) {
        std::string drawing = std::string("drawing of ") + name;
        TESTENTRY entry(name, drawing.c_str(), properties);
        DPKB data(4096, DPKB_WORD32);
        ASSERT_TRUE(entry.pack(data));
        library.add(name, data);
        originals[name] = { drawing, properties };
    }
}

} // namespace

// Devices, packages and symbols, with "$" entries, "[pinout]" entries and a read-only library, are
// written, indexed, reopened from the cache, loaded, exported and read back equal.
TEST(LibrarySet, EntriesGoThroughEveryStepUnchanged)
{
    fs::path user = vkt::test::makeTempSubfolder("user");
    fs::path system = vkt::test::makeTempSubfolder("system");
    std::string cache = towindowspath((vkt::test::makeTempSubfolder("data") / "Library Indexing").string());
    std::string folders = towindowspath(user.string()) + ";" + towindowspath(system.string());
    std::map<std::string, ORIGINAL> originals;
    store(user, "USERDEV.LIB", "DEVICE LIBRARY",
        { { "7400", "*INDEX\nCAT=Logic\nDESC=Quad NAND\n*COMPONENT\nMODFILE=7400.MDF\nPACKAGE=DIL14\n" },
            { "[DIL14]", "*PINOUT DIL14\n" }, { "$IVOLTMETER", "*INDEX\nCAT=Instruments\n" } },
        originals);
    store(system, "SYSDEV.LIB", "DEVICE LIBRARY",
        { { "74LS00", "*INDEX\nCAT=Logic\nDESC=Quad NAND, low power Schottky\n" }, { "$GND", "" } },
        originals);
    fs::permissions(system / "SYSDEV.LIB", fs::perms::owner_read | fs::perms::group_read);
    store(user, "PACKAGE.LIB", "PACKAGE LIBRARY",
        { { "DIL14", "*INDEX\nTYPE=Through hole\n" }, { "SO8", "" } }, originals);
    store(system, "SYSTEM.LIB", "SYMBOL LIBRARY",
        { { "$PINDEFAULT", "" }, { "$TERPOWER", "" }, { "ARROW", "" } }, originals);

    struct KIND {
        const char* kind;
        int indexing;
        int libraries;
        int writable;
        int entries;
    };
    const KIND kinds[] = {
        { "DEVICE LIBRARY", 1, 2, 1, 5 },
        { "PACKAGE LIBRARY", 1, 1, 1, 2 },
        { "SYMBOL LIBRARY", 0, 1, 1, 3 },
    };
    for (const KIND& k : kinds) {
        MLIB indexed(10, k.indexing, classify);
        ASSERT_EQ(indexed.openidx(folders.c_str(), cache.c_str(), "*.LIB", k.kind), k.libraries) << k.kind;
        // Reopened: from the caches the first set wrote.
        MLIB set(10, k.indexing, classify);
        ASSERT_EQ(set.openidx(folders.c_str(), cache.c_str(), "*.LIB", k.kind), k.libraries) << k.kind;
        EXPECT_TRUE(set.problems().empty());
        EXPECT_EQ(set.wrcount(), k.writable) << k.kind;

        RLIB<TESTENTRY> loaded(&set);
        for (int i = 0; i < set.count(); ++i) {
            DLIB* library = set.rdlib(i);
            for (int j = 0; j < library->count(); ++j)
                ASSERT_NE(loaded.get(library->entry(j)->name), nullptr) << loaded.error;
        }
        ASSERT_EQ(loaded.count, k.entries) << k.kind;

        RAMFILE file;
        ASSERT_EQ(loaded.write(file, DPKB_WORD32), 1) << loaded.error;
        file.rewind();
        RLIB<TESTENTRY> imported(nullptr);
        ASSERT_EQ(imported.read(file), 1) << imported.error;
        ASSERT_EQ(imported.count, k.entries);
        for (int i = 0; i < imported.count; ++i) {
            auto* entry = static_cast<TESTENTRY*>(imported.ptr(i));
            auto* source = static_cast<TESTENTRY*>(loaded.ptr(i));
            const ORIGINAL& original = originals.at(entry->name);
            EXPECT_EQ(entry->drawing.text, original.drawing);
            EXPECT_STREQ(entry->properties.text ? entry->properties.text : "", original.properties.c_str());
            EXPECT_EQ(entry->created, source->created);
            EXPECT_NE(entry->created, 0u);
        }
    }
}
