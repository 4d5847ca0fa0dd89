#include "game/VoidrockContainmentSystem.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "support/Gameplay.h"

namespace {

using Containment = VoidrockContainmentSystem;
using Outcome = std::array<std::size_t, 5>;
constexpr float kBullet = -9;  // in place of a voidrock size

// Ships, GAME OVER texts, voidrocks and bullets, score, explosions.
Outcome After(Gameplay& g) {
    g.Run<Containment>();
    return {g.Count("ship"), g.Texts("GAME OVER").size(), g.Count("voidrock") + g.Count("bullet"),
            static_cast<std::size_t>(g.Score()), g.Count("explosion")};
}

TEST(Containment, WrapsOnlyBeyondTheExactEdges) {
    const float cases[][4] = {
        {4000, 0, 4000, 0},     {4000.5f, 0, -1000, 0}, {-1000, 0, -1000, 0},
        {-1000.5f, 0, 4000, 0}, {0, 3000, 0, 3000},     {0, 3000.5f, 0, -1000},
        {0, -1000, 0, -1000},   {0, -1000.5f, 0, 3000}, {4000.5f, -1000.5f, -1000, 3000}};
    for (const auto& [x, y, wrappedX, wrappedY] : cases) {
        Gameplay g;
        const Entity v = g.Rock(x, y, kBigVoidrock);
        g.Run<Containment>();
        EXPECT_EQ(F(v.GetComponent<Transform>()), F({wrappedX, wrappedY})) << x << "," << y;
    }
}

TEST(Containment, ContactsOfOneUpdate) {
    struct Case {
        std::vector<std::array<float, 3>> bodies;  // x, y, voidrock size or kBullet
        Outcome outcome;
        std::array<float, 2> ship{960, 540};
    };
    std::vector<Case> cases{
        {{{200, 100, 2}, {200, 100, kBullet}, {210, 100, kBullet}}, {1, 0, 0, 2, 2}},
        {{{200, 100, 2}, {220, 100, 0}, {210, 100, kBullet}}, {1, 0, 0, 2, 2}},
        {{{960, 540, 0}, {990, 540, 1}}, {0, 2, 2, 0, 0}},
        {{{1060, 540, 2}, {1060, 540, kBullet}}, {0, 1, 0, 1, 1}},  // a hit as the ship dies
        {{{1041, 648, 2}}, {0, 1, 1, 0, 0}},                        // (81, 108) is 135 away
        {{{1024, 660, 2}}, {1, 0, 1, 0, 0}}};  // (64, 120) is 136 away, though nearer along x
    // One pixel inside the ship's and the bullet's radius of each size, or on them; sizes
    // other than 0, 1 and 2 count as small. The voidrock on the ship stays.
    const float kRadii[][3] = {{2, 136, 114}, {1, 102, 80}, {0, 54, 32}, {5, 54, 32}, {-1, 54, 32}};
    for (const auto& [size, shipR, bulletR] : kRadii) {
        for (float in : {1.0f, 0.0f}) {
            cases.push_back({{{960 + shipR - in, 540, size},
                              {200, 100, size},
                              {200, 100 + bulletR - in, kBullet}},
                             in ? Outcome{0, 1, 1, 1, 1} : Outcome{1, 0, 3, 0, 0}});
        }
    }
    // Ship, voidrock and bullet on an edge of the collision area: nothing; one float inside: all.
    for (auto [x, y] :
         {std::pair{-150.0f, 500.0f}, {2050.0f, 500.0f}, {500.0f, -150.0f}, {500.0f, 1250.0f}}) {
        for (bool in : {false, true}) {
            const float px = in ? std::nextafter(x, 500.0f) : x,
                        py = in ? std::nextafter(y, 500.0f) : y;
            cases.push_back({{{px, py, 2}, {px, py, kBullet}},
                             in ? Outcome{0, 1, 0, 1, 1} : Outcome{1, 0, 2, 0, 0},
                             {px, py}});
        }
    }
    for (const Case& c : cases) {
        Gameplay g;
        g.ShipAt() = {c.ship[0], c.ship[1]};
        for (auto [x, y, size] : c.bodies) {
            size == kBullet ? g.Bullet(x, y) : g.Rock(x, y, static_cast<std::int32_t>(size));
        }
        EXPECT_EQ(After(g), c.outcome) << c.bodies[0][0] << "," << c.bodies[0][1];
        for (const Entity& m : g.Texts("GAME OVER")) {
            EXPECT_EQ(F(m.GetComponent<Transform>()), F({800, 540}));
            EXPECT_EQ(m.GetComponent<InstructionsTimer>().frames, 1000);
        }
    }
}

TEST(Containment, AHitAnywhereReloadsAndPushesTheShipAwayWithinSixHundred) {
    // Bullet from the ship; the push, 0.2 * (500 / distance)^2 away from the bullet.
    const float cases[][4] = {
        {-100, 0, 5, 0},  {0, -500, 0, 0.2f},
        {60, 80, -3, -4}, {-599, 0, 0.2f * (500 / 599.0f) * (500 / 599.0f), 0},
        {-600, 0, 0, 0},  {360, -480, 0, 0},
        {1040, 660, 0, 0}};
    for (const auto& [dx, dy, pushX, pushY] : cases) {
        Gameplay g;
        g.Gun().reloadFrames = 45;
        g.ShipAt().vx = 1;
        g.Rock(960 + dx, 540 + dy, kSmallVoidrock);  // too small to touch the ship
        g.Bullet(960 + dx, 540 + dy);
        ASSERT_EQ(After(g), (Outcome{1, 0, 0, 1, 1}));
        EXPECT_EQ(g.Gun().reloadFrames, 0);
        ExpectNear({g.ShipAt().vx, g.ShipAt().vy}, {1 + pushX, pushY}, 1e-4f);
    }
    // On the ship's centre: no direction to push in. Looked at before the ship is destroyed.
    Gameplay g;
    g.Rock(970, 540, kSmallVoidrock);
    g.Bullet(960, 540);
    g.Sys<Containment>().Update();
    EXPECT_EQ(F(g.ShipAt()), F({960, 540}));
}

}  // namespace
