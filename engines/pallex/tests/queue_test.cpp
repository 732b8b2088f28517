#include "engines/pallex/queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

TEST(EventQueue, PopsInTimeOrderThroughInterleavedPushes)
{
    pallex::EventQueue queue;
    std::mt19937_64 random(5);
    std::vector<int64_t> pending;
    std::vector<int64_t> popped;
    for (int round = 0; round < 2000; ++round) {
        for (int push = 0; push < 3; ++push) {
            int64_t time = static_cast<int64_t>(random() % 1000) + (round << 8);
            queue.push({ time, static_cast<uint32_t>(round), 0 });
            pending.push_back(time);
        }
        for (int pop = 0; pop < 2 + round % 2 && !queue.empty(); ++pop) {
            auto earliest = std::min_element(pending.begin(), pending.end());
            ASSERT_EQ(queue.top().time, *earliest);
            pending.erase(earliest);
            queue.pop();
        }
    }
    while (!queue.empty()) {
        popped.push_back(queue.top().time);
        queue.pop();
    }
    EXPECT_TRUE(std::is_sorted(popped.begin(), popped.end()));
    EXPECT_EQ(popped.size(), pending.size());
}
