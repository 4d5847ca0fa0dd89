#include "ecs/World.h"

#include <gtest/gtest.h>

#include "support/Ids.h"

namespace {

struct Position {
    float x = 0;
};
struct Timer {
    int frames = 20;
};
struct Tag {};

class WorldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        world.store.RegisterComponent<Position, Timer, Tag>();
        world.RegisterArchetype<Position>("body");
        world.RegisterArchetype<Position, Timer>("timed");
    }
    std::vector<EntityId> Create(int count, const char* archetype = "body") {
        std::vector<EntityId> ids;
        for (int i = 0; i < count; ++i) {
            ids.push_back(world.CreateEntity(archetype).id);
        }
        return ids;
    }
    World world;
};

TEST_F(WorldTest, IdentifiersAreDenseThenReusedOldestFirstAndFreedOnce) {
    EXPECT_EQ(Create(3), (std::vector<EntityId>{0, 1, 2}));
    world.DestroyEntity(1);
    world.DestroyEntity(0);
    for (EntityId notLive : {0, 7, -1}) {
        EXPECT_THROW(world.DestroyEntity(notLive), std::logic_error) << notLive;
    }
    EXPECT_EQ(Create(3), (std::vector<EntityId>{1, 0, 3}));
}

TEST_F(WorldTest, EntityGetsDefaultRecordsOfItsArchetypeAgainWhenReused) {
    Entity e = world.CreateEntity("timed");
    EXPECT_EQ(e.GetComponent<Timer>().frames, 20);
    EXPECT_THROW(e.GetComponent<Tag>(), std::logic_error);
    e.GetComponent<Timer>().frames = 3;
    world.DestroyEntity(e.id);
    EXPECT_THROW(e.GetComponent<Timer>(), std::logic_error);
    // An old handle reaches the entity that reused its identifier.
    ASSERT_EQ(world.CreateEntity("timed").id, e.id);
    EXPECT_EQ(e.GetComponent<Timer>().frames, 20);
    // A record stays where it is while the array grows by pages and others are destroyed.
    Timer* record = &e.GetComponent<Timer>();
    record->frames = 7;
    for (EntityId id : Create(2000, "timed")) {
        world.DestroyEntity(id);
    }
    EXPECT_EQ(&e.GetComponent<Timer>(), record);
    EXPECT_EQ(record->frames, 7);
    // Names of the same length that differ only in their first or last letter are other
    // archetypes.
    world.RegisterArchetype<Tag>("xody");
    world.RegisterArchetype<Tag>("bodx");
    for (const char* name : {"xody", "bodx"}) {
        EXPECT_THROW(world.CreateEntity(name).GetComponent<Position>(), std::logic_error) << name;
    }
}

TEST_F(WorldTest, QueriesMadeLateFindExistingEntitiesAndFollowChanges) {
    Create(1);
    Create(1, "timed");
    Create(1);
    world.DestroyEntity(0);
    EntitySet* timed = world.GetEntities<Timer>();
    EntitySet* bodies = world.GetEntities<Position>();
    EXPECT_EQ(Ids(*timed), (std::vector<EntityId>{1}));
    EXPECT_EQ(Ids(*bodies), (std::vector<EntityId>{1, 2}));
    EXPECT_EQ(Ids(*world.GetEntities<Timer, Position>()), (std::vector<EntityId>{1}));
    Create(2, "timed");  // 0 and 3
    world.DestroyEntity(1);
    EXPECT_EQ(Ids(*timed), (std::vector<EntityId>{0, 3}));
    EXPECT_EQ(Ids(*bodies), (std::vector<EntityId>{0, 2, 3}));
    EXPECT_EQ(world.GetEntities<Timer>(), timed);
    EXPECT_EQ((world.GetEntities<Position, Timer>()), (world.GetEntities<Timer, Position>()));
}

// Past the width of the per-entity group mask too.
TEST_F(WorldTest, DestroyLeavesEveryGroupAndExtendingAnArchetypeKeepsOldSignatures) {
    const Entity kept = world.CreateEntity("body");
    const Entity gone = world.CreateEntity("body");
    for (int g = 0; g < 40; ++g) {
        world.AddToGroup(kept, "g" + std::to_string(g));
        world.AddToGroup(gone, "g" + std::to_string(g));
    }
    world.RegisterArchetype<Timer>("body");
    world.DestroyEntity(gone.id);
    for (const auto& [name, group] : world.groups) {
        EXPECT_TRUE(group.Contains(kept.id) && !group.Contains(gone.id)) << name;
    }
    EXPECT_FALSE(world.signatures[0].test(1));
    EXPECT_TRUE(world.signatures[world.CreateEntity("body").id].test(1));
}

}  // namespace
