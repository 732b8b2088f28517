// The name index: exact spelling first, then the earliest entered of the same letters.
#include "engines/nerith/names.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

using nerith::NameIndex;

namespace {

struct Named {
    std::string name;
};

} // namespace

TEST(NameIndex, ExactSpellingFirstThenTheEarliestOfTheSameLetters)
{
    std::deque<Named> items { { "clk" }, { "CLK" }, { "Clk" }, { "out" } };
    NameIndex<Named, &Named::name> index;
    for (Named& item : items)
        index.insert(&item);
    EXPECT_EQ(index.find("CLK"), &items[1]);
    EXPECT_EQ(index.find("Clk"), &items[2]);
    EXPECT_EQ(index.find("cLK"), &items[0]);
    EXPECT_EQ(index.exactly("cLK"), nullptr);
    EXPECT_EQ(index.find("OUT"), &items[3]);
    EXPECT_EQ(index.find("in"), nullptr);

    // The next earliest takes over from an erased one; an erased name is gone.
    index.erase(&items[0]);
    EXPECT_EQ(index.find("cLK"), &items[1]);
    EXPECT_EQ(index.find("clk"), &items[1]);
    index.erase(&items[3]);
    EXPECT_EQ(index.find("out"), nullptr);
    index.insert(&items[3]);
    EXPECT_EQ(index.find("OUT"), &items[3]);
}

TEST(NameIndex, HoldsManyNamesThroughGrowthAndErasure)
{
    std::deque<Named> items;
    NameIndex<Named, &Named::name> index;
    for (int k = 0; k < 100000; ++k)
        index.insert(&items.emplace_back(Named { "n" + std::to_string(k) }));
    for (int k = 0; k < 100000; k += 2)
        index.erase(&items[static_cast<std::size_t>(k)]);
    for (int k = 0; k < 100000; k += 1000) {
        const std::string name = "N" + std::to_string(k + 1);
        EXPECT_EQ(index.find(name), &items[static_cast<std::size_t>(k + 1)]) << name;
        EXPECT_EQ(index.find("n" + std::to_string(k)), nullptr) << k;
    }
}

TEST(NameIndex, PlaceFindsTheExactNameOrWhereItGoes)
{
    constexpr int Count = 5000;
    std::deque<Named> items;
    std::vector<bool> erased(Count);
    NameIndex<Named, &Named::name> index;
    // Entering at the places found, through growth and into the tombstones of erased names.
    for (int k = 0; k < Count; ++k) {
        Named& item = items.emplace_back(Named { "x" + std::to_string(k) });
        const auto place = index.place(item.name);
        ASSERT_EQ(index.itemat(place), nullptr) << k;
        index.enter(place, &item);
        if (k % 3 == 0) {
            index.erase(&items[static_cast<std::size_t>(k / 2)]);
            erased[static_cast<std::size_t>(k / 2)] = true;
        }
    }
    for (int k = 0; k < Count; ++k) {
        const Named& item = items[static_cast<std::size_t>(k)];
        const Named* expected = erased[static_cast<std::size_t>(k)] ? nullptr : &item;
        EXPECT_EQ(index.itemat(index.place(item.name)), expected) << item.name;
    }
    // Only the exact spelling is found: another spelling is entered beside it and found first.
    Named& upper = items.emplace_back(Named { "X2" });
    const auto place = index.place(upper.name);
    ASSERT_EQ(index.itemat(place), nullptr);
    index.enter(place, &upper);
    EXPECT_EQ(index.find("X2"), &upper);
    EXPECT_EQ(index.find("x2"), &items[2]);
}
