#include <gtest/gtest.h>

#include "game/GameplayHarness.h"
#include "game/PhysicsSystem.h"

namespace {

TEST(Physics, TextsAndExplosionsStayPut) {
    Gameplay game;
    game.AddVoidrock(200.0f, 100.0f, kSmallVoidrock);
    game.AddBullet(200.0f, 100.0f);
    for (int frame = 0; frame < 10; ++frame) {
        game.Frame();
        for (const Entity& e : *game.world().GetEntities<TextRenderer>()) {
            const Transform& t = e.GetComponent<Transform>();
            const bool opening = e.GetComponent<TextRenderer>().text[0] == 'P';
            EXPECT_EQ(t.x, opening ? 435.0f : 20.0f);
            EXPECT_EQ(t.y, opening ? 540.0f : 20.0f);
        }
        ASSERT_EQ(game.Count("explosion"), 1u);
        const Transform& blast = game.Members("explosion").front().GetComponent<Transform>();
        EXPECT_EQ(blast.x, 200.0f);
        EXPECT_EQ(blast.y, 100.0f);
    }
}

TEST(Physics, AVoidrockMovesByItsVelocityEveryFrame) {
    Gameplay game;
    const Entity v = game.AddVoidrock(-500.0f, -500.0f, kBigVoidrock);
    v.GetComponent<Transform>().vx = 2.4f;
    v.GetComponent<Transform>().vy = -2.5f;
    v.GetComponent<Transform>().rotation = 33.0f;
    // Turning is ship control's: physics leaves the rotation alone whatever the turn rate.
    v.GetComponent<Transform>().angularVelocity = 2.0f;
    float x = -500.0f;
    float y = -500.0f;
    for (int frame = 1; frame <= 100; ++frame) {
        game.Run<PhysicsSystem>();
        x += 2.4f;
        y -= 2.5f;
        const Transform& t = v.GetComponent<Transform>();
        ASSERT_EQ(t.x, x) << frame;
        ASSERT_EQ(t.y, y) << frame;
        ASSERT_EQ(t.rotation, 33.0f);
    }
}

TEST(Physics, ABulletFiredThisFrameIsMovedThisFrame) {
    Gameplay game;
    game.Press(SDL_SCANCODE_SPACE);
    game.Frame();
    ASSERT_EQ(game.Count("bullet"), 1u);
    const Transform& bullet = game.Members("bullet").front().GetComponent<Transform>();
    // Fired from the ship's centre (960, 540) at (0, -39.2), the ship recoiling at (0, 0.8).
    EXPECT_NEAR(bullet.x, 960.0f, 1e-4f);
    EXPECT_FLOAT_EQ(bullet.y, 540.0f - 39.2f);
    EXPECT_FLOAT_EQ(game.ShipAt().y, 540.8f);
}

}  // namespace
