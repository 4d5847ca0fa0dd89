#include <gtest/gtest.h>

#include <vector>

#include "ecs/World.h"

namespace {

struct Position {
    float x = 0;
};
struct Timer {
    int frames = 20;
};

std::vector<EntityId> Ids(const EntitySet& set) {
    std::vector<EntityId> ids;
    for (const Entity& e : set) {
        ids.push_back(e.id);
    }
    return ids;
}

std::vector<EntityId> Ids(const Group& group) {
    std::vector<EntityId> ids;
    for (const Entity& e : group) {
        ids.push_back(e.id);
    }
    return ids;
}

class QueryGroupTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world.store.RegisterComponent<Position, Timer>();
        world.RegisterArchetype<Position>("body");
        world.RegisterArchetype<Position, Timer>("timed");
    }
    World world;
};

TEST_F(QueryGroupTest, QueryMadeLateFindsExistingEntitiesAndFollowsChanges) {
    world.CreateEntity("body");   // 0
    world.CreateEntity("timed");  // 1
    world.CreateEntity("body");   // 2
    world.DestroyEntity(0);

    EntitySet* timed = world.GetEntities<Timer>();
    EntitySet* bodies = world.GetEntities<Position>();
    EXPECT_EQ(Ids(*timed), (std::vector<EntityId>{1}));
    EXPECT_EQ(Ids(*bodies), (std::vector<EntityId>{1, 2}));

    world.CreateEntity("timed");  // reuses 0
    world.CreateEntity("timed");  // 3
    EXPECT_EQ(Ids(*timed), (std::vector<EntityId>{0, 1, 3}));
    world.DestroyEntity(1);
    EXPECT_EQ(Ids(*timed), (std::vector<EntityId>{0, 3}));
    EXPECT_EQ(Ids(*bodies), (std::vector<EntityId>{0, 2, 3}));
}

TEST_F(QueryGroupTest, EqualTypesShareOneQueryThatStaysPut) {
    EntitySet* first = world.GetEntities<Timer>();
    world.GetEntities<Position>();
    world.GetEntities<Position, Timer>();
    EXPECT_EQ(world.GetEntities<Timer>(), first);
    EXPECT_EQ(world.queryCount, 3u);
    EntitySet* both = world.GetEntities<Position, Timer>();
    EXPECT_EQ((world.GetEntities<Timer, Position>()), both);
    EXPECT_EQ(world.queryCount, 3u);
}

TEST_F(QueryGroupTest, QueryOfSeveralTypesNeedsAllOfThem) {
    world.CreateEntity("body");
    world.CreateEntity("timed");
    EXPECT_EQ(Ids(*world.GetEntities<Position, Timer>()), (std::vector<EntityId>{1}));
}

TEST_F(QueryGroupTest, GroupIsOrderedAndHoldsAnEntityOnce) {
    Entity a = world.CreateEntity("body");
    Entity b = world.CreateEntity("body");
    Entity c = world.CreateEntity("body");
    world.AddToGroup(c, "g");
    world.AddToGroup(a, "g");
    world.AddToGroup(c, "g");
    world.AddToGroup(b, "g");
    EXPECT_EQ(Ids(world.groups["g"]), (std::vector<EntityId>{0, 1, 2}));
}

TEST_F(QueryGroupTest, GroupCopyIsASnapshotWhileTheQuerySetIsLive) {
    Entity a = world.CreateEntity("timed");
    Entity b = world.CreateEntity("timed");
    world.AddToGroup(a, "g");
    world.AddToGroup(b, "g");
    EntitySet* live = world.GetEntities<Timer>();
    Group snapshot = world.groups["g"];

    world.DestroyEntity(a.id);
    EXPECT_EQ(Ids(snapshot), (std::vector<EntityId>{0, 1}));
    EXPECT_EQ(Ids(world.groups["g"]), (std::vector<EntityId>{1}));
    EXPECT_EQ(Ids(*live), (std::vector<EntityId>{1}));
    // A new entity is not in any group until added.
    world.CreateEntity("timed");
    EXPECT_EQ(Ids(world.groups["g"]), (std::vector<EntityId>{1}));
}

}  // namespace
