#include "core/containers/valloc.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

template <class T> std::vector<T> values(const DOA<T>& a)
{
    return std::vector<T>(a.data, a.data + a.count);
}

} // namespace

TEST(DOA, GrowsByItsStepAndInsertsAtAnIndex)
{
    DOA<int> a;
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.data, nullptr);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(a.add(i), i);
    EXPECT_EQ(a.capacity, 10);
    a.add(10);
    EXPECT_EQ(a.capacity, 20);

    DOA<int> b(3);
    b.add(1);
    b.add(3);
    EXPECT_EQ(b.add(2, 1), 1);
    EXPECT_EQ(b.add(0, 0), 0);
    EXPECT_EQ(b.add(4, 99), 4);
    EXPECT_EQ(b.add(5, -7), -7);
    EXPECT_EQ(values(b), (std::vector<int> { 0, 1, 2, 3, 4 }));
    EXPECT_EQ(b.capacity, 6);
}

TEST(DOA, AppendingOwnElementWhileTheBlockMoves)
{
    DOA<double> a(1);
    a.add(1.5);
    for (int i = 0; i < 50; ++i)
        a.add(a[0]); // every append reallocates: the value must be copied first
    EXPECT_EQ(a.count, 51);
    for (int i = 0; i < a.count; ++i)
        EXPECT_EQ(a[i], 1.5);
}

TEST(DOA, StorageGoesThroughTheAllocator)
{
    struct Counting : DOA<int64_t> {
        int64_t* reallocmem(int64_t* block, size_t size) override
        {
            ++resizes;
            return DOA<int64_t>::reallocmem(block, size);
        }
        int resizes = 0;
    } a;
    for (int i = 0; i < 25; ++i)
        a.add(i);
    EXPECT_EQ(a.resizes, 3);
}
