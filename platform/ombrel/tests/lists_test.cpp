#include <gtest/gtest.h>

#include <vector>

#include "platform/ombrel/gslist.h"
#include "platform/ombrel/stringlist.h"

namespace {

TEST(Gslist, KeepsOrderOwnsItsNodesAndCopiesDeep)
{
    GSLIST<unsigned short> list;
    EXPECT_TRUE(list.empty());
    list.append(0x140);
    list.append(0x120);
    list.insert(0x300);
    EXPECT_EQ(list.count(), 3);
    EXPECT_TRUE(list.contains(0x120));
    EXPECT_FALSE(list.contains(0x121));

    GSLIST<unsigned short> copy(list);
    unsigned short first = 0;
    ASSERT_EQ(list.get(first), 1);
    EXPECT_EQ(first, 0x300);
    EXPECT_EQ(std::vector<unsigned short>(copy.begin(), copy.end()),
        (std::vector<unsigned short> { 0x300, 0x140, 0x120 }));
    copy = list;
    EXPECT_EQ(copy.count(), 2);
    copy.clear();
    EXPECT_EQ(copy.get(first), 0);
    EXPECT_EQ(first, 0x300);
}

TEST(Stringlist, HoldsCopiesAndFindsThem)
{
    STRINGLIST list;
    char text[] = "Board";
    list.add(text);
    text[0] = 'X';
    list.add(nullptr);
    list.add("first", 0);
    EXPECT_EQ(list.add("never", -2), -2);
    ASSERT_EQ(list.count, 3);
    EXPECT_STREQ(list[0], "first");
    EXPECT_STREQ(list[1], "Board");
    EXPECT_STREQ(list[2], "");
    EXPECT_EQ(list.get(3), nullptr);
    EXPECT_EQ(list.find("board"), -1);
    EXPECT_EQ(list.find("board", 1), 1);

    STRINGLIST copy = list;
    list.zap();
    EXPECT_EQ(list.count, 0);
    EXPECT_STREQ(copy[1], "Board");
}

} // namespace
