#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "game/DestroySystem.h"
#include "game/GameplayHarness.h"
#include "game/PhysicsSystem.h"
#include "game/ScoreSystem.h"

const auto ScoreText = [](Gameplay& g) { return g.Board().GetComponent<TextRenderer>().text; };

TEST(TimedDestructionScorePhysics, AHitThroughTheRealFrames) {
    Gameplay g;
    g.Rock(200, 150, kMediumVoidrock);
    g.Bullet(205, 150);
    std::vector<int> drawn;  // what is left after a frame is what its end draws
    const Entity opening = g.Of("instructions").at(0);
    for (int frame = 1; frame <= 26; ++frame) {
        g.Frame();
        for (const Entity& e : g.Of("explosion")) {
            drawn.push_back(frame);
            EXPECT_EQ(F(e.GetComponent<Transform>()), F({200, 150}));
        }
        EXPECT_EQ(ScoreText(g), "Score: 1");
        EXPECT_EQ(F(g.Board().GetComponent<Transform>()), F({20, 20}));
        EXPECT_EQ(F(opening.GetComponent<Transform>()), F({435, 540}));
    }
    ASSERT_EQ(drawn.size(), 20u);
    EXPECT_EQ(std::pair(drawn.front(), drawn.back()), std::pair(1, 20));  // made in frame 1
    for (float x : {300.0f, 600.0f, 1500.0f}) {
        g.Rock(x, 100, kBigVoidrock);
        g.Bullet(x + 5, 100);
    }
    g.Frame();
    EXPECT_EQ(ScoreText(g), "Score: 4");
}

TEST(TimedDestructionScorePhysics, ATimerAtOrBelowZeroDestroysAtOnce) {
    for (std::int32_t frames : {0, -1}) {
        Gameplay g;
        const Entity e = g.Add("explosion", 0, 0);
        e.GetComponent<DestroyTimer>().frames = frames;
        g.Run<DestroySystem>();
        EXPECT_FALSE(g.W().IsLive(e.id)) << frames;
    }
}

TEST(TimedDestructionScorePhysics, TheScoreTextFollowsTheValue) {
    Gameplay g;
    for (auto [value, text] :
         {std::pair{7, "Score: 7"}, {-12, "Score: -12"}, {INT32_MIN, "Score: -2147483648"}}) {
        g.Board().GetComponent<Score>().value = value;
        g.Run<ScoreSystem>();
        EXPECT_EQ(ScoreText(g), text);
    }
}

TEST(TimedDestructionScorePhysics, PhysicsMovesByVelocityIncludingABulletFiredThisFrame) {
    Gameplay g;
    Transform m{-500, -500, 2.4f, -2.5f, 2, 33};  // turning is ship control's, not physics'
    const Entity v = g.Rock(0, 0, kBigVoidrock);
    v.GetComponent<Transform>() = m;
    for (int frame = 1; frame <= 100; ++frame) {
        g.Run<PhysicsSystem>();
        m.x += 2.4f;
        m.y -= 2.5f;
        ASSERT_EQ(F(v.GetComponent<Transform>()), F(m)) << frame;
    }
    g.Press(SDL_SCANCODE_SPACE);
    g.Frame();
    // Fired from (960, 540) at (0, -39.2), the ship recoiling at (0, 0.8).
    EXPECT_FLOAT_EQ(g.Of("bullet").at(0).GetComponent<Transform>().y, 540 - 39.2f);
    EXPECT_FLOAT_EQ(g.ShipAt().y, 540.8f);
}
