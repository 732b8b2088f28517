#include "core/windows/desktop.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/win/gdi.h"
#include "testsupport/temp_folder.h"

TEST(Desktop, ProfileSwitches)
{
    auto folder = vkt::test::makeTempSubfolder("profile");
    setenv("VKT_REGISTRY_DIR", folder.c_str(), 1);
    std::ofstream(folder / "profile.ini") << "[windows]\n"
                                             "Beep =   on\n"
                                             "Snap=No extra words\n"
                                             "Long=TRUEISH\n"
                                             "Odd=maybe\n"
                                             "[Other]\n"
                                             "Beep=0\n";
    struct {
        const char* section;
        const char* key;
        int def;
        int expected;
    } cases[] = {
        {"windows", "beep", 0, 1},  {"WINDOWS", "Snap", 1, 0}, {"windows", "Long", 7, 7},
        {"windows", "Odd", 5, 5},   {"windows", "None", 3, 3}, {"other", "beep", 1, 0},
        {"missing", "beep", -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(getprofilebool(c.section, c.key, c.def), c.expected) << c.section << '/' << c.key;
    }
}

TEST(Desktop, RecentNamesComeFirstAndTheOldestGoes)
{
    char* list[3] = {};
    int count = 0;
    for (const char* name : {"a", "b", "c"}) {
        addtomrulist(name, list, &count, 3);
    }
    ASSERT_EQ(count, 3);
    EXPECT_STREQ(list[0], "c");
    char* first = list[0];
    addtomrulist("c", list, &count, 3);
    EXPECT_EQ(list[0], first) << "already first: nothing moves, nothing is copied";
    addtomrulist("a", list, &count, 3);
    EXPECT_STREQ(list[0], "a");
    EXPECT_STREQ(list[1], "c");
    EXPECT_STREQ(list[2], "b");
    addtomrulist("d", list, &count, 3);
    EXPECT_EQ(count, 3);
    EXPECT_STREQ(list[0], "d");
    EXPECT_STREQ(list[2], "c") << "b was the oldest";
    addtomrulist("e", list, &count, 0);
    EXPECT_EQ(count, 3) << "no room at all: nothing happens";
    for (int i = 0; i < count; ++i) {
        std::free(list[i]);
    }
}

TEST(Desktop, RowGapsBetweenOutlinePixelsAreFilled)
{
    const COLORREF ink = RGB(0, 0, 255);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 12, 2);
    SelectObject(dc, bitmap);
    RECT all{0, 0, 12, 2};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (int x : {2, 6, 9}) {
        SetPixel(dc, x, 0, ink);
    }
    SetPixel(dc, 2, 1, ink);
    fillrowgaps(dc, 0, 0, 12, 2, ink);
    std::string row0;
    std::string row1;
    for (int x = 0; x < 12; ++x) {
        row0 += GetPixel(dc, x, 0) == ink ? '#' : '.';
        row1 += GetPixel(dc, x, 1) == ink ? '#' : '.';
    }
    EXPECT_EQ(row0, "..########..");
    EXPECT_EQ(row1, "..#.........") << "one run only: nothing";
    DeleteDC(dc);
    DeleteObject(bitmap);
}
