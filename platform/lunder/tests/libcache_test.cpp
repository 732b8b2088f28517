#include "platform/lunder/libcache.h"

#include "platform/lunder/dlib.h"
#include "platform/lunder/mlib.h"
#include "platform/lunder/tests/libtest.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const fs::path fixtures = fs::path(VKT_TEST_SOURCE_DIR) / "fixtures";
const fs::path damaged = fs::path(VKT_TEST_SOURCE_DIR) / "damaged" / "cache";
const char* const DEVICE = "DEVICE LIBRARY";

std::string windows(const fs::path& path)
{
    return towindowspath(path.string());
}

LIBCACHE readcache(const fs::path& path, std::string& error)
{
    std::vector<uint8_t> bytes = filebytes(path);
    LIBCACHE cache;
    EXPECT_TRUE(readlibcache(bytes.data(), bytes.size(), path.c_str(), cache, error)) << error;
    return cache;
}

std::vector<fs::path> cachefiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& file : fs::directory_iterator(folder))
        files.push_back(file.path());
    return files;
}

} // namespace

TEST(IndexCache, FirstVersionFixtureReadsAndIsWrittenAlike)
{
    std::string error;
    LIBCACHE cache = readcache(fixtures / "TTL.IDX", error);
    EXPECT_EQ(cache.library, "C:\\LIBS\\TTL.LIB");
    EXPECT_EQ(cache.size, 179u);
    EXPECT_EQ(cache.time, 10000000000);
    EXPECT_EQ(cache.head.serial, 7u);
    EXPECT_EQ(cache.head.capacity, 256u);
    EXPECT_EQ(cache.head.dataoffset, 59u);
    EXPECT_EQ(cache.indexing, 1);
    EXPECT_EQ(cache.kind, DEVICE);
    ASSERT_EQ(cache.entries.size(), 1u);
    const DLIB_INDEX_ENTRY& entry = *cache.entries[0];
    EXPECT_STREQ(entry.name, "7400");
    EXPECT_EQ(entry.created, 1717200000u);
    EXPECT_EQ(entry.offset, 59u);
    EXPECT_EQ(entry.length, 120u);
    EXPECT_EQ(entry.classes, LIBCLASS_MODEL);
    EXPECT_STREQ(entry.category, "LOGIC");
    EXPECT_EQ(entry.type, nullptr);
    EXPECT_STREQ(entry.description, "Quad 2-input NAND");

    std::vector<DLIB_INDEX_ENTRY*> entries { cache.entries[0].get() };
    EXPECT_EQ(writelibcache(cache, entries), filebytes(fixtures / "TTL.IDX"));
}

TEST(IndexCache, DamagedCachesAreRefusedNamingTheFile)
{
    const std::pair<const char*, const char*> cases[] = {
        { "truncated.IDX", "entry count 1 passes the end of the file" },
        { "count-past-end.IDX", "entry count 100000 passes the end of the file" },
        { "name-without-terminator.IDX", "its name lacks its terminator" },
        { "later-version.IDX", "has format version 2" },
        { "keyword-without-terminator.IDX", "a keyword lacks its terminator" },
        { "lengths-past-library.IDX", "do not fill the library's size" },
        { "trailing-bytes.IDX", "goes on after its last entry" },
    };
    for (const auto& [file, expected] : cases) {
        std::vector<uint8_t> bytes = filebytes(damaged / file);
        std::string path = (damaged / file).string();
        LIBCACHE cache;
        std::string error;
        EXPECT_FALSE(readlibcache(bytes.data(), bytes.size(), path.c_str(), cache, error)) << file;
        EXPECT_NE(error.find("'" + path + "'"), std::string::npos) << error;
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
    EXPECT_EQ(cachefiles(damaged).size(), std::size(cases));
}

TEST(IndexCache, OpensFromTheCacheWithoutReadingTheLibraries)
{
    fs::path libraries = vkt::test::makeTempSubfolder("libraries");
    fs::path caches = vkt::test::makeTempSubfolder("caches") / "Library Indexing";
    writelibrary(
        libraries / "TTL.LIB", DEVICE, { { "7400", 5, record("7400", "nand", "*INDEX\nCAT=Logic\n") } });
    MLIB first(50, 1, nullptr);
    ASSERT_EQ(first.openidx(windows(libraries).c_str(), windows(caches).c_str(), "*.LIB", DEVICE), 1);
    ASSERT_EQ(cachefiles(caches).size(), 1u);
    fs::path cachefile = cachefiles(caches)[0];
    EXPECT_EQ(cachefile.filename().string().rfind("TTL.LIB-", 0), 0u);

    // Garbage of the same size and time: a set that opened from the cache never notices.
    fs::path library = libraries / "TTL.LIB";
    struct stat st { };
    ASSERT_EQ(stat(library.c_str(), &st), 0);
    std::vector<uint8_t> garbage(filebytes(library).size(), 0xEE);
    writebytes(library, garbage);
    const timespec times[2] = { st.st_atim, st.st_mtim };
    ASSERT_EQ(utimensat(AT_FDCWD, library.c_str(), times, 0), 0);
    MLIB second(50, 1, nullptr);
    ASSERT_EQ(second.openidx(windows(libraries).c_str(), windows(caches).c_str(), "*.LIB", DEVICE), 1);
    EXPECT_STREQ(second.rdlib(0)->entry("7400")->category, "Logic");
    EXPECT_TRUE(second.problems().empty());
}

TEST(IndexCache, DamagedOrStaleCacheIsRebuiltFromTheLibraries)
{
    fs::path libraries = vkt::test::makeTempSubfolder("libraries");
    fs::path caches = vkt::test::makeTempSubfolder("caches");
    writelibrary(
        libraries / "TTL.LIB", DEVICE, { { "7400", 5, record("7400", "nand", "*INDEX\nCAT=Logic\n") } });
    MLIB set(50, 1, nullptr);
    ASSERT_EQ(set.openidx(windows(libraries).c_str(), windows(caches).c_str(), "*.LIB", DEVICE), 1);
    fs::path cachefile = cachefiles(caches)[0];

    for (const auto& file : fs::directory_iterator(damaged)) {
        fs::copy_file(file.path(), cachefile, fs::copy_options::overwrite_existing);
        ASSERT_EQ(set.openidx(windows(libraries).c_str(), windows(caches).c_str(), "*.LIB", DEVICE), 1);
        EXPECT_STREQ(set.rdlib(0)->entry("7400")->category, "Logic") << file.path();
        EXPECT_TRUE(set.problems().empty());
        std::string error;
        EXPECT_EQ(readcache(cachefile, error).entries.size(), 1u) << file.path();
    }

    // A library written since its cache was: the cache describes another state and is not used.
    writelibrary(libraries / "TTL.LIB", DEVICE,
        { { "7400", 5, record("7400", "nand", "*INDEX\nCAT=Gates\n") },
            { "7404", 6, record("7404", "not", "*INDEX\nCAT=Gates\n") } });
    ASSERT_EQ(set.openidx(windows(libraries).c_str(), windows(caches).c_str(), "*.LIB", DEVICE), 1);
    EXPECT_EQ(set.rdlib(0)->count(), 2);
    EXPECT_STREQ(set.rdlib(0)->entry("7400")->category, "Gates");
    std::string error;
    EXPECT_EQ(readcache(cachefile, error).entries.size(), 2u);

    // A cache made without keywords does not serve a set that keeps them.
    MLIB plain(10, 0, nullptr);
    ASSERT_EQ(plain.openidx(windows(libraries).c_str(), windows(caches).c_str(), "*.LIB", DEVICE), 1);
    EXPECT_EQ(plain.rdlib(0)->entry("7400")->category, nullptr);
    ASSERT_EQ(set.openidx(windows(libraries).c_str(), windows(caches).c_str(), "*.LIB", DEVICE), 1);
    EXPECT_STREQ(set.rdlib(0)->entry("7400")->category, "Gates");
}
