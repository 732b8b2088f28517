#include "core/containers/dpa.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<void*> slots(const DPA& a)
{
    return std::vector<void*>(a.items, a.items + a.count);
}

struct Counted {
    explicit Counted(int& counter) : deaths(counter) {}
    ~Counted() { ++deaths; }
    int& deaths;
};

}  // namespace

TEST(DPA, NewArrayIsEmptyAndHarmless)
{
    DPA a;
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.capacity, 0);
    EXPECT_EQ(a.items, nullptr);
    EXPECT_EQ(a.step, 100);
    EXPECT_EQ(a.remove(0), nullptr);
    EXPECT_EQ(a.find(&a), -1);
    a.zap();
    a.shrink();
    EXPECT_EQ(DPA(0).step, 100);
}

TEST(DPA, AddPositions)
{
    int x[4];
    DPA a;
    a.add(&x[0]);
    a.add(&x[1]);
    EXPECT_EQ(a.add(&x[2], -1), 2);
    EXPECT_EQ(a.add(&x[3], a.count + 5), 3);
    EXPECT_EQ(a.add(&x[0], -2), -2);
    EXPECT_EQ(a.count, 4);
    EXPECT_EQ(a.add(&x[3], 0), 0);
    EXPECT_EQ(slots(a), (std::vector<void*>{&x[3], &x[0], &x[1], &x[2], &x[3]}));
}

TEST(DPA, GrowsByStepNotDoubling)
{
    int x;
    DPA a(3);
    for (int i = 0; i < 3; ++i)
        a.add(&x);
    EXPECT_EQ(a.capacity, 3);
    a.add(&x);
    EXPECT_EQ(a.capacity, 6);
    a.grow(0);
    EXPECT_EQ(a.capacity, 6);
    a.grow(4);
    EXPECT_EQ(a.capacity, 10);
    EXPECT_EQ(a.count, 4);
    a.shrink();
    EXPECT_EQ(a.capacity, 4);
}

TEST(DPA, RemoveEveryOccurrenceOfAPointer)
{
    int a, b, c, absent;
    DPA list;
    for (int* p : {&a, &b, &a, &a, &c})
        list.add(p);
    EXPECT_EQ(list.remove(static_cast<void*>(&a)), reinterpret_cast<char*>(&a));
    EXPECT_EQ(slots(list), (std::vector<void*>{&b, &c}));
    EXPECT_EQ(list.remove(static_cast<void*>(&absent)), reinterpret_cast<char*>(&absent));
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(list.remove(1), reinterpret_cast<char*>(&c));
    EXPECT_EQ(list.remove(1), nullptr);
    EXPECT_EQ(list.capacity, 100);
}

TEST(DPA, DestructorLeavesItemsZapDestroysThem)
{
    int deaths = 0;
    auto* kept = new Counted(deaths);
    {
        GDPA<Counted> owner;
        owner.add(kept);
    }
    EXPECT_EQ(deaths, 0);
    GDPA<Counted> owner;
    owner.add(kept);
    owner.add(new Counted(deaths));
    owner.add(nullptr);
    owner.zap();
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(owner.count, 0);
    EXPECT_EQ(owner.capacity, 100);
}

TEST(DPA, CopyDuplicatesSlotsNotItems)
{
    int x, y;
    DPA a;
    a.add(&x);
    a.add(&y);
    DPA b(a);
    b.remove(0);
    EXPECT_EQ(a.count, 2);
    EXPECT_EQ(slots(b), (std::vector<void*>{&y}));
    DPA& same = b;
    b = same;
    EXPECT_EQ(slots(b), (std::vector<void*>{&y}));
    b = a;
    EXPECT_EQ(slots(b), slots(a));
    EXPECT_NE(b.items, a.items);
}
