#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "game/BulletSystem.h"
#include "game/GameplayHarness.h"
#include "game/MovementSystem.h"

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

Transform OnlyBullet(Gameplay& game) {
    const std::vector<Entity> bullets = game.Members("bullet");
    if (bullets.size() != 1) {
        throw std::logic_error("expected exactly one bullet");
    }
    return bullets.front().GetComponent<Transform>();
}

// ---- Firing

TEST(BulletFiring, AShotFromRestGivesRecoilDownAndABulletStraightUp) {
    Gameplay game;
    game.Press(SDL_SCANCODE_SPACE);
    game.Run<MovementSystem>();
    const Transform& ship = game.ShipAt();
    // cos(-pi/2) in float is not exactly 0.
    EXPECT_NEAR(ship.vx, 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(ship.vy, 0.8f);
    const Transform bullet = OnlyBullet(game);
    EXPECT_NEAR(bullet.vx, 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(bullet.vy, -39.2f);
    EXPECT_EQ(bullet.x, 960.0f);
    EXPECT_EQ(bullet.y, 540.0f);
    EXPECT_EQ(bullet.rotation, -90.0f);
    EXPECT_EQ(game.Members("bullet").front().GetComponent<SpriteRenderer>().sprite, "bullet");
}

TEST(BulletFiring, ABulletFiredAtFullForwardSpeedFliesAt46_13) {
    Gameplay game;
    game.Press(SDL_SCANCODE_UP);
    for (int frame = 0; frame < 80; ++frame) {
        game.Run<MovementSystem>();
    }
    ASSERT_NEAR(game.ShipAt().vy, -6.93f, 1e-4f);
    game.Press(SDL_SCANCODE_SPACE);
    game.Run<MovementSystem>();
    // Held at 7 * 0.99 by the limit, 0.8 of recoil, 40 of its own.
    EXPECT_NEAR(OnlyBullet(game).vy, -(7.0f * 0.99f - 0.8f + 40.0f), 1e-4f);
    EXPECT_NEAR(game.ShipAt().vy, -(7.0f * 0.99f - 0.8f), 1e-4f);
}

TEST(BulletFiring, TheBulletLeavesAlongTheHeadingAfterThisFramesTurn) {
    Gameplay game;
    game.ShipAt().rotation = 120.0f;
    game.ShipAt().angularVelocity = 3.0f;
    game.Press(SDL_SCANCODE_RIGHT);
    game.Press(SDL_SCANCODE_SPACE);
    game.Run<MovementSystem>();
    const float heading = 123.5f;
    ASSERT_EQ(game.ShipAt().rotation, heading);
    const double radians = (heading - 90.0) * std::numbers::pi / 180.0;
    const Transform bullet = OnlyBullet(game);
    EXPECT_NEAR(bullet.vx, 39.2 * std::cos(radians), 1e-4);
    EXPECT_NEAR(bullet.vy, 39.2 * std::sin(radians), 1e-4);
    EXPECT_EQ(bullet.rotation, heading - 90.0f);
}

TEST(BulletFiring, RotationIsHeadingMinusNinetyForAnyHeading) {
    for (float heading : {0.0f, 90.0f, 181.25f, -45.0f, 725.0f}) {
        Gameplay game;
        game.scene->GetSceneSingleton<EntityCreator>()->CreateBullet(10.0f, 20.0f, 1.0f, -2.0f,
                                                                     heading);
        const Transform bullet = OnlyBullet(game);
        EXPECT_EQ(bullet.rotation, heading - 90.0f);
        const double radians = (heading - 90.0) * std::numbers::pi / 180.0;
        EXPECT_NEAR(bullet.vx, 1.0 + 40.0 * std::cos(radians), 1e-4) << heading;
        EXPECT_NEAR(bullet.vy, -2.0 + 40.0 * std::sin(radians), 1e-4) << heading;
        EXPECT_EQ(bullet.x, 10.0f);
        EXPECT_EQ(bullet.y, 20.0f);
    }
}

// ---- The field's bounds

struct BoundCase {
    const char* side;
    float x;
    float y;
    bool stays;
};

TEST(BulletBounds, StrictOnEverySideWithTheBottomOnlyTwentyPixelsOut) {
    const BoundCase cases[] = {
        {"left at -200", -200.0f, 500.0f, true},
        {"left beyond", std::nextafter(-200.0f, -kInfinity), 500.0f, false},
        {"right at 2100", 2100.0f, 500.0f, true},
        {"right beyond", std::nextafter(2100.0f, kInfinity), 500.0f, false},
        {"top at -200", 900.0f, -200.0f, true},
        {"top beyond", 900.0f, std::nextafter(-200.0f, -kInfinity), false},
        {"bottom at 1100", 900.0f, 1100.0f, true},
        {"bottom beyond", 900.0f, std::nextafter(1100.0f, kInfinity), false},
        {"bottom, inside a 200 margin", 900.0f, 1200.0f, false},
        {"corner", 2100.0f, 1100.0f, true},
    };
    for (const BoundCase& c : cases) {
        Gameplay game;
        const Entity bullet = game.AddBullet(c.x, c.y);
        game.Run<BulletSystem>();
        EXPECT_EQ(game.world().IsLive(bullet.id), c.stays) << c.side;
        EXPECT_EQ(game.Count("bullet"), c.stays ? 1u : 0u) << c.side;
    }
}

TEST(BulletBounds, OnlyTheBulletsOutsideGo) {
    Gameplay game;
    const Entity in = game.AddBullet(100.0f, 100.0f);
    const Entity out1 = game.AddBullet(-300.0f, 100.0f);
    const Entity in2 = game.AddBullet(1900.0f, 1000.0f);
    const Entity out2 = game.AddBullet(100.0f, 1101.0f);
    game.Run<BulletSystem>();
    EXPECT_TRUE(game.world().IsLive(in.id));
    EXPECT_TRUE(game.world().IsLive(in2.id));
    EXPECT_FALSE(game.world().IsLive(out1.id));
    EXPECT_FALSE(game.world().IsLive(out2.id));
    EXPECT_EQ(game.Count("bullet"), 2u);
}

TEST(BulletBounds, ABulletFiredDownLeavesLongBeforeOneFiredUp) {
    // From the ship's start at y 540: down it is out past 1100, up only past -200.
    for (float heading : {0.0f, 180.0f}) {
        Gameplay game;
        game.ShipAt().rotation = heading;
        game.Press(SDL_SCANCODE_SPACE);
        int frames = 0;
        do {
            game.Frame();
            ++frames;
        } while (game.Count("bullet") > 0 && frames < 100);
        // Up: 540 - 39.2 n < -200 first for n = 19, removed in the frame after.
        // Down: the ship's recoil is upwards, so 540 + 39.2 n > 1100 first for n = 15.
        EXPECT_EQ(frames, heading == 0.0f ? 20 : 16) << heading;
    }
}

}  // namespace
