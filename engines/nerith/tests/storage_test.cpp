// The containers behind circuits of millions of objects: stores whose objects never move, arrays
// mapped on their own once large, and the text arena of names.
#include "engines/nerith/largepages.h"
#include "engines/nerith/store.h"
#include "engines/nerith/textarena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Counts the objects alive, to see a store construct and destroy each exactly once.
struct Counted {
    static inline int alive = 0;
    uint64_t value = 0;
    Counted() { ++alive; }
    ~Counted() { --alive; }
};

} // namespace

TEST(Store, ObjectsStayInPlaceAcrossBlocksAndAreDestroyedOnce)
{
    {
        nerith::Store<Counted, 4> store;
        std::vector<Counted*> made;
        // 4 + 8 + 16 + ... : the count crosses several block edges and ends inside a block.
        for (uint64_t k = 0; k < 1000; ++k) {
            Counted& object = store.emplace_back();
            object.value = k;
            made.push_back(&object);
        }
        EXPECT_EQ(Counted::alive, 1000);
        ASSERT_EQ(store.size(), 1000u);
        uint64_t k = 0;
        for (const Counted& object : store) {
            EXPECT_EQ(&object, made[k]) << k;
            EXPECT_EQ(object.value, k);
            EXPECT_EQ(&store[k], made[k]);
            ++k;
        }
        EXPECT_EQ(k, 1000u);
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(LargeVector, GrowsPastTheMappedSizeAndKeepsItsValues)
{
    // From heap blocks to mapped ones (4 MB and more) and back when it shrinks.
    nerith::LargeVector<uint32_t> values;
    for (uint32_t k = 0; k < 3'000'000; ++k)
        values.push_back(k * 7);
    for (uint32_t k = 0; k < values.size(); k += 9973)
        ASSERT_EQ(values[k], k * 7) << k;
    values.resize(10);
    values.shrink_to_fit();
    EXPECT_EQ(values.back(), 63u);
    nerith::LargeVector<double> zeros(1 << 20, 0.0);
    EXPECT_EQ(zeros[12345], 0.0);
}

TEST(TextArena, KeepsEveryTextTerminatedAndInPlace)
{
    nerith::TextArena arena;
    std::vector<std::pair<const char*, std::string>> kept;
    // Short names fill blocks; a text longer than a block gets one of its own.
    for (int k = 0; k < 20000; ++k) {
        const std::string text = "n" + std::to_string(k) + (k % 5000 == 0 ? std::string(70000, 'x') : "");
        kept.emplace_back(arena.keep(text), text);
    }
    kept.emplace_back(arena.keep(""), "");
    for (const auto& [at, text] : kept)
        ASSERT_EQ(std::string(at), text);
}
