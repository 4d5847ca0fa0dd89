#include "ecs/World.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Position {
    float x = 0;
    float y = 0;
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

TEST_F(WorldTest, IdentifiersAreDenseThenReusedOldestFirst) {
    EXPECT_EQ(Create(3), (std::vector<EntityId>{0, 1, 2}));
    world.DestroyEntity(1);
    world.DestroyEntity(0);
    EXPECT_EQ(Create(3), (std::vector<EntityId>{1, 0, 3}));
    EXPECT_EQ(world.signatures.size(), 4u);
}

TEST_F(WorldTest, EntityGetsDefaultRecordsOfItsArchetype) {
    Entity e = world.CreateEntity("timed");
    EXPECT_EQ(e.store, &world.store);
    EXPECT_EQ(e.GetComponent<Timer>().frames, 20);
    EXPECT_EQ(e.GetComponent<Position>().x, 0.0f);
    EXPECT_THROW(e.GetComponent<Tag>(), std::logic_error);
}

TEST_F(WorldTest, DestroyResetsRecordsAndClearsSignature) {
    Entity e = world.CreateEntity("timed");
    e.GetComponent<Timer>().frames = 3;
    world.DestroyEntity(e.id);
    EXPECT_EQ(world.store.ArrayOf<Timer>().records[0].frames, 20);
    EXPECT_TRUE(world.signatures[0].none());
    EXPECT_EQ(world.signatures[0].size(), 3u);
    EXPECT_THROW(e.GetComponent<Timer>(), std::logic_error);
}

TEST_F(WorldTest, DestroyingAnEntityThatIsNotLiveFailsLoudly) {
    Entity e = world.CreateEntity("body");
    world.DestroyEntity(e.id);
    EXPECT_THROW(world.DestroyEntity(e.id), std::logic_error);
    EXPECT_THROW(world.DestroyEntity(7), std::logic_error);
    EXPECT_THROW(world.DestroyEntity(-1), std::logic_error);
    // The identifier is free once, so two creations get two identifiers.
    EXPECT_EQ(world.freeIds.size(), 1u);
    EXPECT_NE(world.CreateEntity("body").id, world.CreateEntity("body").id);
}

TEST_F(WorldTest, ArchetypeRegisteredTwiceIsTheUnion) {
    world.RegisterArchetype<Position>("mixed");
    world.RegisterArchetype<Tag>("mixed");
    Entity e = world.CreateEntity("mixed");
    EXPECT_NO_THROW(e.GetComponent<Position>());
    EXPECT_NO_THROW(e.GetComponent<Tag>());
    EXPECT_THROW(e.GetComponent<Timer>(), std::logic_error);
    EXPECT_THROW(world.RegisterArchetype<float>("bad"), std::logic_error);
}

TEST_F(WorldTest, UnknownArchetypeMakesAnEntityWithoutComponents) {
    Entity e = world.CreateEntity("nothing");
    EXPECT_TRUE(world.archetypes.contains("nothing"));
    EXPECT_TRUE(world.signatures[static_cast<std::size_t>(e.id)].none());
    EXPECT_TRUE(world.GetEntities<Position>()->empty());
    world.DestroyEntity(e.id);
    EXPECT_FALSE(world.IsLive(e.id));
}

TEST_F(WorldTest, ComponentAccessIsInPlaceAndSurvivesGrowth) {
    Entity e = world.CreateEntity("timed");
    EXPECT_EQ(&e.GetComponent<Timer>(), &e.GetComponent<Timer>());
    e.GetComponent<Timer>().frames = 7;
    EXPECT_EQ(e.GetComponent<Timer>().frames, 7);
    Timer* record = &e.GetComponent<Timer>();
    Create(2000, "timed");  // grows the array by several pages
    EXPECT_EQ(&e.GetComponent<Timer>(), record);
    EXPECT_EQ(e.GetComponent<Timer>().frames, 7);
}

TEST_F(WorldTest, OldHandleReachesTheEntityThatReusedItsIdentifier) {
    Entity old = world.CreateEntity("body");
    world.DestroyEntity(old.id);
    Entity reused = world.CreateEntity("timed");
    ASSERT_EQ(reused.id, old.id);
    reused.GetComponent<Timer>().frames = 5;
    EXPECT_EQ(old.GetComponent<Timer>().frames, 5);
}

TEST_F(WorldTest, ArchetypeRegisteredBeforeLaterTypesStillMatches) {
    World late;
    late.store.RegisterComponent<Position>();
    late.RegisterArchetype<Position>("early");
    late.store.RegisterComponent<Timer>();
    late.RegisterArchetype<Position, Timer>("late");
    late.CreateEntity("early");
    late.CreateEntity("late");
    EXPECT_EQ(late.GetEntities<Position>()->size(), 2u);
    EXPECT_EQ(late.GetEntities<Timer>()->size(), 1u);
}

}  // namespace

namespace {

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
