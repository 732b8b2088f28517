#include "platform/lunder/libfile.h"

#include "core/text/proptext.h"
#include "platform/lunder/dlib.h"
#include "platform/lunder/tests/libtest.h"
#include "platform/win/pathboundary.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const fs::path fixtures = fs::path(VKT_TEST_SOURCE_DIR) / "fixtures";
const fs::path damaged = fs::path(VKT_TEST_SOURCE_DIR) / "damaged" / "library";

// The entry of the fixtures, as the first version of the format wrote it.
const char* const DRAWING = "NAND.......";
const char* const PROPERTIES
    = "*INDEX\nCAT=LOGIC\nSUBCAT=Gates\nMFR=Texas\nDESC=Quad 2-input NAND\n*COMPONENT\nMODFILE=7400.MDF\n";

int classify(const PROPTEXT& text)
{
    return text.exists("COMPONENT", "MODFILE") ? LIBCLASS_MODEL : 0;
}

} // namespace

TEST(LibraryFile, FirstVersionFixtureReadsAndIsWrittenAlike)
{
    std::string error;
    DLIB library(towindowspath((fixtures / "TTL.LIB").string()).c_str(), 1, classify);
    ASSERT_EQ(library.open("DEVICE LIBRARY", "", error), DLIB::OPENED) << error;
    EXPECT_STREQ(library.name, "TTL");
    EXPECT_EQ(library.capacity(), 256);
    ASSERT_EQ(library.count(), 1);
    const DLIB_INDEX_ENTRY* entry = library.entry(0);
    EXPECT_STREQ(entry->name, "7400");
    EXPECT_EQ(entry->created, 1717200000u);
    EXPECT_EQ(entry->mode, 1);
    EXPECT_EQ(entry->offset, 59u);
    EXPECT_EQ(entry->length, 120u);
    EXPECT_STREQ(entry->category, "LOGIC");
    EXPECT_STREQ(entry->subcategory, "Gates");
    EXPECT_STREQ(entry->manufacturer, "Texas");
    EXPECT_EQ(entry->stockcode, nullptr);
    EXPECT_STREQ(entry->description, "Quad 2-input NAND");
    EXPECT_EQ(entry->classes, LIBCLASS_MODEL);

    uint32_t created = 0;
    std::unique_ptr<DPKB> data(library.read("7400", created, error));
    ASSERT_TRUE(data) << error;
    TESTENTRY unpacked("7400");
    ASSERT_TRUE(unpacked.unpack(*data));
    EXPECT_STREQ(unpacked.drawing.text, DRAWING);
    EXPECT_STREQ(unpacked.properties.text, PROPERTIES);

    std::vector<uint8_t> data7400 = record("7400", DRAWING, PROPERTIES);
    std::vector<uint8_t> written = writelibfile("DEVICE LIBRARY", 256, 7,
        { { "7400", 1717200000, 1, data7400.data(), static_cast<uint32_t>(data7400.size()) } });
    EXPECT_EQ(written, filebytes(fixtures / "TTL.LIB"));
}

// Every damaged file is refused whole, with a message that names it.
TEST(LibraryFile, DamagedFilesAreRefusedNamingTheFile)
{
    const std::pair<const char*, const char*> cases[] = {
        { "truncated-directory.LIB", "data offset 59 lies outside the file" },
        { "truncated-data.LIB", "pass the end of the file" },
        { "count-past-end.LIB", "entry count 5000 passes the end of its directory" },
        { "count-above-capacity.LIB", "entry count 300 is above its capacity 256" },
        { "name-without-terminator.LIB", "its name lacks its terminator" },
        { "kind-without-terminator.LIB", "its kind lacks its terminator" },
        { "later-version.LIB", "written by a later version of the program (format 2)" },
        { "data-offset-outside.LIB", "data offset 5000 lies outside the file" },
        { "length-past-end.LIB", "pass the end of the file" },
        { "unknown-mode.LIB", "packing mode is neither 0 nor 1" },
        { "no-magic.LIB", "is not a library file" },
    };
    for (const auto& [file, expected] : cases) {
        std::string path = towindowspath((damaged / file).string());
        DLIB library(path.c_str(), 1, classify);
        std::string error;
        EXPECT_EQ(library.open("DEVICE LIBRARY", "", error), DLIB::FAILED) << file;
        EXPECT_NE(error.find("'" + path + "'"), std::string::npos) << error;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        EXPECT_EQ(library.count(), 0);
    }
    size_t files = 0;
    for ([[maybe_unused]] const auto& file : fs::directory_iterator(damaged))
        ++files;
    EXPECT_EQ(files, std::size(cases));
}
