#include "game/PhysicsSystem.h"

#include "support/Gameplay.h"

TEST(Physics, MovesByVelocityIncludingABulletFiredThisFrame) {
    Gameplay g;
    const Entity v = g.Rock(0, 0, kBigVoidrock);
    v.GetComponent<Transform>() = {-500, -500, 2.4f, -2.5f, 2, 33};  // turning is not physics'
    g.Run<PhysicsSystem>();
    EXPECT_EQ(TransformBits(v.GetComponent<Transform>()),
              TransformBits({-497.6f, -502.5f, 2.4f, -2.5f, 2, 33}));
    g.Press(SDL_SCANCODE_SPACE);
    g.Frame();
    // Fired from (960, 540) at (0, -39.2), the ship recoiling at (0, 0.8).
    EXPECT_FLOAT_EQ(g.Of("bullet").at(0).GetComponent<Transform>().y, 540 - 39.2f);
    EXPECT_FLOAT_EQ(g.ShipAt().y, 540.8f);
}
