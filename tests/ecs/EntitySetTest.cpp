#include "ecs/EntitySet.h"

#include <gtest/gtest.h>

#include <vector>

#include "ecs/RingQueue.h"
#include "support/Ids.h"

namespace {

// Identifiers on both sides of word and summary boundaries, inserted out of order.
const std::vector<EntityId> kSpread{70000, 5, 4095, 64, 0, 63, 4096, 4097};

TEST(EntitySet, WalksInAscendingOrderOncePerIdentifier) {
    EntitySet set;
    for (EntityId id : kSpread) {
        EXPECT_TRUE(set.insert({id, nullptr}));
    }
    EXPECT_FALSE(set.insert({64, nullptr}));
    std::vector<EntityId> sorted = kSpread;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Ids(set), sorted);
    EXPECT_EQ(set.size(), sorted.size());
    for (EntityId id : kSpread) {
        EXPECT_EQ(set.erase(id), 1u);
    }
    EXPECT_TRUE(set.empty());
    EXPECT_EQ(set.begin(), set.end());
}

TEST(EntitySet, AWalkReachesWhatIsInsertedAheadAndSurvivesErasingItsPosition) {
    EntitySet set;
    for (EntityId id : {2, 10, 200}) {
        set.insert({id, nullptr});
    }
    std::vector<EntityId> seen;
    for (const Entity& e : set) {
        seen.push_back(e.id);
        if (e.id == 10) {
            set.insert({1, nullptr});       // behind: not reached
            set.insert({100000, nullptr});  // ahead, past the current range: reached
            set.erase(10);
        }
    }
    EXPECT_EQ(seen, (std::vector<EntityId>{2, 10, 200, 100000}));
}

TEST(RingQueue, StaysFirstInFirstOutAcrossWrapAndGrowth) {
    RingQueue<int> queue;
    int next = 0;
    int expected = 0;
    for (int round = 0; round < 40; ++round) {
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

}  // namespace
