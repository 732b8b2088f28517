#include "framework/appln/applnmenu.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/windows/registry.h"
#include "framework/appln/registrytext.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/menus/menuitems.h"
#include "platform/win/menu.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace {

// Files that exist, named as the recent-files list keeps them.
std::string existing(const std::filesystem::path& folder, const char* name)
{
    std::ofstream(folder / name) << "x";
    return towindowspath((folder / name).string());
}

std::string stored(int i)
{
    std::string name;
    return reg_getstring(APPLNMENU::MRUSECTION, std::to_string(i).c_str(), name) ? name : "<none>";
}

std::vector<std::string> texts(HMENU menu)
{
    std::vector<std::string> list;
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        list.push_back(isseparatoritem(menu, i) ? "--" : menutext(menu, i));
    return list;
}

} // namespace

TEST(RecentFiles, MissingFilesCloseUpTheListAndANameAddedAgainMovesUpInItsNewSpelling)
{
    appltest::TESTPROCESS process;
    const auto folder = vkt::test::makeTempSubfolder("recent");
    const std::string a = existing(folder, "a.vktprj");
    const std::string b = existing(folder, "b.vktprj");
    const std::string c = existing(folder, "c.vktprj");
    process.start = [&] {
        APPLNMENU* menu = process.getapplnmenu();
        // Stored as the system names them, or as older settings kept them.
        reg_putstr(APPLNMENU::MRUSECTION, "0", (folder / "gone.vktprj").string().c_str());
        reg_putstr(APPLNMENU::MRUSECTION, "1", toposixpath(a.c_str()).c_str());
        reg_putstr(APPLNMENU::MRUSECTION, "2", "");
        reg_putstr(APPLNMENU::MRUSECTION, "3", b.c_str());
        APPLNMENU::loadmrulist();
        EXPECT_EQ(APPLNMENU::mrufile(0), a);
        EXPECT_EQ(APPLNMENU::mrufile(1), b);
        EXPECT_EQ(APPLNMENU::mrufile(2), nullptr);
        EXPECT_EQ(APPLNMENU::mrufile(8), nullptr) << "past the length of 8";

        std::string upper = b;
        for (char& ch : upper)
            ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        menu->addmrufile(upper.c_str());
        EXPECT_EQ(APPLNMENU::mrufile(0), upper);
        EXPECT_EQ(APPLNMENU::mrufile(1), a);
        EXPECT_EQ(APPLNMENU::mrufile(2), nullptr) << "no copy of b is left";
        menu->addmrufile(c.c_str());
        EXPECT_EQ(APPLNMENU::mrufile(0), c);
        EXPECT_EQ(APPLNMENU::mrufile(2), a);

        menu->setmrulistlen(2, 1);
        EXPECT_EQ(APPLNMENU::getmrulistlen(), 2);
        EXPECT_EQ(APPLNMENU::mrufile(2), nullptr);
        menu->setmrulistlen(25, 0);
        EXPECT_EQ(APPLNMENU::getmrulistlen(), APPLNMENU::MAXFILES);
        menu->setmrulistlen(8, 1);

        APPLNMENU::savemrulist();
        EXPECT_EQ(stored(0), toposixpath(c.c_str())) << "kept as the system names it";
        EXPECT_EQ(stored(1), toposixpath(upper.c_str()));
        EXPECT_EQ(stored(2), toposixpath(a.c_str()));
        EXPECT_EQ(stored(3), "<none>");
        return 1;
    };
    process.runall();
}

TEST(RecentFiles, TheApplicationMenuShowsTheGlobalCommandsTheirKeysAndTheRecentFiles)
{
    const auto folder = vkt::test::makeTempSubfolder("menu");
    const std::string a = existing(folder, "a.vktprj");
    const std::string b = existing(folder, "b.vktprj");
    {
        appltest::TESTPROCESS first;
        first.start = [&] {
            reg_removekey(APPLNMENU::MRUSECTION);
            APPLNMENU::loadmrulist();
            first.addmrufile(a.c_str());
            return 1;
        };
        first.runall();
    }
    appltest::TESTPROCESS process;
    process.start = [&] {
        APPLNMENU* menu = process.getapplnmenu();
        EXPECT_EQ(APPLNMENU::mrufile(0), a) << "loaded at start-up, saved when the last run ended";
        HMENU file = GetSubMenu(menu->gethandle(), 0);
        std::vector<std::string> items = texts(file);
        EXPECT_EQ(texts(menu->gethandle()), (std::vector<std::string> { "&File", "&Help" }));
        EXPECT_EQ(items.size(), 5u);
        EXPECT_EQ(items[0], "&New Project\tCtrl+N");
        EXPECT_EQ(items[2], "E&xit Application");
        EXPECT_EQ(items[3], "--");
        EXPECT_EQ(items[4].rfind("&1 ", 0), 0u);
        EXPECT_EQ(GetMenuItemID(file, 4), 0x175u);

        // A window's menu puts a file first; the process's menu shows it once its popup opens.
        std::unique_ptr<APPLNMENU> window(process.createapplnmenu(&process));
        window->addmrufile(b.c_str());
        EXPECT_EQ(texts(file).size(), 5u);
        process.oninitmenupopup(0, file);
        EXPECT_EQ(texts(file).size(), 6u);
        EXPECT_EQ(GetMenuItemID(file, 5), 0x1175u);
        process.addmrufile(a.c_str());
        std::string last;
        EXPECT_TRUE(reg_getstring(nullptr, "LastFileUsed", last));
        EXPECT_EQ(last, toposixpath(a.c_str()));
        return 1;
    };
    process.runall();
}
