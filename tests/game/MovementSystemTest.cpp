#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "game/GameplayHarness.h"
#include "game/MovementSystem.h"
#include "game/PhysicsSystem.h"

namespace {

constexpr float kMaxHeldSpeed = 7.0f * 0.99f;

float Speed(const Transform& t) {
    return std::sqrt(t.vx * t.vx + t.vy * t.vy);
}

// The turn rate's per-frame decay, in double as the ship's handling is tuned.
float Decayed(float rate) {
    return static_cast<float>(rate * 0.85);
}

class MovementTest : public ::testing::Test {
  protected:
    void Move() { game.Run<MovementSystem>(); }
    void Step() {
        game.Run<MovementSystem>();
        game.Run<PhysicsSystem>();
    }
    Gameplay game;
};

// ---- Turning and drag

TEST_F(MovementTest, WithNoKeyTurnRateAndSpeedDecay) {
    Transform& start = game.ShipAt();
    start.angularVelocity = 4.3f;
    start.vx = 3.1f;
    start.vy = -2.2f;
    float rate = 4.3f;
    float vx = 3.1f;
    float vy = -2.2f;
    float rotation = 0.0f;
    bool doubleMatters = false;
    for (int frame = 1; frame <= 40; ++frame) {
        // The same decay in float drifts apart from the double one within a few frames.
        doubleMatters = doubleMatters || Decayed(rate) != rate * 0.85f;
        rate = Decayed(rate);
        vx *= 0.99f;
        vy *= 0.99f;
        rotation += rate;
        Move();
        const Transform& t = game.ShipAt();
        ASSERT_EQ(t.angularVelocity, rate) << "frame " << frame;
        ASSERT_EQ(t.vx, vx) << "frame " << frame;
        ASSERT_EQ(t.vy, vy) << "frame " << frame;
        ASSERT_EQ(t.rotation, rotation) << "frame " << frame;
    }
    EXPECT_TRUE(doubleMatters) << "the start values do not tell double from float decay";
}

TEST_F(MovementTest, OneTurnKeyReachesFiveDegreesAfterTenFramesAndStaysThere) {
    for (SDL_Scancode key :
         {SDL_SCANCODE_RIGHT, SDL_SCANCODE_D, SDL_SCANCODE_LEFT, SDL_SCANCODE_A}) {
        Gameplay fresh;
        const float sign = key == SDL_SCANCODE_RIGHT || key == SDL_SCANCODE_D ? 1.0f : -1.0f;
        fresh.Press(key);
        float rotation = 0.0f;
        for (int frame = 1; frame <= 100; ++frame) {
            fresh.Run<MovementSystem>();
            const float rate = std::min(0.5f * static_cast<float>(frame), 5.0f);
            rotation += sign * rate;
            const Transform& t = fresh.ShipAt();
            ASSERT_EQ(t.angularVelocity, sign * rate) << "key " << key << " frame " << frame;
            ASSERT_EQ(t.rotation, rotation) << "key " << key << " frame " << frame;
        }
        // 0.5 + 1 + ... + 5 in the first ten frames, then 5 per frame; never wrapped to 0..360.
        EXPECT_EQ(fresh.ShipAt().rotation, sign * (27.5f + 90 * 5.0f));
    }
}

TEST_F(MovementTest, BothTurnDirectionsApplyBothStepsThenDecay) {
    // 0.1 does not survive +0.5 then -0.5 in float unchanged, so skipping the two steps shows.
    const float start = 0.1f;
    const float afterSteps = static_cast<float>(static_cast<float>(start + 0.5) - 0.5);
    ASSERT_NE(afterSteps, start);
    for (auto [cw, acw] : {std::pair{SDL_SCANCODE_RIGHT, SDL_SCANCODE_LEFT},
                           std::pair{SDL_SCANCODE_D, SDL_SCANCODE_A},
                           std::pair{SDL_SCANCODE_RIGHT, SDL_SCANCODE_A}}) {
        Gameplay fresh;
        fresh.ShipAt().angularVelocity = start;
        fresh.Press(cw);
        fresh.Press(acw);
        fresh.Run<MovementSystem>();
        EXPECT_EQ(fresh.ShipAt().angularVelocity, Decayed(afterSteps));
        EXPECT_EQ(fresh.ShipAt().rotation, Decayed(afterSteps));
    }
}

TEST_F(MovementTest, DecayHappensBeforeTheLimit) {
    // 6 would be clamped to 5 before decaying to 4.25 if the order were the other way round.
    game.ShipAt().angularVelocity = 6.0f;
    Move();
    EXPECT_EQ(game.ShipAt().angularVelocity, 5.0f);
    EXPECT_EQ(game.ShipAt().rotation, 5.0f);
    // -5.5 decays to -4.675 inside the limit; clamped first it would give -4.25.
    game.ShipAt().angularVelocity = -5.5f;
    Move();
    EXPECT_EQ(game.ShipAt().angularVelocity, Decayed(-5.5f));
}

// ---- Thrust, speed limit, sprites

TEST_F(MovementTest, ForwardThrustGrowsByAtMostPointTwoAndHoldsAtSevenTimesDrag) {
    game.Press(SDL_SCANCODE_UP);
    float previous = 0.0f;
    for (int frame = 1; frame <= 80; ++frame) {
        Move();
        const float speed = Speed(game.ShipAt());
        ASSERT_LE(speed - previous, 0.2f + 1e-5f) << "frame " << frame;
        ASSERT_LE(speed, kMaxHeldSpeed + 1e-5f) << "frame " << frame;
        previous = speed;
    }
    // Heading 0 is straight up.
    EXPECT_NEAR(game.ShipAt().vy, -kMaxHeldSpeed, 1e-5f);
    EXPECT_NEAR(game.ShipAt().vx, 0.0f, 1e-5f);
    EXPECT_EQ(game.ShipSprite(), "ship_accel");
}

TEST_F(MovementTest, WKeyThrustsLikeUpAndSKeyLikeDown) {
    for (auto [key, sign, sprite] : {std::tuple{SDL_SCANCODE_W, -1.0f, "ship_accel"},
                                     std::tuple{SDL_SCANCODE_S, 1.0f, "ship_reverse"},
                                     std::tuple{SDL_SCANCODE_DOWN, 1.0f, "ship_reverse"}}) {
        Gameplay fresh;
        fresh.Press(key);
        fresh.Run<MovementSystem>();
        EXPECT_NEAR(fresh.ShipAt().vy, sign * 0.2f * 0.99f, 1e-6f) << key;
        EXPECT_EQ(fresh.ShipSprite(), sprite) << key;
    }
}

TEST_F(MovementTest, ThrustFollowsTheHeadingFromBeforeThisFramesTurn) {
    // The turn to 0.5 degrees comes after the thrust: the first push is straight up.
    game.Press(SDL_SCANCODE_UP);
    game.Press(SDL_SCANCODE_RIGHT);
    Move();
    EXPECT_NEAR(game.ShipAt().vx, 0.0f, 1e-6f);
    EXPECT_EQ(game.ShipAt().rotation, 0.5f);
    // Heading 90 points right.
    Gameplay right;
    right.ShipAt().rotation = 90.0f;
    right.Press(SDL_SCANCODE_UP);
    right.Run<MovementSystem>();
    EXPECT_NEAR(right.ShipAt().vx, 0.2f * 0.99f, 1e-6f);
    EXPECT_NEAR(right.ShipAt().vy, 0.0f, 1e-6f);
}

TEST_F(MovementTest, BothThrustKeysCancelAndShowTheReverseSprite) {
    game.ShipAt().vx = 1.5f;
    game.ShipAt().vy = -2.5f;
    game.Press(SDL_SCANCODE_UP);
    game.Press(SDL_SCANCODE_DOWN);
    Move();
    EXPECT_NEAR(game.ShipAt().vx, 1.5f * 0.99f, 1e-6f);
    EXPECT_NEAR(game.ShipAt().vy, -2.5f * 0.99f, 1e-6f);
    EXPECT_EQ(game.ShipSprite(), "ship_reverse");

    game.Gun().reloadFrames = 30;
    Move();
    EXPECT_EQ(game.ShipSprite(), "ship_reverse_reloading");
}

TEST_F(MovementTest, ReloadLookForEachThrustState) {
    struct Case {
        SDL_Scancode key;
        const char* ready;
        const char* reloading;
    };
    for (const Case& c : {Case{SDL_SCANCODE_UNKNOWN, "ship", "ship_reloading"},
                          Case{SDL_SCANCODE_UP, "ship_accel", "ship_accel_reloading"},
                          Case{SDL_SCANCODE_DOWN, "ship_reverse", "ship_reverse_reloading"}}) {
        Gameplay fresh;
        fresh.Press(c.key);
        fresh.Run<MovementSystem>();
        EXPECT_EQ(fresh.ShipSprite(), c.ready);
        fresh.Gun().reloadFrames = 1;
        fresh.Run<MovementSystem>();
        EXPECT_EQ(fresh.ShipSprite(), c.reloading);
        // The last reload frame was counted off in that update, so the gun is ready again.
        EXPECT_EQ(fresh.Gun().reloadFrames, 0);
        fresh.Run<MovementSystem>();
        EXPECT_EQ(fresh.ShipSprite(), c.ready);
    }
}

TEST_F(MovementTest, APushAboveTheSpeedLimitIsCutBeforePhysicsMovesTheShip) {
    Transform& t = game.ShipAt();
    t.vx = 9.0f;
    t.vy = -12.0f;
    Step();
    // Same direction (0.6, -0.8), length 7, then drag.
    EXPECT_NEAR(Speed(game.ShipAt()), kMaxHeldSpeed, 1e-5f);
    EXPECT_NEAR(game.ShipAt().vx, 0.6f * kMaxHeldSpeed, 1e-5f);
    EXPECT_NEAR(game.ShipAt().x, 960.0f + 0.6f * kMaxHeldSpeed, 1e-4f);
    EXPECT_NEAR(game.ShipAt().y, 540.0f - 0.8f * kMaxHeldSpeed, 1e-4f);
}

// ---- The wall band

TEST_F(MovementTest, AtEachWallTheShipPassesForOneFrameThenIsPutBack) {
    struct Side {
        const char* name;
        float x, y, vx, vy;
    };
    for (const Side& side :
         {Side{"right", 1824.0f, 500.0f, 3.0f, 1.0f}, Side{"left", 96.0f, 500.0f, -3.0f, 1.0f},
          Side{"top", 800.0f, 96.0f, 1.0f, -3.0f}, Side{"bottom", 800.0f, 984.0f, 1.0f, 3.0f}}) {
        Gameplay fresh;
        Transform& t = fresh.ShipAt();
        t.x = side.x;
        t.y = side.y;
        t.vx = side.vx;
        t.vy = side.vy;
        fresh.Run<MovementSystem>();
        fresh.Run<PhysicsSystem>();
        // Still on the band when ship control looked: the velocity stands and carries it out.
        const Transform& out = fresh.ShipAt();
        EXPECT_FLOAT_EQ(out.x, side.x + side.vx * 0.99f) << side.name;
        EXPECT_FLOAT_EQ(out.y, side.y + side.vy * 0.99f) << side.name;

        fresh.Run<MovementSystem>();
        const Transform& back = fresh.ShipAt();
        const bool horizontal = side.vx * side.vx > 1.0f;
        EXPECT_EQ(back.x, horizontal ? side.x : side.x + side.vx * 0.99f) << side.name;
        EXPECT_EQ(back.y, horizontal ? side.y + side.vy * 0.99f : side.y) << side.name;
        EXPECT_EQ(horizontal ? back.vx : back.vy, 0.0f) << side.name;
        EXPECT_FLOAT_EQ(horizontal ? back.vy : back.vx, 0.99f * 0.99f) << side.name;
    }
}

// ---- Firing and reload

TEST_F(MovementTest, AHeldFireKeyFiresOnce) {
    game.Press(SDL_SCANCODE_SPACE);
    for (int frame = 1; frame <= 200; ++frame) {
        Move();
        ASSERT_EQ(game.Count("bullet"), 1u) << "frame " << frame;
    }
}

TEST_F(MovementTest, AKeyPressedDuringReloadDoesNotFireWhenReloadEnds) {
    game.Press(SDL_SCANCODE_SPACE);
    Move();
    game.Press(SDL_SCANCODE_SPACE, false);
    Move();
    game.Press(SDL_SCANCODE_SPACE);
    for (int frame = 3; frame <= 150; ++frame) {
        Move();
    }
    ASSERT_EQ(game.Gun().reloadFrames, 0);
    EXPECT_EQ(game.Count("bullet"), 1u);
    // Released and pressed again, it fires.
    game.Press(SDL_SCANCODE_SPACE, false);
    Move();
    game.Press(SDL_SCANCODE_SPACE);
    Move();
    EXPECT_EQ(game.Count("bullet"), 2u);
}

TEST_F(MovementTest, ShotsAreSixtyOneFramesApartAndTheReloadLookLastsSixtyFrames) {
    // A shot in frame 1, the key up in frames 2 to 1 + gap - 1, down again in frame 1 + gap.
    for (int gap : {60, 61}) {
        Gameplay fresh;
        fresh.Press(SDL_SCANCODE_SPACE);
        fresh.Run<MovementSystem>();
        EXPECT_EQ(fresh.ShipSprite(), "ship");
        fresh.Press(SDL_SCANCODE_SPACE, false);
        int reloadLook = 0;
        for (int frame = 2; frame < 1 + gap; ++frame) {
            fresh.Run<MovementSystem>();
            reloadLook += fresh.ShipSprite() == "ship_reloading";
        }
        fresh.Press(SDL_SCANCODE_SPACE);
        fresh.Run<MovementSystem>();
        reloadLook += fresh.ShipSprite() == "ship_reloading";
        EXPECT_EQ(fresh.Count("bullet"), gap == 61 ? 2u : 1u) << "gap " << gap;
        EXPECT_EQ(reloadLook, 60) << "gap " << gap;
    }
}

TEST_F(MovementTest, AHitResetsTheReloadSoAFreshPressFiresInTheSameFrame) {
    for (bool hit : {false, true}) {
        Gameplay fresh;
        fresh.Press(SDL_SCANCODE_SPACE);
        fresh.Run<MovementSystem>();
        fresh.Press(SDL_SCANCODE_SPACE, false);
        fresh.Run<MovementSystem>();
        fresh.world().DestroyEntity(fresh.Members("bullet").front().id);
        ASSERT_EQ(fresh.Gun().reloadFrames, 59);
        if (hit) {
            // Far from the ship, so it neither touches nor pushes it.
            fresh.AddVoidrock(200.0f, 200.0f, kSmallVoidrock);
            fresh.AddBullet(200.0f, 200.0f);
        }
        fresh.Press(SDL_SCANCODE_SPACE);
        fresh.Frame();
        const std::vector<Entity> bullets = fresh.Members("bullet");
        if (hit) {
            ASSERT_EQ(bullets.size(), 1u);
            EXPECT_EQ(fresh.ScoreValue(), 1);
            EXPECT_EQ(fresh.Gun().reloadFrames, 60);
            // The new bullet: the ship's velocity after the recoil plus 40 upwards, fired from
            // the ship's position (960, 540) and moved once since.
            const Transform& bullet = bullets.front().GetComponent<Transform>();
            EXPECT_FLOAT_EQ(bullet.vy, fresh.ShipAt().vy - 40.0f);
            EXPECT_FLOAT_EQ(bullet.y, 540.0f + bullet.vy);
        } else {
            EXPECT_TRUE(bullets.empty());
            EXPECT_EQ(fresh.Gun().reloadFrames, 58);
        }
    }
}

TEST_F(MovementTest, NoShipNoEffect) {
    game.world().DestroyEntity(game.Ship().id);
    game.Press(SDL_SCANCODE_SPACE);
    game.Press(SDL_SCANCODE_UP);
    Move();
    EXPECT_EQ(game.Count("bullet"), 0u);
}

}  // namespace
