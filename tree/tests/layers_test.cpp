#include "tree/layers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <utility>

#include "testsupport/temp_folder.h"

namespace {

using vkt::tree::layerfaults;
using vkt::tree::readlayerorder;

void write(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

const char* const smallreadme = R"(# A tree

## Layout

| folder | what it holds |
|---|---|
| base/ | the lowest layer |
| lib/ | stands on base/ |
| lib/sub/ | a listed subfolder |
| app/, tools/ | the program, then its tools |

## Next section

| other/ | not part of the order |
)";

// A small tree whose includes all point down the order. An include in a comment, a test's or a
// build folder's include and one of a file outside the order (a generated header) are not judged.
std::filesystem::path smalltree(const char* name)
{
    const std::filesystem::path top = vkt::test::makeTempSubfolder(name);
    write(top / "README.md", smallreadme);
    write(top / "base/base.h", "#pragma once\n");
    write(top / "base/deep/inner.h", "#include \"base/base.h\"\n");
    write(top / "lib/lib.cpp", "#include \"base/deep/inner.h\"\n#include \"lib/lib.h\"\n#include <vector>\n");
    write(top / "lib/lib.h", "#include \"base/base.h\"\n");
    write(top / "lib/sub/sub.h", "#include \"lib/lib.h\"\n");
    write(top / "lib/tests/lib_test.cpp", "#include \"app/app.h\"\n");
    write(top / "app/app.cpp", "#include \"lib/sub/sub.h\"\n// #include \"tools/tool.h\" in a comment is still read\n");
    write(top / "tools/tool.cpp", "#include \"app/app.h\"\n#include \"generated/table.h\"\n");
    write(top / "build/CMakeCache.txt", "");
    write(top / "build/gen/x.cpp", "#include \"tools/tool.h\"\n");
    return top;
}

std::set<std::string> describe(const std::vector<vkt::tree::LAYERFAULT>& faults)
{
    std::set<std::string> lines;
    for (const auto& fault : faults)
        lines.insert(fault.file + " > " + fault.include + ": " + fault.reason);
    return lines;
}

TEST(LayerOrder, ReadsTheLayoutTableLowestFirst)
{
    EXPECT_EQ(readlayerorder(smallreadme),
        (std::vector<std::string> { "base/", "lib/", "lib/sub/", "app/", "tools/" }));
    EXPECT_TRUE(readlayerorder("# No layout\n| a/ | b |\n").empty());
}

TEST(LayerOrder, IncludesDownTheOrderPass)
{
    EXPECT_EQ(describe(layerfaults(smalltree("down"))), std::set<std::string> {});
}

TEST(LayerOrder, ANewUpwardIncludeFails)
{
    const std::filesystem::path top = smalltree("up");
    write(top / "tools/tool.cpp", "#include \"generated/table.h\"\n");
    write(top / "lib/sub/more.cpp", "#include \"tools/tool.h\"\n");
    EXPECT_EQ(describe(layerfaults(top)),
        (std::set<std::string> { "lib/sub/more.cpp > tools/tool.h: points up the order: tools/ comes after lib/sub/" }));
}

TEST(LayerOrder, AnIncludeThatClosesACycleSaysSo)
{
    const std::filesystem::path top = smalltree("cycle");
    write(top / "base/deep/back.cpp", "#include \"lib/sub/sub.h\"\n");
    EXPECT_EQ(describe(layerfaults(top)),
        (std::set<std::string> { "base/deep/back.cpp > lib/sub/sub.h: points up the order: lib/sub/ comes after "
                                 "base/, and closes the cycle base/ -> lib/sub/ -> lib/ -> base/" }));
}

TEST(LayerOrder, AFolderMissingFromTheOrderFails)
{
    const std::filesystem::path top = smalltree("missing");
    write(top / "lib/newpart/new.cpp", "#include \"base/base.h\"\n");
    write(top / "stray/stray.cpp", "\n");
    EXPECT_EQ(describe(layerfaults(top)),
        (std::set<std::string> { "lib/newpart/new.cpp > : its folder lib/newpart/ is not in the layer order of README.md",
            "stray/stray.cpp > : its folder stray/ is not in the layer order of README.md" }));
}

TEST(LayerOrder, ATreeWithoutLayoutFails)
{
    const std::filesystem::path top = vkt::test::makeTempSubfolder("nolayout");
    write(top / "README.md", "# Nothing\n");
    EXPECT_EQ(layerfaults(top).size(), 1u);
}

// Includes of the tree that point up the order today: parts of the application framework that call
// back into what owns them (a bar into its frame, the tab strip into its module windows, the command
// tables into the current module and into the menus they fill, the menu images into the error
// handler). The frame, its bars, tabs, menus and command tables name one another's classes; what
// removes these is an interface of each owner, declared below its parts. The list only shrinks:
// the test fails when an include in it is gone.
const std::set<std::pair<std::string, std::string>> knownupward = {
    { "framework/bars/ctrlbar.cpp", "framework/appln/applnframe.h" },
    { "framework/bars/rebar.cpp", "framework/appln/applnframe.h" },
    { "framework/commands/cmdinfotable.cpp", "framework/appln/applnmodule.h" },
    { "framework/commands/cmdinfotable.cpp", "framework/menus/menu.h" },
    { "framework/commands/cmdtableload.cpp", "framework/menus/menu.h" },
    { "framework/commands/cmdtablemenus.cpp", "framework/menus/menu.h" },
    { "framework/commands/cmdtablemenus.cpp", "framework/menus/menuitems.h" },
    { "framework/commands/keydispatch.cpp", "framework/menus/menu.h" },
    { "framework/commands/keydispatch.cpp", "framework/menus/menuitems.h" },
    { "framework/commands/keytranslator.cpp", "framework/appln/applnmodule.h" },
    { "framework/menus/menuimages.cpp", "framework/appln/errorhandler.h" },
    { "framework/tabs/tablook.cpp", "framework/appln/applnmodule.h" },
    { "framework/tabs/tablook.cpp", "framework/appln/applnwindow.h" },
    { "framework/tabs/tabstrip.cpp", "framework/appln/applnmodule.h" },
    { "framework/tabs/tabstrip.cpp", "framework/appln/applnwindow.h" },
    { "framework/tabs/tabstripmouse.cpp", "framework/appln/applnwindow.h" },
    { "framework/tabs/tabstrippaint.cpp", "framework/appln/applnwindow.h" },
};

TEST(LayerOrder, TheTreeKeepsItsOrder)
{
    std::set<std::string> faults;
    std::set<std::pair<std::string, std::string>> known;
    for (const auto& fault : layerfaults(VKT_SOURCE_TOP)) {
        if (knownupward.count({ fault.file, fault.include }))
            known.insert({ fault.file, fault.include });
        else
            faults.insert(fault.file + " > " + fault.include + ": " + fault.reason);
    }
    EXPECT_EQ(faults, std::set<std::string> {});
    for (const auto& [file, include] : knownupward)
        EXPECT_TRUE(known.count({ file, include })) << file << " no longer includes " << include
                                                    << " upwards: take it off the list";
}

} // namespace
