#include "ecs/Group.h"

#include <gtest/gtest.h>

#include "support/Ids.h"

TEST(Group, IsOrderedByIdentifierAndHoldsAnEntityOnce) {
    Group group;
    for (EntityId id : {2, 0, 2, 1}) {
        group.Insert(Entity{id, nullptr});
    }
    group.Erase(7);
    EXPECT_EQ(Ids(group), (std::vector<EntityId>{0, 1, 2}));
    // A copy shares the members until either side changes.
    Group copy = group;
    group.Erase(1);
    copy.Erase(2);
    EXPECT_TRUE(!group.Contains(1) && group.Contains(2));
    EXPECT_TRUE(copy.Contains(1) && !copy.Contains(2));
}
