#include <cmath>
#include <utility>

#include "game/BulletSystem.h"
#include "game/GameplayHarness.h"
#include "game/MovementSystem.h"

TEST(Bullets, AShotRecoilsTheShipAndLeavesAlongTheHeadingAfterThisFramesTurn) {
    // Heading 0 is up and 90 right; a bullet's rotation is its heading minus 90.
    const std::pair<float, SDL_Scancode> shots[] = {{0, SDL_SCANCODE_UNKNOWN},
                                                    {89.5f, SDL_SCANCODE_RIGHT}};
    const std::vector<float> want[] = {{0, 0.8f, 0, -39.2f, -90}, {-0.8f, 0, 39.2f, 0, 0}};
    for (int i = 0; i < 2; ++i) {
        Gameplay g;
        g.ShipAt().rotation = shots[i].first;
        g.Press(shots[i].second);
        g.Press(SDL_SCANCODE_SPACE);
        g.Run<MovementSystem>();
        const Transform& b = g.Of("bullet").at(0).GetComponent<Transform>();
        ExpectNear({g.ShipAt().vx, g.ShipAt().vy, b.vx, b.vy, b.rotation}, want[i], 1e-4f);
        EXPECT_EQ(std::pair(b.x, b.y), std::pair(960.0f, 540.0f));
    }
}

TEST(Bullets, BoundsAreStrictOnEverySide) {
    Gameplay g;
    std::vector<std::pair<Entity, bool>> bullets;  // and whether it stays
    for (auto [x, y] :
         {std::pair{-200.0f, 500.0f}, {2100.0f, 500.0f}, {500.0f, -200.0f}, {500.0f, 1100.0f}}) {
        bullets.emplace_back(g.Bullet(x, y), true);
        const float out = x == 500 ? y : x;  // one float further out
        const float beyond = std::nextafter(out, out < 0 ? -INFINITY : INFINITY);
        bullets.emplace_back(x == 500 ? g.Bullet(x, beyond) : g.Bullet(beyond, y), false);
    }
    g.Run<BulletSystem>();
    for (auto [bullet, stays] : bullets) {
        EXPECT_EQ(g.W().IsLive(bullet.id), stays) << "bullet " << bullet.id;
    }
}
