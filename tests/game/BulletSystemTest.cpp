#include "game/BulletSystem.h"

#include <cmath>

#include "support/Gameplay.h"

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
        EXPECT_EQ(g.TheWorld().IsLive(bullet.id), stays) << "bullet " << bullet.id;
    }
}
