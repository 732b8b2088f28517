#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/globalmemory.h"

TEST(GlobalMemory, BlockKeepsItsBytesAcrossLocks)
{
    HGLOBAL block = GlobalAlloc(GHND, 12);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 12u);
    auto* bytes = static_cast<char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[11], 0);
    std::strcpy(bytes, "printer");
    EXPECT_FALSE(GlobalUnlock(block)) << "unlocked once the last lock goes";
    EXPECT_STREQ(static_cast<char*>(GlobalLock(block)), "printer");
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(GlobalMemory, DeadHandlesAreRefused)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GlobalLock(nullptr), nullptr);
}

TEST(GlobalMemory, EmptyBlockLocksToNull)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalFree(block), nullptr);
}
