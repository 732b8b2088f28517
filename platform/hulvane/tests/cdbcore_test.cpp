#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "core/files/paths.h"
#include "core/files/ramfile.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/hulvane/librarypaths.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace {

int loadtext(CDBCORE& database, const std::string& text)
{
    RAMFILE file;
    file.write(text.data(), static_cast<int>(text.size()));
    file.rewind();
    return database.load(file);
}

std::string savetext(CDBCORE& database)
{
    RAMFILE file;
    EXPECT_EQ(database.save(file), 1);
    return std::string(reinterpret_cast<const char*>(file.buffer), static_cast<size_t>(file.length));
}

TEST(ComponentDatabase, SavedAndLoadedKeepsBoardsCurrentBoardAndVariant)
{
    CDBCORE database;
    database.newdatabase("ROOT.CDB");
    database.newlayout();
    database.selectvariant('C');
    std::string text = savetext(database);

    CDBCORE loaded;
    ASSERT_EQ(loadtext(loaded, text), 1);
    EXPECT_STREQ(loaded.getname(), "ROOT.CDB");
    EXPECT_EQ(loaded.getvariant(), 'C');
    ASSERT_EQ(loaded.numboards(), 1);
    ASSERT_NE(loaded.currentboard(), nullptr);
    EXPECT_EQ(loaded.currentboard()->stem, "ROOT");
    EXPECT_EQ(savetext(loaded), text);
}

TEST(ComponentDatabase, TwoBoardsTheSecondCurrentWithQuotedNames)
{
    CDBCORE database;
    ASSERT_EQ(loadtext(database,
                  "VKTCDB 1\nname \"ROOT.CDB\"\nvariant b\nboard 1 \"ROOT\" \"\"\n"
                  "board 7 \"PSU\" \"Power \\\"A\\\" \\\\ B\"\ncurrent 7\n"),
        1);
    ASSERT_EQ(database.numboards(), 2);
    EXPECT_EQ(database.currentboardindex(), 1);
    EXPECT_EQ(database.currentboard()->name, "Power \"A\" \\ B");
}

TEST(ComponentDatabase, DamagedOrLaterEntriesLeaveItEmpty)
{
    const char* damaged[] = {
        "",
        "VKTCDB 2\n",
        "VKTCDB x\n",
        "NOTCDB 1\n",
        "VKTCDB 1\nboard 1 \"ROOT\n",
        "VKTCDB 1\nboard 0 \"ROOT\" \"\"\n",
        "VKTCDB 1\nboard 1 \"A\" \"\"\nboard 1 \"B\" \"\"\n",
        "VKTCDB 1\ncurrent 3\n",
        "VKTCDB 1\nvariant 7\n",
        "VKTCDB 1\nwhatever\n",
        "VKTCDB 1\nname \"a\nb\"\n",
    };
    for (const char* text : damaged) {
        CDBCORE database;
        database.newdatabase("ROOT.CDB");
        database.newdesign();
        EXPECT_EQ(loadtext(database, text), 0) << text;
        EXPECT_EQ(database.numboards(), 0) << text;
        EXPECT_EQ(database.currentboard(), nullptr) << text;
    }
}

TEST(ComponentDatabase, LegacyVariantsMigrateOnce)
{
    CDBCORE database;
    ASSERT_EQ(loadtext(database, "VKTCDB 1\nlegacyvariants 1\n"), 1);
    EXPECT_EQ(database.migratelegacyvariants(), 1);
    EXPECT_EQ(database.migratelegacyvariants(), 0);
    EXPECT_EQ(database.ismodified(), 1);
}

TEST(ComponentDatabase, VariantsOutsideTheLettersAreTheBaseDesign)
{
    CDBCORE database;
    for (char letter : { 'a', 'z', '1', '\0', '[' }) {
        database.selectvariant('A');
        database.selectvariant(letter);
        EXPECT_EQ(database.getvariant(), 'b') << int(letter);
    }
}

TEST(LibraryPaths, PropertyDefinitionsAreFoundAlongTheLibraryFoldersOnly)
{
    auto first = vkt::test::makeTempSubfolder("first");
    auto second = vkt::test::makeTempSubfolder("second");
    std::ofstream(second / "PROPDEFS.INI") << "VERSION=8\n";
    std::string list = towindowspath(first.string()) + ";;" + towindowspath(second.string());
    std::strcpy(library_paths, list.c_str());
    char path[PATHBUFFER];
    ASSERT_EQ(findpropdefs(path), 1);
    EXPECT_EQ(toposixpath(path), (second / "PROPDEFS.INI").string());

    std::strcpy(library_paths, towindowspath(first.string()).c_str());
    EXPECT_EQ(findpropdefs(path), 0);
    EXPECT_STREQ(path, "");
}

} // namespace
