#include <gtest/gtest.h>

#include <cstdint>

#include "game/DestroySystem.h"
#include "game/GameplayHarness.h"

namespace {

Entity AddTimed(Gameplay& game, std::int32_t frames, bool setFrames = true) {
    Entity e = game.world().CreateEntity("explosion");
    if (setFrames) {
        e.GetComponent<DestroyTimer>().frames = frames;
    }
    e.GetComponent<SpriteRenderer>().sprite = "explosion";
    game.world().AddToGroup(e, "explosion");
    return e;
}

// Updates of the destroy system the entity survives.
int UpdatesSurvived(Gameplay& game, Entity e) {
    int survived = 0;
    for (;; ++survived) {
        game.Run<DestroySystem>();
        if (!game.world().IsLive(e.id)) {
            return survived;
        }
        if (survived > 1000) {
            return -1;
        }
    }
}

TEST(DestroyTimer, AnExplosionFromAHitIsThereForTwentyFramesFromItsOwn) {
    Gameplay game;
    for (int frame = 1; frame <= 4; ++frame) {
        game.Frame();
    }
    const int k = 5;
    game.AddVoidrock(200.0f, 150.0f, kMediumVoidrock);
    game.AddBullet(205.0f, 150.0f);
    std::vector<int> present;
    for (int frame = k; frame <= k + 25; ++frame) {
        game.Frame();
        // After the frame is what the sprite renderer sees at its end.
        if (game.Count("explosion") == 1) {
            present.push_back(frame);
            const Entity e = game.Members("explosion").front();
            // Counted down once already in the frame it was made in.
            EXPECT_EQ(e.GetComponent<DestroyTimer>().frames, 19 - (frame - k));
            EXPECT_EQ(e.GetComponent<Transform>().x, 200.0f);
            EXPECT_EQ(e.GetComponent<Transform>().y, 150.0f);
        }
    }
    ASSERT_EQ(present.size(), 20u);
    EXPECT_EQ(present.front(), k);
    EXPECT_EQ(present.back(), k + 19);
}

TEST(DestroyTimer, ZeroOrNegativeGoesInTheFirstUpdate) {
    for (std::int32_t frames : {0, -1, -1000}) {
        Gameplay game;
        const Entity e = AddTimed(game, frames);
        EXPECT_EQ(UpdatesSurvived(game, e), 0) << frames;
        EXPECT_EQ(game.Count("explosion"), 0u);
    }
}

TEST(DestroyTimer, NFramesSurviveNUpdatesAndTheDefaultIsTwenty) {
    for (std::int32_t frames : {1, 2, 20}) {
        Gameplay game;
        EXPECT_EQ(UpdatesSurvived(game, AddTimed(game, frames)), frames);
    }
    Gameplay game;
    EXPECT_EQ(UpdatesSurvived(game, AddTimed(game, 0, false)), 20);
}

TEST(DestroyTimer, EachTimerCountsOnItsOwn) {
    Gameplay game;
    const Entity early = AddTimed(game, 1);
    const Entity late = AddTimed(game, 3);
    game.Run<DestroySystem>();
    game.Run<DestroySystem>();
    EXPECT_FALSE(game.world().IsLive(early.id));
    EXPECT_TRUE(game.world().IsLive(late.id));
    EXPECT_EQ(late.GetComponent<DestroyTimer>().frames, 1);
}

}  // namespace
