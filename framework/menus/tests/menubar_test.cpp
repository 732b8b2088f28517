#include "framework/menus/menubar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/appln/applnmodule.h"
#include "framework/appln/errorhandler.h"
#include "framework/menus/menu.h"
#include "framework/menus/menuitems.h"
#include "framework/menus/tests/menutest.h"
#include "platform/win/gdi.h"
#include "platform/win/images.h"
#include "platform/win/menu.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/qt/winqt.h"

namespace {

// A bar with the global menu and the module's merged into it.
struct BAR : wintest::FreshQt {
    BAR()
    {
        bar.loadmenus("TESTGLOBALMENU", GetModuleHandleA(nullptr), owner.cmdtable, &owner);
        bar.loadmenus("TESTMODULEMENU", GetModuleHandleA(nullptr), owner.cmdtable, &owner,
            { &align, &grid, &rulers, &zoom, &more });
    }
    HMENU popup(int index) { return GetSubMenu(bar.gethandle(), index); }

    menutest::OWNER owner { 0x204 };
    MENUBAR bar { &owner };
    int align = 0;
    int grid = 0;
    int rulers = 1;
    int zoom = -1;
    int more = -1;
};

std::vector<std::string> texts(HMENU menu)
{
    std::vector<std::string> list;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char buffer[128] = {};
        GetMenuStringA(menu, i, buffer, sizeof buffer, MF_BYPOSITION);
        list.push_back(isseparatoritem(menu, i) ? "--" : buffer);
    }
    return list;
}

bool checked(HMENU menu, int position)
{
    return GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED;
}

} // namespace

TEST(Menus, TheBarsPopupsComeInTheOrderTheMenuTableListsThem)
{
    wintest::FreshQt qt;
    menutest::OWNER owner { 0x204 };
    MENUBAR bar { &owner };
    bar.loadmenus("TESTVIEWFIRSTMENU", GetModuleHandleA(nullptr), owner.cmdtable, &owner);
    EXPECT_EQ(texts(bar.gethandle()), (std::vector<std::string> { "&File", "&View", "&Edit" }))
        << "not in the order of the contexts' numbers";
}

TEST(Menus, AModulesMenuMergesIntoTheGlobalOneWithoutDoubledSeparators)
{
    BAR b;
    EXPECT_EQ(texts(b.bar.gethandle()),
        (std::vector<std::string> { "&File", "&Edit", "&View", "S&ystem", "&Help" }));
    EXPECT_EQ(texts(b.popup(0)),
        (std::vector<std::string> { "&New Project", "&Open Project", "--", "&Save Project", "--",
            "&Import Design", "--", "&Export Design", "--", "E&xit Application" }))
        << "the module's commands, after one separator, at the merge point before Exit";
    EXPECT_EQ(texts(b.popup(3)), (std::vector<std::string> { "System &Settings", "--", "&Module Settings" }))
        << "without a merge point, at the end";
    EXPECT_EQ(texts(b.popup(1)),
        (std::vector<std::string> { "Align &Left", "Align &Centre", "Align &Right", "Show &Grid",
            "Show &Rulers", "&Copy", "&Order", "&Missing image" }))
        << "toolbar-only and dynamic commands stay out, a command is there once";
    EXPECT_EQ(
        texts(GetSubMenu(b.popup(1), 6)), (std::vector<std::string> { "Bring to &Front", "Send to &Back" }));
    EXPECT_EQ(b.bar.getmenuname(b.popup(2)), "&View");
    EXPECT_EQ(b.bar.getmenuname(nullptr), "");
    EXPECT_EQ(b.bar.get_accelerators(), "FEVyH");
    std::string title;
    EXPECT_TRUE(MENU::get_for_accelerator(b.bar.gethandle(), 'Y', title, 1));
    EXPECT_EQ(title, "System");
    EXPECT_FALSE(MENU::get_for_accelerator(b.bar.gethandle(), 'Q', title, 1));
}

TEST(Menus, ItemsAreOwnerDrawnWithTheirImagesAndKeyNames)
{
    BAR b;
    b.bar.setaccelerators(0x100, b.owner.keytranslator, 0);
    b.bar.setaccelerators(0x110, b.owner.keytranslator, 1);
    EXPECT_EQ(texts(b.popup(0))[0], "&New Project\tCtrl+N");
    EXPECT_EQ(texts(b.popup(1))[5], "&Copy\tCtrl+C");
    MENUITEMINFOA info {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_CHECKMARKS;
    GetMenuItemInfoA(b.popup(0), 0, TRUE, &info);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    EXPECT_EQ(info.hbmpChecked, b.owner.cmdtable.find(0x100, 0x200)->bitmap.get());
    GetMenuItemInfoA(b.bar.gethandle(), 0, TRUE, &info);
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW) << "the bar's own items are the bar's";
    EXPECT_EQ(APPLNERRORHANDLER::internalerrors(), "Cannot find bitmap 'NO_SUCH_STRIP'.");
    APPLNERRORHANDLER::closeinternalerrors();
    EXPECT_EQ(b.owner.cmdtable.find(0x111, 0x162)->bitmap.get(), nullptr);
}

TEST(Menus, AThreeMemberGroupSendsItsCommandWithTheMembersValue)
{
    BAR b;
    EXPECT_EQ(b.bar.select(0x2146), 0x146u);
    EXPECT_EQ(b.align, 2);
    b.bar.init(b.popup(1));
    EXPECT_FALSE(checked(b.popup(1), 0));
    EXPECT_TRUE(checked(b.popup(1), 2));
    EXPECT_EQ(b.bar.dispatch(0x1146), 1);
    EXPECT_EQ(b.align, 1);
    EXPECT_EQ(b.owner.sent, std::vector<unsigned short> { 0x146 });
    b.bar.setgroupitem(0x146, 1, "Align &Middle", 7);
    EXPECT_EQ(texts(b.popup(1))[1], "Align &Middle");
    b.bar.select(0x1146);
    EXPECT_EQ(b.align, 7);
}

TEST(Menus, AGroupTakesSixteenMembersAndTheSeventeenthStartsAnother)
{
    BAR b;
    EXPECT_EQ(b.bar.select(0xF150), 0x150u);
    EXPECT_EQ(b.zoom, 15);
    EXPECT_EQ(b.bar.select(0x0151), 0x151u);
    EXPECT_EQ(b.more, 0) << "the first member of the second group";
    EXPECT_EQ(b.zoom, 15);
}

TEST(Menus, TogglesFlipTheirFlagOrOnlyShowIt)
{
    BAR b;
    EXPECT_EQ(b.bar.select(0x147), 0x147u);
    EXPECT_EQ(b.grid, 1) << "flipped before the command is sent";
    EXPECT_EQ(b.bar.select(0x148), 0x148u);
    EXPECT_EQ(b.rulers, 1) << "left to the command";
    EXPECT_EQ(b.bar.dispatch(0x148), 0) << "no item object takes it";
    EXPECT_EQ(b.bar.dispatch(0x147), 1);
    EXPECT_EQ(b.grid, 0);
    b.bar.init(b.popup(1));
    EXPECT_FALSE(checked(b.popup(1), 3));
    EXPECT_TRUE(checked(b.popup(1), 4));
}

TEST(Menus, TargetsGreyTheirItemsAndTheOwnerUpdatesMenusBeforeTheyAreSearched)
{
    BAR b;
    EXPECT_EQ(b.bar.isenabled(0x204), 1) << "not asked yet";
    b.bar.init(b.popup(0));
    EXPECT_EQ(b.bar.isenabled(0x204), 0);
    EXPECT_EQ(b.bar.isenabled(0x200), 1);
    EXPECT_EQ(b.bar.isenabled(0x999), -1);
    EXPECT_GT(b.owner.updates, 0);
    HMENU menu = nullptr;
    unsigned int position = 0;
    EXPECT_EQ(b.bar.locateitem(0x161, &menu, &position), 1);
    EXPECT_EQ(menu, GetSubMenu(b.popup(1), 6));
    EXPECT_EQ(position, 1u);
}

TEST(Menus, RecentFilesAreNumberedOneToNineZeroAndThenLettersAndShownAsTheSystemNamesThem)
{
    BAR b;
    std::vector<std::string> names;
    for (int i = 1; i <= 11; ++i)
        names.push_back("C:\\d\\a" + std::to_string(i) + ".vktprj");
    std::vector<const char*> files;
    for (const auto& name : names)
        files.push_back(name.c_str());
    files[2] = nullptr;
    b.bar.setmenufiles(0x0000FFFF, -1, 0x175, files.data(), static_cast<int>(files.size()));
    std::vector<std::string> items = texts(b.popup(0));
    ASSERT_EQ(items.size(), 21u);
    EXPECT_EQ(items[9], "E&xit Application");
    EXPECT_EQ(items[10], "--");
    EXPECT_EQ(items[11], "&1 /d/a1.vktprj");
    EXPECT_EQ(items[12], "&2 /d/a2.vktprj");
    EXPECT_EQ(items[13], "&4 /d/a4.vktprj") << "a null entry leaves out its item";
    EXPECT_EQ(items[19], "&0 /d/a10.vktprj");
    EXPECT_EQ(items[20], "&A /d/a11.vktprj");
    EXPECT_EQ(GetMenuItemID(b.popup(0), 13), 0x3175u) << "but keeps its id";
    EXPECT_EQ(GetMenuItemID(b.popup(0), 20), 0xA175u);

    const char* fewer[] = { "C:\\x.vktprj", nullptr };
    b.bar.setmenufiles(0x0000FFFF, -1, 0x175, fewer, 2);
    EXPECT_EQ(texts(b.popup(0)).size(), 12u) << "the run is replaced where it stood";
    b.bar.setmenufiles(0x0000FFFF, -1, 0x175, nullptr, 0);
    EXPECT_EQ(texts(b.popup(0)).back(), "E&xit Application") << "no separator is left at the end";
    b.bar.setmenufiles(0x00070000, -1, 0x175, fewer, 1);
    EXPECT_EQ(b.bar.get(0x00070000), nullptr);
}

TEST(Menus, RunsOfTextsFillASubmenuAndGreyItWhenThereAreNone)
{
    BAR b;
    const char* sheets[] = { "Sheet &1", nullptr, "Sheet &3" };
    b.bar.setmenuitems(0x00010006, 0, 0x170, sheets, 3);
    HMENU order = GetSubMenu(b.popup(1), 6);
    EXPECT_EQ(texts(order),
        (std::vector<std::string> { "Sheet &1", "Sheet &3", "Bring to &Front", "Send to &Back" }));
    EXPECT_EQ(GetMenuItemID(order, 1), 0x2170u);
    b.bar.setmenuitems(0x00010006, 0, 0x170, nullptr, 0);
    EXPECT_EQ(texts(order).size(), 2u);
    EXPECT_TRUE(GetMenuState(b.popup(1), 6, MF_BYPOSITION) & MF_GRAYED);
}

TEST(Menus, InsertedAndRemovedItemsKeepTheirObjectsInStep)
{
    BAR b;
    std::unique_ptr<MENU> file(b.bar.get(0x0000FFFF));
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->istoplevelmenu());
    EXPECT_FALSE(file->iscontextmenu());
    MENUITEM* item = file->insertitem("&Print", 0x230, 1, &b.owner);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(file->insertitem("DIVIDER", 0, 2, nullptr), nullptr);
    EXPECT_TRUE(file->isseparator(2));
    EXPECT_EQ(b.bar.dispatch(0x202), 1) << "the item after the new ones still answers";
    EXPECT_EQ(b.owner.sent, std::vector<unsigned short> { 0x202 });
    EXPECT_EQ(b.bar.itemat(file->gethandle(), 1), item);
    std::unique_ptr<MENU> order(file->insertsubmenu("&Recent", 3));
    ASSERT_TRUE(order);
    order->insertitem("&One", 0x240, -1, &b.owner);
    file->remove(1, 3);
    EXPECT_EQ(texts(file->gethandle())[1], "&Open Project");
    EXPECT_EQ(b.bar.dispatch(0x240), 0);
    EXPECT_EQ(b.bar.dispatch(0x13B), 1);
    file->enablecmd(0x13B, 0);
    EXPECT_EQ(b.bar.isenabled(0x13B), 0);
    file->enable(0);
    EXPECT_TRUE(GetMenuState(b.bar.gethandle(), 0, MF_BYPOSITION) & MF_GRAYED);
}

TEST(Menus, OwnerDrawnItemsHaveTheStylesSizesAndImages)
{
    BAR b;
    HMENU file = b.popup(0);
    MEASUREITEMSTRUCT measure { ODT_MENU, 0, 0x200, 0, 0, 0 };
    MENU::measure_item(file, &measure);
    EXPECT_EQ(measure.itemHeight, static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU) + 2, 21)));
    EXPECT_GT(measure.itemWidth, 20u + 12u);
    MEASUREITEMSTRUCT separator { ODT_MENU, 0, 0, 0, 0, 0 };
    MENU::measure_item(file, &separator);
    EXPECT_EQ(separator.itemHeight, 7u);
    EXPECT_EQ(MENU::menu_bmpwidth(), 20);
    EXPECT_EQ(MENU::menu_bmpheight(), 19);
    EXPECT_EQ(MENU::bmp_name("GTB_MAIN"), "GTB_MAIN");

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(dc, 200, 22);
    HGDIOBJ old = SelectObject(dc, canvas);
    DRAWITEMSTRUCT draw { ODT_MENU, 0, 0x200, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(file), dc,
        { 0, 0, 200, 22 }, 0 };
    MENU::draw_item(file, &draw);
    SelectObject(dc, old);
    QImage drawn = winqt::toimage(canvas);
    EXPECT_EQ(drawn.pixelColor(10, 11), QColor(210, 40, 40)) << "the normal cell of the red square";
    EXPECT_EQ(drawn.pixelColor(100, 1),
        QColor(GetRValue(GetSysColor(COLOR_MENU)), GetGValue(GetSysColor(COLOR_MENU)),
            GetBValue(GetSysColor(COLOR_MENU))));

    old = SelectObject(dc, canvas);
    draw.itemID = 0x13B;
    draw.itemState = ODS_CHECKED;
    MENU::draw_item(file, &draw);
    SelectObject(dc, old);
    drawn = winqt::toimage(canvas);
    bool mark = false;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 22; ++y)
            mark = mark || drawn.pixelColor(x, y).lightness() < 80;
    EXPECT_TRUE(mark) << "a checked item without an image shows the shared check mark";
    DeleteObject(canvas);
    DeleteDC(dc);
}

TEST(Menus, AllTransparentImagesGiveNoStrip)
{
    BAR b;
    HBITMAP grey = winqt::tobitmap([] {
        QImage image(32, 16, QImage::Format_RGB32);
        image.fill(QColor(192, 192, 192));
        return image;
    }());
    EXPECT_EQ(MENU::make_images(grey, 0, MENU::TRANSPARENTCOLOUR), nullptr);
    HBITMAP strip = LoadBitmapA(GetModuleHandleA(nullptr), "TB_MENU");
    HBITMAP cells = MENU::make_images(strip, 3, MENU::TRANSPARENTCOLOUR);
    ASSERT_NE(cells, nullptr);
    QImage image = winqt::toimage(cells);
    EXPECT_EQ(image.size(), QSize(80, 19));
    EXPECT_EQ(image.pixelColor(10, 9), QColor(235, 140, 20)) << "normal";
    EXPECT_NE(image.pixelColor(30, 9), QColor(235, 140, 20)) << "greyed";
    EXPECT_GT(image.pixelColor(50, 9).lightness(), QColor(235, 140, 20).lightness()) << "lightened";
    EXPECT_EQ(image.pixelColor(70, 9), QColor(235, 140, 20)) << "checked";
    DeleteObject(cells);
    EXPECT_EQ(
        MENU::make_images(LoadBitmapA(GetModuleHandleA(nullptr), "TB_MENU"), 4, MENU::TRANSPARENTCOLOUR),
        nullptr)
        << "past the strip";
}
