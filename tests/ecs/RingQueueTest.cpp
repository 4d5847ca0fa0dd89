#include "ecs/RingQueue.h"

#include <gtest/gtest.h>

TEST(RingQueue, StaysFirstInFirstOutAcrossWrapGrowthAndReserve) {
    RingQueue<int> queue;
    int next = 0;
    int expected = 0;
    for (int round = 0; round < 40; ++round) {
        // At round 24 the elements wrap past the ring's end.
        if (round == 24) {
            queue.reserve(100);
        }
        for (int k = 0; k < round % 7 + 1; ++k) {
            queue.push_back(next++);
        }
        for (int k = 0; k < round % 5 && !queue.empty(); ++k) {
            EXPECT_EQ(queue.front(), expected++);
            queue.pop_front();
        }
    }
    EXPECT_EQ(queue.size(), static_cast<std::size_t>(next - expected));
    EXPECT_EQ(*queue.begin(), expected);
}
