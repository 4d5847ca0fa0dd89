#include "ecs/EntitySet.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/Ids.h"

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
    for (EntityId id : {2, 10, 12, 200}) {
        set.insert({id, nullptr});
    }
    std::vector<EntityId> seen;
    for (const Entity& e : set) {
        seen.push_back(e.id);
        if (e.id == 10) {
            set.insert({1, nullptr});       // behind: not reached
            set.insert({11, nullptr});      // ahead in the same word: reached
            set.erase(12);                  // ahead in the same word: not reached
            set.insert({100000, nullptr});  // ahead, past the current range: reached
            set.erase(10);
        }
    }
    EXPECT_EQ(seen, (std::vector<EntityId>{2, 10, 11, 200, 100000}));
}
