#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "game/GameplayHarness.h"
#include "game/ScoreSystem.h"

namespace {

TEST(ScoreText, FollowsTheValueWithAMinusSignWhenNegative) {
    Gameplay game;
    EXPECT_EQ(game.ScoreText(), "Score: 0");
    const EntitySet& boards = *game.world().GetEntities<Score>();
    for (auto [value, text] :
         {std::pair{0, "Score: 0"}, std::pair{7, "Score: 7"}, std::pair{1234567, "Score: 1234567"},
          std::pair{-12, "Score: -12"},
          std::pair{std::numeric_limits<std::int32_t>::min(), "Score: -2147483648"}}) {
        boards.begin()->GetComponent<Score>().value = value;
        game.Run<ScoreSystem>();
        EXPECT_EQ(game.ScoreText(), text);
    }
}

TEST(ScoreText, ShowsEveryHitInItsOwnFrameAndThreeHitsJumpByThree) {
    Gameplay game;
    // One hit in frame 1, three in frame 3.
    game.AddVoidrock(200.0f, 100.0f, kSmallVoidrock);
    game.AddBullet(200.0f, 100.0f);
    game.Frame();
    EXPECT_EQ(game.ScoreText(), "Score: 1");
    game.Frame();
    EXPECT_EQ(game.ScoreText(), "Score: 1");
    for (float x : {300.0f, 600.0f, 1500.0f}) {
        game.AddVoidrock(x, 100.0f, kBigVoidrock);
        game.AddBullet(x + 5.0f, 100.0f);
    }
    game.Frame();
    EXPECT_EQ(game.ScoreText(), "Score: 4");
    EXPECT_EQ(game.ScoreValue(), 4);
}

TEST(ScoreText, KeptAfterTheShipIsGone) {
    Gameplay game;
    game.AddVoidrock(200.0f, 100.0f, kSmallVoidrock);
    game.AddBullet(200.0f, 100.0f);
    game.AddVoidrock(960.0f, 540.0f, kSmallVoidrock);
    for (int frame = 0; frame < 50; ++frame) {
        game.Frame();
    }
    EXPECT_EQ(game.Count("ship"), 0u);
    EXPECT_EQ(game.ScoreText(), "Score: 1");
}

}  // namespace
