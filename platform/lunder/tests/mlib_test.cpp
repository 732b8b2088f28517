#include "platform/lunder/mlib.h"

#include "core/text/proptext.h"
#include "platform/lunder/tests/libtest.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const DEVICE = "DEVICE LIBRARY";
const char* const SYMBOL = "SYMBOL LIBRARY";

std::string windows(const fs::path& path)
{
    return towindowspath(path.string());
}

std::vector<std::string> names(MLIB& set)
{
    std::vector<std::string> out;
    for (int i = 0; i < set.count(); ++i)
        out.push_back(set.rdlibnames()[i]);
    return out;
}

TESTRECORD entry(const char* name, uint32_t created, const char* properties = "*INDEX\nCAT=Logic\n")
{
    return { name, created, record(name, name, properties) };
}

} // namespace

TEST(MLIB, OpensTheLibrariesOfItsKindAlongTheFolders)
{
    fs::path user = vkt::test::makeTempSubfolder("user");
    fs::path system = vkt::test::makeTempSubfolder("system");
    writelibrary(system / "TTL.LIB", DEVICE, { entry("7400", 10), entry("7404", 10) });
    writelibrary(system / "CMOS.LIB", DEVICE, { entry("4000", 10) });
    writelibrary(system / "SYSTEM.LIB", SYMBOL, { entry("$PINDEFAULT", 10) });
    writelibrary(system / "NOTES.TXT", DEVICE, {});
    writelibrary(user / "ttl.lib", DEVICE, { entry("7400", 20) });
    writelibrary(user / "USER.LIB", DEVICE, {});
    std::ofstream(system / "BROKEN.LIB") << "not a library";

    MLIB devices(50, 1, nullptr);
    std::string folders = windows(user) + ";" + windows(system);
    EXPECT_EQ(devices.openidx(folders.c_str(), nullptr, "*.LIB", DEVICE), 3);
    // The user's ttl.lib hides the system's TTL.LIB; the symbol library is of another kind.
    EXPECT_EQ(names(devices), (std::vector<std::string> { "ttl", "USER", "CMOS" }));
    ASSERT_EQ(devices.problems().size(), 1u);
    EXPECT_NE(devices.problems()[0].find("BROKEN.LIB' is not a library file"), std::string::npos);
    EXPECT_EQ(devices.rdlib(0)->count(), 1);
    EXPECT_NE(std::string(devices.rdlib(0)->path).find("user"), std::string::npos);
    EXPECT_EQ(devices.rdlib(3), nullptr);

    MLIB symbols(10, 0, nullptr);
    EXPECT_EQ(symbols.openidx(folders.c_str(), nullptr, "*.LIB", SYMBOL), 1);
    EXPECT_STREQ(symbols.rdlib(0)->entry(0)->name, "$PINDEFAULT");
}

TEST(MLIB, OrderWritableLibrariesAndLookUps)
{
    fs::path folder = vkt::test::makeTempSubfolder("order");
    writelibrary(folder / "A.LIB", DEVICE, { entry("7400", 100), entry("ONLYA", 1) });
    writelibrary(folder / "B.LIB", DEVICE, { entry("7400", 300) });
    writelibrary(folder / "C.LIB", DEVICE, { entry("7400", 300) });
    writelibrary(folder / "D.LIB", DEVICE, { entry("7400", 200) });
    fs::permissions(folder / "B.LIB", fs::perms::owner_read);

    MLIB set(50, 1, nullptr);
    ASSERT_EQ(set.openidx(windows(folder).c_str(), nullptr, "*.LIB", DEVICE), 4);
    EXPECT_TRUE(set.rdlib(1)->isreadonly());
    EXPECT_EQ(set.wrcount(), 3);
    EXPECT_STREQ(set.wrlibnames()[1], "C");
    EXPECT_STREQ(set.wrlib(0)->name, "A");
    EXPECT_STREQ(set.wrlib(2)->name, "D");
    EXPECT_EQ(set.wrlib(3), nullptr);

    DLIB* found[2] = {};
    EXPECT_EQ(set.find("7400", found, 2), 4);
    EXPECT_STREQ(found[0]->name, "A");
    EXPECT_STREQ(found[1]->name, "B");
    EXPECT_EQ(set.find("onlya", found, 2), 1);
    EXPECT_EQ(set.find("NONE", found, 2), 0);

    // The newest by creation time; among equal times the first in the set's order.
    DLIB_INDEX_ENTRY* newest = nullptr;
    DLIB* library = nullptr;
    ASSERT_EQ(set.getnewest("7400", &newest, &library), 1);
    EXPECT_STREQ(library->name, "B");
    EXPECT_EQ(newest->created, 300u);
    EXPECT_EQ(set.getnewest("NONE", &newest, &library), 0);
    EXPECT_EQ(library, nullptr);

    // The names array is the order: rearranging it rearranges the set.
    char** order = set.rdlibnames();
    std::reverse(order, order + set.count());
    EXPECT_EQ(names(set), (std::vector<std::string> { "D", "C", "B", "A" }));
    EXPECT_STREQ(set.rdlib(0)->name, "D");
    EXPECT_STREQ(set.wrlib(0)->name, "D");
    ASSERT_EQ(set.getnewest("7400", &newest, &library), 1);
    EXPECT_STREQ(library->name, "C");
}

TEST(MLIB, RefreshOpensNewLibrariesAndKeepsUnchangedOnes)
{
    fs::path folder = vkt::test::makeTempSubfolder("refresh");
    writelibrary(folder / "A.LIB", DEVICE, { entry("7400", 1) });
    writelibrary(folder / "B.LIB", DEVICE, { entry("7404", 1) });
    MLIB set(50, 1, nullptr);
    ASSERT_EQ(set.openidx(windows(folder).c_str(), nullptr, "*.LIB", DEVICE), 2);
    DLIB* a = set.rdlib(0);
    const DLIB_INDEX_ENTRY* kept = a->entry(0);

    writelibrary(folder / "B.LIB", DEVICE, { entry("7404", 1), entry("7408", 2) });
    writelibrary(folder / "C.LIB", DEVICE, { entry("4000", 1) });
    EXPECT_EQ(set.refresh(), 3);
    EXPECT_EQ(set.rdlib(0), a);
    EXPECT_EQ(a->entry(0), kept);
    EXPECT_EQ(set.rdlib(1)->count(), 2);
    EXPECT_STREQ(set.rdlib(2)->name, "C");

    fs::remove(folder / "A.LIB");
    EXPECT_EQ(set.refresh(), 2);
    EXPECT_STREQ(set.rdlib(0)->name, "B");
    EXPECT_EQ(set.rdlib(0)->number, 0);
    set.close();
    EXPECT_EQ(set.count(), 0);
}
