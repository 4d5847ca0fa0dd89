#include "ecs/RecordWalk.h"

#include <gtest/gtest.h>

#include <numeric>
#include <stdexcept>
#include <vector>

namespace {

struct Spot {
    int x = 0;
};

// Every identifier from 0 to count - 1 holds a record whose x is its identifier.
CompArray<Spot> Numbered(int count) {
    CompArray<Spot> array;
    for (EntityId id = 0; id < count; ++id) {
        array.Insert(id);
        array.Get(id).x = id;
    }
    return array;
}

Group Members(const std::vector<EntityId>& ids) {
    Group group;
    for (EntityId id : ids) {
        group.Insert({id, nullptr});
    }
    return group;
}

// A full word (64 to 127), a partial one and a member on the second page.
const std::vector<EntityId> kMembers = [] {
    std::vector<EntityId> ids(64);
    std::iota(ids.begin(), ids.end(), 64);
    ids.insert(ids.end(), {130, 191, 600});
    return ids;
}();

std::vector<int> Walked(const Group& group, CompArray<Spot>& array) {
    std::vector<int> seen;
    ForEachRecordOf(group, array, [&](EntityId id, Spot& s) {
        EXPECT_EQ(&s, &array.Get(id));
        seen.push_back(s.x);
    });
    return seen;
}

TEST(RecordWalk, VisitsEveryMembersOwnRecordInOrderWhereRecordsSitAtTheirIdentifiers) {
    CompArray<Spot> array = Numbered(700);
    ASSERT_TRUE(array.SlotsFollowIds());
    EXPECT_EQ(Walked(Members(kMembers), array), std::vector<int>(kMembers.begin(), kMembers.end()));
}

TEST(RecordWalk, VisitsEveryMembersOwnRecordWhereRecordsHaveMoved) {
    CompArray<Spot> array = Numbered(700);
    // 5 and 3 swap places.
    array.Remove(5);
    array.Remove(3);
    array.Insert(3);
    array.Insert(5);
    array.Get(3).x = 3;
    array.Get(5).x = 5;
    ASSERT_FALSE(array.SlotsFollowIds());
    std::vector<EntityId> ids = kMembers;
    ids.insert(ids.begin(), {3, 5});
    EXPECT_EQ(Walked(Members(ids), array), std::vector<int>(ids.begin(), ids.end()));
}

TEST(RecordWalk, RefusesAMemberWithoutARecord) {
    CompArray<Spot> array = Numbered(700);
    array.Remove(130);
    ASSERT_TRUE(array.SlotsFollowIds());
    EXPECT_THROW(Walked(Members(kMembers), array), std::logic_error);
    EXPECT_THROW(Walked(Members({800}), array), std::logic_error);
}

}  // namespace
