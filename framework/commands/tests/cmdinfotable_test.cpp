#include "framework/commands/cmdinfotable.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/appln/errorhandler.h"
#include "framework/commands/tests/commandtest.h"
#include "framework/menus/menuitems.h"
#include "platform/win/menu.h"

using namespace cmdtest;

namespace {

// The test program's tables loaded into a module's command table.
struct LOADED : wintest::FreshQt {
    LOADED() { EXPECT_EQ(module.cmdtable.load("TESTCONTEXTS", program()), 1); }
    TESTMODULE module;
    CMDINFOTABLE& table = module.cmdtable;
};

// A target that records the commands it is given and the module current at the time.
struct TARGET : ICMDTARGET {
    explicit TARGET(TESTMODULE& owner)
        : owner(owner)
    {
    }
    virtual ~TARGET() = default;
    MODULECONTEXT* getapplncontext() override { return &owner.context; }
    int docommand(unsigned short id) override
    {
        ids.push_back(id);
        incontext = getapplnmodule() == &owner;
        return 7;
    }
    int getuistate(unsigned short, UISTATE*) override { return 0; }
    TESTMODULE& owner;
    std::vector<unsigned short> ids;
    bool incontext = false;
};

std::string text(const char* s)
{
    return s ? s : "<null>";
}

std::vector<std::string> items(HMENU menu)
{
    std::vector<std::string> list;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char buffer[64] = {};
        GetMenuStringA(menu, i, buffer, sizeof buffer, MF_BYPOSITION);
        list.push_back(isseparatoritem(menu, i) ? "--" : buffer);
    }
    return list;
}

} // namespace

TEST(CommandTable, TheResourceCompilerWritesTheFixturesByteForByte)
{
    const struct {
        const char* resource;
        const char* fixture;
    } tables[] = {
        { MAKEINTRESOURCEA(0x100), "cmd_0100.bin" },
        { MAKEINTRESOURCEA(0x110), "cmd_0110.bin" },
        { MAKEINTRESOURCEA(0x111), "cmd_0111.bin" },
        { MAKEINTRESOURCEA(0x120), "cmd_0120.bin" },
        { "TESTKEYS", "keys.bin" },
    };
    for (const auto& t : tables)
        EXPECT_EQ(resourcebytes(t.resource), fixture(t.fixture)) << t.fixture;
}

TEST(CommandTable, EntriesCarryTheirRecordsTranslatedFieldsAndHints)
{
    LOADED loaded;
    CMDINFOTABLE& table = loaded.table;
    CMDINFO* open = table.find(0x100, 0x202);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(text(open->text), "&Open Project");
    EXPECT_EQ(open->helpid, 2);
    EXPECT_EQ(text(open->hint), "Start a new project.") << "hint code 2 repeats the hint before it";
    EXPECT_NE(open->bitmap.get(), nullptr);
    EXPECT_EQ(open->flags, CMDF_FIXED) << "every command of the global contexts is fixed";

    CMDINFO* left = table.find(0x110, 0x146);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->hint.get(), nullptr) << "hint code 2 on the first command has nothing to repeat";
    EXPECT_EQ(left->flags, CMDF_ARGUMENT) << "shared contexts are not fixed";
    EXPECT_EQ(text(table.gethinttext(0x111, 0x151)), "Export a bitmap.") << "inside a submenu";

    const CMDINFO* separator = table.item(2);
    EXPECT_EQ(separator->flags, CMDF_SEPARATOR | CMDF_MERGEPOINT) << "separators are never fixed";
    EXPECT_EQ(table.getfirstcommand(0x100), 0x200);
    EXPECT_EQ(table.getfirstcommand(0x111), 0) << "the context's first entry is a separator";
    EXPECT_EQ(table.getfirstcommand(0x130), 0);
    EXPECT_EQ(table.gethelpid(0x100, 0x200), 1);
    EXPECT_EQ(text(table.gettiptext(0x100, 0x13B)), "E&xit Application");
    EXPECT_EQ(table.gettiptext(0x100, 0x999), nullptr);
    EXPECT_EQ(APPLNERRORHANDLER::internalerrors(), "") << "the check mark and the images were found";
}

TEST(CommandTable, AnImageAllInTheTransparentColourGivesNoImage)
{
    LOADED loaded;
    EXPECT_EQ(loaded.table.find(0x120, 0x170)->bitmap.get(), nullptr);
    EXPECT_NE(loaded.table.find(0x100, 0x200)->bitmap.get(), nullptr);
}

TEST(CommandTable, FindLooksThroughTheContextGroupAndArguments)
{
    LOADED loaded;
    CMDINFOTABLE& table = loaded.table;
    const struct {
        unsigned short context;
        unsigned short id;
        unsigned short found; // the entry's id, 0 for none
    } cases[] = {
        { 0x112, 0x105, 0x105 }, // another context of the group
        { 0x110, 0x160, 0x160 }, // a later context of the group
        { 0x120, 0x13B, 0 }, { 0x110, 0x3146, 0x146 }, // an argument the table does not list
        { 0x110, 0x1146, 0x146 }, // the first entry that answers
        { 0x110, 0x1105, 0 }, // no argument without CMDF_ARGUMENT
        { 0x110, 0, 0 }, // separators have id 0 but are never found
    };
    for (const auto& c : cases) {
        CMDINFO* entry = table.find(c.context, c.id);
        EXPECT_EQ(entry ? entry->id : 0, c.found) << std::hex << c.context << " " << c.id;
    }
}

TEST(CommandTable, ReferencesShowTheirSharedCommandOrNothing)
{
    LOADED loaded;
    const CMDINFO* copy = loaded.table.item(loaded.table.count() - 3);
    ASSERT_EQ(copy->id, 0x105);
    EXPECT_TRUE(copy->isreference());
    EXPECT_EQ(text(copy->text), "&Copy");
    EXPECT_EQ(copy->helpid, 5);
    EXPECT_EQ(loaded.table.item(copy->refindex), loaded.table.find(0x110, 0x105));
    const CMDINFO* missing = loaded.table.item(loaded.table.count() - 2);
    EXPECT_EQ(missing->id, 0x999);
    EXPECT_EQ(missing->text.get(), nullptr);
    EXPECT_EQ(missing->refindex, -1);
}

TEST(CommandTable, AHintAskedOfTheWindowComesFromTheMainWindow)
{
    LOADED loaded;
    static const char answer[] = "Open C:\\designs\\amp.vktprj";
    wintest::answer() = [](HWND, UINT message, WPARAM context, LPARAM id) -> std::optional<LRESULT> {
        if (message == WM_COMMANDHINTTEXT && context == 0x100 && id == 0x3175)
            return reinterpret_cast<LRESULT>(answer);
        return std::nullopt;
    };
    loaded.module.context.window = wintest::toplevel();
    EXPECT_STREQ(loaded.table.gethinttext(0x100, 0x3175), answer);
    EXPECT_STREQ(getapplnhinttext(0x100, 0x3175), answer);
    EXPECT_EQ(text(getapplntiptext(0x100, 0x200)), "&New Project");
}

TEST(CommandTable, DamagedTablesKeepTheirWholeRecordsAndSayTheyAreMisaligned)
{
    const struct {
        const char* file;
        int entries;
        bool misaligned;
    } cases[] = {
        { "stray_byte.bin", 12, true },
        { "cut_header.bin", 12, true },
        { "cut_text.bin", 12, true },
        { "cut_help.bin", 12, true },
        { "cut_image.bin", 12, true },
        { "cut_hint.bin", 12, true },
        { "cut_title.bin", 12, true },
        { "only_separator.bin", 1, false },
        { "empty.bin", 0, false },
    };
    for (const auto& c : cases) {
        TESTMODULE module;
        BOXES boxes;
        RAWRESOURCE resource(0x130, readbytes(testfolder() / "damaged" / "cmdtable" / c.file));
        EXPECT_EQ(module.cmdtable.load(0x130, RAWRESOURCE::module()), 1) << c.file;
        EXPECT_EQ(module.cmdtable.count(), c.entries) << c.file;
        std::vector<std::string> expected;
        if (c.misaligned)
            expected.push_back("Command table for context 0130 is misaligned.");
        EXPECT_EQ(boxes.texts(), expected) << c.file;
    }
    TESTMODULE module;
    EXPECT_EQ(module.cmdtable.load(0x130, RAWRESOURCE::module()), 0) << "no resource, nothing added";
    EXPECT_EQ(module.cmdtable.count(), 0);
}

TEST(CommandTable, AddedCommandsStartAContextOnlyWhenTheContextChanges)
{
    CMDINFOTABLE table;
    table.addseparator();
    EXPECT_EQ(table.item(0)->context, 0) << "a separator in an empty table";
    table.addcommand(0x300, 0x300, "&First", "First hint");
    table.addcommand(0x300, 0x301, "&Second", nullptr);
    table.addseparator();
    table.addcommand(0x310, 0x310, "&Other", nullptr);
    EXPECT_EQ(table.getfirstcommand(0x300), 0x300);
    EXPECT_EQ(table.getfirstcommand(0x310), 0x310);
    EXPECT_EQ(table.item(3)->context, 0x300);
    EXPECT_EQ(table.find(0x300, 0x301)->hint.get(), nullptr);
    EXPECT_EQ(text(table.gethinttext(0x300, 0x300)), "First hint");
    table.removecommands(0x300);
    EXPECT_EQ(table.count(), 2) << "the orphan separator and 0x310";
    EXPECT_EQ(table.getfirstcommand(0x310), 0x310);
    EXPECT_EQ(table.find(0x300, 0x300), nullptr);
}

TEST(CommandTable, RemovingAGroupKeepsTheOtherStartsAndReferences)
{
    LOADED loaded;
    CMDINFOTABLE& table = loaded.table;
    table.addcommand(0x130, 0x1A0, "&Later", nullptr);
    const CMDINFO* reference = table.find(0x120, 0x105);
    ASSERT_TRUE(reference && reference->isreference());
    table.removecommands(0x110);
    EXPECT_EQ(table.find(0x110, 0x105), nullptr);
    EXPECT_EQ(table.find(0x111, 0x160), nullptr);
    EXPECT_EQ(table.getfirstcommand(0x100), 0x200);
    EXPECT_EQ(table.find(0x120, 0x170)->id, 0x170) << "0x120 found from its lowered start";
    EXPECT_EQ(table.getfirstcommand(0x130), 0x1A0);
    const CMDINFO* orphan = table.find(0x120, 0x105);
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->refindex, -1) << "its target went";
    EXPECT_EQ(orphan->text.get(), nullptr);
    table.removecommands(0x150);
    EXPECT_EQ(table.count(), 10);
}

TEST(CommandTable, RemovingAGroupMovesTheTargetsOfLaterReferences)
{
    CMDINFOTABLE table;
    table.addcommand(0x100, 0x101, "&Gone", nullptr);
    table.addcommand(0x110, 0x105, "&Copy", "Copy it.");
    RAWRESOURCE resource(0x120, fixture("cmd_0120.bin"));
    table.load(0x120, RAWRESOURCE::module());
    table.removecommands(0x100);
    const CMDINFO* reference = table.find(0x120, 0x105);
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(reference->refindex, 0);
    EXPECT_EQ(table.item(reference->refindex)->id, 0x105);
}

TEST(CommandTable, CopiesShareTextsAndImagesThatOutliveTheirSource)
{
    TESTMODULE module;
    wintest::FreshQt fresh;
    CMDINFOTABLE* source = new CMDINFOTABLE;
    source->load("TESTCONTEXTS", program());
    CMDINFOTABLE copy;
    copy = *source;
    const HBITMAP image = source->find(0x100, 0x200)->bitmap;
    delete source;
    EXPECT_EQ(text(copy.find(0x120, 0x105)->text), "&Copy");
    EXPECT_EQ(copy.find(0x100, 0x200)->bitmap.get(), image);
    EXPECT_EQ(copy.getcontextnames().string(0x110), std::string("Test Shared Commands"));
}

TEST(CommandTable, DispatchSendsKnownCommandsInTheTargetsContext)
{
    LOADED loaded;
    TESTMODULE other;
    TARGET target(other);
    APPLNCONTEXT* before = getapplncontext();
    EXPECT_EQ(loaded.table.dispatch(0x110, 0x2146, &target), 7);
    EXPECT_EQ(loaded.table.dispatch(0x110, 0x999, &target), 0);
    EXPECT_EQ(target.ids, std::vector<unsigned short> { 0x2146 });
    EXPECT_TRUE(target.incontext);
    EXPECT_EQ(getapplncontext(), before);
}

TEST(CommandTable, ContextMenusHaveOneSeparatorBetweenContextsAndNoneAtTheTop)
{
    LOADED loaded;
    HMENU menu = CreatePopupMenu();
    GSLIST<unsigned short> contexts;
    contexts.append(0x111);
    contexts.append(0x120);
    loaded.table.appendcontextmenus(menu, contexts);
    EXPECT_EQ(items(menu), (std::vector<std::string> { "&Undo", "--", "&Redo", "--", "&Copy", "&Zoom In" }));
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        EXPECT_TRUE(GetMenuState(menu, i, MF_BYPOSITION) & MF_OWNERDRAW) << i;
    GSLIST<unsigned short> shared;
    shared.append(0x110);
    HMENU second = CreatePopupMenu();
    loaded.table.appendcontextmenus(second, shared);
    EXPECT_EQ(items(second),
        (std::vector<std::string> {
            "&Left", "&Centre", "&Right", "--", "&Copy", "&Export", "&Grid", "&Rulers" }))
        << "toolbar-only commands stay out";
    EXPECT_EQ(items(GetSubMenu(second, 5)), (std::vector<std::string> { "&Bitmap", "&Metafile" }));
    DestroyMenu(menu);
    DestroyMenu(second);
}

TEST(CommandTable, MenuBitmapsAndStatesGoOnTheItems)
{
    LOADED loaded;
    HMENU menu = CreatePopupMenu();
    loaded.table.appendmenuitem(menu, 0x100, 0x200);
    loaded.table.appendmenuitem(menu, 0x100, 0x13B);
    loaded.table.appendmenuitem(menu, 0x100, 0x998);
    HMENU sub = CreatePopupMenu();
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More");
    loaded.table.appendmenuitem(sub, 0x100, 0x202);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    loaded.table.setmenubitmaps(menu, 1, 0x100);
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS | MIIM_FTYPE;
    GetMenuItemInfoA(menu, 0, TRUE, &info);
    EXPECT_EQ(info.hbmpChecked, loaded.table.find(0x100, 0x200)->bitmap.get());
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    GetMenuItemInfoA(menu, 2, TRUE, &info);
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW) << "the top menu's popups stay as they are";
    GetMenuItemInfoA(sub, 0, TRUE, &info);
    EXPECT_EQ(info.hbmpChecked, loaded.table.find(0x100, 0x202)->bitmap.get());
    UISTATE state { 0, 1 };
    loaded.table.setuistate(menu, 0x13B, state);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED),
        MF_GRAYED | MF_DISABLED | MF_CHECKED);
    state = { 1, 0 };
    loaded.table.setuistate(menu, 0x13B, state);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0u);
    DestroyMenu(menu);
}

TEST(CommandTable, RecordArraysGrowByHalfOrToTenPastTheIndex)
{
    auto descending = [](const int& a, const int& b) { return b - a; };
    RECORDARRAY<int> array;
    EXPECT_EQ(array.highest(), -1);
    array.add(5);
    EXPECT_EQ(array.highest(), 10) << "index 0 needed: 0 + 10";
    for (int i = 1; i <= 11; ++i)
        array.add(i);
    EXPECT_EQ(array.highest(), 15) << "10 + 5";
    array[40] = 40;
    EXPECT_EQ(array.size(), 41) << "reading past the last extends";
    EXPECT_EQ(array.highest(), 50) << "15 + 7 does not reach 40";
    array.remove(12, 28);
    ASSERT_EQ(array.size(), 13);
    array.sort(descending);
    EXPECT_EQ(array[0], 40);
    EXPECT_EQ(array.find(9, descending), 3);
    EXPECT_EQ(array.find(12, descending), -1);
    EXPECT_TRUE(array.contains(&array[3]));
    array.shrink(2);
    EXPECT_EQ(array.size(), 2);
    EXPECT_EQ(array.highest(), 1);
    EXPECT_EQ(array.release().size(), 2u);
    EXPECT_EQ(array.size(), 0);
}
